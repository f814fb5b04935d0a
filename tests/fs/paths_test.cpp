#include <gtest/gtest.h>

#include <windows.h>

#include "fs/paths.h"
#include "support/temp_folder.h"

namespace {

TEST(Path_text, SplitsAtTheLastDotOrBackslashOfTheWholeString)
{
    const struct {
        const wchar_t* name;
        const wchar_t* stem;
        const wchar_t* extension;
    } rows[] = {
        {L"archive.tar.gz", L"archive.tar", L"gz"},
        {L"README", L"README", L""},
        {L"name.", L"name", L""},
        {L".hidden", L"", L"hidden"},
        {L"save.old\\readme", L"save", L"old\\readme"},
        {L"", L"", L""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(path_stem(row.name), row.stem) << row.name;
        EXPECT_EQ(path_extension(row.name), row.extension) << row.name;
    }
    EXPECT_EQ(path_folder(L"Z:\\ゲーム\\アップデート\\update.exe"), L"Z:\\ゲーム\\アップデート");
    EXPECT_EQ(path_folder(L"C:\\update.exe"), L"C:");
    EXPECT_EQ(path_folder(L"a/b/c"), L"a/b/c") << "the slash is no separator";
    EXPECT_EQ(join_path(L"C:\\Game\\", L"BGM"), L"C:\\Game\\\\BGM") << "never looks at separators already there";
    EXPECT_EQ(lower_ascii(L"ABC.Txt\xFF21@[ÄÖ"), L"abc.txt\xFF21@[ÄÖ");
}

TEST(Replace_all, NeverRescansWhatItInserted)
{
    EXPECT_EQ(replace_all(L"a\nb\n", L"\n", L"\r\n"), L"a\r\nb\r\n");
    EXPECT_EQ(replace_all(L"a\r\nb", L"\n", L"\r\n"), L"a\r\r\nb");
    EXPECT_EQ(replace_all(L"", L"\n", L"\r\n"), L"");
    EXPECT_EQ(replace_all(L"aaa", L"a", L"aa"), L"aaaaaa");
}

TEST(Make_folder, CreatesTheFolderAndEveryMissingOneAboveButNotTheLastNameOfAPath)
{
    Ctemp_folder folder(L"make-folder");
    make_folder(folder / L"trailing\\sub\\");
    EXPECT_TRUE(folder_exists(folder / L"trailing\\sub"));
    make_folder(folder / L"データ\\ボイス");
    EXPECT_TRUE(folder_exists(folder / L"データ\\ボイス"));

    make_path_folders(folder / L"out\\sub\\file.dat");
    EXPECT_TRUE(folder_exists(folder / L"out\\sub"));
    EXPECT_FALSE(folder_exists(folder / L"out\\sub\\file.dat"));
    EXPECT_FALSE(file_exists(folder / L"out\\sub\\file.dat"));
    SetFileAttributesW(folder.make_file(L"隠し.dat").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(file_exists(folder / L"隠し.dat")) << "hidden and read-only files count";

    Ctemp_folder current(L"make-nothing", Ctemp_folder::CURRENT_DIRECTORY);
    make_folder(L"");
    make_path_folders(L"");
    EXPECT_TRUE(current.picture().empty()) << "an empty path makes nothing";
}

}  // namespace
