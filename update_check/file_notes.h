#pragma once
// What the bytes of update.ini say about how it was saved. update.exe reads the file as text in
// the ANSI code page (Shift-JIS on a Japanese Windows) and says nothing when it was saved some
// other way; these notes tell the publisher before the player finds out.
#include <cstddef>
#include <string>
#include <vector>

struct Cfile_notes {
    size_t size = 0;
    bool utf8_byte_order_mark = false;
    bool utf16_byte_order_mark = false;
    // Every other byte zero from the start, as UTF-16 text of ASCII characters saved without a mark.
    bool looks_like_utf16 = false;
    // Offsets of the first zero byte and the first 0x1A byte: the text ends at either.
    size_t zero_byte = std::string::npos;
    size_t end_of_file_byte = std::string::npos;
    size_t crlf_line_ends = 0;
    size_t lone_cr_line_ends = 0;
    size_t lone_lf_line_ends = 0;
    // Valid UTF-8 with characters beyond ASCII: Japanese text saved as UTF-8 reads as garbage.
    bool looks_like_utf8 = false;
    // For a file that looks like UTF-8: its lines as they were meant, to show beside the garbled
    // ones update.exe reads.
    std::vector<std::wstring> lines_as_utf8;
};

// Whether text holds anything beyond ASCII, which a file saved as UTF-8 garbles.
bool has_non_ascii(const std::wstring& text);
// bytes: the file as update.exe's reader read it.
Cfile_notes inspect_bytes(const std::string& bytes);
// "shift_jis" (or plain ASCII), "utf8", "utf8_bom" or "utf16": how the file was saved.
const wchar_t* encoding_name(const Cfile_notes& notes);
// The warnings the notes call for, in English, each with what to do about it. lines: the file as
// update.exe reads it.
std::vector<std::wstring> encoding_warnings(const Cfile_notes& notes, const std::vector<std::wstring>& lines);
// Why line index of lines looks as it does because of how the file was saved; empty when it reads
// as written.
std::wstring line_encoding_note(const Cfile_notes& notes, const std::vector<std::wstring>& lines, size_t index);
