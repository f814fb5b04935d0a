// update-pack: makes the update package (update.ini and GAMEDATA) from the old and the new game
// folder, and proves it with update.exe's own reader, checks and copy plan.
#include <windows.h>

#include <clocale>
#include <string>
#include <vector>

#include "fs/paths.h"
#include "tool_common/console_output.h"
#include "update_pack/pack_command.h"
#include "version.h"

namespace {

const wchar_t* const USAGE =
    L"usage: update-pack <old game folder> <new game folder> <package folder>\n"
    L"                   --name <GAME_NAME> --registry <REG_NAME>\n"
    L"                   [--bgm <folder>] [--koe <folder>] [--mov <folder>]\n"
    L"                   [--exe <update.exe>] [--note <README.txt>] [--force] [--json]\n"
    L"       update-pack --version\n"
    L"\n"
    L"Compares the two game folders and writes the package that brings the old one to the new one:\n"
    L"GAMEDATA with every new or changed file, update.ini in Shift-JIS with CR LF, update.exe and the\n"
    L"player's note README.txt. Files only the old folder has are listed, not packed (update.exe never\n"
    L"deletes). When update.ini cannot name every change (ten folder entries, ten file entries), the\n"
    L"update becomes a chain of packages in the subfolders 1, 2, ... with a note on their order. Each\n"
    L"package is read back as update.exe reads it; together they must copy exactly the changed files.\n"
    L"\n"
    L"  --bgm, --koe, --mov  the game's BGM, voice and movie folders (below the game folder): changes\n"
    L"                       directly inside them go to BGM_FOLDER, KOE_FOLDER, MOV_FOLDER\n"
    L"  --exe                the update.exe to ship (default: the one beside update-pack.exe)\n"
    L"  --note               the player's note to ship as README.txt (default: sample\\README.txt beside\n"
    L"                       update-pack.exe, when there is one)\n"
    L"  --force              replace a package folder that is not empty\n"
    L"  --json               print the report as one JSON document\n"
    L"\n"
    L"Exit code: 0 the package was made, 1 the changes cannot be expressed in update.ini (nothing\n"
    L"is written), 2 wrong arguments, unreadable folders, or no update.exe.\n";

bool parse_arguments(int argc, wchar_t** argv, Cpack_options& options)
{
    std::vector<std::wstring> folders;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        std::wstring* value = argument == L"--name"       ? &options.game_name
                              : argument == L"--registry" ? &options.registry_name
                              : argument == L"--exe"      ? &options.update_exe
                              : argument == L"--note"     ? &options.note
                                                          : nullptr;
        for (int part = 0; part < MEDIA_PART_COUNT; ++part)
            if (argument == L"--" + lower_ascii(MEDIA_PARTS[part].name))
                value = &options.media[part];
        if (value != nullptr && i + 1 < argc)
            *value = argv[++i];
        else if (argument == L"--force")
            options.force = true;
        else if (argument == L"--json")
            options.json = true;
        else if (value == nullptr && !argument.empty() && argument[0] != L'-')
            folders.push_back(argument);
        else
            return false;
    }
    if (folders.size() != 3 || options.game_name.empty() || options.registry_name.empty())
        return false;
    options.old_folder = folders[0];
    options.new_folder = folders[1];
    options.package_folder = folders[2];
    return true;
}

// A file of the publisher's kit, beside this program.
std::wstring beside_this_program(const std::wstring& name)
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return join_path(path_folder(std::wstring(path, length)), name);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    // Started from a publisher's Downloads folder, where strays collect under the names of Windows'
    // DLLs: every DLL loaded from here on comes from System32 alone.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // As update.exe does, so that the runtime treats text the way it does there.
    _wsetlocale(LC_ALL, L"japanese");
    if (argc == 2 && std::wstring(argv[1]) == L"--version") {
        write_output(L"update-pack " UPDATE_VERSION_WIDE L"\n", Cpipe_encoding::utf8);
        return PACK_MADE;
    }
    Cpack_options options;
    if (!parse_arguments(argc, argv, options)) {
        write_output(USAGE, Cpipe_encoding::utf8);
        return PACK_BAD_INPUT;
    }
    if (options.update_exe.empty())
        options.update_exe = beside_this_program(L"update.exe");
    if (options.note.empty() && file_exists(beside_this_program(L"sample\\README.txt")))
        options.note = beside_this_program(L"sample\\README.txt");
    std::wstring report;
    const int exit_code = make_package(options, report);
    write_output(report, Cpipe_encoding::utf8);
    return exit_code;
}
