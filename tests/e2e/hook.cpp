// Loaded into update.exe before it starts (see driver.cpp), and called as its WH_CALLWNDPROC hook
// on its main thread: writes one line per event to the log named by UPDATE_E2E_LOG, in the order
// the program sent them, each after the tick count at which it happened. Line feeds and carriage
// returns in texts are written as \x01 and \x02, so that an event stays on one line.
//   box <icon> <buttons> default=<button> caption=<caption> text=<text>
//   dialog create | dialog caption=<text> | dialog show | dialog hide | dialog destroy | close
//   range <item> <low> <high> | pos <item> <position> | text 1003 <text> | window <class> <caption>
//   op <n> <kind> <path>: the program's file operations (file_ops_hook.cpp)
// UPDATE_E2E_CLOSE_AT=N presses the dialog's close box at its Nth PBM_SETPOS (both bars counted);
// UPDATE_E2E_PAUSE_AT=N holds the program there, after making <log>.pause, until <log>.go exists.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <set>
#include <string>

#include "file_ops_hook.h"

namespace {

HANDLE log_file = INVALID_HANDLE_VALUE;
std::wstring log_name;
int close_at = 0, pause_at = 0, positions = 0;
HWND dialog = nullptr;
std::set<HWND> shown;

std::wstring variable(const wchar_t* name)
{
    wchar_t value[1024] = {};
    return GetEnvironmentVariableW(name, value, 1024) < 1024 ? value : L"";
}

void log(std::wstring line)
{
    std::replace(line.begin(), line.end(), L'\n', L'\x01');
    std::replace(line.begin(), line.end(), L'\r', L'\x02');
    line = std::to_wstring(GetTickCount()) + L" " + line + L"\n";
    char bytes[8192];
    const int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, bytes, sizeof bytes, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(log_file, bytes, size > 0 ? size - 1 : 0, &written, nullptr);
}

std::wstring class_of(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring text_of(HWND window)
{
    wchar_t text[2048] = {};
    GetWindowTextW(window, text, 2048);
    return text;
}

std::wstring button_name(HWND button)
{
    const wchar_t* names[] = {L"?", L"OK", L"Cancel", L"Abort", L"Retry", L"Ignore", L"Yes", L"No"};
    const int id = GetDlgCtrlID(button);
    return id > 0 && id < 8 ? names[id] : std::to_wstring(id);
}

// The icon is compared with the system's shared icons here, inside the program.
std::wstring icon_of(HWND box)
{
    const std::pair<LPCWSTR, const wchar_t*> icons[] = {
        {IDI_WARNING, L"warning"}, {IDI_INFORMATION, L"information"}, {IDI_ERROR, L"error"}, {IDI_QUESTION, L"question"}};
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        for (const auto& [id, name] : icons)
            if (class_of(child) == L"Static" && SendMessageW(child, STM_GETICON, 0, 0) ==
                                                    reinterpret_cast<LRESULT>(LoadIconW(nullptr, id)))
                return name;
    return L"none";
}

// Logged as the box is about to appear: the buttons' own WS_VISIBLE style tells which it shows,
// in the order of the box, left to right.
void log_box(HWND box)
{
    std::wstring names, default_button = L"none";
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        if (class_of(child) != L"Button" || !(style & WS_VISIBLE))
            continue;
        names += (names.empty() ? L"" : L",") + button_name(child);
        if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            default_button = button_name(child);
    }
    log(L"box " + icon_of(box) + L" " + names + L" default=" + default_button + L" caption=" + text_of(box) +
        L" text=" + text_of(GetDlgItem(box, 0xFFFF)));
}

void hold()
{
    // The program paints at its own pace with redrawing held off; held here, it is painted
    // now, so that what is on screen is what it has shown so far.
    SendMessageW(dialog, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    CloseHandle(CreateFileW((log_name + L".pause").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    for (int waited = 0; waited < 20000 && GetFileAttributesW((log_name + L".go").c_str()) == INVALID_FILE_ATTRIBUTES;
         waited += 10)
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, 0);  // unlike Sleep, lets Wine show what was painted
}

void on_position(HWND bar, WPARAM position)
{
    log(L"pos " + std::to_wstring(GetDlgCtrlID(bar)) + L" " + std::to_wstring(position));
    if (++positions == close_at) {
        log(L"close");
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);  // seen at the program's next message pump
    }
    if (positions == pause_at)
        hold();
}

void on_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    const std::wstring text = message == WM_SETTEXT && lparam ? reinterpret_cast<const wchar_t*>(lparam) : L"";
    if (message == WM_INITDIALOG && GetDlgItem(window, 1001) && GetDlgItem(window, 1002)) {
        dialog = window;
        log(L"dialog create");
    } else if (dialog && window == dialog) {
        if (message == WM_SETTEXT)
            log(L"dialog caption=" + text);
        else if (message == WM_SHOWWINDOW)
            log(wparam ? L"dialog show" : L"dialog hide");
        else if (message == WM_DESTROY)
            log(L"dialog destroy"), dialog = nullptr;
    } else if (dialog && GetParent(window) == dialog) {
        const std::wstring item = std::to_wstring(GetDlgCtrlID(window));
        if (message == PBM_SETRANGE32)
            log(L"range " + item + L" " + std::to_wstring(wparam) + L" " + std::to_wstring(lparam));
        else if (message == PBM_SETPOS)
            on_position(window, wparam);
        else if (message == WM_SETTEXT && item == L"1003")
            log(L"text 1003 " + text);
    } else if (message == WM_SHOWWINDOW && wparam && !(GetWindowLongW(window, GWL_STYLE) & WS_CHILD) &&
               shown.insert(window).second) {
        if (class_of(window) == L"#32770" && GetDlgItem(window, 0xFFFF))
            log_box(window);
        else
            log(L"window " + class_of(window) + L" " + text_of(window));
    }
}

LRESULT CALLBACK hook(int code, WPARAM wparam, LPARAM lparam)
{
    const CWPSTRUCT& sent = *reinterpret_cast<const CWPSTRUCT*>(lparam);
    if (code == HC_ACTION && log_file != INVALID_HANDLE_VALUE)
        on_message(sent.hwnd, sent.message, sent.wParam, sent.lParam);
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

// Only inside update.exe: the driver loads the DLL too, for the hook procedure's address.
bool in_the_program()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring name = path;
    return _wcsicmp(name.substr(name.rfind(L'\\') + 1).c_str(), L"update.exe") == 0;
}

}  // namespace

void log_line(std::wstring line)
{
    log(std::move(line));
}

const std::wstring& log_path()
{
    return log_name;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH || !in_the_program())
        return TRUE;
    log_name = variable(L"UPDATE_E2E_LOG");
    log_file = CreateFileW(log_name.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0,
                           nullptr);
    close_at = _wtoi(variable(L"UPDATE_E2E_CLOSE_AT").c_str());
    pause_at = _wtoi(variable(L"UPDATE_E2E_PAUSE_AT").c_str());
    follow_file_operations();
    return TRUE;
}

// The driver asks for the procedure by this undecorated name, the same in both builds.
extern "C" __declspec(dllexport) HOOKPROC e2e_hook_procedure() { return hook; }
