#include "fs/file_ops.h"

#include <windows.h>
#include <aclapi.h>
#include <io.h>
#include <sddl.h>

#include "fs/folder_walk.h"
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

bool remove_empty_folder(const std::wstring& folder)
{
    if (RemoveDirectoryW(long_path(folder).c_str()))
        return true;
    const DWORD error = GetLastError();
    return error == ERROR_DIR_NOT_EMPTY || error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

void remove_tree(const std::wstring& folder)
{
    const std::vector<Cfile_entry> entries = walk_folder(folder, true);
    // From the last entry back, so that each folder is empty by the time its turn comes.
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        const std::wstring path = long_path(join_path(folder, entry->path));
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (entry->is_folder)
            RemoveDirectoryW(path.c_str());
        else
            DeleteFileW(path.c_str());
    }
    remove_empty_folder(folder);
}

bool free_bytes(const std::wstring& folder, uint64_t& bytes)
{
    ULARGE_INTEGER available = {};
    if (!GetDiskFreeSpaceExW(long_path(folder).c_str(), &available, nullptr, nullptr))
        return false;
    bytes = available.QuadPart;
    return true;
}

bool flush_to_disk(FILE* stream)
{
    if (fflush(stream) != 0)
        return false;
    const intptr_t handle = _get_osfhandle(_fileno(stream));
    return handle != -1 && FlushFileBuffers(reinterpret_cast<HANDLE>(handle)) != 0;
}

bool make_new_folder(const std::wstring& folder)
{
    return CreateDirectoryW(long_path(folder).c_str(), nullptr) != 0;
}

namespace {

// The SID of the user this process runs as, in its text form; empty when it cannot be told.
std::wstring user_sid()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return std::wstring();
    std::vector<unsigned char> buffer(256);
    DWORD size = 0;
    if (!GetTokenInformation(token, TokenUser, buffer.data(), static_cast<DWORD>(buffer.size()), &size) &&
        GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        buffer.resize(size);
        GetTokenInformation(token, TokenUser, buffer.data(), size, &size);
    }
    CloseHandle(token);
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text))
        return std::wstring();
    const std::wstring sid = text;
    LocalFree(text);
    return sid;
}

}  // namespace

bool make_private_folder(const std::wstring& folder)
{
    const std::wstring sid = user_sid();
    if (sid.empty())
        return false;
    // P: not inherited from above; OICI: passed on to every file and folder made inside.
    const std::wstring sddl = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;" + sid + L")";
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), nullptr, FALSE};
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                              &attributes.lpSecurityDescriptor, nullptr))
        return false;
    const bool made = CreateDirectoryW(long_path(folder).c_str(), &attributes) != 0;
    LocalFree(attributes.lpSecurityDescriptor);
    return made;
}

bool inherit_access(const std::wstring& path)
{
    // An empty list, unprotected: only what the folder above passes on is left.
    ACL empty = {};
    if (!InitializeAcl(&empty, sizeof(empty), ACL_REVISION))
        return false;
    std::wstring whole = long_path(path);
    return SetNamedSecurityInfoW(&whole[0], SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION,
                                 nullptr, nullptr, &empty, nullptr) == ERROR_SUCCESS;
}

uint64_t cluster_bytes(const std::wstring& folder)
{
    std::wstring root(MAX_PATH + 1, L'\0');
    DWORD sectors = 0, bytes = 0, free_clusters = 0, clusters = 0;
    if (!GetVolumePathNameW(long_path(folder).c_str(), &root[0], MAX_PATH + 1) ||
        !GetDiskFreeSpaceW(root.c_str(), &sectors, &bytes, &free_clusters, &clusters))
        return 0;
    return static_cast<uint64_t>(sectors) * bytes;
}

bool Cappend_file::create(const std::wstring& path)
{
    close();
    const HANDLE file = CreateFileW(long_path(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    handle_ = file == INVALID_HANDLE_VALUE ? nullptr : file;
    return handle_ != nullptr;
}

bool Cappend_file::append(const std::string& bytes)
{
    DWORD written = 0;
    return handle_ != nullptr &&
           WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0 &&
           written == bytes.size();
}

bool Cappend_file::flush()
{
    return handle_ != nullptr && FlushFileBuffers(handle_) != 0;
}

void Cappend_file::close()
{
    if (handle_ != nullptr)
        CloseHandle(handle_);
    handle_ = nullptr;
}
