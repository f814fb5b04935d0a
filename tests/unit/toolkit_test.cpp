// The window toolkit against the real user32: which message binds an object, subclassed dialog
// items, WM_CLOSE, the list of open windows, and the pump the copy calls after every block.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "kesto/application.h"
#include "kesto/control.h"
#include "kesto/dialog.h"
#include "kesto/message_pump.h"
#include "res/resource.h"

namespace {

// Records every call of the two virtual operations: 'p' pre_proc, 'w' window_proc.
template <class Base>
struct Crecording : Base {
    LRESULT pre_proc(UINT message, WPARAM wparam, LPARAM lparam) override
    {
        calls.push_back({'p', message});
        return Base::pre_proc(message, wparam, lparam);
    }
    LRESULT window_proc(UINT message, WPARAM wparam, LPARAM lparam) override
    {
        calls.push_back({'w', message});
        if (message == WM_APP)  // a chain: each link posts the next while it is handled
            PostMessageW(this->hwnd, wparam > 1 ? WM_APP : WM_QUIT, wparam - 1, 0);
        return Base::window_proc(message, wparam, lparam);
    }
    std::vector<std::pair<char, UINT>> calls;
};

HWND create_plain_window(Kesto::Cwindow_base* object)
{
    static const ATOM plain_class = [] {
        WNDCLASSEXW window_class = {};
        window_class.cbSize = sizeof(window_class);
        window_class.lpfnWndProc = &Kesto::Cwindow_base::static_window_proc;
        window_class.hInstance = GetModuleHandleW(nullptr);
        window_class.lpszClassName = L"kesto_test_plain";
        return RegisterClassExW(&window_class);
    }();
    return CreateWindowExW(0, MAKEINTATOM(plain_class), L"plain", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                           nullptr, GetModuleHandleW(nullptr), object);
}

class Toolkit : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_application.instance = GetModuleHandleW(nullptr);
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
    }
    void TearDown() override { EXPECT_TRUE(g_application.windows.empty()); }
};

}  // namespace

TEST_F(Toolkit, PlainWindowIsBoundAtNcCreateAndUnboundAtDestroy)
{
    Crecording<Kesto::Cwindow_base> object;
    HWND window = create_plain_window(&object);
    ASSERT_NE(window, nullptr);
    // WM_GETMINMAXINFO comes first and, with no object to find yet, goes to DefWindowProcW.
    ASSERT_GE(object.calls.size(), 2u);
    EXPECT_EQ(object.calls[0], std::make_pair('p', static_cast<UINT>(WM_NCCREATE)));
    EXPECT_EQ(object.calls[1], std::make_pair('w', static_cast<UINT>(WM_NCCREATE)));
    EXPECT_EQ(object.hwnd, window);
    EXPECT_EQ(GetPropW(window, Kesto::THIS_PROPERTY), static_cast<Kesto::Cwindow_base*>(&object));
    EXPECT_EQ(g_application.windows, std::vector<HWND>{window});

    DestroyWindow(window);
    EXPECT_EQ(object.hwnd, nullptr);
    EXPECT_EQ(object.calls.back(), std::make_pair('w', static_cast<UINT>(WM_DESTROY)));
}

// The progress dialog's shape: bound at WM_INITDIALOG, its items subclassed by bind_dialog_item
// and given back their own procedure when detached or when the dialog goes.
TEST_F(Toolkit, DialogFromItsTemplateAndItsBoundItems)
{
    Crecording<Kesto::Cdialog> dialog;
    ASSERT_TRUE(dialog.create(IDD_UPDATE_PROCESS_TEMPLATE));
    EXPECT_FALSE(dialog.create(IDD_UPDATE_PROCESS_TEMPLATE)) << "already bound";
    EXPECT_TRUE(dialog.is_dialog);
    EXPECT_EQ(g_application.windows, std::vector<HWND>{dialog.hwnd});

    Kesto::Cc_progress bar;
    HWND item = GetDlgItem(dialog.hwnd, IDC_OVERALL_PROGRESS);
    const LONG_PTR own_procedure = GetWindowLongPtrW(item, GWLP_WNDPROC);
    bar.bind_dialog_item(dialog, IDC_OVERALL_PROGRESS);
    EXPECT_EQ(bar.hwnd, item);
    EXPECT_EQ(bar.previous_proc, reinterpret_cast<WNDPROC>(own_procedure));
    bar.set_range(0, 1000);
    bar.set_position(417);
    EXPECT_EQ(SendMessageW(item, PBM_GETPOS, 0, 0), 417);

    Kesto::Cc_static text;
    HWND label = GetDlgItem(dialog.hwnd, IDC_STATUS_TEXT);
    const LONG_PTR label_procedure = GetWindowLongPtrW(label, GWLP_WNDPROC);
    text.bind_dialog_item(dialog, IDC_STATUS_TEXT);
    text.set_text(L"a\nb");
    wchar_t shown[16] = {};
    GetWindowTextW(text.hwnd, shown, 16);
    EXPECT_STREQ(shown, L"a\r\nb");
    // Detached while the dialog stays: the item has its own procedure back and no "this".
    text.detach();
    EXPECT_EQ(GetWindowLongPtrW(label, GWLP_WNDPROC), label_procedure);
    EXPECT_EQ(GetPropW(label, Kesto::THIS_PROPERTY), nullptr);

    dialog.destroy();
    EXPECT_EQ(dialog.hwnd, nullptr);
    EXPECT_EQ(bar.hwnd, nullptr);
    EXPECT_EQ(bar.previous_proc, nullptr);
    bar.set_position(5);  // to no window: nothing happens
}

// WM_CLOSE destroys, and the list keeps its order when a middle window goes. An object whose
// window is already gone detaches without touching it.
TEST_F(Toolkit, WmCloseDestroysAndTheWindowListKeepsItsOrder)
{
    Crecording<Kesto::Cwindow_base> first, middle, last;
    HWND a = create_plain_window(&first), b = create_plain_window(&middle), c = create_plain_window(&last);
    EXPECT_EQ(g_application.windows, (std::vector<HWND>{a, b, c}));
    EXPECT_EQ(SendMessageW(b, WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(IsWindow(b));
    EXPECT_EQ(g_application.windows, (std::vector<HWND>{a, c}));

    {
        Kesto::Cwindow_base outlived;
        outlived.attach(a);
        SetWindowLongPtrW(a, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProcW));
        DestroyWindow(a);
        outlived.detach();
        EXPECT_EQ(outlived.hwnd, nullptr);
    }
    g_application.windows.erase(g_application.windows.begin());
    DestroyWindow(c);
}

// The pump takes what is waiting, and what handling it posts, without blocking; WM_QUIT ends it.
TEST_F(Toolkit, PumpHandlesWhatIsPostedMeanwhileAndStopsAtQuit)
{
    EXPECT_TRUE(Kesto::pump_messages()) << "an empty queue";
    Crecording<Kesto::Cwindow_base> object;
    HWND window = create_plain_window(&object);
    PostMessageW(window, WM_APP, 3, 0);
    EXPECT_FALSE(Kesto::pump_messages());
    EXPECT_EQ(std::count(object.calls.begin(), object.calls.end(), std::make_pair('w', static_cast<UINT>(WM_APP))), 3);
    MSG left;
    EXPECT_FALSE(PeekMessageW(&left, nullptr, 0, 0, PM_NOREMOVE)) << "WM_QUIT was taken";
    DestroyWindow(window);
}
