#pragma once
// What the checker found in one package, gathered first and written out afterwards: as text for a
// person (text_report.h) or as one JSON document for a script (json_report.h), so that both tell
// the same. Everything is English except the texts of update.ini and of the player's boxes.
//
// What update.exe does is update.exe's own code, used here as it is: its reader tells what each
// line did, its checks judge, its copy plan lists. What the checker judges and update.exe does not
// is all in this table; where these speak, update.exe goes on, or even reports success:
//   fails the package  a number written outside 32 bits                       update_ini_report.cpp
//                      a file entry that selects no file; a planned file with
//                      a device name                                          package_check.cpp
//                      the package's update.exe altered since signing,
//                      unreadable, or without a version                       package_check.cpp
//   warns              how update.ini was saved; a code page other than 932;
//                      entries given beyond their count                       update_ini_report.cpp
//                      absolute entries; entries that find nothing;
//                      subfolders left behind; media folders missing at the
//                      destination; files another entry reaches too           package_check.cpp
//                      the package's update.exe from another kit              package_check.cpp
//   explains           why an ignored line is ignored; the likely cause of a
//                      failed check                                           update_ini_report.cpp
//                      whose signature the package's update.exe carries       package_exe.cpp
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fs/folder_walk.h"
#include "install/installation_record.h"
#include "update_check/package_exe.h"
#include "update_ini/findings.h"
#include "update_ini/update_ini_lines.h"
#include "update_ini/update_settings.h"

// What the bytes of update.ini say about how it was saved. update.exe reads the file as text in
// the ANSI code page (Shift-JIS on a Japanese Windows) and says nothing when it was saved some
// other way; these notes tell the publisher before the player finds out.
struct Cfile_notes {
    size_t size = 0;
    bool utf8_byte_order_mark = false, utf16_byte_order_mark = false;
    // Every other byte zero from the start, as UTF-16 text of ASCII characters saved without a mark.
    bool looks_like_utf16 = false;
    // Offsets of the first zero byte and the first 0x1A byte: the text ends at either.
    size_t zero_byte = std::string::npos, end_of_file_byte = std::string::npos;
    size_t crlf_line_ends = 0, lone_cr_line_ends = 0, lone_lf_line_ends = 0;
    // Valid UTF-8 with characters beyond ASCII: Japanese text saved as UTF-8 reads as garbage.
    bool looks_like_utf8 = false;
    // For a file that looks like UTF-8: its lines as they were meant, to show beside the garbled
    // ones update.exe reads.
    std::vector<std::wstring> lines_as_utf8;
};

// Why update.exe ignores a line, in the order of their words in update-check.rc.
enum class Cignored_reason {
    byte_order_mark, indented_key, full_width_blank, wrong_letter_case, unknown_key, numbered_key_out_of_range,
    section_header, not_a_comment_marker, missing_equals, missing_value, unquoted_value, unterminated_value,
    not_a_number,
};

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
    // What update.exe made of the line, as its reader tells it.
    Cupdate_ini_line_result read;
    std::vector<Cline_setting> settings;
    // For an entry: the text after the last value, which update.exe ignores; empty when blank.
    std::wstring ignored_tail;
    // For an ignored line: the causes found, the first being the main one; what the line would set
    // without them ("GAME_NAME"); and the key it begins with once they are taken away, even when
    // its value is what fails.
    std::vector<Cignored_reason> reasons;
    std::wstring would_set;
    std::wstring key;
    // For an ignored line that would do nothing anyway (a blank line, a comment behind blanks).
    bool harmless = false;
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

// What the checker says of a planned group: fails the package, or warns.
struct Cplan_note {
    bool fails = false;
    std::wstring text;
};

struct Cplan_group {
    std::wstring key;
    std::wstring entry;
    // False when the group's own check fails: nothing would be copied for it.
    bool planned = true;
    // Each with its path below GAMEDATA and the destination.
    std::vector<Cfile_entry> files;
    uint64_t bytes = 0;
    std::vector<Cplan_note> notes;
};

struct Cpackage_findings {
    std::wstring folder;
    int exit_code = 0;
    // Why the checker could not do its work (the folder cannot be opened, a registry value it does
    // not know); the exit code is then 2.
    std::wstring checker_error;

    // update.ini as update.exe read it, how it was saved, and for a missing one, what may stand in
    // its place.
    bool readable = false;
    Cupdate_settings settings;
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

    // The update.exe the player starts: what the report says of it, and what fails the package in it.
    Cpackage_exe exe;
    std::vector<std::wstring> exe_notes;
    std::vector<std::wstring> exe_problems;

    std::vector<std::wstring> warnings;
    // What update.exe would not stop at, yet fails the package: the update would not install what
    // the package means to install.
    std::vector<std::wstring> failures;
};
