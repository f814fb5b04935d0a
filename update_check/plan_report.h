#pragma once
// The copy plan as update.exe would carry it out once the player says Yes, group by group, with
// what the checker says of each group (package_findings.h lists it). Only the groups that
// update.ini switches on appear, and a group whose own check fails is kept as not planned, without
// files.
#include <string>
#include <vector>

#include "update_check/package_findings.h"
#include "update_ini/copy_plan.h"

// plan: plan_update's, as update.exe lists it; destination: the installed game when one is
// checked, or empty.
std::vector<Cplan_group> report_plan(const std::vector<Ccopy_group>& plan, const std::wstring& source_root,
                                     const std::wstring& destination, const std::vector<Cchecked>& checks);

