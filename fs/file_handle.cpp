#include "fs/file_handle.h"

#include <io.h>
#include <share.h>

#include "fs/paths.h"

Cfile_handle::~Cfile_handle()
{
    close_file(*this);
}

bool open_file(Cfile_handle& file, const std::wstring& path, const std::wstring& mode)
{
    close_file(file);
    // Readers let others read too; a writer holds the file for itself alone.
    const bool read_only = mode.find(L'w') == std::wstring::npos && mode.find(L'a') == std::wstring::npos
                           && mode.find(L'+') == std::wstring::npos;
    FILE* stream = _wfsopen(long_path(path).c_str(), mode.c_str(), read_only ? _SH_DENYWR : _SH_DENYRW);
    if (stream == nullptr)
        return false;
    file.stream = stream;

    // Asked of the open file once, not by seeking to its end and back: a seek is several calls.
    const long long size = _filelengthi64(_fileno(stream));
    file.size = size > 0 ? static_cast<uint64_t>(size) : 0;
    return true;
}

bool close_file(Cfile_handle& file)
{
    bool closed_cleanly = true;
    // Flushed first and on its own: some runtimes report a close whose last write failed as a
    // clean one, and a full disk often shows only in that last write.
    if (file.stream != nullptr) {
        const bool flushed = fflush(file.stream) == 0;
        closed_cleanly = fclose(file.stream) == 0 && flushed;
    }
    file.stream = nullptr;
    file.size = 0;
    return closed_cleanly;
}
