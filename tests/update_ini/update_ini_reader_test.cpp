// update.ini read from real files, written byte for byte the way publishers save them.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/update_data.h"
#include "settings_text.h"
#include "support/recorded_boxes.h"
#include "support/temp_folder.h"
#include "update_ini/update_ini_lines.h"
#include "update_ini/update_settings.h"

using namespace std::string_literals;

namespace {

// A complete update.ini of a Japanese game as its publisher writes it, in Shift-JIS, where
// several trail bytes (ソ, 表, 能, 十) are 0x5C, the backslash.
std::string japanese_update(const std::string& line_end)
{
    const wchar_t* const lines[] = {
        L"// 星空のソナタ update 1.01", L"GAME_NAME = \"星空のソナタ\"", L"REG_NAME = \"HoshizoraSonata\"", L"",
        L"BGM_UPDATE = 1", L"KOE_UPDATE = 0", L"MOV_UPDATE = -1", L"BGM_FOLDER = \"音楽\\表示\"",
        L"KOE_FOLDER = \"voice\"", L"MOV_FOLDER = \"movie\"", L"COPY_FOLDER_COUNT = 2",
        L"COPY_FOLDER_00 = \"ソース\"", L"COPY_FOLDER_01 = \"セーブ十\"", L"COPY_FILE_COUNT = 1",
        L"COPY_FILE_00 = \"データ\\能力表.dat\"",
    };
    std::string text;
    for (const wchar_t* line : lines)
        text += shift_jis(line) + line_end;
    return text;
}

// The fields a row expects to differ from the defaults, as key and value.
using Cfields = std::vector<std::pair<std::wstring, std::wstring>>;

const Cfields JAPANESE_UPDATE = {
    {L"GAME_NAME", L"星空のソナタ"}, {L"REG_NAME", L"HoshizoraSonata"}, {L"BGM_UPDATE", L"1"},
    {L"MOV_UPDATE", L"-1"}, {L"BGM_FOLDER", L"音楽\\表示"}, {L"KOE_FOLDER", L"voice"},
    {L"MOV_FOLDER", L"movie"}, {L"COPY_FOLDER_COUNT", L"2"}, {L"COPY_FOLDER_00", L"ソース"},
    {L"COPY_FOLDER_01", L"セーブ十"}, {L"COPY_FILE_COUNT", L"1"}, {L"COPY_FILE_00", L"データ\\能力表.dat"},
};

// The defaults' settings_text with these fields' lines rewritten; named without the program's table.
std::wstring settings_text_with(const Cfields& fields)
{
    std::wstring text = L"\n" + settings_text(Cupdate_settings());
    for (const auto& field : fields) {
        const size_t start = text.find(L"\n" + field.first + L" = ") + 1;
        const size_t value = start + field.first.size() + 3;
        const size_t end = text.find(L'\n', value);
        const bool quoted = text[value] == L'"';
        text.replace(value, end - value, quoted ? L'"' + field.second + L'"' : field.second);
    }
    return text.substr(1);
}

struct Cfile_case {
    const char* name;
    std::string bytes;
    Cfields expected = {};
};

void run_file_cases(const std::vector<Cfile_case>& cases)
{
    for (const Cfile_case& row : cases) {
        SCOPED_TRACE(row.name);
        Ctemp_folder folder(L"update_ini", Ctemp_folder::CURRENT_DIRECTORY);
        ASSERT_TRUE(write_bytes(L"update.ini", row.bytes));
        Crecorded_boxes boxes;
        g_update.source_root.clear();
        reset_update_settings();

        EXPECT_TRUE(read_update_ini());

        EXPECT_EQ(settings_text(g_update.settings), settings_text_with(row.expected));
        EXPECT_EQ(g_update.source_root, L"GAMEDATA");
        EXPECT_TRUE(boxes.boxes.empty());
    }
}

}  // namespace

