#pragma once
// Thin wrappers of the Windows calls that put files in place, take them back and measure room.
// Every path goes through long_path, so long ones work as short ones do.
#include <cstdint>
#include <string>

// target takes replacement's content and keeps its own attributes; its old content is moved to
// backup. False when anything of that failed.
bool replace_file(const std::wstring& target, const std::wstring& replacement, const std::wstring& backup);
// Moves a file to a name where no file is yet, or, with replace, over one that is there.
bool move_file(const std::wstring& from, const std::wstring& to, bool replace);
// Removes a plain file, read-only or not. True when no file is left there.
bool delete_file(const std::wstring& path);
// Removes the folder if it is empty.
void remove_empty_folder(const std::wstring& folder);
// Free bytes of the volume holding folder, for this user; false when it cannot be told.
bool free_bytes(const std::wstring& folder, uint64_t& bytes);
