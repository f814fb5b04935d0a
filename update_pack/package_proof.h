#pragma once
// update-pack proves its own output: each package of the chain is read back with update.exe's own
// reader, checks and copy plan, and together the plans must copy exactly the changed files, each
// once.
#include <string>
#include <vector>

#include "update_ini/copy_plan.h"
#include "update_pack/tree_diff.h"

struct Cpackage_proof {
    // One plan per package, in the chain's order.
    std::vector<std::vector<Ccopy_group>> plans;
    // Why the chain is not what was meant; empty when the plans are exactly the changed set.
    std::vector<std::wstring> problems;
};

// Reads each package in package_folders as update.exe would read it beside itself.
Cpackage_proof prove_packages(const std::vector<std::wstring>& package_folders, const std::vector<Cchanged_file>& changed);
