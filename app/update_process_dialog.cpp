#include "app/update_process_dialog.h"

LRESULT Cupdate_process_dialog::window_proc(UINT message, WPARAM wparam, LPARAM lparam)
{
    return Kesto::Cdialog::window_proc(message, wparam, lparam);
}

bool Cupdate_process_dialog::on_init_dialog()
{
    return true;
}
