#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fs/file_list.h"
#include "support/scratch_tree.h"

namespace {

std::vector<std::wstring> listed_paths(const Cfile_list& lister)
{
    std::vector<std::wstring> paths;
    for (const Cfile_entry& entry : lister.entries)
        paths.push_back(entry.path);
    return paths;
}

std::vector<std::wstring> sorted(std::vector<std::wstring> paths)
{
    std::sort(paths.begin(), paths.end());
    return paths;
}

uint64_t allocated_bytes(const std::wstring& path)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    FILE_STANDARD_INFO info = {};
    const bool known = file != INVALID_HANDLE_VALUE &&
                       GetFileInformationByHandleEx(file, FileStandardInfo, &info, sizeof info);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return known ? static_cast<uint64_t>(info.AllocationSize.QuadPart) : UINT64_MAX;
}

} // namespace

TEST(FileList, EmptyFolderListsNothingAndKeepsTheTotal)
{
    Cscratch_tree tree;
    tree.make_folder(L"empty");
    Cfile_list lister;
    lister.total_size = 7;
    EXPECT_FALSE(lister.list(tree.path(L"empty"), L"*", L"*"));
    EXPECT_TRUE(lister.entries.empty());
    EXPECT_EQ(lister.total_size, 7u);
}

TEST(FileList, MissingFolderIsLikeAnEmptyOne)
{
    Cscratch_tree tree;
    Cfile_list lister;
    lister.total_size = 7;
    EXPECT_FALSE(lister.list(tree.path(L"missing"), L"*", L"*"));
    EXPECT_TRUE(lister.entries.empty());
    EXPECT_EQ(lister.total_size, 7u);
}

TEST(FileList, ListsOnlyThePlainFilesDirectlyInside)
{
    Cscratch_tree tree;
    tree.make_folder(L"bgm");
    tree.make_file(L"bgm\\one.ogg", "12345");
    tree.make_file(L"bgm\\two.ogg", "123");
    tree.make_folder(L"bgm\\sub");
    tree.make_file(L"bgm\\sub\\deep.ogg", "1234567");

    Cfile_list lister;
    EXPECT_TRUE(lister.list(tree.path(L"bgm"), L"*", L"*"));
    EXPECT_EQ(sorted(listed_paths(lister)), (std::vector<std::wstring>{L"one.ogg", L"two.ogg"}));
    EXPECT_EQ(lister.total_size, 8u);
    for (const Cfile_entry& entry : lister.entries)
        EXPECT_FALSE(entry.is_folder);
    EXPECT_EQ(lister.root, tree.path(L"bgm") + L"\\");
}

