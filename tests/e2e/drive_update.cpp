// drive_update: runs the real update.exe once as a player would, answering Yes, for
// scripts/sample.sh. Prints each box and saves a screenshot of it before it is answered, saves one
// of the progress dialog while the program is held at its Nth bar position, and writes the
// transcript of what it showed.
//   drive_update <update.exe> <screenshot folder> <transcript file> <ms each box stays up> <N>
#include "driver.h"
#include "support/unix_command.h"

namespace {

void print(std::wstring text)
{
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    const std::string bytes = e2e::narrow(text += L"\n");
    DWORD mode = 0, written = 0;
    if (!GetConsoleMode(output, &mode) || !WriteConsoleW(output, text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
        WriteFile(output, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring window_text(HWND window)
{
    wchar_t text[2048] = {};
    GetWindowTextW(window, text, 2048);
    return text;
}

// <folder>\<n>-<name>.png of the window, from the X window that Wine keeps in a property.
void screenshot(const std::wstring& folder, HWND window, const std::wstring& name, const std::wstring& what)
{
    static int count = 0;
    const std::wstring path = folder + L"\\" + std::to_wstring(++count) + L"-" + name + L".png";
    const auto x_window = reinterpret_cast<ULONG_PTR>(GetPropW(window, L"__wine_x11_whole_window"));
    run_unix_shell("import -window " + std::to_string(x_window) + " " + e2e::unix_of(path) + " 2>/dev/null");
    print(GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES ? L"  screenshot of the " + what + L": " + path
                                                                       : L"  (no screenshot of the " + what + L")");
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 6)
        return 2;
    const std::wstring shots = argv[2];
    CreateDirectoryW(shots.c_str(), nullptr);
    const DWORD hold = std::max(300, _wtoi(argv[4]));  // at least until the box is painted
    e2e::Options options;
    options.pause_at = _wtoi(argv[5]);
    options.before_answer = [&](HWND box) {
        Sleep(hold);
        const bool question = GetDlgItem(box, IDYES) && IsWindowVisible(GetDlgItem(box, IDYES));
        std::wstring text = window_text(GetDlgItem(box, 0xFFFF));
        const bool success = text == L"アップデートは正常に終了しました。";
        for (size_t at = 0; (at = text.find(L'\n', at)) != std::wstring::npos; at += 5)
            text.replace(at, 1, L"\n    ");
        print((question ? L"[Yes/No box] \"" : L"[box] \"") + window_text(box) + L"\":\n    " + text);
        screenshot(shots, box, question ? L"confirmation" : success ? L"success" : L"box",
                   question ? L"confirmation" : success ? L"success box" : L"box");
    };
    // Held at an overall bar's position, the dialog shows the bars of the block before.
    options.at_pause = [&](const e2e::Lines& so_far) {
        std::wstring caption;
        int shown = 0;
        for (size_t i = 0; i + 1 < so_far.size(); ++i)
            if (so_far[i].rfind(L"pos 1001 ", 0) == 0)
                shown = _wtoi(so_far[i].c_str() + 9);
            else if (so_far[i].rfind(L"dialog caption=", 0) == 0)
                caption = so_far[i].substr(15);
        print(L"[progress dialog] \"" + caption + L"\", overall bar at " + std::to_wstring(shown / 10) + L"." +
              std::to_wstring(shown % 10) + L" %");
        screenshot(shots, FindWindowW(L"#32770", caption.c_str()), L"progress", L"progress dialog");
    };

    const e2e::Run run = e2e::run_update(argv[1], options);
    std::string transcript;
    for (std::wstring line : run.transcript) {
        for (size_t at; (at = line.find(L'\n')) != std::wstring::npos;)
            line.replace(at, 1, L"\\n");
        transcript += e2e::narrow(line) + "\n";
    }
    e2e::write_file(argv[3], transcript);
    print(run.failure.empty() ? L"update.exe ended with exit code " + std::to_wstring(run.exit_code) + L"."
                              : L"drive_update: the run failed: " + e2e::from_utf8(run.failure));
    return run.failure.empty() ? 0 : 1;
}
