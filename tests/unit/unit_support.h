#pragma once
// For the in-process tests: a throwaway folder under the temporary folder, files written byte for
// byte, and text as a Japanese editor saves it.
#include <windows.h>

#include <string>

#include "fs/file_ops.h"

inline bool write_bytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const bool ok = file != INVALID_HANDLE_VALUE &&
                    (bytes.empty() || WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return ok && written == bytes.size();
}

// Code page 932 bytes of the text.
inline std::string shift_jis(const std::wstring& text)
{
    std::string bytes(text.size() * 2 + 1, '\0');
    const int length = WideCharToMultiByte(932, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0],
                                           static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.resize(static_cast<size_t>(length > 0 ? length : 0));
    return bytes;
}

// A new empty folder, removed with everything below it.
class Ctemp_folder {
public:
    Ctemp_folder()
    {
        wchar_t base[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, base);
        static unsigned serial = 0;
        path = std::wstring(base) + L"update-unit-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(++serial);
        CreateDirectoryW(path.c_str(), nullptr);
    }
    ~Ctemp_folder() { remove_tree(path); }
    Ctemp_folder(const Ctemp_folder&) = delete;
    Ctemp_folder& operator=(const Ctemp_folder&) = delete;

    std::wstring operator/(const std::wstring& name) const { return path + L"\\" + name; }

    std::wstring path;
};
