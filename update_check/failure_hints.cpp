#include "update_check/failure_hints.h"

#include "update_check/line_reports.h"
#include "update_check/words.h"
#include "update_ini/update_ini_lines.h"

namespace {

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

std::wstring failure_hint(const Cfinding& verdict, const Cupdate_settings& settings,
                          const std::vector<Cline_report>& lines, const Cfile_notes& notes)
{
    if (verdict.state != Cfinding_state::failed)
        return std::wstring();
    // The key of update.ini the check is about: its own name, or REG_NAME for the registry.
    const std::wstring key = verdict.check == L"registry" ? L"REG_NAME" : verdict.check;
    const std::wstring value = text_value(key, settings);
    if (value.empty()) {
        if (const Cline_report* line = ignored_line_meant_for(lines, key))
            return words(W_HINT_IGNORED_LINE, {std::to_wstring(line->number), key, reasons_text(line->diagnosis)}) +
                   (line->encoding_note.empty() ? L"" : words(W_REASON_JOIN) + line->encoding_note);
        if (const size_t number = line_with_key_inside(lines, key))
            return words(W_HINT_KEY_INSIDE, {std::to_wstring(number), key, why_lines_joined(notes)});
        if (notes.utf16_byte_order_mark || notes.looks_like_utf16)
            return words(W_HINT_UTF16);
    }
    if (notes.looks_like_utf8 && has_non_ascii(value))
        return words(W_HINT_UTF8);
    return std::wstring();
}
