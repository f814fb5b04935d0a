#include "harness.h"
#include "scenario.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

namespace e2e {

namespace {

const int MESSAGE_BOX_TEXT_ID = 0xFFFF;
const DWORD POLL_INTERVAL_MS = 10;

std::wstring class_name(HWND window)
{
    wchar_t buffer[256];
    const int length = GetClassNameW(window, buffer, 256);
    return std::wstring(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

std::wstring folder_of(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring variable_name(const std::wstring& entry)
{
    // Entries such as "=C:=C:\..." start with '='; their name runs to the second '='.
    const size_t equals = entry.find(L'=', 1);
    return entry.substr(0, equals);
}

bool same_name(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

// This process's environment with the given entries added or replaced, as a CreateProcessW block.
std::wstring environment_block(const std::vector<std::wstring>& extra)
{
    std::vector<std::wstring> entries;
    wchar_t* const strings = GetEnvironmentStringsW();
    for (const wchar_t* entry = strings; *entry; entry += wcslen(entry) + 1)
        entries.emplace_back(entry);
    FreeEnvironmentStringsW(strings);
    for (const std::wstring& added : extra) {
        const std::wstring name = variable_name(added);
        entries.erase(std::remove_if(entries.begin(), entries.end(),
                                     [&](const std::wstring& e) { return same_name(variable_name(e), name); }),
                      entries.end());
        entries.push_back(added);
    }
    std::wstring block;
    for (const std::wstring& entry : entries)
        block += entry + L'\0';
    return block + L'\0';
}

std::wstring fresh_event_log_path()
{
    static int runs = 0;
    const std::wstring folder = current_folder() + L"\\e2e-event-logs";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring path =
        folder + L"\\run-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++runs) + L".log";
    DeleteFileW(path.c_str());
    return path;
}

Ctranscript read_transcript(const std::wstring& path)
{
    Ctranscript lines;
    // A run that never got as far as opening its log has no transcript.
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return lines;
    const std::string text = read_file(path);
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

HOOKPROC hook_procedure(HMODULE& module)
{
    static HMODULE loaded = LoadLibraryW(built_hook_dll().c_str());
    module = loaded;
    if (loaded == nullptr)
        return nullptr;
    using Cget_procedure = HOOKPROC (*)();
    const auto get_procedure =
        reinterpret_cast<Cget_procedure>(reinterpret_cast<void*>(GetProcAddress(loaded, "e2e_hook_procedure")));
    return get_procedure ? get_procedure() : nullptr;
}

struct Cbox_search {
    DWORD process_id;
    std::vector<HWND> boxes;
};

BOOL CALLBACK collect_box(HWND window, LPARAM context)
{
    Cbox_search& search = *reinterpret_cast<Cbox_search*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.process_id && IsWindowVisible(window) && class_name(window) == L"#32770" &&
        GetDlgItem(window, MESSAGE_BOX_TEXT_ID) != nullptr)
        search.boxes.push_back(window);
    return TRUE;
}

std::vector<HWND> visible_message_boxes(DWORD process_id)
{
    Cbox_search search{process_id, {}};
    EnumWindows(collect_box, reinterpret_cast<LPARAM>(&search));
    return search.boxes;
}

// The buttons a player could press now: visible and enabled.
std::vector<HWND> pressable_buttons(HWND box)
{
    std::vector<HWND> buttons;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (class_name(child) == L"Button" && IsWindowVisible(child) && IsWindowEnabled(child))
            buttons.push_back(child);
    return buttons;
}

const char* button_text(Cbutton button)
{
    switch (button) {
    case Cbutton::ok: return "OK";
    case Cbutton::cancel: return "Cancel";
    case Cbutton::yes: return "Yes";
    case Cbutton::no: return "No";
    }
    return "?";
}

// Answers the boxes on screen; false with a failure when a box cannot be answered as told.
class Cbox_answerer {
public:
    Cbox_answerer(DWORD process_id, const std::vector<Cbutton>& answers,
                  const std::function<void(HWND)>& before_answer)
        : process_id_(process_id), answers_(answers), before_answer_(before_answer)
    {
    }

    bool answer_visible_boxes(std::string& failure)
    {
        forget_closed_boxes();
        for (HWND box : visible_message_boxes(process_id_)) {
            if (answered_.count(box))
                continue;
            const std::vector<HWND> buttons = pressable_buttons(box);
            if (buttons.empty())
                continue;  // still being built: look again at the next poll
            if (before_answer_)
                before_answer_(box);
            if (!answer(box, buttons, failure))
                return false;
            answered_.insert(box);
        }
        return true;
    }

    size_t answers_used() const { return next_; }

private:
    void forget_closed_boxes()
    {
        for (auto it = answered_.begin(); it != answered_.end();)
            it = IsWindow(*it) ? std::next(it) : answered_.erase(it);
    }

    bool answer(HWND box, const std::vector<HWND>& buttons, std::string& failure)
    {
        int id = IDOK;
        if (!(buttons.size() == 1 && GetDlgCtrlID(buttons[0]) == IDOK)) {
            if (next_ >= answers_.size()) {
                failure = "a box asks for an answer the scenario does not give";
                return false;
            }
            id = static_cast<int>(answers_[next_++]);
        }
        const auto button = std::find_if(buttons.begin(), buttons.end(),
                                         [&](HWND b) { return GetDlgCtrlID(b) == id; });
        if (button == buttons.end()) {
            failure = std::string("the box has no button ") + button_text(static_cast<Cbutton>(id));
            return false;
        }
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(*button));
        return true;
    }

    DWORD process_id_;
    const std::vector<Cbutton>& answers_;
    const std::function<void(HWND)>& before_answer_;
    size_t next_ = 0;
    std::set<HWND> answered_;
};

std::wstring file_name_of(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// Wine takes WINEDLLOVERRIDES from the Unix environment it was started with, not from the
// environment block a Windows parent passes, so a run's disabled DLLs go to the per-program
// overrides in the registry instead. Always emptied first, so a killed run leaves nothing behind
// for the next one.
class Cdll_overrides {
public:
    Cdll_overrides(const std::wstring& program, const std::vector<std::wstring>& disabled)
        : key_(L"Software\\Wine\\AppDefaults\\" + file_name_of(program) + L"\\DllOverrides")
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, key_.c_str());
        if (disabled.empty())
            return;
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return;
        for (const std::wstring& dll : disabled)
            RegSetValueExW(key, dll.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(L""), sizeof(wchar_t));
        RegCloseKey(key);
    }
    ~Cdll_overrides()
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, key_.c_str());
    }
    Cdll_overrides(const Cdll_overrides&) = delete;
    Cdll_overrides& operator=(const Cdll_overrides&) = delete;

private:
    std::wstring key_;
};

}  // namespace

Crun_result run_program(const Crun_options& options)
{
    Crun_result result;
    HMODULE hook_module = nullptr;
    const HOOKPROC procedure = hook_procedure(hook_module);
    if (procedure == nullptr) {
        result.failure = "the hook DLL cannot be loaded: " + to_utf8(built_hook_dll());
        return result;
    }

    const std::wstring log_path = fresh_event_log_path();
    std::vector<std::wstring> environment = options.environment;
    environment.push_back(std::wstring(EVENT_LOG_VARIABLE) + L"=" + log_path);
    environment.push_back(std::wstring(CLOSE_AFTER_POSITION_VARIABLE) + L"=" +
                          std::to_wstring(options.close_dialog_after_pos));
    std::wstring block = environment_block(environment);
    const std::wstring folder = options.working_folder.empty() ? folder_of(options.program) : options.working_folder;
    std::wstring command_line = L"\"" + options.program + L"\"";
    if (!options.arguments.empty())
        command_line += L" " + options.arguments;

    const Cdll_overrides overrides(options.program, options.disabled_dlls);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(options.program.c_str(), &command_line[0], nullptr, nullptr, FALSE,
                        CREATE_SUSPENDED | CREATE_UNICODE_ENVIRONMENT, &block[0], folder.c_str(), &startup,
                        &process)) {
        result.failure = "cannot start " + to_utf8(options.program) + " (error " + std::to_string(GetLastError()) + ")";
        return result;
    }
    result.started = true;

