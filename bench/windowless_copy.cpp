// The copy without a window, for the benchmark to measure update.exe's copy phase against: the
// files directly inside each folder of <from> go to the same folder below <to>, through the
// runtime's streams in 1,000,000-byte blocks, as update.exe copies them. Prints the milliseconds.
// Usage: windowless_copy <from> <to>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<WIN32_FIND_DATAW> entries(const std::wstring& folder)
{
    std::vector<WIN32_FIND_DATAW> found;
    WIN32_FIND_DATAW data;
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &data);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &data))
        if (wcscmp(data.cFileName, L".") != 0 && wcscmp(data.cFileName, L"..") != 0)
            found.push_back(data);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    return found;
}

bool copy(const std::wstring& from, const std::wstring& to, std::vector<char>& buffer)
{
    FILE* source = _wfopen(from.c_str(), L"rb");
    FILE* destination = _wfopen(to.c_str(), L"wb");
    bool ok = source != nullptr && destination != nullptr;
    for (size_t count; ok && (count = fread(buffer.data(), 1, buffer.size(), source)) > 0;)
        ok = fwrite(buffer.data(), 1, count, destination) == count;
    if (source != nullptr)
        fclose(source);
    return destination != nullptr && fclose(destination) == 0 && ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        fwprintf(stderr, L"usage: windowless_copy <from> <to>\n");
        return 2;
    }
    std::vector<char> buffer(1000000);
    const ULONGLONG start = GetTickCount64();
    for (const WIN32_FIND_DATAW& folder : entries(argv[1])) {
        const std::wstring from = std::wstring(argv[1]) + L"\\" + folder.cFileName;
        const std::wstring to = std::wstring(argv[2]) + L"\\" + folder.cFileName;
        CreateDirectoryW(to.c_str(), nullptr);
        for (const WIN32_FIND_DATAW& file : entries(from))
            if (!(file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !copy(from + L"\\" + file.cFileName, to + L"\\" + file.cFileName, buffer))
                return 1;
    }
    printf("%llu\n", static_cast<unsigned long long>(GetTickCount64() - start));
    return 0;
}
