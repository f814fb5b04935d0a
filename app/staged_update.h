#pragma once
// All or nothing: every file of the update is first copied into a staging file in the journal's
// folder (update_journal.h), and only when all of them are staged, flushed and written down in the
// journal are they put in place. Until then the game is untouched; if putting them in place fails,
// the files already replaced get their old content back. A run that is killed leaves the journal,
// from which the next run puts the game back.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/update_journal.h"

class Cstaged_update {
public:
    explicit Cstaged_update(const std::wstring& game) : game_(game) {}
    // Rolls back whatever was not committed.
    ~Cstaged_update();
    Cstaged_update(const Cstaged_update&) = delete;
    Cstaged_update& operator=(const Cstaged_update&) = delete;

    // Makes the journal's folder and the journal; the problem, or empty text.
    std::wstring begin();
    // Makes the folder and any missing one above it, each written in the journal first; false
    // with unmade naming the first that could not be made. Folders made here are removed again by
    // a roll back. A folder made or found once is not asked about again: a folder entry asks
    // before each of its files.
    bool make_folder(const std::wstring& folder, std::wstring& unmade);
    // Readies destination for staging and sets the staging file to copy into. The problem when an
    // existing destination cannot be opened for writing or is a link, or empty text. Leftovers
    // that an older release left beside the destination are put back or removed first. A
    // destination named twice keeps one staging file.
    std::wstring prepare(const std::wstring& destination, std::wstring& staging);
    // Puts every staged file in place, in the order prepared. The problem, or empty text; on a
    // problem everything is rolled back already.
    std::wstring commit();
    // Gives every replaced file its old content back and removes new files, staging files, the
    // folders made and the journal.
    void roll_back();

private:
    // Whether a name is in the folder, listed once when the folder is first met: a Windows call per
    // file would cost more than the copy of a small one.
    enum class Cfound { nothing, file, folder };
    Cfound find(const std::wstring& path);
    bool has_folder(const std::wstring& destination);
    void put_back_leftovers(const std::wstring& destination, Cfound& found);

    std::wstring game_;
    Cupdate_journal journal_;
    bool begun_ = false;
    std::vector<Cjournal_file> files_;
    std::vector<bool> in_place_;
    // Upper-cased destination -> index into files_: Windows names ignore case.
    std::map<std::wstring, size_t> index_;
    // Upper-cased folder -> its upper-cased names, true for a folder.
    std::map<std::wstring, std::map<std::wstring, bool>> listed_;
    std::vector<std::wstring> made_folders_;
    std::set<std::wstring> ensured_folders_;
    bool finished_ = false;
};
