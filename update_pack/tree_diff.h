#pragma once
// What changed between the old and the new game folder, file by file.
#include <cstdint>
#include <string>
#include <vector>

struct Cchanged_file {
    // Below both game folders, e.g. "data\scn\a.scn".
    std::wstring path;
    uint64_t size = 0;
    // Not in the old folder at all.
    bool added = false;
};

struct Ctree_diff {
    // New or changed files of the new folder, in a stable order (sorted by path).
    std::vector<Cchanged_file> changed;
    // Files only the old folder holds: update.exe never deletes, so they stay on players' disks.
    std::vector<std::wstring> only_in_old;
    // Files that could not be read to compare them, so the difference is not known.
    std::vector<std::wstring> unreadable;
    // Files of the new folder whose paths differ only in letter case: Windows holds one of them.
    std::vector<std::pair<std::wstring, std::wstring>> same_but_case;
};

// Compares every file below the two folders: by size first, then byte by byte.
Ctree_diff compare_trees(const std::wstring& old_folder, const std::wstring& new_folder);
