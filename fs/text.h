#pragma once
// Text: the ANSI code page conversions, the one reader of a whole file up to its limit, lines, and
// printf-style formatting into a wide string.
#include <cstdint>
#include <string>
#include <vector>

std::wstring to_wide(const std::string& narrow);
std::string to_narrow(const std::wstring& wide);

// A text file such as update.ini is a few kilobytes; past this it is not read at all.
constexpr uint64_t TEXT_FILE_LIMIT = 16u << 20;

enum class Ctext_read { read, cannot_open, too_large };

// The whole file's bytes as they are. too_large: over TEXT_FILE_LIMIT, or memory ran out;
// cannot_open also when it could not be read to its end.
Ctext_read read_file_bytes(const std::wstring& path, std::string& bytes);
// text split at each line feed; the text after the last one is one more line, empty when the text
// ends with one.
std::vector<std::wstring> split_lines(const std::wstring& text);

// printf conventions, at most 1023 characters of result.
std::wstring format_text(const wchar_t* format, ...);
