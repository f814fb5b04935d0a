#pragma once
// A fresh folder for one test, removed with everything in it afterwards. It can lay out a tree,
// be the current directory while it lives (update.exe runs in its own folder), and take a picture
// of its tree so that a test can show that nothing on disk changed.
#include <windows.h>
#include <winioctl.h>

#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "fs/paths.h"

// Writes bytes exactly as given (no text-mode translation).
inline bool write_bytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = bytes.empty() || WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

class Ctemp_folder {
public:
    enum Eplace { ELSEWHERE, CURRENT_DIRECTORY };

    explicit Ctemp_folder(const std::wstring& name = L"tree", Eplace place = ELSEWHERE)
    {
        wchar_t base[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, base);
        // Wine reuses process ids quickly; the tick count keeps folders of earlier runs apart.
        static unsigned serial = 0;
        path = std::wstring(base) + L"update-tests\\" + name + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(++serial);
        remove_tree(path);
        ::make_folder(path);
        if (place == CURRENT_DIRECTORY) {
            wchar_t current[MAX_PATH * 2] = {};
            GetCurrentDirectoryW(MAX_PATH * 2, current);
            previous_directory_ = current;
            SetCurrentDirectoryW(path.c_str());
        }
    }
    ~Ctemp_folder()
    {
        // Leave the folder before it is removed: Windows keeps the current directory from going away.
        if (!previous_directory_.empty())
            SetCurrentDirectoryW(previous_directory_.c_str());
        remove_tree(path);
    }
    Ctemp_folder(const Ctemp_folder&) = delete;
    Ctemp_folder& operator=(const Ctemp_folder&) = delete;

    std::wstring operator/(const std::wstring& name) const { return join_path(path, name); }

    std::wstring make_file(const std::wstring& relative, const std::string& bytes = std::string()) const
    {
        write_bytes(*this / relative, bytes);
        return *this / relative;
    }
    std::wstring make_folder(const std::wstring& relative) const
    {
        CreateDirectoryW((*this / relative).c_str(), nullptr);
        return *this / relative;
    }
    // A file of this size that takes next to no disk: the tests may not fill the disk.
    bool make_sparse_file(const std::wstring& relative, uint64_t size) const
    {
        const HANDLE file = CreateFileW((*this / relative).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD returned = 0;
        DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
        LARGE_INTEGER end;
        end.QuadPart = static_cast<LONGLONG>(size);
        FILE_STANDARD_INFO info = {};
        const bool made = file != INVALID_HANDLE_VALUE && SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file) &&
                          GetFileInformationByHandleEx(file, FileStandardInfo, &info, sizeof info) &&
                          info.AllocationSize.QuadPart < (64ll << 20);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        return made;
    }
    // Entries ending in a backslash are folders, the others small files; parents come first.
    void lay_out(const std::vector<std::wstring>& entries) const
    {
        for (const std::wstring& entry : entries) {
            if (!entry.empty() && entry.back() == L'\\')
                make_folder(entry.substr(0, entry.size() - 1));
            else
                make_file(entry, "data");
        }
    }

    // Relative path -> attributes, size and last write time of every file and folder below.
    using Cpicture = std::map<std::wstring, std::tuple<DWORD, uint64_t, uint64_t>>;

    Cpicture picture(const std::wstring& relative = std::wstring(), Cpicture result = Cpicture()) const
    {
        for_each_below(relative.empty() ? path : *this / relative, [&](const WIN32_FIND_DATAW& found) {
            const std::wstring name = relative.empty() ? found.cFileName : relative + L"\\" + found.cFileName;
            result[name] = {found.dwFileAttributes,
                            (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow,
                            (static_cast<uint64_t>(found.ftLastWriteTime.dwHighDateTime) << 32) |
                                found.ftLastWriteTime.dwLowDateTime};
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                result = picture(name, result);
        });
        return result;
    }

    static void remove_tree(const std::wstring& folder)
    {
        for_each_below(folder, [&](const WIN32_FIND_DATAW& found) {
            const std::wstring child = join_path(folder, found.cFileName);
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                remove_tree(child);
            else
                DeleteFileW(child.c_str());
        });
        RemoveDirectoryW(folder.c_str());
    }

    std::wstring path;

private:
    template <class Fvisit>
    static void for_each_below(const std::wstring& folder, Fvisit visit)
    {
        WIN32_FIND_DATAW found;
        const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return;
        do {
            if (wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0)
                visit(found);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }

    std::wstring previous_directory_;
};

// The whole content of a file, or "<missing>" when it cannot be opened.
inline std::string read_bytes(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string bytes;
    char chunk[65536];
    DWORD count = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &count, nullptr) && count > 0)
        bytes.append(chunk, count);
    CloseHandle(file);
    return bytes;
}

// Text as a Japanese Windows editor saves it: code page 932 bytes.
inline std::string shift_jis(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const int length = WideCharToMultiByte(932, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(932, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], length, nullptr, nullptr);
    return bytes;
}
