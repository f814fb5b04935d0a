#pragma once
// Lists the files of one folder with name and extension filters, with their 64-bit sizes.
#include <cstdint>
#include <string>
#include <vector>

#include "fs/folder_walk.h"

class Cfile_list {
public:
    // Lists the plain files directly inside folder; returns whether any passed the filters.
    bool list(const std::wstring& folder, const std::wstring& name_filter, const std::wstring& extension_filter);

    std::vector<Cfile_entry> entries;
    uint64_t total_size = 0;
};
