// Runs update.exe as a player would: answers Yes to the confirmation and OK to the closing box, and
// prints the milliseconds from the Yes to the closing box (the copy phase: the dialog made, the
// files copied and put in place, the dialog gone), then those from the start to the confirmation,
// and the closing box's text. The copy phase is timed inside the program, by profile_hook.dll
// beside it with only the boxes redirected: a watcher that looks for the closing box every few
// milliseconds takes the window server from the copy (seen: 1.1 s instead of 0.6 s for 859 MB), so
// this one looks only every 20 ms, and its lateness is not counted. With --profile, the hook times
// the program's calls by kind as well (see profile_hook.cpp).
// With --question it answers No instead, and prints only the milliseconds to the confirmation.
// Usage: copy_phase_bench <update.exe> [--profile | --question]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
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

HWND wait_for_box(DWORD process, int button, HANDLE running, DWORD every_ms)
{
    for (;;) {
        Cbox_search search = {process, button, nullptr};
        EnumWindows(&find_box, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr || WaitForSingleObject(running, every_ms) == WAIT_OBJECT_0)
            return search.found;
    }
}

// The profiling hook in the program's main thread, before it shows anything; taken out again once
// the confirmation is up (the hook keeps itself loaded), so that no message of the copy phase
// pays for a hook.
HHOOK hook_profiler(DWORD thread)
{
    wchar_t own[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    std::wstring dll = own;
    dll = dll.substr(0, dll.rfind(L'\\') + 1) + L"profile_hook.dll";
    const HMODULE hook_dll = LoadLibraryW(dll.c_str());
    const auto procedure =
        reinterpret_cast<HOOKPROC (*)()>(reinterpret_cast<void*>(GetProcAddress(hook_dll, "profile_hook_procedure")));
    return procedure != nullptr ? SetWindowsHookExW(WH_CALLWNDPROC, procedure(), hook_dll, thread) : nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const bool profile = argc == 3 && wcscmp(argv[2], L"--profile") == 0;
    const bool question_only = argc == 3 && wcscmp(argv[2], L"--question") == 0;
    if (argc != 2 && !profile && !question_only) {
        fwprintf(stderr, L"usage: copy_phase_bench <update.exe> [--profile | --question]\n");
        return 2;
    }
    // Without --profile the hook writes only the phase, into a file of this run's own.
    wchar_t phase_file[MAX_PATH] = {}, folder[MAX_PATH] = {};
    if (!profile) {
        GetTempPathW(MAX_PATH, folder);
        GetTempFileNameW(folder, L"cpb", 0, phase_file);
        SetEnvironmentVariableW(L"UPDATE_PROFILE", phase_file);
        SetEnvironmentVariableW(L"UPDATE_PROFILE_PHASE_ONLY", L"1");
    }
    std::wstring command = L"\"" + std::wstring(argv[1]) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(argv[1], &command[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                        &process))
        return 1;
    const HHOOK profiler = hook_profiler(process.dwThreadId);
    if (profiler == nullptr)
        return 1;
    const ULONGLONG started = GetTickCount64();
    ResumeThread(process.hThread);
    HWND question = wait_for_box(process.dwProcessId, IDYES, process.hProcess, 2);
    if (question == nullptr)
        return 1;
    const ULONGLONG asked = GetTickCount64();
    UnhookWindowsHookEx(profiler);
    if (question_only) {
        PostMessageW(question, WM_COMMAND, IDNO, 0);
        HWND closing = wait_for_box(process.dwProcessId, IDOK, process.hProcess, 20);
        if (closing != nullptr)
            PostMessageW(closing, WM_COMMAND, IDOK, 0);
        WaitForSingleObject(process.hProcess, 60000);
        DeleteFileW(phase_file);
        printf("%llu\n", static_cast<unsigned long long>(asked - started));
        return 0;
    }
    PostMessageW(question, WM_COMMAND, IDYES, 0);
    HWND closing = wait_for_box(process.dwProcessId, IDOK, process.hProcess, 20);
    wchar_t text[512] = {};
    if (closing != nullptr) {
        GetDlgItemTextW(closing, 0xFFFF, text, 512);
        PostMessageW(closing, WM_COMMAND, IDOK, 0);
    }
    WaitForSingleObject(process.hProcess, 60000);
    long long phase_us = 0;
    // The hook's last line: "phase <microseconds>".
    if (FILE* phase = _wfopen(profile ? _wgetenv(L"UPDATE_PROFILE") : phase_file, L"r")) {
        char line[128] = {};
        while (fgets(line, sizeof line, phase) != nullptr)
            sscanf(line, "phase %lld", &phase_us);
        fclose(phase);
    }
    if (!profile)
        DeleteFileW(phase_file);
    printf("%lld %llu\n", phase_us / 1000, static_cast<unsigned long long>(asked - started));
    char utf8[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof(utf8), nullptr, nullptr);
    fprintf(stderr, "%s\n", utf8);
    return closing != nullptr ? 0 : 1;
}
