#pragma once
// Binds Win32 windows to objects: one procedure serves every toolkit window, finds the object
// through the window property "this" and hands each message to its two virtual operations.
#include <windows.h>

namespace Kesto {

class Cwindow_base {
public:
    Cwindow_base() = default;
    // Not virtual: toolkit objects are owned by value and destroyed through their own type.
    ~Cwindow_base();
    Cwindow_base(const Cwindow_base&) = delete;
    Cwindow_base& operator=(const Cwindow_base&) = delete;

    virtual LRESULT pre_proc(UINT message, WPARAM wparam, LPARAM lparam);
    virtual LRESULT window_proc(UINT message, WPARAM wparam, LPARAM lparam);

    bool attach(HWND window);
    void detach();
    void record_creation();
    bool record_destruction();

    static LRESULT CALLBACK static_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

    HWND hwnd = nullptr;
    WNDPROC previous_proc = nullptr;
    bool is_dialog = false;
};

}  // namespace Kesto