TEST(UpdateIniReader, LineEndsAndEncodingsAsSaved)
{
    const std::string japanese_crlf = japanese_update("\r\n");
    run_file_cases({
        {"Shift-JIS with CR LF", japanese_crlf, JAPANESE_UPDATE},
        {"Shift-JIS with LF", japanese_update("\n"), JAPANESE_UPDATE},
        {"no line end after the last line", japanese_crlf.substr(0, japanese_crlf.size() - 2), JAPANESE_UPDATE},
        {"CR only: one line, only its start counts", "GAME_NAME = \"A\"\rREG_NAME = \"B\"\rBGM_UPDATE = 1\r",
         {{L"GAME_NAME", L"A"}}},
        {"CR only starting with a comment", "// update\rGAME_NAME = \"A\"\r"},
        {"UTF-8 byte-order mark spoils the first line", "\xEF\xBB\xBFGAME_NAME = \"A\"\r\nREG_NAME = \"B\"\r\n",
         {{L"REG_NAME", L"B"}}},
        {"UTF-16 with byte-order mark", "\xFF\xFEG\0A\0M\0E\0_\0N\0A\0M\0E\0=\0\"\0A\0\"\0\r\0\n\0"s},
        {"UTF-16 without byte-order mark", "G\0A\0M\0E\0_\0N\0A\0M\0E\0=\0\"\0A\0\"\0\r\0\n\0"s},
        {"0x1A ends the text", "GAME_NAME = \"A\"\r\n\x1AREG_NAME = \"B\"\r\n",
         {{L"GAME_NAME", L"A"}}},
        {"0x1A inside a value leaves it unclosed", "GAME_NAME = \"A\x1A\"\r\nREG_NAME = \"B\"\r\n"},
        {"a zero byte ends the text", "GAME_NAME = \"A\"\r\n\0REG_NAME = \"B\"\r\n"s,
         {{L"GAME_NAME", L"A"}}},
        {"empty file", ""},
        {"only line ends", "\r\n\r\n\n"},
    });
}

TEST(UpdateIniReader, LinesThatAreNotEntries)
{
    run_file_cases({
        {"indented by a blank or a tab", " GAME_NAME = \"A\"\r\n\tREG_NAME = \"B\"\r\n"},
        {"lower-case and mixed-case keys", "game_name = \"A\"\r\nBgm_Update = 1\r\nbgm_update = 1\r\n"},
        {"comment even when a key follows", "//GAME_NAME = \"A\"\r\n// REG_NAME = \"B\"\r\n"},
        {"section header and unknown keys", "[UPDATE]\r\nGAME = \"A\"\r\nGAME_NAMES = \"A\"\r\nBGM_UPDATES = 1\r\n"},
        {"full-width spaces around =", "GAME_NAME\xE3\x80\x80=\xE3\x80\x80\"A\"\r\n"
                                       "REG_NAME\x81\x40=\x81\x40\"B\"\r\n"},
        {"unquoted and half-quoted values", "GAME_NAME = A\r\nREG_NAME = \"B\r\nBGM_FOLDER = B\"\r\n"},
        {"malformed numbers", "BGM_UPDATE = --1\r\nKOE_UPDATE = \"1\"\r\nMOV_UPDATE = +\r\nCOPY_FILE_COUNT = one\r\n"},
        {"the line ends before the value", "GAME_NAME =\r\nBGM_UPDATE = \r\nREG_NAME\r\n"},
        {"numbered keys 10 and single digits", "COPY_FOLDER_10 = \"a\"\r\nCOPY_FOLDER_1 = \"b\"\r\nCOPY_FILE_9 = \"c\"\r\n"
                                               "COPY_FILE_010 = \"d\"\r\n"},
    });
}

