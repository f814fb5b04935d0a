#pragma once
// One update at a time per game: a named mutex on the game's folder, held until the process ends.
#include <string>

// False when another update.exe holds the game already.
bool claim_game(const std::wstring& game_folder);
