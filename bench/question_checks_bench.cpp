// Times the checks update.exe makes of the game's files before it asks the player, for an update
// that replaces every one of count files of one folder: the game files check (links, a folder or
// a file in the way) and the held files check (each file opened as the replace opens it). Prints
// "<game files ms> <held files ms>", the median of five.
// Usage: question_checks_bench <count>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "fs/file_ops.h"
#include "fs/paths.h"
#include "install/game_files.h"
#include "install/held_files.h"

namespace {

double median_ms(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

template <typename Check>
double time_ms(Check check)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    check();
    QueryPerformanceCounter(&end);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const int count = argc > 1 ? _wtoi(argv[1]) : 1500;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring root = std::wstring(temp) + L"question-checks-bench", game = root + L"\\game";
    std::wstring unmade;
    for (const std::wstring& top : {game + L"\\data", root + L"\\GAMEDATA\\data"}) {
        make_folder_and_above(top, unmade);
        for (int i = 0; i < count; ++i)
            CloseHandle(CreateFileW(join_path(top, std::to_wstring(i) + L".dat").c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, 0, nullptr));
    }
    Cupdate_settings settings;
    settings.COPY_FOLDER_COUNT = 1;
    settings.COPY_FOLDER[0] = L"data";
    const std::vector<Ccopy_group> plan = plan_update(settings, root + L"\\GAMEDATA");
    std::vector<double> files, held;
    for (int round = 0; round < 5; ++round) {
        Cgame_folder folder;
        folder.open(game);
        Cgame_listing listing(folder);
        files.push_back(time_ms([&] { judge_game_files(folder, listing, game, plan); }));
        held.push_back(time_ms([&] { find_held_file(folder, listing, game, plan); }));
    }
    remove_tree(root);
    printf("%.1f %.1f\n", median_ms(files), median_ms(held));
    return 0;
}
