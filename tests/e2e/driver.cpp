#include "driver.h"

#include <shlobj.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "support/unix_command.h"

namespace e2e {

std::string narrow(const std::wstring& text, UINT code_page)
{
    std::string bytes(text.size() * 3, '\0');
    bytes.resize(WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), &bytes[0],
                                     static_cast<int>(bytes.size()), nullptr, nullptr));
    return bytes;
}

std::wstring from_utf8(const std::string& text)
{
    std::wstring wide(text.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                    static_cast<int>(wide.size())));
    return wide;
}

std::wstring built(const char* unix_path)
{
    std::wstring path = L"Z:" + from_utf8(unix_path);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

std::string unix_of(const std::wstring& path) { return shell_quoted(unix_path_of(path)); }

void make_folders(const std::wstring& folder) { SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr); }

void remove_tree(const std::wstring& folder) { run_unix_shell("rm -rf " + unix_of(folder)); }

void write_file(const std::wstring& path, const std::string& bytes)
{
    make_folders(path.substr(0, path.rfind(L'\\')));
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::string pattern(size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    for (uint32_t i = 0, value = seed * 2654435761u; i < size; ++i)
        bytes[i] = static_cast<char>((value = value * 1103515245u + 12345u) >> 24);
    return bytes;
}

// Reads a file in pieces (some are larger than a 32-bit process holds) and calls back with each.
template <typename Piece>
void read_pieces(const std::wstring& path, Piece piece)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    static char buffer[1 << 20];
    for (DWORD count = 0; ReadFile(file, buffer, sizeof buffer, &count, nullptr) && count > 0;)
        piece(buffer, count);
    CloseHandle(file);
}

std::string read_bytes(const std::wstring& path)
{
    std::string bytes;
    read_pieces(path, [&](const char* piece, DWORD count) { bytes.append(piece, count); });
    return bytes;
}

// Its own listing loop, not the program's folder walker: a fault in the walker must not hide in
// both what update.exe did and what the test sees of it.
Snapshot snapshot(const std::wstring& folder)
{
    Snapshot result;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
        const std::wstring name = found.cFileName, path = folder + L"\\" + name;
        uint64_t size = 0, hash = 14695981039346656037ull;  // FNV-1a
        if (name == L"." || name == L"..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            result[name] = L"folder";
            for (const auto& [below, state] : snapshot(path))
                result[name + L"\\" + below] = state;
            continue;
        }
        read_pieces(path, [&](const char* bytes, DWORD count) {
            for (DWORD i = 0; i < count; ++i, ++size)
                hash = (hash ^ static_cast<unsigned char>(bytes[i])) * 1099511628211ull;
        });
        result[name] = std::to_wstring(size) + L" #" + std::to_wstring(hash);
    }
    FindClose(search);
    return result;
}

std::string text(const Snapshot& snapshot)
{
    std::string lines;
    for (const auto& [path, state] : snapshot)
        lines += narrow(path + L": " + state) + "\n";
    return lines;
}

static bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

static void read_log(const std::wstring& path, Run& run)
{
    const std::string bytes = read_bytes(path);
    run.transcript.clear();
    run.ops.clear();
    for (size_t at = 0, end; (end = bytes.find('\n', at)) != std::string::npos; at = end + 1) {
        const size_t blank = bytes.find(' ', at);
        std::wstring line = from_utf8(bytes.substr(blank + 1, end - blank - 1));
        std::replace(line.begin(), line.end(), L'\x01', L'\n');
        std::replace(line.begin(), line.end(), L'\x02', L'\r');
        if (line.compare(0, 3, L"op ") == 0) {
            run.ops.push_back(line.substr(3));
            continue;
        }
        run.transcript.push_back(line);
    }
}

