#include "update_ini/source_checks.h"

#include <algorithm>
#include <cstdint>
#include <map>

#include "fs/paths.h"
#include "fs/text.h"
#include "update_ini/copy_plan.h"
#include "update_ini/media_parts.h"

namespace {

const wchar_t* const SOURCE_ROOT_CHECK = L"GAMEDATA";
const wchar_t* const FILE_NAMES_CHECK = L"file names";

// An entry is joined to GAMEDATA and to the game's folder as written: one that leads to a parent
// folder would read and write outside both.
std::wstring outside_problem(const std::wstring& key, const std::wstring& value)
{
    if (!has_parent_step(value))
        return std::wstring();
    return L"update.ini の " + key + L" に指定された " + value + L" は、フォルダの外を指しているため使用できません。";
}

// What every source check shares once its entry is given and stays inside: without GAMEDATA the
// source cannot be looked for.
Cfinding source_finding(const std::wstring& check, const std::wstring& entry, const std::wstring& outside,
                        bool root_found, bool exists, const std::wstring& missing)
{
    if (!outside.empty())
        return judged(check, entry, outside);
    if (!root_found)
        return {check, entry, Cfinding_state::not_judged, L""};
    return judged(check, entry, exists ? L"" : missing);
}

Cfinding judge_media(const Cmedia_part& media, const Cupdate_settings& settings, const std::wstring& source_root,
                     bool root_found)
{
    const std::wstring& folder = settings.*media.folder;
    if (settings.*media.update == 0)
        return {media.folder_key, folder, Cfinding_state::off, L""};
    if (folder.empty())
        return judged(media.folder_key, folder, std::wstring(L"update.ini に ") + media.name + L" フォルダが指定されていません。");
    const std::wstring path = join_path(source_root, folder);
    return source_finding(media.folder_key, folder, outside_problem(media.folder_key, folder), root_found,
                          root_found && folder_exists(path),
                          std::wstring(L"コピー元の ") + media.name + L" フォルダ " + path + L" が見つかりません。");
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

// Entries from the tenth on cannot be given in update.ini: a count that reaches them is judged
// once, like an entry left out, so that neither this check nor the copy ever looks past the list.
void judge_entries(const Centry_list& list, const std::wstring& source_root, bool root_found, Cfindings& findings)
{
    for (int32_t i = 0; i < list.count && i <= COPY_ENTRY_LIMIT; ++i) {
        const int number = static_cast<int>(i);
        const std::wstring key = format_text(L"COPY_%ls_%02d", list.kind, number);
        const std::wstring check = i < COPY_ENTRY_LIMIT ? key : format_text(L"COPY_%ls_COUNT", list.kind);
        const std::wstring entry = i < COPY_ENTRY_LIMIT ? list.entries[i] : std::wstring();
        if (entry.empty()) {
            findings.push_back(judged(check, entry,
                                      format_text(L"update.ini に %ls フォルダが指定されていません。\n"
                                                  L"COPY_%ls_CNT の設定は正しいですか？",
                                                  key.c_str(), list.kind)));
            continue;
        }
        const std::wstring path = join_path(source_root, entry);
        findings.push_back(source_finding(check, entry, outside_problem(key, entry), root_found,
                                          root_found && list.exists(path),
                                          std::wstring(L"コピー元の") + list.noun + L" " + path + L" が見つかりません。"));
    }
}

std::wstring last_name(const std::wstring& path)
{
    return path.substr(path.find_last_of(L"\\/") + 1);
}

// Two files of the plan whose names differ only in letter case: a package made on a file system
// that tells them apart would have one overwrite the other on Windows. Folders are named as
// update.ini writes them, so one file reached by two entries ("data" and "DATA") is one file: the
// names compared are the ones the listing found.
std::pair<std::wstring, std::wstring> names_on_one_file(const std::vector<Ccopy_group>& plan)
{
    // Only the destinations reached again are looked for among the files copied: most plans have
    // none, and then nothing of the whole plan is kept here.
    std::map<std::wstring, std::wstring> kept;  // destination key -> the path that is copied
    for (const Ccopy_group& group : plan)
        for (const std::wstring& again : group.reached_again)
            kept[destination_key(again)];
    for (const Ccopy_group& group : plan)
        for (const Cfile_entry& entry : group.listing.entries) {
            const auto reached = kept.empty() ? kept.end() : kept.find(destination_key(relative_path(group, entry)));
            if (reached != kept.end())
                reached->second = relative_path(group, entry);
        }
    for (const Ccopy_group& group : plan)
        for (const std::wstring& again : group.reached_again) {
            const std::wstring& other = kept[destination_key(again)];
            if (!other.empty() && last_name(other) != last_name(again))
                return {std::min(again, other), std::max(again, other)};
        }
    return {};
}

}  // namespace

std::wstring unmakeable_name_advice(const std::wstring& name)
{
    if (is_device_name(name))
        return L"CON、PRN、AUX、NUL、COM1～COM9、LPT1～LPT9 は、拡張子を付けても Windows では使えない名前です。名前を変えてください。";
    if (name.empty() || name.back() == L'.' || name.back() == L' ' || name.size() > 255)
        return L"名前の末尾のピリオドや空白を取り除くか、名前を 255 文字以内にしてください。";
    return std::wstring();
}

// Judged once every source is found: the first file of the plan whose name the game folder cannot
// take, then the first two files that would land on one name there.
Cfinding judge_file_names(const std::vector<Ccopy_group>& plan, const std::wstring& source_root)
{
    for (const Ccopy_group& group : plan)
        for (const Cfile_entry& entry : group.listing.entries) {
            const std::wstring advice = unmakeable_name_advice(entry.path);
            if (advice.empty())
                continue;
            const std::wstring path = join_path(source_root, relative_path(group, entry));
            return judged(FILE_NAMES_CHECK, path, L"コピー元のファイル " + path + L" の名前は、Windows では使えません。\n" + advice);
        }
    const std::pair<std::wstring, std::wstring> twins = names_on_one_file(plan);
    if (!twins.first.empty())
        return judged(FILE_NAMES_CHECK, join_path(source_root, twins.second),
                      L"コピー元のファイル " + join_path(source_root, twins.first) + L" と " + join_path(source_root, twins.second) +
                          L" は、大文字と小文字だけが違う名前のため、Windows では同じファイルになります。\n"
                          L"どちらか一方の名前を変えてください。");
    return judged(FILE_NAMES_CHECK, L"", L"");
}

Cfindings judge_names(const Cupdate_settings& settings)
{
    return {judged(L"GAME_NAME", settings.GAME_NAME,
                   settings.GAME_NAME.empty() ? L"update.ini にゲーム名が指定されていません。" : L""),
            judged(L"REG_NAME", settings.REG_NAME,
                   settings.REG_NAME.empty() ? L"update.ini にレジストリ名が指定されていません。" : L"")};
}

Cfindings judge_sources(const Cupdate_settings& settings, const std::wstring& source_root, std::vector<Ccopy_group>& plan)
{
    Cfindings findings;
    const bool root_found = folder_exists(source_root);
    findings.push_back(judged(SOURCE_ROOT_CHECK, source_root,
                              root_found ? L"" : L"コピー元の " + source_root + L" フォルダが見つかりません。"));
    for (const Cmedia_part& media : MEDIA_PARTS)
        findings.push_back(judge_media(media, settings, source_root, root_found));
    // Folder entries before file entries: the player hears of the first list's problem first.
    judge_entries({L"FOLDER", L"フォルダ", settings.COPY_FOLDER_COUNT, settings.COPY_FOLDER, folder_exists}, source_root,
                  root_found, findings);
    judge_entries({L"FILE", L"ファイル", settings.COPY_FILE_COUNT, settings.COPY_FILE, file_exists}, source_root,
                  root_found, findings);
    plan.clear();
    if (!first_failure(findings).empty()) {
        findings.push_back({FILE_NAMES_CHECK, L"", Cfinding_state::not_judged, L""});
        return findings;
    }
    plan = plan_update(settings, source_root);
    findings.push_back(judge_file_names(plan, source_root));
    return findings;
}
