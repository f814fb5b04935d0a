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

// Random units, runs of quotes and percent signs, long lines, entries as publishers write them
// (sometimes several run together, sometimes with a remark) and such entries cut, grown or spoilt.
class Cline_maker {
public:
    explicit Cline_maker(uint32_t seed) : random_(seed) {}

    std::wstring next()
    {
        const size_t kind = below(100);
        if (kind < 2)
            return random_units(below(5000), nullptr);
        if (kind < 20)
            return random_units(below(40), nullptr);
        if (kind < 35)
            return (below(2) ? key() + L" = " : L"") + random_units(below(200), L"\"\"%%ds =");
        if (kind < 55)
            return valid_line();
        return mutated(valid_line());
    }

private:
    size_t below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random_); }

    wchar_t unit(const wchar_t* choices)
    {
        static const wchar_t interesting[] = L" \t\n\r\"%=/+-059ds_A\x1A\x3000\xFF10\xFF1D\xFF02\xD800\xDFFF\xFFFF\x661F";
        if (choices == nullptr && below(2) == 0)
            return static_cast<wchar_t>(below(0x10000));
        // A zero unit too, as the last choice of the interesting ones.
        const wchar_t* from = choices != nullptr ? choices : interesting;
        const size_t count = std::char_traits<wchar_t>::length(from) + (choices == nullptr ? 1 : 0);
        return from[below(count)];
    }

    std::wstring random_units(size_t length, const wchar_t* choices)
    {
        std::wstring line;
        for (size_t i = 0; i < length; ++i)
            line += unit(choices);
        return line;
    }

    std::wstring key() { return update_ini_templates()[below(update_ini_templates().size())].key(); }

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
        default: return L"\"" + random_units(below(12), nullptr) + L"\"";
        }
    }

    std::wstring valid_line()
    {
        std::wstring line;
        const size_t parts = 1 + (below(4) == 0 ? below(4) : 0);
        for (size_t i = 0; i < parts; ++i)
            line += key() + blanks() + L"=" + blanks() + value();
        return below(3) == 0 ? line + L" // remark" : line;
    }

    std::wstring mutated(std::wstring line)
    {
        for (size_t i = 1 + below(3); i > 0; --i) {
            const size_t at = below(line.size() + 1);
            switch (below(5)) {
            case 0: line.insert(at, 1, unit(nullptr)); break;
            case 1: line.erase(at, 1); break;
            case 2: if (at < line.size()) line[at] = unit(L"\"%= \t\x3000"); break;
            case 3: line.resize(at); break;
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
            const bool number = entry.number_in(settings) != nullptr;
            const bool unchanged = number ? *entry.number_in(settings) == *entry.number_in(untouched)
                                          : *entry.text_in(settings) == *entry.text_in(untouched);
            const bool value_in_line = number || line.find(L'"' + *entry.text_in(settings) + L'"', key_at) != line.npos;
            if (matched ? key_at == line.npos || !value_in_line : !unchanged) {
                ADD_FAILURE() << "seed " << seed << ", line " << i << ": " << testing::PrintToString(line)
                              << "\nfield " << testing::PrintToString(entry.key()) << (matched ? " matched" : " changed");
                return;
            }
        }
    }

    // The run must have exercised the matches too, not only the rejections.
    EXPECT_GT(lines_that_set_something, line_count / 10);
}
