// Runs the real update.exe once with the hook in it, answering Yes, and prints how long the whole
// run took, the planning (from the dialog shown to the first file named) and the copy (from there
// to the dialog hidden); what one PBM_SETPOS costs on a bar hidden and shown (the update sets both
// bars after every block, which bounds how fast a copy can be under this Windows); and the closing
// box. Usage: update_bench <update.exe>
#include "driver.h"

#include <commctrl.h>

#include <cstdio>

static double milliseconds_per_position(HWND bar)
{
    const ULONGLONG start = GetTickCount64();
    for (int i = 0; i < 10000; ++i)
        SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>((i * 7) % 1000), 0);
    return static_cast<double>(GetTickCount64() - start) / 10000;
}

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    e2e::Options options;
    options.timeout_ms = 30 * 60 * 1000;
    const ULONGLONG start = GetTickCount64();
    const e2e::Run run = e2e::run_update(argv[1], options);
    const ULONGLONG end = GetTickCount64();
    const auto tick = [&](const std::wstring& event) -> long long {
        for (size_t i = 0; i < run.transcript.size(); ++i)
            if (run.transcript[i].rfind(event, 0) == 0)
                return run.ticks[i];
        return 0;
    };
    printf("run_ms %llu plan_ms %lld copy_ms %lld\n", end - start, tick(L"text 1003") - tick(L"dialog show"),
           tick(L"dialog hide") - tick(L"text 1003"));

    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    const HWND window = CreateWindowExW(0, L"#32770", L"", WS_POPUP | WS_CAPTION, 0, 0, 400, 120, nullptr, nullptr,
                                        nullptr, nullptr);
    const HWND bar = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 10, 10, 300, 20, window, nullptr,
                                     nullptr, nullptr);
    SendMessageW(bar, PBM_SETRANGE32, 0, 1000);
    const double hidden = milliseconds_per_position(bar);
    ShowWindow(window, SW_SHOW);
    printf("PBM_SETPOS ms: hidden %.4f shown %.4f\n", hidden, milliseconds_per_position(bar));
    printf("%s\n", run.failure.empty() ? e2e::narrow(run.transcript.back()).c_str() : run.failure.c_str());
    return run.failure.empty() ? 0 : 1;
}
