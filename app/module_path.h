#pragma once
#include <windows.h>
#include <string>

// The whole path of a loaded module. The buffer starts at first_capacity characters and doubles
// until the path fits, so a path longer than MAX_PATH is never used cut short. Empty on failure.
std::wstring read_module_path(HMODULE module, size_t first_capacity = MAX_PATH);
