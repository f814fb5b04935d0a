#include "fs/file_ops.h"

#include <windows.h>

#include "fs/paths.h"

bool replace_file(const std::wstring& target, const std::wstring& replacement, const std::wstring& backup)
{
    return ReplaceFileW(long_path(target).c_str(), long_path(replacement).c_str(), long_path(backup).c_str(),
                        REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0;
}

bool move_file(const std::wstring& from, const std::wstring& to, bool replace)
{
    return MoveFileExW(long_path(from).c_str(), long_path(to).c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0) != 0;
}

bool delete_file(const std::wstring& path)
{
    const std::wstring whole = long_path(path);
    const DWORD attributes = GetFileAttributesW(whole.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return attributes == INVALID_FILE_ATTRIBUTES;
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesW(whole.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    return DeleteFileW(whole.c_str()) != 0;
}

void remove_empty_folder(const std::wstring& folder)
{
    RemoveDirectoryW(long_path(folder).c_str());
}

bool free_bytes(const std::wstring& folder, uint64_t& bytes)
{
    ULARGE_INTEGER available = {};
    if (!GetDiskFreeSpaceExW(long_path(folder).c_str(), &available, nullptr, nullptr))
        return false;
    bytes = available.QuadPart;
    return true;
}
