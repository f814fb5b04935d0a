#pragma once
// update-pack proves its own output: each package of the chain is read back with update.exe's own
// reader, checks and copy plan, each plan passes update.exe's check of the game's files on the old
// game, and together the plans must copy exactly the changed files, each once.
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

// Reads each package in package_folders as update.exe would read it beside itself, and judges its
// plan on the old game folder as update.exe would judge it on a player's game before asking.
Cpackage_proof prove_packages(const std::vector<std::wstring>& package_folders, const std::vector<Cchanged_file>& changed,
                              const std::wstring& old_folder);
