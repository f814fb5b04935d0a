#include "update_check/file_notes.h"

#include "fs/text_file.h"

namespace {

// Length of the UTF-8 sequence starting at i, or 0 when the bytes there are not valid UTF-8.
size_t utf8_sequence_length(const std::string& bytes, size_t i)
{
    const unsigned char lead = static_cast<unsigned char>(bytes[i]);
    size_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    else
        return 0;
    if (i + length > bytes.size())
        return 0;
    for (size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
            return 0;
    return length;
}

bool is_utf8_beyond_ascii(const std::string& bytes)
{
    bool beyond_ascii = false;
    for (size_t i = 0; i < bytes.size();) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        const size_t length = utf8_sequence_length(bytes, i);
        if (length == 0)
            return false;
        beyond_ascii = true;
        i += length;
    }
    return beyond_ascii;
}

}  // namespace

Cfile_notes inspect_bytes(const std::string& bytes)
{
    Cfile_notes notes;
    notes.readable = true;
    notes.size = bytes.size();
    notes.utf8_byte_order_mark = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
    notes.utf16_byte_order_mark = bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0;
    notes.zero_byte = bytes.find('\0');
    notes.looks_like_utf16 = !notes.utf16_byte_order_mark && bytes.size() >= 4 && bytes[0] != '\0' &&
                             bytes[1] == '\0' && bytes[2] != '\0' && bytes[3] == '\0';
    notes.end_of_file_byte = bytes.find('\x1A');
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++notes.crlf_line_ends;
                ++i;
            } else {
                ++notes.lone_cr_line_ends;
            }
        } else if (bytes[i] == '\n') {
            ++notes.lone_lf_line_ends;
        }
    }
    const size_t start = notes.utf8_byte_order_mark ? 3 : 0;
    notes.looks_like_utf8 = is_utf8_beyond_ascii(bytes.substr(start));
    return notes;
}

Cfile_notes inspect_file(const std::wstring& path)
{
    Cfile_handle file;
    if (!open_file(file, path, L"rb") || file.size > TEXT_FILE_LIMIT)
        return Cfile_notes();
    std::string bytes(static_cast<size_t>(file.size), '\0');
    const size_t read = bytes.empty() ? 0 : fread(&bytes[0], 1, bytes.size(), file.stream);
    bytes.resize(read);
    return inspect_bytes(bytes);
}

std::vector<std::wstring> encoding_warnings(const Cfile_notes& notes)
{
    std::vector<std::wstring> warnings;
    if (notes.utf16_byte_order_mark || notes.looks_like_utf16)
        warnings.push_back(std::wstring(L"The file is saved as UTF-16 (Unicode)") +
                           (notes.utf16_byte_order_mark ? L"" : L" without a byte-order mark") +
                           L": update.exe reads almost nothing of it. Save it as Shift-JIS (code page 932).");
    else if (notes.zero_byte != std::string::npos)
        warnings.push_back(format_text(L"The file holds a zero byte at offset %u: update.exe reads nothing after it.",
                                       static_cast<unsigned>(notes.zero_byte)));
    if (notes.utf8_byte_order_mark)
        warnings.push_back(L"The file starts with a UTF-8 byte-order mark: update.exe reads it as ordinary characters "
                           L"in front of the first line, which is then ignored. Save it as Shift-JIS without a mark.");
    else if (notes.looks_like_utf8)
        warnings.push_back(L"The file looks like UTF-8: its Japanese text reaches update.exe garbled (game name, "
                           L"folder and file names). Save it as Shift-JIS (code page 932).");
    if (notes.end_of_file_byte != std::string::npos)
        warnings.push_back(format_text(L"The file holds the byte 0x1A at offset %u: update.exe reads nothing after it.",
                                       static_cast<unsigned>(notes.end_of_file_byte)));
    if (notes.lone_cr_line_ends > 0)
        warnings.push_back(L"Some lines end in CR alone (old Mac style): update.exe does not see a line break "
                           L"there, so the lines joined that way read as one. Save with CR LF line ends.");
    return warnings;
}
