#pragma once
// Drives the built programs as a player and a publisher do: lays out an update package beside a
// copy of update.exe and the installed game with its registry key, runs update.exe with the hook
// (hook.cpp) in it, answers its boxes, and returns what it showed; runs update-check.exe.
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace e2e {

using Lines = std::vector<std::wstring>;

std::string narrow(const std::wstring& text, UINT code_page = CP_UTF8);
std::wstring from_utf8(const std::string& text);
std::wstring built(const char* unix_path);  // a file of the build, as Wine's Windows path
std::string unix_of(const std::wstring& path);  // a Windows path as the Unix shell takes it, quoted
void write_file(const std::wstring& path, const std::string& bytes);  // makes the folders above it
void make_folders(const std::wstring& folder);
std::string read_bytes(const std::wstring& path);
void remove_tree(const std::wstring& folder);
std::string pattern(size_t size, unsigned seed);  // size bytes that differ with the seed

// Every file and folder below a folder: relative path -> "<size> #<hash>", or "folder".
using Snapshot = std::map<std::wstring, std::wstring>;
Snapshot snapshot(const std::wstring& folder);
std::string text(const Snapshot& snapshot);  // one line per entry

struct Options {
    std::vector<int> answers = {IDYES};  // for each box with more than an OK button, in order
    int retry_answer = 0;                 // when set, every Retry/Cancel box's, not taken from answers
    std::wstring start_in;                // the current folder; empty: the program's own
    bool without_rich_edit = false;       // riched32.dll cannot be loaded
    int close_at = 0;                     // press the dialog's close box at its Nth bar position
    int pause_at = 0;                     // hold the program at its Nth bar position while at_pause runs
    std::function<void(const Lines& so_far)> at_pause;
    bool kill_at_pause = false;           // then end it there with TerminateProcess
    // A file operation, by its number in the run or as "<kind>:<text>" (file_ops_hook.cpp), that
    // fails once, and one right after which the power goes.
    std::wstring fail_at, cut_at;
    std::function<void(HWND box)> before_answer;
    DWORD timeout_ms = 120000;            // then the program is ended and the run fails
};

struct Run {
    DWORD exit_code = 0;
    Lines transcript;          // the hook's lines, texts with their line feeds
    std::string failure;       // empty when the run could be driven to its end
    Lines ops;                 // its file operations, in order: "<n> <kind> <path>[ | <detail>]"
};

Run run_update(const std::wstring& exe, const Options& options = {});
// Runs a console program; its exit code, and what it wrote in output.
DWORD run_console(const std::wstring& command_line, std::string& output);

// <current folder>\scenarios\<name>, made afresh: the update package (a copy of update.exe and an
// empty GAMEDATA) in ダウンロード\アップデート 1.01, the installed game in ゲーム, and the nine values
// its installer leaves in the registry under HKCU\SOFTWARE\E2Eテスト\<name>. The destructor closes
// the files held, runs the clean-up commands and removes the key.
struct Scenario {
    explicit Scenario(const std::string& name);
    Scenario(const Scenario&) = delete;
    ~Scenario();
    std::wstring root, package, game, reg_name;
    std::map<std::wstring, std::wstring> values;  // the registry values write_registry writes
    std::vector<HANDLE> held;                     // files held open by another program
    std::vector<std::string> clean_up;            // Unix commands
    std::vector<std::wstring> unchecked;          // below root: left out of the rows' comparisons

    std::wstring exe() const { return package + L"\\update.exe"; }
    void update_ini(const Lines& lines) const;  // code page 932, CR LF after every line
    void write_registry() const;                // REG_SZ, the terminating NUL counted
    // Held open for writing as another program would, letting others only read it.
    void hold(const std::wstring& path) { held.push_back(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)); }
};

}  // namespace e2e
