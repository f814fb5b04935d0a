// The line matcher on its own: the four kinds of template element and where the scanner stands
// after a match and after a failure.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

#include "update_ini/text_scanner.h"

namespace {

const wchar_t* const BLANKS = L" \t\n";

}  // namespace

// A template against a line: does it match, where does the scanner stand, and what does the one
// conversion's output hold afterwards.
TEST(LineMatcher, TemplatesAgainstLines)
{
    const struct {
        const wchar_t* pattern;
        std::wstring line;
        bool matches;
        size_t position_after;
        std::wstring output = {};  // of the conversion, if any
    } rows[] = {
        // blanks and the template's space
        {L"A = B", L"A = B", true, 5},
        {L"A = B", L"A=B", true, 3},
        {L"A = B", L"A \t\n = \n\tB", true, 10},
        {L"A = B", L"a = b", false, 0},            // no case folding
        {L"A ", L"A", false, 0},                   // the space needs a character after the blanks
        {L"A ", L"A\t\t", false, 0},
        {L"A ", L"A  x", true, 3},                 // the blanks are passed over, x is left
        {L"A ", L"Ax", true, 1},                   // the empty run of blanks
        {L" ", L"", false, 0},
        {L"A  B", L"A B", true, 3},                // two spaces in the template, one run in the line
        {L"A = B", L"A = \r", false, 0},           // CR is not a blank
        // literals and tabs
        {L"//", L"//GAME_NAME = \"x\"", true, 2},
        {L"//", L"/ /", false, 0},
        {L"//", L" //", false, 0},                 // literals do not skip blanks
        {L"A\tB", L"A\tB", true, 3},
        {L"A\tB", L"A B", false, 0},               // a tab matches only a tab
        {L"ABC", L"AB", false, 0},                 // the line ends inside the literal
        {L"=", L"\x3000=", false, 0},              // a full-width space is no blank
        // percent pairs other than %d and %s match nothing
        {L"A%%B", L"A%B", false, 0},
        {L"A%", L"A", true, 1},                    // a "%" ending the template
        {L"A%xB", L"AB", true, 2},
        {L"%D", L"5", true, 0},                    // conversions are lower case only
        {L"%S", L"\"x\"", true, 0},
        // the empty template matches any line without moving
        {L"", L"", true, 0},
        {L"", L"GAME_NAME = \"x\"", true, 0},
        // %d: signs, blanks and wrapping; the number starts at 12345
        {L"%d", L"5", true, 1, L"5"},
        {L"%d", L"+5", true, 2, L"5"},
        {L"%d", L"-5", true, 2, L"-5"},
        {L"%d", L"007", true, 3, L"7"},
        {L"%d", L"  -  5", true, 6, L"-5"},           // blanks before the sign and between sign and digits
        {L"%d", L"+ 7x", true, 3, L"7"},              // letters after the digits are left unread
        {L"%d", L"0x10", true, 1, L"0"},
        {L"%d", L"--5", false, 0, L"12345"},          // two signs
        {L"%d", L"-", false, 0, L"12345"},            // a sign without digits
        {L"%d", L"", false, 0, L"12345"},
        {L"%d", L"\"5\"", false, 0, L"12345"},        // a quoted number
        {L"%d", L"\xFF15", false, 0, L"12345"},       // full-width digit five
        {L"%d", L"\x3000" L"5", false, 0, L"12345"},  // full-width space before the digits
        {L"%d", L"2147483647", true, 10, L"2147483647"},
        {L"%d", L"2147483648", true, 10, L"-2147483648"},   // 2^31 wraps to -2^31
        {L"%d", L"-2147483648", true, 11, L"-2147483648"},
        {L"%d", L"4294967297", true, 10, L"1"},           // 2^32 + 1 wraps to 1
        {L"%d", L"-4294967297", true, 11, L"-1"},
        {L"%d", L"99999999999999999999", true, 20, L"1661992959"},
        {L"N = %d", L"N=-3", true, 4, L"-3"},
        {L"N = %d", L"N = 1 // remark", true, 5, L"1"},
        {L"N = %d", L"N =", false, 0, L"12345"},
        {L"N = %d", L"N\x3000=\x3000" L"1", false, 0, L"12345"},
        {L"N = %d;", L"N = 4", false, 0, L"4"},           // stored before the later step failed
        // %s: quoting; the text starts as "old"
        {L"%s", L"\"abc\"", true, 5, L"abc"},
        {L"%s", L"\" a b \"", true, 7, L" a b "},
        {L"%s", L"\"a//b = %d %s\"", true, 14, L"a//b = %d %s"},
        {L"%s", L"\"a\"b\"", true, 3, L"a"},
        {L"%s", L"\"a\\\"", true, 4, L"a\\"},          // a backslash does not escape
        {L"%s", L"\"\x661F\x7A7A\"", true, 4, L"\x661F\x7A7A"},
        {L"%s", L"\"abc", false, 0, L"old"},           // no closing quote
        {L"%s", L"", false, 0, L"old"},
        {L"%s", L"\x201C" L"abc\x201D", false, 0, L"old"},  // typographic quotes
        {L"%s", L"\xFF02" L"abc\xFF02", false, 0, L"old"},  // full-width quotes
        {L"%s", L"\x3000\"abc\"", false, 0, L"old"},
        {L"K = %s", L"K=\"v\" ; remark", true, 5, L"v"},
        {L"K = %s", L"K = \"v", false, 0, L"old"},
        {L"K = %s!", L"K = \"v\"?", false, 0, L"v"},   // stored before the later step failed
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "pattern " << testing::PrintToString(std::wstring(row.pattern))
                                        << " line " << testing::PrintToString(row.line));
        Ctext_scanner scanner(row.line, BLANKS);
        const std::wstring pattern = row.pattern;
        int32_t number = 12345;
        std::wstring text = L"old";
        if (pattern.find(L"%d") != std::wstring::npos) {
            EXPECT_EQ(match_pattern(scanner, row.pattern, {number}), row.matches);
            EXPECT_EQ(std::to_wstring(number), row.output);
        } else if (pattern.find(L"%s") != std::wstring::npos) {
            EXPECT_EQ(match_pattern(scanner, row.pattern, {text}), row.matches);
            EXPECT_EQ(text, row.output);
        } else {
            EXPECT_EQ(match_pattern(scanner, row.pattern), row.matches);
        }
        EXPECT_EQ(scanner.position(), row.position_after);
    }
}

