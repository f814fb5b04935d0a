#pragma once
// Before the player is asked anything: no file the update would write, and no folder on the way
// to it, is a link that leads out of the game folder's own tree.
#include <string>
#include <vector>

#include "install/game_folder.h"
#include "update_ini/copy_plan.h"
#include "update_ini/findings.h"

// The check "links": the first link on the way to a file of the plan, named below shown_folder
// (the game folder as messages name it).
Cfinding judge_links(Cgame_folder& game, const std::wstring& shown_folder, const std::vector<Ccopy_group>& plan);

// The message for a link found at relative.
std::wstring link_message(const std::wstring& shown_folder, const std::wstring& relative);
