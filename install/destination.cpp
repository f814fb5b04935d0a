#include "install/destination.h"

#include "fs/paths.h"

namespace {

const wchar_t* const CHECK_THE_SETUP = L"\nゲームが正しくセットアップされていることを確認してください。";

// One optional part of the installation: it must be set up before its folder is looked at, so
// that a player who skipped the part is told so rather than that a folder is missing. The
// installer writes "1" for a part it set up; anything else, even "1 " or "01", means it did not.
struct Cpart_check {
    const std::wstring& existence;
    const std::wstring& folder;
    const wchar_t* not_set_up_text;
    const wchar_t* folder_missing_text;
};

std::wstring part_problem(const Cpart_check& part)
{
    if (part.existence != L"1")
        return part.not_set_up_text;
    if (!folder_exists(part.folder))
        return part.folder_missing_text + std::wstring(CHECK_THE_SETUP);
    return std::wstring();
}

} // namespace

std::wstring find_destination_problem(const Cupdate_settings& settings, const Cinstallation_record& installation,
                                      const std::wstring& destination)
{
    if (!folder_exists(destination))
        return L"コピー先のフォルダ " + destination + L" が見つかりません。" + CHECK_THE_SETUP;
    // Joined as stored: a folder already ending in a backslash gets a second one.
    if (!file_exists(destination + L"\\Lumivane.exe"))
        return L"Lumivane.exe が見つかりませんでした。" + std::wstring(CHECK_THE_SETUP);

    const struct {
        bool wanted;
        Cpart_check check;
    } parts[] = {
        {settings.BGM_UPDATE != 0,
         {installation.BGM_EXIST, installation.BGM_FOLDER,
          L"BGM がセットアップされていません。\nアップデートを行うには、BGM がセットアップされていることが必要です。",
          L"BGM フォルダが見つかりません。"}},
        {settings.KOE_UPDATE != 0,
         {installation.KOE_EXIST, installation.KOE_FOLDER,
          L"音声データがセットアップされていません。\nアップデートを行うには、音声データがセットアップされていることが必要です。",
          L"音声フォルダが見つかりません。"}},
        {settings.MOV_UPDATE != 0,
         {installation.MOV_EXIST, installation.MOV_FOLDER,
          L"ムービーがセットアップされていません。\nアップデートを行うには、ムービーがセットアップされていることが必要です。",
          L"ムービーフォルダが見つかりません。"}},
        // Only the folder copies write into the data part; a negative count copies nothing.
        {settings.COPY_FOLDER_COUNT > 0,
         {installation.DAT_EXIST, installation.DAT_FOLDER,
          L"データがセットアップされていません。\n\n最小セットアップになっていませんか？\n最小セットアップではアップデートを行うことはできません。",
          L"データフォルダが見つかりません。"}},
    };
    for (const auto& part : parts) {
        if (!part.wanted)
            continue;
        const std::wstring problem = part_problem(part.check);
        if (!problem.empty())
            return problem;
    }
    return std::wstring();
}

std::wstring confirmation_question(const std::wstring& destination_folder)
{
    return L"セットアップ先 = " + destination_folder + L"\n\nこの場所にアップデートデータを上書きします。よろしいですか？";
}
