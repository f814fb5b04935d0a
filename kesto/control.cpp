#include "kesto/control.h"

#include <commctrl.h>

#include "kesto/dialog.h"

namespace Kesto {

std::wstring replace_all(const std::wstring& text, const std::wstring& what, const std::wstring& with)
{
    std::wstring result = text;
    if (what.empty())
        return result;
    // Resume after the inserted text, so that "\n" -> "\r\n" never rescans what it inserted.
    size_t position = 0;
    while ((position = result.find(what, position)) != std::wstring::npos) {
        result.replace(position, what.size(), with);
        position += with.size();
    }
    return result;
}

// Meant for WM_INITDIALOG of the parent; an id the template lacks leaves the control unbound.
void Ccontrol::bind_dialog_item(const Cdialog& parent, int item_id)
{
    attach(GetDlgItem(parent.hwnd, item_id));
}

// Controls break lines only at "\r\n"; a bare "\n" would show as a stray glyph.
void Ccontrol::set_text(const std::wstring& text)
{
    const std::wstring shown = replace_all(text, L"\n", L"\r\n");
    SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(shown.c_str()));
}

void Ccontrol::hold_changes(bool hold)
{
    if (!hold)
        release_change();
    holding_ = hold;
}

LRESULT Ccontrol::window_proc(UINT message, WPARAM wparam, LPARAM lparam)
{
    if (!holding_ || (message != WM_SETTEXT && message != PBM_SETPOS)) {
        release_change();
        return Cwindow_base::window_proc(message, wparam, lparam);
    }
    if (held_message_ != 0 && held_message_ != message)
        release_change();
    // What the control would answer: TRUE for a text, the position before for a position.
    LRESULT answer = TRUE;
    if (message == PBM_SETPOS)
        answer = held_message_ == PBM_SETPOS ? static_cast<LRESULT>(held_wparam_)
                                             : Cwindow_base::window_proc(PBM_GETPOS, 0, 0);
    held_message_ = message;
    held_wparam_ = wparam;
    if (message == WM_SETTEXT)
        held_text_ = lparam != 0 ? reinterpret_cast<const wchar_t*>(lparam) : L"";
    return answer;
}

void Ccontrol::release_change()
{
    if (held_message_ == 0)
        return;
    const UINT message = held_message_;
    held_message_ = 0;
    Cwindow_base::window_proc(message, held_wparam_,
                              message == WM_SETTEXT ? reinterpret_cast<LPARAM>(held_text_.c_str()) : 0);
}

void Cc_progress::set_range(int low, int high)
{
    SendMessageW(hwnd, PBM_SETRANGE32, static_cast<WPARAM>(low), static_cast<LPARAM>(high));
}

void Cc_progress::set_position(int position)
{
    SendMessageW(hwnd, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

}  // namespace Kesto
