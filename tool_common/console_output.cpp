#include "tool_common/console_output.h"

#include <windows.h>

namespace {

std::string encode(const std::wstring& text, UINT code_page)
{
    if (text.empty())
        return std::string();
    const int length = WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), &bytes[0], length, nullptr,
                        nullptr);
    return bytes;
}

}  // namespace

void write_output(const std::wstring& text, Cpipe_encoding pipe_encoding)
{
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (output == nullptr || output == INVALID_HANDLE_VALUE)
        return;
    DWORD mode = 0;
    if (GetConsoleMode(output, &mode)) {
        // In pieces: old consoles refuse very long writes.
        const size_t piece = 4096;
        for (size_t at = 0; at < text.size(); at += piece) {
            DWORD written = 0;
            const DWORD length = static_cast<DWORD>(text.size() - at < piece ? text.size() - at : piece);
            WriteConsoleW(output, text.data() + at, length, &written, nullptr);
        }
        return;
    }
    const std::string bytes = encode(text, pipe_encoding == Cpipe_encoding::utf8 ? CP_UTF8 : CP_ACP);
    DWORD written = 0;
    WriteFile(output, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}
