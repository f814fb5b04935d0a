// Binding windows to objects, against the real user32: which message binds, where the messages
// before it go, subclassing and its undoing, and the list of open toolkit windows.
#include <windows.h>
#include <commctrl.h>

#include "res/resource.h"
#include "toolkit_support.h"

using namespace toolkit_test;
using Kesto::Cwindow_base;

namespace {

size_t position_of(const std::vector<UINT>& messages, UINT message)
{
    return std::find(messages.begin(), messages.end(), message) - messages.begin();
}

class Binding : public Ctoolkit_test {};

}  // namespace

TEST_F(Binding, PlainWindowIsBoundAtNcCreateAndEarlierMessagesGoToDefWindowProc)
{
    Csent_messages sent;
    Crecording_window object;
    HWND window = create_plain_window(&object);
    ASSERT_NE(window, nullptr);

    const std::vector<UINT> to_window = sent.to(window);
    ASSERT_LT(position_of(to_window, WM_NCCREATE), to_window.size());
    EXPECT_LT(position_of(to_window, WM_GETMINMAXINFO), position_of(to_window, WM_NCCREATE));
    ASSERT_GE(object.calls.size(), 2u);
    EXPECT_EQ(object.calls[0], (Ccall{'p', WM_NCCREATE}));
    EXPECT_EQ(object.calls[1], (Ccall{'w', WM_NCCREATE}));

    EXPECT_EQ(object.hwnd, window);
    EXPECT_EQ(GetPropW(window, Kesto::THIS_PROPERTY), static_cast<Cwindow_base*>(&object));
    EXPECT_FALSE(object.is_dialog);
    EXPECT_EQ(object.previous_proc, nullptr);
    EXPECT_EQ(GetWindowLongPtrW(window, GWLP_WNDPROC), toolkit_procedure());
    // The title is set by DefWindowProcW's WM_NCCREATE, which the base handling passed it to.
    EXPECT_EQ(window_text(window), L"plain");
    EXPECT_EQ(g_application.windows, std::vector<HWND>{window});

    SendMessageW(window, WM_USER + 1, 0, 0);
    DestroyWindow(window);
    // pre_proc sees every message just before window_proc.
    for (size_t i = 0; i + 1 < object.calls.size(); i += 2)
        EXPECT_EQ(object.calls[i + 1], (Ccall{'w', object.calls[i].message})) << i;
    EXPECT_TRUE(object.saw('p', WM_USER + 1));
    EXPECT_EQ(object.hwnd, nullptr);
    EXPECT_EQ(object.calls.back(), (Ccall{'w', WM_DESTROY}));
    EXPECT_FALSE(object.saw('p', WM_NCDESTROY));
    EXPECT_TRUE(g_application.windows.empty());
}

// Messages no object can be found for: default handling for a plain window, 0 for a dialog. A
// dialog made with a null parameter gives nothing to read the page size from: nothing binds.
TEST_F(Binding, UnboundWindowsGetTheDefaultHandling)
{
    HWND plain = create_plain_window(nullptr, L"plain");
    HWND dialog = create_foreign_dialog();
    ASSERT_TRUE(plain != nullptr && dialog != nullptr);
    wchar_t text[32] = L"untouched";
    EXPECT_EQ(Cwindow_base::static_window_proc(dialog, WM_GETTEXT, 32, reinterpret_cast<LPARAM>(text)), 0);
    EXPECT_STREQ(text, L"untouched");
    const WPARAM font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
    EXPECT_EQ(Cwindow_base::static_window_proc(dialog, WM_SETFONT, font, 0), 0);
    EXPECT_EQ(Cwindow_base::static_window_proc(dialog, WM_INITDIALOG, 0, 0), 0);
    EXPECT_EQ(Cwindow_base::static_window_proc(plain, WM_GETTEXT, 32, reinterpret_cast<LPARAM>(text)), 5);
    EXPECT_STREQ(text, L"plain");
    EXPECT_EQ(GetPropW(plain, Kesto::THIS_PROPERTY), nullptr);
    EXPECT_EQ(GetPropW(dialog, Kesto::THIS_PROPERTY), nullptr);
    DestroyWindow(plain);
    DestroyWindow(dialog);
    EXPECT_TRUE(g_application.windows.empty());
}

