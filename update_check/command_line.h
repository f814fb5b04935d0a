#pragma once
// update-check's command line: the package folder, the installation to check against, and how the
// report is written.
#include <string>

#include "tool_common/console_output.h"
#include "update_check/package_check.h"
#include "update_check/words.h"

struct Ccommand_line {
    Ccheck_options options;
    Cpipe_encoding pipe_encoding = Cpipe_encoding::utf8;
    bool json = false;
    Clanguage language = language_of_user();
    bool version = false;
};

// False when the command line is not one update-check understands.
bool parse_command_line(int argc, wchar_t** argv, Ccommand_line& command);
