#pragma once
// The line format of the event log that the hook writes and the tests compare. Shared by both
// sides so that what a test expects is escaped exactly as what the hook wrote.
#include <windows.h>

#include <string>

namespace e2e {

// The environment variables through which the driver talks to the hook inside update.exe.
constexpr const wchar_t* EVENT_LOG_VARIABLE = L"UPDATE_E2E_EVENT_LOG";
constexpr const wchar_t* CLOSE_AFTER_POSITION_VARIABLE = L"UPDATE_E2E_CLOSE_DIALOG_AFTER_POS";

inline std::string to_utf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], size, nullptr,
                        nullptr);
    return result;
}

inline std::wstring from_utf8(const std::string& text)
{
    if (text.empty())
        return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], size);
    return result;
}

// A UTF-8 text in double quotes with \\, \", \n, \r, \t and \xHH for other control characters,
// so that every event stays on one line and a path's backslashes cannot be mistaken for escapes.
inline std::string quoted(const std::string& utf8)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string result = "\"";
    for (const char c : utf8) {
        const unsigned char byte = static_cast<unsigned char>(c);
        switch (c) {
        case '\\': result += "\\\\"; break;
        case '"': result += "\\\""; break;
        case '\n': result += "\\n"; break;
        case '\r': result += "\\r"; break;
        case '\t': result += "\\t"; break;
        default:
            if (byte < 0x20 || byte == 0x7F) {
                result += "\\x";
                result += digits[byte >> 4];
                result += digits[byte & 0xF];
            } else {
                result += c;
            }
        }
    }
    return result + "\"";
}

inline std::string quoted(const std::wstring& text) { return quoted(to_utf8(text)); }

}  // namespace e2e
