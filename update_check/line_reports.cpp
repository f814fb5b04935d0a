#include "update_check/line_reports.h"

#include <algorithm>
#include <map>

#include "fs/paths.h"
#include "fs/text.h"
#include "update_check/words.h"

namespace {

const wchar_t FULL_WIDTH_SPACE = L'\x3000';

const wchar_t* const KEY_CHARACTERS = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_";

bool starts_with(const std::wstring& text, const std::wstring& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// A numbered key of update.ini but for its number: COPY_FOLDER_ or COPY_FILE_ and other digits.
bool is_numbered_key(const std::wstring& key)
{
    const size_t digits = key.rfind(L'_') + 1;
    return digits < key.size() && key.find_first_not_of(L"0123456789", digits) == std::wstring::npos &&
           update_ini_template(key.substr(0, digits) + L"00") != nullptr;
}

// Where the reader stopped on the template of the line's own key: at the blanks or the "=" after
// the key, or, past the "=", at the value, as the matcher tells why (by Cmatch_failure).
Cignored_reason value_problem(const Cupdate_ini_template& entry, const Cmatch_stop& stop)
{
    using R = Cignored_reason;
    const R AT_THE_VALUE[] = {R::unterminated_value, R::unterminated_value, R::missing_value,
                              R::not_a_number,       R::unquoted_value,     R::unterminated_value};
    return stop.step <= entry.pattern.find(L'=') ? R::missing_equals : AT_THE_VALUE[static_cast<int>(stop.failure)];
}

void diagnose_ignored(Cline_report& line, bool first_line_has_bom)
{
    std::wstring rest = line.text;
    std::vector<Cignored_reason>& reasons = line.reasons;

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
            line.harmless = true;
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
    line.key = upper_key;
    if (key != upper_key) {
        rest.replace(0, key_end, upper_key);
        reasons.push_back(Cignored_reason::wrong_letter_case);
    }
    // The line once more through the reader, with the causes taken away. Its own key's template
    // is then the one that reads furthest: every other stops inside its key.
    Cupdate_settings scratch;
    const Cupdate_ini_line_result again = apply_update_ini_line(rest, scratch);
    for (const Cupdate_ini_match& match : again.matched)
        line.would_set += (line.would_set.empty() ? L"" : L", ") + update_ini_templates()[match.index].key();
    if (again.matched.empty())
        reasons.push_back(value_problem(*entry, again.stop));
}

// The first ignored line that was meant to set key, or null: the likely cause of a key not given.
const Cline_report* ignored_line_meant_for(const std::vector<Cline_report>& lines, const std::wstring& key)
{
    for (const Cline_report& line : lines) {
        // would_set lists every key the line would set, joined by ", ".
        const std::wstring keys = L", " + line.would_set + L", ";
        const bool meant = line.key == key || keys.find(L", " + key + L", ") != std::wstring::npos;
        if (line.read.kind == Cupdate_ini_line_kind::ignored && meant)
            return &line;
    }
    return nullptr;
}

// The text update.ini set for key, or empty text when key is not a text key.
std::wstring text_value(const std::wstring& key, const Cupdate_settings& settings)
{
    Cupdate_settings copy = settings;
    const Cupdate_ini_template* entry = update_ini_template(key);
    return entry != nullptr && entry->text_in(copy) != nullptr ? *entry->text_in(copy) : std::wstring();
}

// The first line that holds "KEY =" (blanks allowed before the "=") past its start, where
// update.exe does not look for a key; 0 when there is none.
size_t line_with_key_inside(const std::vector<Cline_report>& lines, const std::wstring& key)
{
    for (const Cline_report& line : lines) {
        for (size_t at = line.text.find(key, 1); at != std::wstring::npos; at = line.text.find(key, at + 1)) {
            const size_t after = line.text.find_first_not_of(L" \t", at + key.size());
            if (after != std::wstring::npos && line.text[after] == L'=')
                return line.number;
        }
    }
    return 0;
}

// Why a key can end up in the middle of a line when it was written at the start of its own.
std::wstring why_lines_joined(const Cfile_notes& notes)
{
    return words(notes.looks_like_utf8 ? W_JOINED_UTF8 : notes.lone_cr_line_ends > 0 ? W_JOINED_CR : W_JOINED_START);
}

}  // namespace

std::vector<Cline_report> report_lines(const Cupdate_ini_file& file, const Cfile_notes& notes)
{
    std::vector<Cline_report> reports;
    std::map<std::wstring, size_t> line_of_key;
    for (size_t n = 0; n < file.lines.size(); ++n) {
        Cline_report line;
        line.number = n + 1;
        line.text = file.lines[n];
        line.read = file.results[n];
        line.encoding_note = line_encoding_note(notes, file.lines, n);
        if (line.read.kind == Cupdate_ini_line_kind::ignored)
            diagnose_ignored(line, notes.utf8_byte_order_mark && n == 0);
        if (line.read.kind == Cupdate_ini_line_kind::entry)
            line.ignored_tail = line.text.substr(std::min(line.text.find_first_not_of(L" \t", line.read.end), line.text.size()));
        for (const Cupdate_ini_match& match : line.read.matched) {
            const Cupdate_ini_template& entry = update_ini_templates()[match.index];
            line.settings.push_back({entry.key(), match.value, entry.number_field != nullptr, line_of_key[entry.key()]});
            line_of_key[entry.key()] = line.number;
            if (match.wrapped)
                line.failure = words(W_NUMBER_WRAPS, {entry.key(), match.value});
        }
        reports.push_back(line);
    }
    return reports;
}

const wchar_t* reason_name(Cignored_reason reason)
{
    static const wchar_t* const NAMES[] = {
        L"byte-order mark", L"indented key", L"full-width blank", L"wrong letter case", L"unknown key",
        L"numbered key out of range", L"section header", L"not a comment marker", L"no \"=\" after the key",
        L"missing value", L"unquoted value", L"unterminated value", L"not a number"};
    return NAMES[static_cast<int>(reason)];
}

std::wstring reasons_text(const Cline_report& line)
{
    std::wstring text;
    for (Cignored_reason reason : line.reasons)
        text += (text.empty() ? L"" : words(W_REASON_JOIN)) + words(W_REASON_FIRST + static_cast<unsigned>(reason));
    return text;
}

std::wstring failure_hint(const Cfinding& verdict, const Cpackage_findings& findings)
{
    if (verdict.state != Cfinding_state::failed)
        return std::wstring();
    const Cfile_notes& notes = findings.notes;
    // The key of update.ini the check is about: its own name, or REG_NAME for the registry.
    const std::wstring key = verdict.check == L"registry" ? L"REG_NAME" : verdict.check;
    const std::wstring value = text_value(key, findings.settings);
    if (value.empty()) {
        if (const Cline_report* line = ignored_line_meant_for(findings.lines, key))
            return words(W_HINT_IGNORED_LINE, {std::to_wstring(line->number), key, reasons_text(*line)}) +
                   (line->encoding_note.empty() ? L"" : words(W_REASON_JOIN) + line->encoding_note);
        if (const size_t number = line_with_key_inside(findings.lines, key))
            return words(W_HINT_KEY_INSIDE, {std::to_wstring(number), key, why_lines_joined(notes)});
        if (notes.utf16_byte_order_mark || notes.looks_like_utf16)
            return words(W_HINT_UTF16);
    }
    if (notes.looks_like_utf8 && has_non_ascii(value))
        return words(W_HINT_UTF8);
    return std::wstring();
}
