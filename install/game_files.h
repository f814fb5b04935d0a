#pragma once
// Before the player is asked anything: every file of the plan can be written where the plan puts
// it in the installed game. No file or folder on the way to it is a link; no folder stands where a
// file goes, nor a file where a folder must be; nothing goes into the update's own folder. The
// same rule serves update.exe, update-check --install and update-pack's proof of its package.
#include <string>
#include <vector>

#include "install/game_folder.h"
#include "install/game_listing.h"
#include "update_ini/copy_plan.h"
#include "update_ini/findings.h"

// The check "game files": the first file of the plan that cannot be written, named below
// shown_folder (the game folder as messages name it), told by the game's listing.
Cfinding judge_game_files(Cgame_folder& game, Cgame_listing& listing, const std::wstring& shown_folder,
                          const std::vector<Ccopy_group>& plan);

// The message for a link found at relative.
std::wstring link_message(const std::wstring& shown_folder, const std::wstring& relative);
