// update.ini from the line matcher up: templates against lines, whole files as publishers save
// them, and a seeded run of random and mutated lines. Built with the standard library's bounds
// checks, so that a read past the end of a line stops the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "unit_support.h"
#include "update_ini/text_scanner.h"
#include "update_ini/update_ini_lines.h"
#include "update_ini/update_ini_reader.h"

using namespace std::string_literals;

namespace {

// The whole record, one field a line, named here and not from the program's table.
std::wstring settings_text(const Cupdate_settings& s)
{
    std::wstring text = L"GAME_NAME=" + s.GAME_NAME + L"\nREG_NAME=" + s.REG_NAME;
    text += L"\nBGM_UPDATE=" + std::to_wstring(s.BGM_UPDATE) + L"\nKOE_UPDATE=" + std::to_wstring(s.KOE_UPDATE) +
            L"\nMOV_UPDATE=" + std::to_wstring(s.MOV_UPDATE);
    text += L"\nBGM_FOLDER=" + s.BGM_FOLDER + L"\nKOE_FOLDER=" + s.KOE_FOLDER + L"\nMOV_FOLDER=" + s.MOV_FOLDER;
    text += L"\nCOPY_FOLDER_COUNT=" + std::to_wstring(s.COPY_FOLDER_COUNT);
    text += L"\nCOPY_FILE_COUNT=" + std::to_wstring(s.COPY_FILE_COUNT);
    for (int i = 0; i < COPY_ENTRY_LIMIT; ++i)
        text += L"\nCOPY_FOLDER_0" + std::to_wstring(i) + L"=" + s.COPY_FOLDER[i];
    for (int i = 0; i < COPY_ENTRY_LIMIT; ++i)
        text += L"\nCOPY_FILE_0" + std::to_wstring(i) + L"=" + s.COPY_FILE[i];
    return text + L"\n";
}

// The defaults with the given "KEY=value" lines in place of their own.
std::wstring settings_with(const std::vector<std::wstring>& fields)
{
    std::wstring text = L"\n" + settings_text(Cupdate_settings());
    for (const std::wstring& field : fields) {
        const size_t start = text.find(L"\n" + field.substr(0, field.find(L'=') + 1)) + 1;
        text.replace(start, text.find(L'\n', start) - start, field);
    }
    return text.substr(1);
}

}  // namespace

// A template against a line: does it match, where does the scanner stand, and what does the one
// conversion's output hold afterwards (a number starts at 12345, a text at "old").
TEST(LineMatcher, TemplatesAgainstLines)
{
    const struct {
        const wchar_t* pattern;
        std::wstring line;
        bool matches;
        size_t position_after;
        std::wstring output = {};
    } rows[] = {
        {L"A = B", L"A=B", true, 3},
        {L"A = B", L"A \t\n = \n\tB", true, 10},
        {L"A = B", L"a = b", false, 0},            // no case folding
        {L"A ", L"A\t\t", false, 0},               // the space needs a character after the blanks
        {L"A ", L"Ax", true, 1},                   // the empty run of blanks
        {L"A = B", L"A = \r", false, 0},           // CR is not a blank
        {L"//", L" //", false, 0},                 // literals do not skip blanks
        {L"A\tB", L"A B", false, 0},               // a tab matches only a tab
        {L"ABC", L"AB", false, 0},
        {L"=", L"\x3000=", false, 0},              // a full-width space is no blank
        {L"A%%B", L"A%B", false, 0},               // percent pairs other than %d and %s match nothing
        {L"A%", L"A", true, 1},
        {L"", L"GAME_NAME = \"x\"", true, 0},
        {L"%d", L"+5", true, 2, L"5"},
        {L"%d", L"  -  5", true, 6, L"-5"},
        {L"%d", L"+ 7x", true, 3, L"7"},           // letters after the digits are left unread
        {L"%d", L"--5", false, 0, L"12345"},
        {L"%d", L"-", false, 0, L"12345"},
        {L"%d", L"\"5\"", false, 0, L"12345"},
        {L"%d", L"\xFF15", false, 0, L"12345"},    // full-width digit five
        {L"%d", L"2147483648", true, 10, L"-2147483648"},
        {L"%d", L"4294967297", true, 10, L"1"},
        {L"%d", L"99999999999999999999", true, 20, L"1661992959"},
        {L"N = %d", L"N = 1 // remark", true, 5, L"1"},
        {L"N = %d", L"N =", false, 0, L"12345"},
        {L"N = %d;", L"N = 4", false, 0, L"4"},    // stored before the later step failed
        {L"%s", L"\" a b \"", true, 7, L" a b "},
        {L"%s", L"\"a//b = %d %s\"", true, 14, L"a//b = %d %s"},
        {L"%s", L"\"a\\\"", true, 4, L"a\\"},      // a backslash does not escape
        {L"%s", L"\"abc", false, 0, L"old"},
        {L"%s", L"\xFF02" L"abc\xFF02", false, 0, L"old"},
        {L"K = %s", L"K=\"v\" ; remark", true, 5, L"v"},
        {L"K = %s", L"K = \"v", false, 0, L"old"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(row.pattern)) + " on " + testing::PrintToString(row.line));
        Ctext_scanner scanner(row.line, L" \t\n");
        const std::wstring pattern = row.pattern;
        int32_t number = 12345;
        std::wstring text = L"old";
        if (pattern.find(L"%d") != std::wstring::npos) {
            EXPECT_EQ(match_pattern(scanner, pattern, {number}), row.matches);
            EXPECT_EQ(std::to_wstring(number), row.output);
        } else if (pattern.find(L"%s") != std::wstring::npos) {
            EXPECT_EQ(match_pattern(scanner, pattern, {text}), row.matches);
            EXPECT_EQ(text, row.output);
        } else {
            EXPECT_EQ(match_pattern(scanner, pattern), row.matches);
        }
        EXPECT_EQ(scanner.position(), row.position_after);
    }
}

