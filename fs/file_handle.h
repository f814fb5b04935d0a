#pragma once
// The file handle: a runtime stream opened by its wide path, with the byte size measured when it
// was opened, closed on every way out.
#include <cstdint>
#include <cstdio>
#include <string>

// An open runtime stream together with the byte size measured when it was opened.
class Cfile_handle {
public:
    Cfile_handle() = default;
    ~Cfile_handle();
    Cfile_handle(const Cfile_handle&) = delete;
    Cfile_handle& operator=(const Cfile_handle&) = delete;

    FILE* stream = nullptr;
    uint64_t size = 0;
};

// Modes "rt", "rb" (shared for reading) and "wb" (not shared at all), as the runtime takes them.
bool open_file(Cfile_handle& file, const std::wstring& path, const std::wstring& mode);
// Returns false when the stream could not be closed cleanly: for a file opened for writing that
// means data may not have reached the disk.
bool close_file(Cfile_handle& file);
