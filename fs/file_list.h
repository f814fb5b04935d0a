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
    // Lists the plain files directly inside folder; returns whether any passed the filters.
    bool list(const std::wstring& folder, const std::wstring& name_filter, const std::wstring& extension_filter);
    // Enumerates root + prefix, where prefix is empty or ends in a backslash.
    void scan(const std::wstring& prefix);

    std::vector<Cfile_entry> entries;
    uint64_t total_size = 0;
    std::wstring root;
    std::wstring name_filter;
    std::wstring extension_filter;
    bool descend = false;
    bool list_files = false;
    bool list_folders = false;

private:
    void add(Cfile_entry entry);
};
