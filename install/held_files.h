#pragma once
// Before the player is asked anything: every game file the update would replace is free, opened
// as the replace will open it. A game left running, its launcher or a save editor holds its files;
// found here, the player can close it and try again before a single file is written. A file that
// becomes held later still fails the update as before, and the game is put back.
#include <string>
#include <vector>

#include "install/game_folder.h"
#include "install/game_listing.h"
#include "update_ini/copy_plan.h"
#include "update_ini/findings.h"

// A file another program holds, and who holds it where Windows can tell (the Restart Manager).
struct Cheld_file {
    std::wstring shown_path;  // below the game folder as messages name it; empty: nothing is held
    std::vector<std::wstring> holders;  // the programs' names; the game's own engine as "Lumivane.exe"
};

// The first file of the plan that the game's listing shows and that another program holds.
Cheld_file find_held_file(Cgame_folder& game, Cgame_listing& listing, const std::wstring& shown_folder,
                          const std::vector<Ccopy_group>& plan);
// What the player is told of it: the file, who holds it, what to do.
std::wstring held_file_message(const Cheld_file& held);
// The check "held files", for the tools: the same file and message.
Cfinding judge_held_files(Cgame_folder& game, Cgame_listing& listing, const std::wstring& shown_folder,
                          const std::vector<Ccopy_group>& plan);
