#include "fs/text.h"

#include <windows.h>
#include <cstdarg>
#include <cwchar>
#include <new>

#include "fs/file_handle.h"

std::wstring to_wide(const std::string& narrow)
{
    if (narrow.empty())
        return std::wstring();
    // Taken as zero-terminated: a zero byte ends the text, as it does for every ANSI API.
    const int length = MultiByteToWideChar(CP_ACP, 0, narrow.c_str(), -1, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, narrow.c_str(), -1, buffer.data(), length);
    return std::wstring(buffer.data());
}

std::string to_narrow(const std::wstring& wide)
{
    if (wide.empty())
        return std::string();
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return std::string();
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, buffer.data(), length, nullptr, nullptr);
    return std::string(buffer.data());
}

Ctext_read read_file_bytes(const std::wstring& path, std::string& bytes)
{
    bytes.clear();
    Cfile_handle file;
    if (!open_file(file, path, L"rb"))
        return Ctext_read::cannot_open;
    if (file.size > TEXT_FILE_LIMIT)
        return Ctext_read::too_large;
    try {
        bytes.resize(static_cast<size_t>(file.size));
    } catch (const std::bad_alloc&) {
        return Ctext_read::too_large;
    }
    if (!bytes.empty() && fread(&bytes[0], 1, bytes.size(), file.stream) != bytes.size()) {
        bytes.clear();
        return Ctext_read::cannot_open;
    }
    return Ctext_read::read;
}

std::vector<std::wstring> split_lines(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t feed; (feed = text.find(L'\n', start)) != std::wstring::npos; start = feed + 1)
        lines.push_back(text.substr(start, feed - start));
    lines.push_back(text.substr(start));
    return lines;
}

std::wstring format_text(const wchar_t* format, ...)
{
    wchar_t buffer[1024] = {};
    va_list arguments;
    va_start(arguments, format);
    // _TRUNCATE: an over-long result is cut at 1023 characters rather than ending the process.
    _vsnwprintf_s(buffer, _countof(buffer), _TRUNCATE, format, arguments);
    va_end(arguments);
    return std::wstring(buffer);
}
