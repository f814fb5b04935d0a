#pragma once
// The small scanf-like matcher that recognises update.ini lines. A template holds literal
// characters, spaces (any run of blanks), %d (a decimal number) and %s (a double-quoted text).
// Every step that fails leaves the scanner where it was, so a failed template never moves it, and
// says why it failed, so that a tool can tell a publisher where a line stopped matching.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

// Why a step of a template failed: a literal character that is not there, nothing but blanks left
// where a space wants a character after them, no number, a text without its opening or its
// closing double quote.
enum class Cmatch_failure { none, literal, blanks, number, opening_quote, closing_quote };

class Ctext_scanner {
public:
    // The scanner points into text without owning it: text must outlive the scanner unchanged.
    Ctext_scanner(const std::wstring& text, std::wstring blanks);
    Ctext_scanner(std::wstring&& text, std::wstring blanks) = delete;

    // Passes over blanks; fails, without moving, when nothing but blanks is left.
    bool skip_blanks();
    bool match_char(wchar_t c);
    // One or more ASCII digits, taken modulo 2^32; exact holds them unwrapped, up to 2^40.
    bool read_digits(uint32_t& value, uint64_t& exact);
    // Blanks, at most one sign, blanks, digits; wraps modulo 2^32 like the digits it reads.
    bool read_number(int32_t& number);
    // A double quote, anything but a double quote, a double quote. There is no escape.
    bool read_quoted(std::wstring& text);

    size_t position() const { return position_; }
    bool at_end() const { return position_ >= end_; }
    // Why the last step that failed failed.
    Cmatch_failure failure() const { return failure_; }
    // The last number read was written outside the 32-bit range, and so read as another.
    bool number_wrapped() const { return number_wrapped_; }

private:
    bool is_blank(wchar_t c) const;
    bool is_digit_here() const;
    bool fail(Cmatch_failure failure, size_t position);

    const std::wstring* text_;
    size_t position_ = 0;
    size_t end_ = 0;
    std::wstring blanks_;
    Cmatch_failure failure_ = Cmatch_failure::none;
    bool number_wrapped_ = false;
};

// Where one %d or %s of a template stores what it read. The program's templates have at most one
// conversion, so the caller passes {} or {one_variable}.
class Cpattern_output {
public:
    Cpattern_output(int32_t& number) : number_(&number) {}
    Cpattern_output(std::wstring& text) : text_(&text) {}

    int32_t* number() const { return number_; }
    std::wstring* text() const { return text_; }

private:
    int32_t* number_ = nullptr;
    std::wstring* text_ = nullptr;
};

// Where a template stopped matching: the index of its step that failed (the "%" of a conversion),
// the position in the text where that step began, and why it failed.
struct Cmatch_stop {
    size_t step = 0;
    size_t position = 0;
    Cmatch_failure failure = Cmatch_failure::none;
};

// Matches the template at the scanner's position. On success the scanner stays after the matched
// text, whatever follows it; on failure the scanner is back where it was, and stop, when given,
// says where the template stopped. Outputs are consumed in order by the conversions; a conversion
// with no output of its kind left fails the match. Outputs stored before a later step failed keep
// their new values: pass scratch variables.
bool match_pattern(Ctext_scanner& scanner, std::wstring pattern, std::initializer_list<Cpattern_output> outputs = {},
                   Cmatch_stop* stop = nullptr);
