#include "update_ini/update_ini_lines.h"

#include <utility>

#include "fs/text.h"
#include "update_ini/media_parts.h"
#include "update_ini/text_scanner.h"

const wchar_t* const UPDATE_INI_BLANKS = L" \t\n";

int32_t* Cupdate_ini_template::number_in(Cupdate_settings& settings) const
{
    return number_field != nullptr ? &(settings.*number_field) : nullptr;
}

std::wstring* Cupdate_ini_template::text_in(Cupdate_settings& settings) const
{
    if (text_field != nullptr)
        return &(settings.*text_field);
    if (list_field != nullptr)
        return &(settings.*list_field)[list_index];
    return nullptr;
}

namespace {

Cupdate_ini_template number_template(const std::wstring& pattern, int32_t Cupdate_settings::*field)
{
    Cupdate_ini_template result;
    result.pattern = pattern;
    result.number_field = field;
    return result;
}

Cupdate_ini_template text_template(const std::wstring& pattern, std::wstring Cupdate_settings::*field)
{
    Cupdate_ini_template result;
    result.pattern = pattern;
    result.text_field = field;
    return result;
}

void add_list_templates(std::vector<Cupdate_ini_template>& templates, const wchar_t* prefix,
                        std::wstring (Cupdate_settings::*list)[COPY_ENTRY_LIMIT])
{
    for (int n = 0; n < COPY_ENTRY_LIMIT; ++n) {
        Cupdate_ini_template entry;
        entry.pattern = prefix + format_text(L"%02d", n) + L" = %s";
        entry.list_field = list;
        entry.list_index = n;
        templates.push_back(std::move(entry));
    }
}

std::vector<Cupdate_ini_template> make_templates()
{
    std::vector<Cupdate_ini_template> templates = {
        text_template(L"GAME_NAME = %s", &Cupdate_settings::GAME_NAME),
        text_template(L"REG_NAME = %s", &Cupdate_settings::REG_NAME),
    };
    for (const Cmedia_part& media : MEDIA_PARTS)
        templates.push_back(number_template(std::wstring(media.switch_key) + L" = %d", media.update));
    for (const Cmedia_part& media : MEDIA_PARTS)
        templates.push_back(text_template(std::wstring(media.folder_key) + L" = %s", media.folder));
    templates.push_back(number_template(L"COPY_FOLDER_COUNT = %d", &Cupdate_settings::COPY_FOLDER_COUNT));
    templates.push_back(number_template(L"COPY_FILE_COUNT = %d", &Cupdate_settings::COPY_FILE_COUNT));
    add_list_templates(templates, L"COPY_FOLDER_", &Cupdate_settings::COPY_FOLDER);
    add_list_templates(templates, L"COPY_FILE_", &Cupdate_settings::COPY_FILE);
    return templates;
}

// The value goes through a scratch variable, so that a template failing after its conversion
// leaves the field as it was.
bool apply_template(Ctext_scanner& scanner, const Cupdate_ini_template& entry, Cupdate_settings& settings)
{
    if (int32_t* field = entry.number_in(settings)) {
        int32_t number = 0;
        if (!match_pattern(scanner, entry.pattern, {number}))
            return false;
        *field = number;
        return true;
    }
    std::wstring text;
    if (!match_pattern(scanner, entry.pattern, {text}))
        return false;
    *entry.text_in(settings) = std::move(text);
    return true;
}

}  // namespace

const std::vector<Cupdate_ini_template>& update_ini_templates()
{
    static const std::vector<Cupdate_ini_template> templates = make_templates();
    return templates;
}

const Cupdate_ini_template* update_ini_template(const std::wstring& key)
{
    for (const Cupdate_ini_template& entry : update_ini_templates())
        if (entry.key() == key)
            return &entry;
    return nullptr;
}

Cupdate_ini_line_result apply_update_ini_line(const std::wstring& line, Cupdate_settings& settings)
{
    Cupdate_ini_line_result result;
    if (line.empty()) {
        result.kind = Cupdate_ini_line_kind::empty;
        return result;
    }
    Ctext_scanner scanner(line, UPDATE_INI_BLANKS);
    if (match_pattern(scanner, L"//")) {
        result.kind = Cupdate_ini_line_kind::comment;
        return result;
    }

    const std::vector<Cupdate_ini_template>& templates = update_ini_templates();
    for (size_t i = 0; i < templates.size() && !templates[i].is_numbered(); ++i) {
        if (apply_template(scanner, templates[i], settings)) {
            result.kind = Cupdate_ini_line_kind::entry;
            result.matched.push_back(i);
            return result;
        }
    }
    // Every numbered template gets its chance, each one going on from where the last match ended.
    for (size_t i = 0; i < templates.size(); ++i)
        if (templates[i].is_numbered() && apply_template(scanner, templates[i], settings))
            result.matched.push_back(i);
    result.kind = result.matched.empty() ? Cupdate_ini_line_kind::ignored : Cupdate_ini_line_kind::entry;
    return result;
}
