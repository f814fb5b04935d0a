#pragma once
// The progress dialog: the file being copied, a bar for the whole update and one for the file.
#include "kesto/control.h"
#include "kesto/dialog.h"

#include "res/resource.h"

class Cupdate_process_dialog : public Kesto::Cdialog {
public:
    LRESULT window_proc(UINT message, WPARAM wparam, LPARAM lparam) override;
    bool on_init_dialog();

    // The copy sets the bars after every block, far more often than a player can see. Painting is
    // held off meanwhile and done at a pace set by what one paint costs, so that where painting is
    // slow it takes a small share of the copy and the bars still move several times a second.
    void paint_if_due();
    // Paints now, and lets the dialog paint itself from then on (before a box, and at the end).
    void paint_now();
    // Handles the messages waiting, at most every few milliseconds: each look is a round trip to
    // the window server and costs more than the copy of a small file, and the dialog stays as
    // quick to answer as a player can tell.
    void pump_if_due();

    Kesto::Cc_static status_text;
    // [0] the whole update, [1] the current file; both in thousandths.
    Kesto::Cc_progress progress_bars[2];

private:
    void paint(bool hold_after);
    void hold_controls(bool hold);

    bool holding_ = false;
    ULONGLONG next_paint_ = 0;
    ULONGLONG next_pump_ = 0;
};

extern Cupdate_process_dialog g_progress_dialog;
