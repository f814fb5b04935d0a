// The whole update through the real update.exe: what the progress dialog shows block by block,
// which files land where, and how each failure of the copy stops the run.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "harness.h"
#include "scenario.h"
#include "support/unix_command.h"

using namespace e2e;

namespace {

const char* const GAME = "ルミナス物語";
const char* const SUCCESS = "アップデートは正常に終了しました。";

// A complete installation as its installer leaves it, and an update package beside update.exe.
class Cupdate_scenario {
public:
    Cupdate_scenario(const std::wstring& name, const std::vector<std::wstring>& settings)
        : folder(name), key(L"UpdateE2eRun_" + name)
    {
        std::vector<std::wstring> lines = {
            L"// ルミナス物語 アップデート",
            L"GAME_NAME = \"ルミナス物語\"",
            L"REG_NAME = \"UpdateE2eRun_" + name + L"\"",
        };
        lines.insert(lines.end(), settings.begin(), settings.end());
        folder.write_update_ini(lines);
        make_folders(folder.path(L"GAMEDATA"));

        folder.write_installed(L"Lumivane.exe", pattern_bytes(4096, 99));
        folder.write_installed(L"セーブ\\save01.dat", pattern_bytes(300, 98));
        for (const wchar_t* part : {L"BGM", L"KOE", L"MOV", L"DAT"})
            make_folders(folder.installed_path(part));
        key.set_text(L"SAV_FOLDER", folder.installed_folder());
        for (const wchar_t* part : {L"DAT", L"BGM", L"KOE", L"MOV"}) {
            key.set_text(std::wstring(part) + L"_EXIST", L"1");
            key.set_text(std::wstring(part) + L"_FOLDER", folder.installed_path(part));
        }
    }

    // A file of the update, remembered so that the installation can be checked against it.
    void add(const std::wstring& relative, const std::string& bytes) const { folder.write_game_data(relative, bytes); }

    Crun_result run(int close_dialog_after_pos = 0) const
    {
        Crun_options options;
        options.program = folder.exe_path();
        options.answers = {Cbutton::yes};
        options.close_dialog_after_pos = close_dialog_after_pos;
        return run_program(options);
    }

    std::string confirmation() const
    {
        return information_yes_no(to_utf8(L"セットアップ先 = " + folder.installed_folder() +
                                          L"\n\nこの場所にアップデートデータを上書きします。よろしいですか？"));
    }

    static std::string information_yes_no(const std::string& text)
    {
        return box_line(GAME, "information", "Yes,No", "Yes", text);
    }

    // Everything the player sees of a run: the confirmation, the dialog as it is made and shown,
    // what the copy showed in it, the dialog leaving, and the closing box(es).
    Ctranscript expected(const Ctranscript& copying, const Ctranscript& closing) const
    {
        Ctranscript lines = {
            confirmation(),
            "dialog create caption=\"Dialog\" text=\"...\"",
            "dialog caption=" + quoted(std::string(GAME) + " アップデート"),
            "range 1001 0 1000",
            "range 1002 0 1000",
            "dialog show",
        };
        lines.insert(lines.end(), copying.begin(), copying.end());
        lines.push_back("dialog hide");
        lines.push_back("dialog destroy");
        lines.insert(lines.end(), closing.begin(), closing.end());
        return lines;
    }

    std::string installed_utf8(const std::wstring& relative) const { return to_utf8(folder.installed_path(relative)); }

