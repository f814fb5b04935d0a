// update.ini and the source checks through the real update.exe: every message they can show, with
// its caption and the failure line that follows it, for an update laid out as each case needs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"
#include "scenario.h"
#include "update_check/package_check.h"

using namespace e2e;

namespace {

const char* const GAME = "星空のソナタ";
const char* const FAILED = "アップデートに失敗しました。";
// No installer ever wrote this key, so an update that passes the source checks stops at the
// registry, before anything could be confirmed or copied.
const wchar_t* const NAMED = L"GAME_NAME = \"星空のソナタ\"";
const wchar_t* const REGISTERED = L"REG_NAME = \"UpdateE2eSourceChecksNoSuchKey\"";

struct Cscenario {
    const wchar_t* name;
    bool has_update_ini;
    std::vector<std::wstring> update_ini;  // lines, saved in code page 932 with CR LF
    std::vector<std::wstring> layout;      // beside update.exe; folders end in a backslash
    std::string caption;                   // of both boxes
    std::string cause;                     // empty: the update passes these checks
};

// An update.ini that names the game and its key, followed by the given lines.
std::vector<std::wstring> named(std::vector<std::wstring> lines)
{
    lines.insert(lines.begin(), {L"// " + std::wstring(L"星空のソナタ") + L" 1.01", NAMED, REGISTERED});
    return lines;
}

std::string folder_entry_missing(const std::string& number)
{
    return "update.ini に COPY_FOLDER_" + number + " フォルダが指定されていません。\nCOPY_FOLDER_CNT の設定は正しいですか？";
}

std::string file_entry_missing(const std::string& number)
{
    return "update.ini に COPY_FILE_" + number + " フォルダが指定されていません。\nCOPY_FILE_CNT の設定は正しいですか？";
}

void lay_out(const Cscenario_folder& folder, const std::vector<std::wstring>& entries)
{
    for (const std::wstring& entry : entries) {
        if (!entry.empty() && entry.back() == L'\\')
            make_folders(folder.path(entry.substr(0, entry.size() - 1)));
        else
            write_file(folder.path(entry), "data\r\n");
    }
}

// Whether the transcript holds a message of the reader or of the source checks.
bool shows_a_source_check_message(const Ctranscript& transcript)
{
    for (const std::string& line : transcript)
        if (line.find("text=\"update.ini ") != std::string::npos || line.find("text=\"コピー元の") != std::string::npos)
            return true;
    return false;
}

// A box as the package checker prints it: a heading, then each line of the text indented.
std::wstring printed_warning(const std::string& caption, const std::string& text)
{
    std::wstring printed = L"    [warning box, OK, caption \"" + from_utf8(caption) + L"\"]\n      ";
    for (wchar_t c : from_utf8(text))
        printed += c == L'\n' ? std::wstring(L"\n      ") : std::wstring(1, c);
    return printed + L"\n";
}

// update-check on the same folder shows the player's boxes that update.exe showed, in order,
// and its exit code says whether these checks passed.
void expect_checker_agrees(const Cscenario_folder& folder, const Cscenario& scenario)
{
    Ccheck_options options;
    options.package_folder = folder.folder();
    Creport report;
    const int exit_code = check_package(options, report);
    const std::wstring& text = report.text();
    if (scenario.cause.empty()) {
        EXPECT_EQ(exit_code, CHECK_PASSED) << to_utf8(text);
        return;
    }
    EXPECT_EQ(exit_code, scenario.has_update_ini ? CHECK_FAILED : CHECK_UNREADABLE) << to_utf8(text);
    const std::wstring boxes = printed_warning(scenario.caption, scenario.cause) + printed_warning(scenario.caption, FAILED);
    EXPECT_NE(text.find(boxes), std::wstring::npos) << to_utf8(boxes) << "in:\n" << to_utf8(text);
}

void run_scenarios(const std::vector<Cscenario>& scenarios)
{
    for (const Cscenario& scenario : scenarios) {
        SCOPED_TRACE(to_utf8(scenario.name));
        const Cscenario_folder folder(scenario.name);
        if (scenario.has_update_ini)
            folder.write_update_ini(scenario.update_ini);
        lay_out(folder, scenario.layout);

        Crun_options options;
        options.program = folder.exe_path();
        options.answers = {Cbutton::no};  // should a later phase ever ask, the update is not applied
        const Crun_result run = run_program(options);

        ASSERT_TRUE(run.ok()) << run.failure;
        EXPECT_EQ(run.exit_code, 0u);
        if (scenario.cause.empty()) {
            // The later phases take over; whatever they end with, it is a box.
            EXPECT_FALSE(run.transcript.empty());
            EXPECT_FALSE(shows_a_source_check_message(run.transcript)) << to_text(run.transcript);
            expect_checker_agrees(folder, scenario);
            continue;
        }
        EXPECT_EQ(run.transcript, (Ctranscript{warning_box(scenario.caption, scenario.cause),
                                               warning_box(scenario.caption, FAILED)}))
            << to_text(run.transcript);
        expect_checker_agrees(folder, scenario);
    }
}

}  // namespace

