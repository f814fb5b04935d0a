#include "update_ini/update_ini_reader.h"

#include <new>
#include <utility>

#include "fs/text.h"

namespace {

// As the runtime reads a file in text mode, which is how update.exe has always read update.ini:
// the text ends at the first 0x1A, CR LF is one line feed while a CR alone stays, and the ANSI
// code page decodes it up to the first zero byte.
std::wstring text_as_read(const std::string& bytes)
{
    std::string text;
    for (size_t i = 0; i < bytes.size() && bytes[i] != '\x1A'; ++i)
        if (bytes[i] != '\r' || i + 1 == bytes.size() || bytes[i + 1] != '\n')
            text += bytes[i];
    return to_wide(text);
}

}  // namespace

std::wstring read_update_ini_file(const std::wstring& path, Cupdate_settings& settings, Cupdate_ini_file* file)
{
    const wchar_t* const too_large = L"update.ini が大きすぎるため、読み込めませんでした。";
    Cupdate_ini_file read;
    switch (read_file_bytes(path, read.bytes)) {
    case Ctext_read::cannot_open:
        return L"update.ini が見つかりませんでした。";
    case Ctext_read::too_large:
        return too_large;
    case Ctext_read::read:
        break;
    }
    // Memory running out on a huge file is told as a file too large, never as a crash.
    try {
        read.lines = split_lines(text_as_read(read.bytes));
        for (const std::wstring& line : read.lines) {
            Cupdate_ini_line_result result = apply_update_ini_line(line, settings);
            if (file != nullptr)
                read.results.push_back(std::move(result));
        }
    } catch (const std::bad_alloc&) {
        return too_large;
    }
    if (file != nullptr)
        *file = std::move(read);
    return std::wstring();
}
