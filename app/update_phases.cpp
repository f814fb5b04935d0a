#include "app/update_phases.h"

#include "app/message_box.h"
#include "app/single_run.h"
#include "app/update_data.h"
#include "app/update_journal.h"
#include "fs/paths.h"
#include "install/destination.h"
#include "install/free_space.h"
#include "install/game_files.h"
#include "install/held_files.h"
#include "install/installation_record.h"
#include "install/run_record.h"
#include "update_ini/copy_plan.h"
#include "update_ini/source_checks.h"
#include "update_ini/update_ini_reader.h"

namespace {

// A problem found by a check becomes its two boxes; no problem lets the update go on.
bool passes(const std::wstring& problem)
{
    return problem.empty() || report_update_failure(problem);
}

// The first failure of a check layer is the one the player hears of.
bool passes(const Cfindings& findings)
{
    return passes(first_failure(findings));
}

}  // namespace

// source_root is left alone: only a successful read sets it.
bool reset_update_settings()
{
    g_update.settings = Cupdate_settings();
    return true;
}

bool read_update_ini()
{
    if (!passes(read_update_ini_file(L"update.ini", g_update.settings)))
        return false;
    g_update.source_root = L"GAMEDATA";
    return true;
}

bool check_names()
{
    return passes(judge_names(g_update.settings));
}

bool check_sources()
{
    return passes(judge_sources(g_update.settings, g_update.source_root, g_update.plan));
}

bool read_installation_record()
{
    return passes(judge_registry(g_update.settings, g_update.installation).message);
}

// Every later phase and message names the folder the update would use; the file operations reach it
// by its final path. A folder that is not there has none: the destination check tells the player so.
bool find_the_game()
{
    g_update.destination_folder = g_update.installation.SAV_FOLDER;
    g_update.game.open(g_update.destination_folder);
    return true;
}

bool claim_the_game()
{
    if (!g_update.game.is_open() || claim_game(g_update.game.key()))
        return true;
    show_warning(L"このゲームのアップデートは、すでに実行中です。\n実行中のアップデートが終わってから、もう一度実行してください。");
    return false;
}

// Before the destination is checked: a run killed while replacing Lumivane.exe left it under its
// backup's name. Whatever stops it here stops it before the player is asked anything.
bool recover_unfinished_update()
{
    const std::wstring journal = join_path(join_path(g_update.destination_folder, UPDATE_FOLDER), L"journal");
    switch (finish_unfinished_update(g_update.game)) {
    case Cunfinished::none:
        return true;
    case Cunfinished::rolled_back:
        show_information(L"前回のアップデートが途中で中断されていたため、ゲームをアップデート前の状態に戻しました。");
        return true;
    case Cunfinished::completed:
        show_information(L"前回のアップデートが途中で中断されていましたが、ファイルの更新は終わっていたため、後片付けのみを行いました。");
        return true;
    case Cunfinished::stuck:
        break;
    case Cunfinished::unreadable:
        return report_update_failure(L"前回のアップデートの記録 " + journal + L" が読み込めなかったため、ゲームを元の状態に戻せませんでした。\n"
                                     L"ほかのプログラムが使用している可能性があります。しばらく待ってから、もう一度実行してください。");
    case Cunfinished::broken:
        return report_update_failure(L"前回のアップデートの記録 " + journal + L" の内容が正しくないため、ゲームを元の状態に戻せませんでした。\n"
                                     L"ファイルは何も変更していません。~update フォルダは削除せずに、ゲームの提供元にお問い合わせください。");
    case Cunfinished::not_ours:
        return report_update_failure(update_folder_in_the_way(g_update.destination_folder));
    }
    return report_update_failure(L"前回のアップデートが途中で中断されていましたが、ゲームを元の状態に戻せませんでした。\n"
                                 L"ゲームを終了してから、もう一度実行してください。");
}

bool check_destination()
{
    return passes(judge_destination(g_update.settings, g_update.installation, g_update.destination_folder));
}

bool check_game_files()
{
    return passes(judge_game_files(g_update.game, g_update.listing, g_update.destination_folder, g_update.plan).message);
}

// A file another program holds would stop the update halfway, after every file was staged: asked
// of each file it replaces now, until the player has closed what holds it or gives up.
bool wait_for_held_files()
{
    for (Cheld_file held; !(held = find_held_file(g_update.game, g_update.listing, g_update.destination_folder, g_update.plan)).shown_path.empty();)
        if (show_warning(held_file_message(held), MB_RETRYCANCEL) == IDCANCEL) {
            show_information(L"アップデートを中断しました。");
            return false;
        }
    return true;
}

// Staging needs room for every file beside the old ones.
bool weigh_the_room()
{
    return passes(judge_free_space(g_update.destination_folder, staging_room(g_update.plan, g_update.destination_folder)).message);
}

bool confirm_destination()
{
    if (show_message_box(confirmation_question(g_update.destination_folder), MB_YESNO | MB_ICONINFORMATION) == IDNO) {
        show_information(L"アップデートを中断しました。");
        return false;
    }
    return true;
}
