#pragma once
// A private folder for one test, below the current directory, removed with everything in it when
// the test ends. It can also take a picture of its whole tree, so that a test can show that
// nothing on disk changed.
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>

class Cscratch_tree {
public:
    Cscratch_tree()
    {
        static unsigned counter = 0;
        wchar_t name[64];
        swprintf(name, 64, L"scratch_%lu_%u", GetCurrentProcessId(), ++counter);
        wchar_t full[MAX_PATH];
        GetFullPathNameW(name, MAX_PATH, full, nullptr);
        root_ = full;
        CreateDirectoryW(root_.c_str(), nullptr);
    }
    ~Cscratch_tree() { remove_tree(root_); }
    Cscratch_tree(const Cscratch_tree&) = delete;
    Cscratch_tree& operator=(const Cscratch_tree&) = delete;

    // The full path of the tree itself, or of a path inside it.
    const std::wstring& root() const { return root_; }
    std::wstring path(const std::wstring& relative) const { return root_ + L"\\" + relative; }

    std::wstring make_folder(const std::wstring& relative) const
    {
        const std::wstring full = path(relative);
        CreateDirectoryW(full.c_str(), nullptr);
        return full;
    }

    std::wstring make_file(const std::wstring& relative, const std::string& content = std::string()) const
    {
        const std::wstring full = path(relative);
        const HANDLE file = CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            if (!content.empty())
                WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
            CloseHandle(file);
        }
        return full;
    }

    // Relative path -> attributes, size and last write time of every file and folder below.
    struct Citem {
        DWORD attributes;
        uint64_t size;
        uint64_t written;
        bool operator==(const Citem& other) const
        {
            return attributes == other.attributes && size == other.size && written == other.written;
        }
    };
    using Cpicture = std::map<std::wstring, Citem>;

    Cpicture picture() const
    {
        Cpicture result;
        take_picture(L"", result);
        return result;
    }

private:
    void take_picture(const std::wstring& prefix, Cpicture& result) const
    {
        WIN32_FIND_DATAW found;
        const HANDLE search = FindFirstFileW((root_ + L"\\" + prefix + L"*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return;
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const uint64_t size = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
            const uint64_t written = (static_cast<uint64_t>(found.ftLastWriteTime.dwHighDateTime) << 32) |
                                     found.ftLastWriteTime.dwLowDateTime;
            result[prefix + name] = {found.dwFileAttributes, size, written};
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                take_picture(prefix + name + L"\\", result);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }

    static void remove_tree(const std::wstring& folder)
    {
        WIN32_FIND_DATAW found;
        const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                const std::wstring full = folder + L"\\" + name;
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    remove_tree(full);
                else
                    DeleteFileW(full.c_str());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(folder.c_str());
    }

    std::wstring root_;
};
