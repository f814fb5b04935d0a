#pragma once
// A fresh folder for one test, removed with everything in it afterwards.
#include <windows.h>

#include <string>

#include "fs/paths.h"

class Ctemp_folder {
public:
    explicit Ctemp_folder(const std::wstring& name)
    {
        wchar_t base[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, base);
        // Wine reuses process ids quickly; the tick count keeps folders of earlier runs apart.
        static unsigned serial = 0;
        path = std::wstring(base) + L"update-tests\\" + name + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(++serial);
        remove_tree(path);
        make_folder(path);
    }
    ~Ctemp_folder() { remove_tree(path); }
    Ctemp_folder(const Ctemp_folder&) = delete;
    Ctemp_folder& operator=(const Ctemp_folder&) = delete;

    std::wstring operator/(const std::wstring& name) const { return join_path(path, name); }

    static void remove_tree(const std::wstring& folder)
    {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                const std::wstring child = join_path(folder, name);
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    remove_tree(child);
                } else {
                    SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileW(child.c_str());
                }
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(folder.c_str());
    }

    std::wstring path;
};

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
