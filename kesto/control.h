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
};

class Cc_static : public Ccontrol {};

class Cc_progress : public Ccontrol {
public:
    void set_range(int low, int high);
    void set_position(int position);
};

}  // namespace Kesto
