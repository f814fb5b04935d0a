#pragma once
#include <string>

#include "kesto/window_base.h"

namespace Kesto {

class Cdialog;

// Every occurrence of what replaced by with; the search resumes after each insertion.
std::wstring replace_all(const std::wstring& text, const std::wstring& what, const std::wstring& with);

// A wrapper bound to one item of a dialog while the dialog is being initialised.
class Ccontrol : public Cwindow_base {
public:
    void bind_dialog_item(const Cdialog& parent, int item_id);
    void set_text(const std::wstring& text);

    // For a control whose painting is held off (set_redraw on its dialog): while held, it keeps
    // only the last of the messages that change what it shows (WM_SETTEXT, PBM_SETPOS) and is
    // told that one when released, or before any other message it gets. A control that cannot be
    // seen to change then costs nothing to change; what it shows once painted is the same.
    void hold_changes(bool hold);
    LRESULT window_proc(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    void release_change();

    bool holding_ = false;
    UINT held_message_ = 0;  // 0: nothing held
    WPARAM held_wparam_ = 0;
    std::wstring held_text_;
};

class Cc_static : public Ccontrol {};

class Cc_progress : public Ccontrol {
public:
    void set_range(int low, int high);
    void set_position(int position);
};

}  // namespace Kesto
