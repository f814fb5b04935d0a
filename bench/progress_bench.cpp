// What one PBM_SETPOS costs on a progress bar hidden and shown: the update sets both bars after
// every block, so this bounds how fast a copy can be under a given Windows.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

static double milliseconds_per_position(HWND bar)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < 1000; ++i)
        SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>((i * 7) % 1000), 0);
    QueryPerformanceCounter(&end);
    return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int main()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    const HWND window = CreateWindowExW(0, L"#32770", L"", WS_POPUP | WS_CAPTION, 0, 0, 400, 120, nullptr, nullptr,
                                        nullptr, nullptr);
    const HWND bar = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 10, 10, 300, 20, window, nullptr,
                                     nullptr, nullptr);
    SendMessageW(bar, PBM_SETRANGE32, 0, 1000);
    const double hidden = milliseconds_per_position(bar);
    ShowWindow(window, SW_SHOW);
    printf("PBM_SETPOS ms: hidden %.3f shown %.3f\n", hidden, milliseconds_per_position(bar));
    return 0;
}
