// Runs update.exe as a player would, with nothing injected into it: answers Yes to the
// confirmation and OK to the closing box, and prints the milliseconds from the Yes to the closing
// box (the copy phase: the dialog made, the files copied and put in place, the dialog gone) and
// the closing box's text. Usage: copy_phase_bench <update.exe>
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

struct Cbox_search {
    DWORD process;
    int button;
    HWND found;
};

// A box of the process holding a button of the given id (IDYES for the confirmation, IDOK for
// the closing box).
BOOL CALLBACK find_box(HWND window, LPARAM lparam)
{
    auto* search = reinterpret_cast<Cbox_search*>(lparam);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t class_name[16] = {};
    GetClassNameW(window, class_name, 16);
    if (process == search->process && IsWindowVisible(window) && wcscmp(class_name, L"#32770") == 0 &&
        GetDlgItem(window, search->button) != nullptr && GetDlgItem(window, 1001) == nullptr) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND wait_for_box(DWORD process, int button, HANDLE running)
{
    for (;;) {
        Cbox_search search = {process, button, nullptr};
        EnumWindows(&find_box, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr || WaitForSingleObject(running, 2) == WAIT_OBJECT_0)
            return search.found;
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        fwprintf(stderr, L"usage: copy_phase_bench <update.exe>\n");
        return 2;
    }
    std::wstring command = L"\"" + std::wstring(argv[1]) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(argv[1], &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 1;
    HWND question = wait_for_box(process.dwProcessId, IDYES, process.hProcess);
    if (question == nullptr)
        return 1;
    const ULONGLONG yes = GetTickCount64();
    PostMessageW(question, WM_COMMAND, IDYES, 0);
    HWND closing = wait_for_box(process.dwProcessId, IDOK, process.hProcess);
    const ULONGLONG closed = GetTickCount64();
    wchar_t text[512] = {};
    if (closing != nullptr) {
        GetDlgItemTextW(closing, 0xFFFF, text, 512);
        PostMessageW(closing, WM_COMMAND, IDOK, 0);
    }
    WaitForSingleObject(process.hProcess, 60000);
    printf("%llu\n", static_cast<unsigned long long>(closed - yes));
    char utf8[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof(utf8), nullptr, nullptr);
    fprintf(stderr, "%s\n", utf8);
    return closing != nullptr ? 0 : 1;
}
