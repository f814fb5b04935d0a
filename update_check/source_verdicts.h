#pragma once
// update.exe's checks of update.ini and GAMEDATA, judged one by one: each name, the GAMEDATA
// folder, each media folder and each folder and file entry the update asks for. update.exe stops
// at the first problem; here every one gets its verdict, in the same order. Each verdict is the
// message of update.exe's own finder, asked about that one thing alone, so its text is exactly
// the one the player would read.
#include <string>
#include <vector>

#include "update_check/findings.h"
#include "update_ini/update_settings.h"

std::vector<Ccheck_verdict> judge_names(const Cupdate_settings& settings);
// Run in the package folder, where update.ini lies beside source_root.
std::vector<Ccheck_verdict> judge_sources(const Cupdate_settings& settings, const std::wstring& source_root);

// Entries given beyond their count, which update.exe never looks at: a count left too low.
std::vector<std::wstring> entries_beyond_count(const Cupdate_settings& settings);
