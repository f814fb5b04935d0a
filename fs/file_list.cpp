#include "fs/file_list.h"

#include <windows.h>

#include "fs/paths.h"

namespace {

// "*" is a wildcard only as the whole filter; any other filter must equal the name's part
// whole, ignoring ASCII case, so "*" or "?" inside a longer filter are plain characters.
bool passes(const std::wstring& filter, const std::wstring& part)
{
    return filter == L"*" || lower_ascii(part) == lower_ascii(filter);
}

bool is_dot_entry(const wchar_t* name)
{
    return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0;
}

} // namespace

bool Cfile_list::list(const std::wstring& folder, const std::wstring& name_filter_text,
                      const std::wstring& extension_filter_text)
{
    name_filter = name_filter_text;
    extension_filter = extension_filter_text;
    descend = false;
    list_files = true;
    list_folders = false;
    // The run adds up the totals of all its listers, so the running total is left as it is.
    entries.clear();
    root = folder + L"\\";
    scan(std::wstring());
    return !entries.empty();
}

void Cfile_list::scan(const std::wstring& prefix)
{
    const std::wstring pattern = root + prefix + L"*";
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(long_path(pattern).c_str(), &found);
    // A missing or unreadable folder simply has nothing to copy.
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (is_dot_entry(found.cFileName))
            continue;
        Cfile_entry entry;
        entry.path = prefix + found.cFileName;
        entry.is_folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // The size comes from the find data, so listing never opens a file.
        entry.size = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;

        if (entry.is_folder) {
            const std::wstring subfolder_prefix = entry.path + L"\\";
            if (list_folders)
                add(std::move(entry));
            if (descend)
                scan(subfolder_prefix);
        } else if (list_files && passes(name_filter, path_stem(entry.path)) &&
                   passes(extension_filter, path_extension(entry.path))) {
            add(std::move(entry));
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

void Cfile_list::add(Cfile_entry entry)
{
    total_size += entry.size;
    entries.push_back(std::move(entry));
}
