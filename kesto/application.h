#pragma once
// The application record: what the whole program and its window toolkit share.
#include <windows.h>
#include <string>
#include <vector>

namespace Kesto {

struct Capplication {
    HINSTANCE instance = nullptr;
    // The folder of the program's own executable, without a trailing backslash.
    std::wstring module_folder;
    // Toolkit windows that received their creation message, in creation order.
    std::vector<HWND> windows;
};

}  // namespace Kesto

extern Kesto::Capplication g_application;
