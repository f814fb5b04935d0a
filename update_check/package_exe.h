#pragma once
// The update.exe lying in the package, which the player starts: whether it is there, whose
// signature it carries, and whether it is the update.exe of the kit this checker came with, whose
// reading and checks the report describes.
#include <string>

#include "update_check/exe_signature.h"

struct Cpackage_exe {
    bool present = false;
    Cexe_signature signature;
    // The file version of its version resource ("1.0.0.0"), or empty when it has none.
    std::wstring version;
};

// update.exe in the current folder, the package's.
Cpackage_exe inspect_package_exe();
