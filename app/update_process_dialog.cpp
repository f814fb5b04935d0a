#include "app/update_process_dialog.h"

#include "kesto/message_pump.h"

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

namespace {

// A paint at most every quarter second, so that the bars still move smoothly; at least every
// 100 ms apart (ten a second is as smooth as a bar needs), and otherwise fifteen times what the
// last paint took, so that painting stays near a fifteenth of the copy wherever it is slow.
constexpr ULONGLONG SHORTEST_PAINT_INTERVAL_MS = 100;
constexpr ULONGLONG LONGEST_PAINT_INTERVAL_MS = 250;
constexpr ULONGLONG PAINT_COST_FACTOR = 15;

}  // namespace

void Cupdate_process_dialog::paint_if_due()
{
    if (!holding_ || GetTickCount64() >= next_paint_)
        paint(true);
}

void Cupdate_process_dialog::pump_if_due()
{
    const ULONGLONG now = GetTickCount64();
    if (now < next_pump_)
        return;
    next_pump_ = now + 10;
    Kesto::pump_messages();
}

void Cupdate_process_dialog::paint_now()
{
    paint(false);
}

void Cupdate_process_dialog::paint(bool hold_after)
{
    if (hwnd == nullptr)
        return;
    const ULONGLONG started = GetTickCount64();
    if (holding_) {
        hold_controls(false);
        set_redraw(true);
    }
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    if (hold_after) {
        set_redraw(false);
        hold_controls(true);
    }
    holding_ = hold_after;
    const ULONGLONG cost = GetTickCount64() - started;
    ULONGLONG interval = cost * PAINT_COST_FACTOR;
    if (interval < SHORTEST_PAINT_INTERVAL_MS)
        interval = SHORTEST_PAINT_INTERVAL_MS;
    if (interval > LONGEST_PAINT_INTERVAL_MS)
        interval = LONGEST_PAINT_INTERVAL_MS;
    next_paint_ = GetTickCount64() + interval;
}

// Between paints the text and the bars only keep what they are told last: they cannot be seen to
// change, and a control told each change would ask Windows to repaint it every block.
void Cupdate_process_dialog::hold_controls(bool hold)
{
    status_text.hold_changes(hold);
    progress_bars[0].hold_changes(hold);
    progress_bars[1].hold_changes(hold);
}
