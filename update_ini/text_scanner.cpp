#include "update_ini/text_scanner.h"

#include <algorithm>
#include <utility>

namespace {

// The value whose two's complement bits are those of the unsigned value, without the
// implementation-defined narrowing conversion.
int32_t as_signed(uint32_t bits)
{
    if (bits <= 0x7FFFFFFFu)
        return static_cast<int32_t>(bits);
    return -static_cast<int32_t>(~bits) - 1;
}

}  // namespace

Ctext_scanner::Ctext_scanner(const std::wstring& text, std::wstring blanks)
    : text_(&text), position_(0), end_(text.size()), blanks_(std::move(blanks))
{
}

bool Ctext_scanner::is_blank(wchar_t c) const
{
    return blanks_.find(c) != std::wstring::npos;
}

bool Ctext_scanner::is_digit_here() const
{
    return !at_end() && (*text_)[position_] >= L'0' && (*text_)[position_] <= L'9';
}

bool Ctext_scanner::fail(Cmatch_failure failure, size_t position)
{
    failure_ = failure;
    position_ = position;
    return false;
}

bool Ctext_scanner::skip_blanks()
{
    const size_t saved = position_;
    while (!at_end() && is_blank((*text_)[position_]))
        ++position_;
    return !at_end() || fail(Cmatch_failure::blanks, saved);
}

bool Ctext_scanner::match_char(wchar_t c)
{
    if (at_end() || (*text_)[position_] != c)
        return fail(Cmatch_failure::literal, position_);
    ++position_;
    return true;
}

bool Ctext_scanner::read_digits(uint32_t& value, uint64_t& exact)
{
    if (!is_digit_here())
        return fail(Cmatch_failure::number, position_);
    value = 0;
    exact = 0;
    for (; is_digit_here(); ++position_) {
        const unsigned digit = static_cast<unsigned>((*text_)[position_] - L'0');
        value = value * 10u + digit;
        // Held at 2^40, which is all it needs to stay past the 32-bit range.
        exact = std::min<uint64_t>(exact * 10u + digit, uint64_t{1} << 40);
    }
    return true;
}

bool Ctext_scanner::read_number(int32_t& number)
{
    const size_t saved = position_;
    bool negative = false;
    skip_blanks();
    if (!match_char(L'+')) {
        position_ = saved;
        skip_blanks();
        if (match_char(L'-'))
            negative = true;
        else
            position_ = saved;
    }
    skip_blanks();

    uint32_t value = 0;
    uint64_t exact = 0;
    if (!read_digits(value, exact))
        return fail(Cmatch_failure::number, saved);
    number = as_signed(negative ? 0u - value : value);
    number_wrapped_ = exact > (negative ? 2147483648u : 2147483647u);
    return true;
}

bool Ctext_scanner::read_quoted(std::wstring& text)
{
    const size_t saved = position_;
    skip_blanks();
    if (!match_char(L'"'))
        return fail(Cmatch_failure::opening_quote, saved);
    const size_t closing = text_->find(L'"', position_);
    if (closing == std::wstring::npos || closing >= end_)
        return fail(Cmatch_failure::closing_quote, saved);
    text = text_->substr(position_, closing - position_);
    position_ = closing + 1;
    return true;
}

bool match_pattern(Ctext_scanner& scanner, std::wstring pattern, std::initializer_list<Cpattern_output> outputs,
                   Cmatch_stop* stop)
{
    const Ctext_scanner saved = scanner;
    const Cpattern_output* next_output = outputs.begin();
    size_t step = 0;
    // Each step that fails has left the scanner where the step began.
    auto fail = [&] {
        if (stop != nullptr)
            *stop = {step, scanner.position(), scanner.failure()};
        scanner = saved;
        return false;
    };

    for (size_t i = 0; i < pattern.size(); ++i) {
        const wchar_t element = pattern[step = i];
        if (element == L' ') {
            if (!scanner.skip_blanks())
                return fail();
            continue;
        }
        if (element != L'%') {
            if (!scanner.match_char(element))
                return fail();
            continue;
        }
        // A "%" at the very end, or with anything but d or s after it, matches nothing.
        if (i + 1 >= pattern.size())
            continue;
        const wchar_t conversion = pattern[++i];
        if (conversion == L'd') {
            int32_t* target = next_output != outputs.end() ? next_output->number() : nullptr;
            if (target == nullptr || !scanner.read_number(*target))
                return fail();
            ++next_output;
        } else if (conversion == L's') {
            std::wstring* target = next_output != outputs.end() ? next_output->text() : nullptr;
            if (target == nullptr || !scanner.read_quoted(*target))
                return fail();
            ++next_output;
        }
    }
    return true;
}
