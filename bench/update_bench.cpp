// Runs the real update.exe once with the hook in it, answering Yes, and prints how long the whole
// run took, the planning (from the dialog shown to the first file named) and the copy (from there
// to the dialog hidden), and the closing box. Usage: update_bench <update.exe>
#include <cstdio>

#include "driver.h"

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
    printf("%s\n", run.failure.empty() ? e2e::utf8(run.transcript.back()).c_str() : run.failure.c_str());
    return run.failure.empty() ? 0 : 1;
}
