// The name and source checks against a GAMEDATA folder laid out for each case.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "app/update_data.h"
#include "support/recorded_boxes.h"
#include "test_folder.h"
#include "update_ini/source_checks.h"
#include "update_ini/update_settings.h"

namespace {

const std::wstring FAILED = L"アップデートに失敗しました。";

std::wstring folder_entry_missing(const wchar_t* number)
{
    return std::wstring(L"update.ini に COPY_FOLDER_") + number
           + L" フォルダが指定されていません。\nCOPY_FOLDER_CNT の設定は正しいですか？";
}

std::wstring file_entry_missing(const wchar_t* number)
{
    return std::wstring(L"update.ini に COPY_FILE_") + number
           + L" フォルダが指定されていません。\nCOPY_FILE_CNT の設定は正しいですか？";
}

// A name and a registry key, as every package that gets as far as the source check has.
Cupdate_settings named_settings()
{
    Cupdate_settings settings;
    settings.GAME_NAME = L"星空のソナタ";
    settings.REG_NAME = L"HoshizoraSonata";
    return settings;
}

void ten_folders(Cupdate_settings& s)
{
    for (int i = 0; i < COPY_ENTRY_LIMIT; ++i)
        s.COPY_FOLDER[i] = L"d" + std::to_wstring(i);
}

void ten_files(Cupdate_settings& s)
{
    for (int i = 0; i < COPY_ENTRY_LIMIT; ++i)
        s.COPY_FILE[i] = L"f" + std::to_wstring(i) + L".dat";
}

const std::vector<std::wstring> TEN_FOLDERS_AND_FILES = {
    L"GAMEDATA\\",          L"GAMEDATA\\d0\\",      L"GAMEDATA\\d1\\",      L"GAMEDATA\\d2\\",
    L"GAMEDATA\\d3\\",      L"GAMEDATA\\d4\\",      L"GAMEDATA\\d5\\",      L"GAMEDATA\\d6\\",
    L"GAMEDATA\\d7\\",      L"GAMEDATA\\d8\\",      L"GAMEDATA\\d9\\",      L"GAMEDATA\\f0.dat",
    L"GAMEDATA\\f1.dat",    L"GAMEDATA\\f2.dat",    L"GAMEDATA\\f3.dat",    L"GAMEDATA\\f4.dat",
    L"GAMEDATA\\f5.dat",    L"GAMEDATA\\f6.dat",    L"GAMEDATA\\f7.dat",    L"GAMEDATA\\f8.dat",
    L"GAMEDATA\\f9.dat",
};

struct Csource_case {
    const char* name;
    std::vector<std::wstring> layout;  // folders end in a backslash
    std::function<void(Cupdate_settings&)> settings;  // applied to named_settings()
    std::wstring cause;                // empty: the check passes and shows nothing
};

void run_source_cases(const std::vector<Csource_case>& cases)
{
    for (const Csource_case& row : cases) {
        SCOPED_TRACE(row.name);
        Ctest_folder folder;
        folder.lay_out(row.layout);
        g_update.settings = named_settings();
        row.settings(g_update.settings);
        g_update.source_root = L"GAMEDATA";
        Crecorded_boxes boxes;

        EXPECT_EQ(check_sources(), row.cause.empty());

        if (row.cause.empty()) {
            EXPECT_TRUE(boxes.boxes.empty());
            continue;
        }
        EXPECT_EQ(boxes.texts(), (std::vector<std::wstring>{row.cause, FAILED}));
        for (const Crecorded_box& box : boxes.boxes) {
            EXPECT_EQ(box.caption, L"星空のソナタ");
            EXPECT_EQ(box.flags, static_cast<UINT>(MB_ICONWARNING));
        }
    }
}

void nothing_asked(Cupdate_settings&) {}

}  // namespace

TEST(CheckNames, GameNameFirstThenRegistryName)
{
    struct Crow {
        const wchar_t* game_name;
        const wchar_t* reg_name;
        std::vector<std::wstring> texts;
    };
    const Crow rows[] = {
        {L"", L"", {L"update.ini にゲーム名が指定されていません。", FAILED}},
        {L"", L"HoshizoraSonata", {L"update.ini にゲーム名が指定されていません。", FAILED}},
        {L"星空のソナタ", L"", {L"update.ini にレジストリ名が指定されていません。", FAILED}},
        {L"星空のソナタ", L"HoshizoraSonata", {}},
    };
    for (const Crow& row : rows) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(row.game_name) + L"/" + row.reg_name));
        g_update.settings = Cupdate_settings();
        g_update.settings.GAME_NAME = row.game_name;
        g_update.settings.REG_NAME = row.reg_name;
        Crecorded_boxes boxes;

        EXPECT_EQ(check_names(), row.texts.empty());

        EXPECT_EQ(boxes.texts(), row.texts);
        for (const Crecorded_box& box : boxes.boxes) {
            EXPECT_EQ(box.caption, row.game_name);  // empty while the game has no name
            EXPECT_EQ(box.flags, static_cast<UINT>(MB_ICONWARNING));
        }
    }
}