TEST(SourceChecksEndToEnd, UpdateIniAndTheNames)
{
    run_scenarios({
        {L"no_update_ini", false, {}, {L"GAMEDATA\\"}, "", "update.ini が見つかりませんでした。"},
        {L"update_ini_is_a_folder", false, {}, {L"update.ini\\x\\", L"GAMEDATA\\"}, "",
         "update.ini が見つかりませんでした。"},
        {L"empty_update_ini", true, {}, {L"GAMEDATA\\"}, "", "update.ini にゲーム名が指定されていません。"},
        {L"no_game_name", true, {REGISTERED}, {L"GAMEDATA\\"}, "", "update.ini にゲーム名が指定されていません。"},
        {L"game_name_indented", true, {L" " + std::wstring(NAMED), REGISTERED}, {L"GAMEDATA\\"}, "",
         "update.ini にゲーム名が指定されていません。"},
        {L"no_registry_name", true, {NAMED}, {L"GAMEDATA\\"}, GAME, "update.ini にレジストリ名が指定されていません。"},
        {L"empty_registry_name", true, {NAMED, L"REG_NAME = \"\""}, {L"GAMEDATA\\"}, GAME,
         "update.ini にレジストリ名が指定されていません。"},
    });
}

TEST(SourceChecksEndToEnd, SourceRootAndMediaFolders)
{
    const std::vector<std::wstring> media_folders = {L"GAMEDATA\\", L"GAMEDATA\\bgm\\", L"GAMEDATA\\voice\\",
                                                     L"GAMEDATA\\movie\\"};
    auto all_media = [](std::vector<std::wstring> changes) {
        std::vector<std::wstring> lines = {L"BGM_UPDATE = 1", L"KOE_UPDATE = 1", L"MOV_UPDATE = 1",
                                           L"BGM_FOLDER = \"bgm\"", L"KOE_FOLDER = \"voice\"", L"MOV_FOLDER = \"movie\""};
        lines.insert(lines.end(), changes.begin(), changes.end());  // later lines win
        return named(lines);
    };
    run_scenarios({
        {L"no_gamedata", true, named({}), {}, GAME, "コピー元の GAMEDATA フォルダが見つかりません。"},
        {L"gamedata_is_a_file", true, named({}), {L"GAMEDATA"}, GAME, "コピー元の GAMEDATA フォルダが見つかりません。"},
        {L"every_media_folder", true, all_media({}), media_folders, GAME, ""},
        {L"bgm_not_named", true, all_media({L"BGM_FOLDER = \"\""}), media_folders, GAME,
         "update.ini に BGM フォルダが指定されていません。"},
        {L"koe_not_named", true, all_media({L"KOE_FOLDER = \"\""}), media_folders, GAME,
         "update.ini に KOE フォルダが指定されていません。"},
        {L"mov_not_named", true, all_media({L"MOV_FOLDER = \"\""}), media_folders, GAME,
         "update.ini に MOV フォルダが指定されていません。"},
        {L"bgm_missing", true, all_media({L"BGM_FOLDER = \"music\""}), media_folders, GAME,
         "コピー元の BGM フォルダ GAMEDATA\\music が見つかりません。"},
        {L"koe_missing", true, all_media({L"KOE_FOLDER = \"koe\""}), media_folders, GAME,
         "コピー元の KOE フォルダ GAMEDATA\\koe が見つかりません。"},
        {L"mov_is_a_file", true, all_media({}), {L"GAMEDATA\\", L"GAMEDATA\\bgm\\", L"GAMEDATA\\voice\\", L"GAMEDATA\\movie"},
         GAME, "コピー元の MOV フォルダ GAMEDATA\\movie が見つかりません。"},
        {L"bgm_switch_negative", true, named({L"BGM_UPDATE = -1", L"BGM_FOLDER = \"bgm\""}), {L"GAMEDATA\\"}, GAME,
         "コピー元の BGM フォルダ GAMEDATA\\bgm が見つかりません。"},
        {L"switches_off", true, named({L"BGM_FOLDER = \"bgm\"", L"KOE_UPDATE = 0", L"MOV_FOLDER = \"mov\""}),
         {L"GAMEDATA\\"}, GAME, ""},
        {L"japanese_bgm_folder", true, named({L"BGM_UPDATE = 1", L"BGM_FOLDER = \"音楽\\表示\""}),
         {L"GAMEDATA\\", L"GAMEDATA\\音楽\\", L"GAMEDATA\\音楽\\表示\\"}, GAME, ""},
        {L"japanese_bgm_folder_missing", true, named({L"BGM_UPDATE = 1", L"BGM_FOLDER = \"音楽\\表示\""}),
         {L"GAMEDATA\\", L"GAMEDATA\\音楽\\"}, GAME, "コピー元の BGM フォルダ GAMEDATA\\音楽\\表示 が見つかりません。"},
    });
}

