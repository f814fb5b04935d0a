// A seeded, bounded run of random and mutated lines through the line function. Each result is
// compared with a small model of the update.ini grammar written without the matcher: a field may
// change only through a whole match of its key, and nothing may crash on the way.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "settings_text.h"
#include "update_ini/update_ini_lines.h"

namespace {

// ---- the model -----------------------------------------------------------------------------

const size_t NO_MATCH = std::wstring::npos;

bool model_blank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n';
}

size_t after_blanks(const std::wstring& line, size_t at)
{
    while (at < line.size() && model_blank(line[at]))
        ++at;
    return at;
}

bool model_digit(const std::wstring& line, size_t at)
{
    return at < line.size() && line[at] >= L'0' && line[at] <= L'9';
}

struct Cmodel_key {
    std::wstring key;
    int32_t* number;
    std::wstring* text;
};

// KEY blanks "=" blanks value, at the given position; returns the position after the value.
size_t model_match(const std::wstring& line, size_t at, const Cmodel_key& key, int64_t& number, std::wstring& text)
{
    if (line.compare(at, key.key.size(), key.key) != 0 || at + key.key.size() > line.size())
        return NO_MATCH;
    at = after_blanks(line, at + key.key.size());
    if (at >= line.size() || line[at] != L'=')
        return NO_MATCH;
    at = after_blanks(line, at + 1);
    if (at >= line.size())
        return NO_MATCH;

    if (key.number != nullptr) {
        bool negative = false;
        if (line[at] == L'+' || line[at] == L'-') {
            negative = line[at] == L'-';
            at = after_blanks(line, at + 1);
        }
        if (!model_digit(line, at))
            return NO_MATCH;
        const int64_t modulus = int64_t(1) << 32;
        int64_t value = 0;
        for (; model_digit(line, at); ++at)
            value = (value * 10 + (line[at] - L'0')) % modulus;
        if (negative)
            value = (modulus - value) % modulus;
        number = value >= (modulus / 2) ? value - modulus : value;
        return at;
    }
    if (line[at] != L'"')
        return NO_MATCH;
    const size_t closing = line.find(L'"', at + 1);
    if (closing == std::wstring::npos)
        return NO_MATCH;
    text = line.substr(at + 1, closing - at - 1);
    return closing + 1;
}

void model_set(const Cmodel_key& key, int64_t number, const std::wstring& text)
{
    if (key.number != nullptr)
        *key.number = static_cast<int32_t>(number);
    else
        *key.text = text;
}

// The ten keys and the twenty numbered keys of one record, named without the program's table.
class Cmodel {
public:
    explicit Cmodel(Cupdate_settings& s)
        : keys_{
              {L"GAME_NAME", nullptr, &s.GAME_NAME},
              {L"REG_NAME", nullptr, &s.REG_NAME},
              {L"BGM_UPDATE", &s.BGM_UPDATE, nullptr},
              {L"KOE_UPDATE", &s.KOE_UPDATE, nullptr},
              {L"MOV_UPDATE", &s.MOV_UPDATE, nullptr},
              {L"BGM_FOLDER", nullptr, &s.BGM_FOLDER},
              {L"KOE_FOLDER", nullptr, &s.KOE_FOLDER},
              {L"MOV_FOLDER", nullptr, &s.MOV_FOLDER},
              {L"COPY_FOLDER_COUNT", &s.COPY_FOLDER_COUNT, nullptr},
              {L"COPY_FILE_COUNT", &s.COPY_FILE_COUNT, nullptr},
          }
    {
        for (int i = 0; i < 10; ++i)
            numbered_.push_back({L"COPY_FOLDER_0" + std::to_wstring(i), nullptr, &s.COPY_FOLDER[i]});
        for (int i = 0; i < 10; ++i)
            numbered_.push_back({L"COPY_FILE_0" + std::to_wstring(i), nullptr, &s.COPY_FILE[i]});
    }

    // Returns how many keys the line set.
    size_t apply(const std::wstring& line) const
    {
        if (line.empty() || line.compare(0, 2, L"//") == 0)
            return 0;
        int64_t number = 0;
        std::wstring text;
        for (const Cmodel_key& key : keys_) {
            if (model_match(line, 0, key, number, text) != NO_MATCH) {
                model_set(key, number, text);
                return 1;
            }
        }
        size_t at = 0;
        size_t count = 0;
        for (const Cmodel_key& key : numbered_) {
            const size_t end = model_match(line, at, key, number, text);
            if (end != NO_MATCH) {
                model_set(key, number, text);
                at = end;
                ++count;
            }
        }
        return count;
    }

private:
    std::vector<Cmodel_key> keys_;
    std::vector<Cmodel_key> numbered_;
};

bool same_settings(const Cupdate_settings& a, const Cupdate_settings& b)
{
    bool same = a.GAME_NAME == b.GAME_NAME && a.REG_NAME == b.REG_NAME && a.BGM_UPDATE == b.BGM_UPDATE
                && a.KOE_UPDATE == b.KOE_UPDATE && a.MOV_UPDATE == b.MOV_UPDATE && a.BGM_FOLDER == b.BGM_FOLDER
                && a.KOE_FOLDER == b.KOE_FOLDER && a.MOV_FOLDER == b.MOV_FOLDER
                && a.COPY_FOLDER_COUNT == b.COPY_FOLDER_COUNT && a.COPY_FILE_COUNT == b.COPY_FILE_COUNT;
    for (int i = 0; i < COPY_ENTRY_LIMIT; ++i)
        same = same && a.COPY_FOLDER[i] == b.COPY_FOLDER[i] && a.COPY_FILE[i] == b.COPY_FILE[i];
    return same;
}

// ---- the lines -----------------------------------------------------------------------------

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
    Cline_maker maker(seed);
    Cupdate_settings actual;
    Cupdate_settings expected;
    const Cmodel model(expected);
    size_t lines_that_set_something = 0;

    for (size_t i = 0; i < line_count; ++i) {
        const std::wstring line = maker.next();
        const Cupdate_ini_line_result result = apply_update_ini_line(line, actual);
        const size_t model_count = model.apply(line);
        lines_that_set_something += model_count > 0;

        if (result.matched.size() != model_count || !same_settings(actual, expected)) {
            ADD_FAILURE() << "seed " << seed << ", line " << i << ": " << testing::PrintToString(line) << "\n"
                          << testing::PrintToString(settings_text(actual)) << "\nexpected\n"
                          << testing::PrintToString(settings_text(expected));
            return;
        }
    }

    // The run must have exercised the matches too, not only the rejections.
    EXPECT_GT(lines_that_set_something, line_count / 10);
}
