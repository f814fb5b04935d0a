// The harness itself, against a stand-in program whose windows are known: if these pass, a
// transcript of update.exe shows what the player saw.
#include <gtest/gtest.h>

#include "harness.h"
#include "scenario.h"

using namespace e2e;

namespace {

Crun_options fake_program(const std::wstring& script)
{
    Crun_options options;
    options.program = windows_path_of(E2E_FAKE_PROGRAM);
    options.arguments = script;
    options.timeout_ms = 30000;
    return options;
}

}  // namespace

TEST(EventFormat, EscapesSoThatEveryEventStaysOnOneLine)
{
    EXPECT_EQ(quoted(std::string("a\\b\"c\nd\re\tf\x01g")), "\"a\\\\b\\\"c\\nd\\re\\tf\\x01g\"");
    EXPECT_EQ(quoted(std::wstring(L"BGM\\曲.ogg")), "\"BGM\\\\曲.ogg\"");
}

TEST(Harness, RecordsEachBoxWithItsIconButtonsAndDefaultAndAnswersIt)
{
    struct Ccase {
        Cbutton yes_no;
        Cbutton ok_cancel;
        DWORD exit_code;
    };
    const Ccase cases[] = {
        {Cbutton::yes, Cbutton::ok, IDYES * 10 + IDOK},
        {Cbutton::no, Cbutton::cancel, IDNO * 10 + IDCANCEL},
    };
    for (const Ccase& c : cases) {
        Crun_options options = fake_program(L"boxes");
        options.answers = {c.yes_no, c.ok_cancel};
        const Crun_result run = run_program(options);
        ASSERT_TRUE(run.ok()) << run.failure;
        EXPECT_EQ(run.exit_code, c.exit_code);
        EXPECT_EQ(run.answers_used, 2u);
        EXPECT_EQ(run.transcript, (Ctranscript{
                                      warning_box("キャプション", "一行目\n\"引用\" C:\\パス\\a.txt"),
                                      information_box("", "情報"),
                                      box_line("確認", "question", "Yes,No", "No", "続けますか？"),
                                      box_line("無", "none", "OK,Cancel", "OK", "アイコンなし"),
                                  }))
            << to_text(run.transcript);
    }
}

TEST(Harness, FailsARunWhoseBoxNeedsAnAnswerTheScenarioDoesNotGive)
{
    const Crun_result run = run_program(fake_program(L"boxes"));
    EXPECT_FALSE(run.ok());
    EXPECT_NE(run.failure.find("does not give"), std::string::npos) << run.failure;
}

TEST(Harness, KillsAProgramThatDoesNotEndInTime)
{
    Crun_options options = fake_program(L"hang");
    options.timeout_ms = 2000;
    const Crun_result run = run_program(options);
    EXPECT_TRUE(run.timed_out);
    EXPECT_FALSE(run.ok());
}

namespace {

const Ctranscript dialog_opening = {
    "dialog create caption=\"Dialog\" text=\"...\"",
    "dialog caption=\"テスト アップデート\"",
    "range 1001 0 1000",
    "range 1002 0 1000",
    "dialog show",
    "text 1003 \"BGM\\\\a.ogg\"",
    "pos 1001 250",
    "pos 1002 500",
};

Ctranscript joined(Ctranscript first, const Ctranscript& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

}  // namespace

TEST(Harness, RecordsTheProgressDialogFromCreationToDestruction)
{
    const Crun_result run = run_program(fake_program(L"dialog"));
    ASSERT_TRUE(run.ok()) << run.failure;
    EXPECT_EQ(run.transcript, joined(dialog_opening, {
                                                         "pos 1001 500",
                                                         "pos 1002 1000",
                                                         "text 1003 \"BGM\\\\b.ogg\"",
                                                         "pos 1001 750",
                                                         "pos 1002 500",
                                                         "pos 1001 1000",
                                                         "pos 1002 1000",
                                                         warning_box("テスト", "途中"),
                                                         "dialog hide",
                                                         "dialog destroy",
                                                         information_box("テスト", "終了"),
                                                     }))
        << to_text(run.transcript);
}

// The close box is pressed after the third position; the program handles it at its next pump,
// after the fourth, and every later message goes to no window.
TEST(Harness, ClosesTheProgressDialogAfterTheGivenPosition)
{
    Crun_options options = fake_program(L"dialog");
    options.close_dialog_after_pos = 3;
    const Crun_result run = run_program(options);
    ASSERT_TRUE(run.ok()) << run.failure;
    EXPECT_EQ(run.transcript, joined(dialog_opening, {
                                                         "pos 1001 500",
                                                         "dialog close",
                                                         "pos 1002 1000",
                                                         "dialog destroy",
                                                         warning_box("テスト", "途中"),
                                                         information_box("テスト", "終了"),
                                                     }))
        << to_text(run.transcript);
}

TEST(Scenario, WritesUpdateIniAsAJapaneseEditorSavesIt)
{
    const Cscenario_folder folder(L"update_ini", L"ゲーム\\アップデート");
    folder.write_update_ini({L"GAME_NAME = \"テスト\"", L"// 表"});
    EXPECT_EQ(read_file(folder.path(L"update.ini")),
              "GAME_NAME = \"\x83\x65\x83\x58\x83\x67\"\r\n// \x95\x5C\r\n");
    EXPECT_EQ(read_file(folder.exe_path()).substr(0, 2), "MZ");
}

TEST(Scenario, SnapshotsShowWhatChangedInATree)
{
    const Cscenario_folder folder(L"snapshot");
    folder.write_installed(L"data\\a.bin", pattern_bytes(1000, 1));
    folder.write_installed(L"b.bin", "b");
    const Ctree_snapshot before = snapshot_tree(folder.installed_folder());
    EXPECT_EQ(before.size(), 3u);
    EXPECT_EQ(tree_differences(before, snapshot_tree(folder.installed_folder())), "");

    folder.write_installed(L"data\\a.bin", pattern_bytes(1000, 2));
    folder.write_installed(L"c.bin", "");
    EXPECT_EQ(tree_differences(before, snapshot_tree(folder.installed_folder())),
              "  changed: data\\a.bin (1000 bytes #" + std::to_string(before.at(L"data\\a.bin").hash) + " -> 1000 bytes #" +
                  std::to_string(snapshot_tree(folder.installed_folder()).at(L"data\\a.bin").hash) + ")\n" +
                  "  new: c.bin (0 bytes #14695981039346656037)\n");
}

TEST(Scenario, RegistryKeyHoldsValuesAsTheInstallerWroteThemAndGoesAway)
{
    {
        const Cregistry_key key(L"UpdateE2eHarnessTest");
        key.set_text(L"SAV_FOLDER", L"C:\\ゲーム");
        wchar_t value[64] = {};
        DWORD size = sizeof(value);
        DWORD type = 0;
        ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"SOFTWARE\\UpdateE2eHarnessTest", L"SAV_FOLDER", RRF_RT_ANY, &type,
                               value, &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(size, 7 * sizeof(wchar_t));  // six characters and the NUL
        EXPECT_STREQ(value, L"C:\\ゲーム");
    }
    HKEY gone = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\UpdateE2eHarnessTest", 0, KEY_READ, &gone), ERROR_SUCCESS);
}
