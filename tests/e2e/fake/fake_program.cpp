// A stand-in for update.exe that shows every kind of window the harness must record: boxes of
// each icon and button set, and a progress dialog made from the program's own template 101 that
// moves its bars the way the copy does. The first word of the command line picks the script.
#include <windows.h>
#include <commctrl.h>

#include <string>

namespace {

const int DIALOG_TEMPLATE = 101;
const int OVERALL_BAR = 1001;
const int FILE_BAR = 1002;
const int STATUS_TEXT = 1003;

INT_PTR CALLBACK dialog_procedure(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message == WM_CLOSE) {
        DestroyWindow(dialog);
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

void pump_messages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Exit code: the Yes/No answer times ten plus the OK/Cancel answer.
int show_boxes()
{
    MessageBoxW(nullptr, L"一行目\n\"引用\" C:\\パス\\a.txt", L"キャプション", MB_ICONWARNING);
    MessageBoxW(nullptr, L"情報", L"", MB_ICONINFORMATION);
    const int yes_no = MessageBoxW(nullptr, L"続けますか？", L"確認", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    const int ok_cancel = MessageBoxW(nullptr, L"アイコンなし", L"無", MB_OKCANCEL);
    return yes_no * 10 + ok_cancel;
}

void copy_one_file(HWND dialog, const wchar_t* name, int overall_start, int overall_end)
{
    SetDlgItemTextW(dialog, STATUS_TEXT, name);
    for (int step = 1; step <= 2; ++step) {
        SendDlgItemMessageW(dialog, OVERALL_BAR, PBM_SETPOS, overall_start + (overall_end - overall_start) * step / 2, 0);
        SendDlgItemMessageW(dialog, FILE_BAR, PBM_SETPOS, 500 * step, 0);
        pump_messages();
    }
}

// The shape of a copy run: caption, ranges, show, two files of two blocks each, a warning while
// the dialog is up, hide, destroy, then the final box.
int show_progress_dialog()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    const HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(DIALOG_TEMPLATE), nullptr,
                                           dialog_procedure, 0);
    SetWindowTextW(dialog, L"テスト アップデート");
    SendDlgItemMessageW(dialog, OVERALL_BAR, PBM_SETRANGE32, 0, 1000);
    SendDlgItemMessageW(dialog, FILE_BAR, PBM_SETRANGE32, 0, 1000);
    ShowWindow(dialog, SW_SHOW);
    copy_one_file(dialog, L"BGM\\a.ogg", 0, 500);
    copy_one_file(dialog, L"BGM\\b.ogg", 500, 1000);
    MessageBoxW(nullptr, L"途中", L"テスト", MB_ICONWARNING);
    ShowWindow(dialog, SW_HIDE);
    DestroyWindow(dialog);
    MessageBoxW(nullptr, L"終了", L"テスト", MB_ICONINFORMATION);
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR command_line, int)
{
    const std::wstring script = command_line;
    if (script == L"boxes")
        return show_boxes();
    if (script == L"dialog")
        return show_progress_dialog();
    if (script == L"hang") {
        Sleep(INFINITE);
        return 0;
    }
    return 99;
}