TEST(UpdateIniReader, EntriesAndWhatFollowsThem)
{
    run_file_cases({
        {"no blanks, tabs, signs apart from digits",
         "GAME_NAME=\"A\"\r\nREG_NAME\t=\t\"B\"\r\nBGM_UPDATE=- 2\r\nKOE_UPDATE = +\t3\r\n",
         {{L"GAME_NAME", L"A"}, {L"REG_NAME", L"B"}, {L"BGM_UPDATE", L"-2"}, {L"KOE_UPDATE", L"3"}}},
        {"trailing remarks", "BGM_UPDATE = 1 // BGM too\r\nGAME_NAME = \"A\" ; name\r\nCOPY_FOLDER_COUNT = 3folders\r\n"
                             "COPY_FILE_00 = \"x.dat\"// file\r\n",
         {{L"BGM_UPDATE", L"1"}, {L"GAME_NAME", L"A"}, {L"COPY_FOLDER_COUNT", L"3"}, {L"COPY_FILE_00", L"x.dat"}}},
        {"values hold blanks, = and //", "GAME_NAME = \" A = B // C \"\r\nREG_NAME = \"%s%d%%\"\r\n",
         {{L"GAME_NAME", L" A = B // C "}, {L"REG_NAME", L"%s%d%%"}}},
        {"the later line wins", "GAME_NAME = \"A\"\r\nGAME_NAME = \"B\"\r\nCOPY_FOLDER_00 = \"x\"\r\nCOPY_FOLDER_00 = \"y\"\r\n"
                                "BGM_UPDATE = 1\r\nBGM_UPDATE = 0\r\n",
         {{L"GAME_NAME", L"B"}, {L"COPY_FOLDER_00", L"y"}}},
        {"a malformed later line changes nothing", "GAME_NAME = \"A\"\r\nGAME_NAME = \"B\r\nBGM_UPDATE = 7\r\nBGM_UPDATE = x\r\n",
         {{L"GAME_NAME", L"A"}, {L"BGM_UPDATE", L"7"}}},
        {"empty quotes empty the field", "GAME_NAME = \"A\"\r\nGAME_NAME = \"\"\r\n"},
        {"numbers wrap", "COPY_FOLDER_COUNT = 4294967297\r\nCOPY_FILE_COUNT = 2147483648\r\n",
         {{L"COPY_FOLDER_COUNT", L"1"}, {L"COPY_FILE_COUNT", L"-2147483648"}}},
        {"every numbered key", "COPY_FOLDER_09 = \"f9\"\r\nCOPY_FILE_09 = \"g9\"\r\nCOPY_FOLDER_05 = \"f5\"\r\n"
                               "COPY_FILE_00 = \"g0\"\r\n",
         {{L"COPY_FOLDER_09", L"f9"}, {L"COPY_FILE_09", L"g9"}, {L"COPY_FOLDER_05", L"f5"}, {L"COPY_FILE_00", L"g0"}}},
        // The numbered templates go on from where the previous one stopped, each tried once.
        {"numbered entries run together on one line", "COPY_FOLDER_00 = \"a\"COPY_FOLDER_01 = \"b\"COPY_FILE_03=\"c\"\r\n"
                                                      "COPY_FOLDER_05 = \"d\"COPY_FOLDER_04 = \"e\"\r\n"
                                                      "COPY_FOLDER_06 = \"f\" COPY_FOLDER_07 = \"g\"\r\n",
         {{L"COPY_FOLDER_00", L"a"}, {L"COPY_FOLDER_01", L"b"}, {L"COPY_FILE_03", L"c"}, {L"COPY_FOLDER_05", L"d"}, {L"COPY_FOLDER_06", L"f"}}},
        {"a key entry takes only one key", "GAME_NAME = \"A\"REG_NAME = \"B\"\r\n",
         {{L"GAME_NAME", L"A"}}},
        {"counts beyond the ten entries are kept as read", "COPY_FOLDER_COUNT = 11\r\nCOPY_FILE_COUNT = -3\r\n",
         {{L"COPY_FOLDER_COUNT", L"11"}, {L"COPY_FILE_COUNT", L"-3"}}},
    });
}

TEST(UpdateIniReader, ResetReturnsEveryFieldButTheSourceRoot)
{
    Cupdate_settings& s = g_update.settings;
    s.GAME_NAME = s.COPY_FOLDER[9] = s.COPY_FILE[0] = L"x";
    s.KOE_UPDATE = s.COPY_FILE_COUNT = 5;
    g_update.source_root = L"GAMEDATA";

    EXPECT_TRUE(reset_update_settings());

    EXPECT_EQ(settings_text(s), settings_text(Cupdate_settings()));
    EXPECT_EQ(g_update.source_root, L"GAMEDATA");
}

// Each key, named here and not from the program's table, fills its own field and nothing else.
TEST(UpdateIniLines, EveryKeyFillsItsOwnFieldAndTheKindOfLineIsTold)
{
    const std::wstring defaults = settings_text(Cupdate_settings());
    size_t keys = 0;
    for (size_t start = 0; start < defaults.size(); start = defaults.find(L'\n', start) + 1, ++keys) {
        const std::wstring key = defaults.substr(start, defaults.find(L" = ", start) - start);
        const bool quoted = defaults[start + key.size() + 3] == L'"';
        SCOPED_TRACE(testing::PrintToString(key));
        Cupdate_settings settings;
        const Cupdate_ini_line_result result =
            apply_update_ini_line(key + (quoted ? L" = \"v\"" : L" = 42"), settings);
        EXPECT_EQ(result.kind, Cupdate_ini_line_kind::entry);
        EXPECT_EQ(result.matched.size(), 1u);
        EXPECT_EQ(settings_text(settings), settings_text_with({{key, quoted ? L"v" : L"42"}}));
    }
    EXPECT_EQ(keys, 30u);

    const struct {
        std::wstring line;
        Cupdate_ini_line_kind kind;
        std::vector<size_t> matched;
    } rows[] = {
        {L"", Cupdate_ini_line_kind::empty, {}},
        {L"//GAME_NAME = \"A\"", Cupdate_ini_line_kind::comment, {}},
        {L" ", Cupdate_ini_line_kind::ignored, {}},
        {L"GAME_NAME = A", Cupdate_ini_line_kind::ignored, {}},
        {L"COPY_FOLDER_00=\"a\"COPY_FILE_09=\"b\"", Cupdate_ini_line_kind::entry, {10, 29}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.line));
        Cupdate_settings settings;
        const Cupdate_ini_line_result result = apply_update_ini_line(row.line, settings);
        EXPECT_EQ(result.kind, row.kind);
        EXPECT_EQ(result.matched, row.matched);
    }
}