TEST(SourceChecksEndToEnd, FolderAndFileEntries)
{
    run_scenarios({
        {L"entries_present", true,
         named({L"COPY_FOLDER_COUNT = 2", L"COPY_FOLDER_00 = \"ソース\"", L"COPY_FOLDER_01 = \"save\"",
                L"COPY_FILE_COUNT = 1", L"COPY_FILE_00 = \"データ\\能力表.dat\""}),
         {L"GAMEDATA\\", L"GAMEDATA\\ソース\\", L"GAMEDATA\\save\\", L"GAMEDATA\\データ\\", L"GAMEDATA\\データ\\能力表.dat"},
         GAME, ""},
        {L"folder_entry_names_a_file", true, named({L"COPY_FOLDER_COUNT = 1", L"COPY_FOLDER_00 = \"readme.txt\""}),
         {L"GAMEDATA\\", L"GAMEDATA\\readme.txt"}, GAME, "コピー元のフォルダ GAMEDATA\\readme.txt が見つかりません。"},
        {L"file_entry_names_a_folder", true, named({L"COPY_FILE_COUNT = 1", L"COPY_FILE_00 = \"save\""}),
         {L"GAMEDATA\\", L"GAMEDATA\\save\\"}, GAME, "コピー元のファイル GAMEDATA\\save が見つかりません。"},
        {L"japanese_file_missing", true, named({L"COPY_FILE_COUNT = 1", L"COPY_FILE_00 = \"データ\\能力表.dat\""}),
         {L"GAMEDATA\\", L"GAMEDATA\\データ\\"}, GAME, "コピー元のファイル GAMEDATA\\データ\\能力表.dat が見つかりません。"},
        {L"folder_count_2_with_00_and_02", true,
         named({L"COPY_FOLDER_COUNT = 2", L"COPY_FOLDER_00 = \"a\"", L"COPY_FOLDER_02 = \"missing\""}),
         {L"GAMEDATA\\", L"GAMEDATA\\a\\"}, GAME, folder_entry_missing("01")},
        {L"file_count_2_with_00_and_02", true,
         named({L"COPY_FILE_COUNT = 2", L"COPY_FILE_00 = \"a.dat\"", L"COPY_FILE_02 = \"missing\""}),
         {L"GAMEDATA\\", L"GAMEDATA\\a.dat"}, GAME, file_entry_missing("01")},
        {L"negative_counts", true,
         named({L"COPY_FOLDER_COUNT = -1", L"COPY_FOLDER_00 = \"missing\"", L"COPY_FILE_COUNT = -2147483648",
                L"COPY_FILE_00 = \"missing\""}),
         {L"GAMEDATA\\"}, GAME, ""},
        {L"folder_count_11", true,
         named({L"COPY_FOLDER_COUNT = 11", L"COPY_FOLDER_00 = \"d\"", L"COPY_FOLDER_01 = \"d\"", L"COPY_FOLDER_02 = \"d\"",
                L"COPY_FOLDER_03 = \"d\"", L"COPY_FOLDER_04 = \"d\"", L"COPY_FOLDER_05 = \"d\"", L"COPY_FOLDER_06 = \"d\"",
                L"COPY_FOLDER_07 = \"d\"", L"COPY_FOLDER_08 = \"d\"", L"COPY_FOLDER_09 = \"d\"", L"COPY_FOLDER_10 = \"d\""}),
         {L"GAMEDATA\\", L"GAMEDATA\\d\\"}, GAME, folder_entry_missing("10")},
        {L"file_count_11", true,
         named({L"COPY_FILE_COUNT = 11", L"COPY_FILE_00 = \"f\"", L"COPY_FILE_01 = \"f\"", L"COPY_FILE_02 = \"f\"",
                L"COPY_FILE_03 = \"f\"", L"COPY_FILE_04 = \"f\"", L"COPY_FILE_05 = \"f\"", L"COPY_FILE_06 = \"f\"",
                L"COPY_FILE_07 = \"f\"", L"COPY_FILE_08 = \"f\"", L"COPY_FILE_09 = \"f\""}),
         {L"GAMEDATA\\", L"GAMEDATA\\f"}, GAME, file_entry_missing("10")},
        {L"bgm_before_file_entries", true,
         named({L"COPY_FILE_COUNT = 1", L"BGM_UPDATE = 1", L"BGM_FOLDER = \"bgm\""}), {L"GAMEDATA\\"}, GAME,
         "コピー元の BGM フォルダ GAMEDATA\\bgm が見つかりません。"},
    });
}
