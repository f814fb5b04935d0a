// The text and file helpers under the reader; how update.ini's bytes become settings is the
// reader's test, on real files.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "support/temp_folder.h"
#include "update_ini/text_file.h"

namespace {

const std::string sjis_name = "\x83\x8b\x83\x7e\x83\x69\x83\x58\x95\xa8\x8c\xea";  // ルミナス物語

TEST(Text_conversion, UsesTheJapaneseAnsiCodePageAndStopsAtZero)
{
    ASSERT_EQ(GetACP(), 932u) << "the tests must run with LC_ALL=ja_JP.UTF-8";
    EXPECT_EQ(to_wide(sjis_name), L"ルミナス物語");
    EXPECT_EQ(to_narrow(L"ルミナス物語"), sjis_name);
    EXPECT_EQ(to_wide(""), L"");
    EXPECT_EQ(to_wide(std::string("ab\0cd", 5)), L"ab");
    EXPECT_EQ(to_narrow(std::wstring(L"ab\0cd", 5)), "ab");
    EXPECT_EQ(format_text(L"COPY_FILE_%02d", 9), L"COPY_FILE_09");
    const std::wstring long_text(3000, L'x');
    EXPECT_EQ(format_text(L"%ls", long_text.c_str()), long_text.substr(0, 1023)) << "cut, not fatal";
}

// Readers share the file with readers; a writer shares it with no one.
TEST(File_handle, MeasuresSixtyFourBitSizesClosesOnEveryPathAndSharesOnlyReading)
{
    Ctemp_folder folder(L"file-handle");
    const std::wstring path = folder / L"large.bin";
    ASSERT_TRUE(folder.make_sparse_file(L"large.bin", 5ULL << 30));

    Cfile_handle file;
    ASSERT_TRUE(open_file(file, path, L"rb"));
    EXPECT_EQ(file.size, 5ULL << 30);
    EXPECT_EQ(_ftelli64(file.stream), 0) << "the stream must be back at the start";
    EXPECT_TRUE(close_file(file));
    EXPECT_EQ(file.stream, nullptr);
    EXPECT_EQ(file.size, 0u);
    EXPECT_FALSE(open_file(file, folder / L"missing.bin", L"rb"));
    EXPECT_EQ(file.stream, nullptr);

    Cfile_handle reader, second_reader, writer;
    ASSERT_TRUE(open_file(reader, path, L"rb"));
    EXPECT_TRUE(open_file(second_reader, path, L"rb"));
    EXPECT_FALSE(open_file(writer, path, L"wb")) << "readers deny writing";
    close_file(reader);
    close_file(second_reader);
    ASSERT_TRUE(open_file(writer, path, L"wb"));
    EXPECT_FALSE(open_file(reader, path, L"rb")) << "a writer shares nothing";
}

}  // namespace
