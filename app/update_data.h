#pragma once
// The update data object: everything the phases of one update share.
#include <string>

#include "install/game_folder.h"
#include "install/game_listing.h"
#include "install/installation_record.h"
#include "update_ini/copy_plan.h"
#include "update_ini/update_settings.h"

struct Cupdate_data {
    Cupdate_settings settings;
    Cinstallation_record installation;
    // Where the update's files come from, relative to the program's folder ("GAMEDATA").
    std::wstring source_root;
    // The installed game folder that the update is written over.
    std::wstring destination_folder;
    // The same folder by its final path, through which every file below it is reached.
    Cgame_folder game;
    // What stood in the game's folders before the update, each listed once, for the checks before
    // the question and the staging.
    Cgame_listing listing{game};
    // What the update copies: listed once, by the source checks, for every check after them and the
    // copy.
    std::vector<Ccopy_group> plan;
};

extern Cupdate_data g_update;
