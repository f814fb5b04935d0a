// drive_update: runs the real update.exe once, the way a player goes through it, for people who
// want to watch an update rather than test it (the built-in sample, a publisher's own package).
// It answers the boxes through the end-to-end harness, saves screenshots of each box and of the
// progress dialog while it moves, and prints what the player saw.
//
//   drive_update <update.exe> <screenshot folder> [--answer yes|no]... [--hold <ms>]
//                [--progress-at <thousandths>] [--transcript <file>]
//
// --hold keeps each box on screen that long before it is answered, for a watcher at a real display;
// --progress-at takes the picture of the progress dialog once its overall bar has reached that far.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "harness.h"
#include "support/unix_command.h"
#include "update_check/console_output.h"

namespace {

const int MESSAGE_BOX_TEXT_ID = 0xFFFF;
const int OVERALL_BAR_ID = 1001;
const wchar_t* const SUCCESS_TEXT = L"アップデートは正常に終了しました。";

struct Cdriver_options {
    std::wstring program;
    std::wstring screenshot_folder;
    std::vector<e2e::Cbutton> answers;
    DWORD hold_ms = 0;
    DWORD_PTR progress_at = 1;
    std::wstring transcript_file;
};

void print(const std::wstring& text)
{
    write_output(text + L"\n", Cpipe_encoding::utf8);
}

std::wstring window_text(HWND window)
{
    wchar_t buffer[2048] = {};
    GetWindowTextW(window, buffer, 2048);
    return buffer;
}

// Wine keeps the X window of each top-level window in this property; without it, the whole screen.
std::string x_window_of(HWND window)
{
    const HANDLE x_window = GetPropW(window, L"__wine_x11_whole_window");
    if (x_window == nullptr)
        return "root";
    char id[32];
    snprintf(id, sizeof(id), "0x%lx", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(x_window)));
    return id;
}

class Cscreenshots {
public:
    explicit Cscreenshots(const std::wstring& folder) : folder_(folder) { CreateDirectoryW(folder.c_str(), nullptr); }

    // Saves <n>-<name>.png of the window and returns its Windows path, or empty when it failed.
    std::wstring take(HWND window, const std::wstring& name)
    {
        const std::wstring path = folder_ + L"\\" + std::to_wstring(++count_) + L"-" + name + L".png";
        DeleteFileW(path.c_str());
        const std::string target = unix_path_of(path);
        if (target.empty())
            return std::wstring();
        run_unix_shell("import -window " + x_window_of(window) + " " + shell_quoted(target) + " 2>/dev/null");
        return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES ? path : std::wstring();
    }

private:
    std::wstring folder_;
    int count_ = 0;
};

void report_screenshot(const std::wstring& what, const std::wstring& path)
{
    print(path.empty() ? L"  (no screenshot of the " + what + L": the screenshot tool failed)"
                       : L"  screenshot of the " + what + L": " + path);
}

bool asks_yes_or_no(HWND box)
{
    return GetDlgItem(box, IDYES) != nullptr;
}

struct Cdialog_search {
    DWORD process_id;
    HWND dialog;
};

// The progress dialog: a dialog of the program that is not a message box.
BOOL CALLBACK find_progress_dialog(HWND window, LPARAM context)
{
    Cdialog_search& search = *reinterpret_cast<Cdialog_search*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t class_name[16] = {};
    GetClassNameW(window, class_name, 16);
    if (owner == search.process_id && IsWindowVisible(window) && std::wstring(class_name) == L"#32770" &&
        GetDlgItem(window, MESSAGE_BOX_TEXT_ID) == nullptr) {
        search.dialog = window;
        return FALSE;
    }
    return TRUE;
}

// Once the overall bar has moved, the program is held still for the picture, so that the dialog
// is caught mid-copy however fast the copy runs.
class Cprogress_watch {
public:
    Cprogress_watch(Cscreenshots& screenshots, DWORD_PTR shoot_at) : screenshots_(screenshots), shoot_at_(shoot_at) {}

    bool taken() const { return taken_; }
    bool seen() const { return seen_; }

