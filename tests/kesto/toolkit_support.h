#pragma once
// Shared by the toolkit tests: objects that record what reaches their two virtual operations,
// a plain window class served by the toolkit's procedure, and a control class of our own.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kesto/application.h"
#include "kesto/control.h"
#include "kesto/dialog.h"
#include "kesto/window_base.h"

namespace toolkit_test {

// One call of a virtual operation: which one, and the message it got.
struct Ccall {
    char operation;  // 'p' pre_proc, 'w' window_proc
    UINT message;
    bool operator==(const Ccall& other) const { return operation == other.operation && message == other.message; }
};

// Any toolkit class, recording every call of its two virtual operations and the commands it gets.
template <class Base>
class Crecording : public Base {
public:
    LRESULT pre_proc(UINT message, WPARAM wparam, LPARAM lparam) override
    {
        calls.push_back({'p', message});
        return Base::pre_proc(message, wparam, lparam);
    }
    LRESULT window_proc(UINT message, WPARAM wparam, LPARAM lparam) override
    {
        calls.push_back({'w', message});
        if (message == WM_COMMAND)
            commands.push_back(LOWORD(wparam));
        return Base::window_proc(message, wparam, lparam);
    }
    bool saw(char operation, UINT message) const
    {
        for (const Ccall& call : calls)
            if (call.operation == operation && call.message == message)
                return true;
        return false;
    }
    std::vector<Ccall> calls;
    std::vector<WORD> commands;
};

using Crecording_window = Crecording<Kesto::Cwindow_base>;
using Crecording_dialog = Crecording<Kesto::Cdialog>;

// A top-level window of a class whose procedure is the toolkit's, created with the object as
// its creation parameter (null: a window that no object ever binds).
HWND create_plain_window(Kesto::Cwindow_base* object, const wchar_t* title = L"plain");

// A dialog from template 101 with a dialog procedure of its own that handles nothing, so no
// object binds it unless a test does.
HWND create_foreign_dialog();
INT_PTR CALLBACK foreign_dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// A child of our own class, whose own procedure logs what reaches it.
HWND create_recording_control(HWND parent, int item_id);
struct Ccontrol_log {
    std::vector<UINT> messages;
    // What the control looked like when WM_NCDESTROY reached its own procedure.
    LONG_PTR procedure_at_ncdestroy = 0;
    HANDLE property_at_ncdestroy = nullptr;
};
extern Ccontrol_log control_log;
LRESULT CALLBACK recording_control_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Every message sent to any window of this thread, in order, as a WH_CALLWNDPROC hook sees it.
class Csent_messages {
public:
    Csent_messages();
    ~Csent_messages();
    std::vector<UINT> to(HWND window) const;
    struct Centry {
        HWND window;
        UINT message;
    };
    std::vector<Centry> entries;

private:
    HHOOK hook_;
};

LONG_PTR toolkit_procedure();

// Every test starts and ends with no toolkit window open.
class Ctoolkit_test : public ::testing::Test {
protected:
    void SetUp() override { TearDown(); }
    void TearDown() override
    {
        for (HWND window : std::vector<HWND>(g_application.windows))
            DestroyWindow(window);
        g_application.windows.clear();
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
};

}  // namespace toolkit_test
