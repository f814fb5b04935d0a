#pragma once
// Lists the files of one folder with name and extension filters, with their 64-bit sizes.
#include <cstdint>
#include <string>
#include <vector>

struct Cfile_entry {
    std::wstring path;
    bool is_folder = false;
    uint64_t size = 0;
};

class Cfile_list {
public:
    bool list(const std::wstring& folder, const std::wstring& name_filter, const std::wstring& extension_filter);
    void scan(const std::wstring& prefix);

    std::vector<Cfile_entry> entries;
    uint64_t total_size = 0;
    std::wstring root;
    std::wstring name_filter;
    std::wstring extension_filter;
    bool descend = false;
    bool list_files = false;
    bool list_folders = false;
};
