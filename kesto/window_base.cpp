#include "kesto/window_base.h"

namespace Kesto {

Cwindow_base::~Cwindow_base() { detach(); }
LRESULT Cwindow_base::pre_proc(UINT, WPARAM, LPARAM) { return 0; }
LRESULT Cwindow_base::window_proc(UINT, WPARAM, LPARAM) { return 0; }
bool Cwindow_base::attach(HWND) { return false; }
void Cwindow_base::detach() {}
void Cwindow_base::record_creation() {}
bool Cwindow_base::record_destruction() { return true; }
LRESULT CALLBACK Cwindow_base::static_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace Kesto
