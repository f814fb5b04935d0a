// The pump that keeps the dialog alive during the copy: it never blocks, stops at WM_QUIT and
// gives keyboard messages to the toolkit's dialogs first.
#include "kesto/message_pump.h"

#include "res/resource.h"
#include "toolkit_support.h"

using namespace toolkit_test;

namespace {

const UINT CHAIN_MESSAGE = WM_APP + 1;

// Each link of the chain posts the next one while it is handled.
class Cchain_window : public Crecording_window {
public:
    LRESULT window_proc(UINT message, WPARAM wparam, LPARAM lparam) override
    {
        if (message == CHAIN_MESSAGE) {
            links.push_back(static_cast<int>(wparam));
            if (wparam < 5)
                PostMessageW(hwnd, CHAIN_MESSAGE, wparam + 1, 0);
        }
        return Crecording_window::window_proc(message, wparam, lparam);
    }
    std::vector<int> links;
};

bool queue_is_empty()
{
    MSG message;
    return !PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
}

using Pump = Ctoolkit_test;

}  // namespace

TEST_F(Pump, HandlesWhatIsPostedMeanwhileAndStopsAtQuit)
{
    ASSERT_TRUE(queue_is_empty());
    const ULONGLONG start = GetTickCount64();
    EXPECT_TRUE(Kesto::pump_messages()) << "an empty queue returns at once";
    EXPECT_LT(GetTickCount64() - start, 1000u);

    Cchain_window window;
    create_plain_window(&window);
    PostMessageW(window.hwnd, CHAIN_MESSAGE, 0, 0);
    EXPECT_TRUE(Kesto::pump_messages());
    EXPECT_EQ(window.links, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_TRUE(queue_is_empty());

    PostMessageW(window.hwnd, WM_APP, 0, 0);
    PostQuitMessage(3);
    EXPECT_FALSE(Kesto::pump_messages());
    EXPECT_TRUE(window.saw('w', WM_APP)) << "what was posted before WM_QUIT is handled";
    EXPECT_TRUE(queue_is_empty()) << "WM_QUIT is consumed";
    DestroyWindow(window.hwnd);
}

// Escape reaches a dialog as IDCANCEL only through IsDialogMessageW, so the command shows the
// route a keyboard message took: a dialog in the window list gets it, one missing from the list
// does not, and a plain window gets its keys translated and dispatched.
TEST_F(Pump, KeyboardMessagesForListedDialogsGoThroughIsDialogMessage)
{
    for (bool listed : {true, false}) {
        Crecording_dialog dialog;
        ASSERT_TRUE(dialog.create(IDD_UPDATE_PROCESS_TEMPLATE));
        if (!listed)
            g_application.windows.clear();
        PostMessageW(dialog.hwnd, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        EXPECT_TRUE(Kesto::pump_messages());
        EXPECT_EQ(dialog.commands, listed ? std::vector<WORD>{IDCANCEL} : std::vector<WORD>()) << listed;
        dialog.destroy();
    }
    Crecording_window window;
    create_plain_window(&window);
    PostMessageW(window.hwnd, WM_KEYDOWN, 'A', 0x001E0001);
    EXPECT_TRUE(Kesto::pump_messages());
    EXPECT_TRUE(window.saw('w', WM_KEYDOWN));
    EXPECT_TRUE(window.saw('w', WM_CHAR));  // made by TranslateMessage
    DestroyWindow(window.hwnd);
}
