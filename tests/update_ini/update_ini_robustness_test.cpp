// A seeded, bounded run of random and mutated lines through the line function: nothing may crash
// or read outside the line (the matcher is built with bounds checks here), and a field may change
// only through a whole match of its key, whose quoted value stands in the line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "update_ini/update_ini_lines.h"

namespace {

class Cline_maker {
public:
    explicit Cline_maker(uint32_t seed) : random_(seed) {}

    std::wstring next()
    {
        const size_t kind = below(100);
        if (kind < 2)
            return random_units(below(5000));  // long lines
        if (kind < 20)
            return random_units(below(40));
        if (kind < 35)
            return quotes_and_percents(below(200));
        if (kind < 55)
            return valid_line();
        return mutated(valid_line());
    }

private:
    size_t below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random_); }

    wchar_t interesting_unit()
    {
        static const wchar_t units[] = {L' ', L'\t', L'\n', L'\r', L'"', L'%', L'=', L'/', L'+', L'-', L'0', L'5',
                                        L'9', L'd', L's', L'_', L'A', L'\0', L'\x1A', L'\x3000', L'\xFF10',
                                        L'\xFF1D', L'\xFF02', L'\xD800', L'\xDFFF', L'\xFFFF', L'\x661F'};
        return units[below(sizeof(units) / sizeof(units[0]))];
    }

    wchar_t any_unit()
    {
        if (below(2) == 0)
            return interesting_unit();
        return static_cast<wchar_t>(below(0x10000));
    }

    std::wstring random_units(size_t length)
    {
        std::wstring line;
        for (size_t i = 0; i < length; ++i)
            line += any_unit();
        return line;
    }

    std::wstring quotes_and_percents(size_t length)
    {
        static const wchar_t units[] = {L'"', L'"', L'%', L'%', L'd', L's', L' ', L'='};
        std::wstring line = below(2) == 0 ? key() + L" = " : std::wstring();
        for (size_t i = 0; i < length; ++i)
            line += units[below(sizeof(units) / sizeof(units[0]))];
        return line;
    }

    std::wstring key()
    {
        static const wchar_t* const keys[] = {L"GAME_NAME", L"REG_NAME", L"BGM_UPDATE", L"KOE_UPDATE",
                                              L"MOV_UPDATE", L"BGM_FOLDER", L"KOE_FOLDER", L"MOV_FOLDER",
                                              L"COPY_FOLDER_COUNT", L"COPY_FILE_COUNT"};
        const size_t pick = below(30);
        if (pick < 10)
            return keys[pick];
        const std::wstring number = L"0" + std::to_wstring(pick % 10);
        return (pick < 20 ? L"COPY_FOLDER_" : L"COPY_FILE_") + number;
    }

    std::wstring blanks()
    {
        static const wchar_t* const runs[] = {L"", L" ", L"\t", L" \t ", L"\n", L"  "};
        return runs[below(6)];
    }

    std::wstring value()
    {
        switch (below(4)) {
        case 0: return std::to_wstring(static_cast<int64_t>(random_()) * (below(2) ? 1 : -1));
        case 1: return (below(2) ? L"+" : L"-") + blanks() + std::to_wstring(random_() % 1000);
        case 2: return L"99999999999999999999";
        default: return L"\"" + random_units(below(12)) + L"\"";
        }
    }

    std::wstring valid_line()
    {
        std::wstring line;
        const size_t parts = 1 + (below(4) == 0 ? below(4) : 0);  // sometimes entries run together
        for (size_t i = 0; i < parts; ++i)
            line += key() + blanks() + L"=" + blanks() + value();
        if (below(3) == 0)
            line += L" // remark";
        return line;
    }

    std::wstring mutated(std::wstring line)
    {
        const size_t mutations = 1 + below(3);
        for (size_t i = 0; i < mutations; ++i) {
            const size_t at = line.empty() ? 0 : below(line.size() + 1);
            switch (below(5)) {
            case 0: line.insert(at, 1, any_unit()); break;
            case 1: if (at < line.size()) line.erase(at, 1); break;
            case 2: if (at < line.size()) line[at] = interesting_unit(); break;
            case 3: line = line.substr(0, at); break;
            default: line.insert(at, line.substr(0, below(line.size() + 1))); break;
            }
        }
        return line;
    }

    std::mt19937 random_;
};

}  // namespace

TEST(UpdateIniRobustness, RandomAndMutatedLinesChangeFieldsOnlyByWholeMatches)
{
    const uint32_t seed = 20261206;
    const size_t line_count = 200000;
    const std::vector<Cupdate_ini_template>& templates = update_ini_templates();
    // Values no line of the run sets, so that every change shows.
    Cupdate_settings untouched;
    for (const Cupdate_ini_template& entry : templates) {
        if (entry.number_in(untouched) != nullptr)
            *entry.number_in(untouched) = 987654321;
        else
            *entry.text_in(untouched) = L"untouched";
    }
    Cline_maker maker(seed);
    size_t lines_that_set_something = 0;

    for (size_t i = 0; i < line_count; ++i) {
        const std::wstring line = maker.next();
        Cupdate_settings settings = untouched;
        const Cupdate_ini_line_result result = apply_update_ini_line(line, settings);
        lines_that_set_something += !result.matched.empty();

        for (size_t t = 0; t < templates.size(); ++t) {
            const Cupdate_ini_template& entry = templates[t];
            const bool matched = std::find(result.matched.begin(), result.matched.end(), t) != result.matched.end();
            const size_t key_at = line.find(entry.key());
            bool sound = false;
            if (entry.number_in(settings) != nullptr)
                sound = matched ? key_at != std::wstring::npos
                                : *entry.number_in(settings) == *entry.number_in(untouched);
            else
                sound = matched ? key_at != std::wstring::npos &&
                                      line.find(L'"' + *entry.text_in(settings) + L'"', key_at) != std::wstring::npos
                                : *entry.text_in(settings) == *entry.text_in(untouched);
            if (!sound) {
                ADD_FAILURE() << "seed " << seed << ", line " << i << ": " << testing::PrintToString(line)
                              << "\nfield " << testing::PrintToString(entry.key()) << (matched ? " matched" : " changed");
                return;
            }
        }
    }

    // The run must have exercised the matches too, not only the rejections.
    EXPECT_GT(lines_that_set_something, line_count / 10);
}
