#pragma once
// Path and string helpers. The backslash is the only separator, pieces are joined by plain
// concatenation and nothing is ever normalised: callers rely on paths reaching Windows exactly as
// they were written in update.ini or the registry.
#include <string>

// X + "\" + Y, without looking at whether X already ends in a backslash.
std::wstring join_path(const std::wstring& folder, const std::wstring& name);

std::wstring path_folder(const std::wstring& path);
std::wstring path_stem(const std::wstring& name);
std::wstring path_extension(const std::wstring& name);

bool folder_exists(const std::wstring& path);
bool file_exists(const std::wstring& path);

void make_path_folders(const std::wstring& path);
void make_folder(const std::wstring& folder);

std::wstring lower_ascii(const std::wstring& text);
