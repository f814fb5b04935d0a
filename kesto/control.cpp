#include "kesto/control.h"

#include "kesto/dialog.h"

namespace Kesto {

void Ccontrol::bind_dialog_item(const Cdialog&, int) {}
void Ccontrol::set_text(const std::wstring&) {}
void Cc_progress::set_range(int, int) {}
void Cc_progress::set_position(int) {}

}  // namespace Kesto
