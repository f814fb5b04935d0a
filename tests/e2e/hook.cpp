// Loaded into update.exe through a WH_CALLWNDPROC hook on its main thread (see driver.cpp): writes
// one line per event to the log named by UPDATE_E2E_LOG, in the order the program sent them, each
// after the tick count at which it happened. Line feeds and carriage returns in texts are written
// as \x01 and \x02, so that an event stays on one line.
//   box <icon> <buttons> default=<button> caption=<caption> text=<text>
//   dialog create | dialog caption=<text> | dialog show | dialog hide | dialog destroy | close
//   range <item> <low> <high> | pos <item> <position> | text 1003 <text> | window <class> <caption>
// UPDATE_E2E_CLOSE_AT=N presses the dialog's close box at its Nth PBM_SETPOS (both bars counted);
// UPDATE_E2E_PAUSE_AT=N holds the program there, after making <log>.pause, until <log>.go exists.
// The program's own FlushFileBuffers, MoveFileExW, ReplaceFileW and DeleteFileW, once the dialog
// is up, are logged as "io flush|move|replace|delete <path>" (the flushed file's, or the one
// being put in place). UPDATE_E2E_HOLD_AT_IO=N holds it in the same way before its Nth move,
// replace or delete; with UPDATE_E2E_HALF_REPLACE=1 a replace held there has first moved the
// file to its backup's name, as Wine's does before it is killed halfway.
// UPDATE_E2E_FAIL_APPEND=<text> fails, as a full disk would, a WriteFile of exactly that text.
// For a power cut, it follows each file the program writes, through its renames, and when held
// writes <log>.cut: "<length>\t<path>" for each file written since its last flush, the length it
// had then (0 when never flushed): the program writes its files front to back, so that is what a
// power cut would leave of it.
#include <windows.h>
#include <commctrl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>

#include "support/import_redirect.h"

namespace {

HANDLE log_file = INVALID_HANDLE_VALUE;
std::wstring log_path;
int close_at = 0, pause_at = 0, positions = 0, hold_at_io = 0, io_calls = 0;
bool half_replace = false;
std::string fail_append;
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

// A file the program wrote: its length at the last flush, and whether it was written since.
struct Cwritten {
    LONGLONG flushed = 0;
    bool dirty = false;
};
std::map<std::wstring, Cwritten> written;  // by the path as key_of gives it

std::wstring key_of(std::wstring path)
{
    if (path.compare(0, 4, L"\\\\?\\") == 0)
        path = path.substr(4);
    CharUpperBuffW(&path[0], static_cast<DWORD>(path.size()));
    return path;
}

std::wstring key_of(HANDLE file)
{
    wchar_t path[2048] = {};
    GetFinalPathNameByHandleW(file, path, 2048, FILE_NAME_NORMALIZED);
    return key_of(std::wstring(path));
}

void renamed(const std::wstring& from, const std::wstring& to)
{
    const auto file = written.find(key_of(from));
    if (file == written.end())
        return;
    written[key_of(to)] = file->second;
    written.erase(key_of(from));
}

void write_cut()
{
    std::string lines;
    for (const auto& [path, file] : written)
        if (file.dirty) {
            char utf8[4096] = {};
            WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, utf8, sizeof utf8, nullptr, nullptr);
            lines += std::to_string(file.flushed) + "\t" + utf8 + "\n";
        }
    const HANDLE cut = CreateFileW((log_path + L".cut").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD count = 0;
    WriteFile(cut, lines.data(), static_cast<DWORD>(lines.size()), &count, nullptr);
    CloseHandle(cut);
}

void hold()
{
    write_cut();
    // The program paints at its own pace with redrawing held off; held here, it is painted
    // now, so that what is on screen is what it has shown so far.
    SendMessageW(dialog, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    CloseHandle(CreateFileW((log_path + L".pause").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    for (int waited = 0; waited < 20000 && GetFileAttributesW((log_path + L".go").c_str()) == INVALID_FILE_ATTRIBUTES;
         waited += 10)
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, 0);  // unlike Sleep, lets Wine show what was painted
}

decltype(&FlushFileBuffers) real_flush;
decltype(&MoveFileExW) real_move;
decltype(&ReplaceFileW) real_replace;
decltype(&DeleteFileW) real_delete;

// Logs a file operation of the program's and holds it before the Nth that changes a name.
void on_io(const wchar_t* what, const std::wstring& path, bool changes_a_name)
{
    if (!dialog)
        return;
    log(std::wstring(L"io ") + what + L" " + path);
    if (changes_a_name && ++io_calls == hold_at_io)
        hold();
}

BOOL WINAPI flush(HANDLE file)
{
    wchar_t path[2048] = {};
    GetFinalPathNameByHandleW(file, path, 2048, FILE_NAME_NORMALIZED);
    on_io(L"flush", path, false);
    const BOOL flushed = real_flush(file);
    LARGE_INTEGER size = {};
    if (flushed && dialog && GetFileSizeEx(file, &size))
        written[key_of(file)] = Cwritten{size.QuadPart, false};
    return flushed;
}

BOOL WINAPI move(LPCWSTR from, LPCWSTR to, DWORD flags)
{
    on_io(L"move", from, true);
    const BOOL moved = real_move(from, to, flags);
    if (moved)
        renamed(from, to);
    return moved;
}

BOOL WINAPI replace(LPCWSTR target, LPCWSTR replacement, LPCWSTR backup, DWORD flags, LPVOID exclude, LPVOID reserved)
{
    if (dialog && half_replace && io_calls + 1 == hold_at_io)
        real_move(target, backup, 0);
    on_io(L"replace", replacement, true);
    const BOOL replaced = real_replace(target, replacement, backup, flags, exclude, reserved);
    if (replaced) {
        renamed(target, backup);
        renamed(replacement, target);
    }
    return replaced;
}

BOOL WINAPI remove(LPCWSTR path)
{
    on_io(L"delete", path, true);
    const BOOL removed = real_delete(path);
    if (removed)
        written.erase(key_of(path));
    return removed;
}

decltype(&fwrite) real_fwrite;
decltype(&WriteFile) real_write_file;

size_t __cdecl write(const void* bytes, size_t size, size_t count, FILE* stream)
{
    if (dialog)
        written[key_of(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))))].dirty = true;
    return real_fwrite(bytes, size, count, stream);
}

