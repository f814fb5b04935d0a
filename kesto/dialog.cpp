#include "kesto/dialog.h"

#include "kesto/application.h"

namespace Kesto {

bool Cdialog::create(int template_id)
{
    if (hwnd != nullptr)
        return false;
    // The same procedure serves as dialog procedure; WM_INITDIALOG binds this object.
    const auto dialog_procedure = reinterpret_cast<DLGPROC>(&static_window_proc);
    Cwindow_base* object = this;
    hwnd = CreateDialogParamW(g_application.instance, MAKEINTRESOURCEW(template_id), nullptr, dialog_procedure,
                              reinterpret_cast<LPARAM>(object));
    return hwnd != nullptr;
}

// A dialog made from a template gets WM_INITDIALOG rather than WM_CREATE; either registers it.
LRESULT Cdialog::pre_proc(UINT message, WPARAM, LPARAM)
{
    if (message == WM_CREATE || message == WM_INITDIALOG)
        record_creation();
    return 0;
}

LRESULT Cdialog::window_proc(UINT message, WPARAM wparam, LPARAM lparam)
{
    return Cwindow_base::window_proc(message, wparam, lparam);
}

void Cdialog::set_title(const std::wstring& text)
{
    SetWindowTextW(hwnd, text.c_str());
}

void Cdialog::show()
{
    ShowWindow(hwnd, SW_SHOW);
}

void Cdialog::hide()
{
    ShowWindow(hwnd, SW_HIDE);
}

void Cdialog::destroy()
{
    DestroyWindow(hwnd);
}

}  // namespace Kesto
