#pragma once
// Every message of an update is a modal box with no owner, captioned with the game's name.
#include <windows.h>
#include <string>

int show_warning(const std::wstring& text, UINT additional_flags = 0);
int show_information(const std::wstring& text, UINT additional_flags = 0);
// A box of the given kind (icon and buttons): what the copy and the confirmation use.
int show_message_box(const std::wstring& text, UINT flags);

// Shows the cause of a failed check, then "アップデートに失敗しました。", both as warnings. Always
// false, so that a phase can end with "return report_update_failure(...)".
bool report_update_failure(const std::wstring& cause);
