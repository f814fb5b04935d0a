#include "app/message_box.h"

#include "app/update_data.h"

// The caption is read when the box is shown: before update.ini has named the game it is empty.
int show_message_box(const std::wstring& text, UINT flags)
{
    return MessageBoxW(nullptr, text.c_str(), g_update.settings.GAME_NAME.c_str(), flags);
}

int show_warning(const std::wstring& text, UINT additional_flags)
{
    return show_message_box(text, MB_ICONWARNING | additional_flags);
}

int show_information(const std::wstring& text, UINT additional_flags)
{
    return show_message_box(text, MB_ICONINFORMATION | additional_flags);
}

bool report_update_failure(const std::wstring& cause)
{
    show_warning(cause);
    show_warning(L"アップデートに失敗しました。");
    return false;
}
