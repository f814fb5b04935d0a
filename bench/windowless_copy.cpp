// The copy without a window, for the benchmark to measure update.exe's copy phase against: the
// files directly inside each folder of <from> go to the same folder below <to>, through the
// runtime's streams in 1,000,000-byte blocks, as update.exe copies them; with --flush each file is
// put on the disk before it is closed, as update.exe does before putting it in place. With --staged
// as well, each file is first written under a numbered name in <to>\~staging\<n / 100>, flushed, and
// only when all are written is each moved onto its own name (replacing what is there): the least a
// staged copy that promises every file on the disk before the first is in place can do.
// Prints the milliseconds. Usage: windowless_copy <from> <to> [--flush | --staged]
#include <windows.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <utility>
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
    const bool staged = argc == 4 && wcscmp(argv[3], L"--staged") == 0;
    const bool flush = staged || (argc == 4 && wcscmp(argv[3], L"--flush") == 0);
    if (argc != 3 && !flush) {
        fwprintf(stderr, L"usage: windowless_copy <from> <to> [--flush | --staged]\n");
        return 2;
    }
    std::vector<char> buffer(1000000);
    const std::wstring staging = std::wstring(argv[2]) + L"\\~staging";
    std::vector<std::pair<std::wstring, std::wstring>> moves;  // staging file, its own name
    const ULONGLONG start = GetTickCount64();
    if (staged)
        CreateDirectoryW(staging.c_str(), nullptr);
    for (const Cfile_entry& folder : walk_folder(argv[1])) {
        const std::wstring from = std::wstring(argv[1]) + L"\\" + folder.path;
        const std::wstring to = std::wstring(argv[2]) + L"\\" + folder.path;
        CreateDirectoryW(to.c_str(), nullptr);
        for (const Cfile_entry& file : walk_folder(from)) {
            if (file.is_folder)
                continue;
            std::wstring target = to + L"\\" + file.path;
            if (staged) {
                const size_t number = moves.size();
                const std::wstring subfolder = staging + L"\\" + std::to_wstring(number / 100);
                if (number % 100 == 0)
                    CreateDirectoryW(subfolder.c_str(), nullptr);
                moves.emplace_back(subfolder + L"\\" + std::to_wstring(number) + L".new", target);
                target = moves.back().first;
            }
            if (!copy(from + L"\\" + file.path, target, buffer, flush))
                return 1;
        }
    }
    for (const auto& move : moves)
        if (!MoveFileExW(move.first.c_str(), move.second.c_str(), MOVEFILE_REPLACE_EXISTING))
            return 1;
    printf("%llu\n", static_cast<unsigned long long>(GetTickCount64() - start));
    return 0;
}
