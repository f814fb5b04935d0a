#include "update_check/update_ini_report.h"

#include <windows.h>

#include <algorithm>
#include <map>

#include "fs/paths.h"
#include "fs/text.h"
#include "update_check/words.h"

namespace {

// Whether text holds anything beyond ASCII, which a file saved as UTF-8 garbles.
bool has_non_ascii(const std::wstring& text)
{
    return std::any_of(text.begin(), text.end(), [](wchar_t c) { return c > 0x7F; });
}

// Valid UTF-8 with characters beyond ASCII: Japanese text saved as UTF-8. Its lines as they were
// meant, split as update.exe splits its own; none when the bytes are something else.
std::vector<std::wstring> utf8_lines(const std::string& bytes)
{
    std::wstring text(bytes.size(), L'\0');
    const int length = bytes.empty() ? 0
                                     : MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                                           static_cast<int>(bytes.size()), &text[0], static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(length));
    if (length == 0 || !has_non_ascii(text))
        return {};
    std::vector<std::wstring> lines = split_lines(text);
    for (std::wstring& line : lines)
        if (!line.empty() && line.back() == L'\r')
            line.pop_back();
    return lines;
}

std::wstring how_to_save(const wchar_t* iconv_source)
{
    return L" " + words(W_SAVE_AS_SHIFT_JIS, {iconv_source});
}

// Garbled Japanese can take the line break after it for part of a character: the lines then run
// together, and a key at the start of the next line is lost.
bool lines_run_together(const Cfile_notes& notes, const std::vector<std::wstring>& lines)
{
    return notes.looks_like_utf8 && lines.size() < notes.lines_as_utf8.size();
}

// bytes: the file as update.exe's reader read it.
Cfile_notes inspect_bytes(const std::string& bytes)
{
    Cfile_notes notes;
    notes.size = bytes.size();
    notes.utf8_byte_order_mark = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
    notes.utf16_byte_order_mark = bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0;
    notes.zero_byte = bytes.find('\0');
    notes.looks_like_utf16 = !notes.utf16_byte_order_mark && bytes.size() >= 4 && bytes[0] != '\0' &&
                             bytes[1] == '\0' && bytes[2] != '\0' && bytes[3] == '\0';
    notes.end_of_file_byte = bytes.find('\x1A');
    // UTF-16 text (little-endian, as Windows saves it) is counted in its two-byte units.
    const size_t unit = notes.utf16_byte_order_mark || notes.looks_like_utf16 ? 2 : 1;
    for (size_t i = 0; i < bytes.size(); i += unit) {
        if (bytes[i] == '\r') {
            if (i + unit < bytes.size() && bytes[i + unit] == '\n') {
                ++notes.crlf_line_ends;
                i += unit;
            } else {
                ++notes.lone_cr_line_ends;
            }
        } else if (bytes[i] == '\n') {
            ++notes.lone_lf_line_ends;
        }
    }
    const size_t start = notes.utf8_byte_order_mark ? 3 : 0;
    notes.lines_as_utf8 = utf8_lines(bytes.substr(start));
    notes.looks_like_utf8 = !notes.lines_as_utf8.empty();
    return notes;
}

// The warnings the notes call for, each with what to do about it. lines: the file as update.exe
// reads it.
void warn_of_encoding(const Cfile_notes& notes, const std::vector<std::wstring>& lines, std::vector<std::wstring>& warnings)
{
    if (notes.utf16_byte_order_mark || notes.looks_like_utf16)
        warnings.push_back(words(notes.utf16_byte_order_mark ? W_UTF16 : W_UTF16_NO_MARK) + how_to_save(L"UTF-16"));
    else if (notes.zero_byte != std::string::npos)
        warnings.push_back(words(W_ZERO_BYTE, {std::to_wstring(notes.zero_byte)}));
    if (notes.utf8_byte_order_mark)
        warnings.push_back(words(notes.looks_like_utf8 ? W_UTF8_MARK_GARBLED : W_UTF8_MARK) + how_to_save(L"UTF-8"));
    else if (notes.looks_like_utf8)
        warnings.push_back(words(W_UTF8) + how_to_save(L"UTF-8"));
    if (lines_run_together(notes, lines))
        warnings.push_back(words(W_RUN_TOGETHER, {std::to_wstring(lines.size()), std::to_wstring(notes.lines_as_utf8.size())}));
    if (notes.end_of_file_byte != std::string::npos)
        warnings.push_back(words(W_EOF_BYTE, {std::to_wstring(notes.end_of_file_byte)}));
    if (notes.lone_cr_line_ends > 0)
        warnings.push_back(words(W_LONE_CR));
}