    void poll(const PROCESS_INFORMATION& process)
    {
        if (taken_)
            return;
        Cdialog_search search{process.dwProcessId, nullptr};
        EnumWindows(find_progress_dialog, reinterpret_cast<LPARAM>(&search));
        if (search.dialog == nullptr)
            return;
        seen_ = true;
        DWORD_PTR position = 0;
        if (!SendMessageTimeoutW(GetDlgItem(search.dialog, OVERALL_BAR_ID), PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 500,
                                 &position) ||
            position < shoot_at_)
            return;
        taken_ = true;
        SuspendThread(process.hThread);
        print(L"[progress dialog] \"" + window_text(search.dialog) + L"\", overall bar at " +
              std::to_wstring(position / 10) + L"." + std::to_wstring(position % 10) + L" %");
        report_screenshot(L"progress dialog", screenshots_.take(search.dialog, L"progress"));
        ResumeThread(process.hThread);
    }

private:
    Cscreenshots& screenshots_;
    DWORD_PTR shoot_at_;
    bool seen_ = false;
    bool taken_ = false;
};

// The transcript as a reader wants it: every event but the many bar positions, which are counted.
void print_transcript(const e2e::Ctranscript& transcript)
{
    size_t positions = 0;
    print(L"Transcript of update.exe's windows (from the hook inside it):");
    for (const std::string& line : transcript) {
        if (line.compare(0, 4, "pos ") == 0) {
            ++positions;
            continue;
        }
        print(L"  " + e2e::from_utf8(line));
    }
    print(L"  (and " + std::to_wstring(positions) + L" progress bar positions)");
}

bool save_transcript(const std::wstring& path, const e2e::Ctranscript& transcript)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    for (const std::string& line : transcript) {
        DWORD written = 0;
        const std::string text = line + "\n";
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
    CloseHandle(file);
    return true;
}

bool parse(int argc, wchar_t** argv, Cdriver_options& options)
{
    if (argc < 3)
        return false;
    options.program = argv[1];
    options.screenshot_folder = argv[2];
    for (int i = 3; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument == L"--answer" && i + 1 < argc) {
            const std::wstring answer = argv[++i];
            if (answer != L"yes" && answer != L"no")
                return false;
            options.answers.push_back(answer == L"yes" ? e2e::Cbutton::yes : e2e::Cbutton::no);
        } else if (argument == L"--hold" && i + 1 < argc) {
            options.hold_ms = static_cast<DWORD>(_wtoi(argv[++i]));
        } else if (argument == L"--progress-at" && i + 1 < argc) {
            options.progress_at = static_cast<DWORD_PTR>(_wtoi(argv[++i]));
            if (options.progress_at < 1 || options.progress_at > 1000)
                return false;
        } else if (argument == L"--transcript" && i + 1 < argc) {
            options.transcript_file = argv[++i];
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    Cdriver_options options;
    if (!parse(argc, argv, options)) {
        print(L"usage: drive_update <update.exe> <screenshot folder> [--answer yes|no]... [--hold <ms>] "
              L"[--progress-at <thousandths>] [--transcript <file>]");
        return 2;
    }
    Cscreenshots screenshots(options.screenshot_folder);
    Cprogress_watch progress(screenshots, options.progress_at);

    e2e::Crun_options run;
    run.program = options.program;
    run.answers = options.answers;
    run.timeout_ms = 300000;
    run.on_poll = [&](const PROCESS_INFORMATION& process) { progress.poll(process); };
    run.before_answer = [&](HWND box) {
        // Let the box finish painting before its picture is taken.
        Sleep(options.hold_ms > 300 ? options.hold_ms : 300);
        const bool question = asks_yes_or_no(box);
        print(std::wstring(question ? L"[Yes/No box] \"" : L"[box] \"") + window_text(box) + L"\":");
        std::wstring text = window_text(GetDlgItem(box, MESSAGE_BOX_TEXT_ID));
        for (size_t at = 0; (at = text.find(L'\n', at)) != std::wstring::npos; at += 5)
            text.replace(at, 1, L"\n    ");
        print(L"    " + text);
        const wchar_t* name = question ? L"confirmation" : text == SUCCESS_TEXT ? L"success" : L"box";
        report_screenshot(question ? L"confirmation" : name == std::wstring(L"success") ? L"success box" : L"box",
                          screenshots.take(box, name));
    };

    const e2e::Crun_result result = e2e::run_program(run);
    if (progress.seen() && !progress.taken())
        print(L"[progress dialog] gone before its overall bar reached " + std::to_wstring(options.progress_at) +
              L" thousandths: no screenshot of it");
    print(L"");
    print_transcript(result.transcript);
    if (!options.transcript_file.empty() && save_transcript(options.transcript_file, result.transcript))
        print(L"  saved in " + options.transcript_file);
    if (!result.ok()) {
        print(L"drive_update: the run failed: " + e2e::from_utf8(result.failure));
        return 1;
    }
    print(L"update.exe ended with exit code " + std::to_wstring(result.exit_code) + L".");
    return 0;
}
