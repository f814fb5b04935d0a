// update-check: tells a publisher what update.exe would make of an update package, without
// showing a window or writing anything.
#include <windows.h>

#include <clocale>
#include <string>

#include "update_check/command_line.h"
#include "tool_common/console_output.h"
#include "update_check/json_report.h"
#include "update_check/package_check.h"
#include "update_check/text_report.h"
#include "version.h"

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
