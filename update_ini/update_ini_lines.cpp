#include "update_ini/update_ini_lines.h"

#include <utility>

#include "fs/text.h"
#include "update_ini/media_parts.h"
#include "update_ini/text_scanner.h"

const Ccopy_list COPY_LISTS[2] = {{L"FOLDER", &Cupdate_settings::COPY_FOLDER_COUNT, &Cupdate_settings::COPY_FOLDER},
                                  {L"FILE", &Cupdate_settings::COPY_FILE_COUNT, &Cupdate_settings::COPY_FILE}};

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

void add_list_templates(std::vector<Cupdate_ini_template>& templates, const Ccopy_list& list)
{
    for (int n = 0; n < COPY_ENTRY_LIMIT; ++n) {
        Cupdate_ini_template entry;
        entry.pattern = format_text(L"COPY_%ls_%02d = %%s", list.kind, n);
        entry.list_field = list.entries;
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
    for (const Ccopy_list& list : COPY_LISTS)
        templates.push_back(number_template(format_text(L"COPY_%ls_COUNT = %%d", list.kind), list.count));
    for (const Ccopy_list& list : COPY_LISTS)
        add_list_templates(templates, list);
    return templates;
}

// The value goes through a scratch variable, so that a template failing after its conversion
// leaves the field as it was.
bool apply_template(Ctext_scanner& scanner, size_t index, Cupdate_settings& settings, Cupdate_ini_line_result& result)
{
    const Cupdate_ini_template& entry = update_ini_templates()[index];
    int32_t* const number_field = entry.number_in(settings);
    int32_t number = 0;
    std::wstring text;
    Cmatch_stop stop;
    if (!(number_field != nullptr ? match_pattern(scanner, entry.pattern, {number}, &stop)
                                  : match_pattern(scanner, entry.pattern, {text}, &stop))) {
        // The template that read furthest into the line tells where the line stopped matching.
        if (result.stop.failure == Cmatch_failure::none || stop.position > result.stop.position) {
            result.nearest = index;
            result.stop = stop;
        }
        return false;
    }
    if (number_field != nullptr)
        *number_field = number;
    else
        *entry.text_in(settings) = text;
    result.matched.push_back({index, number_field != nullptr ? std::to_wstring(number) : text,
                              number_field != nullptr && scanner.number_wrapped()});
    result.end = scanner.position();
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
        if (apply_template(scanner, i, settings, result)) {
            result.kind = Cupdate_ini_line_kind::entry;
            return result;
        }
    }
    // Every numbered template gets its chance, each one going on from where the last match ended.
    for (size_t i = 0; i < templates.size(); ++i)
        if (templates[i].is_numbered())
            apply_template(scanner, i, settings, result);
    result.kind = result.matched.empty() ? Cupdate_ini_line_kind::ignored : Cupdate_ini_line_kind::entry;
    return result;
}
