#pragma once
// The installed game's folder, known by the path Windows ends at after following every link on
// the way to it (its final path), asked once. Every path below it that the update writes, moves,
// replaces or deletes is handed out here as a Cgame_path: a relative path that stays inside the
// folder and is reached through no link. Whatever the update finds on the disk, a journal above
// all, is input from a stranger until it becomes a Cgame_path; no file operation below the game
// folder takes anything else.
#include <windows.h>

#include <cstdint>
#include <set>
#include <string>

// The folder of the update's own files inside the game folder.
constexpr const wchar_t* UPDATE_FOLDER = L"~update";

// Whether what Windows opened at expected (a path made whole, without "\\?\") is somewhere else:
// a reparse point (junction, symbolic link, mount point), or a final path that differs from the
// expected one other than in letter case (Wine shows a Unix link as a plain file or folder). An
// empty final path is one Windows could not tell. INVALID_FILE_ATTRIBUTES: nothing could be asked.
bool leads_elsewhere(const std::wstring& expected, const std::wstring& final, uint32_t attributes);

// The path Windows ends at after following every link, made whole without "\\?\" ("\\server\..."
// for a network share); empty when the path cannot be opened.
std::wstring final_path_of(HANDLE handle);
std::wstring final_path_of(const std::wstring& path);

// A path below the game folder that passed the rules; only Cgame_folder makes one.
class Cgame_path {
public:
    Cgame_path() = default;
    // For Windows calls.
    const std::wstring& whole() const { return whole_; }
    // Below the game folder, as Windows keeps it.
    const std::wstring& relative() const { return relative_; }
    bool empty() const { return whole_.empty(); }

private:
    friend class Cgame_folder;
    std::wstring whole_, relative_;
};

class Cgame_folder {
public:
    // Asks Windows for the folder's final path; false when it cannot be opened as a folder.
    bool open(const std::wstring& folder);
    bool is_open() const { return !final_.empty(); }
    // Made whole, without "\\?\".
    const std::wstring& final_path() const { return final_; }
    // A short name for the folder, the same for every spelling of its path: a hash of the final
    // path, upper-cased as Windows compares names.
    std::wstring key() const;

    // The path to a game file or folder; empty when the relative path breaks a rule or lies in the
    // update's own folder.
    Cgame_path game_path(const std::wstring& relative) const;
    // A path in the update's own folder ("" for the folder itself); the same rules.
    Cgame_path update_path(const std::wstring& relative) const;

    // The first of the folders from the game folder down to path, and path itself where it exists,
    // that is not the one its name gives, relative to the game folder; empty when there is none.
    // Folders found direct once are not asked again until forget_checked_folders.
    std::wstring first_link(const Cgame_path& path);
    // The same for the folders alone, from the game folder down to path's own folder.
    std::wstring first_folder_link(const Cgame_path& path);
    bool reached_directly(const Cgame_path& path) { return !path.empty() && first_link(path).empty(); }
    // Whether an open file is the one at path, not one a link led to.
    bool opened_directly(HANDLE file, const Cgame_path& path) const;
    void forget_checked_folders() { checked_.clear(); }

private:
    enum class Creached { directly, missing, elsewhere };
    Creached reach(const std::wstring& whole) const;

    std::wstring final_;
    std::set<std::wstring> checked_;  // upper-cased whole paths
};