// What a power cut leaves of the files the hook lists: each as long as at its last flush.
static void cut_to_flushed(const std::wstring& list)
{
    std::istringstream lines(read_bytes(list));
    for (std::string length, path; std::getline(lines, length, '\t') && std::getline(lines, path);) {
        const HANDLE file = CreateFileW(from_utf8(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, 0, nullptr);
        LARGE_INTEGER at = {};
        at.QuadPart = std::stoll(length);
        SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
        SetEndOfFile(file);
        CloseHandle(file);
    }
}

// The hook DLL is loaded in the program before its first instruction, by an APC that the main
// thread runs as it starts, so that it follows the program's file operations from the beginning.
static void load_before_start(const PROCESS_INFORMATION& process, const std::wstring& dll)
{
    const size_t bytes = (dll.size() + 1) * sizeof(wchar_t);
    void* remote = VirtualAllocEx(process.hProcess, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
    WriteProcessMemory(process.hProcess, remote, dll.c_str(), bytes, nullptr);
    const auto load = reinterpret_cast<PAPCFUNC>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
    QueueUserAPC(load, process.hThread, reinterpret_cast<ULONG_PTR>(remote));
}

Run run_update(const std::wstring& exe, const Options& options)
{
    Run run;
    static const HMODULE hook_dll = LoadLibraryW(built(E2E_HOOK_DLL).c_str());
    const auto hook_procedure =
        reinterpret_cast<HOOKPROC (*)()>(reinterpret_cast<void*>(GetProcAddress(hook_dll, "e2e_hook_procedure")));
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static int runs = 0;
    const std::wstring log = temp + (L"update-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                     std::to_wstring(++runs) + L".log");
    // The program inherits these; the hook reads them inside it.
    SetEnvironmentVariableW(L"UPDATE_E2E_LOG", log.c_str());
    SetEnvironmentVariableW(L"UPDATE_E2E_CLOSE_AT", std::to_wstring(options.close_at).c_str());
    SetEnvironmentVariableW(L"UPDATE_E2E_PAUSE_AT", std::to_wstring(options.pause_at).c_str());
    SetEnvironmentVariableW(L"UPDATE_E2E_FAIL_AT", options.fail_at.c_str());
    SetEnvironmentVariableW(L"UPDATE_E2E_CUT_AT", options.cut_at.c_str());
    // Wine reads WINEDLLOVERRIDES only from the Unix environment it started with, so a DLL is taken
    // away from update.exe through the per-program overrides in the registry instead.
    const wchar_t* overrides = L"Software\\Wine\\AppDefaults\\update.exe\\DllOverrides";
    RegDeleteKeyW(HKEY_CURRENT_USER, overrides);
    if (options.without_rich_edit)
        RegSetKeyValueW(HKEY_CURRENT_USER, overrides, L"riched32", REG_SZ, L"", sizeof(wchar_t));

    std::wstring command_line = L"\"" + exe + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const std::wstring start_in = options.start_in.empty() ? exe.substr(0, exe.rfind(L'\\')) : options.start_in;
    if (!hook_procedure || !CreateProcessW(exe.c_str(), &command_line[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                                           nullptr, start_in.c_str(), &startup, &process))
        return Run{0, {}, "cannot start " + narrow(exe) + " with the hook " + E2E_HOOK_DLL, {}};
    load_before_start(process, built(E2E_HOOK_DLL));
    const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, hook_procedure(), hook_dll, process.dwThreadId);
    ResumeThread(process.hThread);

    // Every box up and ready is answered: a lone OK with OK, any other with the next answer.
    size_t next_answer = 0;
    std::set<HWND> answered;
    for (const ULONGLONG deadline = GetTickCount64() + options.timeout_ms;
         WaitForSingleObject(process.hProcess, 10) == WAIT_TIMEOUT;) {
        if (exists(log + L".pause") && !exists(log + L".go")) {
            read_log(log, run);
            if (options.at_pause)
                options.at_pause(run.transcript);
            // Under Wine a process ended by a Unix SIGKILL reports exit code 0; this one reports 9.
            if (options.kill_at_pause) {
                TerminateProcess(process.hProcess, 9);
                WaitForSingleObject(process.hProcess, INFINITE);
            }
            write_file(log + L".go", "");
        }
        for (HWND box = nullptr; (box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr;) {
            DWORD owner = 0;
            GetWindowThreadProcessId(box, &owner);
            const HWND ok = GetDlgItem(box, IDOK);
            const bool only_ok = ok && IsWindowVisible(ok) && !IsWindowVisible(GetDlgItem(box, IDNO));
            if (owner != process.dwProcessId || !GetDlgItem(box, 0xFFFF) || !IsWindowVisible(box) ||
                answered.count(box) || !IsWindowEnabled(GetDlgItem(box, only_ok ? IDOK : IDCANCEL)) &&
                                           !IsWindowEnabled(GetDlgItem(box, IDNO)))
                continue;  // not a box of the program's, answered already, or still being made
            const bool retry = options.retry_answer != 0 && GetDlgItem(box, IDRETRY) != nullptr;
            if (!only_ok && !retry && next_answer == options.answers.size()) {
                run.failure = "a box asks for an answer the run was not given";
                break;
            }
            const int id = only_ok ? IDOK : retry ? options.retry_answer : options.answers[next_answer++];
            if (options.before_answer)
                options.before_answer(box);
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
            answered.insert(box);
        }
        if (run.failure.empty() && GetTickCount64() > deadline)
            run.failure = "update.exe still runs after " + std::to_string(options.timeout_ms) + " ms";
        if (!run.failure.empty())
            TerminateProcess(process.hProcess, 1);
    }
    GetExitCodeProcess(process.hProcess, &run.exit_code);
    if (exists(log + L".cut"))
        cut_to_flushed(log + L".cut");
    UnhookWindowsHookEx(hook);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    RegDeleteKeyW(HKEY_CURRENT_USER, overrides);
    read_log(log, run);
    for (const wchar_t* suffix : {L"", L".pause", L".go", L".cut"})
        DeleteFileW((log + suffix).c_str());
    return run;
}

DWORD run_console(const std::wstring& command_line, std::string& output)
{
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    HANDLE read_end = nullptr, write_end = nullptr;
    CreatePipe(&read_end, &write_end, &inherited, 0);
    SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = write_end;
    PROCESS_INFORMATION process = {};
    std::wstring line = command_line;
    DWORD exit_code = 255;
    // Under a heavy load Wine now and then fails to start a program at the first try.
    BOOL started = FALSE;
    for (int attempt = 0; attempt < 5 && !started; ++attempt) {
        if (attempt > 0)
            Sleep(500);
        started = CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                                 &startup, &process);
    }
    if (!started)
        output = "could not be started: error " + std::to_string(GetLastError());
    CloseHandle(write_end);
    char buffer[4096];
    for (DWORD count = 0; started && ReadFile(read_end, buffer, sizeof buffer, &count, nullptr) && count > 0;)
        output.append(buffer, count);
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &exit_code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(read_end);
    return exit_code;
}

Scenario::Scenario(const std::string& name) : reg_name(L"E2Eテスト\\" + from_utf8(name))
{
    wchar_t current[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, current);
    root = current + (L"\\scenarios\\" + from_utf8(name));
    package = root + L"\\ダウンロード\\アップデート 1.01";
    game = root + L"\\ゲーム";
    remove_tree(root);
    // No run of update.exe's is recorded for a game folder that is laid out afresh.
    RegDeleteTreeW(HKEY_CURRENT_USER, L"SOFTWARE\\update.exe");
    make_folders(package + L"\\GAMEDATA");
    CopyFileW(built(E2E_UPDATE_EXE).c_str(), exe().c_str(), FALSE);
    // A complete installation as its installer leaves it.
    write_file(game + L"\\Lumivane.exe", pattern(4096, 1));
    write_file(game + L"\\セーブ\\save01.dat", pattern(300, 2));
    values[L"SAV_FOLDER"] = game;
    for (const std::wstring part : {L"DAT", L"BGM", L"KOE", L"MOV"}) {
        write_file(game + L"\\" + part + L"\\old.dat", pattern(100, part[0]));
        values[part + L"_EXIST"] = L"1";
        values[part + L"_FOLDER"] = game + L"\\" + part;
    }
}

Scenario::~Scenario()
{
    for (HANDLE file : held)
        CloseHandle(file);
    for (const std::string& command : clean_up)
        run_unix_shell(command);
    RegDeleteTreeW(HKEY_CURRENT_USER, (L"SOFTWARE\\" + reg_name).c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, L"SOFTWARE\\E2Eテスト");
}

void Scenario::update_ini(const Lines& lines) const
{
    std::string bytes;
    for (const std::wstring& line : lines)
        bytes += narrow(line, 932) + "\r\n";
    write_file(package + L"\\update.ini", bytes);
}

void Scenario::write_registry() const
{
    for (const auto& [name, text] : values)
        RegSetKeyValueW(HKEY_CURRENT_USER, (L"SOFTWARE\\" + reg_name).c_str(), name.c_str(), REG_SZ, text.c_str(),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

}  // namespace e2e
