#pragma once
// Every line of update.ini with what it set or why it was ignored, read in update.exe's order on
// a record of the checker's own, with the notes of how the file was saved.
#include <string>
#include <vector>

#include "update_check/file_notes.h"
#include "update_check/package_findings.h"

std::vector<Cline_report> report_lines(const std::vector<std::wstring>& lines, const Cfile_notes& notes);

// Why an ignored line is ignored, in the publisher's words, the main cause first.
std::wstring reasons_text(const Cline_diagnosis& diagnosis);

// The first ignored line that was meant to set key, or null: the likely cause of a key not given.
const Cline_report* ignored_line_meant_for(const std::vector<Cline_report>& lines, const std::wstring& key);
