// Times the planning step of an update: listing one folder the way the update run lists it.
// Usage: plan_bench <folder> [repetitions]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <vector>

#include "fs/file_list.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        fwprintf(stderr, L"usage: plan_bench <folder> [repetitions]\n");
        return 2;
    }
    const int repetitions = argc > 2 ? _wtoi(argv[2]) : 5;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);

    std::vector<double> milliseconds;
    size_t files = 0;
    unsigned long long bytes = 0;
    for (int i = 0; i < repetitions; ++i) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        Cfile_list listing;
        listing.list(argv[1], L"*", L"*");
        QueryPerformanceCounter(&end);
        milliseconds.push_back(1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                               static_cast<double>(frequency.QuadPart));
        files = listing.entries.size();
        bytes = listing.total_size;
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    printf("files %zu bytes %llu plan_ms_median %.1f plan_ms_best %.1f\n", files, bytes,
           milliseconds[milliseconds.size() / 2], milliseconds.front());
    return 0;
}
