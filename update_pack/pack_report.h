#pragma once
// What one run of update-pack found and made, told as text for the publisher at the console or
// as one JSON document.
#include <string>
#include <vector>

#include "update_ini/copy_plan.h"
#include "update_pack/pack_command.h"
#include "update_pack/tree_diff.h"

struct Cmade_package {
    // Where it lies once in place: the package folder, or its numbered subfolder in a chain.
    std::wstring folder;
    std::vector<std::wstring> update_ini;
    std::vector<Ccopy_group> plan;
};

struct Cpack_result {
    int exit_code = PACK_MADE;
    std::vector<std::wstring> errors;
    Ctree_diff diff;
    // In the chain's order; one when one package holds the update, none when nothing was made.
    std::vector<Cmade_package> packages;
};

// options name update.exe and the note by their full paths.
std::wstring pack_report_text(const Cpack_options& options, const Cpack_result& result);
std::wstring pack_report_json(const Cpack_result& result);