TEST(LineMatcher, AConversionWithoutItsOutputFailsInsteadOfWritingAnywhere)
{
    const std::wstring line = L"5 \"x\"";
    Ctext_scanner scanner(line, BLANKS);
    std::wstring text = L"old";
    int32_t number = 7;
    EXPECT_FALSE(match_pattern(scanner, L"%d"));
    EXPECT_FALSE(match_pattern(scanner, L"%d", {text}));
    EXPECT_FALSE(match_pattern(scanner, L"%d %s", {number}));
    EXPECT_EQ(scanner.position(), 0u);
    EXPECT_TRUE(match_pattern(scanner, L"%d %s", {number, text}));
    EXPECT_EQ(number, 5);
    EXPECT_EQ(text, L"x");
    EXPECT_EQ(scanner.position(), line.size());
}

TEST(LineMatcher, ScannerStaysAfterASuccessAndReturnsAfterAFailure)
{
    const std::wstring line = L"COPY_FOLDER_00 = \"a\"COPY_FOLDER_01 = \"b\"";
    Ctext_scanner scanner(line, BLANKS);
    std::wstring text;
    ASSERT_TRUE(match_pattern(scanner, L"COPY_FOLDER_00 = %s", {text}));
    EXPECT_EQ(scanner.position(), 20u);
    EXPECT_FALSE(match_pattern(scanner, L"COPY_FOLDER_01 = %d", {text}));
    EXPECT_EQ(scanner.position(), 20u);
    EXPECT_TRUE(match_pattern(scanner, L""));
    EXPECT_EQ(scanner.position(), 20u);
    ASSERT_TRUE(match_pattern(scanner, L"COPY_FOLDER_01 = %s", {text}));
    EXPECT_EQ(text, L"b");
    EXPECT_TRUE(scanner.at_end());
    EXPECT_FALSE(match_pattern(scanner, L" "));

    // Each step of the scanner undoes itself when it fails.
    const std::wstring sign = L"  +  \"open";
    Ctext_scanner steps(sign, BLANKS);
    int32_t number = 9;
    EXPECT_FALSE(steps.read_number(number));
    EXPECT_EQ(number, 9);
    EXPECT_EQ(steps.position(), 0u);
    EXPECT_FALSE(steps.read_quoted(text));
    EXPECT_EQ(steps.position(), 0u);
    EXPECT_TRUE(steps.skip_blanks() && steps.match_char(L'+'));
    EXPECT_FALSE(steps.read_quoted(text)) << "no closing quote";
    EXPECT_EQ(steps.position(), 3u);

    // The blanks are the scanner's own set.
    const std::wstring underscored = L"A__=_\"v\"";
    Ctext_scanner underscores(underscored, L"_");
    EXPECT_TRUE(match_pattern(underscores, L"A = %s", {text}));
    const std::wstring spaced = L"A = \"v\"";
    Ctext_scanner no_blanks(spaced, L"");
    EXPECT_FALSE(match_pattern(no_blanks, L"A = %s", {text}));
}
