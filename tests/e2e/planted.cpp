// A stray DLL under the name of one of Windows' own, as a Downloads folder collects them beside a
// program: loaded, it appends its path and a line feed to the file UPDATE_E2E_PLANTED_MARK names.
// It exports what the programs import from the DLLs it stands in for (planted.def), so that a
// program linked to them would start with it.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*)
{
    wchar_t mark[MAX_PATH], path[MAX_PATH];
    if (reason != DLL_PROCESS_ATTACH || !GetEnvironmentVariableW(L"UPDATE_E2E_PLANTED_MARK", mark, MAX_PATH))
        return TRUE;
    DWORD length = GetModuleFileNameW(instance, path, MAX_PATH - 1);
    path[length++] = L'\n';
    const HANDLE file = CreateFileW(mark, FILE_APPEND_DATA, FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, path, length * sizeof(wchar_t), &written, nullptr);
    CloseHandle(file);
    return TRUE;
}

// One stub for each number of arguments, which planted.def gives each import: a 32-bit callee pops
// them. Never called once the programs load only Windows' own DLLs.
#define STUB(name, ...) extern "C" void* WINAPI name(__VA_ARGS__) { return nullptr; }
using P = void*;
STUB(planted_1, P)
STUB(planted_2, P, P)
STUB(planted_3, P, P, P)
STUB(planted_4, P, P, P, P)
STUB(planted_5, P, P, P, P, P)
STUB(planted_6, P, P, P, P, P, P)
STUB(planted_11, P, P, P, P, P, P, P, P, P, P, P)
