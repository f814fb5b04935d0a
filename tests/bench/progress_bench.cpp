// What one PBM_SETPOS costs on a progress bar that is shown and one that is hidden: the update
// sets both bars after every block, so this bounds how fast a copy can be under a given Windows.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

namespace {

double milliseconds_per_position(HWND bar, int count)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < count; ++i)
        SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>((i * 7) % 1000), 0);
    QueryPerformanceCounter(&end);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart) /
           count;
}

}  // namespace

int main()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    HWND window = CreateWindowExW(0, L"#32770", L"", WS_POPUP | WS_CAPTION, 0, 0, 400, 120, nullptr, nullptr,
                                  nullptr, nullptr);
    HWND bar = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 300, 20, window,
                               nullptr, nullptr, nullptr);
    SendMessageW(bar, PBM_SETRANGE32, 0, 1000);
    const double hidden = milliseconds_per_position(bar, 1000);
    ShowWindow(window, SW_SHOW);
    const double shown = milliseconds_per_position(bar, 1000);
    printf("PBM_SETPOS ms: hidden %.3f shown %.3f\n", hidden, shown);
    DestroyWindow(window);
    return 0;
}