TEST_F(Binding, DialogIsBoundAtInitDialogAndItsWmSetFontBeforeIsNotPassedOn)
{
    Csent_messages sent;
    Crecording_dialog dialog;
    ASSERT_TRUE(dialog.create(IDD_UPDATE_PROCESS_TEMPLATE));

    const std::vector<UINT> to_dialog = sent.to(dialog.hwnd);
    EXPECT_LT(position_of(to_dialog, WM_SETFONT), position_of(to_dialog, WM_INITDIALOG));
    ASSERT_FALSE(dialog.calls.empty());
    EXPECT_EQ(dialog.calls[0], (Ccall{'p', WM_INITDIALOG}));
    EXPECT_FALSE(dialog.saw('p', WM_SETFONT));

    EXPECT_TRUE(dialog.is_dialog);
    EXPECT_EQ(dialog.previous_proc, nullptr);
    EXPECT_EQ(GetWindowLongPtrW(dialog.hwnd, DWLP_DLGPROC), toolkit_procedure());
    EXPECT_EQ(g_application.windows, std::vector<HWND>{dialog.hwnd});
    // Bound now, the dialog's unhandled messages still return 0 from its dialog procedure.
    EXPECT_EQ(Cwindow_base::static_window_proc(dialog.hwnd, WM_GETTEXTLENGTH, 0, 0), 0);
    dialog.destroy();
    EXPECT_EQ(dialog.hwnd, nullptr);
}

