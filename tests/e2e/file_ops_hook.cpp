// The program's own file operations, seen from inside update.exe from before its first instruction:
// the driver has this DLL loaded while the program is still suspended, and it points the program's
// imports at the functions below. Every open and every operation that changes the disk is one
// numbered line in the log, in the order the program asked for it:
//   op <n> <kind> <path>[ | <detail>]
// kinds: open (for reading), create (for writing), write (a runtime write), append (WriteFile, the
// journal's: the detail is its last line), buffer (the runtime's buffer handed to Windows), flush,
// close, move, delete, replace and place (ReplaceFileW is two steps: the target to its backup's name,
// then the replacement to the target's), folder, unfolder, attributes, access.
// UPDATE_E2E_FAIL_AT=<n> or <kind>:<text>: that operation (the first of the kind whose line holds the
// text) fails once, with the error Windows gives there: a sharing violation for an open, a move or a
// delete, a full disk for a write or a flush (the buffered bytes lost), access denied for a folder.
// UPDATE_E2E_CUT_AT=<n> or <kind>:<text>: right after it the power goes: <log>.cut lists each file
// written since its last flush, with the length its last flush left ("<length>\t<path>"; the
// program writes its files front to back, so that is what a power cut leaves of it), and the program
// ends with exit code 9. Renames, deletes and folders stay as made.
#include <windows.h>
#include <aclapi.h>
#include <io.h>

#include <cerrno>
#include <cstdio>
#include <map>
#include <set>
#include <string>

#include "file_ops_hook.h"
#include "support/import_redirect.h"

namespace {

std::wstring fail_at, cut_at;
int operations = 0;
bool failed = false, cut_pending = false;

struct Cwritten {
    LONGLONG flushed = 0;  // the length at the last flush
    bool dirty = false;    // written since
};
std::map<std::wstring, Cwritten> written;  // by key_of
std::set<HANDLE> writing_handles;
std::set<FILE*> writing_streams;

std::wstring plain(std::wstring path)
{
    return path.compare(0, 4, L"\\\\?\\") == 0 ? path.substr(4) : path;
}

std::wstring key_of(const std::wstring& path)
{
    std::wstring key = plain(path);
    CharUpperBuffW(&key[0], static_cast<DWORD>(key.size()));
    return key;
}

std::wstring path_of(HANDLE file)
{
    wchar_t path[2048] = {};
    GetFinalPathNameByHandleW(file, path, 2048, FILE_NAME_NORMALIZED);
    return plain(path);
}

HANDLE handle_of(FILE* stream)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
}

bool matches(const std::wstring& at, const std::wstring& line)
{
    if (at.empty())
        return false;
    if (at.find_first_not_of(L"0123456789") == std::wstring::npos)
        return _wtoi(at.c_str()) == operations;
    const std::wstring kind = at.substr(0, at.find(L':')), text = at.substr(at.find(L':') + 1);
    return line.compare(0, kind.size() + 1, kind + L" ") == 0 && line.find(text) != std::wstring::npos;
}

// Counts and logs one operation; true when it is the one to fail.
bool begin(const wchar_t* kind, const std::wstring& path, const std::wstring& detail = L"")
{
    const std::wstring line = kind + (L" " + plain(path)) + (detail.empty() ? L"" : L" | " + detail);
    ++operations;
    log_line(L"op " + std::to_wstring(operations) + L" " + line);
    cut_pending = matches(cut_at, line);
    const bool fail = !failed && matches(fail_at, line);
    failed = failed || fail;
    return fail;
}

void cut()
{
    std::string lines;
    for (const auto& [path, file] : written)
        if (file.dirty) {
            char utf8[4096] = {};
            WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, utf8, sizeof utf8, nullptr, nullptr);
            lines += std::to_string(file.flushed) + "\t" + utf8 + "\n";
        }
    const HANDLE list = CreateFileW((log_path() + L".cut").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD count = 0;
    WriteFile(list, lines.data(), static_cast<DWORD>(lines.size()), &count, nullptr);
    CloseHandle(list);
    TerminateProcess(GetCurrentProcess(), 9);
}

// Done with the operation: the power goes now if it is the one.
template <typename Result>
Result end(Result result)
{
    if (cut_pending)
        cut();
    return result;
}

void renamed(const std::wstring& from, const std::wstring& to)
{
    const auto file = written.find(key_of(from));
    if (file == written.end()) {
        written.erase(key_of(to));  // what lay at the target's name is gone; what comes there was flushed
        return;
    }
    const Cwritten state = file->second;
    written.erase(file);
    written[key_of(to)] = state;
}

