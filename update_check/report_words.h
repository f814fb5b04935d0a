#pragma once
// The words the text report and the JSON document share, so that both call a thing the same.
#include <string>

#include "update_check/package_findings.h"
#include "update_ini/update_ini_lines.h"

const wchar_t* verdict_word(Cfinding_state state);
const wchar_t* line_kind_word(Cupdate_ini_line_kind kind);
// "passed", "failed" or "unreadable", from the exit code.
const wchar_t* result_word(int exit_code);