// Why line index of lines looks as it does because of how the file was saved; empty when it reads
// as written.
std::wstring line_encoding_note(const Cfile_notes& notes, const std::vector<std::wstring>& lines, size_t index)
{
    if (notes.utf16_byte_order_mark || notes.looks_like_utf16)
        return index == 0 ? words(W_NOTE_UTF16) : L"";
    std::wstring note;
    if (notes.utf8_byte_order_mark && index == 0)
        note = words(W_NOTE_UTF8_MARK);
    if (notes.looks_like_utf8 && has_non_ascii(lines[index])) {
        if (note.empty())
            note = words(W_NOTE_GARBLED);
        // Line for line only while no line break was lost.
        if (!lines_run_together(notes, lines))
            note += words(W_NOTE_WRITTEN_AS, {notes.lines_as_utf8[index]});
    }
    return note;
}

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
        reasons.push_back(value_problem(update_ini_templates()[again.nearest], again.stop));
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

}  // namespace

void report_update_ini(const Cupdate_ini_file& file, Cpackage_findings& findings)
{
    const Cfile_notes& notes = findings.notes = inspect_bytes(file.bytes);
    // The text is decoded as update.exe decodes it on this machine; players in Japan have 932.
    findings.code_page = GetACP();
    warn_of_encoding(notes, file.lines, findings.warnings);
    if (findings.code_page != 932)
        findings.warnings.push_back(words(W_CODE_PAGE_NOT_932));
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
        if (!line.failure.empty())
            findings.failures.push_back(line.failure);
        findings.lines.push_back(line);
    }
    // Entries given beyond their count, which update.exe never looks at: a count left too low.
    const Cupdate_settings& settings = findings.settings;
    for (const Ccopy_list& list : COPY_LISTS)
        for (int i = std::max(settings.*list.count, 0); i < COPY_ENTRY_LIMIT; ++i)
            if (!(settings.*list.entries)[i].empty())
                findings.warnings.push_back(words(W_BEYOND_COUNT, {format_text(L"COPY_%ls_%02d", list.kind, i),
                                                                   format_text(L"COPY_%ls_COUNT", list.kind),
                                                                   std::to_wstring(settings.*list.count)}));
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
    // The text update.ini set for key; empty for a number or a key not given.
    Cupdate_settings settings = findings.settings;
    const Cupdate_ini_template* entry = update_ini_template(key);
    const std::wstring value = entry != nullptr && entry->text_in(settings) != nullptr ? *entry->text_in(settings) : L"";
    if (value.empty()) {
        if (const Cline_report* line = ignored_line_meant_for(findings.lines, key))
            return words(W_HINT_IGNORED_LINE, {std::to_wstring(line->number), key, reasons_text(*line)}) +
                   (line->encoding_note.empty() ? L"" : words(W_REASON_JOIN) + line->encoding_note);
        // Why a key can end up in the middle of a line when it was written at the start of its own.
        const unsigned joined = notes.looks_like_utf8 ? W_JOINED_UTF8 : notes.lone_cr_line_ends > 0 ? W_JOINED_CR : W_JOINED_START;
        if (const size_t number = line_with_key_inside(findings.lines, key))
            return words(W_HINT_KEY_INSIDE, {std::to_wstring(number), key, words(joined)});
        if (notes.utf16_byte_order_mark || notes.looks_like_utf16)
            return words(W_HINT_UTF16);
    }
    if (notes.looks_like_utf8 && has_non_ascii(value))
        return words(W_HINT_UTF8);
    return std::wstring();
}
