#include "update_check/path_escape.h"

namespace {

bool is_separator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

}  // namespace

std::wstring path_escape_problem(const std::wstring& relative)
{
    if (!relative.empty() && is_separator(relative[0]))
        return L"is an absolute path (it starts with a backslash)";
    if (relative.find(L':') != std::wstring::npos)
        return L"is an absolute path (it holds a drive or a colon)";
    return std::wstring();
}
