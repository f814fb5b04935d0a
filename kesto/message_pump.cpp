#include "kesto/message_pump.h"

#include <vector>

#include "kesto/application.h"
#include "kesto/window_base.h"

namespace Kesto {

bool pump_messages()
{
    MSG message = {};
    // Take only what is already waiting, but keep going while handling it queues more.
    while (PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
        if (GetMessageW(&message, nullptr, 0, 0) == 0)
            return false;
        dispatch_message(message);
    }
    return true;
}

bool dispatch_message(MSG& message)
{
    // A copy: handling the message may destroy a window and shrink the list under the loop.
    const std::vector<HWND> windows = g_application.windows;
    for (HWND window : windows) {
        if (has_dialog_procedure(window) && IsDialogMessageW(window, &message))
            return true;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
    return true;
}

}  // namespace Kesto
