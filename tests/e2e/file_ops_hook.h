#pragma once
// Shared by the two halves of the hook DLL: the log of events (hook.cpp) and the program's file
// operations (file_ops_hook.cpp).
#include <string>

void log_line(std::wstring line);
const std::wstring& log_path();
// Points update.exe's imports of its file calls at the hook's.
void follow_file_operations();
