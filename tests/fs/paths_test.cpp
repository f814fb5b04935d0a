#include <gtest/gtest.h>

#include <windows.h>

#include "fs/paths.h"
#include "support/temp_folder.h"

namespace {

struct Csplit_case {
    const wchar_t* name;
    const wchar_t* stem;
    const wchar_t* extension;
};

class Path_split : public testing::TestWithParam<Csplit_case> {};

TEST_P(Path_split, TakesTheLastDotOfTheWholeString)
{
    EXPECT_EQ(path_stem(GetParam().name), GetParam().stem);
    EXPECT_EQ(path_extension(GetParam().name), GetParam().extension);
}

INSTANTIATE_TEST_SUITE_P(Names, Path_split, testing::Values(
    Csplit_case{L"update.exe", L"update", L"exe"},
    Csplit_case{L"archive.tar.gz", L"archive.tar", L"gz"},
    Csplit_case{L"README", L"README", L""},
    Csplit_case{L"name.", L"name", L""},
    Csplit_case{L".hidden", L"", L"hidden"},
    Csplit_case{L"save.old\\readme", L"save", L"old\\readme"},
    Csplit_case{L"", L"", L""}));

TEST(Path_folder, IsEverythingBeforeTheLastBackslash)
{
    EXPECT_EQ(path_folder(L"D:\\Game\\update.exe"), L"D:\\Game");
    EXPECT_EQ(path_folder(L"Z:\\ゲーム\\アップデート\\update.exe"), L"Z:\\ゲーム\\アップデート");
    EXPECT_EQ(path_folder(L"C:\\update.exe"), L"C:");
    EXPECT_EQ(path_folder(L"a/b/c"), L"a/b/c") << "the slash is no separator";
}

TEST(Join_path, NeverLooksAtTheSeparatorsAlreadyThere)
{
    EXPECT_EQ(join_path(L"GAMEDATA", L"BGM"), L"GAMEDATA\\BGM");
    EXPECT_EQ(join_path(L"C:\\Game\\", L"BGM"), L"C:\\Game\\\\BGM");
}

TEST(Existence, FoldersAndFilesAreTellApart)
{
    Ctemp_folder folder(L"existence");
    ASSERT_TRUE(write_bytes(folder / L"file.dat", "x"));
    ASSERT_TRUE(write_bytes(folder / L"隠し.dat", "x"));
    SetFileAttributesW((folder / L"隠し.dat").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);

    EXPECT_TRUE(folder_exists(folder.path));
    EXPECT_FALSE(file_exists(folder.path));
    EXPECT_TRUE(file_exists(folder / L"file.dat"));
    EXPECT_FALSE(folder_exists(folder / L"file.dat"));
    EXPECT_TRUE(file_exists(folder / L"隠し.dat")) << "hidden and read-only files count";
    EXPECT_FALSE(file_exists(folder / L"missing.dat"));
    EXPECT_FALSE(folder_exists(folder / L"missing"));
    EXPECT_FALSE(file_exists(L""));
    EXPECT_FALSE(folder_exists(L""));
}

TEST(Make_folder, CreatesTheFolderAndEveryMissingOneAbove)
{
    Ctemp_folder folder(L"make-folder");
    make_folder(folder / L"out\\sub");
    EXPECT_TRUE(folder_exists(folder / L"out\\sub"));

    make_folder(folder / L"trailing\\sub\\");
    EXPECT_TRUE(folder_exists(folder / L"trailing\\sub"));

    make_folder(folder / L"データ\\ボイス");
    EXPECT_TRUE(folder_exists(folder / L"データ\\ボイス"));
}

TEST(Make_path_folders, StopsBeforeTheLastName)
{
    Ctemp_folder folder(L"make-path");
    make_path_folders(folder / L"out\\sub\\file.dat");
    EXPECT_TRUE(folder_exists(folder / L"out\\sub"));
    EXPECT_FALSE(folder_exists(folder / L"out\\sub\\file.dat"));
    EXPECT_FALSE(file_exists(folder / L"out\\sub\\file.dat"));
}

TEST(Make_folder, EmptyPathDoesNothing)
{
    wchar_t before[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, before);
    make_folder(L"");
    make_path_folders(L"");
    wchar_t after[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_STREQ(before, after);
}

TEST(Lower_ascii, FoldsOnlyAsciiCapitals)
{
    EXPECT_EQ(lower_ascii(L"ABC.Txt"), L"abc.txt");
    EXPECT_EQ(lower_ascii(L"\xFF21@[Z"), L"\xFF21@[z");
    EXPECT_EQ(lower_ascii(L"ÄÖ"), L"ÄÖ");
}

TEST(Replace_all, NeverRescansWhatItInserted)
{
    EXPECT_EQ(replace_all(L"a\nb\n", L"\n", L"\r\n"), L"a\r\nb\r\n");
    EXPECT_EQ(replace_all(L"a\r\nb", L"\n", L"\r\n"), L"a\r\r\nb");
    EXPECT_EQ(replace_all(L"no feed", L"\n", L"\r\n"), L"no feed");
    EXPECT_EQ(replace_all(L"", L"\n", L"\r\n"), L"");
    EXPECT_EQ(replace_all(L"aaa", L"a", L"aa"), L"aaaaaa");
}

}  // namespace
