#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "app/update_data.h"
#include "install/destination.h"
#include "support/recorded_boxes.h"
#include "support/scratch_tree.h"

namespace {

const std::wstring FAILED = L"アップデートに失敗しました。";
const std::wstring CHECK_SETUP = L"ゲームが正しくセットアップされていることを確認してください。";
const std::wstring ENGINE_MISSING = L"Lumivane.exe が見つかりませんでした。\n" + CHECK_SETUP;
const std::wstring BGM_NOT_SET_UP =
    L"BGM がセットアップされていません。\nアップデートを行うには、BGM がセットアップされていることが必要です。";
const std::wstring BGM_FOLDER_MISSING = L"BGM フォルダが見つかりません。\n" + CHECK_SETUP;
const std::wstring KOE_NOT_SET_UP = L"音声データがセットアップされていません。\n"
                                    L"アップデートを行うには、音声データがセットアップされていることが必要です。";
const std::wstring KOE_FOLDER_MISSING = L"音声フォルダが見つかりません。\n" + CHECK_SETUP;
const std::wstring MOV_NOT_SET_UP = L"ムービーがセットアップされていません。\n"
                                    L"アップデートを行うには、ムービーがセットアップされていることが必要です。";
const std::wstring MOV_FOLDER_MISSING = L"ムービーフォルダが見つかりません。\n" + CHECK_SETUP;
const std::wstring DAT_NOT_SET_UP = L"データがセットアップされていません。\n\n最小セットアップになっていませんか？\n"
                                    L"最小セットアップではアップデートを行うことはできません。";
const std::wstring DAT_FOLDER_MISSING = L"データフォルダが見つかりません。\n" + CHECK_SETUP;

std::wstring destination_missing(const std::wstring& folder)
{
    return L"コピー先のフォルダ " + folder + L" が見つかりません。\n" + CHECK_SETUP;
}

// A complete installation on disk, every part set up and every check asked for; each row of the
// table below breaks it in one way.
struct Cinstallation {
    explicit Cinstallation(const Cscratch_tree& tree)
    {
        game = tree.make_folder(L"game");
        tree.make_file(L"game\\Lumivane.exe", "MZ");
        for (const wchar_t* part : {L"bgm", L"koe", L"mov", L"dat"})
            tree.make_folder(std::wstring(L"game\\") + part);
        tree.make_file(L"not_a_folder", "x");

        Cinstallation_record& record = g_update.installation;
        record.SAV_FOLDER = game;
        record.BGM_EXIST = record.KOE_EXIST = record.MOV_EXIST = record.DAT_EXIST = L"1";
        record.BGM_FOLDER = game + L"\\bgm";
        record.KOE_FOLDER = game + L"\\koe";
        record.MOV_FOLDER = game + L"\\mov";
        record.DAT_FOLDER = game + L"\\dat";

        Cupdate_settings& settings = g_update.settings;
        settings = Cupdate_settings();
        settings.GAME_NAME = L"月影の庭";
        settings.BGM_UPDATE = settings.KOE_UPDATE = settings.MOV_UPDATE = 1;
        settings.COPY_FOLDER_COUNT = 1;
        g_update.destination_folder = L"(not set)";
    }
    std::wstring game;
};

struct Ccheck_case {
    std::string name;
    // Breaks the complete installation; returns the first message expected, empty for none.
    std::function<std::wstring(const Cscratch_tree&, Cinstallation&)> break_it;
};

Cinstallation_record& record()
{
    return g_update.installation;
}

Cupdate_settings& settings()
{
    return g_update.settings;
}

void remove_folder(const std::wstring& folder)
{
    ASSERT_TRUE(RemoveDirectoryW(folder.c_str()));
}

std::wstring pass(const Cscratch_tree&, Cinstallation&)
{
    return L"";
}

class DestinationCheck : public ::testing::TestWithParam<Ccheck_case> {};

TEST_P(DestinationCheck, ReportsTheFirstBrokenPartAndChangesNothing)
{
    Cscratch_tree tree;
    Cinstallation installation(tree);
    const std::wstring expected_message = GetParam().break_it(tree, installation);
    const Cscratch_tree::Cpicture before = tree.picture();
    Crecorded_boxes boxes;

    const bool passed = check_destination();

    EXPECT_EQ(g_update.destination_folder, record().SAV_FOLDER);
    if (expected_message.empty()) {
        EXPECT_TRUE(passed);
        EXPECT_TRUE(boxes.boxes.empty());
    } else {
        EXPECT_FALSE(passed);
        EXPECT_EQ(boxes.texts(), (std::vector<std::wstring>{expected_message, FAILED}));
        for (const Crecorded_box& box : boxes.boxes) {
            EXPECT_EQ(box.caption, L"月影の庭");
            EXPECT_EQ(box.flags, static_cast<UINT>(MB_ICONWARNING));
        }
    }
    EXPECT_EQ(tree.picture(), before);
}

// One part: not set up in each way an installer might say so, and set up with its folder gone.
// Its existence field is looked at before its folder.
std::vector<Ccheck_case> part_rows(const char* part, std::wstring Cinstallation_record::*existence,
                                   std::wstring Cinstallation_record::*folder, const std::wstring& not_set_up,
                                   const std::wstring& folder_missing)
{
    std::vector<Ccheck_case> rows;
    auto name = [&](const std::string& what) { return std::string(part) + "_" + what; };
    for (const wchar_t* text : {L"0", L"1 ", L"", L" 1", L"01", L"true"}) {
        const std::wstring stored = text;
        const std::string label = stored.empty() ? "empty" : stored == L"1 " ? "one_blank" : stored == L" 1" ? "blank_one"
                                  : stored == L"01" ? "zero_one" : stored == L"0" ? "zero" : "true";
        rows.push_back({name("not_set_up_" + label), [=](const Cscratch_tree&, Cinstallation&) {
                            record().*existence = stored;
                            return not_set_up;
                        }});
    }
    rows.push_back({name("set_up_folder_missing"), [=](const Cscratch_tree&, Cinstallation&) {
                        remove_folder(record().*folder);
                        return folder_missing;
                    }});
    rows.push_back({name("folder_is_a_file"), [=](const Cscratch_tree& tree, Cinstallation&) {
                        record().*folder = tree.path(L"not_a_folder");
                        return folder_missing;
                    }});
    rows.push_back({name("not_set_up_and_folder_missing"), [=](const Cscratch_tree&, Cinstallation&) {
                        record().*existence = L"0";
                        remove_folder(record().*folder);
                        return not_set_up;
                    }});
    // A folder field is a path of its own, not a name under the game folder.
    rows.push_back({name("folder_relative_to_game"), [=](const Cscratch_tree&, Cinstallation& installation) {
                        const std::wstring full = record().*folder;
                        record().*folder = full.substr(installation.game.size() + 1);
                        return folder_missing;
                    }});
    return rows;
}

std::vector<Ccheck_case> all_rows()
{
    std::vector<Ccheck_case> rows = {
        {"complete", pass},
        {"sav_folder_empty",
         [](const Cscratch_tree&, Cinstallation&) {
             record().SAV_FOLDER = L"";
             return destination_missing(L"");
         }},
        {"sav_folder_missing",
         [](const Cscratch_tree& tree, Cinstallation&) {
             record().SAV_FOLDER = tree.path(L"gone");
             return destination_missing(tree.path(L"gone"));
         }},
        {"sav_folder_is_a_file",
         [](const Cscratch_tree& tree, Cinstallation&) {
             record().SAV_FOLDER = tree.path(L"not_a_folder");
             return destination_missing(tree.path(L"not_a_folder"));
         }},
        // The engine path then holds two backslashes in a row, which Windows reads as one.
        {"sav_folder_trailing_backslash",
         [](const Cscratch_tree&, Cinstallation& installation) {
             record().SAV_FOLDER = installation.game + L"\\";
             return std::wstring();
         }},
        {"engine_missing",
         [](const Cscratch_tree& tree, Cinstallation&) {
             DeleteFileW(tree.path(L"game\\Lumivane.exe").c_str());
             return ENGINE_MISSING;
         }},
        {"engine_is_a_folder",
         [](const Cscratch_tree& tree, Cinstallation&) {
             DeleteFileW(tree.path(L"game\\Lumivane.exe").c_str());
             tree.make_folder(L"game\\Lumivane.exe");
             return ENGINE_MISSING;
         }},
        {"engine_missing_reported_before_parts",
         [](const Cscratch_tree& tree, Cinstallation&) {
             DeleteFileW(tree.path(L"game\\Lumivane.exe").c_str());
             record().BGM_EXIST = L"0";
             return ENGINE_MISSING;
         }},
        {"nothing_asked_nothing_set_up",
         [](const Cscratch_tree&, Cinstallation&) {
             settings().BGM_UPDATE = settings().KOE_UPDATE = settings().MOV_UPDATE = 0;
             settings().COPY_FOLDER_COUNT = 0;
             record().BGM_EXIST = record().KOE_EXIST = record().MOV_EXIST = record().DAT_EXIST = L"0";
             record().BGM_FOLDER = record().KOE_FOLDER = record().MOV_FOLDER = record().DAT_FOLDER = L"";
             return std::wstring();
         }},
        // Any switch other than 0 asks for its check.
        {"bgm_switch_negative",
         [](const Cscratch_tree&, Cinstallation&) {
             settings().BGM_UPDATE = -1;
             record().BGM_EXIST = L"0";
             return BGM_NOT_SET_UP;
         }},
        {"bgm_off_koe_checked",
         [](const Cscratch_tree&, Cinstallation&) {
             settings().BGM_UPDATE = 0;
             record().BGM_EXIST = L"0";
             record().KOE_EXIST = L"0";
             return KOE_NOT_SET_UP;
         }},
        {"bgm_folder_missing_stops_before_voice",
         [](const Cscratch_tree&, Cinstallation&) {
             remove_folder(record().BGM_FOLDER);
             record().KOE_EXIST = record().MOV_EXIST = record().DAT_EXIST = L"0";
             return BGM_FOLDER_MISSING;
         }},
        {"koe_off_mov_off",
         [](const Cscratch_tree&, Cinstallation&) {
             settings().KOE_UPDATE = settings().MOV_UPDATE = 0;
             record().KOE_EXIST = record().MOV_EXIST = L"";
             return std::wstring();
         }},
        {"data_count_zero",
         [](const Cscratch_tree&, Cinstallation&) {
             settings().COPY_FOLDER_COUNT = 0;
             record().DAT_EXIST = L"0";
             return std::wstring();
         }},
        {"data_count_negative",
         [](const Cscratch_tree&, Cinstallation&) {
             settings().COPY_FOLDER_COUNT = -1;
             record().DAT_EXIST = L"0";
             return std::wstring();
         }},
        {"data_count_most_negative",
         [](const Cscratch_tree&, Cinstallation&) {
             settings().COPY_FOLDER_COUNT = INT_MIN;
             record().DAT_EXIST = L"0";
             return std::wstring();
         }},
        {"data_count_ten",
         [](const Cscratch_tree&, Cinstallation&) {
             settings().COPY_FOLDER_COUNT = 10;
             record().DAT_EXIST = L"0";
             return DAT_NOT_SET_UP;
         }},
        {"file_count_plays_no_part",
         [](const Cscratch_tree&, Cinstallation&) {
             settings().COPY_FOLDER_COUNT = 0;
             settings().COPY_FILE_COUNT = 3;
             record().DAT_EXIST = L"0";
             return std::wstring();
         }},
    };
    for (auto part : {part_rows("bgm", &Cinstallation_record::BGM_EXIST, &Cinstallation_record::BGM_FOLDER,
                                BGM_NOT_SET_UP, BGM_FOLDER_MISSING),
                      part_rows("koe", &Cinstallation_record::KOE_EXIST, &Cinstallation_record::KOE_FOLDER,
                                KOE_NOT_SET_UP, KOE_FOLDER_MISSING),
                      part_rows("mov", &Cinstallation_record::MOV_EXIST, &Cinstallation_record::MOV_FOLDER,
                                MOV_NOT_SET_UP, MOV_FOLDER_MISSING),
                      part_rows("dat", &Cinstallation_record::DAT_EXIST, &Cinstallation_record::DAT_FOLDER,
                                DAT_NOT_SET_UP, DAT_FOLDER_MISSING)})
        rows.insert(rows.end(), part.begin(), part.end());
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Rows, DestinationCheck, ::testing::ValuesIn(all_rows()),
                         [](const ::testing::TestParamInfo<Ccheck_case>& info) { return info.param.name; });

// The confirmation shows the folder exactly as the check set it, and a No ends the update with one
// information box and no failure box.
struct Cconfirm_case {
    const char* name;
    int answer;
    bool confirmed;
};

class DestinationConfirmation : public ::testing::TestWithParam<Cconfirm_case> {};

TEST_P(DestinationConfirmation, AsksOnceAndStopsOnNo)
{
    Cscratch_tree tree;
    Cinstallation installation(tree);
    record().SAV_FOLDER = installation.game + L"\\";
    const Cscratch_tree::Cpicture before = tree.picture();
    Crecorded_boxes boxes;
    boxes.answer(GetParam().answer);

    ASSERT_TRUE(check_destination());
    EXPECT_EQ(confirm_destination(), GetParam().confirmed);

    ASSERT_GE(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, L"セットアップ先 = " + installation.game +
                                       L"\\\n\nこの場所にアップデートデータを上書きします。よろしいですか？");
    EXPECT_EQ(boxes.boxes[0].caption, L"月影の庭");
    // Yes, No and the information icon, with Yes the default button.
    EXPECT_EQ(boxes.boxes[0].flags, static_cast<UINT>(MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON1));
    EXPECT_EQ(boxes.boxes[0].flags, 0x44u);
    if (GetParam().confirmed) {
        EXPECT_EQ(boxes.boxes.size(), 1u);
    } else {
        ASSERT_EQ(boxes.boxes.size(), 2u);
        EXPECT_EQ(boxes.boxes[1].text, L"アップデートを中断しました。");
        EXPECT_EQ(boxes.boxes[1].flags, static_cast<UINT>(MB_ICONINFORMATION));
        EXPECT_EQ(boxes.boxes[1].caption, L"月影の庭");
    }
    EXPECT_EQ(tree.picture(), before);
}

INSTANTIATE_TEST_SUITE_P(Rows, DestinationConfirmation,
                         ::testing::Values(Cconfirm_case{"yes", IDYES, true}, Cconfirm_case{"no", IDNO, false}),
                         [](const ::testing::TestParamInfo<Cconfirm_case>& info) { return std::string(info.param.name); });

} // namespace
