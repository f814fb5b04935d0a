#include "install/destination.h"

#include "fs/paths.h"
#include "update_ini/media_parts.h"

namespace {

const wchar_t* const CHECK_THE_SETUP = L"\nゲームが正しくセットアップされていることを確認してください。";

// One optional part of the installation: it must be set up before its folder is looked at, so
// that a player who skipped the part is told so rather than that a folder is missing. The
// installer writes "1" for a part it set up; anything else, even "1 " or "01", means it did not.
struct Cpart_check {
    const wchar_t* name;
    bool wanted;
    const std::wstring& existence;
    const std::wstring& folder;
    const wchar_t* not_set_up_text;
    const wchar_t* folder_missing_text;
};

Cfinding judge_part(const Cpart_check& part, bool game_found)
{
    if (!part.wanted)
        return {part.name, part.folder, Cfinding_state::off, L""};
    if (!game_found)
        return {part.name, part.folder, Cfinding_state::not_judged, L""};
    if (part.existence != L"1")
        return judged(part.name, part.folder, part.not_set_up_text);
    return judged(part.name, part.folder,
                  folder_exists(part.folder) ? L"" : part.folder_missing_text + std::wstring(CHECK_THE_SETUP));
}

} // namespace

Cfindings judge_destination(const Cupdate_settings& settings, const Cinstallation_record& installation,
                            const std::wstring& destination)
{
    Cfindings findings;
    const bool folder_found = folder_exists(destination);
    findings.push_back(judged(L"game folder", destination,
                              folder_found ? L"" : L"コピー先のフォルダ " + destination + L" が見つかりません。" + CHECK_THE_SETUP));
    // Joined as stored: a folder already ending in a backslash gets a second one.
    const std::wstring program = destination + L"\\Lumivane.exe";
    if (!folder_found)
        findings.push_back({L"Lumivane.exe", program, Cfinding_state::not_judged, L""});
    else
        findings.push_back(judged(L"Lumivane.exe", program,
                                  file_exists(program) ? L"" : L"Lumivane.exe が見つかりませんでした。" + std::wstring(CHECK_THE_SETUP)));
    const bool game_found = findings.back().state == Cfinding_state::passed;

    for (const Cmedia_part& media : MEDIA_PARTS)
        findings.push_back(judge_part({media.name, settings.*media.update != 0,
                                       installation.*find_registry_value(media.exist_value)->field,
                                       installation.*find_registry_value(media.folder_value)->field,
                                       media.not_set_up_message, media.folder_missing_message},
                                      game_found));
    // Only the folder copies write into the data part; a negative count copies nothing.
    findings.push_back(judge_part({L"DAT", settings.COPY_FOLDER_COUNT > 0, installation.DAT_EXIST, installation.DAT_FOLDER,
                                   L"データがセットアップされていません。\n\n最小セットアップになっていませんか？\n"
                                   L"最小セットアップではアップデートを行うことはできません。",
                                   L"データフォルダが見つかりません。"},
                                  game_found));
    return findings;
}

std::wstring confirmation_question(const std::wstring& destination_folder)
{
    return L"セットアップ先 = " + destination_folder + L"\n\nこの場所にアップデートデータを上書きします。よろしいですか？";
}
