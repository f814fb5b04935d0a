#pragma once
// The report as one JSON document, for scripts and release pipelines: the same findings as the
// text report, field by field.
#include <string>

#include "update_check/report.h"

std::wstring json_report(const Cpackage_report& report, const std::wstring& version);
