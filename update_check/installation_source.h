#pragma once
// The installation the checker checks against when asked to: one recorded in the registry, as
// update.exe reads it, or a game folder given on the command line as if its installer had set up
// every part, with single values overridden by hand.
#include <string>
#include <utility>
#include <vector>

#include "install/installation_record.h"
#include "update_ini/update_settings.h"

// What an installer that set up every part records for folder, with the media folders where the
// update writes them.
Cinstallation_record installed_everything(const std::wstring& folder, const Cupdate_settings& settings);

// Sets each named value; returns the first name that is not one of the nine, or empty text.
std::wstring override_values(const std::vector<std::pair<std::wstring, std::wstring>>& values,
                             Cinstallation_record& record);
