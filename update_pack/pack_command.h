#pragma once
// The whole of update-pack: check the arguments, compare the folders, lay out and write the
// package (or the chain of packages), prove it, and tell what was done.
#include <string>

#include "update_pack/package_layout.h"

struct Cpack_options {
    std::wstring old_folder;
    std::wstring new_folder;
    std::wstring package_folder;
    std::wstring game_name;
    std::wstring registry_name;
    Cmedia_folders media;
    // Copied into every package: update.exe, and the player's note as README.txt (none when empty).
    std::wstring update_exe;
    std::wstring note;
    bool force = false;
    bool json = false;
};

enum : int {
    PACK_MADE = 0,
    PACK_CANNOT_EXPRESS = 1,
    PACK_BAD_INPUT = 2,
};

// Returns the exit code; report is the text (or JSON document) to print.
int make_package(const Cpack_options& options, std::wstring& report);
