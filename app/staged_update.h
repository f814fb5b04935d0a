#pragma once
// All or nothing: every file of the update is first copied into a staging file beside its
// destination, and only when all of them are staged are they put in place. Until then the game is
// untouched; if putting them in place fails, the files already replaced get their old content
// back. The staging and backup files carry names no game file has, so that a run that was killed
// leaves only files that the next run recognises and removes.
#include <map>
#include <set>
#include <string>
#include <vector>

class Cstaged_update {
public:
    Cstaged_update() = default;
    // Rolls back whatever was not committed.
    ~Cstaged_update();
    Cstaged_update(const Cstaged_update&) = delete;
    Cstaged_update& operator=(const Cstaged_update&) = delete;

    // Makes the folder and any missing one above it; false with unmade naming the first that
    // could not be made. Folders made here are removed again by a roll back. A folder made or
    // found once is not asked about again: a folder entry asks before each of its files.
    bool make_folder(const std::wstring& folder, std::wstring& unmade);
    // Readies destination for staging and returns the staging file to copy into, or empty text
    // when an existing destination cannot be opened for writing. Staging and backup files of a
    // killed run are removed first. A destination named twice keeps one staging file.
    std::wstring prepare(const std::wstring& destination);
    // Puts every staged file in place, in the order prepared. The problem, or empty text; on a
    // problem everything is rolled back already.
    std::wstring commit();
    // Gives every replaced file its old content back and removes new files, staging files and
    // the folders made.
    void roll_back();

private:
    struct Cstaged_file {
        std::wstring destination;
        bool existed = false;
        bool in_place = false;
    };

    // Whether a name is in the folder, listed once when the folder is first met: a Windows call per
    // file would cost more than the copy of a small one.
    enum class Cfound { nothing, file, folder };
    Cfound find(const std::wstring& path);

    std::vector<Cstaged_file> files_;
    // Upper-cased destination -> index into files_: Windows names ignore case.
    std::map<std::wstring, size_t> index_;
    // Upper-cased folder -> its upper-cased names, true for a folder.
    std::map<std::wstring, std::map<std::wstring, bool>> listed_;
    std::vector<std::wstring> made_folders_;
    std::set<std::wstring> ensured_folders_;
    bool finished_ = false;
};

// The names a run gives its own files beside a destination.
std::wstring staging_path(const std::wstring& destination);
std::wstring backup_path(const std::wstring& destination);
