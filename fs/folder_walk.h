#pragma once
// The one way a folder is listed: its entries as the find data gives them (name, attributes,
// 64-bit size), without "." and "..", in the order the file system returns them.
#include <cstdint>
#include <string>
#include <vector>

struct Cfile_entry {
    std::wstring path;  // relative to the folder walked: "a.ogg", or "BGM\\a.ogg" below a subfolder
    bool is_folder = false;
    uint32_t attributes = 0;
    uint64_t size = 0;
};

// The entries directly inside folder; with below, each subfolder's entries follow it, all the way
// down, but for linked folders, which are listed and not entered. A missing or unreadable folder
// has none.
std::vector<Cfile_entry> walk_folder(const std::wstring& folder, bool below = false);
// The entries whose names match pattern, a path whose last name may hold "*" and "?".
std::vector<Cfile_entry> matching_entries(const std::wstring& pattern);
