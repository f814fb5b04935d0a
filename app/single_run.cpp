#include "app/single_run.h"

#include <windows.h>

#include "fs/paths.h"
#include "fs/text.h"

namespace {

// The folder made whole, without a trailing backslash and upper-cased, so that every spelling of
// one folder gives one name; hashed, since a mutex name takes no backslash and at most MAX_PATH.
std::wstring lock_name(const std::wstring& game_folder)
{
    std::wstring full = long_path(game_folder);
    std::wstring whole(32768, L'\0');
    const DWORD length = GetFullPathNameW(full.c_str(), static_cast<DWORD>(whole.size()), &whole[0], nullptr);
    whole.resize(length > 0 && length < whole.size() ? length : 0);
    if (whole.empty())
        whole = game_folder;
    while (whole.size() > 1 && whole.back() == L'\\')
        whole.pop_back();
    uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (wchar_t unit : upper_case_name(whole))
        hash = (hash ^ static_cast<uint16_t>(unit)) * 1099511628211ull;
    return format_text(L"Local\\update.exe-%016I64x", static_cast<unsigned long long>(hash));
}

}  // namespace

bool claim_game(const std::wstring& game_folder)
{
    // Never closed: the process's end lets the next run in, however it ends.
    const HANDLE lock = CreateMutexW(nullptr, TRUE, lock_name(game_folder).c_str());
    return lock != nullptr && GetLastError() != ERROR_ALREADY_EXISTS;
}
