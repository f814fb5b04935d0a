// The installation as the real update.exe finds it: the installer's registry values, the checks of
// the installed game and the confirmation, with the boxes the player sees and the disk untouched.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "harness.h"
#include "scenario.h"

using namespace e2e;

namespace {

const std::wstring GAME_NAME = L"テスト";
const wchar_t* const REGISTRY_NAME = L"UpdateE2eDestination";
const std::wstring FAILED = L"アップデートに失敗しました。";
const std::wstring CHECK_SETUP = L"ゲームが正しくセットアップされていることを確認してください。";
const std::wstring ENGINE_MISSING = L"Lumivane.exe が見つかりませんでした。\n" + CHECK_SETUP;
const std::wstring ABORTED = L"アップデートを中断しました。";
const std::wstring SUCCEEDED = L"アップデートは正常に終了しました。";

std::wstring destination_missing(const std::wstring& folder)
{
    return L"コピー先のフォルダ " + folder + L" が見つかりません。\n" + CHECK_SETUP;
}

std::wstring value_missing(const std::wstring& value_name)
{
    return L"レジストリに [" + value_name + L"] が見つかりませんでした。";
}

std::wstring question(const std::wstring& folder)
{
    return L"セットアップ先 = " + folder + L"\n\nこの場所にアップデートデータを上書きします。よろしいですか？";
}

// One optional part of the game as the update and the installation see it.
struct Cpart {
    const wchar_t* key;             // BGM, KOE, MOV or DAT in the registry
    const wchar_t* source;          // its folder below GAMEDATA
    const wchar_t* installed;       // its folder in the installation
    std::wstring not_set_up;
    std::wstring folder_missing;
};

const Cpart PARTS[] = {
    {L"BGM", L"bgm", L"BGM",
     L"BGM がセットアップされていません。\nアップデートを行うには、BGM がセットアップされていることが必要です。",
     L"BGM フォルダが見つかりません。\n" + CHECK_SETUP},
    {L"KOE", L"koe", L"KOE",
     L"音声データがセットアップされていません。\nアップデートを行うには、音声データがセットアップされていることが必要です。",
     L"音声フォルダが見つかりません。\n" + CHECK_SETUP},
    {L"MOV", L"mov", L"MOV",
     L"ムービーがセットアップされていません。\nアップデートを行うには、ムービーがセットアップされていることが必要です。",
     L"ムービーフォルダが見つかりません。\n" + CHECK_SETUP},
    {L"DAT", L"data", L"DAT",
     L"データがセットアップされていません。\n\n最小セットアップになっていませんか？\n"
     L"最小セットアップではアップデートを行うことはできません。",
     L"データフォルダが見つかりません。\n" + CHECK_SETUP},
};

// What one scenario lays out. The default is a complete installation and an update that asks for
// every part, which reaches the confirmation.
struct Cplan {
    int bgm_update = 1;
    int koe_update = 1;
    int mov_update = 1;
    int copy_folder_count = 1;
    bool key_exists = true;
    // Registry values by name; a value removed from the map is not written.
    std::map<std::wstring, std::wstring> values;
    // Installed files and folders to take away after the installation is laid out.
    std::vector<std::wstring> removed;
    // Folders to make, relative to the scenario's root.
    std::vector<std::wstring> made_folders;
    std::vector<Cbutton> answers;
};

struct Cexpected {
    std::vector<std::wstring> warnings;  // the cause and the failure line, or none
    std::wstring confirmed_folder;       // shown by the confirmation when the checks pass
    Cbutton answer = Cbutton::no;
};

using Cbreak = std::function<Cexpected(const Cscenario_folder&, Cplan&)>;

struct Cscenario_case {
    std::string name;
    Cbreak break_it;
};

void lay_out(const Cscenario_folder& folder, Cplan& plan)
{
    folder.write_update_ini({
        L"// 検証用のアップデート",
        L"GAME_NAME = \"" + GAME_NAME + L"\"",
        std::wstring(L"REG_NAME = \"") + REGISTRY_NAME + L"\"",
        L"BGM_UPDATE = " + std::to_wstring(plan.bgm_update),
        L"KOE_UPDATE = " + std::to_wstring(plan.koe_update),
        L"MOV_UPDATE = " + std::to_wstring(plan.mov_update),
        L"BGM_FOLDER = \"bgm\"",
        L"KOE_FOLDER = \"koe\"",
        L"MOV_FOLDER = \"mov\"",
        L"COPY_FOLDER_COUNT = " + std::to_wstring(plan.copy_folder_count),
        L"COPY_FOLDER_00 = \"data\"",
        L"COPY_FILE_COUNT = 0",
    });
    folder.write_installed(L"Lumivane.exe", pattern_bytes(4096));
    for (const Cpart& part : PARTS) {
        folder.write_game_data(std::wstring(part.source) + L"\\new.bin", pattern_bytes(100, 1));
        folder.write_installed(std::wstring(part.installed) + L"\\old.bin", pattern_bytes(100, 2));
    }
    for (const std::wstring& removed : plan.removed) {
        const std::wstring path = folder.installed_path(removed);
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            remove_tree(path);
        else
            DeleteFileW(path.c_str());
    }
    for (const std::wstring& made : plan.made_folders)
        make_folders(folder.root() + L"\\" + made);
}

Cplan complete_plan(const Cscenario_folder& folder)
{
    Cplan plan;
    plan.values[L"SAV_FOLDER"] = folder.installed_folder();
    for (const Cpart& part : PARTS) {
        plan.values[std::wstring(part.key) + L"_EXIST"] = L"1";
        plan.values[std::wstring(part.key) + L"_FOLDER"] = folder.installed_path(part.installed);
    }
    return plan;
}

std::string warning(const std::wstring& text)
{
    return warning_box(to_utf8(GAME_NAME), to_utf8(text));
}

Ctranscript boxes_of(const Ctranscript& transcript)
{
    Ctranscript boxes;
    for (const std::string& line : transcript)
        if (line.rfind("box ", 0) == 0)
            boxes.push_back(line);
    return boxes;
}

Ctranscript expected_boxes(const Cexpected& expected)
{
    Ctranscript boxes;
    for (const std::wstring& text : expected.warnings)
        boxes.push_back(warning(text));
    if (!expected.warnings.empty())
        return boxes;
    boxes.push_back(box_line(to_utf8(GAME_NAME), "information", "Yes,No", "Yes",
                             to_utf8(question(expected.confirmed_folder))));
    boxes.push_back(information_box(to_utf8(GAME_NAME), to_utf8(expected.answer == Cbutton::no ? ABORTED : SUCCEEDED)));
    return boxes;
}

Cexpected fails_with(const std::wstring& cause)
{
    return {{cause, FAILED}, L"", Cbutton::no};
}

Cexpected asks_for(const std::wstring& folder, Cbutton answer = Cbutton::no)
{
    return {{}, folder, answer};
}

class Destination : public ::testing::TestWithParam<Cscenario_case> {};

TEST_P(Destination, ShowsTheExactBoxesAndLeavesTheDiskAsItWas)
{
    const Cscenario_folder folder(L"destination_" + std::wstring(GetParam().name.begin(), GetParam().name.end()));
    Cplan plan = complete_plan(folder);
    const Cexpected expected = GetParam().break_it(folder, plan);
    lay_out(folder, plan);
    Cregistry_key key(REGISTRY_NAME);
    if (plan.key_exists) {
        for (const auto& value : plan.values)
            key.set_text(value.first, value.second);
    } else {
        key.remove();
    }
    const Ctree_snapshot before = snapshot_tree(folder.root());

    Crun_options options;
    options.program = folder.exe_path();
    if (expected.warnings.empty())
        options.answers = {expected.answer};
    const Crun_result run = run_program(options);

    ASSERT_TRUE(run.ok()) << run.failure << "\n" << to_text(run.transcript);
    EXPECT_EQ(run.exit_code, 0u);
    EXPECT_EQ(boxes_of(run.transcript), expected_boxes(expected)) << to_text(run.transcript);
    const Ctree_snapshot after = snapshot_tree(folder.root());
    EXPECT_TRUE(after == before) << tree_differences(before, after);
}

// Not set up in each way an installer may say so, and set up with the folder gone; the
// existence value is looked at before the folder.
void add_part_rows(std::vector<Cscenario_case>& rows, const Cpart& part)
{
    const std::wstring exist = std::wstring(part.key) + L"_EXIST";
    const std::string prefix = to_utf8(part.key);
    const std::pair<const char*, const wchar_t*> not_set_up[] = {{"zero", L"0"}, {"one_blank", L"1 "}, {"empty", L""}};
    for (const auto& stored : not_set_up) {
        rows.push_back({prefix + "_not_set_up_" + stored.first, [=](const Cscenario_folder&, Cplan& plan) {
                            plan.values[exist] = stored.second;
                            return fails_with(part.not_set_up);
                        }});
    }
    rows.push_back({prefix + "_folder_missing", [=](const Cscenario_folder&, Cplan& plan) {
                        plan.removed.push_back(part.installed);
                        return fails_with(part.folder_missing);
                    }});
}

std::vector<Cscenario_case> all_rows()
{
    std::vector<Cscenario_case> rows = {
        {"complete_answered_no", [](const Cscenario_folder& folder, Cplan&) { return asks_for(folder.installed_folder()); }},
        {"nothing_to_copy_answered_yes",
         [](const Cscenario_folder& folder, Cplan& plan) {
             plan.bgm_update = plan.koe_update = plan.mov_update = plan.copy_folder_count = 0;
             return asks_for(folder.installed_folder(), Cbutton::yes);
         }},
        {"no_key",
         [](const Cscenario_folder&, Cplan& plan) {
             plan.key_exists = false;
             return fails_with(L"レジストリキーが見つかりませんでした。\n「" + GAME_NAME +
                               L"」がインストールされていることを確認してください。");
         }},
        {"sav_folder_value_missing",
         [](const Cscenario_folder&, Cplan& plan) {
             plan.values.erase(L"SAV_FOLDER");
             return fails_with(value_missing(L"SAV_FOLDER"));
         }},
        // Every value is required, even one whose part the update does not touch.
        {"mov_exist_value_missing_without_movies",
         [](const Cscenario_folder&, Cplan& plan) {
             plan.mov_update = 0;
             plan.values.erase(L"MOV_EXIST");
             return fails_with(value_missing(L"MOV_EXIST"));
         }},
        {"sav_folder_empty",
         [](const Cscenario_folder&, Cplan& plan) {
             plan.values[L"SAV_FOLDER"] = L"";
             return fails_with(destination_missing(L""));
         }},
        {"sav_folder_is_a_file",
         [](const Cscenario_folder& folder, Cplan& plan) {
             plan.values[L"SAV_FOLDER"] = folder.installed_path(L"Lumivane.exe");
             return fails_with(destination_missing(folder.installed_path(L"Lumivane.exe")));
         }},
        {"sav_folder_trailing_backslash",
         [](const Cscenario_folder& folder, Cplan& plan) {
             plan.values[L"SAV_FOLDER"] = folder.installed_folder() + L"\\";
             return asks_for(folder.installed_folder() + L"\\");
         }},
        {"sav_folder_japanese",
         [](const Cscenario_folder& folder, Cplan& plan) {
             const std::wstring japanese = folder.root() + L"\\ゲーム\\月影の庭";
             plan.made_folders.push_back(L"ゲーム\\月影の庭");
             write_file(japanese + L"\\Lumivane.exe", pattern_bytes(16));
             plan.values[L"SAV_FOLDER"] = japanese;
             return asks_for(japanese);
         }},
        {"engine_missing",
         [](const Cscenario_folder&, Cplan& plan) {
             plan.removed.push_back(L"Lumivane.exe");
             return fails_with(ENGINE_MISSING);
         }},
        {"engine_is_a_folder",
         [](const Cscenario_folder&, Cplan& plan) {
             plan.removed.push_back(L"Lumivane.exe");
             plan.made_folders.push_back(L"installed\\Lumivane.exe");
             return fails_with(ENGINE_MISSING);
         }},
        {"data_count_zero_data_not_set_up",
         [](const Cscenario_folder& folder, Cplan& plan) {
             plan.copy_folder_count = 0;
             plan.values[L"DAT_EXIST"] = L"0";
             return asks_for(folder.installed_folder());
         }},
        {"data_count_negative_data_not_set_up",
         [](const Cscenario_folder& folder, Cplan& plan) {
             plan.copy_folder_count = -1;
             plan.values[L"DAT_EXIST"] = L"0";
             return asks_for(folder.installed_folder());
         }},
        {"media_off_not_set_up",
         [](const Cscenario_folder& folder, Cplan& plan) {
             plan.bgm_update = plan.koe_update = plan.mov_update = 0;
             plan.values[L"BGM_EXIST"] = plan.values[L"KOE_EXIST"] = plan.values[L"MOV_EXIST"] = L"0";
             plan.removed = {L"BGM", L"KOE", L"MOV"};
             return asks_for(folder.installed_folder());
         }},
    };
    for (const Cpart& part : PARTS)
        add_part_rows(rows, part);
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Scenarios, Destination, ::testing::ValuesIn(all_rows()),
                         [](const ::testing::TestParamInfo<Cscenario_case>& info) { return info.param.name; });

}  // namespace
