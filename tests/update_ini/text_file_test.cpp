#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>

#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "update_ini/text_file.h"

namespace {

using Lines = std::vector<std::wstring>;

struct Ctext_case {
    const char* name;
    std::string bytes;
    Lines lines;
};

class Text_lines : public testing::TestWithParam<Ctext_case> {};

TEST_P(Text_lines, AreSplitAsTheReaderExpects)
{
    Ctemp_folder folder(L"text-lines");
    const std::wstring path = folder / L"update.ini";
    ASSERT_TRUE(write_bytes(path, GetParam().bytes));

    Lines lines{L"left over"};
    ASSERT_TRUE(read_text_lines(path, lines));
    EXPECT_EQ(lines, GetParam().lines);
}

const std::string sjis_name = "\x83\x8b\x83\x7e\x83\x69\x83\x58\x95\xa8\x8c\xea";  // ルミナス物語

INSTANTIATE_TEST_SUITE_P(Files, Text_lines, testing::Values(
    Ctext_case{"CrLf", "A=1\r\nB=2\r\n", {L"A=1", L"B=2", L""}},
    Ctext_case{"LfOnly", "A=1\nB=2\n", {L"A=1", L"B=2", L""}},
    Ctext_case{"NoFinalLineEnd", "A=1\r\nB=2", {L"A=1", L"B=2"}},
    Ctext_case{"CrOnlyIsOneLine", "A=1\rB=2\r", {L"A=1\rB=2\r"}},
    Ctext_case{"LoneCrKept", "A\r\rB\r\n", {L"A\r\rB", L""}},
    Ctext_case{"Empty", "", {L""}},
    Ctext_case{"ShiftJis", "GAME_NAME = \"" + sjis_name + "\"\r\n", {L"GAME_NAME = \"ルミナス物語\"", L""}},
    Ctext_case{"EndOfFileByteEndsText", "A=1\r\n\x1a" "B=2\r\n", {L"A=1", L""}},
    Ctext_case{"ZeroByteEndsText", std::string("A=1\r\nB\0=2\r\n", 11), {L"A=1", L"B"}},
    Ctext_case{"Utf16WithoutMarkKeepsOneCharacter", std::string("G\0A\0\r\0\n\0", 8), {L"G"}}
), [](const testing::TestParamInfo<Ctext_case>& info) { return std::string(info.param.name); });

TEST(Text_lines, Utf8ByteOrderMarkIsReadAsAnsiCharacters)
{
    Ctemp_folder folder(L"text-bom");
    const std::wstring path = folder / L"update.ini";
    ASSERT_TRUE(write_bytes(path, "\xef\xbb\xbfGAME_NAME = \"x\"\r\nREG_NAME = \"y\"\r\n"));

    Lines lines;
    ASSERT_TRUE(read_text_lines(path, lines));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[0].rfind(L"GAME_NAME", 0), 0u) << "the mark must stay in front of the key";
    EXPECT_EQ(lines[1], L"REG_NAME = \"y\"");
}

TEST(Text_lines, Utf16FromNotepadKeepsOnlyWhatPrecedesItsFirstZero)
{
    Ctemp_folder folder(L"text-utf16");
    const std::wstring path = folder / L"update.ini";
    ASSERT_TRUE(write_bytes(path, std::string("\xff\xfeG\0A\0M\0E\0", 10)));

    Lines lines;
    ASSERT_TRUE(read_text_lines(path, lines));
    ASSERT_EQ(lines.size(), 1u);
    ASSERT_FALSE(lines[0].empty());
    EXPECT_EQ(lines[0].back(), L'G');
    EXPECT_EQ(lines[0].find(L'A'), std::wstring::npos);
}

TEST(Text_lines, MissingFileOrFolderFailsAndLeavesNoLines)
{
    Ctemp_folder folder(L"text-missing");
    Lines lines{L"left over"};
    EXPECT_FALSE(read_text_lines(folder / L"update.ini", lines));
    EXPECT_TRUE(lines.empty());
    EXPECT_FALSE(read_text_lines(folder.path, lines));
    EXPECT_TRUE(lines.empty());
}

TEST(Code_page, ConversionsUseTheJapaneseAnsiCodePage)
{
    ASSERT_EQ(GetACP(), 932u) << "the tests must run with LC_ALL=ja_JP.UTF-8";
    EXPECT_EQ(to_wide(sjis_name), L"ルミナス物語");
    EXPECT_EQ(to_narrow(L"ルミナス物語"), sjis_name);
    EXPECT_EQ(to_wide(to_narrow(L"C:\\ゲーム\\データ")), L"C:\\ゲーム\\データ");
}

TEST(Code_page, EmptyAndZeroBytesEndTheText)
{
    EXPECT_EQ(to_wide(""), L"");
    EXPECT_EQ(to_narrow(L""), "");
    EXPECT_EQ(to_wide(std::string("ab\0cd", 5)), L"ab");
    EXPECT_EQ(to_narrow(std::wstring(L"ab\0cd", 5)), "ab");
}

TEST(Format_text, PadsNumberedKeysToTwoDigits)
{
    EXPECT_EQ(format_text(L"COPY_FILE_%02d", 0), L"COPY_FILE_00");
    EXPECT_EQ(format_text(L"COPY_FILE_%02d", 9), L"COPY_FILE_09");
    EXPECT_EQ(format_text(L"COPY_FILE_%02d", 10), L"COPY_FILE_10");
    EXPECT_EQ(format_text(L"%02d", -1), L"-1");
}

TEST(Format_text, OverlongResultIsCutNotFatal)
{
    const std::wstring long_text(3000, L'x');
    EXPECT_EQ(format_text(L"%ls", long_text.c_str()), long_text.substr(0, 1023));
}

TEST(File_handle, MeasuresSizeAndClosesOnEveryPath)
{
    Ctemp_folder folder(L"file-handle");
    const std::wstring path = folder / L"data.bin";
    ASSERT_TRUE(write_bytes(path, std::string(12345, 'z')));

    Cfile_handle file;
    ASSERT_TRUE(open_file(file, path, L"rb"));
    EXPECT_EQ(file.size, 12345u);
    EXPECT_EQ(_ftelli64(file.stream), 0) << "the stream must be back at the start";
    EXPECT_TRUE(close_file(file));
    EXPECT_EQ(file.stream, nullptr);
    EXPECT_EQ(file.size, 0u);

    EXPECT_FALSE(open_file(file, folder / L"missing.bin", L"rb"));
    EXPECT_EQ(file.stream, nullptr);
}

TEST(File_handle, SizeIsSixtyFourBits)
{
    Ctemp_folder folder(L"file-handle-large");
    const std::wstring path = folder / L"large.bin";
    HANDLE created = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(created, INVALID_HANDLE_VALUE);
    DWORD returned = 0;
    DeviceIoControl(created, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    LARGE_INTEGER five_gib;
    five_gib.QuadPart = 5LL << 30;
    ASSERT_TRUE(SetFilePointerEx(created, five_gib, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(created));
    CloseHandle(created);

    Cfile_handle file;
    ASSERT_TRUE(open_file(file, path, L"rb"));
    EXPECT_EQ(file.size, 5ULL << 30);
}

TEST(File_handle, ReadersShareAWriterDoesNot)
{
    Ctemp_folder folder(L"file-handle-share");
    const std::wstring path = folder / L"shared.bin";
    ASSERT_TRUE(write_bytes(path, "abc"));

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
