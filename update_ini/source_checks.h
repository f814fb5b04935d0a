#pragma once
// Phases 3 and 4: update.ini names the game and its registry key, and every source it asks for
// is really there below GAMEDATA.

bool check_names();
bool check_sources();
