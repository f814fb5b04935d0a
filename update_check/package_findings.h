#pragma once
// What the checker found in one package, gathered first and written out afterwards: as text for a
// person (text_report.h) or as one JSON document for a script (json_report.h), so that both tell
// the same. Everything is English except the texts of update.ini and of the player's boxes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "install/installation_record.h"
#include "update_ini/findings.h"
#include "update_check/file_notes.h"
#include "update_check/line_diagnosis.h"
#include "update_check/package_exe.h"

// One key a line of update.ini set.
struct Cline_setting {
    std::wstring key;
    std::wstring value;
    bool is_number = false;
    // The earlier line whose value this one replaces, or 0.
    size_t replaces_line = 0;
};

struct Cline_report {
    size_t number = 0;
    std::wstring text;
    Cline_diagnosis diagnosis;
    std::vector<Cline_setting> settings;
    // Why the line reads oddly because of how the file was saved; empty when it reads as written.
    std::wstring encoding_note;
    // A number written beyond the 32-bit range, which update.exe reads as another number.
    std::wstring failure;
};

// One of update.exe's checks as the checker reports it. update.exe stops at the first that fails;
// the checker judges every one, so that one run lists every problem.
struct Cchecked : Cfinding {
    // For a failure: the likely cause behind it, when the checker sees one.
    std::wstring hint;
};

struct Cbox {
    // "warning" (OK), "question" (Yes/No) or "information" (OK).
    std::wstring kind;
    std::wstring caption;
    std::wstring text;
};

struct Cplanned_file {
    std::wstring path;
    uint64_t size = 0;
};

// Something about a planned group that update.exe does not tell: fails (the update would report
// success without installing what the package means to install) or a warning.
struct Cplan_note {
    bool fails = false;
    std::wstring text;
};

struct Cplan_group {
    std::wstring key;
    std::wstring entry;
    // False when the group's own check fails: nothing would be copied for it.
    bool planned = true;
    std::vector<Cplanned_file> files;
    uint64_t bytes = 0;
    std::vector<Cplan_note> notes;
};

struct Cpackage_findings {
    std::wstring folder;
    int exit_code = 0;
    // Why the checker could not do its work (the folder cannot be opened, a registry value it does
    // not know); the exit code is then 2.
    std::wstring checker_error;

    // update.ini itself: how it was saved, and for a missing one, what may stand in its place.
    bool readable = false;
    Cfile_notes notes;
    unsigned code_page = 0;
    std::wstring missing_hint;
    std::vector<Cline_report> lines;

    std::vector<Cchecked> checks;
    // The name of the check whose failure the player would see (as in Cfinding::check), or
    // empty when none fails.
    std::wstring first_failure;
    // What the player sees first: the boxes of that failure, or the confirmation.
    std::vector<Cbox> player_sees;

    // Where the installation came from: "registry", "--install", or empty when not checked.
    std::wstring installation_source;
    Cinstallation_record installation;

    std::vector<Cplan_group> plan;
    size_t plan_files = 0;
    uint64_t plan_bytes = 0;
    // The room staging takes on the game's drive (every new file while the old ones still stand)
    // and the room there is; free_bytes is known only when an installation is checked.
    uint64_t staging_bytes = 0;
    bool free_space_known = false;
    uint64_t free_bytes = 0;

    // The update.exe the player starts, and what fails the package in it: a signature broken
    // since signing, a file that is no update.exe of any kit.
    Cpackage_exe exe;
    std::vector<std::wstring> exe_problems;

    std::vector<std::wstring> warnings;
    // What update.exe would not stop at, yet fails the package: the update would not install what
    // the package means to install.
    std::vector<std::wstring> failures;
};
