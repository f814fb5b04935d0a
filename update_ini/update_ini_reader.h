#pragma once
// Reads an update.ini into a settings record, line by line.
#include <string>

#include "update_ini/update_settings.h"

// Every line of the file at path applied to settings, in order: a key given twice keeps its last
// value, and lines that match no key change nothing. Returns the problem when the file cannot be
// read (missing, or too large for an update.ini), or empty text.
std::wstring read_update_ini_file(const std::wstring& path, Cupdate_settings& settings);
