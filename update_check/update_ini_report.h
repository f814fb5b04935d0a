#pragma once
// update.ini as update.exe's reader read it, told to the publisher: how the file was saved, every
// line with what it did, and for a line update.exe ignores without a word, why. Each cause is
// confirmed by showing that the line, with that cause alone taken away, would be an entry to the
// same reader. From them, the likely cause of a failed check.
#include <string>

#include "update_check/package_findings.h"
#include "update_ini/update_ini_reader.h"

// Fills the notes, the code page, the lines, and the warnings and failures they call for.
void report_update_ini(const Cupdate_ini_file& file, Cpackage_findings& findings);

// Why an ignored line is ignored, in the publisher's words, the main cause first.
std::wstring reasons_text(const Cline_report& line);

// The likely cause behind a failed check: a line meant to set its key that update.exe ignored, or
// an encoding that garbles or hides what was written; empty when the checker sees none.
std::wstring failure_hint(const Cfinding& verdict, const Cpackage_findings& findings);
