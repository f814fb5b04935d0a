// Where update.exe's copy phase spends its time, measured inside the real program: loaded through a
// WH_CALLWNDPROC hook (copy_phase_bench --profile), it points the program's own imports of the
// calls below at timed forwarders. From the confirmation's Yes to the next box, each call's time is
// added to its kind's total; at that box the totals go to the file named by UPDATE_PROFILE, one
// "<kind> <calls> <microseconds>" line each, then "phase <microseconds>". With
// UPDATE_PROFILE_PHASE_ONLY set, only the boxes are redirected: the phase is timed and nothing of
// the copy pays for a forwarder.
#include <windows.h>
#include <aclapi.h>
#include <commctrl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "support/import_redirect.h"

namespace {

enum Ckind {
    source_open, staging_open, file_close, reading, writing, flushing, journal, bars, status_text, pump, paint,
    lookups, folders, put_in_place, cleaning_up, dialog, memory, binding, file_size, names, security, final_path, file_information, kinds
};
const char* const KIND_NAMES[kinds] = {
    "open-source", "open-staging", "close", "read", "write", "flush", "journal", "bars", "status-text", "pump",
    "paint", "lookups", "folders", "put-in-place", "clean-up", "dialog", "memory", "binding", "file-size", "names", "security", "final-path", "file-information"};

LARGE_INTEGER frequency, phase_start;
bool in_phase = false;
long long totals[kinds], calls[kinds];
// The journal's handles: the only file the program writes with WriteFile.
std::set<HANDLE> journal_handles;

long long now()
{
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return count.QuadPart;
}

// Each call's own time: while a timed call makes another (SendMessageW running the window's
// procedure, say), the time goes to the inner call's kind.
Ckind running = kinds;
long long since = 0;

void charge(long long at)
{
    if (in_phase && running != kinds)
        totals[running] += at - since;
    since = at;
}

struct Ctimed {
    explicit Ctimed(Ckind kind) : outer(running)
    {
        charge(now());
        running = kind;
        if (in_phase)
            ++calls[kind];
    }
    ~Ctimed()
    {
        charge(now());
        running = outer;
    }
    Ckind outer;
};

long long microseconds(long long ticks) { return ticks * 1000000 / frequency.QuadPart; }

void write_totals()
{
    char path[1024] = {};
    if (GetEnvironmentVariableA("UPDATE_PROFILE", path, sizeof path) == 0)
        return;
    FILE* out = fopen(path, "w");
    if (out == nullptr)
        return;
    for (int kind = 0; kind < kinds; ++kind)
        fprintf(out, "%s %lld %lld\n", KIND_NAMES[kind], calls[kind], microseconds(totals[kind]));
    long long timed = 0;
    for (long long total : totals)
        timed += total;
    const long long phase = now() - phase_start.QuadPart;
    fprintf(out, "program %lld %lld\n", 0LL, microseconds(phase - timed));
    fprintf(out, "phase %lld\n", microseconds(phase));
    fclose(out);
}

// A forwarder for each imported call, timed as its kind; the calling convention is the import's.
template <int Kind, typename Function>
struct Cforward;
#define UPDATE_PROFILE_FORWARD(convention)                                                        \
    template <int Kind, typename Result, typename... Arguments>                                   \
    struct Cforward<Kind, Result(convention*)(Arguments...)> {                                    \
        static inline Result(convention* real)(Arguments...) = nullptr;                           \
        static Result convention call(Arguments... arguments)                                     \
        {                                                                                         \
            Ctimed timed(static_cast<Ckind>(Kind));                                               \
            return real(arguments...);                                                            \
        }                                                                                         \
    };
UPDATE_PROFILE_FORWARD(__cdecl)
#ifndef _WIN64
UPDATE_PROFILE_FORWARD(__stdcall)
#endif

template <Ckind Kind, typename Function>
void time_as(const char* name, Function)
{
    redirect(name, &Cforward<Kind, Function>::call, Cforward<Kind, Function>::real);
}
#define TIME_AS(kind, function) time_as<kind>(#function, &::function)

// The calls whose kind depends on their arguments.
decltype(&_wfsopen) real_open;
FILE* __cdecl open(const wchar_t* path, const wchar_t* mode, int share)
{
    Ctimed timed(wcschr(mode, L'w') != nullptr ? staging_open : source_open);
    return real_open(path, mode, share);
}

decltype(&WriteFile) real_write_file;
BOOL WINAPI write_file(HANDLE file, LPCVOID bytes, DWORD count, LPDWORD written, LPOVERLAPPED overlapped)
{
    journal_handles.insert(file);
    Ctimed timed(journal);
    return real_write_file(file, bytes, count, written, overlapped);
}

decltype(&FlushFileBuffers) real_flush;
BOOL WINAPI flush(HANDLE file)
{
    Ctimed timed(journal_handles.count(file) != 0 ? journal : flushing);
    return real_flush(file);
}

decltype(&SendMessageW) real_send;
LRESULT WINAPI send(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    Ctimed timed(message == WM_SETREDRAW ? paint : message == WM_SETTEXT ? status_text : bars);
    return real_send(window, message, wparam, lparam);
}

// The phase runs from the confirmation's Yes to the next box.
decltype(&MessageBoxW) real_box;
int WINAPI box(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    if (in_phase) {
        in_phase = false;
        write_totals();
    }
    const int answer = real_box(owner, text, caption, type);
    if ((type & MB_TYPEMASK) == MB_YESNO && answer == IDYES) {
        in_phase = true;
        QueryPerformanceCounter(&phase_start);
    }
    return answer;
}

void time_the_program()
{
    QueryPerformanceFrequency(&frequency);
    redirect("MessageBoxW", &box, real_box);
    if (GetEnvironmentVariableA("UPDATE_PROFILE_PHASE_ONLY", nullptr, 0) != 0)
        return;
    redirect("_wfsopen", &open, real_open);
    redirect("WriteFile", &write_file, real_write_file);
    redirect("FlushFileBuffers", &flush, real_flush);
    redirect("SendMessageW", &send, real_send);
    TIME_AS(file_close, fclose);
    TIME_AS(reading, fread);
    TIME_AS(writing, fwrite);
    TIME_AS(flushing, fflush);
    TIME_AS(bars, SetWindowTextW);
    TIME_AS(pump, PeekMessageW);
    TIME_AS(pump, GetMessageW);
    TIME_AS(pump, TranslateMessage);
    TIME_AS(pump, DispatchMessageW);
    TIME_AS(pump, IsDialogMessageW);
    TIME_AS(paint, RedrawWindow);
    TIME_AS(lookups, FindFirstFileW);
    TIME_AS(lookups, FindNextFileW);
    TIME_AS(lookups, FindClose);
    TIME_AS(lookups, GetFileAttributesW);
    TIME_AS(lookups, CreateFileW);
    TIME_AS(final_path, GetFinalPathNameByHandleW);
    TIME_AS(lookups, CloseHandle);
    TIME_AS(file_information, GetFileInformationByHandleEx);
    TIME_AS(security, SetNamedSecurityInfoW);
    TIME_AS(names, GetFullPathNameW);
    TIME_AS(file_size, _get_osfhandle);
    TIME_AS(names, MultiByteToWideChar);
    TIME_AS(names, WideCharToMultiByte);
    TIME_AS(folders, CreateDirectoryW);
    TIME_AS(folders, SetFileAttributesW);
    TIME_AS(put_in_place, MoveFileExW);
    TIME_AS(put_in_place, ReplaceFileW);
    TIME_AS(cleaning_up, DeleteFileW);
    TIME_AS(cleaning_up, RemoveDirectoryW);
    TIME_AS(dialog, CreateDialogParamW);
    TIME_AS(dialog, ShowWindow);
    TIME_AS(dialog, DestroyWindow);
    TIME_AS(memory, malloc);
    TIME_AS(memory, calloc);
    TIME_AS(memory, realloc);
    TIME_AS(memory, free);
    TIME_AS(memory, memset);
    TIME_AS(binding, GetPropW);
    TIME_AS(file_size, fgetpos);
    TIME_AS(file_size, fsetpos);
    TIME_AS(file_size, _filelengthi64);
    TIME_AS(names, CharUpperBuffW);
}

LRESULT CALLBACK hook(int code, WPARAM wparam, LPARAM lparam)
{
    static bool started = false;
    if (!started) {
        started = true;
        // Pinned: the benchmark takes the hook out before the copy phase, and the forwarders stay.
        HMODULE self = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                           reinterpret_cast<LPCWSTR>(&hook), &self);
        time_the_program();
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

extern "C" __declspec(dllexport) HOOKPROC profile_hook_procedure() { return hook; }
