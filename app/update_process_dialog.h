#pragma once
// The progress dialog: the file being copied, a bar for the whole update and one for the file.
#include "kesto/control.h"
#include "kesto/dialog.h"

#include "res/resource.h"

class Cupdate_process_dialog : public Kesto::Cdialog {
public:
    LRESULT window_proc(UINT message, WPARAM wparam, LPARAM lparam) override;
    bool on_init_dialog();

    Kesto::Cc_static status_text;
    // [0] the whole update, [1] the current file; both in thousandths.
    Kesto::Cc_progress progress_bars[2];
};

extern Cupdate_process_dialog g_progress_dialog;
