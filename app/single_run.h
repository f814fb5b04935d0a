#pragma once
// One update at a time per game, for every user and session of the machine: a named mutex in the
// global namespace on the game folder's final path, so that an 8.3 name, a drive made with subst
// or a junction leading to the same folder meet the same mutex. Held until the process ends.
#include <string>

// game_key: Cgame_folder::key. False when another update.exe holds the game already, or holds a
// mutex of that name that this user may not open.
bool claim_game(const std::wstring& game_key);
