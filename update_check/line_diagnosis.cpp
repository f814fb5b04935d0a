#include "update_check/line_diagnosis.h"

#include <algorithm>

#include "fs/paths.h"
#include "fs/text.h"
#include "update_ini/text_scanner.h"

namespace {

const wchar_t FULL_WIDTH_SPACE = L'\x3000';

const wchar_t* const KEY_CHARACTERS = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_";

// Where the blanks from at end.
size_t past_blanks(const std::wstring& line, size_t at)
{
    return std::min(line.find_first_not_of(L" \t", at), line.size());
}

bool starts_with(const std::wstring& text, const std::wstring& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// COPY_FOLDER_ or COPY_FILE_ followed by digits: a numbered key, but not one of 00 to 09.
bool is_numbered_key(const std::wstring& key)
{
    for (const std::wstring prefix : {L"COPY_FOLDER_", L"COPY_FILE_"})
        if (starts_with(key, prefix) && key.size() > prefix.size() &&
            key.find_first_not_of(L"0123456789", prefix.size()) == std::wstring::npos)
            return true;
    return false;
}

// What the line would set on its own, or empty when it would set nothing.
std::wstring entry_keys(const std::wstring& line)
{
    Cupdate_settings scratch;
    const Cupdate_ini_line_result result = apply_update_ini_line(line, scratch);
    std::wstring keys;
    for (const Cupdate_ini_match& match : result.matched)
        keys += (keys.empty() ? L"" : L", ") + update_ini_templates()[match.index].key();
    return keys;
}

// The value of a known key whose line still does not match: what is wrong after the key.
Cignored_reason value_problem(const std::wstring& line, size_t after_key, const Cupdate_ini_template& entry)
{
    size_t at = past_blanks(line, after_key);
    if (at >= line.size() || line[at] != L'=')
        return Cignored_reason::missing_equals;
    at = past_blanks(line, at + 1);
    if (at >= line.size())
        return Cignored_reason::missing_value;
    if (entry.number_field != nullptr)
        return Cignored_reason::not_a_number;
    if (line[at] != L'"')
        return Cignored_reason::unquoted_value;
    return Cignored_reason::unterminated_value;
}

// The text left after the values the line set, replayed with the reader's own matcher.
std::wstring tail_after_values(const std::wstring& line, const std::vector<Cupdate_ini_match>& matched)
{
    Ctext_scanner scanner(line, UPDATE_INI_BLANKS);
    for (const Cupdate_ini_match& match : matched) {
        const size_t index = match.index;
        int32_t number = 0;
        std::wstring text;
        const Cupdate_ini_template& entry = update_ini_templates()[index];
        if (entry.number_field != nullptr)
            match_pattern(scanner, entry.pattern, {number});
        else
            match_pattern(scanner, entry.pattern, {text});
    }
    return line.substr(past_blanks(line, scanner.position()));
}

void diagnose_ignored(const std::wstring& line, bool first_line_has_bom, Cline_diagnosis& diagnosis)
{
    std::wstring rest = line;
    std::vector<Cignored_reason>& reasons = diagnosis.reasons;

    // A UTF-8 byte-order mark, decoded as update.exe decodes update.ini.
    const std::wstring bom = to_wide("\xEF\xBB\xBF");
    if (first_line_has_bom && !bom.empty() && starts_with(rest, bom)) {
        rest.erase(0, bom.size());
        reasons.push_back(Cignored_reason::byte_order_mark);
    }
    const size_t indent = std::min(rest.find_first_not_of(L" \t\x3000"), rest.size());
    if (indent > 0) {
        rest.erase(0, indent);
        reasons.push_back(Cignored_reason::indented_key);
    }
    if (rest.find(FULL_WIDTH_SPACE) != std::wstring::npos) {
        std::replace(rest.begin(), rest.end(), FULL_WIDTH_SPACE, L' ');
        reasons.push_back(Cignored_reason::full_width_blank);
    }

    const size_t key_end = std::min(rest.find_first_not_of(KEY_CHARACTERS), rest.size());
    const std::wstring key = rest.substr(0, key_end);
    const std::wstring upper_key = upper_case_name(key);
    if (key.empty()) {
        if (rest.empty() || starts_with(rest, L"//")) {
            // Once the blanks or the mark in front are gone it is blank or a comment: harmless.
            diagnosis.harmless = true;
        } else if (starts_with(rest, L"[")) {
            reasons.push_back(Cignored_reason::section_header);
        } else if (starts_with(rest, L";") || starts_with(rest, L"#")) {
            reasons.push_back(Cignored_reason::not_a_comment_marker);
        } else if (reasons.empty()) {
            reasons.push_back(Cignored_reason::unknown_key);
        }
        return;
    }
    const Cupdate_ini_template* entry = update_ini_template(upper_key);
    if (entry == nullptr) {
        reasons.push_back(is_numbered_key(upper_key) ? Cignored_reason::numbered_key_out_of_range
                                                     : Cignored_reason::unknown_key);
        return;
    }
    diagnosis.key = upper_key;
    if (key != upper_key) {
        rest.replace(0, key_end, upper_key);
        reasons.push_back(Cignored_reason::wrong_letter_case);
    }
    diagnosis.would_set = entry_keys(rest);
    if (diagnosis.would_set.empty())
        reasons.push_back(value_problem(rest, key_end, *entry));
}

}  // namespace

const wchar_t* reason_name(Cignored_reason reason)
{
    static const wchar_t* const NAMES[] = {
        L"byte-order mark", L"indented key", L"full-width blank", L"wrong letter case", L"unknown key",
        L"numbered key out of range", L"section header", L"not a comment marker", L"no \"=\" after the key",
        L"missing value", L"unquoted value", L"unterminated value", L"not a number"};
    return NAMES[static_cast<int>(reason)];
}

Cline_diagnosis diagnose_line(const std::wstring& line, bool first_line_has_bom, Cupdate_settings& settings)
{
    Cline_diagnosis diagnosis;
    const Cupdate_ini_line_result result = apply_update_ini_line(line, settings);
    diagnosis.kind = result.kind;
    diagnosis.matched = result.matched;
    if (result.kind == Cupdate_ini_line_kind::entry)
        diagnosis.ignored_tail = tail_after_values(line, result.matched);
    else if (result.kind == Cupdate_ini_line_kind::ignored)
        diagnose_ignored(line, first_line_has_bom, diagnosis);
    return diagnosis;
}
