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
    text += L"\nCOPY_FOLDER_COUNT=" + std::to_wstring(s.COPY_FOLDER_COUNT) + L"\nCOPY_FILE_COUNT=" + std::to_wstring(s.COPY_FILE_COUNT);
    for (int i = 0; i < COPY_ENTRY_LIMIT; ++i)
        text += L"\nCOPY_FOLDER_0" + std::to_wstring(i) + L"=" + s.COPY_FOLDER[i] + L"\nCOPY_FILE_0" + std::to_wstring(i) + L"=" + s.COPY_FILE[i];
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

// A template against a line: does it match or why does it stop, where does the scanner stand after
// a match or where did the failing step begin (a failed template leaves the scanner where it was),
// what does the one conversion's output hold afterwards (a number starts at 12345, a text at "old"),
// and was the number written outside the 32-bit range.
TEST(LineMatcher, TemplatesAgainstLines)
{
    using F = Cmatch_failure;
    const struct {
        const wchar_t* pattern;
        std::wstring line;
        Cmatch_failure stop;  // none: the template matches
        size_t position;
        std::wstring output = {};
        bool wrapped = false;
    } rows[] = {
        {L"A = B", L"A=B", F::none, 3},
        {L"A = B", L"A \t\n = \n\tB", F::none, 10},
        {L"A = B", L"a = b", F::literal, 0},        // no case folding
        {L"A ", L"A\t\t", F::blanks, 1},           // the space needs a character after the blanks
        {L"A ", L"Ax", F::none, 1},                 // the empty run of blanks
        {L"A = B", L"A = \r", F::literal, 4},       // CR is not a blank
        {L"//", L" //", F::literal, 0},             // literals do not skip blanks
        {L"A\tB", L"A B", F::literal, 1},           // a tab matches only a tab
        {L"ABC", L"AB", F::literal, 2},
        {L"=", L"\x3000=", F::literal, 0},          // a full-width space is no blank
        {L"A%%B", L"A%B", F::literal, 1},           // percent pairs other than %d and %s match nothing
        {L"A%", L"A", F::none, 1},
        {L"", L"GAME_NAME = \"x\"", F::none, 0},
        {L"%d", L"+5", F::none, 2, L"5"},
        {L"%d", L"  -  5", F::none, 6, L"-5"},
        {L"%d", L"+ 7x", F::none, 3, L"7"},         // letters after the digits are left unread
        {L"%d", L"--5", F::number, 0, L"12345"},
        {L"%d", L"-", F::number, 0, L"12345"},
        {L"%d", L"\"5\"", F::number, 0, L"12345"},
        {L"%d", L"\xFF15", F::number, 0, L"12345"}, // full-width digit five
        {L"%d", L"2147483648", F::none, 10, L"-2147483648", true},
        {L"%d", L"-2147483648", F::none, 11, L"-2147483648"},
        {L"%d", L"4294967297", F::none, 10, L"1", true},
        {L"%d", L"99999999999999999999", F::none, 20, L"1661992959", true},
        {L"N = %d", L"N = 1 // remark", F::none, 5, L"1"},
        {L"N = %d", L"N =", F::blanks, 3, L"12345"},
        {L"N = %d;", L"N = 4", F::literal, 5, L"4"}, // stored before the later step failed
        {L"%s", L"\" a b \"", F::none, 7, L" a b "},
        {L"%s", L"\"a//b = %d %s\"", F::none, 14, L"a//b = %d %s"},
        {L"%s", L"\"a\\\"", F::none, 4, L"a\\"},    // a backslash does not escape
        {L"%s", L"\"abc", F::closing_quote, 0, L"old"},
        {L"%s", L"\xFF02" L"abc\xFF02", F::opening_quote, 0, L"old"},
        {L"K = %s", L"K=\"v\" ; remark", F::none, 5, L"v"},
        {L"K = %s", L"K = \"v", F::closing_quote, 4, L"old"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(row.pattern)) + " on " + testing::PrintToString(row.line));
        Ctext_scanner scanner(row.line, L" \t\n");
        const std::wstring pattern = row.pattern;
        const bool number_template = pattern.find(L"%d") != std::wstring::npos;
        const bool text_template = pattern.find(L"%s") != std::wstring::npos;
        int32_t number = 12345;
        std::wstring text = L"old";
        Cmatch_stop stop;
        const bool matched = number_template ? match_pattern(scanner, pattern, {number}, &stop)
                             : text_template ? match_pattern(scanner, pattern, {text}, &stop)
                                             : match_pattern(scanner, pattern, {}, &stop);
        EXPECT_EQ(matched, row.stop == F::none);
        EXPECT_EQ(stop.failure, row.stop);
        // After a failure the scanner is back at 0 and the stop holds the position; after a match the
        // stop is untouched.
        EXPECT_EQ(scanner.position() + stop.position, row.position);
        EXPECT_EQ(number_template ? std::to_wstring(number) : text_template ? text : L"", row.output);
        EXPECT_EQ(scanner.number_wrapped(), row.wrapped);
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
        {"LF only, no end after the last line", "GAME_NAME = \"A\"\nREG_NAME = \"B\"", {L"GAME_NAME=A", L"REG_NAME=B"}},
        {"CR only: one line", "GAME_NAME = \"A\"\rREG_NAME = \"B\"\r", {L"GAME_NAME=A"}},
        {"UTF-8 mark spoils the first line", "\xEF\xBB\xBFGAME_NAME = \"A\"\r\nREG_NAME = \"B\"\r\n", {L"REG_NAME=B"}},
        {"0x1A ends the text", "GAME_NAME = \"A\"\r\n\x1AREG_NAME = \"B\"\r\n", {L"GAME_NAME=A"}},
        {"a zero byte ends the text, lines after it too", "GAME_NAME = \"A\"\0\r\nREG_NAME = \"B\"\r\n"s,
         {L"GAME_NAME=A"}},
        {"indented, lower case, comment", " GAME_NAME = \"A\"\r\ngame_name = \"A\"\r\n//REG_NAME = \"B\"\r\n", {}},
        {"numbered keys 10 and single digits", "COPY_FOLDER_10 = \"a\"\r\nCOPY_FOLDER_1 = \"b\"\r\n", {}},
        {"the later line wins, a malformed one changes nothing",
         "GAME_NAME = \"A\"\r\nGAME_NAME = \"B\"\r\nGAME_NAME = \"C\r\nBGM_UPDATE = 7\r\nBGM_UPDATE = x\r\n",
         {L"GAME_NAME=B", L"BGM_UPDATE=7"}},
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
    // Past 16 MiB an update.ini is not read at all.
    Ctemp_folder folder;
    ASSERT_TRUE(write_bytes(folder / L"update.ini", std::string(17 << 20, 'x')));
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
            const bool listed = std::any_of(matched.begin(), matched.end(), [&](const Cupdate_ini_match& m) { return m.index == t; });
            ASSERT_TRUE(listed ? whole : !changed) << testing::PrintToString(line) << " " << templates[t].key().size();
        }
    }
    EXPECT_GT(setting_lines, 10000u);
}
