#pragma once
// The proof that an update folder in a game folder is this user's own. Before update.exe makes
// the folder, it writes a token new to the run under this user's registry, in a value named by
// the game folder's key (Cgame_folder::key), and it writes the same token as the journal's first line. No other
// account can write this user's registry, nor read the journal in a folder that only this user,
// Administrators and SYSTEM may open, so a journal that carries the recorded token was written by
// this user's update.exe. The value goes when the folder is gone.
#include <string>

// Under HKEY_CURRENT_USER.
constexpr const wchar_t* RUN_RECORD_KEY = L"SOFTWARE\\update.exe\\Unfinished runs";

// A token no one can guess: a random GUID's text; empty when Windows cannot make one.
std::wstring new_run_token();
// Written and flushed to the disk before the folder is made; false when it could not be.
bool record_run(const std::wstring& game_key, const std::wstring& token);
// The recorded token, or empty text when no run of this user is recorded for the game.
std::wstring recorded_run(const std::wstring& game_key);
void forget_run(const std::wstring& game_key);

class Cgame_folder;
struct Cfinding;
// The player's message for something under the update folder's name that this user's update did
// not make; shown_folder is the game folder as messages name it.
std::wstring update_folder_in_the_way(const std::wstring& shown_folder);
// The check "update folder": fails when something lies in the game folder under the update
// folder's name while no run of this user is recorded for the game. Changes nothing.
Cfinding judge_update_folder(const Cgame_folder& game, const std::wstring& shown_folder);
