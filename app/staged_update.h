#pragma once
// All or nothing: every file of the update is first copied into a staging file in the update's
// folder (update_journal.h), and only when all of them are staged, flushed and written down in the
// journal are they put in place. Until then the game is untouched; if putting them in place fails,
// the files already replaced get their old content back. A run that is killed leaves the journal,
// from which the next run puts the game back. Every path below the game folder comes from the
// game folder (install/game_folder.h); messages name files below the folder as the player knows it.
#include <set>
#include <string>
#include <vector>

#include "app/update_journal.h"
#include "install/game_listing.h"

class Cstaged_update {
public:
    // shown_folder: the game folder as messages name it; listing: what stood in it before the run.
    Cstaged_update(Cgame_folder& game, Cgame_listing& listing, const std::wstring& shown_folder)
        : game_(game), listing_(listing), shown_(shown_folder), journal_(game) {}
    // Rolls back whatever was not put in place.
    ~Cstaged_update();
    Cstaged_update(const Cstaged_update&) = delete;
    Cstaged_update& operator=(const Cstaged_update&) = delete;

    // Makes the update's folder and the journal, with room kept for file_count files; the problem,
    // or empty text.
    std::wstring begin(size_t file_count);
    // Makes the folder below the game folder and any missing one above it, each written in the
    // journal first; the problem, or empty text. Folders made here are removed again by a roll
    // back. A folder made or found once is not asked about again: a folder entry asks before each
    // of its files.
    std::wstring make_journaled_folders(const std::wstring& relative);
    // Readies the file at relative for staging and sets the staging file to copy into. The problem
    // when an existing file cannot be opened for writing or a link is on the way, or empty text.
    // Leftovers that an older release left beside the file are put back or removed first. Each
    // file is prepared once: the plan copies each destination once.
    std::wstring prepare(const std::wstring& relative, std::wstring& staging);
    // Puts every staged file in place, in the order prepared. The problem, or empty text; on a
    // problem everything is rolled back already.
    std::wstring put_in_place();
    // Gives every replaced file its old content back and removes new files, staging files, the
    // folders made and the journal.
    void roll_back();

private:
    // What stands at a name, as the game's listing tells it.
    enum class Cfound { nothing, file, folder, link };
    Cfound find(const Cgame_path& path);
    bool has_folder(const Cgame_path& destination);
    void put_back_leftovers(const Cgame_path& destination, Cfound& found);
    // Whether the file may be staged: no link on the way, not a folder, writable where it exists.
    std::wstring admit(const Cgame_path& destination, const std::wstring& relative, bool& existed);
    // Numbers the file, makes its staging folder when it opens one, and keeps it for the journal.
    std::wstring add_file(const Cgame_path& destination, bool existed);
    std::wstring shown(const std::wstring& relative) const;
    std::wstring link_problem(const Cgame_path& path);

    Cgame_folder& game_;
    Cgame_listing& listing_;
    std::wstring shown_;
    Cupdate_journal journal_;
    bool begun_ = false;
    // The journal names every file: from here on files may be in place.
    bool committed_ = false;
    std::vector<Cjournal_file> files_;
    std::vector<Cgame_path> made_folders_;
    std::set<std::wstring> ensured_folders_;
    // Something of this run is on the disk that the destructor must roll back.
    bool pending_ = false;
};
