#pragma once
// The package checker: what update.exe would make of the update package in one folder, told line
// by line, check by check and file by file, without writing anything. Where update.exe stops at
// its first failing check, the checker judges every one and says which the player would see.
#include <string>
#include <utility>
#include <vector>

#include "update_check/package_findings.h"

struct Ccheck_options {
    // The folder that holds update.ini and GAMEDATA; empty: the current directory.
    std::wstring package_folder;
    // An installed game to run the installation checks against, as its installer would have
    // recorded it: every part set up, the media folders where the update writes them.
    std::wstring install_folder;
    // Read the installation from HKEY_CURRENT_USER\SOFTWARE\<REG_NAME>, as update.exe does.
    bool read_registry = false;
    // Registry values to use instead of the ones --install derives ("DAT_EXIST", "0").
    std::vector<std::pair<std::wstring, std::wstring>> values;
};

enum : int { CHECK_PASSED = 0, CHECK_FAILED = 1, CHECK_UNREADABLE = 2 };

// Fills findings and returns its exit code: CHECK_PASSED, CHECK_FAILED or CHECK_UNREADABLE. Leaves
// the current directory as it found it.
int check_package(const Ccheck_options& options, Cpackage_findings& findings);
