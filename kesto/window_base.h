#pragma once
// Binds Win32 windows to objects: one procedure serves every toolkit window, finds the object
// the window is bound to and hands each message to its two virtual operations.
#include <windows.h>

namespace Kesto {

// The property that links a window to its object, for anyone who looks at the window. The
// procedure itself finds the object in the toolkit's own list of bound windows, kept beside the
// property by attach and detach: under Wine each property read is a round trip to the window
// server, and the copy sends its controls a few messages every block.
extern const wchar_t* const THIS_PROPERTY;

// Non-zero dialog-procedure slot: the window is a dialog, whose default work the dialog manager
// does, so unhandled messages return 0 instead of going to DefWindowProcW.
bool has_dialog_procedure(HWND window);

class Cwindow_base {
public:
    Cwindow_base() = default;
    // Not virtual: toolkit objects are owned by value and destroyed through their own type.
    ~Cwindow_base();
    Cwindow_base(const Cwindow_base&) = delete;
    Cwindow_base& operator=(const Cwindow_base&) = delete;

    // Sees every message before window_proc; its result is ignored.
    virtual LRESULT pre_proc(UINT message, WPARAM wparam, LPARAM lparam);
    virtual LRESULT window_proc(UINT message, WPARAM wparam, LPARAM lparam);

    // WM_SETREDRAW: while off, the window and its children are not painted.
    void set_redraw(bool on) { SendMessageW(hwnd, WM_SETREDRAW, on ? TRUE : FALSE, 0); }

    bool attach(HWND window);
    void detach();
    void record_creation();
    bool record_destruction();

    // Usable as a window procedure, a dialog procedure and a subclass procedure alike.
    static LRESULT CALLBACK static_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

    HWND hwnd = nullptr;
    // What attach replaced: a window procedure, or a dialog procedure when is_dialog is set.
    WNDPROC previous_proc = nullptr;
    bool is_dialog = false;
};

}  // namespace Kesto
