#pragma once
// The installation is complete as far as the update needs it, and the question that asks the
// player to have it overwritten.
#include <string>

#include "install/installation_record.h"
#include "update_ini/findings.h"
#include "update_ini/update_settings.h"

// In update.exe's order: "game folder" (destination_folder is there), "Lumivane.exe" (in it), then
// the parts "BGM", "KOE", "MOV" and "DAT", each off unless the update writes into it.
Cfindings judge_destination(const Cupdate_settings& settings, const Cinstallation_record& installation,
                            const std::wstring& destination_folder);

std::wstring confirmation_question(const std::wstring& destination_folder);
