#pragma once
// update.ini names the game and its registry key, and every source it asks for is really there
// below GAMEDATA.
#include <string>

#include "update_ini/update_settings.h"

// The cause of the first problem found, or empty text when there is none. They look only at the
// record given and at the files below source_root, so tools can check a package of their own.
std::wstring find_name_problem(const Cupdate_settings& settings);
std::wstring find_source_problem(const Cupdate_settings& settings, const std::wstring& source_root);
