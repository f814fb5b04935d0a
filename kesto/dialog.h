#pragma once
#include <string>

#include "kesto/window_base.h"

namespace Kesto {

// A modeless dialog made from a dialog template of the program's resources.
class Cdialog : public Cwindow_base {
public:
    bool create(int template_id);
    LRESULT pre_proc(UINT message, WPARAM wparam, LPARAM lparam) override;
    LRESULT window_proc(UINT message, WPARAM wparam, LPARAM lparam) override;

    void set_title(const std::wstring& text);
    void show();
    void hide();
    void destroy();
};

}  // namespace Kesto
