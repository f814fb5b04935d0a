// Loaded into update.exe through a WH_CALLWNDPROC hook on its main thread: writes what the
// program shows (message boxes, the progress dialog) to the event log the driver named, one line
// per event, in the order the program's thread sent the messages.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "event_format.h"

namespace {

const int MESSAGE_BOX_TEXT_ID = 0xFFFF;
const int OVERALL_BAR_ID = 1001;
const int FILE_BAR_ID = 1002;
const int STATUS_TEXT_ID = 1003;

struct Chook_state {
    bool prepared = false;
    HANDLE log = INVALID_HANDLE_VALUE;
    long close_after_position = 0;
    long positions_seen = 0;
    HWND progress_dialog = nullptr;
    std::vector<HWND> logged_boxes;
};

Chook_state& state()
{
    static Chook_state instance;
    return instance;
}

std::wstring environment_variable(const wchar_t* name)
{
    wchar_t buffer[1024];
    const DWORD length = GetEnvironmentVariableW(name, buffer, 1024);
    return length > 0 && length < 1024 ? std::wstring(buffer, length) : std::wstring();
}

// Opened on the first hooked message rather than in DllMain, where opening files is unwise.
void prepare()
{
    Chook_state& s = state();
    if (s.prepared)
        return;
    s.prepared = true;
    const std::wstring path = environment_variable(e2e::EVENT_LOG_VARIABLE);
    if (!path.empty())
        s.log = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    const std::wstring close_after = environment_variable(e2e::CLOSE_AFTER_POSITION_VARIABLE);
    if (!close_after.empty())
        s.close_after_position = wcstol(close_after.c_str(), nullptr, 10);
}

// Unbuffered: a line is in the file as soon as the event happened, even if the program dies next.
void log_event(const std::string& line)
{
    if (state().log == INVALID_HANDLE_VALUE)
        return;
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(state().log, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::wstring class_name(HWND window)
{
    wchar_t buffer[256];
    const int length = GetClassNameW(window, buffer, 256);
    return std::wstring(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

std::wstring window_text(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

bool is_dialog(HWND window) { return class_name(window) == L"#32770"; }

bool is_message_box(HWND window)
{
    return is_dialog(window) && GetDlgItem(window, MESSAGE_BOX_TEXT_ID) != nullptr;
}

bool is_progress_dialog(HWND window)
{
    if (!is_dialog(window))
        return false;
    const HWND overall = GetDlgItem(window, OVERALL_BAR_ID);
    const HWND file = GetDlgItem(window, FILE_BAR_ID);
    return overall && file && class_name(overall) == PROGRESS_CLASSW && class_name(file) == PROGRESS_CLASSW;
}

bool has_style(HWND window, LONG_PTR style) { return (GetWindowLongPtrW(window, GWL_STYLE) & style) == style; }

// The icon is compared with the system's shared icons here, inside the program: icon handles of
// another process would not compare equal.
std::string icon_kind(HWND box)
{
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
        if (class_name(child) != L"Static" || (style & SS_TYPEMASK) != SS_ICON || !(style & WS_VISIBLE))
            continue;
        const HICON icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        if (icon == nullptr)
            continue;
        if (icon == LoadIconW(nullptr, IDI_WARNING))
            return "warning";
        if (icon == LoadIconW(nullptr, IDI_INFORMATION))
            return "information";
        if (icon == LoadIconW(nullptr, IDI_ERROR))
            return "error";
        if (icon == LoadIconW(nullptr, IDI_QUESTION))
            return "question";
        return "other";
    }
    return "none";
}

std::string button_name(int id)
{
    switch (id) {
    case IDOK: return "OK";
    case IDCANCEL: return "Cancel";
    case IDABORT: return "Abort";
    case IDRETRY: return "Retry";
    case IDIGNORE: return "Ignore";
    case IDYES: return "Yes";
    case IDNO: return "No";
    case IDHELP: return "Help";
    case IDTRYAGAIN: return "TryAgain";
    case IDCONTINUE: return "Continue";
    default: return "id" + std::to_string(id);
    }
}

// The buttons a box will show, left to right. The box itself is not visible yet when it is
// logged, so the buttons' own WS_VISIBLE style decides.
std::vector<HWND> shown_buttons(HWND box)
{
    std::vector<HWND> buttons;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (class_name(child) == L"Button" && has_style(child, WS_VISIBLE))
            buttons.push_back(child);
    std::stable_sort(buttons.begin(), buttons.end(), [](HWND a, HWND b) {
        RECT ra, rb;
        GetWindowRect(a, &ra);
        GetWindowRect(b, &rb);
        return ra.left < rb.left;
    });
    return buttons;
}

// The button that Enter presses. Wine's boxes mark it by style and leave DM_GETDEFID at its IDOK
// default, so the style is asked first.
std::string default_button(HWND box, const std::vector<HWND>& buttons)
{
    for (HWND button : buttons)
        if ((GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            return button_name(GetDlgCtrlID(button));
    const LRESULT defid = SendMessageW(box, DM_GETDEFID, 0, 0);
    if (HIWORD(defid) == DC_HASDEFID)
        return button_name(LOWORD(defid));
    return "none";
}

void log_message_box(HWND box)
{
    std::vector<HWND>& logged = state().logged_boxes;
    if (std::find(logged.begin(), logged.end(), box) != logged.end())
        return;
    logged.push_back(box);

    const std::vector<HWND> buttons = shown_buttons(box);
    std::string names;
    for (HWND button : buttons)
        names += (names.empty() ? "" : ",") + button_name(GetDlgCtrlID(button));
    log_event("box caption=" + e2e::quoted(window_text(box)) + " icon=" + icon_kind(box) +
              " buttons=" + (names.empty() ? "none" : names) + " default=" + default_button(box, buttons) +
              " text=" + e2e::quoted(window_text(GetDlgItem(box, MESSAGE_BOX_TEXT_ID))));
}

void forget_message_box(HWND box)
{
    std::vector<HWND>& logged = state().logged_boxes;
    logged.erase(std::remove(logged.begin(), logged.end(), box), logged.end());
}

// A window the tests know nothing of: logged so that a transcript shows it rather than hiding it.
void log_other_window(HWND window)
{
    log_event("window class=" + e2e::quoted(class_name(window)) + " caption=" + e2e::quoted(window_text(window)));
}

void on_dialog_message(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_SETTEXT:
        log_event("dialog caption=" + e2e::quoted(lparam ? reinterpret_cast<const wchar_t*>(lparam) : L""));
        break;
    case WM_SHOWWINDOW:
        log_event(wparam ? "dialog show" : "dialog hide");
        break;
    case WM_DESTROY:
        log_event("dialog destroy");
        state().progress_dialog = nullptr;
        break;
    default:
        (void)dialog;
        break;
    }
}

void on_dialog_item_message(HWND item, UINT message, WPARAM wparam, LPARAM lparam)
{
    const std::string id = std::to_string(GetDlgCtrlID(item));
    switch (message) {
    case PBM_SETRANGE32:
        log_event("range " + id + " " + std::to_string(static_cast<int>(wparam)) + " " +
                  std::to_string(static_cast<int>(lparam)));
        break;
    case PBM_SETRANGE:
        log_event("range " + id + " " + std::to_string(LOWORD(lparam)) + " " + std::to_string(HIWORD(lparam)));
        break;
    case PBM_SETPOS: {
        log_event("pos " + id + " " + std::to_string(static_cast<int>(wparam)));
        Chook_state& s = state();
        if (++s.positions_seen == s.close_after_position) {
            // As the close box does: the program sees it when it next handles its queued messages.
            log_event("dialog close");
            PostMessageW(GetParent(item), WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        break;
    }
    case WM_SETTEXT:
        if (GetDlgCtrlID(item) == STATUS_TEXT_ID)
            log_event("text " + id + " " + e2e::quoted(lparam ? reinterpret_cast<const wchar_t*>(lparam) : L""));
        break;
    default:
        break;
    }
}

bool is_top_level(HWND window) { return !(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD); }

void on_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    Chook_state& s = state();
    if (message == WM_INITDIALOG && is_progress_dialog(window)) {
        s.progress_dialog = window;
        log_event("dialog create caption=" + e2e::quoted(window_text(window)) +
                  " text=" + e2e::quoted(window_text(GetDlgItem(window, STATUS_TEXT_ID))));
        return;
    }
    if (s.progress_dialog != nullptr && window == s.progress_dialog) {
        on_dialog_message(window, message, wparam, lparam);
        return;
    }
    if (s.progress_dialog != nullptr && GetParent(window) == s.progress_dialog) {
        on_dialog_item_message(window, message, wparam, lparam);
        return;
    }
    if (message == WM_SHOWWINDOW && wparam && is_top_level(window)) {
        if (is_message_box(window))
            log_message_box(window);
        else
            log_other_window(window);
        return;
    }
    if (message == WM_DESTROY)
        forget_message_box(window);
}

LRESULT CALLBACK call_window_procedure_hook(int code, WPARAM wparam, LPARAM lparam)
{
    if (code == HC_ACTION) {
        prepare();
        const CWPSTRUCT& sent = *reinterpret_cast<const CWPSTRUCT*>(lparam);
        on_message(sent.hwnd, sent.message, sent.wParam, sent.lParam);
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

// The driver asks for the procedure through this undecorated C name, the same in both builds.
extern "C" __declspec(dllexport) HOOKPROC e2e_hook_procedure()
{
    return &call_window_procedure_hook;
}
