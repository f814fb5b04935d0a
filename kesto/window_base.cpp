#include "kesto/window_base.h"

#include <commctrl.h>

#include <algorithm>
#include <map>

#include "kesto/application.h"

namespace Kesto {

const wchar_t* const THIS_PROPERTY = L"this";

namespace {

// A property sheet page hands its dialog the page itself, whose lParam carries the object.
const DWORD PROPERTY_SHEET_PAGE_SIZE = 48;

LONG_PTR own_procedure_value()
{
    return reinterpret_cast<LONG_PTR>(&Cwindow_base::static_window_proc);
}

int procedure_slot(bool is_dialog)
{
    return is_dialog ? DWLP_DLGPROC : GWLP_WNDPROC;
}

// Every window attached and not yet detached, with its object; written by attach and detach only.
// Never destroyed: objects of static storage duration may detach after every other static is gone.
std::map<HWND, Cwindow_base*>& bound_windows()
{
    static auto* windows = new std::map<HWND, Cwindow_base*>;
    return *windows;
}

Cwindow_base* bound_object(HWND window)
{
    const auto bound = bound_windows().find(window);
    return bound == bound_windows().end() ? nullptr : bound->second;
}

// The object a creation or initialisation message carries, or null for every other message.
Cwindow_base* carried_object(UINT message, LPARAM lparam)
{
    if (message == WM_NCCREATE || message == WM_CREATE)
        return static_cast<Cwindow_base*>(reinterpret_cast<const CREATESTRUCTW*>(lparam)->lpCreateParams);
    // A dialog created with a null parameter gets 0 here: there is no page size to read.
    if (message != WM_INITDIALOG || lparam == 0)
        return nullptr;
    // A toolkit object never starts with 48: its first word is its vtable address.
    if (*reinterpret_cast<const DWORD*>(lparam) == PROPERTY_SHEET_PAGE_SIZE)
        return reinterpret_cast<Cwindow_base*>(reinterpret_cast<const PROPSHEETPAGEW*>(lparam)->lParam);
    return reinterpret_cast<Cwindow_base*>(lparam);
}

LRESULT unhandled(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (has_dialog_procedure(window))
        return 0;
    return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

bool has_dialog_procedure(HWND window)
{
    return GetWindowLongPtrW(window, DWLP_DLGPROC) != 0;
}

Cwindow_base::~Cwindow_base()
{
    detach();
}

LRESULT Cwindow_base::pre_proc(UINT message, WPARAM, LPARAM)
{
    if (message == WM_CREATE)
        record_creation();
    return 0;
}

LRESULT Cwindow_base::window_proc(UINT message, WPARAM wparam, LPARAM lparam)
{
    if (hwnd == nullptr)
        return 0;
    if (message == WM_DESTROY)
        record_destruction();
    else if (message == WM_CLOSE)
        DestroyWindow(hwnd);  // detaches this object through WM_DESTROY

    if (previous_proc != nullptr)
        return CallWindowProcW(previous_proc, hwnd, message, wparam, lparam);
    if (hwnd == nullptr || has_dialog_procedure(hwnd))
        return 0;
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

bool Cwindow_base::attach(HWND window)
{
    if (window == nullptr)
        return false;
    hwnd = window;
    SetPropW(window, THIS_PROPERTY, static_cast<HANDLE>(this));
    bound_windows()[window] = this;
    is_dialog = has_dialog_procedure(window);

    // A window born with our procedure needs no subclassing and keeps previous_proc null.
    const int slot = procedure_slot(is_dialog);
    if (GetWindowLongPtrW(window, slot) != own_procedure_value())
        previous_proc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, slot, own_procedure_value()));
    return true;
}

void Cwindow_base::detach()
{
    if (hwnd == nullptr)
        return;
    const auto bound = bound_windows().find(hwnd);
    if (bound != bound_windows().end() && bound->second == this)
        bound_windows().erase(bound);
    // Once the window is gone there is no procedure to restore and no property to remove.
    if (IsWindow(hwnd)) {
        if (previous_proc != nullptr)
            SetWindowLongPtrW(hwnd, procedure_slot(is_dialog), reinterpret_cast<LONG_PTR>(previous_proc));
        RemovePropW(hwnd, THIS_PROPERTY);
    }
    previous_proc = nullptr;
    hwnd = nullptr;
}

void Cwindow_base::record_creation()
{
    g_application.windows.push_back(hwnd);
}

bool Cwindow_base::record_destruction()
{
    auto& windows = g_application.windows;
    windows.erase(std::remove(windows.begin(), windows.end(), hwnd), windows.end());
    return true;
}

LRESULT CALLBACK Cwindow_base::static_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    Cwindow_base* object = bound_object(window);
    if (object == nullptr) {
        object = carried_object(message, lparam);
        if (object == nullptr)
            return unhandled(window, message, wparam, lparam);
        object->attach(window);
    }

    object->pre_proc(message, wparam, lparam);
    const LRESULT result = object->window_proc(message, wparam, lparam);
    if (message == WM_DESTROY)
        object->detach();
    return result;
}

}  // namespace Kesto
