#pragma once
// The report as one JSON document, for scripts and release pipelines: the same findings as the
// text findings, field by field.
#include <string>

#include "update_check/package_findings.h"

std::wstring json_report(const Cpackage_findings& findings);
