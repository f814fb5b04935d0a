#include "update_check/command_line.h"

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
        } else if (argument == L"--lang" && i + 1 < argc && (argv[i + 1] == std::wstring(L"ja") || argv[i + 1] == std::wstring(L"en"))) {
            command.language = argv[++i] == std::wstring(L"ja") ? Clanguage::japanese : Clanguage::english;
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
