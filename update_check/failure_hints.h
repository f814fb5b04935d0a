#pragma once
// The likely cause behind a failed check, from what the checker saw in update.ini: a line meant to
// set the key that update.exe ignored, or an encoding that garbles or hides what was written.
#include <string>
#include <vector>

#include "update_check/file_notes.h"
#include "update_check/package_findings.h"
#include "update_ini/update_settings.h"

std::wstring failure_hint(const Cfinding& verdict, const Cupdate_settings& settings,
                          const std::vector<Cline_report>& lines, const Cfile_notes& notes);
