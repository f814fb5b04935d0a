#pragma once
// Every message of an update is a modal box with no owner, captioned with the game's name.
#include <windows.h>
#include <string>

int show_warning(const std::wstring& text, UINT additional_flags = 0);
int show_information(const std::wstring& text, UINT additional_flags = 0);
// A box of the given kind (icon and buttons), captioned with the game's name; what the copy and the
// confirmation use for the boxes they build themselves.
int show_message_box(const std::wstring& text, UINT flags);

// A failed check tells its cause and then this line.
extern const wchar_t* const UPDATE_FAILED_TEXT;
// Shows the cause of a failed check, then UPDATE_FAILED_TEXT, both as warnings. Always false, so
// that a phase can end with "return report_update_failure(...)".
bool report_update_failure(const std::wstring& cause);

// Where the boxes go: MessageBoxW, except in the package checker and in-process tests, which
// record the boxes instead of showing them.
using Cmessage_box_function = int(WINAPI*)(HWND owner, LPCWSTR text, LPCWSTR caption, UINT flags);
extern Cmessage_box_function message_box_function;
