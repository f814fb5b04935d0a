// The package checker on packages laid out as publishers lay them out: it names the cause of
// every ignored line, shows the same boxes as update.exe's own phases, warns about entries that
// leave GAMEDATA, and writes nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/update_data.h"
#include "package_folder.h"
#include "support/recorded_boxes.h"
#include "support/test_registry_key.h"
#include "update_check/package_check.h"
#include "update_check/path_escape.h"
#include "update_ini/source_checks.h"
#include "update_ini/text_file.h"
#include "update_ini/update_settings.h"

namespace {

const std::wstring GAME = L"GAME_NAME = \"ルミベイン物語\"";
const std::wstring REG = L"REG_NAME = \"LumivaneStory\"";

struct Cchecked {
    int exit_code = -1;
    std::wstring report;
};

Cchecked check(const Cpackage_folder& package, const Ccheck_options& base = Ccheck_options())
{
    Ccheck_options options = base;
    options.package_folder = package.path;
    Creport report;
    Cchecked result;
    result.exit_code = check_package(options, report);
    result.report = report.text();
    return result;
}

// The boxes update.exe's own phases show for the package, up to the first that fails.
std::vector<std::wstring> boxes_of_update_exe(const Cpackage_folder& package)
{
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(package.path.c_str());
    Crecorded_boxes boxes;
    g_update = Cupdate_data();
    reset_update_settings() && read_update_ini() && check_names() && check_sources();
    SetCurrentDirectoryW(previous);
    return boxes.texts();
}

// A box text as the report prints it: each of its lines indented under the box's heading.
std::wstring printed_box(const std::wstring& text)
{
    std::wstring printed = L"\n      ";
    for (wchar_t c : text)
        printed += c == L'\n' ? std::wstring(L"\n      ") : std::wstring(1, c);
    return printed + L"\n";
}

// One file of the copy plan as the report prints it: the size right-aligned, then the path.
std::wstring plan_line(const std::wstring& size, const std::wstring& path)
{
    return L"\n  " + std::wstring(15 - size.size(), L' ') + size + L"  " + path + L"\n";
}

std::string narrow(const std::wstring& text)
{
    return to_narrow(text);
}

// ---- Ignored lines: one row per kind ----------------------------------------------------------

struct Cline_case {
    const char* name;
    std::wstring line;
    std::wstring expected;  // what the report says under the line
    bool with_bom = false;  // the line is the first one, behind a UTF-8 byte-order mark
};

TEST(UpdateCheckLines, EachKindOfLineIsNamed)
{
    const std::vector<Cline_case> cases = {
        {"indented by blanks", L"  KOE_UPDATE = 1", L"IGNORED: indented key (meant to set KOE_UPDATE)"},
        {"indented by a tab", L"\tMOV_UPDATE = 1", L"IGNORED: indented key (meant to set MOV_UPDATE)"},
        {"lower case key", L"bgm_update = 1", L"IGNORED: wrong letter case (meant to set BGM_UPDATE)"},
        {"mixed case key", L"Copy_File_00 = \"a.txt\"", L"IGNORED: wrong letter case (meant to set COPY_FILE_00)"},
        {"unknown key", L"BGM_VOLUME = 1", L"IGNORED: unknown key"},
        {"the count named as in the message", L"COPY_FOLDER_CNT = 1", L"IGNORED: unknown key"},
        {"unquoted value", L"BGM_FOLDER = bgm", L"IGNORED: unquoted value"},
        {"unterminated value", L"BGM_FOLDER = \"bgm", L"IGNORED: unterminated value"},
        {"full-width blank before =", L"BGM_FOLDER　= \"bgm\"", L"IGNORED: full-width blank (meant to set BGM_FOLDER)"},
        {"full-width blank after =", L"KOE_UPDATE =　1", L"IGNORED: full-width blank (meant to set KOE_UPDATE)"},
        {"byte-order mark", GAME, L"IGNORED: byte-order mark (meant to set GAME_NAME)", true},
        {"numbered key 10", L"COPY_FOLDER_10 = \"x\"", L"IGNORED: numbered key out of range"},
        {"numbered key with one digit", L"COPY_FILE_1 = \"x\"", L"IGNORED: numbered key out of range"},
        {"two signs", L"BGM_UPDATE = +-1", L"IGNORED: not a number"},
        {"quoted number", L"BGM_UPDATE = \"1\"", L"IGNORED: not a number"},
        {"no value", L"REG_NAME =", L"IGNORED: missing value"},
        {"no equals sign", L"REG_NAME \"x\"", L"IGNORED: no \"=\" after the key"},
        {"section header", L"[update]", L"IGNORED: section header"},
        {"semicolon remark", L"; BGM_UPDATE = 1", L"IGNORED: not a comment marker"},
        {"indented and lower case", L" koe_folder = \"voice\"",
         L"IGNORED: indented key; wrong letter case (meant to set KOE_FOLDER)"},
        {"indented comment", L"  // note", L"ignored, harmless"},
        {"comment", L"// GAME_NAME = \"x\"", L"comment"},
        {"empty", L"", L"empty"},
        {"number with a remark", L"BGM_UPDATE = 1 remark",
         L"sets BGM_UPDATE = 1\n        -> the rest of the line is ignored: remark"},
        {"Japanese text value", L"BGM_FOLDER = \"音楽\\表示\"", L"sets BGM_FOLDER = \"音楽\\表示\""},
        {"two numbered entries on a line", L"COPY_FILE_00 = \"a\"COPY_FILE_01 = \"b\"",
         L"sets COPY_FILE_00 = \"a\"\n        -> sets COPY_FILE_01 = \"b\""},
        {"given twice", REG, L"sets REG_NAME = \"LumivaneStory\" (replaces line 2)"},
    };
    for (const Cline_case& row : cases) {
        SCOPED_TRACE(row.name);
        Cpackage_folder package;
        package.lay_out({L"GAMEDATA\\"});
        if (row.with_bom)
            package.write_update_ini({row.line, REG}, "\xEF\xBB\xBF");
        else
            package.write_update_ini({GAME, REG, row.line});
        const Cchecked checked = check(package);
        const std::wstring line_number = row.with_bom ? L"   1  " : L"   3  ";
        const std::wstring printed_line = row.with_bom ? to_wide("\xEF\xBB\xBF") + row.line : row.line;
        const std::wstring expected = line_number + printed_line + L"\n        -> " + row.expected;
        EXPECT_NE(checked.report.find(expected), std::wstring::npos)
            << "expected:\n" << narrow(expected) << "\nin:\n" << narrow(checked.report);
    }
}

TEST(UpdateCheckLines, EncodingTrapsAreWarnedAbout)
{
    struct Cencoding_case {
        const char* name;
        std::string bytes;
        std::wstring warning;
    };
    const std::vector<Cencoding_case> cases = {
        {"UTF-8 Japanese", "GAME_NAME = \"\xE3\x83\xAB\xE3\x83\x9F\"\r\nREG_NAME = \"L\"\r\n", L"looks like UTF-8"},
        {"UTF-8 with its mark", "\xEF\xBB\xBFGAME_NAME = \"a\"\r\n", L"UTF-8 byte-order mark"},
        {"CR alone", "GAME_NAME = \"a\"\rREG_NAME = \"L\"\r", L"end in CR alone"},
        {"UTF-16", std::string("\xFF\xFEG\0A\0", 6), L"saved as UTF-16"},
    };
    for (const Cencoding_case& row : cases) {
        SCOPED_TRACE(row.name);
        Cpackage_folder package;
        package.lay_out({L"GAMEDATA\\"});
        package.make_file(L"update.ini", row.bytes);
        const Cchecked checked = check(package);
        EXPECT_NE(checked.report.find(row.warning), std::wstring::npos) << narrow(checked.report);
    }
}

// ---- The same boxes as update.exe -------------------------------------------------------------

struct Cpackage_case {
    const char* name;
    std::vector<std::wstring> update_ini;
    std::vector<std::wstring> tree;
    int exit_code;
    std::vector<std::wstring> boxes;  // as the player sees them, first to last
};

const std::wstring FAILED = L"アップデートに失敗しました。";

TEST(UpdateCheckPackages, ShowsTheBoxesOfUpdateExeAndItsExitCode)
{
    const std::vector<Cpackage_case> cases = {
        {"a complete package", {GAME, REG, L"BGM_UPDATE = 1", L"BGM_FOLDER = \"音楽\""},
         {L"GAMEDATA\\", L"GAMEDATA\\音楽\\", L"GAMEDATA\\音楽\\01.ogg"}, CHECK_PASSED, {}},
        {"no game name", {REG}, {L"GAMEDATA\\"}, CHECK_FAILED,
         {L"update.ini にゲーム名が指定されていません。", FAILED}},
        {"no registry name", {GAME}, {L"GAMEDATA\\"}, CHECK_FAILED,
         {L"update.ini にレジストリ名が指定されていません。", FAILED}},
        {"no GAMEDATA", {GAME, REG}, {}, CHECK_FAILED, {L"コピー元の GAMEDATA フォルダが見つかりません。", FAILED}},
        {"GAMEDATA is a file", {GAME, REG}, {L"GAMEDATA"}, CHECK_FAILED,
         {L"コピー元の GAMEDATA フォルダが見つかりません。", FAILED}},
        {"BGM without its folder key", {GAME, REG, L"BGM_UPDATE = -1"}, {L"GAMEDATA\\"}, CHECK_FAILED,
         {L"update.ini に BGM フォルダが指定されていません。", FAILED}},
        {"voice folder missing", {GAME, REG, L"KOE_UPDATE = 1", L"KOE_FOLDER = \"音声\""}, {L"GAMEDATA\\"},
         CHECK_FAILED, {L"コピー元の KOE フォルダ GAMEDATA\\音声 が見つかりません。", FAILED}},
        {"movie folder key indented",
         {GAME, REG, L"MOV_UPDATE = 1", L" MOV_FOLDER = \"movie\""}, {L"GAMEDATA\\", L"GAMEDATA\\movie\\"},
         CHECK_FAILED, {L"update.ini に MOV フォルダが指定されていません。", FAILED}},
        {"folder entry 01 left out",
         {GAME, REG, L"COPY_FOLDER_COUNT = 2", L"COPY_FOLDER_00 = \"data\"", L"COPY_FOLDER_02 = \"save\""},
         {L"GAMEDATA\\", L"GAMEDATA\\data\\", L"GAMEDATA\\save\\"}, CHECK_FAILED,
         {L"update.ini に COPY_FOLDER_01 フォルダが指定されていません。\nCOPY_FOLDER_CNT の設定は正しいですか？",
          FAILED}},
        {"folder entry naming a file", {GAME, REG, L"COPY_FOLDER_COUNT = 1", L"COPY_FOLDER_00 = \"data\""},
         {L"GAMEDATA\\", L"GAMEDATA\\data"}, CHECK_FAILED,
         {L"コピー元のフォルダ GAMEDATA\\data が見つかりません。", FAILED}},
        {"file entry naming a folder", {GAME, REG, L"COPY_FILE_COUNT = 1", L"COPY_FILE_00 = \"シナリオ\""},
         {L"GAMEDATA\\", L"GAMEDATA\\シナリオ\\"}, CHECK_FAILED,
         {L"コピー元のファイル GAMEDATA\\シナリオ が見つかりません。", FAILED}},
        {"file count beyond ten",
         {GAME, REG, L"COPY_FILE_COUNT = 11", L"COPY_FILE_00 = \"a\"", L"COPY_FILE_01 = \"a\"", L"COPY_FILE_02 = \"a\"",
          L"COPY_FILE_03 = \"a\"", L"COPY_FILE_04 = \"a\"", L"COPY_FILE_05 = \"a\"", L"COPY_FILE_06 = \"a\"",
          L"COPY_FILE_07 = \"a\"", L"COPY_FILE_08 = \"a\"", L"COPY_FILE_09 = \"a\""},
         {L"GAMEDATA\\", L"GAMEDATA\\a"}, CHECK_FAILED,
         {L"update.ini に COPY_FILE_10 フォルダが指定されていません。\nCOPY_FILE_CNT の設定は正しいですか？", FAILED}},
        {"the first failing check only", {GAME, REG, L"BGM_UPDATE = 1", L"BGM_FOLDER = \"bgm\"",
          L"COPY_FILE_COUNT = 1", L"COPY_FILE_00 = \"gone.txt\""},
         {L"GAMEDATA\\"}, CHECK_FAILED, {L"コピー元の BGM フォルダ GAMEDATA\\bgm が見つかりません。", FAILED}},
    };
    for (const Cpackage_case& row : cases) {
        SCOPED_TRACE(row.name);
        Cpackage_folder package;
        package.write_update_ini(row.update_ini);
        package.lay_out(row.tree);

        const std::vector<std::wstring> update_exe_boxes = boxes_of_update_exe(package);
        EXPECT_EQ(update_exe_boxes, row.boxes);
        const Cchecked checked = check(package);
        EXPECT_EQ(checked.exit_code, row.exit_code) << narrow(checked.report);
        size_t after = 0;
        for (const std::wstring& box : update_exe_boxes) {
            after = checked.report.find(printed_box(box), after);
            EXPECT_NE(after, std::wstring::npos) << "box " << narrow(box) << " in order in:\n" << narrow(checked.report);
        }
    }
}

TEST(UpdateCheckPackages, UnreadableUpdateIniGivesExitCodeTwoAndTheBoxesOfUpdateExe)
{
    Cpackage_folder package;
    package.lay_out({L"GAMEDATA\\"});
    const Cchecked checked = check(package);
    EXPECT_EQ(checked.exit_code, CHECK_UNREADABLE);
    EXPECT_EQ(boxes_of_update_exe(package), (std::vector<std::wstring>{L"update.ini が見つかりませんでした。", FAILED}));
    EXPECT_NE(checked.report.find(printed_box(L"update.ini が見つかりませんでした。") + L"    [warning box, OK, caption \"\"]" +
                                  printed_box(FAILED)),
              std::wstring::npos)
        << narrow(checked.report);
}

// ---- The copy plan ----------------------------------------------------------------------------

TEST(UpdateCheckPlan, ListsEveryFileWithItsDestinationAndTheTotal)
{
    Cpackage_folder package;
    package.write_update_ini({GAME, REG, L"BGM_UPDATE = 1", L"BGM_FOLDER = \"音楽\"", L"COPY_FOLDER_COUNT = 2",
                              L"COPY_FOLDER_00 = \"data\\scn\"", L"COPY_FOLDER_01 = \"data\"", L"COPY_FILE_COUNT = 1", L"COPY_FILE_00 = \"README.TXT\""});
    package.lay_out({L"GAMEDATA\\", L"GAMEDATA\\音楽\\", L"GAMEDATA\\data\\", L"GAMEDATA\\data\\scn\\",
                     L"GAMEDATA\\data\\scn\\sub\\"});
    package.make_file(L"GAMEDATA\\音楽\\01.ogg", std::string(1234567, 'm'));
    package.make_file(L"GAMEDATA\\data\\scn\\a.scn", "12345");
    package.make_file(L"GAMEDATA\\readme.txt", "123");
    package.make_file(L"GAMEDATA\\notes.doc", "1");
    const Cchecked checked = check(package);
    EXPECT_EQ(checked.exit_code, CHECK_PASSED);
    for (const std::wstring& expected : {
             L"  BGM_FOLDER \"音楽\": 1 file, 1,234,567 bytes" + plan_line(L"1,234,567", L"音楽\\01.ogg"),
             L"  COPY_FOLDER_00 \"data\\scn\": 1 file, 5 bytes" + plan_line(L"5", L"data\\scn\\a.scn"),
             std::wstring(L"warning: COPY_FOLDER_00: the subfolder \"sub\" is not copied"),
             L"  COPY_FILE_00 \"README.TXT\": 1 file, 3 bytes" + plan_line(L"3", L"readme.txt"),
             std::wstring(L"  Total: 3 files, 1,234,575 bytes\n"),
         })
        EXPECT_NE(checked.report.find(expected), std::wstring::npos) << narrow(expected) << "\nin:\n" << narrow(checked.report);
    // data\scn is copied by its own entry, so data's subfolder is not left behind.
    EXPECT_EQ(checked.report.find(L"the subfolder \"scn\""), std::wstring::npos) << narrow(checked.report);
}

TEST(UpdateCheckPlan, EntriesThatLeaveGamedataAreWarnedAbout)
{
    struct Cescape_case {
        const wchar_t* path;
        bool escapes;
    };
    const std::vector<Cescape_case> cases = {
        {L"bgm", false},          {L"data\\scn", false},     {L"a\\..\\b", false},       {L".\\bgm", false},
        {L"..\\save", true},      {L"a\\..\\..\\b", true},   {L"a/../../b", true},       {L"...\\x", true},
        {L"\\Windows", true},     {L"C:\\Windows", true},    {L"C:save", true},          {L"..", true},
    };
    for (const Cescape_case& row : cases)
        EXPECT_EQ(!path_escape_problem(row.path).empty(), row.escapes) << narrow(row.path);

    Cpackage_folder package;
    package.write_update_ini({GAME, REG, L"COPY_FOLDER_COUNT = 1", L"COPY_FOLDER_00 = \"..\\outside\"",
                              L"COPY_FILE_COUNT = 1", L"COPY_FILE_00 = \"sub\\a.txt\""});
    package.lay_out({L"GAMEDATA\\", L"GAMEDATA\\sub\\", L"GAMEDATA\\sub\\a.txt", L"outside\\", L"outside\\x.dat"});
    const Cchecked checked = check(package);
    // update.exe accepts both entries; the checker passes them too, with a warning each.
    EXPECT_EQ(checked.exit_code, CHECK_PASSED);
    EXPECT_NE(checked.report.find(L"warning: COPY_FOLDER_00: \"..\\outside\" climbs out of GAMEDATA"), std::wstring::npos)
        << narrow(checked.report);
    EXPECT_NE(checked.report.find(plan_line(L"4", L"..\\outside\\x.dat")), std::wstring::npos) << narrow(checked.report);
    EXPECT_NE(checked.report.find(L"warning: COPY_FILE_00: \"sub\\a.txt\" names a file inside a subfolder"),
              std::wstring::npos)
        << narrow(checked.report);
}

// ---- The installation -------------------------------------------------------------------------

TEST(UpdateCheckInstallation, RunsTheDestinationChecksAgainstAnInstalledGame)
{
    struct Cinstall_case {
        const char* name;
        std::vector<std::wstring> game;
        std::vector<std::pair<std::wstring, std::wstring>> values;
        int exit_code;
        std::wstring box;
    };
    const std::vector<Cinstall_case> cases = {
        {"complete", {L"Lumivane.exe", L"BGM\\"}, {}, CHECK_PASSED,
         L"セットアップ先 = GAME\n\nこの場所にアップデートデータを上書きします。よろしいですか？"},
        {"no engine", {L"BGM\\"}, {}, CHECK_FAILED,
         L"Lumivane.exe が見つかりませんでした。\nゲームが正しくセットアップされていることを確認してください。"},
        {"BGM not set up", {L"Lumivane.exe", L"BGM\\"}, {{L"BGM_EXIST", L"0"}}, CHECK_FAILED,
         L"BGM がセットアップされていません。\nアップデートを行うには、BGM がセットアップされていることが必要です。"},
        {"no data set up", {L"Lumivane.exe", L"BGM\\"}, {{L"DAT_EXIST", L""}}, CHECK_FAILED,
         L"データがセットアップされていません。\n\n最小セットアップになっていませんか？\n最小セットアップではアップデートを行うことはできません。"},
    };
    for (const Cinstall_case& row : cases) {
        SCOPED_TRACE(row.name);
        Cpackage_folder package;
        package.write_update_ini({GAME, REG, L"BGM_UPDATE = 1", L"BGM_FOLDER = \"BGM\"", L"COPY_FOLDER_COUNT = 1",
                                  L"COPY_FOLDER_00 = \"data\""});
        package.lay_out({L"GAMEDATA\\", L"GAMEDATA\\BGM\\", L"GAMEDATA\\data\\", L"GAME\\"});
        for (const std::wstring& entry : row.game)
            package.lay_out({L"GAME\\" + entry});
        Ccheck_options options;
        options.install_folder = package / L"GAME";
        options.values = row.values;
        const Cchecked checked = check(package, options);
        EXPECT_EQ(checked.exit_code, row.exit_code) << narrow(checked.report);
        std::wstring box = row.box;
        const size_t game = box.find(L"= GAME");
        if (game != std::wstring::npos)
            box.replace(game + 2, 4, package / L"GAME");
        EXPECT_NE(checked.report.find(printed_box(box)), std::wstring::npos) << narrow(checked.report);
    }
}

TEST(UpdateCheckInstallation, WritesNothing)
{
    Cpackage_folder package;
    package.write_update_ini({GAME, REG, L"COPY_FOLDER_COUNT = 1", L"COPY_FOLDER_00 = \"new\"", L"COPY_FILE_COUNT = 1",
                              L"COPY_FILE_00 = \"a.txt\""});
    package.lay_out({L"GAMEDATA\\", L"GAMEDATA\\new\\", L"GAMEDATA\\new\\b.txt", L"GAMEDATA\\a.txt", L"GAME\\",
                     L"GAME\\Lumivane.exe"});
    const Ctemp_folder::Cpicture before = package.picture();
    Ccheck_options options;
    options.install_folder = package / L"GAME";
    EXPECT_EQ(check(package, options).exit_code, CHECK_PASSED);
    EXPECT_TRUE(package.picture() == before);
}

TEST(UpdateCheckInstallation, ReadsTheInstallationFromTheRegistryAsUpdateExeDoes)
{
    struct Cregistry_case {
        const char* name;
        const wchar_t* left_out;  // the one value the installer did not write, or null
        int exit_code;
        std::wstring shown;
    };
    const std::vector<Cregistry_case> cases = {
        {"all nine values", nullptr, CHECK_PASSED, L"    MOV_FOLDER = \"C:\\ルミベイン\\MOV\"\n"},
        {"a value missing", L"MOV_EXIST", CHECK_FAILED, printed_box(L"レジストリに [MOV_EXIST] が見つかりませんでした。")},
    };
    for (const Cregistry_case& row : cases) {
        SCOPED_TRACE(row.name);
        Cpackage_folder package;
        package.lay_out({L"GAMEDATA\\", L"GAME\\", L"GAME\\Lumivane.exe"});
        Ctest_registry_key key;
        package.write_update_ini({GAME, L"REG_NAME = \"" + key.name() + L"\""});
        const std::wstring game = package / L"GAME";
        const std::vector<std::pair<std::wstring, std::wstring>> values = {
            {L"SAV_FOLDER", game}, {L"DAT_EXIST", L"1"}, {L"DAT_FOLDER", game}, {L"BGM_EXIST", L"1"},
            {L"BGM_FOLDER", game}, {L"KOE_EXIST", L"1"}, {L"KOE_FOLDER", game}, {L"MOV_EXIST", L"1"},
            {L"MOV_FOLDER", L"C:\\ルミベイン\\MOV"},
        };
        for (const auto& value : values) {
            if (row.left_out == nullptr || value.first != row.left_out) {
                ASSERT_TRUE(key.set_text(value.first, value.second));
            }
        }
        Ccheck_options options;
        options.read_registry = true;
        const Cchecked checked = check(package, options);
        EXPECT_EQ(checked.exit_code, row.exit_code) << narrow(checked.report);
        EXPECT_NE(checked.report.find(row.shown), std::wstring::npos) << narrow(checked.report);
    }
}

}  // namespace
