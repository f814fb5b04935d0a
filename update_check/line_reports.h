#pragma once
// Every line of update.ini with what update.exe's reader made of it, and for a line it ignores
// without a word, why: each cause is confirmed by showing that the line, with that cause alone
// taken away, would be an entry to the same reader. From them, the likely cause of a failed check.
#include <string>
#include <vector>

#include "update_check/package_findings.h"
#include "update_ini/update_ini_reader.h"

std::vector<Cline_report> report_lines(const Cupdate_ini_file& file, const Cfile_notes& notes);

// A short English name of the reason, stable for scripts ("indented key", ...).
const wchar_t* reason_name(Cignored_reason reason);
// Why an ignored line is ignored, in the publisher's words, the main cause first.
std::wstring reasons_text(const Cline_report& line);

// The likely cause behind a failed check: a line meant to set its key that update.exe ignored, or
// an encoding that garbles or hides what was written; empty when the checker sees none.
std::wstring failure_hint(const Cfinding& verdict, const Cpackage_findings& findings);
