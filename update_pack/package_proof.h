#pragma once
// update-pack proves its own output: the package is read back with update.exe's own reader,
// checks and copy plan, and the plan must copy exactly the changed files, each once.
#include <string>
#include <vector>

#include "update_ini/copy_plan.h"
#include "update_pack/tree_diff.h"

struct Cpackage_proof {
    std::vector<Ccopy_group> plan;
    // Why the package is not what was meant; empty when the plan is exactly the changed set.
    std::vector<std::wstring> problems;
};

// Reads the package in package_folder as update.exe would read it beside itself.
Cpackage_proof prove_package(const std::wstring& package_folder, const std::vector<Cchanged_file>& changed);
