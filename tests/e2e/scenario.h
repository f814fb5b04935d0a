#pragma once
// What a scenario lays out before it runs update.exe: a fresh folder holding a copy of the built
// update.exe, update.ini as a Japanese editor saves it, data files, the installer's registry key,
// and snapshots of folder trees to compare before and after.
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace e2e {

// <test working folder>\scenarios\<name>[\<subfolder>], emptied and made afresh, with update.exe
// copied into it. subfolder may be deep and Japanese, e.g. L"ゲーム\\アップデート\\テスト".
class Cscenario_folder {
public:
    explicit Cscenario_folder(const std::wstring& name, const std::wstring& subfolder = L"");

    const std::wstring& root() const { return root_; }        // scenarios\<name>
    const std::wstring& folder() const { return folder_; }    // where update.exe lies
    std::wstring exe_path() const { return folder_ + L"\\update.exe"; }
    std::wstring path(const std::wstring& relative) const { return folder_ + L"\\" + relative; }

    // update.ini beside update.exe: code page 932 bytes, CR LF after every line.
    void write_update_ini(const std::vector<std::wstring>& lines) const;
    // A file below GAMEDATA beside update.exe, parent folders made as needed.
    void write_game_data(const std::wstring& relative, const std::string& bytes) const;

    // The game's installation folder, beside the update's folder: <root>\installed.
    std::wstring installed_folder() const { return root_ + L"\\installed"; }
    std::wstring installed_path(const std::wstring& relative) const { return installed_folder() + L"\\" + relative; }
    void write_installed(const std::wstring& relative, const std::string& bytes) const;

private:
    std::wstring root_;
    std::wstring folder_;
};

// Text as the system's ANSI code page 932 has it on disk.
std::string cp932(const std::wstring& text);
// The lines joined with CR LF, each line ended by one, in code page 932.
std::string cp932_lines(const std::vector<std::wstring>& lines);
// size bytes of a repeating pattern that depends on seed, so two files differ in content.
std::string pattern_bytes(uint64_t size, unsigned seed = 0);

// The test program's current folder, where scenarios and event logs are kept.
std::wstring current_folder();
// Writes a file, making its parent folders; the path is absolute.
void write_file(const std::wstring& path, const std::string& bytes);
void make_folders(const std::wstring& folder);
// Removes a folder tree, read-only files included. Fine when it does not exist.
void remove_tree(const std::wstring& folder);
std::string read_file(const std::wstring& path);

// HKCU\SOFTWARE\<name>, created empty by the constructor and removed by the destructor.
class Cregistry_key {
public:
    explicit Cregistry_key(const std::wstring& name);
    ~Cregistry_key();
    Cregistry_key(const Cregistry_key&) = delete;
    Cregistry_key& operator=(const Cregistry_key&) = delete;

    // REG_SZ with its terminating NUL counted, as an installer writes it.
    void set_text(const std::wstring& value_name, const std::wstring& text) const;
    // Any type and bytes, for values no installer writes.
    void set_raw(const std::wstring& value_name, DWORD type, const std::string& bytes) const;
    void remove_value(const std::wstring& value_name) const;
    void remove() const;

private:
    std::wstring subkey_;
    HKEY key_ = nullptr;
};

struct Cfile_state {
    uint64_t size = 0;
    uint64_t hash = 0;  // FNV-1a of the content; 0 for folders
    bool folder = false;
    bool operator==(const Cfile_state& other) const
    {
        return size == other.size && hash == other.hash && folder == other.folder;
    }
    bool operator!=(const Cfile_state& other) const { return !(*this == other); }
};
// Every file and folder below folder, by path relative to it.
using Ctree_snapshot = std::map<std::wstring, Cfile_state>;
Ctree_snapshot snapshot_tree(const std::wstring& folder);
// Readable differences between two snapshots, empty when equal; for failure messages.
std::string tree_differences(const Ctree_snapshot& before, const Ctree_snapshot& after);

}  // namespace e2e
