#pragma once
#include <windows.h>

namespace Kesto {

// Handles every message already waiting and returns; never blocks. False when WM_QUIT was met.
bool pump_messages();
bool dispatch_message(MSG& message);

}  // namespace Kesto
