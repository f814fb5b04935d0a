#include "update_check/path_escape.h"

namespace {

bool is_separator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// Windows drops trailing dots and blanks from a path component, so "..." or ".. " lead to the
// parent folder as surely as "..".
bool leads_to_parent(const std::wstring& component)
{
    size_t dots = 0;
    for (wchar_t c : component) {
        if (c == L'.')
            ++dots;
        else if (c != L' ')
            return false;
    }
    return dots >= 2;
}

bool stays_in_place(const std::wstring& component)
{
    return component.empty() || component == L".";
}

}  // namespace

std::wstring path_escape_problem(const std::wstring& relative)
{
    if (!relative.empty() && is_separator(relative[0]))
        return L"is an absolute path (it starts with a backslash)";
    if (relative.find(L':') != std::wstring::npos)
        return L"is an absolute path (it holds a drive or a colon)";

    int depth = 0;
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = start;
        while (end < relative.size() && !is_separator(relative[end]))
            ++end;
        const std::wstring component = relative.substr(start, end - start);
        if (leads_to_parent(component)) {
            if (--depth < 0)
                return L"climbs out of GAMEDATA and of the installation folder with \"..\"";
        } else if (!stays_in_place(component)) {
            ++depth;
        }
        start = end + 1;
    }
    return std::wstring();
}
