#include "fs/folder_walk.h"

#include <windows.h>

#include "fs/paths.h"

namespace {

// Owns a search handle, so that it is closed on every way out.
class Cfind_handle {
public:
    explicit Cfind_handle(HANDLE handle) : handle_(handle) {}
    ~Cfind_handle()
    {
        if (valid())
            FindClose(handle_);
    }
    Cfind_handle(const Cfind_handle&) = delete;
    Cfind_handle& operator=(const Cfind_handle&) = delete;

    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

bool is_dot_entry(const wchar_t* name)
{
    return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0;
}

Cfile_entry entry_of(const WIN32_FIND_DATAW& found)
{
    Cfile_entry entry;
    entry.path = found.cFileName;
    entry.attributes = found.dwFileAttributes;
    entry.is_folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // The size comes from the find data, so listing never opens a file.
    entry.size = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    return entry;
}

void walk(const std::wstring& folder, const std::wstring& prefix, bool below, std::vector<Cfile_entry>& entries)
{
    for (Cfile_entry& entry : matching_entries(join_path(folder, prefix + L"*"))) {
        entry.path = prefix + entry.path;
        // A linked folder (junction or symbolic link) is listed but not entered: what lies behind it
        // belongs elsewhere, and a walk that removes a tree must not reach it.
        const bool enter = below && entry.is_folder && (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
        const std::wstring subfolder = enter ? entry.path + L"\\" : std::wstring();
        entries.push_back(std::move(entry));
        if (!subfolder.empty())
            walk(folder, subfolder, below, entries);
    }
}

}  // namespace

std::vector<Cfile_entry> walk_folder(const std::wstring& folder, bool below)
{
    std::vector<Cfile_entry> entries;
    walk(folder, std::wstring(), below, entries);
    return entries;
}

std::vector<Cfile_entry> matching_entries(const std::wstring& pattern)
{
    std::vector<Cfile_entry> entries;
    WIN32_FIND_DATAW found;
    const Cfind_handle search(FindFirstFileW(long_path(pattern).c_str(), &found));
    for (bool more = search.valid(); more; more = FindNextFileW(search.get(), &found) != 0)
        if (!is_dot_entry(found.cFileName))
            entries.push_back(entry_of(found));
    return entries;
}