void dirty(const std::wstring& path)
{
    written[key_of(path)].dirty = true;
}

decltype(&_wfsopen) real_open;
decltype(&fwrite) real_fwrite;
decltype(&fflush) real_fflush;
decltype(&fclose) real_fclose;
decltype(&CreateFileW) real_create;
decltype(&WriteFile) real_write_file;
decltype(&FlushFileBuffers) real_flush;
decltype(&CloseHandle) real_close;
decltype(&MoveFileExW) real_move;
decltype(&ReplaceFileW) real_replace;
decltype(&DeleteFileW) real_delete;
decltype(&CreateDirectoryW) real_make_folder;
decltype(&RemoveDirectoryW) real_remove_folder;
decltype(&SetFileAttributesW) real_set_attributes;
decltype(&SetNamedSecurityInfoW) real_set_security;

// One operation that fails as Windows fails it: nothing done, the error given (to errno too, for
// the runtime's calls), and what the call returns on failure.
template <typename Result, typename Call>
Result operation(const wchar_t* kind, const std::wstring& path, DWORD error, Result failed, Call call,
                 const std::wstring& detail = L"")
{
    if (begin(kind, path, detail)) {
        SetLastError(error);
        errno = error == ERROR_DISK_FULL ? ENOSPC : EACCES;
        return failed;
    }
    return end(call());
}

FILE* __cdecl open(const wchar_t* path, const wchar_t* mode, int share)
{
    const bool writes = wcspbrk(mode, L"wa+") != nullptr;
    return operation(writes ? L"create" : L"open", path, ERROR_SHARING_VIOLATION, static_cast<FILE*>(nullptr), [=] {
        FILE* stream = real_open(path, mode, share);
        if (stream != nullptr && writes)
            writing_streams.insert(stream);
        return stream;
    });
}

size_t __cdecl write(const void* bytes, size_t size, size_t count, FILE* stream)
{
    if (writing_streams.count(stream) == 0)
        return real_fwrite(bytes, size, count, stream);
    const std::wstring path = path_of(handle_of(stream));
    return operation(L"write", path, ERROR_DISK_FULL, size_t(0), [=] {
        dirty(path);
        return real_fwrite(bytes, size, count, stream);
    });
}

int __cdecl hand_over(FILE* stream)
{
    if (stream == nullptr || writing_streams.count(stream) == 0)
        return real_fflush(stream);
    const HANDLE file = handle_of(stream);
    if (begin(L"buffer", path_of(file))) {
        // What a full disk does: the buffered bytes are gone, and the stream says so.
        LARGE_INTEGER size = {};
        GetFileSizeEx(file, &size);
        real_fflush(stream);
        SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
        SetEndOfFile(file);
        errno = ENOSPC;
        return EOF;
    }
    return end(real_fflush(stream));
}

int __cdecl close_stream(FILE* stream)
{
    if (writing_streams.erase(stream) == 0)
        return real_fclose(stream);
    const bool fail = begin(L"close", path_of(handle_of(stream)));
    const int closed = real_fclose(stream);
    return end(fail ? EOF : closed);
}

HANDLE WINAPI create(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                     DWORD flags, HANDLE model)
{
    const auto open = [=] { return real_create(path, access, share, security, disposition, flags, model); };
    if ((access & (GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA | FILE_APPEND_DATA)) == 0)
        return open();
    return operation(L"create", path, ERROR_SHARING_VIOLATION, INVALID_HANDLE_VALUE, [=] {
        const HANDLE file = open();
        if (file != INVALID_HANDLE_VALUE)
            writing_handles.insert(file);
        return file;
    });
}

BOOL WINAPI append(HANDLE file, LPCVOID bytes, DWORD count, LPDWORD done, LPOVERLAPPED overlapped)
{
    if (writing_handles.count(file) == 0)
        return real_write_file(file, bytes, count, done, overlapped);
    std::string text(static_cast<const char*>(bytes), count);
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    text = text.substr(text.rfind('\n') + 1);
    std::wstring last(text.size(), L'\0');
    last.resize(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &last[0],
                                    static_cast<int>(last.size())));
    const std::wstring path = path_of(file);
    if (done != nullptr)
        *done = 0;
    return operation(L"append", path, ERROR_DISK_FULL, FALSE, [=] {
        dirty(path);
        return real_write_file(file, bytes, count, done, overlapped);
    }, last);
}

BOOL WINAPI close_handle(HANDLE file)
{
    if (writing_handles.erase(file) == 0)
        return real_close(file);
    const bool fail = begin(L"close", path_of(file));
    const BOOL closed = real_close(file);
    return end(fail ? FALSE : closed);
}