TEST(CheckSources, SourceRootAndMediaFolders)
{
    const std::vector<std::wstring> media = {L"GAMEDATA\\", L"GAMEDATA\\bgm\\", L"GAMEDATA\\voice\\",
                                             L"GAMEDATA\\movie\\"};
    auto all_media = [](Cupdate_settings& s) {
        s.BGM_UPDATE = 1;
        s.KOE_UPDATE = 1;
        s.MOV_UPDATE = 1;
        s.BGM_FOLDER = L"bgm";
        s.KOE_FOLDER = L"voice";
        s.MOV_FOLDER = L"movie";
    };
    run_source_cases({
        {"no GAMEDATA, even when nothing is copied", {}, nothing_asked, L"コピー元の GAMEDATA フォルダが見つかりません。"},
        {"a file named GAMEDATA", {L"GAMEDATA"}, nothing_asked, L"コピー元の GAMEDATA フォルダが見つかりません。"},
        {"an empty GAMEDATA and nothing asked", {L"GAMEDATA\\"}, nothing_asked, L""},
        {"every media folder there", media, all_media, L""},
        {"BGM asked without a folder", media,
         [&](Cupdate_settings& s) { all_media(s), s.BGM_FOLDER.clear(); },
         L"update.ini に BGM フォルダが指定されていません。"},
        {"KOE asked without a folder", media,
         [&](Cupdate_settings& s) { all_media(s), s.KOE_FOLDER.clear(); },
         L"update.ini に KOE フォルダが指定されていません。"},
        {"MOV asked without a folder", media,
         [&](Cupdate_settings& s) { all_media(s), s.MOV_FOLDER.clear(); },
         L"update.ini に MOV フォルダが指定されていません。"},
        {"BGM folder missing", {L"GAMEDATA\\"},
         [](Cupdate_settings& s) { s.BGM_UPDATE = 1, s.BGM_FOLDER = L"bgm"; },
         L"コピー元の BGM フォルダ GAMEDATA\\bgm が見つかりません。"},
        {"KOE folder missing", {L"GAMEDATA\\", L"GAMEDATA\\bgm\\"},
         [&](Cupdate_settings& s) { all_media(s), s.KOE_FOLDER = L"koe"; },
         L"コピー元の KOE フォルダ GAMEDATA\\koe が見つかりません。"},
        {"MOV folder is a file", {L"GAMEDATA\\", L"GAMEDATA\\bgm\\", L"GAMEDATA\\voice\\", L"GAMEDATA\\movie"},
         all_media, L"コピー元の MOV フォルダ GAMEDATA\\movie が見つかりません。"},
        {"BGM switch negative", {L"GAMEDATA\\"},
         [](Cupdate_settings& s) { s.BGM_UPDATE = -1, s.BGM_FOLDER = L"bgm"; },
         L"コピー元の BGM フォルダ GAMEDATA\\bgm が見つかりません。"},
        {"BGM switch INT_MIN", {L"GAMEDATA\\"}, [](Cupdate_settings& s) { s.BGM_UPDATE = INT32_MIN; },
         L"update.ini に BGM フォルダが指定されていません。"},
        {"switches off: the folders are not looked at", {L"GAMEDATA\\"},
         [](Cupdate_settings& s) { s.BGM_FOLDER = L"bgm", s.KOE_FOLDER = L"koe", s.MOV_FOLDER = L"mov"; }, L""},
        {"the folder is joined as written", {L"GAMEDATA\\", L"GAMEDATA\\bgm\\"},
         [](Cupdate_settings& s) { s.BGM_UPDATE = 1, s.BGM_FOLDER = L"\\bgm"; }, L""},
        {"a Japanese folder with 0x5C trail bytes", {L"GAMEDATA\\", L"GAMEDATA\\音楽\\", L"GAMEDATA\\音楽\\表示\\"},
         [](Cupdate_settings& s) { s.BGM_UPDATE = 1, s.BGM_FOLDER = L"音楽\\表示"; }, L""},
    });
}

