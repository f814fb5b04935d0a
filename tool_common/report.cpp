#include "tool_common/report.h"

void Creport::indented(const std::wstring& prefix, const std::wstring& text)
{
    size_t start = 0;
    while (true) {
        const size_t end = text.find(L'\n', start);
        line(prefix + text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
        if (end == std::wstring::npos)
            break;
        start = end + 1;
    }
}

std::wstring grouped_number(unsigned long long number)
{
    std::wstring digits = std::to_wstring(number);
    for (size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, L",");
    return digits;
}
