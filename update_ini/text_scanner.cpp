#include "update_ini/text_scanner.h"

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

bool Ctext_scanner::skip_blanks()
{
    const size_t saved = position_;
    while (!at_end() && is_blank((*text_)[position_]))
        ++position_;
    if (at_end()) {
        position_ = saved;
        return false;
    }
    return true;
}

bool Ctext_scanner::match_char(wchar_t c)
{
    if (at_end() || (*text_)[position_] != c)
        return false;
    ++position_;
    return true;
}

bool Ctext_scanner::read_digits(uint32_t& value)
{
    if (!is_digit_here())
        return false;
    value = 0;
    for (; is_digit_here(); ++position_)
        value = value * 10u + static_cast<uint32_t>((*text_)[position_] - L'0');
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
    if (!read_digits(value)) {
        position_ = saved;
        return false;
    }
    number = as_signed(negative ? 0u - value : value);
    return true;
}

bool Ctext_scanner::read_quoted(std::wstring& text)
{
    const size_t saved = position_;
    skip_blanks();
    if (!match_char(L'"')) {
        position_ = saved;
        return false;
    }
    const size_t closing = text_->find(L'"', position_);
    if (closing == std::wstring::npos || closing >= end_) {
        position_ = saved;
        return false;
    }
    text = text_->substr(position_, closing - position_);
    position_ = closing + 1;
    return true;
}

bool match_pattern(Ctext_scanner& scanner, std::wstring pattern, std::initializer_list<Cpattern_output> outputs)
{
    const Ctext_scanner saved = scanner;
    const Cpattern_output* next_output = outputs.begin();
    auto fail = [&] {
        scanner = saved;
        return false;
    };

    for (size_t i = 0; i < pattern.size(); ++i) {
        const wchar_t element = pattern[i];
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
