#pragma once
// The installed game's folders as they stood before the update, each listed once, when first
// asked about: what stands at each name. Made before the question, for the checks of the game's
// files and of the held files, and kept for the staging: a Windows call per file would cost more
// than the copy of a small one (under Wine, a name that is not there reads its whole folder).
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "install/game_folder.h"

class Cgame_listing {
public:
    explicit Cgame_listing(const Cgame_folder& game) : game_(game) {}
    Cgame_listing(const Cgame_listing&) = delete;
    Cgame_listing& operator=(const Cgame_listing&) = delete;

    // The attributes of what the listing of path's folder showed at its name, ignoring case;
    // INVALID_FILE_ATTRIBUTES when nothing was there.
    uint32_t attributes(const Cgame_path& path);
    // The same of a name in a folder below the game folder, both as the plan writes them.
    uint32_t attributes(const std::wstring& relative_folder, const std::wstring& name);
    // Whether that was a plain file, not a folder and no link.
    bool has_file(const std::wstring& relative_folder, const std::wstring& name);
    // Every folder is listed again when next asked about.
    void forget() { folders_.clear(); }

private:
    // One folder's names, upper-cased, end to end in one text, each ended by a null; the entries
    // hold where each begins and its attributes, in the order of the names. A name costs its own
    // characters and eight bytes.
    struct Cnames {
        std::wstring text;
        std::vector<std::pair<uint32_t, uint32_t>> entries;
    };
    const Cnames& names_in(const std::wstring& relative_folder);

    const Cgame_folder& game_;
    std::map<std::wstring, Cnames> folders_;  // by the folder below the game folder, upper-cased
};
