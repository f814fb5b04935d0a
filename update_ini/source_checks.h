#pragma once
// update.ini names the game and its registry key, and every source it asks for is really there
// below GAMEDATA. Each check is judged and listed in update.exe's order; update.exe stops at the
// first failure, the tools show them all. They look only at the record given and at the files
// below source_root, so tools can check a package of their own.
#include <string>
#include <vector>

#include "update_ini/copy_plan.h"
#include "update_ini/findings.h"
#include "update_ini/update_settings.h"

// Why Windows cannot make a file of that name: a device name, a trailing dot or blank, or more
// than 255 UTF-16 units; empty when it can.
std::wstring unmakeable_name_advice(const std::wstring& name);

// GAME_NAME, then REG_NAME.
Cfindings judge_names(const Cupdate_settings& settings);
// GAMEDATA itself, the BGM, KOE and MOV folders, every folder entry, then every file entry. A count
// that reaches past the ten entries is judged once more under the count's own key. Last, "file
// names": every file the plan copies has a name Windows can make in the game folder, and no two
// of them differ only in letter case. The copy plan those last checks judged is handed back in plan,
// listed once for them and for whatever follows; empty when a source is missing.
Cfindings judge_sources(const Cupdate_settings& settings, const std::wstring& source_root,
                        std::vector<Ccopy_group>& plan);