    Cscenario_folder folder;
    Cregistry_key key;
};

bool file_exists_at(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string text_line(const std::string& relative) { return "text 1003 " + quoted(relative); }
std::string pos(int item, int position) { return "pos " + std::to_string(item) + " " + std::to_string(position); }

// The installation after a successful run: what it held before, with each copied file in the
// state of its source. Nothing else may differ.
void expect_installed(const Cupdate_scenario& scenario, Ctree_snapshot expected,
                      const std::map<std::wstring, std::wstring>& copied)
{
    const Ctree_snapshot sources = snapshot_tree(scenario.folder.path(L"GAMEDATA"));
    for (const auto& [destination, source] : copied) {
        ASSERT_TRUE(sources.count(source)) << to_utf8(source);
        expected[destination] = sources.at(source);
        // Folders made for the copy appear too.
        for (size_t slash = destination.find(L'\\'); slash != std::wstring::npos;
             slash = destination.find(L'\\', slash + 1))
            expected[destination.substr(0, slash)].folder = true;
    }
    EXPECT_EQ(tree_differences(expected, snapshot_tree(scenario.folder.installed_folder())), "");
}

TEST(Update_run, BarsFollowEveryBlockOfTheWorkedExample)
{
    const Cupdate_scenario scenario(L"worked_example",
                                    {L"BGM_UPDATE = 1", L"BGM_FOLDER = \"BGM\"", L"KOE_UPDATE = 1", L"KOE_FOLDER = \"KOE\""});
    scenario.add(L"BGM\\a.ogg", pattern_bytes(2400000, 1));
    scenario.add(L"KOE\\b.ogg", pattern_bytes(100000, 2));
    const Ctree_snapshot before = snapshot_tree(scenario.folder.installed_folder());

    const Crun_result run = scenario.run();

    ASSERT_TRUE(run.ok()) << run.failure;
    EXPECT_EQ(run.exit_code, 0u);
    EXPECT_EQ(run.transcript, scenario.expected({text_line("BGM\\a.ogg"), pos(1001, 400), pos(1002, 416),
                                                 pos(1001, 800), pos(1002, 833), pos(1001, 960), pos(1002, 1000),
                                                 text_line("KOE\\b.ogg"), pos(1001, 1000), pos(1002, 1000)},
                                                {information_box(GAME, SUCCESS)}))
        << to_text(run.transcript);
    expect_installed(scenario, before, {{L"BGM\\a.ogg", L"BGM\\a.ogg"}, {L"KOE\\b.ogg", L"KOE\\b.ogg"}});
}

TEST(Update_run, BlockBoundariesAndEmptyFiles)
{
    // File entries are copied in the order update.ini gives them: 0 + 999,999 + 1,000,000 +
    // 1,000,001 bytes make 3,000,000.
    const Cupdate_scenario scenario(L"block_boundaries",
                                    {L"COPY_FILE_COUNT = 4", L"COPY_FILE_00 = \"zero.bin\"", L"COPY_FILE_01 = \"a.bin\"",
                                     L"COPY_FILE_02 = \"b.bin\"", L"COPY_FILE_03 = \"c.bin\""});
    scenario.add(L"zero.bin", "");
    scenario.add(L"a.bin", pattern_bytes(999999, 3));
    scenario.add(L"b.bin", pattern_bytes(1000000, 4));
    scenario.add(L"c.bin", pattern_bytes(1000001, 5));
    scenario.folder.write_installed(L"zero.bin", "an old file that must become empty");
    const Ctree_snapshot before = snapshot_tree(scenario.folder.installed_folder());

    const Crun_result run = scenario.run();

    ASSERT_TRUE(run.ok()) << run.failure;
    EXPECT_EQ(run.transcript, scenario.expected({text_line("zero.bin"),
                                                 text_line("a.bin"), pos(1001, 333), pos(1002, 1000),
                                                 text_line("b.bin"), pos(1001, 666), pos(1002, 1000),
                                                 text_line("c.bin"), pos(1001, 999), pos(1002, 999),
                                                 pos(1001, 1000), pos(1002, 1000)},
                                                {information_box(GAME, SUCCESS)}))
        << to_text(run.transcript);
    expect_installed(scenario, before,
                     {{L"zero.bin", L"zero.bin"}, {L"a.bin", L"a.bin"}, {L"b.bin", L"b.bin"}, {L"c.bin", L"c.bin"}});
}

TEST(Update_run, AFileNamedTwiceIsCopiedAndCountedTwice)
{
    const Cupdate_scenario scenario(L"named_twice",
                                    {L"COPY_FILE_COUNT = 2", L"COPY_FILE_00 = \"config.dat\"", L"COPY_FILE_01 = \"config.dat\""});
    scenario.add(L"config.dat", pattern_bytes(5000, 6));
    const Ctree_snapshot before = snapshot_tree(scenario.folder.installed_folder());

    const Crun_result run = scenario.run();

    ASSERT_TRUE(run.ok()) << run.failure;
    EXPECT_EQ(run.transcript, scenario.expected({text_line("config.dat"), pos(1001, 500), pos(1002, 1000),
                                                 text_line("config.dat"), pos(1001, 1000), pos(1002, 1000)},
                                                {information_box(GAME, SUCCESS)}))
        << to_text(run.transcript);
    expect_installed(scenario, before, {{L"config.dat", L"config.dat"}});
}

TEST(Update_run, FileEntryMatchesWhateverTheLetterCase)
{
    const Cupdate_scenario scenario(L"letter_case", {L"COPY_FILE_COUNT = 1", L"COPY_FILE_00 = \"readme.TXT\""});
    scenario.add(L"ReadMe.txt", "新しい説明書\r\n");
    const Ctree_snapshot before = snapshot_tree(scenario.folder.installed_folder());

    const Crun_result run = scenario.run();

    ASSERT_TRUE(run.ok()) << run.failure;
    // The name comes from the update's folder, as the file system spells it.
    EXPECT_EQ(run.transcript, scenario.expected({text_line("ReadMe.txt"), pos(1001, 1000), pos(1002, 1000)},
                                                {information_box(GAME, SUCCESS)}))
        << to_text(run.transcript);
    expect_installed(scenario, before, {{L"ReadMe.txt", L"ReadMe.txt"}});
}

TEST(Update_run, NothingToCopyStillShowsAndRemovesTheDialog)
{
    const Cupdate_scenario scenario(L"nothing", {L"BGM_UPDATE = 0", L"COPY_FOLDER_COUNT = 0", L"COPY_FILE_COUNT = 0"});
    const Ctree_snapshot before = snapshot_tree(scenario.folder.installed_folder());

    const Crun_result run = scenario.run();

    ASSERT_TRUE(run.ok()) << run.failure;
    EXPECT_EQ(run.transcript, scenario.expected({}, {information_box(GAME, SUCCESS)})) << to_text(run.transcript);
    EXPECT_EQ(tree_differences(before, snapshot_tree(scenario.folder.installed_folder())), "");
}

TEST(Update_run, FolderEntriesCopyTheirOwnFilesOnlyAndMakeTheirFolders)
{
    const Cupdate_scenario scenario(L"folder_entries", {L"COPY_FOLDER_COUNT = 2", L"COPY_FOLDER_00 = \"データ\\追加\"",
                                                        L"COPY_FOLDER_01 = \"空\""});
    scenario.add(L"データ\\追加\\one.dat", pattern_bytes(1500, 7));
    scenario.add(L"データ\\追加\\two.dat", pattern_bytes(2500, 8));
    scenario.add(L"データ\\追加\\下\\deeper.dat", pattern_bytes(100, 9));
    make_folders(scenario.folder.path(L"GAMEDATA\\空"));
    const Ctree_snapshot before = snapshot_tree(scenario.folder.installed_folder());

    const Crun_result run = scenario.run();

    ASSERT_TRUE(run.ok()) << run.failure;
    ASSERT_FALSE(run.transcript.empty());
    EXPECT_EQ(run.transcript.back(), information_box(GAME, SUCCESS)) << to_text(run.transcript);
    // Subfolders are not copied, and a folder with no files makes no destination folder.
    expect_installed(scenario, before,
                     {{L"データ\\追加\\one.dat", L"データ\\追加\\one.dat"}, {L"データ\\追加\\two.dat", L"データ\\追加\\two.dat"}});
}

TEST(Update_run, ClosingTheDialogDoesNotStopTheCopy)
{
    const Cupdate_scenario scenario(L"closed_dialog", {L"MOV_UPDATE = 1", L"MOV_FOLDER = \"MOV\"", L"COPY_FILE_COUNT = 1",
                                                       L"COPY_FILE_00 = \"last.dat\""});
    scenario.add(L"MOV\\op.mpg", pattern_bytes(6000000, 10));
    scenario.add(L"last.dat", pattern_bytes(1000, 11));
    const Ctree_snapshot before = snapshot_tree(scenario.folder.installed_folder());

    const Crun_result run = scenario.run(1);

    ASSERT_TRUE(run.ok()) << run.failure;
    const auto close = std::find(run.transcript.begin(), run.transcript.end(), "dialog close");
    ASSERT_NE(close, run.transcript.end()) << to_text(run.transcript);
    const auto destroyed = std::find(close, run.transcript.end(), "dialog destroy");
    ASSERT_NE(destroyed, run.transcript.end()) << to_text(run.transcript);
    // After the window is gone nothing reaches it any more; the copy runs on and succeeds.
    EXPECT_EQ(Ctranscript(destroyed + 1, run.transcript.end()), Ctranscript{information_box(GAME, SUCCESS)})
        << to_text(run.transcript);
    expect_installed(scenario, before, {{L"MOV\\op.mpg", L"MOV\\op.mpg"}, {L"last.dat", L"last.dat"}});
}

// A failure of the copy: one warning box while the dialog is still up, then the dialog goes, and
// nothing else is shown or copied.
struct Cfailure_case {
    const char* name;
    // Prepares the failure; returns false when this machine cannot (the case is then skipped).
    bool (*prepare)(const Cupdate_scenario& scenario);
    // The box's text, given the scenario.
    std::string (*message)(const Cupdate_scenario& scenario);
    void (*clean_up)(const Cupdate_scenario& scenario);
};

HANDLE held_open = INVALID_HANDLE_VALUE;

std::string unix_of(const std::wstring& path) { return shell_quoted(unix_path_of(path)); }

const Cfailure_case failure_cases[] = {
    {"read_only_destination",
     [](const Cupdate_scenario& s) {
         // Wine run as root would write a read-only file anyway; an immutable one it cannot.
         s.folder.write_installed(L"BGM\\a.ogg", "old");
         SetFileAttributesW(s.folder.installed_path(L"BGM\\a.ogg").c_str(), FILE_ATTRIBUTE_READONLY);
         return run_unix_shell("chattr +i " + unix_of(s.folder.installed_path(L"BGM\\a.ogg")));
     },
     [](const Cupdate_scenario& s) { return s.installed_utf8(L"BGM\\a.ogg") + "が開けませんでした。"; },
     [](const Cupdate_scenario& s) { run_unix_shell("chattr -i " + unix_of(s.folder.installed_path(L"BGM\\a.ogg"))); }},
    {"destination_held_open",
     [](const Cupdate_scenario& s) {
         s.folder.write_installed(L"BGM\\a.ogg", "old");
         held_open = CreateFileW(s.folder.installed_path(L"BGM\\a.ogg").c_str(), GENERIC_READ, 0, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
         return held_open != INVALID_HANDLE_VALUE;
     },
     [](const Cupdate_scenario& s) { return s.installed_utf8(L"BGM\\a.ogg") + "が開けませんでした。"; },
     [](const Cupdate_scenario&) {
         CloseHandle(held_open);
         held_open = INVALID_HANDLE_VALUE;
     }},
    {"bgm_folder_missing_below_the_destination",
     [](const Cupdate_scenario& s) {
         // The installer's own BGM folder exists elsewhere; the update writes below SAV_FOLDER.
         s.key.set_text(L"BGM_FOLDER", s.folder.installed_path(L"DAT"));
         remove_tree(s.folder.installed_path(L"BGM"));
         return true;
     },
     [](const Cupdate_scenario& s) { return s.installed_utf8(L"BGM\\a.ogg") + "が開けませんでした。"; },
     [](const Cupdate_scenario&) {}},
    {"source_shorter_than_measured",
     [](const Cupdate_scenario& s) {
         // A kernel attribute file claims 4096 bytes and delivers a few dozen: the read runs dry
         // before the measured size.
         const char* attribute = "/sys/kernel/mm/transparent_hugepage/enabled";
         if (GetFileAttributesW(L"Z:\\sys\\kernel\\mm\\transparent_hugepage\\enabled") == INVALID_FILE_ATTRIBUTES)
             return false;
         return run_unix_shell("ln -sf " + std::string(attribute) + " " +
                               unix_of(s.folder.path(L"GAMEDATA\\BGM\\a.ogg")));
     },
     [](const Cupdate_scenario&) { return std::string("BGM\\a.ogg") + "の読み込みに失敗しました。"; },
     [](const Cupdate_scenario& s) { run_unix_shell("rm -f " + unix_of(s.folder.path(L"GAMEDATA\\BGM\\a.ogg"))); }},
    {"destination_disk_full",
     [](const Cupdate_scenario& s) {
         // A 1 MiB file system as the BGM folder: the 3 MB file cannot fit.
         const std::wstring bgm = s.folder.installed_path(L"BGM");
         run_unix_shell("mount -t tmpfs -o size=1m tmpfs " + unix_of(bgm) + " 2>/dev/null");
         ULARGE_INTEGER free_bytes, total_bytes;
         return GetDiskFreeSpaceExW((bgm + L"\\").c_str(), &free_bytes, &total_bytes, nullptr) &&
                total_bytes.QuadPart <= (2u << 20);
     },
     [](const Cupdate_scenario& s) { return s.installed_utf8(L"BGM\\a.ogg") + "への書き込みに失敗しました。"; },
     [](const Cupdate_scenario& s) { run_unix_shell("umount " + unix_of(s.folder.installed_path(L"BGM"))); }},
};

class Copy_failure : public testing::TestWithParam<Cfailure_case> {};

TEST_P(Copy_failure, ShowsOneWarningAndStops)
{
    const Cfailure_case& c = GetParam();
    const Cupdate_scenario scenario(L"failure_" + std::wstring(c.name, c.name + strlen(c.name)),
                                    {L"BGM_UPDATE = 1", L"BGM_FOLDER = \"BGM\"", L"COPY_FILE_COUNT = 1",
                                     L"COPY_FILE_00 = \"never.dat\""});
    scenario.add(L"BGM\\a.ogg", pattern_bytes(3000000, 12));
    scenario.add(L"never.dat", "must not be copied");
    if (!c.prepare(scenario)) {
        c.clean_up(scenario);
        GTEST_SKIP() << "this machine cannot set up " << c.name;
    }

    const Crun_result run = scenario.run();
    const std::string message = c.message(scenario);
    c.clean_up(scenario);

    ASSERT_TRUE(run.ok()) << run.failure;
    EXPECT_EQ(run.exit_code, 0u);
    // The box comes while the dialog is still up; no success and no second box follow.
    Ctranscript copying;
    for (const std::string& line : run.transcript)
        if (line.rfind("text ", 0) == 0 || line.rfind("pos ", 0) == 0)
            copying.push_back(line);
    copying.push_back(warning_box(GAME, message));
    EXPECT_EQ(run.transcript, scenario.expected(copying, {})) << to_text(run.transcript);
    EXPECT_FALSE(file_exists_at(scenario.folder.installed_path(L"never.dat")));
}

INSTANTIATE_TEST_SUITE_P(Cases, Copy_failure, testing::ValuesIn(failure_cases),
                         [](const testing::TestParamInfo<Cfailure_case>& info) { return std::string(info.param.name); });

// Over 4 GiB a 32-bit count would wrap. Copying 4.3 GB takes a while, so it runs on request:
// UPDATE_E2E_LARGE_FILES=1.
TEST(Update_run, FileOverFourGibIsCopiedWhole)
{
    const char* wanted = std::getenv("UPDATE_E2E_LARGE_FILES");
    if (wanted == nullptr || std::string(wanted) != "1")
        GTEST_SKIP() << "set UPDATE_E2E_LARGE_FILES=1 to copy a file over 4 GiB";

    const Cupdate_scenario scenario(L"over_4_gib", {L"MOV_UPDATE = 1", L"MOV_FOLDER = \"MOV\""});
    const uint64_t size = (4ULL << 30) + 1000001;
    const std::wstring source = scenario.folder.path(L"GAMEDATA\\MOV\\long.mpg");
    scenario.add(L"MOV\\long.mpg", "head");
    ASSERT_TRUE(run_unix_shell("truncate -s " + std::to_string(size - 4) + " " + unix_of(source) +
                               " && printf tail >> " + unix_of(source)));

    const Crun_result run = scenario.run();

    ASSERT_TRUE(run.ok()) << run.failure;
    ASSERT_GE(run.transcript.size(), 4u);
    EXPECT_EQ(run.transcript.back(), information_box(GAME, SUCCESS));
    const Ctree_snapshot installed = snapshot_tree(scenario.folder.installed_folder());
    ASSERT_TRUE(installed.count(L"MOV\\long.mpg"));
    EXPECT_EQ(installed.at(L"MOV\\long.mpg"), snapshot_tree(scenario.folder.path(L"GAMEDATA")).at(L"MOV\\long.mpg"));
    EXPECT_EQ(installed.at(L"MOV\\long.mpg").size, size);
    remove_tree(scenario.folder.root());
}

}  // namespace
