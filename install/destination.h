#pragma once
// The installation is complete as far as the update needs it, and the question that asks the
// player to have it overwritten.
#include <string>

#include "install/installation_record.h"
#include "update_ini/update_settings.h"

// The cause of the first problem found with the installed game at destination_folder, or empty
// text when there is none.
std::wstring find_destination_problem(const Cupdate_settings& settings, const Cinstallation_record& installation,
                                      const std::wstring& destination_folder);

std::wstring confirmation_question(const std::wstring& destination_folder);
