#pragma once
// Why a line of update.ini does what it does. update.exe skips a line it does not understand
// without a word; the checker names the cause, so that a publisher sees the trap before a player
// runs into it. The diagnosis is the checker's own: the reader is applied as it is, and each cause
// is confirmed by showing that the line, with that cause alone taken away, would be an entry.
#include <string>
#include <vector>

#include "update_ini/update_ini_lines.h"
#include "update_ini/update_settings.h"

enum class Cignored_reason {
    byte_order_mark,
    indented_key,
    full_width_blank,
    wrong_letter_case,
    unknown_key,
    numbered_key_out_of_range,
    section_header,
    not_a_comment_marker,
    missing_equals,
    missing_value,
    unquoted_value,
    unterminated_value,
    not_a_number,
};

// A short English name of the reason, stable for scripts ("indented key", ...), in the order of the
// reasons above.
const wchar_t* reason_name(Cignored_reason reason);

struct Cline_diagnosis {
    Cupdate_ini_line_kind kind = Cupdate_ini_line_kind::ignored;
    // Every template that matched, as in Cupdate_ini_line_result.
    std::vector<Cupdate_ini_match> matched;
    // For an ignored line: the causes found, the first being the main one.
    std::vector<Cignored_reason> reasons;
    // What the line would set without the causes above ("GAME_NAME"), or empty.
    std::wstring would_set;
    // For an ignored line that begins with a key of update.ini once the causes are taken away: that
    // key, even when its value is what fails.
    std::wstring key;
    // For an ignored line that would do nothing anyway (a blank line, a comment behind blanks).
    bool harmless = false;
    // For an entry: the text after the last value, which update.exe ignores; empty when blank.
    std::wstring ignored_tail;
};

// first_line_has_bom: the file began with a UTF-8 byte-order mark, which the reader decodes as
// ordinary characters at the start of the first line.
Cline_diagnosis diagnose_line(const std::wstring& line, bool first_line_has_bom, Cupdate_settings& settings);
