#include "update_check/file_notes.h"

#include <windows.h>

#include <algorithm>

#include "fs/text.h"
#include "update_check/words.h"

namespace {

// Valid UTF-8 with characters beyond ASCII: Japanese text saved as UTF-8. Its lines as they were
// meant, split as update.exe splits its own; none when the bytes are something else.
std::vector<std::wstring> utf8_lines(const std::string& bytes)
{
    std::wstring text(bytes.size(), L'\0');
    const int length = bytes.empty() ? 0
                                     : MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                                           static_cast<int>(bytes.size()), &text[0], static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(length));
    if (length == 0 || !has_non_ascii(text))
        return {};
    std::vector<std::wstring> lines = split_lines(text);
    for (std::wstring& line : lines)
        if (!line.empty() && line.back() == L'\r')
            line.pop_back();
    return lines;
}

std::wstring how_to_save(const wchar_t* iconv_source)
{
    return L" " + words(W_SAVE_AS_SHIFT_JIS, {iconv_source});
}

// Garbled Japanese can take the line break after it for part of a character: the lines then run
// together, and a key at the start of the next line is lost.
bool lines_run_together(const Cfile_notes& notes, const std::vector<std::wstring>& lines)
{
    return notes.looks_like_utf8 && lines.size() < notes.lines_as_utf8.size();
}

}  // namespace

bool has_non_ascii(const std::wstring& text)
{
    return std::any_of(text.begin(), text.end(), [](wchar_t c) { return c > 0x7F; });
}

Cfile_notes inspect_bytes(const std::string& bytes)
{
    Cfile_notes notes;
    notes.size = bytes.size();
    notes.utf8_byte_order_mark = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
    notes.utf16_byte_order_mark = bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0;
    notes.zero_byte = bytes.find('\0');
    notes.looks_like_utf16 = !notes.utf16_byte_order_mark && bytes.size() >= 4 && bytes[0] != '\0' &&
                             bytes[1] == '\0' && bytes[2] != '\0' && bytes[3] == '\0';
    notes.end_of_file_byte = bytes.find('\x1A');
    // UTF-16 text (little-endian, as Windows saves it) is counted in its two-byte units.
    const size_t unit = notes.utf16_byte_order_mark || notes.looks_like_utf16 ? 2 : 1;
    for (size_t i = 0; i < bytes.size(); i += unit) {
        if (bytes[i] == '\r') {
            if (i + unit < bytes.size() && bytes[i + unit] == '\n') {
                ++notes.crlf_line_ends;
                i += unit;
            } else {
                ++notes.lone_cr_line_ends;
            }
        } else if (bytes[i] == '\n') {
            ++notes.lone_lf_line_ends;
        }
    }
    const size_t start = notes.utf8_byte_order_mark ? 3 : 0;
    notes.lines_as_utf8 = utf8_lines(bytes.substr(start));
    notes.looks_like_utf8 = !notes.lines_as_utf8.empty();
    return notes;
}

const wchar_t* encoding_name(const Cfile_notes& notes)
{
    if (notes.utf16_byte_order_mark || notes.looks_like_utf16)
        return L"utf16";
    return notes.utf8_byte_order_mark ? L"utf8_bom" : notes.looks_like_utf8 ? L"utf8" : L"shift_jis";
}

std::vector<std::wstring> encoding_warnings(const Cfile_notes& notes, const std::vector<std::wstring>& lines)
{
    std::vector<std::wstring> warnings;
    if (notes.utf16_byte_order_mark || notes.looks_like_utf16)
        warnings.push_back(words(notes.utf16_byte_order_mark ? W_UTF16 : W_UTF16_NO_MARK) + how_to_save(L"UTF-16"));
    else if (notes.zero_byte != std::string::npos)
        warnings.push_back(words(W_ZERO_BYTE, {std::to_wstring(notes.zero_byte)}));
    if (notes.utf8_byte_order_mark)
        warnings.push_back(words(notes.looks_like_utf8 ? W_UTF8_MARK_GARBLED : W_UTF8_MARK) + how_to_save(L"UTF-8"));
    else if (notes.looks_like_utf8)
        warnings.push_back(words(W_UTF8) + how_to_save(L"UTF-8"));
    if (lines_run_together(notes, lines))
        warnings.push_back(words(W_RUN_TOGETHER, {std::to_wstring(lines.size()), std::to_wstring(notes.lines_as_utf8.size())}));
    if (notes.end_of_file_byte != std::string::npos)
        warnings.push_back(words(W_EOF_BYTE, {std::to_wstring(notes.end_of_file_byte)}));
    if (notes.lone_cr_line_ends > 0)
        warnings.push_back(words(W_LONE_CR));
    return warnings;
}

std::wstring line_encoding_note(const Cfile_notes& notes, const std::vector<std::wstring>& lines, size_t index)
{
    if (notes.utf16_byte_order_mark || notes.looks_like_utf16)
        return index == 0 ? words(W_NOTE_UTF16) : L"";
    std::wstring note;
    if (notes.utf8_byte_order_mark && index == 0)
        note = words(W_NOTE_UTF8_MARK);
    if (notes.looks_like_utf8 && has_non_ascii(lines[index])) {
        if (note.empty())
            note = words(W_NOTE_GARBLED);
        // Line for line only while no line break was lost.
        if (!lines_run_together(notes, lines))
            note += words(W_NOTE_WRITTEN_AS, {notes.lines_as_utf8[index]});
    }
    return note;
}
