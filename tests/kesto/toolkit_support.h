#pragma once
// Shared by the toolkit tests: objects that record what reaches their two virtual operations,
// a plain window class served by the toolkit's procedure, and a control class of our own.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "kesto/application.h"
#include "kesto/control.h"
#include "kesto/dialog.h"
#include "kesto/window_base.h"
#include "res/resource.h"

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
        return std::find(calls.begin(), calls.end(), Ccall{operation, message}) != calls.end();
    }
    std::vector<Ccall> calls;
    std::vector<WORD> commands;
};

using Crecording_window = Crecording<Kesto::Cwindow_base>;
using Crecording_dialog = Crecording<Kesto::Cdialog>;

const wchar_t* const PLAIN_CLASS = L"kesto_test_plain";
const wchar_t* const RECORDING_CONTROL_CLASS = L"kesto_test_recording_control";

// A child of our own class, whose own procedure logs what reaches it and what the control looked
// like when WM_NCDESTROY reached it.
struct Ccontrol_log {
    std::vector<UINT> messages;
    LONG_PTR procedure_at_ncdestroy = 0;
    HANDLE property_at_ncdestroy = nullptr;
};
inline Ccontrol_log control_log;

inline LRESULT CALLBACK recording_control_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    control_log.messages.push_back(message);
    if (message == WM_NCDESTROY) {
        control_log.procedure_at_ncdestroy = GetWindowLongPtrW(window, GWLP_WNDPROC);
        control_log.property_at_ncdestroy = GetPropW(window, Kesto::THIS_PROPERTY);
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

inline HWND create_recording_control(HWND parent, int item_id)
{
    return CreateWindowExW(0, RECORDING_CONTROL_CLASS, L"", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(item_id)), GetModuleHandleW(nullptr),
                           nullptr);
}

// A top-level window of a class whose procedure is the toolkit's, created with the object as
// its creation parameter (null: a window that no object ever binds).
inline HWND create_plain_window(Kesto::Cwindow_base* object, const wchar_t* title = L"plain")
{
    return CreateWindowExW(0, PLAIN_CLASS, title, WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr, nullptr,
                           GetModuleHandleW(nullptr), object);
}

// A dialog from template 101 with a dialog procedure of its own that handles nothing, so no
// object binds it unless a test does.
inline INT_PTR CALLBACK foreign_dialog_proc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

inline HWND create_foreign_dialog()
{
    return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_UPDATE_PROCESS_TEMPLATE), nullptr,
                              &foreign_dialog_proc, 0);
}

inline std::wstring window_text(HWND window)
{
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

inline LONG_PTR toolkit_procedure()
{
    return reinterpret_cast<LONG_PTR>(&Kesto::Cwindow_base::static_window_proc);
}

// Every message sent to any window of this thread, in order, as a WH_CALLWNDPROC hook sees it.
class Csent_messages {
public:
    Csent_messages() : hook_(SetWindowsHookExW(WH_CALLWNDPROC, &record, nullptr, GetCurrentThreadId()))
    {
        active() = this;
    }
    ~Csent_messages()
    {
        UnhookWindowsHookEx(hook_);
        active() = nullptr;
    }
    std::vector<UINT> to(HWND window) const
    {
        std::vector<UINT> messages;
        for (const auto& entry : entries_)
            if (entry.first == window)
                messages.push_back(entry.second);
        return messages;
    }

private:
    static Csent_messages*& active()
    {
        static Csent_messages* recorder = nullptr;
        return recorder;
    }
    static LRESULT CALLBACK record(int code, WPARAM wparam, LPARAM lparam)
    {
        if (code == HC_ACTION && active() != nullptr) {
            const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lparam);
            active()->entries_.push_back({sent->hwnd, sent->message});
        }
        return CallNextHookEx(nullptr, code, wparam, lparam);
    }
    HHOOK hook_;
    std::vector<std::pair<HWND, UINT>> entries_;
};

// The program's entry point does this; the tests stand in for it.
class Ctoolkit_environment : public ::testing::Environment {
public:
    void SetUp() override
    {
        g_application.instance = GetModuleHandleW(nullptr);
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        register_class(PLAIN_CLASS, &Kesto::Cwindow_base::static_window_proc);
        register_class(RECORDING_CONTROL_CLASS, &recording_control_proc);
    }

private:
    static void register_class(const wchar_t* name, WNDPROC procedure)
    {
        WNDCLASSEXW window_class = {};
        window_class.cbSize = sizeof(window_class);
        window_class.lpfnWndProc = procedure;
        window_class.hInstance = GetModuleHandleW(nullptr);
        window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        window_class.lpszClassName = name;
        RegisterClassExW(&window_class);
    }
};
inline ::testing::Environment* const toolkit_environment = ::testing::AddGlobalTestEnvironment(new Ctoolkit_environment);

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
