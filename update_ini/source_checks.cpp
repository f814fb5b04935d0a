#include "update_ini/source_checks.h"

#include <cstdint>

#include "fs/paths.h"
#include "fs/text_file.h"

namespace {

struct Cmedia_source {
    int32_t update;
    const std::wstring& folder;
    const wchar_t* label;
    const wchar_t* key;
};

// An entry is joined to GAMEDATA and to the game's folder as written: one that leads to a parent
// folder would read and write outside both.
std::wstring outside_problem(const std::wstring& key, const std::wstring& value)
{
    if (!has_parent_step(value))
        return std::wstring();
    return L"update.ini の " + key + L" に指定された " + value + L" は、フォルダの外を指しているため使用できません。";
}

std::wstring media_problem(const Cmedia_source& media, const std::wstring& source_root)
{
    if (media.update == 0)
        return std::wstring();
    if (media.folder.empty())
        return std::wstring(L"update.ini に ") + media.label + L" フォルダが指定されていません。";
    const std::wstring outside = outside_problem(media.key, media.folder);
    if (!outside.empty())
        return outside;
    const std::wstring path = join_path(source_root, media.folder);
    if (!folder_exists(path))
        return std::wstring(L"コピー元の ") + media.label + L" フォルダ " + path + L" が見つかりません。";
    return std::wstring();
}

// Entries from the tenth on cannot be given in update.ini: a count that reaches them is reported
// like any entry left out, so that neither this check nor the copy ever looks past the list.
const std::wstring& list_entry(const std::wstring (&list)[COPY_ENTRY_LIMIT], int32_t index)
{
    static const std::wstring not_given;
    return index < COPY_ENTRY_LIMIT ? list[index] : not_given;
}

// One list of entries of update.ini: COPY_FOLDER_nn, which must name folders, or COPY_FILE_nn,
// which must name files. Both tell a missing entry with the same words, folder included.
struct Centry_list {
    const wchar_t* kind;  // FOLDER or FILE, as in the keys
    const wchar_t* noun;  // フォルダ or ファイル, as in the not-found message
    int32_t count;
    const std::wstring (&entries)[COPY_ENTRY_LIMIT];
    bool (*exists)(const std::wstring& path);
};

std::wstring entries_problem(const Centry_list& list, const std::wstring& source_root)
{
    for (int32_t i = 0; i < list.count; ++i) {
        const std::wstring& entry = list_entry(list.entries, i);
        if (entry.empty())
            return format_text(L"update.ini に COPY_%ls_%02d フォルダが指定されていません。\n"
                               L"COPY_%ls_CNT の設定は正しいですか？",
                               list.kind, static_cast<int>(i), list.kind);
        const std::wstring outside = outside_problem(format_text(L"COPY_%ls_%02d", list.kind, static_cast<int>(i)), entry);
        if (!outside.empty())
            return outside;
        const std::wstring path = join_path(source_root, entry);
        if (!list.exists(path))
            return std::wstring(L"コピー元の") + list.noun + L" " + path + L" が見つかりません。";
    }
    return std::wstring();
}

}  // namespace

std::wstring find_name_problem(const Cupdate_settings& settings)
{
    if (settings.GAME_NAME.empty())
        return L"update.ini にゲーム名が指定されていません。";
    if (settings.REG_NAME.empty())
        return L"update.ini にレジストリ名が指定されていません。";
    return std::wstring();
}

std::wstring find_source_problem(const Cupdate_settings& settings, const std::wstring& source_root)
{
    if (!folder_exists(source_root))
        return L"コピー元の " + source_root + L" フォルダが見つかりません。";

    const Cmedia_source media[] = {
        {settings.BGM_UPDATE, settings.BGM_FOLDER, L"BGM", L"BGM_FOLDER"},
        {settings.KOE_UPDATE, settings.KOE_FOLDER, L"KOE", L"KOE_FOLDER"},
        {settings.MOV_UPDATE, settings.MOV_FOLDER, L"MOV", L"MOV_FOLDER"},
    };
    for (const Cmedia_source& source : media) {
        const std::wstring problem = media_problem(source, source_root);
        if (!problem.empty())
            return problem;
    }

    // Folder entries before file entries: the player hears of the first list's problem first.
    std::wstring problem =
        entries_problem({L"FOLDER", L"フォルダ", settings.COPY_FOLDER_COUNT, settings.COPY_FOLDER, folder_exists}, source_root);
    if (problem.empty())
        problem = entries_problem({L"FILE", L"ファイル", settings.COPY_FILE_COUNT, settings.COPY_FILE, file_exists}, source_root);
    return problem;
}