BOOL WINAPI move(LPCWSTR from, LPCWSTR to, DWORD flags)
{
    return operation(L"move", from, ERROR_SHARING_VIOLATION, FALSE, [=] {
        const BOOL moved = real_move(from, to, flags);
        if (moved)
            renamed(from, to);
        return moved;
    }, plain(to));
}

// As Windows does it: the target to its backup's name, then the replacement to the target's; a
// failure of the second step leaves the target under its backup's name.
BOOL WINAPI replace(LPCWSTR target, LPCWSTR replacement, LPCWSTR backup, DWORD flags, LPVOID exclude, LPVOID reserved)
{
    const auto to_backup = [=] {
        const BOOL moved = real_move(target, backup, MOVEFILE_REPLACE_EXISTING);
        if (moved)
            renamed(target, backup);
        return moved;
    };
    if (begin(L"replace", target, plain(backup))) {
        SetLastError(ERROR_UNABLE_TO_REMOVE_REPLACED);
        return FALSE;
    }
    if (cut_pending)
        end(to_backup());
    if (begin(L"place", replacement, plain(target))) {
        to_backup();
        SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT);
        return FALSE;
    }
    const BOOL replaced = real_replace(target, replacement, backup, flags, exclude, reserved);
    if (replaced) {
        renamed(target, backup);
        renamed(replacement, target);
    }
    return end(replaced);
}

BOOL WINAPI remove(LPCWSTR path)
{
    return operation(L"delete", path, ERROR_SHARING_VIOLATION, FALSE, [=] {
        const BOOL removed = real_delete(path);
        if (removed)
            written.erase(key_of(path));
        return removed;
    });
}

BOOL WINAPI make_folder(LPCWSTR path, LPSECURITY_ATTRIBUTES security)
{
    return operation(L"folder", path, ERROR_ACCESS_DENIED, FALSE, [=] { return real_make_folder(path, security); });
}

BOOL WINAPI remove_folder(LPCWSTR path)
{
    return operation(L"unfolder", path, ERROR_SHARING_VIOLATION, FALSE, [=] { return real_remove_folder(path); });
}

BOOL WINAPI set_attributes(LPCWSTR path, DWORD attributes)
{
    return operation(L"attributes", path, ERROR_ACCESS_DENIED, FALSE, [=] { return real_set_attributes(path, attributes); });
}

DWORD WINAPI set_security(LPWSTR path, SE_OBJECT_TYPE type, SECURITY_INFORMATION what, PSID owner, PSID group, PACL dacl,
                          PACL sacl)
{
    return begin(L"access", path) ? ERROR_ACCESS_DENIED : end(real_set_security(path, type, what, owner, group, dacl, sacl));
}

BOOL WINAPI flush(HANDLE file)
{
    const std::wstring path = path_of(file);
    return operation(L"flush", path, ERROR_DISK_FULL, FALSE, [=] {
        const BOOL flushed = real_flush(file);
        LARGE_INTEGER size = {};
        if (flushed && GetFileSizeEx(file, &size))
            written[key_of(path)] = Cwritten{size.QuadPart, false};
        return flushed;
    });
}

std::wstring variable(const wchar_t* name)
{
    wchar_t value[1024] = {};
    return GetEnvironmentVariableW(name, value, 1024) < 1024 ? value : L"";
}

}  // namespace

void follow_file_operations()
{
    fail_at = variable(L"UPDATE_E2E_FAIL_AT");
    cut_at = variable(L"UPDATE_E2E_CUT_AT");
    redirect("_wfsopen", &open, real_open);
    redirect("fwrite", &write, real_fwrite);
    redirect("fflush", &hand_over, real_fflush);
    redirect("fclose", &close_stream, real_fclose);
    redirect("CreateFileW", &create, real_create);
    redirect("WriteFile", &append, real_write_file);
    redirect("FlushFileBuffers", &flush, real_flush);
    redirect("CloseHandle", &close_handle, real_close);
    redirect("MoveFileExW", &move, real_move);
    redirect("ReplaceFileW", &replace, real_replace);
    redirect("DeleteFileW", &remove, real_delete);
    redirect("CreateDirectoryW", &make_folder, real_make_folder);
    redirect("RemoveDirectoryW", &remove_folder, real_remove_folder);
    redirect("SetFileAttributesW", &set_attributes, real_set_attributes);
    redirect("SetNamedSecurityInfoW", &set_security, real_set_security);
}