TEST(CheckSources, FolderAndFileEntries)
{
    run_source_cases({
        {"all ten of each", TEN_FOLDERS_AND_FILES,
         [](Cupdate_settings& s) { ten_folders(s), ten_files(s), s.COPY_FOLDER_COUNT = 10, s.COPY_FILE_COUNT = 10; },
         L""},
        {"count 2 with entries 00 and 02 only", {L"GAMEDATA\\", L"GAMEDATA\\a\\"},
         [](Cupdate_settings& s) { s.COPY_FOLDER_COUNT = 2, s.COPY_FOLDER[0] = L"a", s.COPY_FOLDER[2] = L"missing"; },
         folder_entry_missing(L"01")},
        {"file count 2 with entries 00 and 02 only", {L"GAMEDATA\\", L"GAMEDATA\\a.dat"},
         [](Cupdate_settings& s) { s.COPY_FILE_COUNT = 2, s.COPY_FILE[0] = L"a.dat", s.COPY_FILE[2] = L"missing"; },
         file_entry_missing(L"01")},
        {"a folder entry that names a file", {L"GAMEDATA\\", L"GAMEDATA\\readme.txt"},
         [](Cupdate_settings& s) { s.COPY_FOLDER_COUNT = 1, s.COPY_FOLDER[0] = L"readme.txt"; },
         L"コピー元のフォルダ GAMEDATA\\readme.txt が見つかりません。"},
        {"a file entry that names a folder", {L"GAMEDATA\\", L"GAMEDATA\\save\\"},
         [](Cupdate_settings& s) { s.COPY_FILE_COUNT = 1, s.COPY_FILE[0] = L"save"; },
         L"コピー元のファイル GAMEDATA\\save が見つかりません。"},
        {"negative counts look at nothing", {L"GAMEDATA\\"},
         [](Cupdate_settings& s) {
             s.COPY_FOLDER_COUNT = -1, s.COPY_FOLDER[0] = L"missing";
             s.COPY_FILE_COUNT = INT32_MIN, s.COPY_FILE[0] = L"missing";
         },
         L""},
        {"count 0 looks at nothing", {L"GAMEDATA\\"},
         [](Cupdate_settings& s) { s.COPY_FOLDER[0] = L"missing", s.COPY_FILE[0] = L"missing"; }, L""},
        {"folder count 11 with ten good entries", TEN_FOLDERS_AND_FILES,
         [](Cupdate_settings& s) { ten_folders(s), s.COPY_FOLDER_COUNT = 11; }, folder_entry_missing(L"10")},
        {"folder count INT_MAX with ten good entries", TEN_FOLDERS_AND_FILES,
         [](Cupdate_settings& s) { ten_folders(s), s.COPY_FOLDER_COUNT = INT32_MAX; }, folder_entry_missing(L"10")},
        {"file count 11 with ten good entries", TEN_FOLDERS_AND_FILES,
         [](Cupdate_settings& s) { ten_files(s), s.COPY_FILE_COUNT = 11; }, file_entry_missing(L"10")},
        {"entries within a count of 11 come first", TEN_FOLDERS_AND_FILES,
         [](Cupdate_settings& s) { ten_folders(s), s.COPY_FOLDER[3].clear(), s.COPY_FOLDER_COUNT = 11; },
         folder_entry_missing(L"03")},
        {"a missing folder within a count of 11 comes first", TEN_FOLDERS_AND_FILES,
         [](Cupdate_settings& s) { ten_folders(s), s.COPY_FOLDER[9] = L"gone", s.COPY_FOLDER_COUNT = 11; },
         L"コピー元のフォルダ GAMEDATA\\gone が見つかりません。"},
        {"Japanese entries", {L"GAMEDATA\\", L"GAMEDATA\\ソース\\", L"GAMEDATA\\データ\\", L"GAMEDATA\\データ\\能力表.dat"},
         [](Cupdate_settings& s) {
             s.COPY_FOLDER_COUNT = 1, s.COPY_FOLDER[0] = L"ソース";
             s.COPY_FILE_COUNT = 1, s.COPY_FILE[0] = L"データ\\能力表.dat";
         },
         L""},
        {"a missing Japanese file is named as written", {L"GAMEDATA\\"},
         [](Cupdate_settings& s) { s.COPY_FILE_COUNT = 1, s.COPY_FILE[0] = L"データ\\能力表.dat"; },
         L"コピー元のファイル GAMEDATA\\データ\\能力表.dat が見つかりません。"},
    });
}

TEST(CheckSources, StopsAtTheFirstProblemInTheFixedOrder)
{
    run_source_cases({
        {"BGM before a file entry", {L"GAMEDATA\\"},
         [](Cupdate_settings& s) { s.BGM_UPDATE = 1, s.BGM_FOLDER = L"bgm", s.COPY_FILE_COUNT = 1; },
         L"コピー元の BGM フォルダ GAMEDATA\\bgm が見つかりません。"},
        {"KOE before MOV", {L"GAMEDATA\\"},
         [](Cupdate_settings& s) { s.MOV_UPDATE = 1, s.KOE_UPDATE = 1; }, L"update.ini に KOE フォルダが指定されていません。"},
        {"MOV before folder entries", {L"GAMEDATA\\"},
         [](Cupdate_settings& s) { s.MOV_UPDATE = 1, s.COPY_FOLDER_COUNT = 1; },
         L"update.ini に MOV フォルダが指定されていません。"},
        {"folder entries before file entries", {L"GAMEDATA\\"},
         [](Cupdate_settings& s) { s.COPY_FILE_COUNT = 1, s.COPY_FOLDER_COUNT = 1; }, folder_entry_missing(L"00")},
        {"the source root before everything", {},
         [](Cupdate_settings& s) { s.BGM_UPDATE = 1, s.COPY_FOLDER_COUNT = 11; },
         L"コピー元の GAMEDATA フォルダが見つかりません。"},
    });
}