// Whole files written byte for byte as publishers save them, and the record they leave.
TEST(UpdateIniReader, FilesAsSaved)
{
    const std::string japanese = shift_jis(L"GAME_NAME = \"星空のソナタ\"\r\nBGM_FOLDER = \"音楽\\表示\"\r\n");
    const struct {
        const char* name;
        std::string bytes;
        std::vector<std::wstring> fields;
    } rows[] = {
        {"Shift-JIS, CR LF, 0x5C trail bytes", japanese, {L"GAME_NAME=星空のソナタ", L"BGM_FOLDER=音楽\\表示"}},
        {"tabs around the equals sign", shift_jis(L"GAME_NAME\t=\t\"星空\"\r\nBGM_UPDATE\t=\t1\r\n"),
         {L"GAME_NAME=星空", L"BGM_UPDATE=1"}},
        {"LF only, no end after the last line", "GAME_NAME = \"A\"\nREG_NAME = \"B\"", {L"GAME_NAME=A", L"REG_NAME=B"}},
        {"CR only: one line", "GAME_NAME = \"A\"\rREG_NAME = \"B\"\r", {L"GAME_NAME=A"}},
        {"UTF-8 mark spoils the first line", "\xEF\xBB\xBFGAME_NAME = \"A\"\r\nREG_NAME = \"B\"\r\n", {L"REG_NAME=B"}},
        {"UTF-16 without mark", "G\0A\0M\0E\0_\0N\0A\0M\0E\0=\0\"\0A\0\"\0"s, {}},
        {"0x1A ends the text", "GAME_NAME = \"A\"\r\n\x1AREG_NAME = \"B\"\r\n", {L"GAME_NAME=A"}},
        {"a zero byte ends the text, lines after it too", "GAME_NAME = \"A\"\0\r\nREG_NAME = \"B\"\r\n"s,
         {L"GAME_NAME=A"}},
        {"indented, lower case, comment", " GAME_NAME = \"A\"\r\ngame_name = \"A\"\r\n//REG_NAME = \"B\"\r\n", {}},
        {"unquoted, half quoted, no value", "GAME_NAME = A\r\nREG_NAME = \"B\r\nBGM_UPDATE =\r\n", {}},
        {"numbered keys 10 and single digits", "COPY_FOLDER_10 = \"a\"\r\nCOPY_FOLDER_1 = \"b\"\r\n", {}},
        {"the later line wins, a malformed one changes nothing",
         "GAME_NAME = \"A\"\r\nGAME_NAME = \"B\"\r\nGAME_NAME = \"C\r\nBGM_UPDATE = 7\r\nBGM_UPDATE = x\r\n",
         {L"GAME_NAME=B", L"BGM_UPDATE=7"}},
        {"remarks after values", "BGM_UPDATE = 1 // on\r\nCOPY_FOLDER_COUNT = 3folders\r\n",
         {L"BGM_UPDATE=1", L"COPY_FOLDER_COUNT=3"}},
        {"a key line takes one key", "GAME_NAME = \"A\"REG_NAME = \"B\"\r\n", {L"GAME_NAME=A"}},
        // The numbered templates go on from where the previous one stopped, each tried once.
        {"numbered entries run together",
         "COPY_FOLDER_00 = \"a\"COPY_FILE_03=\"c\"\r\nCOPY_FOLDER_05 = \"d\"COPY_FOLDER_04 = \"e\"\r\n",
         {L"COPY_FOLDER_00=a", L"COPY_FILE_03=c", L"COPY_FOLDER_05=d"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Ctemp_folder folder;
        ASSERT_TRUE(write_bytes(folder / L"update.ini", row.bytes));
        Cupdate_settings settings;
        EXPECT_EQ(read_update_ini_file(folder / L"update.ini", settings), L"");
        EXPECT_EQ(settings_text(settings), settings_with(row.fields));
    }
    Cupdate_settings settings;
    EXPECT_EQ(read_update_ini_file(L"Z:\\no\\such\\update.ini", settings), L"update.ini が見つかりませんでした。");
    // Past 16 MiB an update.ini is not read at all: a sparse file of 17 MiB says so.
    Ctemp_folder folder;
    HANDLE file = CreateFileW((folder / L"update.ini").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = 17 << 20;
    ASSERT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
    CloseHandle(file);
    EXPECT_EQ(read_update_ini_file(folder / L"update.ini", settings), L"update.ini が大きすぎるため、読み込めませんでした。");
}

// Each key, spelled here, fills its own field and nothing else.
TEST(UpdateIniLines, EveryKeyFillsItsOwnField)
{
    const std::wstring defaults = settings_text(Cupdate_settings());
    for (size_t start = 0; start < defaults.size(); start = defaults.find(L'\n', start) + 1) {
        const std::wstring key = defaults.substr(start, defaults.find(L'=', start) - start);
        const bool number = key.find(L"UPDATE") != key.npos || key.find(L"COUNT") != key.npos;
        Cupdate_settings settings;
        apply_update_ini_line(key + (number ? L" = 42" : L" = \"v\""), settings);
        EXPECT_EQ(settings_text(settings), settings_with({key + (number ? L"=42" : L"=v")}));
    }
}

// Random units, entries as publishers write them, and such entries cut, grown or spoilt: a field
// changes only through a whole match of its own key, with its quoted value standing in the line.
TEST(UpdateIniLines, RandomAndMutatedLinesChangeFieldsOnlyByWholeMatches)
{
    std::mt19937 random(20261206);
    auto below = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
    const std::wstring units = L" \t\n\r\"%=/+-059ds_A\x1A\x3000\xFF10\xFF02\xD800\xFFFF\x661F"s + L'\0';
    const std::vector<Cupdate_ini_template>& templates = update_ini_templates();
    auto entry = [&] {
        const std::wstring values[] = {std::to_wstring(random()), L"- 12", L"99999999999999999999", L"\"v a\"", L"\"\""};
        return templates[below(templates.size())].key() + std::wstring(below(3), L' ') + L"=" + values[below(5)];
    };
    Cupdate_settings untouched;
    for (const Cupdate_ini_template& t : templates)
        t.number_in(untouched) ? void(*t.number_in(untouched) = 987654321) : void(*t.text_in(untouched) = L"untouched");

    size_t setting_lines = 0;
    for (int i = 0; i < 100000; ++i) {
        std::wstring line = below(3) ? entry() + (below(2) ? entry() : L"") + (below(2) ? L" // x" : L"") : L"";
        for (size_t n = below(4) + (line.empty() ? 1 + below(60) : 0); n > 0; --n) {
            const size_t at = below(line.size() + 1);
            if (below(3) == 0 && at < line.size())
                line.erase(at, 1);
            else
                line.insert(at, 1, below(2) ? units[below(units.size())] : static_cast<wchar_t>(below(0x10000)));
        }
        Cupdate_settings settings = untouched;
        const std::vector<Cupdate_ini_match> matched = apply_update_ini_line(line, settings).matched;
        setting_lines += !matched.empty();
        for (size_t t = 0; t < templates.size(); ++t) {
            const bool number = templates[t].number_in(settings) != nullptr;
            const bool changed = number ? *templates[t].number_in(settings) != 987654321
                                        : *templates[t].text_in(settings) != L"untouched";
            const bool whole = line.find(templates[t].key()) != line.npos &&
                               (number || line.find(L'"' + *templates[t].text_in(settings) + L'"') != line.npos);
            const auto match = std::find_if(matched.begin(), matched.end(), [&](const Cupdate_ini_match& m) { return m.index == t; });
            const std::wstring value = number ? std::to_wstring(*templates[t].number_in(settings)) : *templates[t].text_in(settings);
            ASSERT_TRUE(match != matched.end() ? whole && match->value == value : !changed) << testing::PrintToString(line) << " " << templates[t].key().size();
        }
    }
    EXPECT_GT(setting_lines, 10000u);
}
