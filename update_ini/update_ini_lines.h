#pragma once
// One line of update.ini at a time: the thirty templates in the order they are tried, and the
// function that applies a line to a settings record. Nothing here touches the program's globals,
// so tools can apply lines to a record of their own and report what each line set.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "update_ini/text_scanner.h"
#include "update_ini/update_settings.h"

// The two lists of entries, COPY_FOLDER_nn and COPY_FILE_nn, each with its count: every layer that
// walks the lists walks this one table.
struct Ccopy_list {
    // FOLDER or FILE, as in the keys.
    const wchar_t* kind;
    int32_t Cupdate_settings::*count;
    std::wstring (Cupdate_settings::*entries)[COPY_ENTRY_LIMIT];
};

// Folders first, as update.exe checks and copies them.
extern const Ccopy_list COPY_LISTS[2];

// The blanks of an update.ini line.
extern const wchar_t* const UPDATE_INI_BLANKS;

struct Cupdate_ini_template {
    // Exactly as matched, e.g. "BGM_UPDATE = %d" or "COPY_FOLDER_03 = %s".
    std::wstring pattern;
    // The field the template fills: a number, a text, or one entry of a list.
    int32_t Cupdate_settings::*number_field = nullptr;
    std::wstring Cupdate_settings::*text_field = nullptr;
    std::wstring (Cupdate_settings::*list_field)[COPY_ENTRY_LIMIT] = nullptr;
    int list_index = 0;

    // The numbered list entries are tried after the other keys, all of them on the same line.
    bool is_numbered() const { return list_field != nullptr; }
    // The key as written in update.ini: the pattern before its first space.
    std::wstring key() const { return pattern.substr(0, pattern.find(L' ')); }
    // The field within the given record; null for the kind the template does not fill.
    int32_t* number_in(Cupdate_settings& settings) const;
    std::wstring* text_in(Cupdate_settings& settings) const;
};

// The thirty templates in the order they are tried: GAME_NAME to COPY_FILE_COUNT, then
// COPY_FOLDER_00 to COPY_FOLDER_09, then COPY_FILE_00 to COPY_FILE_09.
const std::vector<Cupdate_ini_template>& update_ini_templates();

// The template of the key as written in update.ini ("BGM_FOLDER"), or null for no key of update.ini.
const Cupdate_ini_template* update_ini_template(const std::wstring& key);

enum class Cupdate_ini_line_kind { empty, comment, entry, ignored };

// One template that matched a line, and the value it set.
struct Cupdate_ini_match {
    // Into update_ini_templates().
    size_t index = 0;
    // The text, or the number in decimal, as it went into the record.
    std::wstring value;
    // The number was written outside the 32-bit range, and so set another one.
    bool wrapped = false;
};

// What one line did, for the tools that tell a publisher line by line.
struct Cupdate_ini_line_result {
    Cupdate_ini_line_kind kind = Cupdate_ini_line_kind::ignored;
    // Every template that matched, in the order applied: one for a key line; one or more when
    // numbered entries follow each other on one line.
    std::vector<Cupdate_ini_match> matched;
    // For an entry: where matching stopped, after the last value; the rest of the line is ignored.
    size_t end = 0;
    // For an ignored line: the template that read furthest into it (the first of equals), and where
    // and why it stopped.
    size_t nearest = 0;
    Cmatch_stop stop;
};

// Applies one line (without its line feed) to the record: every template that matches sets its
// field, and a field changes only when its whole template matched.
Cupdate_ini_line_result apply_update_ini_line(const std::wstring& line, Cupdate_settings& settings);
