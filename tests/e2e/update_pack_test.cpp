// update-pack on generated game folders, one row per case: the old folder is an installed game
// with its registry values, the new one that game with the row's changes. The packages made pass
// update-check and are applied in order, each by the update.exe shipped in it, after which the old
// folder must hold exactly the new one's files (and the files only it had).
#include <gtest/gtest.h>

#include <algorithm>

#include "driver.h"
#include "support/unix_command.h"

using namespace e2e;

namespace {

using Changes = std::vector<std::pair<std::wstring, std::string>>;  // in the new folder; "" removes the file

struct Pack_row {
    const char* name;
    Changes changes;
    std::wstring arguments;  // after the folders, the names and update.exe
    DWORD exit_code;
    std::vector<std::string> said;  // in update-pack's report
    int packages = 1;               // in the chain; 1: the package folder is the package
    bool note = true;               // --note given
    const wchar_t* package = L"パッケージ";  // below the scenario's folder
};

// 25 folders at three depths, 14 files at the top and a BGM track: more than one update.ini names.
Changes chain_changes()
{
    Changes changes = {{L"BGM\\新曲.ogg", "bgm"}, {L"セーブ\\save01.dat", ""}};
    for (int i = 0; i < 25; ++i) {
        const std::wstring chapter = L"章" + std::to_wstring(i / 3);
        const std::wstring folders[] = {chapter, chapter + L"\\場面", chapter + L"\\場面\\差分"};
        changes.push_back({folders[i % 3] + L"\\" + std::to_wstring(i) + L".dat", pattern(10 + i, i)});
    }
    for (int i = 0; i < 14; ++i)
        changes.push_back({L"top" + std::to_wstring(i) + L".txt", pattern(5, i)});
    return changes;
}

const Pack_row PACK_ROWS[] = {
    // old.dat keeps its size: only its bytes tell that it changed.
    {"one_data_folder", {{L"DAT\\old.dat", pattern(100, 7)}, {L"DAT\\new.dat", "added"}}, L"", 0,
     {"COPY_FOLDER_COUNT = 1", "COPY_FOLDER_00 = \"DAT\"", "COPY_FILE_COUNT = 0", "DAT\\old.dat", "README.txt in every package"}},
    {"nested_folders_and_one_left_behind", {{L"データ\\シナリオ\\下\\a.scn", "a"}, {L"データ\\b.dat", "b"}, {L"セーブ\\save01.dat", ""}},
     L"", 0, {"COPY_FOLDER_00 = \"データ\"", "COPY_FOLDER_01 = \"データ\\シナリオ\\下\"", "left on players' disks",
              "セーブ\\save01.dat"}},
    {"at_the_top_without_a_note", {{L"Lumivane.exe", "engine 2"}, {L"はじめにお読みください.txt", "readme"}}, L"", 0,
     {"COPY_FILE_00 = \"Lumivane.exe\"", "COPY_FILE_01 = \"はじめにお読みください.txt\"", "No player's note"}, 1, false},
    {"each_media_folder", {{L"BGM\\a.ogg", "a"}, {L"KOE\\old.dat", "koe"}, {L"MOV\\op.mpg", "op"}, {L"BGM\\sub\\b.ogg", "b"}},
     L" --bgm BGM --koe KOE --mov MOV", 0,
     {"BGM_UPDATE = 1", "BGM_FOLDER = \"BGM\"", "KOE_FOLDER = \"KOE\"", "MOV_FOLDER = \"MOV\"", "COPY_FOLDER_00 = \"BGM\\sub\""}},
    {"chain_of_three", chain_changes(), L" --bgm BGM", 0,
     {"chain of 3 packages", "Package 3 of 3", "COPY_FOLDER_09 = \"章3\"", "COPY_FILE_09 = \"top5.txt\"",
      "Together: 40 file(s)", "chain of packages made"}, 3},
    {"name_outside_code_page_932", {{L"Zoë.txt", "z"}}, L"", 1, {"cannot spell these names: Zoë.txt", "nothing written"}, 0},
    {"identical_folders", {}, L"", 1, {"there is no update to pack"}, 0},
    {"package_inside_the_new_game", {{L"a.txt", "a"}}, L" --force", 2, {"outside both game folders"}, 0, true, L"新しいゲーム\\パッケージ"},
    {"no_update_exe", {{L"a.txt", "a"}}, L" --exe ない\\update.exe", 2, {"update.exe was not found"}, 0},
    // What update.exe could not apply to the old game is not packed (update_test.cpp: what update.exe
    // and update-check say of the same change written by hand).
    {"file_became_folder", {{L"DAT\\old.dat", ""}, {L"DAT\\old.dat\\inner.txt", "x"}}, L"", 1,
     {"update.exe would refuse", "DAT\\old.dat はファイルのため"}, 0},
    {"folder_became_file", {{L"セーブ", ""}, {L"セーブ", "now a file"}}, L"", 1, {"セーブ はフォルダのため"}, 0},
    {"update_folder_in_the_new_game", {{L"~update\\journal", "notes"}}, L"", 1, {"~update\\journal は"}, 0},
    {"names_differing_only_in_case", {{L"DAT\\A.dat", "a"}, {L"DAT\\a.dat", "b"}}, L"", 1,
     {"differ only in letter case"}, 0},
};

void PrintTo(const Pack_row& row, std::ostream* out) { *out << row.name; }

class Pack : public testing::TestWithParam<Pack_row> {};

TEST_P(Pack, MakesThePackagesThatBringTheOldFolderToTheNew)
{
    const Pack_row& row = GetParam();
    Scenario s(std::string("pack_") + row.name);
    s.write_registry();
    const std::wstring new_game = s.root + L"\\新しいゲーム", note = s.root + L"\\お読みください.txt";
    run_unix_shell("cp -r " + unix_of(s.game) + " " + unix_of(new_game));
    // By Unix commands, which tell names apart by letter case as Windows does not.
    for (const auto& [path, bytes] : row.changes) {
        std::string relative = narrow(path);
        std::replace(relative.begin(), relative.end(), '\\', '/');
        const std::string target = unix_of(new_game) + "/" + shell_quoted(relative);
        write_file(s.root + L"\\change", bytes);
        run_unix_shell(bytes.empty() ? "rm -rf " + target
                                     : "mkdir -p \"$(dirname " + target + ")\" && mv " + unix_of(s.root + L"\\change") + " " + target);
    }
    write_file(note, "note\r\n");
    const std::wstring package = s.root + L"\\" + row.package;
    const Snapshot old_before = snapshot(s.game), wanted = snapshot(new_game);

    std::string report;
    const DWORD exit_code =
        run_console(L"\"" + built(E2E_PACK_EXE) + L"\" \"" + s.game + L"\" \"" + new_game + L"\" \"" + package +
                        L"\" --name テスト --registry \"" + s.reg_name + L"\" --exe \"" + built(E2E_UPDATE_EXE) + L"\"" +
                        (row.note ? L" --note \"" + note + L"\"" : L"") + row.arguments,
                    report);
    EXPECT_EQ(exit_code, row.exit_code) << report;
    for (const std::string& said : row.said)
        EXPECT_NE(report.find(said), std::string::npos) << said << " not in:\n" << report;
    EXPECT_EQ(GetFileAttributesW((package + L".~update-pack").c_str()), INVALID_FILE_ATTRIBUTES) << "staging is gone";
    if (row.exit_code != 0) {
        EXPECT_EQ(GetFileAttributesW(package.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing is written";
        return;
    }

    // A chain is the subfolders 1, 2, ... in that order, under a note for players that names them.
    std::vector<std::wstring> chain = {package};
    if (row.packages > 1) {
        chain.clear();
        std::wstring top;
        for (int i = 1; i <= row.packages; ++i) {
            chain.push_back(package + L"\\" + std::to_wstring(i));
            top += std::to_wstring(i) + L"\n";
        }
        top += L"はじめにお読みください.txt\n";
        std::wstring listed;
        for (const auto& [path, state] : snapshot(package))
            listed += path.find(L'\\') == std::wstring::npos ? path + L"\n" : L"";
        EXPECT_EQ(narrow(listed), narrow(top));
        EXPECT_NE(read_bytes(package + L"\\はじめにお読みください.txt").find(narrow(L"  3. フォルダー「3」の update.exe\r\n", 932)),
                  std::string::npos);
        EXPECT_NE(read_bytes(chain[0] + L"\\update.ini").find("BGM_UPDATE = 1\r\n"), std::string::npos) << "media first";
    }
    // Each package ships ready: update-check passes it, and its own update.exe applies it.
    for (const std::wstring& folder : chain) {
        EXPECT_EQ(GetFileAttributesW((folder + L"\\README.txt").c_str()) != INVALID_FILE_ATTRIBUTES, row.note);
        std::string checked;
        EXPECT_EQ(run_console(L"\"" + built(E2E_CHECK_EXE) + L"\" \"" + folder + L"\" --registry", checked), 0u) << checked;
        const e2e::Run run = run_update(folder + L"\\update.exe");
        ASSERT_EQ(run.failure, "");
        EXPECT_EQ(run.transcript.back(), L"box information OK default=OK caption=テスト text=アップデートは正常に終了しました。");
    }
    Snapshot expected = wanted;
    for (const auto& [path, state] : old_before)
        expected.emplace(path, state);
    EXPECT_EQ(text(expected), text(snapshot(s.game)));
}

INSTANTIATE_TEST_SUITE_P(Rows, Pack, testing::ValuesIn(PACK_ROWS),
                         [](const testing::TestParamInfo<Pack_row>& row) { return std::string(row.param.name); });

}  // namespace
