#pragma once
// The text report of a tool, gathered as lines and written out at the end (to a console, a pipe or
// a test).
#include <string>

class Creport {
public:
    void line(const std::wstring& text = std::wstring()) { text_ += text + L"\n"; }
    // Each line of a multi-line text, indented by the given prefix.
    void indented(const std::wstring& prefix, const std::wstring& text);
    const std::wstring& text() const { return text_; }

private:
    std::wstring text_;
};

// 1234567 -> "1,234,567"
std::wstring grouped_number(unsigned long long number);