    const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, procedure, hook_module, process.dwThreadId);
    if (hook == nullptr) {
        result.failure = "cannot hook the program's thread (error " + std::to_string(GetLastError()) + ")";
        TerminateProcess(process.hProcess, 1);
    }
    ResumeThread(process.hThread);

    Cbox_answerer answerer(process.dwProcessId, options.answers, options.before_answer);
    const ULONGLONG deadline = GetTickCount64() + options.timeout_ms;
    while (WaitForSingleObject(process.hProcess, POLL_INTERVAL_MS) == WAIT_TIMEOUT) {
        if (options.on_poll && result.failure.empty())
            options.on_poll(process);
        std::string failure;
        if (result.failure.empty() && !answerer.answer_visible_boxes(failure)) {
            result.failure = failure;
            TerminateProcess(process.hProcess, 1);
        }
        if (GetTickCount64() > deadline) {
            result.timed_out = true;
            if (result.failure.empty())
                result.failure = "timed out after " + std::to_string(options.timeout_ms) + " ms";
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, INFINITE);
        }
    }
    GetExitCodeProcess(process.hProcess, &result.exit_code);
    if (hook)
        UnhookWindowsHookEx(hook);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    result.answers_used = answerer.answers_used();
    result.transcript = read_transcript(log_path);
    if (result.failure.empty())
        DeleteFileW(log_path.c_str());  // a failed run's log stays, for a look at the raw lines
    else
        result.failure += "\ntranscript so far:\n" + to_text(result.transcript);
    return result;
}

std::string box_line(const std::string& caption, const std::string& icon, const std::string& buttons,
                     const std::string& default_button, const std::string& text)
{
    return "box caption=" + quoted(caption) + " icon=" + icon + " buttons=" + buttons + " default=" + default_button +
           " text=" + quoted(text);
}

std::string warning_box(const std::string& caption, const std::string& text)
{
    return box_line(caption, "warning", "OK", "OK", text);
}

std::string information_box(const std::string& caption, const std::string& text)
{
    return box_line(caption, "information", "OK", "OK", text);
}

std::string to_text(const Ctranscript& transcript)
{
    std::string text;
    for (const std::string& line : transcript)
        text += "  " + line + "\n";
    return text.empty() ? "  (nothing)\n" : text;
}

std::wstring windows_path_of(const std::string& build_path)
{
    std::wstring path = from_utf8(build_path);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return !path.empty() && path[0] == L'\\' ? L"Z:" + path : path;
}

std::wstring built_update_exe() { return windows_path_of(E2E_UPDATE_EXE); }
std::wstring built_hook_dll() { return windows_path_of(E2E_HOOK_DLL); }

}  // namespace e2e
