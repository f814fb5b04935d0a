// Shows the progress dialog as it looks halfway through a file, for a screenshot taken from
// outside (scripts/screenshot-dialog.sh). Prints the dialog's screen rectangle once it is drawn,
// then keeps it on screen for the given number of seconds.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

#include "app/update_process_dialog.h"
#include "kesto/application.h"
#include "kesto/message_pump.h"

namespace {

void pump_for(DWORD milliseconds)
{
    const ULONGLONG end = GetTickCount64() + milliseconds;
    while (GetTickCount64() < end) {
        Kesto::pump_messages();
        Sleep(20);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const DWORD seconds_on_screen = argc > 1 ? static_cast<DWORD>(atoi(argv[1])) : 5;
    g_application.instance = GetModuleHandleW(nullptr);
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_INTERNET_CLASSES;
    InitCommonControlsEx(&controls);

    if (!g_progress_dialog.create(IDD_UPDATE_PROCESS_TEMPLATE))
        return 1;
    g_progress_dialog.set_title(L"ルミナス物語 アップデート");
    for (Kesto::Cc_progress& bar : g_progress_dialog.progress_bars)
        bar.set_range(0, 1000);
    g_progress_dialog.show();
    g_progress_dialog.status_text.set_text(L"BGM\\オープニング.ogg");
    g_progress_dialog.progress_bars[0].set_position(420);
    g_progress_dialog.progress_bars[1].set_position(680);
    pump_for(1500);

    RECT rect;
    GetWindowRect(g_progress_dialog.hwnd, &rect);
    printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    fflush(stdout);
    pump_for(seconds_on_screen * 1000);

    g_progress_dialog.hide();
    g_progress_dialog.destroy();
    return 0;
}
