#include "update_check/report_words.h"

const wchar_t* verdict_word(Cfinding_state state)
{
    switch (state) {
    case Cfinding_state::passed: return L"passed";
    case Cfinding_state::failed: return L"failed";
    case Cfinding_state::off: return L"off";
    case Cfinding_state::not_judged: return L"not judged";
    }
    return L"";
}

const wchar_t* line_kind_word(Cupdate_ini_line_kind kind)
{
    switch (kind) {
    case Cupdate_ini_line_kind::empty: return L"empty";
    case Cupdate_ini_line_kind::comment: return L"comment";
    case Cupdate_ini_line_kind::entry: return L"entry";
    case Cupdate_ini_line_kind::ignored: return L"ignored";
    }
    return L"";
}

const wchar_t* result_word(int exit_code)
{
    return exit_code == 0 ? L"passed" : exit_code == 1 ? L"failed" : L"unreadable";
}
