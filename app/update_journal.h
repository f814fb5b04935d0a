#pragma once
// The journal of one update: a folder of its own inside the game folder that holds the staging and
// backup files under short names, in numbered subfolders of at most STAGED_FILES_PER_FOLDER files
// each, and a file that tells what the run has made and what it is about to put in place. A run that ends removes the folder; the next run after a kill or a power cut
// reads it and puts the game back, or only cleans up when every file was already in place.
#include <string>
#include <vector>

#include "fs/file_ops.h"

// The folder's name inside the game folder.
constexpr const wchar_t* JOURNAL_FOLDER = L"~update";

std::wstring journal_place(const std::wstring& game);
// The subfolder of the journal's folder that holds file number's staging and backup file.
std::wstring staging_folder(const std::wstring& game, size_t number);
std::wstring staging_path(const std::wstring& game, size_t number);
std::wstring backup_path(const std::wstring& game, size_t number);

// One file the update puts in place, by its number in the journal's folder.
struct Cjournal_file {
    size_t number = 0;
    bool existed = false;
    // Below the game folder.
    std::wstring relative;
};

class Cupdate_journal {
public:
    // Makes the folder and the journal in it; false when either cannot be made.
    bool open(const std::wstring& game);
    // Written before the folder is made, so that a roll back after a kill removes it.
    bool add_folder(const std::wstring& relative);
    // Every file about to be put in place, then the mark that putting them in place begins, all on
    // the disk before the first file moves.
    bool commit(const std::vector<Cjournal_file>& files);
    // Every file is in place: from here on a killed run is only cleaned up.
    bool mark_done();
    // Its staging and backup files, then the journal, then the folder itself.
    void remove();

private:
    std::wstring game_;
    Cappend_file file_;
};

enum class Cunfinished { none, rolled_back, completed, stuck };

// Finds the journal of a run that did not end and finishes it (none: there was nothing to tell): the game as before that run, or as
// updated when every file was in place; its own files removed. stuck: something could not be put
// back, and the journal stays for the next run.
Cunfinished finish_unfinished_update(const std::wstring& game);
