#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fs/file_list.h"
#include "support/temp_folder.h"

namespace {

std::vector<std::wstring> listed_paths(const Cfile_list& lister)
{
    std::vector<std::wstring> paths;
    for (const Cfile_entry& entry : lister.entries)
        paths.push_back(entry.path);
    std::sort(paths.begin(), paths.end());
    return paths;
}

} // namespace

TEST(FileList, EmptyOrMissingFolderListsNothingAndKeepsTheTotal)
{
    Ctemp_folder tree;
    for (const std::wstring& folder : {tree.make_folder(L"empty"), tree / L"missing"}) {
        Cfile_list lister;
        lister.total_size = 7;
        EXPECT_FALSE(lister.list(folder, L"*", L"*"));
        EXPECT_TRUE(lister.entries.empty());
        EXPECT_EQ(lister.total_size, 7u);
    }
}

// Hidden, system and read-only files are listed; folders and what is inside them are not. Each
// list replaces the entries but adds to the running total.
TEST(FileList, ListsEveryPlainFileDirectlyInside)
{
    Ctemp_folder tree;
    tree.lay_out({L"a\\", L"a\\sub\\", L"a\\sub\\deep.ogg", L"b\\"});
    SetFileAttributesW(tree.make_file(L"a\\hidden.dat", "ab").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW(tree.make_file(L"a\\system.dat", "abc").c_str(), FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW(tree.make_file(L"a\\locked.dat", "abcd").c_str(), FILE_ATTRIBUTE_READONLY);
    tree.make_file(L"b\\two.dat", "12345");

    Cfile_list lister;
    lister.total_size = 100;
    EXPECT_TRUE(lister.list(tree / L"a", L"*", L"*"));
    EXPECT_EQ(listed_paths(lister), (std::vector<std::wstring>{L"hidden.dat", L"locked.dat", L"system.dat"}));
    EXPECT_EQ(lister.total_size, 109u);
    EXPECT_EQ(lister.root, tree / L"a\\");
    for (const Cfile_entry& entry : lister.entries)
        EXPECT_FALSE(entry.is_folder);
    lister.list(tree / L"b", L"*", L"*");
    EXPECT_EQ(listed_paths(lister), (std::vector<std::wstring>{L"two.dat"}));
    EXPECT_EQ(lister.total_size, 114u);
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
    Ctemp_folder tree;
    for (size_t i = 0; i < row.files.size(); ++i)
        tree.make_file(row.files[i], std::string(i + 1, 'x'));

    Cfile_list lister;
    const bool found = lister.list(tree.path, row.name_filter, row.extension_filter);

    std::vector<std::wstring> expected = row.expected;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed_paths(lister), expected);
    EXPECT_EQ(found, !row.expected.empty());
    uint64_t expected_total = 0;
    for (const std::wstring& name : row.expected)
        expected_total += (std::find(row.files.begin(), row.files.end(), name) - row.files.begin()) + 1;
    EXPECT_EQ(lister.total_size, expected_total);
}

const std::vector<std::wstring> readme_family = {
    L"readme.txt", L"readme.txt.bak", L"readme.text", L"LICENSE", L"notes.txt", L"a.TXT", L"Ｒｅａｄｍｅ.txt",
};

INSTANTIATE_TEST_SUITE_P(
    Rows, FileListFilter,
    ::testing::Values(
        Cfilter_case{L"Readme", L"TXT", readme_family, {L"readme.txt"}},
        Cfilter_case{L"readme", L"txt", {L"README.Txt", L"notes.txt"}, {L"README.Txt"}},
        Cfilter_case{L"*", L"txt", readme_family, {L"readme.txt", L"notes.txt", L"a.TXT", L"Ｒｅａｄｍｅ.txt"}},
        Cfilter_case{L"*", L"*", readme_family, readme_family},
        Cfilter_case{L"readme.txt", L"bak", readme_family, {L"readme.txt.bak"}},
        Cfilter_case{L"readme", L"*", readme_family, {L"readme.txt", L"readme.text"}},
        // "*" and "?" inside a longer filter are plain characters, not wildcards.
        Cfilter_case{L"read*", L"txt", readme_family, {}},
        Cfilter_case{L"*", L"t*t", readme_family, {}},
        Cfilter_case{L"readm?", L"txt", readme_family, {}},
        Cfilter_case{L"**", L"*", readme_family, {}},
        // A name without a dot has an empty extension.
        Cfilter_case{L"license", L"", readme_family, {L"LICENSE"}},
        Cfilter_case{L"LICENSE", L"txt", readme_family, {}},
        Cfilter_case{L"*", L"", readme_family, {L"LICENSE"}},
        // Only A to Z are folded: a full-width name matches only itself.
        Cfilter_case{L"Ｒｅａｄｍｅ", L"txt", readme_family, {L"Ｒｅａｄｍｅ.txt"}},
        Cfilter_case{L"ｒｅａｄｍｅ", L"txt", readme_family, {}}));

// The size must come whole from the find data's two halves; a 32-bit size would show 1 GiB.
TEST(FileList, SizeOfAFileOverFourGigabytes)
{
    constexpr uint64_t five_gib = 5ull << 30;
    Ctemp_folder tree;
    tree.make_file(L"small.dat", "12");
    ASSERT_TRUE(tree.make_sparse_file(L"movie.bin", five_gib));

    Cfile_list lister;
    lister.list(tree.path, L"movie", L"bin");
    ASSERT_EQ(lister.entries.size(), 1u);
    EXPECT_EQ(lister.entries[0].size, five_gib);
    EXPECT_EQ(lister.total_size, five_gib);
    Cfile_list everything;
    everything.list(tree.path, L"*", L"*");
    EXPECT_EQ(everything.total_size, five_gib + 2);
}
