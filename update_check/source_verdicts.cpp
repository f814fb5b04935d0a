#include "update_check/source_verdicts.h"

#include <cstdint>

#include "fs/paths.h"
#include "fs/text_file.h"
#include "update_ini/source_checks.h"

namespace {

struct Cmedia_source {
    const wchar_t* folder_key;
    const wchar_t* switch_key;
    int32_t Cupdate_settings::*update;
    std::wstring Cupdate_settings::*folder;
};

const Cmedia_source MEDIA_SOURCES[] = {
    {L"BGM_FOLDER", L"BGM_UPDATE", &Cupdate_settings::BGM_UPDATE, &Cupdate_settings::BGM_FOLDER},
    {L"KOE_FOLDER", L"KOE_UPDATE", &Cupdate_settings::KOE_UPDATE, &Cupdate_settings::KOE_FOLDER},
    {L"MOV_FOLDER", L"MOV_UPDATE", &Cupdate_settings::MOV_UPDATE, &Cupdate_settings::MOV_FOLDER},
};

struct Centry_list {
    const wchar_t* key_prefix;
    const wchar_t* count_key;
    int32_t Cupdate_settings::*count;
    std::wstring (Cupdate_settings::*entries)[COPY_ENTRY_LIMIT];
    const wchar_t* kind;
    // An entry that always passes in the package folder: "." is a folder, update.ini a file there.
    const wchar_t* always_there;
};

const Centry_list ENTRY_LISTS[] = {
    {L"COPY_FOLDER_", L"COPY_FOLDER_COUNT", &Cupdate_settings::COPY_FOLDER_COUNT, &Cupdate_settings::COPY_FOLDER,
     L"folder", L"."},
    {L"COPY_FILE_", L"COPY_FILE_COUNT", &Cupdate_settings::COPY_FILE_COUNT, &Cupdate_settings::COPY_FILE, L"file",
     L"update.ini"},
};

Ccheck_verdict set_aside(Ccheck_verdict verdict, Cverdict why_kind, const std::wstring& why)
{
    verdict.verdict = why_kind;
    verdict.message = why;
    return verdict;
}

// "BGM_FOLDER \"BGM\" is a folder in GAMEDATA", or "COPY_FILE_01 is given" for an entry left empty.
std::wstring entry_what(const std::wstring& key, const std::wstring& value, const wchar_t* kind)
{
    if (value.empty())
        return key + L" is given";
    return key + L" \"" + value + L"\" is a " + kind + L" in GAMEDATA";
}

const wchar_t* const ROOT_MISSING = L"GAMEDATA is missing";

Ccheck_verdict judge_media(const Cmedia_source& media, const Cupdate_settings& settings,
                           const std::wstring& source_root, bool root_found)
{
    if (settings.*media.update == 0)
        return set_aside(verdict_of(media.folder_key, media.folder_key, L""), Cverdict::off,
                         std::wstring(media.switch_key) + L" is 0");
    const std::wstring what = entry_what(media.folder_key, settings.*media.folder, L"folder");
    if (!root_found)
        return set_aside(verdict_of(media.folder_key, what, L""), Cverdict::not_judged, ROOT_MISSING);
    Cupdate_settings alone;
    alone.*media.update = settings.*media.update;
    alone.*media.folder = settings.*media.folder;
    return verdict_of(media.folder_key, what, find_source_problem(alone, source_root));
}

// The finder names an entry's key when the entry is empty or leads outside, and its source path
// below GAMEDATA otherwise.
bool message_names_key(const std::wstring& value)
{
    return value.empty() || has_parent_step(value);
}

// A message that names the key is asked at the entry's own number, behind entries that always
// pass, with the package folder as the root; one that names the source, with the entry alone.
std::wstring entry_problem(const Centry_list& list, const std::wstring& value, int index,
                           const std::wstring& source_root)
{
    Cupdate_settings asked;
    if (message_names_key(value)) {
        asked.*list.count = index + 1;
        for (int i = 0; i < index && i < COPY_ENTRY_LIMIT; ++i)
            (asked.*list.entries)[i] = list.always_there;
        if (index < COPY_ENTRY_LIMIT)
            (asked.*list.entries)[index] = value;
        return find_source_problem(asked, L".");
    }
    asked.*list.count = 1;
    (asked.*list.entries)[0] = value;
    return find_source_problem(asked, source_root);
}

void judge_entries(const Centry_list& list, const Cupdate_settings& settings, const std::wstring& source_root,
                   bool root_found, std::vector<Ccheck_verdict>& verdicts)
{
    const int32_t count = settings.*list.count;
    for (int i = 0; i < count && i <= COPY_ENTRY_LIMIT; ++i) {
        const bool beyond_list = i == COPY_ENTRY_LIMIT;
        const std::wstring value = beyond_list ? std::wstring() : (settings.*list.entries)[i];
        const std::wstring key = beyond_list ? list.count_key : format_text(L"%ls%02d", list.key_prefix, i);
        const std::wstring what = beyond_list ? format_text(L"%ls %d stays within the ten entries", list.count_key,
                                                            static_cast<int>(count))
                                              : entry_what(key, value, list.kind);
        const Ccheck_verdict verdict = verdict_of(key, what, entry_problem(list, value, i, source_root));
        // Without GAMEDATA, only an entry that is left out or leads outside can be judged.
        verdicts.push_back(root_found || message_names_key(value) ? verdict
                                                                  : set_aside(verdict, Cverdict::not_judged, ROOT_MISSING));
    }
}

}  // namespace

std::vector<Ccheck_verdict> judge_names(const Cupdate_settings& settings)
{
    // The finder asks for GAME_NAME before REG_NAME: each is asked with the other one given.
    Cupdate_settings game;
    game.GAME_NAME = settings.GAME_NAME;
    game.REG_NAME = L"-";
    Cupdate_settings registry;
    registry.GAME_NAME = L"-";
    registry.REG_NAME = settings.REG_NAME;
    return {verdict_of(L"GAME_NAME", L"GAME_NAME is given", find_name_problem(game)),
            verdict_of(L"REG_NAME", L"REG_NAME is given", find_name_problem(registry))};
}

std::vector<Ccheck_verdict> judge_sources(const Cupdate_settings& settings, const std::wstring& source_root)
{
    std::vector<Ccheck_verdict> verdicts;
    verdicts.push_back(verdict_of(source_root, source_root + L" is a folder beside update.ini",
                                  find_source_problem(Cupdate_settings(), source_root)));
    const bool root_found = verdicts.back().verdict == Cverdict::passed;
    for (const Cmedia_source& media : MEDIA_SOURCES)
        verdicts.push_back(judge_media(media, settings, source_root, root_found));
    for (const Centry_list& list : ENTRY_LISTS)
        judge_entries(list, settings, source_root, root_found, verdicts);
    return verdicts;
}

std::vector<std::wstring> entries_beyond_count(const Cupdate_settings& settings)
{
    std::vector<std::wstring> warnings;
    for (const Centry_list& list : ENTRY_LISTS) {
        const int32_t count = settings.*list.count;
        for (int i = count < 0 ? 0 : count; i < COPY_ENTRY_LIMIT; ++i)
            if (!(settings.*list.entries)[i].empty())
                warnings.push_back(format_text(L"%ls%02d is given, but %ls is %d: update.exe does not copy it.",
                                               list.key_prefix, i, list.count_key, static_cast<int>(count)));
    }
    return warnings;
}
