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

void Cc_progress::set_range(int low, int high)
{
    SendMessageW(hwnd, PBM_SETRANGE32, static_cast<WPARAM>(low), static_cast<LPARAM>(high));
}

void Cc_progress::set_position(int position)
{
    SendMessageW(hwnd, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

}  // namespace Kesto
