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

Ctext_read read_text_file(const std::wstring& path, std::wstring& text)
{
    text.clear();
    Cfile_handle file;
    if (!open_file(file, path, L"rt"))
        return Ctext_read::cannot_open;
    if (file.size > TEXT_FILE_LIMIT)
        return Ctext_read::too_large;

    // Text mode turns CR LF into LF and stops at the first 0x1A, so fewer bytes may arrive than
    // the measured length.
    try {
        std::string bytes(static_cast<size_t>(file.size), '\0');
        size_t count = 0;
        if (!bytes.empty())
            count = fread(&bytes[0], 1, bytes.size(), file.stream);
        bytes.resize(count);
        text = to_wide(bytes);
    } catch (const std::bad_alloc&) {
        text.clear();
        return Ctext_read::too_large;
    }
    return Ctext_read::read;
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

Ctext_read read_text_lines(const std::wstring& path, std::vector<std::wstring>& lines)
{
    lines.clear();
    std::wstring text;
    const Ctext_read result = read_text_file(path, text);
    if (result != Ctext_read::read)
        return result;
    try {
        lines = split_lines(text);
    } catch (const std::bad_alloc&) {
        lines.clear();
        return Ctext_read::too_large;
    }
    return Ctext_read::read;
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
