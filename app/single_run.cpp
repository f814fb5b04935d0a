#include "app/single_run.h"

#include <windows.h>

bool claim_game(const std::wstring& game_key)
{
    // Never closed: the process's end lets the next run in, however it ends. A mutex of that name
    // made by another user cannot be opened here (access denied): that run holds the game too.
    const HANDLE lock = CreateMutexW(nullptr, TRUE, (L"Global\\update.exe-" + game_key).c_str());
    return lock != nullptr && GetLastError() != ERROR_ALREADY_EXISTS;
}
