#include "update_check/command_line.h"

const wchar_t* const USAGE =
    L"usage: update-check [<package folder>] [--install <game folder> | --registry]\n"
    L"                    [--value NAME=VALUE]... [--json] [--ansi]\n"
    L"       update-check --version\n"
    L"\n"
    L"Checks the update package (update.ini and GAMEDATA) in the folder given, or in the current\n"
    L"folder: every line of update.ini, every check update.exe runs, with the exact boxes the player\n"
    L"would see first, and every file it would copy. Writes nothing.\n"
    L"\n"
    L"  --install <folder>  also run the installation checks against that installed game, as if its\n"
    L"                      installer had set up every part\n"
    L"  --registry          also run them against the game recorded under\n"
    L"                      HKEY_CURRENT_USER\\SOFTWARE\\<REG_NAME>, as update.exe does\n"
    L"  --value NAME=VALUE  with --install or --registry: use VALUE for the registry value NAME\n"
    L"                      (SAV_FOLDER, DAT_EXIST, DAT_FOLDER, BGM_EXIST, BGM_FOLDER, ...)\n"
    L"  --json              write the report as one JSON document (UTF-8)\n"
    L"  --ansi              write to a pipe or file in the ANSI code page instead of UTF-8\n"
    L"  --version           print the version and end\n"
    L"\n"
    L"Exit code: 0 the package passes, 1 a check fails, 2 update.ini cannot be read (or the\n"
    L"command line is wrong).\n";

bool parse_command_line(int argc, wchar_t** argv, Ccommand_line& command)
{
    Ccheck_options& options = command.options;
    bool folder_given = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument == L"--install" && i + 1 < argc) {
            options.install_folder = argv[++i];
        } else if (argument == L"--registry") {
            options.read_registry = true;
        } else if (argument == L"--value" && i + 1 < argc) {
            const std::wstring value = argv[++i];
            const size_t equals = value.find(L'=');
            if (equals == std::wstring::npos)
                return false;
            options.values.emplace_back(value.substr(0, equals), value.substr(equals + 1));
        } else if (argument == L"--json") {
            command.json = true;
        } else if (argument == L"--ansi") {
            command.pipe_encoding = Cpipe_encoding::ansi;
        } else if (argument == L"--version") {
            command.version = true;
        } else if (!argument.empty() && argument[0] != L'-' && !folder_given) {
            options.package_folder = argument;
            folder_given = true;
        } else {
            return false;
        }
    }
    const bool installation = options.read_registry || !options.install_folder.empty();
    // Registry values mean something only against an installation, and only one at a time.
    return !(options.read_registry && !options.install_folder.empty()) && (installation || options.values.empty());
}
