// update-check: tells a publisher what update.exe would make of an update package, without
// showing a window or writing anything.
#include <windows.h>

#include <clocale>
#include <string>

#include "tool_common/console_output.h"
#include "update_check/json_report.h"
#include "update_check/package_check.h"
#include "update_check/text_report.h"
#include "update_check/words.h"
#include "version.h"

namespace {

// update-check's command line: the package folder, the installation to check against, and how the
// report is written.
struct Ccommand_line {
    Ccheck_options options;
    Cpipe_encoding pipe_encoding = Cpipe_encoding::utf8;
    bool json = false;
    Clanguage language = language_of_user();
    bool version = false;
};

// False when the command line is not one update-check understands.
bool parse_command_line(int argc, wchar_t** argv, Ccommand_line& command)
{
    Ccheck_options& options = command.options;
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
        } else if (!argument.empty() && argument[0] != L'-' && options.package_folder.empty()) {
            options.package_folder = argument;
        } else {
            return false;
        }
    }
    const bool installation = options.read_registry || !options.install_folder.empty();
    // Registry values mean something only against an installation, and only one at a time.
    return !(options.read_registry && !options.install_folder.empty()) && (installation || options.values.empty());
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    // Started from a publisher's Downloads folder, where strays collect under the names of Windows'
    // DLLs: every DLL loaded from here on comes from System32 alone.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // As update.exe does, so that the runtime treats text the way it does there.
    _wsetlocale(LC_ALL, L"japanese");

    Ccommand_line command;
    const bool understood = parse_command_line(argc, argv, command);
    use_language(command.language);
    if (!understood) {
        write_output(words(W_USAGE), command.pipe_encoding);
        return CHECK_UNREADABLE;
    }
    if (command.version) {
        write_output(L"update-check " UPDATE_VERSION_WIDE L"\n", command.pipe_encoding);
        return CHECK_PASSED;
    }
    Cpackage_findings findings;
    const int exit_code = check_package(command.options, findings);
    if (command.json)
        // JSON is UTF-8, whatever the pipe would otherwise get.
        write_output(json_report(findings), Cpipe_encoding::utf8);
    else
        write_output(text_report(findings), command.pipe_encoding);
    return exit_code;
}
