#pragma once
// update.exe's checks of the installed game, judged one by one: the registry record, the game
// folder with Lumivane.exe, each part of the game the update needs, and the room on the game's
// drive that staging takes. As with the sources, each verdict is the message of update.exe's own
// finder asked about that one thing alone.
#include <cstdint>
#include <string>
#include <vector>

#include "install/installation_record.h"
#include "update_check/findings.h"
#include "update_ini/update_settings.h"

// Reads HKEY_CURRENT_USER\SOFTWARE\<REG_NAME> into record, as update.exe does.
Ccheck_verdict judge_registry(const Cupdate_settings& settings, Cinstallation_record& record);

std::vector<Ccheck_verdict> judge_destination(const Cupdate_settings& settings, const Cinstallation_record& installation);

// Staging writes every new file beside the one it replaces before the old ones go, so the drive of
// the game folder must hold them all at once.
Ccheck_verdict judge_free_space(const std::wstring& destination, uint64_t staging_bytes);
