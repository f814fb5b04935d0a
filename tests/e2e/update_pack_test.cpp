// update-pack on generated game folders, one row per case: the old folder is an installed game
// with its registry values, the new one that game with the row's changes. A package that can be
// made is then applied by the real update.exe, after which the old folder must hold exactly the
// new one's files (and the files only it had).
#include <gtest/gtest.h>

#include "driver.h"
#include "support/unix_command.h"

using namespace e2e;

namespace {

struct Pack_row {
    const char* name;
    std::vector<std::pair<std::wstring, std::string>> changes;  // in the new folder; "" removes the file
    std::wstring arguments;                                     // after the folders and the names
    DWORD exit_code;
    std::vector<std::string> said;  // in update-pack's report
};

std::vector<std::pair<std::wstring, std::string>> eleven_folders()
{
    std::vector<std::pair<std::wstring, std::string>> changes;
    for (int i = 0; i < 11; ++i)
        changes.push_back({L"data\\d" + std::to_wstring(i) + L"\\a.dat", "new"});
    return changes;
}

const Pack_row PACK_ROWS[] = {
    {"one_data_folder", {{L"DAT\\old.dat", "changed"}, {L"DAT\\new.dat", "added"}}, L"", 0,
     {"COPY_FOLDER_COUNT = 1", "COPY_FOLDER_00 = \"DAT\"", "COPY_FILE_COUNT = 0"}},
    {"nested_folders_and_one_left_behind", {{L"データ\\シナリオ\\下\\a.scn", "a"}, {L"データ\\b.dat", "b"}, {L"セーブ\\save01.dat", ""}},
     L"", 0, {"COPY_FOLDER_00 = \"データ\"", "COPY_FOLDER_01 = \"データ\\シナリオ\\下\"", "left on players' disks",
              "セーブ\\save01.dat"}},
    {"at_the_top", {{L"Lumivane.exe", "engine 2"}, {L"はじめにお読みください.txt", "readme"}}, L"", 0,
     {"COPY_FILE_00 = \"Lumivane.exe\"", "COPY_FILE_01 = \"はじめにお読みください.txt\""}},
    {"each_media_folder", {{L"BGM\\a.ogg", "a"}, {L"KOE\\old.dat", "koe"}, {L"MOV\\op.mpg", "op"}, {L"BGM\\sub\\b.ogg", "b"}},
     L" --bgm BGM --koe KOE --mov MOV", 0,
     {"BGM_UPDATE = 1", "BGM_FOLDER = \"BGM\"", "KOE_FOLDER = \"KOE\"", "MOV_FOLDER = \"MOV\"", "COPY_FOLDER_00 = \"BGM\\sub\""}},
    {"eleven_changed_folders", eleven_folders(), L"", 1, {"only ten folder entries", "nothing written"}},
    {"name_outside_code_page_932", {{L"Zoë.txt", "z"}}, L"", 1, {"cannot spell these names: Zoë.txt"}},
    {"identical_folders", {}, L"", 1, {"there is no update to pack"}},
    {"package_inside_the_new_game", {{L"a.txt", "a"}}, L" --force", 2, {"outside both game folders"}},
};

void PrintTo(const Pack_row& row, std::ostream* out) { *out << row.name; }

class Pack : public testing::TestWithParam<Pack_row> {};

TEST_P(Pack, MakesThePackageThatBringsTheOldFolderToTheNew)
{
    const Pack_row& row = GetParam();
    Scenario s(std::string("pack_") + row.name);
    s.write_registry();
    const std::wstring new_game = s.root + L"\\新しいゲーム";
    run_unix_shell("cp -r " + unix_of(s.game) + " " + unix_of(new_game));
    for (const auto& [path, bytes] : row.changes)
        bytes.empty() ? void(DeleteFileW((new_game + L"\\" + path).c_str())) : write_file(new_game + L"\\" + path, bytes);
    const std::wstring package = row.exit_code == 2 ? new_game + L"\\パッケージ" : s.root + L"\\パッケージ";
    const Snapshot old_before = snapshot(s.game), wanted = snapshot(new_game);

    std::string report;
    const DWORD exit_code = run_console(L"\"" + built(E2E_PACK_EXE) + L"\" \"" + s.game + L"\" \"" + new_game + L"\" \"" +
                                            package + L"\" --name テスト --registry \"" + s.reg_name + L"\"" + row.arguments,
                                        report);
    EXPECT_EQ(exit_code, row.exit_code) << report;
    for (const std::string& said : row.said)
        EXPECT_NE(report.find(said), std::string::npos) << said << " not in:\n" << report;
    if (row.exit_code != 0) {
        EXPECT_EQ(GetFileAttributesW(package.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing is written";
        return;
    }

    // The package, applied by update.exe, makes the old folder the new one, but for the files
    // only the old folder had.
    CopyFileW(s.exe().c_str(), (package + L"\\update.exe").c_str(), FALSE);
    const e2e::Run run = run_update(package + L"\\update.exe");
    ASSERT_EQ(run.failure, "");
    EXPECT_EQ(run.transcript.back(), L"box information OK default=OK caption=テスト text=アップデートは正常に終了しました。");
    Snapshot expected = wanted;
    for (const auto& [path, state] : old_before)
        expected.emplace(path, state);
    EXPECT_EQ(text(expected), text(snapshot(s.game)));
}

INSTANTIATE_TEST_SUITE_P(Rows, Pack, testing::ValuesIn(PACK_ROWS),
                         [](const testing::TestParamInfo<Pack_row>& row) { return std::string(row.param.name); });

}  // namespace