BOOL WINAPI write_file(HANDLE file, LPCVOID bytes, DWORD count, LPDWORD done, LPOVERLAPPED overlapped)
{
    if (dialog && !fail_append.empty() && std::string(static_cast<const char*>(bytes), count) == fail_append) {
        SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    if (dialog)
        written[key_of(file)].dirty = true;
    return real_write_file(file, bytes, count, done, overlapped);
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
    if (code == HC_ACTION && log_file == INVALID_HANDLE_VALUE) {
        log_path = variable(L"UPDATE_E2E_LOG");
        log_file = CreateFileW(log_path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_ALWAYS, 0, nullptr);
        close_at = _wtoi(variable(L"UPDATE_E2E_CLOSE_AT").c_str());
        pause_at = _wtoi(variable(L"UPDATE_E2E_PAUSE_AT").c_str());
        hold_at_io = _wtoi(variable(L"UPDATE_E2E_HOLD_AT_IO").c_str());
        half_replace = variable(L"UPDATE_E2E_HALF_REPLACE") == L"1";
        const std::wstring append = variable(L"UPDATE_E2E_FAIL_APPEND");
        fail_append.assign(append.begin(), append.end());
        redirect("FlushFileBuffers", &flush, real_flush);
        redirect("MoveFileExW", &move, real_move);
        redirect("ReplaceFileW", &replace, real_replace);
        redirect("DeleteFileW", &remove, real_delete);
        redirect("fwrite", &write, real_fwrite);
        redirect("WriteFile", &write_file, real_write_file);
    }
    const CWPSTRUCT& sent = *reinterpret_cast<const CWPSTRUCT*>(lparam);
    if (code == HC_ACTION)
        on_message(sent.hwnd, sent.message, sent.wParam, sent.lParam);
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

// The driver asks for the procedure by this undecorated name, the same in both builds.
extern "C" __declspec(dllexport) HOOKPROC e2e_hook_procedure() { return hook; }
