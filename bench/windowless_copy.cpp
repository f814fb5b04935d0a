// The copy without a window, for the benchmark to measure update.exe's copy phase against: the
// files directly inside each folder of <from> go to the same folder below <to>, through the
// runtime's streams in 1,000,000-byte blocks, as update.exe copies them; with --flush each file is
// put on the disk before it is closed, as update.exe does before putting it in place. Prints the
// milliseconds. Usage: windowless_copy <from> <to> [--flush]
#include <windows.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

#include "fs/folder_walk.h"

namespace {

bool copy(const std::wstring& from, const std::wstring& to, std::vector<char>& buffer, bool flush)
{
    FILE* source = _wfopen(from.c_str(), L"rb");
    FILE* destination = _wfopen(to.c_str(), L"wb");
    bool ok = source != nullptr && destination != nullptr;
    for (size_t count; ok && (count = fread(buffer.data(), 1, buffer.size(), source)) > 0;)
        ok = fwrite(buffer.data(), 1, count, destination) == count;
    if (source != nullptr)
        fclose(source);
    if (ok && flush)
        ok = fflush(destination) == 0 &&
             FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(destination)))) != 0;
    return destination != nullptr && fclose(destination) == 0 && ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const bool flush = argc == 4 && wcscmp(argv[3], L"--flush") == 0;
    if (argc != 3 && !flush) {
        fwprintf(stderr, L"usage: windowless_copy <from> <to> [--flush]\n");
        return 2;
    }
    std::vector<char> buffer(1000000);
    const ULONGLONG start = GetTickCount64();
    for (const Cfile_entry& folder : walk_folder(argv[1])) {
        const std::wstring from = std::wstring(argv[1]) + L"\\" + folder.path;
        const std::wstring to = std::wstring(argv[2]) + L"\\" + folder.path;
        CreateDirectoryW(to.c_str(), nullptr);
        for (const Cfile_entry& file : walk_folder(from))
            if (!file.is_folder && !copy(from + L"\\" + file.path, to + L"\\" + file.path, buffer, flush))
                return 1;
    }
    printf("%llu\n", static_cast<unsigned long long>(GetTickCount64() - start));
    return 0;
}
