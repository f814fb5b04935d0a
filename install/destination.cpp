#include "install/destination.h"

#include "app/message_box.h"
#include "app/update_data.h"
#include "fs/paths.h"

namespace {

// The installer writes "1" for a part it set up; anything else, even "1 " or "01", means it
// did not.
bool is_set_up(const std::wstring& existence)
{
    return existence == L"1";
}

// One optional part of the installation: it must be set up before its folder is looked at, so
// that a player who skipped the part is told so rather than that a folder is missing.
struct Cpart_check {
    const std::wstring& existence;
    const std::wstring& folder;
    const wchar_t* not_set_up_text;
    const wchar_t* folder_missing_text;
};

bool check_part(const Cpart_check& part)
{
    if (!is_set_up(part.existence))
        return report_update_failure(part.not_set_up_text);
    if (!folder_exists(part.folder))
        return report_update_failure(part.folder_missing_text);
    return true;
}

} // namespace

bool check_destination()
{
    const Cupdate_settings& settings = g_update.settings;
    const Cinstallation_record& installation = g_update.installation;

    // Set before any test, so that the folder the messages name is the one the update would use.
    g_update.destination_folder = installation.SAV_FOLDER;
    const std::wstring& destination = g_update.destination_folder;

    if (!folder_exists(destination))
        return report_update_failure(L"コピー先のフォルダ " + destination + L" が見つかりません。\nゲームが正しくセットアップされていることを確認してください。");
    // Joined as stored: a folder already ending in a backslash gets a second one.
    if (!file_exists(destination + L"\\Lumivane.exe"))
        return report_update_failure(L"Lumivane.exe が見つかりませんでした。\nゲームが正しくセットアップされていることを確認してください。");

    if (settings.BGM_UPDATE != 0 &&
        !check_part({installation.BGM_EXIST, installation.BGM_FOLDER,
                     L"BGM がセットアップされていません。\nアップデートを行うには、BGM がセットアップされていることが必要です。",
                     L"BGM フォルダが見つかりません。\nゲームが正しくセットアップされていることを確認してください。"}))
        return false;
    if (settings.KOE_UPDATE != 0 &&
        !check_part({installation.KOE_EXIST, installation.KOE_FOLDER,
                     L"音声データがセットアップされていません。\nアップデートを行うには、音声データがセットアップされていることが必要です。",
                     L"音声フォルダが見つかりません。\nゲームが正しくセットアップされていることを確認してください。"}))
        return false;
    if (settings.MOV_UPDATE != 0 &&
        !check_part({installation.MOV_EXIST, installation.MOV_FOLDER,
                     L"ムービーがセットアップされていません。\nアップデートを行うには、ムービーがセットアップされていることが必要です。",
                     L"ムービーフォルダが見つかりません。\nゲームが正しくセットアップされていることを確認してください。"}))
        return false;
    // Only the folder copies write into the data part; a negative count copies nothing.
    if (settings.COPY_FOLDER_COUNT > 0 &&
        !check_part({installation.DAT_EXIST, installation.DAT_FOLDER,
                     L"データがセットアップされていません。\n\n最小セットアップになっていませんか？\n最小セットアップではアップデートを行うことはできません。",
                     L"データフォルダが見つかりません。\nゲームが正しくセットアップされていることを確認してください。"}))
        return false;
    return true;
}

bool confirm_destination()
{
    const std::wstring question = L"セットアップ先 = " + g_update.destination_folder +
                                  L"\n\nこの場所にアップデートデータを上書きします。よろしいですか？";
    if (show_message_box(question, MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON1) == IDNO) {
        show_information(L"アップデートを中断しました。");
        return false;
    }
    return true;
}
