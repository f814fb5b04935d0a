#pragma once
// End-to-end driver: runs the real update.exe in a scenario folder (scenario.h) with a hook DLL in
// its thread, answers its boxes as a player would, and returns its exit code and the transcript of
// everything it showed. Add a test program with update_add_e2e_test(name sources...) in
// tests/e2e/CMakeLists.txt; keep many scenarios in one program.
//
// Transcript: one UTF-8 line per event, in the order the program sent the messages. Texts are
// quoted(): in double quotes with \\ \" \n \r \t and \xHH escaped, so a path reads "BGM\\a.ogg".
//   box caption="エラー" icon=warning buttons=OK default=OK text="..."
//       icon: warning | information | question | error | none | other
//       buttons left to right: OK, Cancel, Yes, No, ... joined by ","; default: the Enter button
//   dialog create caption="Dialog" text="..."     the progress dialog (#32770 with bars 1001, 1002)
//   dialog caption="テスト アップデート"            WM_SETTEXT on the dialog
//   dialog show | dialog hide | dialog destroy    WM_SHOWWINDOW, WM_DESTROY
//   dialog close                                  the close box pressed (close_dialog_after_pos)
//   range 1001 0 1000 | pos 1002 400 | text 1003 "BGM\\a.ogg"
//   window class="..." caption="..."              any other top-level window shown
//
// Answers: a box whose only button is OK is answered OK. Every other box takes the next entry of
// Crun_options::answers; a box with none left, or without the button named, fails the run (the
// program is killed). Unused answers are not an error: answers_used tells how many were taken.
// The dialog's close box is pressed from inside the program right after its Nth PBM_SETPOS (both
// bars counted), as WM_SYSCOMMAND SC_CLOSE, so it is handled at the program's next message pump.
//
// Example (the confirmation refused):
//   const e2e::Cscenario_folder folder(L"refused");
//   folder.write_update_ini({L"GAME_NAME = \"テスト\"", L"REG_NAME = \"Test\""});
//   const e2e::Cregistry_key key(L"Test");
//   key.set_text(L"SAV_FOLDER", folder.installed_folder());   // ... and the other eight values
//   e2e::Crun_options options;
//   options.program = folder.exe_path();
//   options.answers = {e2e::Cbutton::no};
//   const e2e::Crun_result run = e2e::run_program(options);
//   ASSERT_TRUE(run.ok()) << run.failure;
//   EXPECT_EQ(run.exit_code, 0u);
//   EXPECT_EQ(run.transcript, (e2e::Ctranscript{
//       e2e::box_line("テスト", "information", "Yes,No", "Yes", "セットアップ先 = ..."),
//       e2e::information_box("テスト", "アップデートを中断しました。")})) << e2e::to_text(run.transcript);
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "event_format.h"

namespace e2e {

using Ctranscript = std::vector<std::string>;

enum class Cbutton { ok = IDOK, cancel = IDCANCEL, yes = IDYES, no = IDNO };

struct Crun_options {
    std::wstring program;                  // full path of the executable to start
    std::wstring arguments;                // after the quoted program path; update.exe takes none
    std::wstring working_folder;           // its current directory; empty: the program's folder
    std::vector<std::wstring> environment; // extra "NAME=value" entries (Wine's loader ignores WINE* ones here)
    std::vector<std::wstring> disabled_dlls; // DLLs the program cannot load in this run, e.g. L"riched32"
    std::vector<Cbutton> answers;          // for boxes other than a lone OK, in order
    int close_dialog_after_pos = 0;        // press the dialog's close box after its Nth PBM_SETPOS; 0: never
    DWORD timeout_ms = 60000;              // then the process is killed and the run fails
    // Optional watchers, for drivers that show a run rather than test it (screenshots, pauses):
    // before_answer sees each box once its buttons can be pressed, just before it is answered;
    // on_poll runs at every poll while the program runs, with its process and main thread.
    std::function<void(HWND box)> before_answer;
    std::function<void(const PROCESS_INFORMATION& process)> on_poll;
};

struct Crun_result {
    bool started = false;
    bool timed_out = false;
    DWORD exit_code = 0;
    Ctranscript transcript;
    std::string failure;   // why the run is not usable; empty when it is
    size_t answers_used = 0;
    bool ok() const { return failure.empty(); }
};

Crun_result run_program(const Crun_options& options);

// Expected lines, built with the same escaping as the hook's.
std::string box_line(const std::string& caption, const std::string& icon, const std::string& buttons,
                     const std::string& default_button, const std::string& text);
std::string warning_box(const std::string& caption, const std::string& text);
std::string information_box(const std::string& caption, const std::string& text);

// Readable dump for failure messages.
std::string to_text(const Ctranscript& transcript);

// Paths of the built programs, given at compile time, as Windows paths.
std::wstring built_update_exe();
std::wstring built_hook_dll();
// A Unix path of the build (as CMake knows it) as Wine's Windows path: "/a/b" -> "Z:\a\b".
std::wstring windows_path_of(const std::string& build_path);

}  // namespace e2e
