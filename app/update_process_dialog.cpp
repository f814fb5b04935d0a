#include "app/update_process_dialog.h"

LRESULT Cupdate_process_dialog::window_proc(UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_INITDIALOG && !on_init_dialog())
        return 0;
    return Kesto::Cdialog::window_proc(message, wparam, lparam);
}

// The items exist by now: the dialog manager makes them before WM_INITDIALOG.
bool Cupdate_process_dialog::on_init_dialog()
{
    status_text.bind_dialog_item(*this, IDC_STATUS_TEXT);
    progress_bars[0].bind_dialog_item(*this, IDC_OVERALL_PROGRESS);
    progress_bars[1].bind_dialog_item(*this, IDC_FILE_PROGRESS);
    return true;
}
