#include "toolkit_support.h"

#include <commctrl.h>

#include "res/resource.h"

namespace toolkit_test {

namespace {

const wchar_t* const PLAIN_CLASS = L"kesto_test_plain";
const wchar_t* const RECORDING_CONTROL_CLASS = L"kesto_test_recording_control";

Csent_messages* active_recorder = nullptr;

LRESULT CALLBACK record_sent(int code, WPARAM wparam, LPARAM lparam)
{
    if (code == HC_ACTION && active_recorder != nullptr) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lparam);
        active_recorder->entries.push_back({sent->hwnd, sent->message});
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

void register_class(const wchar_t* name, WNDPROC procedure)
{
    WNDCLASSEXW window_class = {};
    window_class.cbSize = sizeof(window_class);
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    window_class.lpszClassName = name;
    RegisterClassExW(&window_class);
}

// The program's entry point does this; the tests stand in for it.
class Ctoolkit_environment : public ::testing::Environment {
public:
    void SetUp() override
    {
        g_application.instance = GetModuleHandleW(nullptr);
        INITCOMMONCONTROLSEX controls = {};
        controls.dwSize = sizeof(controls);
        controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_INTERNET_CLASSES | ICC_PROGRESS_CLASS;
        InitCommonControlsEx(&controls);
        register_class(PLAIN_CLASS, &Kesto::Cwindow_base::static_window_proc);
        register_class(RECORDING_CONTROL_CLASS, &recording_control_proc);
    }
};

::testing::Environment* const environment = ::testing::AddGlobalTestEnvironment(new Ctoolkit_environment);

}  // namespace

Ccontrol_log control_log;

LRESULT CALLBACK recording_control_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    control_log.messages.push_back(message);
    if (message == WM_NCDESTROY) {
        control_log.procedure_at_ncdestroy = GetWindowLongPtrW(window, GWLP_WNDPROC);
        control_log.property_at_ncdestroy = GetPropW(window, Kesto::THIS_PROPERTY);
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

HWND create_plain_window(Kesto::Cwindow_base* object, const wchar_t* title)
{
    return CreateWindowExW(0, PLAIN_CLASS, title, WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr, nullptr,
                           GetModuleHandleW(nullptr), object);
}

INT_PTR CALLBACK foreign_dialog_proc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

HWND create_foreign_dialog()
{
    return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_UPDATE_PROCESS_TEMPLATE), nullptr,
                              &foreign_dialog_proc, 0);
}

HWND create_recording_control(HWND parent, int item_id)
{
    return CreateWindowExW(0, RECORDING_CONTROL_CLASS, L"", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(item_id)), GetModuleHandleW(nullptr),
                           nullptr);
}

Csent_messages::Csent_messages()
{
    active_recorder = this;
    hook_ = SetWindowsHookExW(WH_CALLWNDPROC, &record_sent, nullptr, GetCurrentThreadId());
}

Csent_messages::~Csent_messages()
{
    UnhookWindowsHookEx(hook_);
    active_recorder = nullptr;
}

std::vector<UINT> Csent_messages::to(HWND window) const
{
    std::vector<UINT> messages;
    for (const Centry& entry : entries)
        if (entry.window == window)
            messages.push_back(entry.message);
    return messages;
}

LONG_PTR toolkit_procedure()
{
    return reinterpret_cast<LONG_PTR>(&Kesto::Cwindow_base::static_window_proc);
}

}  // namespace toolkit_test
