#pragma once
// Reads an update.ini into a settings record, line by line.
#include <string>
#include <vector>

#include "update_ini/update_ini_lines.h"
#include "update_ini/update_settings.h"

// update.ini as it was read, for the tools that show it line by line: its bytes as they are, and
// each line as update.exe decodes it, with what the line did.
struct Cupdate_ini_file {
    std::string bytes;
    std::vector<std::wstring> lines;
    std::vector<Cupdate_ini_line_result> results;
};

// Every line of the file at path applied to settings, in order: a key given twice keeps its last
// value, and lines that match no key change nothing. Returns the problem when the file cannot be
// read (missing, or too large for an update.ini), or empty text. file, when given, receives the
// file as it was read.
std::wstring read_update_ini_file(const std::wstring& path, Cupdate_settings& settings, Cupdate_ini_file* file = nullptr);
