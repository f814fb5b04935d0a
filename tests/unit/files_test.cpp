// Paths, folders and files: how names are split, which files a listing selects, sizes past 4 GiB,
// and the program's own path read whole.
#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/module_path.h"
#include "fs/file_list.h"
#include "fs/paths.h"
#include "unit_support.h"

TEST(Paths, SplitAtTheLastDotOrBackslashOfTheWholeString)
{
    EXPECT_EQ(path_folder(L"D:\\Game\\update.exe"), L"D:\\Game");
    EXPECT_EQ(path_stem(L"archive.tar.gz") + L"|" + path_extension(L"archive.tar.gz"), L"archive.tar|gz");
    EXPECT_EQ(path_stem(L"README") + L"|" + path_extension(L"README"), L"README|");
    EXPECT_EQ(path_stem(L"name.") + L"|" + path_extension(L"name."), L"name|");
    EXPECT_EQ(path_extension(L"save.old\\readme"), L"old\\readme");
    EXPECT_EQ(lower_ascii(L"ABC.Txt\xFF21"), L"abc.txt\xFF21");
}

// Names that lead out of the folder an entry is joined to, however they are spelled.
TEST(Paths, ParentStepsInAnySpelling)
{
    for (const wchar_t* path : {L"..\\evil", L"../evil", L"data\\..\\..\\evil", L"a\\...\\b", L".. ", L".."})
        EXPECT_TRUE(has_parent_step(path)) << testing::PrintToString(std::wstring(path));
    for (const wchar_t* path : {L"a..b", L".\\bgm", L"..a", L"ソース", L"表示\\能力", L""})
        EXPECT_FALSE(has_parent_step(path)) << testing::PrintToString(std::wstring(path));
}

// Folders are made by their wide names: Shift-JIS trail bytes 0x5C (表, 能, ソ) and characters
// outside code page 932 make exactly the folders named, and nothing beside them.
TEST(Paths, MakeFolderByWideNames)
{
    Ctemp_folder tree;
    std::wstring unmade;
    std::vector<std::wstring> made;
    EXPECT_TRUE(make_folder_and_above(tree / L"表示\\能力", unmade, &made));
    EXPECT_TRUE(make_folder_and_above(tree / L"Zoë\\데이터\\", unmade, &made));
    EXPECT_EQ(made, (std::vector<std::wstring>{tree / L"表示", tree / L"表示\\能力", tree / L"Zoë", tree / L"Zoë\\데이터"}));
    EXPECT_EQ(walk_folder(tree.path, true).size(), 4u) << "no stray folder";

    write_bytes(tree / L"file", "x");
    EXPECT_FALSE(make_folder_and_above(tree / L"file\\sub", unmade));
    EXPECT_EQ(unmade, tree / L"file");
}

// Long paths reach Windows whole and marked; short ones as they were written.
TEST(Paths, LongPathsAreMadeWholeAndMarked)
{
    EXPECT_EQ(long_path(L"GAMEDATA\\BGM\\a.ogg"), L"GAMEDATA\\BGM\\a.ogg");
    const std::wstring deep = L"C:\\Games\\" + std::wstring(300, L'x') + L"\\.\\a.ogg";
    EXPECT_EQ(long_path(deep), L"\\\\?\\C:\\Games\\" + std::wstring(300, L'x') + L"\\a.ogg");
    EXPECT_EQ(long_path(L"\\\\server\\share\\" + std::wstring(300, L'y')),
              L"\\\\?\\UNC\\server\\share\\" + std::wstring(300, L'y'));
}

// Windows folders ignore case, so readme.txt and README.Txt cannot sit side by side: the rows
// share one family of names. "*" is a wildcard only as the whole filter.
TEST(FileList, SelectsByWholeFiltersIgnoringAsciiCase)
{
    const std::vector<std::wstring> family = {L"README.Txt", L"readme.txt.bak", L"readme.text", L"LICENSE",
                                              L"notes.txt", L"Ｒｅａｄｍｅ.txt"};
    const struct {
        const wchar_t* name_filter;
        const wchar_t* extension_filter;
        std::vector<std::wstring> expected;
    } rows[] = {
        {L"Readme", L"TXT", {L"README.Txt"}},
        {L"*", L"txt", {L"README.Txt", L"notes.txt", L"Ｒｅａｄｍｅ.txt"}},
        {L"*", L"*", family},
        {L"readme.txt", L"bak", {L"readme.txt.bak"}},
        {L"read*", L"txt", {}},
        {L"readm?", L"txt", {}},
        {L"license", L"", {L"LICENSE"}},
        {L"ｒｅａｄｍｅ", L"txt", {}},
    };
    Ctemp_folder tree;
    for (size_t i = 0; i < family.size(); ++i)
        write_bytes(tree / family[i], std::string(i + 1, 'x'));  // sizes tell which files were counted
    CreateDirectoryW((tree / L"sub").c_str(), nullptr);
    write_bytes(tree / L"sub\\inner.txt", "never listed");
    SetFileAttributesW((tree / L"notes.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(row.name_filter) + L" " + row.extension_filter));
        Cfile_list lister;
        lister.total_size = 1000;  // a listing adds to the running total
        EXPECT_EQ(lister.list(tree.path, row.name_filter, row.extension_filter), !row.expected.empty());
        std::vector<std::wstring> listed;
        for (const Cfile_entry& entry : lister.entries)
            listed.push_back(entry.path);
        std::sort(listed.begin(), listed.end());
        std::vector<std::wstring> expected = row.expected;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(listed, expected);
        uint64_t total = 1000;
        for (const std::wstring& name : row.expected)
            total += std::find(family.begin(), family.end(), name) - family.begin() + 1;
        EXPECT_EQ(lister.total_size, total);
    }
    Cfile_list missing;
    EXPECT_FALSE(missing.list(tree / L"no such folder", L"*", L"*"));
}

// The size comes whole from the find data's two halves; a 32-bit size would show 1 GiB.
TEST(FileList, SizeOfAFileOverFourGigabytes)
{
    const uint64_t five_gib = 5ull << 30;
    Ctemp_folder tree;
    HANDLE file = CreateFileW((tree / L"movie.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    DWORD returned = 0;
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(five_gib);
    ASSERT_TRUE(DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr) &&
                SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
    CloseHandle(file);
    Cfile_list lister;
    lister.list(tree.path, L"movie", L"bin");
    ASSERT_EQ(lister.entries.size(), 1u);
    EXPECT_EQ(lister.entries[0].size, five_gib);
    EXPECT_EQ(lister.total_size, five_gib);
}

// Wine cannot start a program from a path longer than MAX_PATH, so the growing loop is tested by
// starting from buffers far shorter than the real path.
TEST(ModulePath, GrowsUntilTheWholePathFits)
{
    const std::wstring whole = read_module_path(nullptr, 32768);
    ASSERT_GT(whole.size(), 20u);
    for (size_t first_capacity : {size_t{1}, whole.size() - 1, whole.size()})
        EXPECT_EQ(read_module_path(nullptr, first_capacity), whole) << first_capacity;
}
