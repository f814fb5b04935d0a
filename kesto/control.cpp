#include "kesto/control.h"

#include <commctrl.h>

#include "fs/paths.h"
#include "kesto/dialog.h"

namespace Kesto {

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
