// Start-up of the real update.exe: the missing rich-edit library, and the update beside the
// executable being found whatever folder the player started it from.
#include <gtest/gtest.h>

#include "harness.h"
#include "scenario.h"

using namespace e2e;

namespace {

// The phases still missing from update.exe. Each turns a check below from a placeholder into the
// final behaviour; set it when its phase lands.
// read_update_ini reads the file: boxes are captioned with GAME_NAME.
constexpr bool UPDATE_INI_IS_READ = true;
// run_update copies: the installed file is replaced.
constexpr bool UPDATE_IS_COPIED = false;

const char* const GAME_NAME = "テスト";
const char* const SUCCESS_TEXT = "アップデートは正常に終了しました。";
const char* const RICH_EDIT_MISSING_TEXT = "riched32.dll の読み込みに失敗しました。アプリケーションを終了します。";
const wchar_t* const REGISTRY_NAME = L"UpdateE2eStartup";

// A complete, valid update beside update.exe: update.ini naming the game and one file, GAMEDATA
// holding it, and the installed game that the installer recorded in the registry.
struct Cvalid_update {
    explicit Cvalid_update(const Cscenario_folder& folder) : key(REGISTRY_NAME)
    {
        folder.write_update_ini({
            L"// テスト用のアップデート",
            L"GAME_NAME = \"テスト\"",
            std::wstring(L"REG_NAME = \"") + REGISTRY_NAME + L"\"",
            L"COPY_FILE_COUNT = 1",
            L"COPY_FILE_00 = \"readme.txt\"",
        });
        folder.write_game_data(L"readme.txt", "new readme\r\n");
        folder.write_installed(L"Lumivane.exe", pattern_bytes(4096));
        folder.write_installed(L"readme.txt", "old readme\r\n");
        key.set_text(L"SAV_FOLDER", folder.installed_folder());
        for (const wchar_t* part : {L"DAT", L"BGM", L"KOE", L"MOV"}) {
            key.set_text(std::wstring(part) + L"_EXIST", L"1");
            key.set_text(std::wstring(part) + L"_FOLDER", folder.installed_folder());
        }
    }
    Cregistry_key key;
};

bool has_warning(const Ctranscript& transcript)
{
    for (const std::string& line : transcript)
        if (line.find(" icon=warning ") != std::string::npos)
            return true;
    return false;
}

void expect_update_done_beside_the_executable(const Cscenario_folder& folder, const Crun_result& run)
{
    ASSERT_TRUE(run.ok()) << run.failure;
    EXPECT_EQ(run.exit_code, 0u);
    // Looking for update.ini in the current folder instead would warn that it is missing.
    EXPECT_FALSE(has_warning(run.transcript)) << to_text(run.transcript);
    ASSERT_FALSE(run.transcript.empty());
    EXPECT_EQ(run.transcript.back(), information_box(UPDATE_INI_IS_READ ? GAME_NAME : "", SUCCESS_TEXT))
        << to_text(run.transcript);
    if (UPDATE_IS_COPIED) {
        EXPECT_EQ(read_file(folder.installed_path(L"readme.txt")), "new readme\r\n");
    }
}

}  // namespace

TEST(Startup, WithoutTheRichEditLibraryShowsOnlyTheErrorBoxAndTouchesNothing)
{
    const Cscenario_folder folder(L"no_rich_edit");
    const Cvalid_update update(folder);
    const Ctree_snapshot before = snapshot_tree(folder.root());

    Crun_options options;
    options.program = folder.exe_path();
    options.disabled_dlls = {L"riched32"};
    options.answers = {Cbutton::yes};
    const Crun_result run = run_program(options);

    ASSERT_TRUE(run.ok()) << run.failure;
    EXPECT_EQ(run.exit_code, 0u);
    EXPECT_EQ(run.transcript, Ctranscript{warning_box("エラー", RICH_EDIT_MISSING_TEXT)}) << to_text(run.transcript);
    EXPECT_EQ(tree_differences(before, snapshot_tree(folder.root())), "");
}

TEST(Startup, StartedFromAnotherFolderWorksOnTheUpdateBesideTheExecutable)
{
    struct Ccase {
        const wchar_t* name;
        const wchar_t* exe_subfolder;  // below the scenario root
        const wchar_t* start_in;       // current folder, below the scenario root
    };
    const Ccase cases[] = {
        {L"other_current_folder", L"update", L"elsewhere"},
        {L"deep_japanese_folder", L"ゲーム\\アップデート\\テスト", L"ショートカット"},
        {L"started_from_the_parent", L"ゲーム\\アップデート", L""},
    };
    for (const Ccase& c : cases) {
        SCOPED_TRACE(to_utf8(c.name));
        const Cscenario_folder folder(c.name, c.exe_subfolder);
        const Cvalid_update update(folder);
        const std::wstring start_in = c.start_in[0] ? folder.root() + L"\\" + c.start_in : folder.root();
        make_folders(start_in);

        Crun_options options;
        options.program = folder.exe_path();
        options.working_folder = start_in;
        options.answers = {Cbutton::yes};
        expect_update_done_beside_the_executable(folder, run_program(options));
    }
}
