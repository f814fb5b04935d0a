#include "update_check/package_exe.h"

#include <windows.h>

#include <vector>

#include "fs/paths.h"
#include "fs/text.h"

namespace {

// The four numbers of the fixed part of the version resource, as the file VERSION writes them.
std::wstring file_version(const std::wstring& path)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    std::vector<BYTE> data(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, data.data()) ||
        !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || length < sizeof *fixed)
        return std::wstring();
    return format_text(L"%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                       HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
}

}  // namespace

Cpackage_exe inspect_package_exe()
{
    Cpackage_exe exe;
    const std::wstring path = full_path(L"update.exe");
    exe.present = file_exists(path);
    if (!exe.present)
        return exe;
    exe.signature = read_exe_signature(path);
    exe.version = file_version(path);
    return exe;
}