TEST(FileList, KeepsTheOrderTheFileSystemGives)
{
    Cscratch_tree tree;
    tree.make_folder(L"data");
    for (const wchar_t* name : {L"m.dat", L"B.dat", L"z.dat", L"a.dat", L"Q.dat", L"c.dat"})
        tree.make_file(std::wstring(L"data\\") + name, "x");

    std::vector<std::wstring> enumerated;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(tree.path(L"data\\*").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    do {
        if (wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0)
            enumerated.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);

    Cfile_list lister;
    lister.list(tree.path(L"data"), L"*", L"*");
    EXPECT_EQ(listed_paths(lister), enumerated);
}

// Windows folders ignore case, so readme.txt and README.Txt cannot sit side by side: each row
// brings its own files. A file's size is its position in the row + 1, so the total shows which
// files were counted.
struct Cfilter_case {
    const wchar_t* name_filter;
    const wchar_t* extension_filter;
    std::vector<std::wstring> files;
    std::vector<std::wstring> expected;
};

class FileListFilter : public ::testing::TestWithParam<Cfilter_case> {};

TEST_P(FileListFilter, ComparesWholeFiltersIgnoringAsciiCase)
{
    const Cfilter_case& row = GetParam();
    Cscratch_tree tree;
    tree.make_folder(L"src");
    for (size_t i = 0; i < row.files.size(); ++i)
        tree.make_file(L"src\\" + row.files[i], std::string(i + 1, 'x'));

    Cfile_list lister;
    const bool found = lister.list(tree.path(L"src"), row.name_filter, row.extension_filter);

    EXPECT_EQ(sorted(listed_paths(lister)), sorted(row.expected));
    EXPECT_EQ(found, !row.expected.empty());
    uint64_t expected_total = 0;
    for (const std::wstring& name : row.expected)
        expected_total += (std::find(row.files.begin(), row.files.end(), name) - row.files.begin()) + 1;
    EXPECT_EQ(lister.total_size, expected_total);
}

const std::vector<std::wstring> readme_family = {
    L"readme.txt", L"readme.txt.bak", L"readme.text", L"LICENSE", L"notes.txt", L"a.TXT", L"Ｒｅａｄｍｅ.txt",
};
const std::vector<std::wstring> upper_readme_family = {
    L"README.Txt", L"readme.txt.bak", L"readme.text", L"LICENSE", L"notes.txt", L"a.TXT", L"Ｒｅａｄｍｅ.txt",
};

INSTANTIATE_TEST_SUITE_P(
    Rows, FileListFilter,
    ::testing::Values(
        Cfilter_case{L"Readme", L"TXT", readme_family, {L"readme.txt"}},
        Cfilter_case{L"Readme", L"TXT", upper_readme_family, {L"README.Txt"}},
        Cfilter_case{L"readme", L"txt", upper_readme_family, {L"README.Txt"}},
        Cfilter_case{L"*", L"txt", upper_readme_family, {L"README.Txt", L"notes.txt", L"a.TXT", L"Ｒｅａｄｍｅ.txt"}},
        Cfilter_case{L"*", L"*", readme_family, readme_family},
        Cfilter_case{L"readme.txt", L"bak", readme_family, {L"readme.txt.bak"}},
        Cfilter_case{L"readme", L"*", readme_family, {L"readme.txt", L"readme.text"}},
        // "*" and "?" inside a longer filter are plain characters, not wildcards.
        Cfilter_case{L"read*", L"txt", readme_family, {}},
        Cfilter_case{L"*", L"t*t", readme_family, {}},
        Cfilter_case{L"readm?", L"txt", readme_family, {}},
        Cfilter_case{L"**", L"*", readme_family, {}},
        // A name without a dot has an empty extension.
        Cfilter_case{L"LICENSE", L"*", readme_family, {L"LICENSE"}},
        Cfilter_case{L"license", L"", readme_family, {L"LICENSE"}},
        Cfilter_case{L"LICENSE", L"txt", readme_family, {}},
        Cfilter_case{L"*", L"", readme_family, {L"LICENSE"}},
        // Only A to Z are folded: a full-width name matches only itself.
        Cfilter_case{L"Ｒｅａｄｍｅ", L"txt", readme_family, {L"Ｒｅａｄｍｅ.txt"}},
        Cfilter_case{L"ｒｅａｄｍｅ", L"txt", readme_family, {}}));

TEST(FileList, ListsHiddenSystemAndReadOnlyFiles)
{
    Cscratch_tree tree;
    tree.make_folder(L"src");
    const std::wstring hidden = tree.make_file(L"src\\hidden.dat", "ab");
    const std::wstring system = tree.make_file(L"src\\system.dat", "abc");
    const std::wstring read_only = tree.make_file(L"src\\locked.dat", "abcd");
    ASSERT_TRUE(SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesW(system.c_str(), FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesW(read_only.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_NE(GetFileAttributesW(hidden.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);

    Cfile_list lister;
    lister.list(tree.path(L"src"), L"*", L"dat");
    EXPECT_EQ(sorted(listed_paths(lister)),
              (std::vector<std::wstring>{L"hidden.dat", L"locked.dat", L"system.dat"}));
    EXPECT_EQ(lister.total_size, 9u);
}

TEST(FileList, ListAddsToTheRunningTotalAndReplacesTheEntries)
{
    Cscratch_tree tree;
    tree.make_folder(L"a");
    tree.make_file(L"a\\one.dat", "123");
    tree.make_folder(L"b");
    tree.make_file(L"b\\two.dat", "12345");

    Cfile_list lister;
    lister.total_size = 100;
    lister.list(tree.path(L"a"), L"*", L"*");
    EXPECT_EQ(lister.total_size, 103u);
    lister.list(tree.path(L"b"), L"*", L"*");
    EXPECT_EQ(listed_paths(lister), (std::vector<std::wstring>{L"two.dat"}));
    EXPECT_EQ(lister.total_size, 108u);
}

TEST(FileList, ScanDescendsAndListsFoldersWhenAsked)
{
    Cscratch_tree tree;
    tree.make_folder(L"top");
    tree.make_folder(L"top\\sub");
    tree.make_file(L"top\\sub\\inner.dat", "1234");

    Cfile_list lister;
    lister.root = tree.path(L"top") + L"\\";
    lister.name_filter = L"*";
    lister.extension_filter = L"*";
    lister.descend = true;
    lister.list_files = true;
    lister.list_folders = true;
    lister.scan(L"");
    ASSERT_EQ(lister.entries.size(), 2u);
    EXPECT_EQ(lister.entries[0].path, L"sub");
    EXPECT_TRUE(lister.entries[0].is_folder);
    EXPECT_EQ(lister.entries[1].path, L"sub\\inner.dat");
    EXPECT_EQ(lister.entries[1].size, 4u);
}

// The size must come whole from the find data's two halves; a 32-bit size would show 1 GiB.
TEST(FileList, SizeOfAFileOverFourGigabytes)
{
    constexpr uint64_t five_gib = 5ull << 30;
    Cscratch_tree tree;
    tree.make_folder(L"big");
    tree.make_file(L"big\\small.dat", "12");
    const std::wstring big = tree.path(L"big\\movie.bin");
    const HANDLE file = CreateFileW(big.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD returned = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(five_gib);
    const bool sized = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    ASSERT_TRUE(sized);
    // The file must stay sparse: the test is not allowed to fill the disk.
    ASSERT_LT(allocated_bytes(big), 64ull << 20);

    Cfile_list lister;
    lister.list(tree.path(L"big"), L"movie", L"bin");
    ASSERT_EQ(lister.entries.size(), 1u);
    EXPECT_EQ(lister.entries[0].size, five_gib);
    EXPECT_EQ(lister.total_size, five_gib);

    Cfile_list everything;
    everything.list(tree.path(L"big"), L"*", L"*");
    EXPECT_EQ(everything.total_size, five_gib + 2);
}
