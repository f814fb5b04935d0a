#include "kesto/dialog.h"

namespace Kesto {

bool Cdialog::create(int) { return false; }
LRESULT Cdialog::pre_proc(UINT, WPARAM, LPARAM) { return 0; }
LRESULT Cdialog::window_proc(UINT message, WPARAM wparam, LPARAM lparam) { return Cwindow_base::window_proc(message, wparam, lparam); }
void Cdialog::set_title(const std::wstring&) {}
void Cdialog::show() {}
void Cdialog::hide() {}
void Cdialog::destroy() {}

}  // namespace Kesto
