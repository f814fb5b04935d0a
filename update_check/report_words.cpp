#include "update_check/report_words.h"

const wchar_t* verdict_word(Cverdict verdict)
{
    switch (verdict) {
    case Cverdict::passed: return L"passed";
    case Cverdict::failed: return L"failed";
    case Cverdict::off: return L"off";
    case Cverdict::not_judged: return L"not judged";
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