// A property sheet page passes the page itself at WM_INITDIALOG; its lParam is the object.
TEST_F(Binding, InitDialogParameterIsAPropertySheetPageOnlyWhenItStartsWith48)
{
    const struct {
        const char* name;
        DWORD page_size;  // 0: the object itself is the parameter
        bool page_carries_object;
        bool binds;
    } rows[] = {
        {"page of 48 bytes", 48, true, true},
        {"page of 48 bytes without object", 48, false, false},
        {"the object itself", 0, true, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        HWND dialog = create_foreign_dialog();
        Crecording_window object;
        PROPSHEETPAGEW page = {};
        page.dwSize = row.page_size;
        page.lParam = row.page_carries_object ? reinterpret_cast<LPARAM>(static_cast<Cwindow_base*>(&object)) : 0;
        const LPARAM parameter = row.page_size != 0 ? reinterpret_cast<LPARAM>(&page)
                                                    : reinterpret_cast<LPARAM>(static_cast<Cwindow_base*>(&object));

        EXPECT_EQ(Cwindow_base::static_window_proc(dialog, WM_INITDIALOG, 0, parameter), 0);
        if (row.binds) {
            EXPECT_EQ(object.hwnd, dialog);
            EXPECT_EQ(object.calls.front(), (Ccall{'p', WM_INITDIALOG}));
            EXPECT_TRUE(object.is_dialog);
            // Not made with the toolkit's procedure: its dialog-procedure slot is subclassed.
            EXPECT_EQ(object.previous_proc, reinterpret_cast<WNDPROC>(&foreign_dialog_proc));
            EXPECT_EQ(GetWindowLongPtrW(dialog, DWLP_DLGPROC), toolkit_procedure());
            object.detach();
            EXPECT_EQ(GetWindowLongPtrW(dialog, DWLP_DLGPROC), reinterpret_cast<LONG_PTR>(&foreign_dialog_proc));
            EXPECT_EQ(GetPropW(dialog, Kesto::THIS_PROPERTY), nullptr);
        }
        EXPECT_EQ(object.calls.empty(), !row.binds);
        EXPECT_EQ(object.hwnd, nullptr);
        DestroyWindow(dialog);
    }
}

TEST_F(Binding, DialogItemIsSubclassedAndItsOwnProcedureRestoredAfterWmDestroy)
{
    Crecording_dialog dialog;
    ASSERT_TRUE(dialog.create(IDD_UPDATE_PROCESS_TEMPLATE));
    HWND item = create_recording_control(dialog.hwnd, 2001);
    Crecording<Kesto::Ccontrol> control;
    control.bind_dialog_item(dialog, 2001);

    EXPECT_EQ(control.hwnd, item);
    EXPECT_FALSE(control.is_dialog);
    EXPECT_EQ(control.previous_proc, &recording_control_proc);
    EXPECT_EQ(GetWindowLongPtrW(item, GWLP_WNDPROC), toolkit_procedure());
    EXPECT_EQ(GetPropW(item, Kesto::THIS_PROPERTY), static_cast<Cwindow_base*>(&control));
    // Controls bound to existing items never see WM_CREATE and are not in the list.
    EXPECT_EQ(g_application.windows, std::vector<HWND>{dialog.hwnd});

    control_log = Ccontrol_log();
    SendMessageW(item, WM_USER + 7, 0, 0);
    EXPECT_TRUE(control.saw('w', WM_USER + 7));
    EXPECT_EQ(control_log.messages, std::vector<UINT>{WM_USER + 7});
    Kesto::Cc_static missing;
    missing.bind_dialog_item(dialog, 4242);
    EXPECT_EQ(missing.hwnd, nullptr);
    missing.set_text(L"nowhere");  // sent to no window

    control_log = Ccontrol_log();
    dialog.destroy();
    EXPECT_EQ(control.calls.back(), (Ccall{'w', WM_DESTROY}));
    EXPECT_FALSE(control.saw('p', WM_NCDESTROY));
    EXPECT_EQ(control_log.messages, (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
    EXPECT_EQ(control_log.procedure_at_ncdestroy, reinterpret_cast<LONG_PTR>(&recording_control_proc));
    EXPECT_EQ(control_log.property_at_ncdestroy, nullptr);
    EXPECT_EQ(control.hwnd, nullptr);
    EXPECT_EQ(control.previous_proc, nullptr);
    EXPECT_TRUE(g_application.windows.empty());
}

TEST_F(Binding, DetachAndDestructorLeaveWindowsAloneWhenUnboundOrGone)
{
    Crecording_window never_bound;
    never_bound.detach();
    EXPECT_TRUE(never_bound.hwnd == nullptr && never_bound.previous_proc == nullptr && !never_bound.is_dialog);

    HWND survivor = create_plain_window(nullptr, L"survivor");
    {
        Crecording_window object;
        create_plain_window(&object);
        DestroyWindow(object.hwnd);
        EXPECT_EQ(object.hwnd, nullptr);
    }
    {
        // A handle that outlived its window (someone unhooked us before WM_DESTROY).
        Crecording_window object;
        HWND parent = create_plain_window(nullptr);
        HWND item = create_recording_control(parent, 1);
        object.attach(item);
        SetWindowLongPtrW(item, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&recording_control_proc));
        DestroyWindow(parent);
        EXPECT_EQ(object.hwnd, item);
        object.detach();
        EXPECT_EQ(object.hwnd, nullptr);
        EXPECT_EQ(object.previous_proc, nullptr);
    }
    EXPECT_EQ(window_text(survivor), L"survivor");
    EXPECT_EQ(GetWindowLongPtrW(survivor, GWLP_WNDPROC), toolkit_procedure());
    DestroyWindow(survivor);
    EXPECT_TRUE(g_application.windows.empty());
}

// WM_CLOSE destroys and returns 0, for a plain window and a dialog alike; the list of windows
// keeps its order when a middle one goes.
TEST_F(Binding, WmCloseDestroysAndTheWindowListKeepsItsOrder)
{
    Crecording_window first, middle, last;
    Crecording_dialog dialog;
    HWND a = create_plain_window(&first);
    HWND b = create_plain_window(&middle);
    HWND c = create_plain_window(&last);
    EXPECT_EQ(g_application.windows, (std::vector<HWND>{a, b, c}));

    EXPECT_EQ(SendMessageW(b, WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(IsWindow(b));
    EXPECT_EQ(middle.hwnd, nullptr);
    EXPECT_EQ(g_application.windows, (std::vector<HWND>{a, c}));
    ASSERT_TRUE(dialog.create(IDD_UPDATE_PROCESS_TEMPLATE));
    EXPECT_EQ(g_application.windows, (std::vector<HWND>{a, c, dialog.hwnd}));
    DestroyWindow(a);
    EXPECT_EQ(g_application.windows, (std::vector<HWND>{c, dialog.hwnd}));
    HWND dialog_window = dialog.hwnd;
    EXPECT_EQ(SendMessageW(dialog_window, WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(IsWindow(dialog_window));
    EXPECT_EQ(dialog.hwnd, nullptr);
    EXPECT_EQ(g_application.windows, (std::vector<HWND>{c}));
}

TEST_F(Binding, CreateRefusesABoundDialogOrAMissingTemplate)
{
    Crecording_dialog dialog;
    ASSERT_TRUE(dialog.create(IDD_UPDATE_PROCESS_TEMPLATE));
    HWND first = dialog.hwnd;
    EXPECT_FALSE(dialog.create(IDD_UPDATE_PROCESS_TEMPLATE));
    EXPECT_EQ(dialog.hwnd, first);
    EXPECT_EQ(g_application.windows, std::vector<HWND>{first});

    dialog.destroy();
    EXPECT_FALSE(dialog.create(999)) << "no such template";
    EXPECT_EQ(dialog.hwnd, nullptr);
    EXPECT_TRUE(dialog.create(IDD_UPDATE_PROCESS_TEMPLATE));
    EXPECT_EQ(g_application.windows, std::vector<HWND>{dialog.hwnd});
    dialog.destroy();
}
