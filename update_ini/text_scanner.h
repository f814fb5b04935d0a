#pragma once
// The small scanf-like matcher that recognises update.ini lines. A template holds literal
// characters, spaces (any run of blanks), %d (a decimal number) and %s (a double-quoted text).
// Every step that fails leaves the scanner where it was, so a failed template never moves it.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

class Ctext_scanner {
public:
    // The scanner points into text without owning it: text must outlive the scanner unchanged.
    Ctext_scanner(const std::wstring& text, std::wstring blanks);
    Ctext_scanner(std::wstring&& text, std::wstring blanks) = delete;

    // Passes over blanks; fails, without moving, when nothing but blanks is left.
    bool skip_blanks();
    bool match_char(wchar_t c);
    // One or more ASCII digits, taken modulo 2^32.
    bool read_digits(uint32_t& value);
    // Blanks, at most one sign, blanks, digits; wraps modulo 2^32 like the digits it reads.
    bool read_number(int32_t& number);
    // A double quote, anything but a double quote, a double quote. There is no escape.
    bool read_quoted(std::wstring& text);

    size_t position() const { return position_; }
    bool at_end() const { return position_ >= end_; }

private:
    bool is_blank(wchar_t c) const;
    bool is_digit_here() const;

    const std::wstring* text_;
    size_t position_ = 0;
    size_t end_ = 0;
    std::wstring blanks_;
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

// Matches the template at the scanner's position. On success the scanner stays after the matched
// text, whatever follows it; on failure the scanner is back where it was. Outputs are consumed in
// order by the conversions; a conversion with no output of its kind left fails the match. Outputs
// stored before a later step failed keep their new values: pass scratch variables.
bool match_pattern(Ctext_scanner& scanner, std::wstring pattern, std::initializer_list<Cpattern_output> outputs = {});
