#include "scenario.h"

#include <algorithm>
#include <stdexcept>

#include "event_format.h"
#include "harness.h"

namespace e2e {

namespace {

const UINT JAPANESE_CODE_PAGE = 932;

[[noreturn]] void fail(const std::string& what, const std::wstring& path)
{
    throw std::runtime_error(what + ": " + to_utf8(path) + " (error " + std::to_string(GetLastError()) + ")");
}

std::wstring parent_of(const std::wstring& path)
{
    const size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

template <typename Visit>
void for_each_entry(const std::wstring& folder, Visit visit)
{
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            visit(name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// Size and FNV-1a hash of a file, read in pieces: updates hold files over 4 GiB, more than a
// 32-bit test program can hold at once.
Cfile_state state_of_file(const std::wstring& path)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        fail("cannot read", path);
    Cfile_state state;
    state.hash = 14695981039346656037ull;
    static char buffer[1 << 20];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        state.size += read;
        for (DWORD i = 0; i < read; ++i) {
            state.hash ^= static_cast<unsigned char>(buffer[i]);
            state.hash *= 1099511628211ull;
        }
    }
    CloseHandle(file);
    return state;
}

void snapshot_into(const std::wstring& folder, const std::wstring& prefix, Ctree_snapshot& snapshot)
{
    for_each_entry(folder, [&](const std::wstring& name, bool is_folder) {
        const std::wstring relative = prefix + name;
        const std::wstring path = folder + L"\\" + name;
        if (is_folder) {
            snapshot[relative] = Cfile_state{0, 0, true};
            snapshot_into(path, relative + L"\\", snapshot);
        } else {
            snapshot[relative] = state_of_file(path);
        }
    });
}

std::string describe(const Cfile_state& state)
{
    return state.folder ? "folder" : std::to_string(state.size) + " bytes #" + std::to_string(state.hash);
}

}  // namespace

std::wstring current_folder()
{
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(size, L'\0');
    folder.resize(GetCurrentDirectoryW(size, &folder[0]));
    return folder;
}

Cscenario_folder::Cscenario_folder(const std::wstring& name, const std::wstring& subfolder)
    : root_(current_folder() + L"\\scenarios\\" + name),
      folder_(subfolder.empty() ? root_ : root_ + L"\\" + subfolder)
{
    remove_tree(root_);
    make_folders(folder_);
    if (!CopyFileW(built_update_exe().c_str(), exe_path().c_str(), FALSE))
        fail("cannot copy update.exe", exe_path());
}

void Cscenario_folder::write_update_ini(const std::vector<std::wstring>& lines) const
{
    write_file(path(L"update.ini"), cp932_lines(lines));
}

void Cscenario_folder::write_game_data(const std::wstring& relative, const std::string& bytes) const
{
    write_file(path(L"GAMEDATA\\" + relative), bytes);
}

void Cscenario_folder::write_installed(const std::wstring& relative, const std::string& bytes) const
{
    write_file(installed_path(relative), bytes);
}

std::string cp932(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(JAPANESE_CODE_PAGE, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(JAPANESE_CODE_PAGE, 0, text.data(), static_cast<int>(text.size()), &bytes[0], size, nullptr,
                        nullptr);
    return bytes;
}

std::string cp932_lines(const std::vector<std::wstring>& lines)
{
    std::string bytes;
    for (const std::wstring& line : lines)
        bytes += cp932(line) + "\r\n";
    return bytes;
}

std::string pattern_bytes(uint64_t size, unsigned seed)
{
    std::string bytes(static_cast<size_t>(size), '\0');
    uint32_t value = 2166136261u ^ seed;
    for (char& c : bytes) {
        value = value * 1103515245u + 12345u;
        c = static_cast<char>(value >> 24);
    }
    return bytes;
}

void make_folders(const std::wstring& folder)
{
    if (folder.empty() || GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES)
        return;
    make_folders(parent_of(folder));
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        fail("cannot create folder", folder);
}

void write_file(const std::wstring& path, const std::string& bytes)
{
    make_folders(parent_of(path));
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        fail("cannot write", path);
    size_t offset = 0;
    while (offset < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - offset, 1u << 24));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + offset, chunk, &written, nullptr) || written == 0) {
            CloseHandle(file);
            fail("cannot write", path);
        }
        offset += written;
    }
    CloseHandle(file);
}

std::string read_file(const std::wstring& path)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        fail("cannot read", path);
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

void remove_tree(const std::wstring& folder)
{
    if (GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES)
        return;
    for_each_entry(folder, [&](const std::wstring& name, bool is_folder) {
        const std::wstring path = folder + L"\\" + name;
        if (is_folder) {
            remove_tree(path);
        } else {
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (!DeleteFileW(path.c_str()))
                fail("cannot delete", path);
        }
    });
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!RemoveDirectoryW(folder.c_str()))
        fail("cannot remove folder", folder);
}

Cregistry_key::Cregistry_key(const std::wstring& name) : subkey_(L"SOFTWARE\\" + name)
{
    remove();
    if (RegCreateKeyExW(HKEY_CURRENT_USER, subkey_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr) !=
        ERROR_SUCCESS)
        fail("cannot create registry key", subkey_);
}

Cregistry_key::~Cregistry_key()
{
    if (key_)
        RegCloseKey(key_);
    remove();
}

void Cregistry_key::set_text(const std::wstring& value_name, const std::wstring& text) const
{
    const DWORD size = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    if (RegSetValueExW(key_, value_name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), size) !=
        ERROR_SUCCESS)
        fail("cannot set registry value", value_name);
}

void Cregistry_key::set_raw(const std::wstring& value_name, DWORD type, const std::string& bytes) const
{
    if (RegSetValueExW(key_, value_name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size())) != ERROR_SUCCESS)
        fail("cannot set registry value", value_name);
}

void Cregistry_key::remove_value(const std::wstring& value_name) const
{
    RegDeleteValueW(key_, value_name.c_str());
}

void Cregistry_key::remove() const
{
    RegDeleteTreeW(HKEY_CURRENT_USER, subkey_.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, subkey_.c_str());
}

Ctree_snapshot snapshot_tree(const std::wstring& folder)
{
    Ctree_snapshot snapshot;
    snapshot_into(folder, L"", snapshot);
    return snapshot;
}

std::string tree_differences(const Ctree_snapshot& before, const Ctree_snapshot& after)
{
    std::string text;
    for (const auto& entry : before) {
        const auto now = after.find(entry.first);
        if (now == after.end())
            text += "  gone: " + to_utf8(entry.first) + "\n";
        else if (now->second != entry.second)
            text += "  changed: " + to_utf8(entry.first) + " (" + describe(entry.second) + " -> " +
                    describe(now->second) + ")\n";
    }
    for (const auto& entry : after)
        if (!before.count(entry.first))
            text += "  new: " + to_utf8(entry.first) + " (" + describe(entry.second) + ")\n";
    return text;
}

}  // namespace e2e
