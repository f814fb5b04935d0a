// Runs the real update.exe once through the end-to-end harness, answering Yes, and prints how long
// the whole run and the copy itself took, and the closing box.
// Usage: update_bench <update.exe>
#include <windows.h>

#include <cstdio>
#include <string>

#include "harness.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        fwprintf(stderr, L"usage: update_bench <update.exe>\n");
        return 2;
    }
    e2e::Crun_options options;
    options.program = argv[1];
    options.answers = {e2e::Cbutton::yes};
    options.timeout_ms = 30 * 60 * 1000;

    const ULONGLONG start = GetTickCount64();
    const e2e::Crun_result run = e2e::run_program(options);
    const ULONGLONG end = GetTickCount64();

    if (!run.ok()) {
        printf("failed: %s\n", run.failure.c_str());
        return 1;
    }
    printf("run_ms %llu\n", end - start);
    printf("%s\n", run.transcript.empty() ? "(nothing shown)" : run.transcript.back().c_str());
    return 0;
}
