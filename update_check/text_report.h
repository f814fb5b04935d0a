#pragma once
// The report as a person reads it: update.ini line by line, every check with its verdict, what the
// player sees first, the copy plan, the warnings and the result.
#include <string>

#include "update_check/package_findings.h"

std::wstring text_report(const Cpackage_findings& findings);
