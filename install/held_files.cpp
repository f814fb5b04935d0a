#include "install/held_files.h"

#include <windows.h>
#include <restartmanager.h>

#include "fs/paths.h"

namespace {

// Opened as ReplaceFileW opens the file it replaces: for deleting and writing, letting others do
// everything. Only a program that holds the file without sharing it makes this fail so.
bool is_held(const std::wstring& path)
{
    const HANDLE file = CreateFileW(long_path(path).c_str(), DELETE | FILE_WRITE_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION || GetLastError() == ERROR_LOCK_VIOLATION;
}

std::wstring image_path(DWORD process_id)
{
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id);
    wchar_t path[MAX_PATH * 4] = {};
    DWORD size = MAX_PATH * 4;
    const bool known = process != nullptr && QueryFullProcessImageNameW(process, 0, path, &size);
    if (process != nullptr)
        CloseHandle(process);
    return known ? std::wstring(path, size) : std::wstring();
}

// The programs the Restart Manager says hold path, in System32's copy: it is not a known DLL, and
// where it is missing or says nothing, no name is given. The game's own engine is named as such.
std::vector<std::wstring> holders_of(const std::wstring& path, const std::wstring& engine)
{
    const HMODULE manager = LoadLibraryExW(L"rstrtmgr.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    const auto start = reinterpret_cast<decltype(&RmStartSession)>(
        reinterpret_cast<void*>(GetProcAddress(manager, "RmStartSession")));
    const auto add = reinterpret_cast<decltype(&RmRegisterResources)>(
        reinterpret_cast<void*>(GetProcAddress(manager, "RmRegisterResources")));
    const auto list = reinterpret_cast<decltype(&RmGetList)>(reinterpret_cast<void*>(GetProcAddress(manager, "RmGetList")));
    const auto end = reinterpret_cast<decltype(&RmEndSession)>(reinterpret_cast<void*>(GetProcAddress(manager, "RmEndSession")));
    std::vector<std::wstring> holders;
    DWORD session = 0;
    wchar_t key[CCH_RM_SESSION_KEY + 1] = {};
    if (start == nullptr || add == nullptr || list == nullptr || end == nullptr || start(&session, 0, key) != ERROR_SUCCESS)
        return holders;
    const wchar_t* files[] = {path.c_str()};
    UINT needed = 0, count = 0;
    DWORD reasons = 0;
    std::vector<RM_PROCESS_INFO> processes;
    if (add(session, 1, files, 0, nullptr, 0, nullptr) == ERROR_SUCCESS &&
        list(session, &needed, &count, nullptr, &reasons) == ERROR_MORE_DATA) {
        processes.resize(needed);
        count = needed;
        if (list(session, &needed, &count, processes.data(), &reasons) != ERROR_SUCCESS)
            count = 0;
    }
    end(session);
    for (UINT i = 0; i < count && i < processes.size(); ++i)
        holders.push_back(upper_case_name(image_path(processes[i].Process.dwProcessId)) == upper_case_name(engine)
                              ? L"Lumivane.exe" : processes[i].strAppName);
    return holders;
}

}  // namespace

Cheld_file find_held_file(Cgame_folder& game, Cgame_listing& listing, const std::wstring& shown_folder,
                          const std::vector<Ccopy_group>& plan)
{
    Cheld_file held;
    for (const Ccopy_group& group : plan)
        for (const Cfile_entry& entry : group.listing.entries) {
            // Only a file that is there can be held: a new one is never asked about.
            if (!listing.has_file(group.folder, entry.path))
                continue;
            const Cgame_path path = game.game_path(relative_path(group, entry));
            if (path.empty() || !is_held(path.whole()))
                continue;
            held.shown_path = join_path(shown_folder, relative_path(group, entry));
            held.holders = holders_of(path.whole(), game.game_path(L"Lumivane.exe").whole());
            return held;
        }
    return held;
}

std::wstring held_file_message(const Cheld_file& held)
{
    std::wstring names;
    for (const std::wstring& name : held.holders)
        names += (names.empty() ? L"" : L"、") + (name == L"Lumivane.exe" ? L"ゲーム本体（Lumivane.exe）" : name);
    if (names.empty())
        return held.shown_path + L" は、ゲームまたはほかのプログラムが使用している可能性があるため、上書きできません。\n"
                                 L"ゲームを終了してから、[再試行] を押してください。";
    return held.shown_path + L" は、" + names + L" が使用しているため、上書きできません。\n" + names +
           L" を終了してから、[再試行] を押してください。";
}

Cfinding judge_held_files(Cgame_folder& game, Cgame_listing& listing, const std::wstring& shown_folder,
                          const std::vector<Ccopy_group>& plan)
{
    const Cheld_file held = find_held_file(game, listing, shown_folder, plan);
    return judged(L"held files", held.shown_path.empty() ? shown_folder : held.shown_path,
                  held.shown_path.empty() ? L"" : held_file_message(held));
}
