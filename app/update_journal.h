#pragma once
// The journal of one update: a folder of its own inside the game folder (UPDATE_FOLDER), made so
// that only this user, Administrators and SYSTEM may open it, that holds the staging and backup
// files under short names, in numbered subfolders of at most STAGED_FILES_PER_FOLDER files each,
// and a file that tells what the run has made and what it is about to put in place. Its first line
// is the run's token, also recorded under this user's registry (install/run_record.h): the proof
// that the folder is this user's update's. A run that ends removes the folder; the next run after a
// kill or a power cut reads it and puts the game back, or only cleans up when every file was
// already in place. Nothing in a folder without the proof is ever moved or deleted.
//
// The journal's lines, each ended by a line feed (a line cut short by a kill is not one):
//   run <token>                          the proof, first
//   folder <relative path>               a folder about to be made, before it is made
//   file <number> <0|1: existed> <path>  a file about to be put in place, all of them at once,
//   commit                               and then this: putting files in place begins
//   done                                 every file is in place
// Recovery reads each file's state from what is left of it (in_staging, replaced_and_backed_up,
// added, already_back) and puts it back: a committed journal without done is rolled back whole; one
// with done is only cleaned up; one without commit had touched no game file but folders it made.
#include <string>
#include <vector>

#include "fs/file_ops.h"
#include "install/game_folder.h"

// The subfolder of the update's folder that holds file number's staging and backup file.
Cgame_path staging_folder(const Cgame_folder& game, size_t number);
Cgame_path staging_path(const Cgame_folder& game, size_t number);
Cgame_path backup_path(const Cgame_folder& game, size_t number);

// One file the update puts in place, by its number in the update's folder.
struct Cjournal_file {
    size_t number = 0;
    bool existed = false;
    // Below the game folder, as Cgame_path::relative gives it.
    std::wstring relative;
};

class Cupdate_journal {
public:
    explicit Cupdate_journal(const Cgame_folder& game) : game_(game) {}
    // Records the run, makes the folder and the journal in it with the run's token; false when any
    // of that cannot be done, with nothing of it left.
    bool open();
    // Written before the folder is made, so that a roll back after a kill removes it.
    bool add_folder(const Cgame_path& folder);
    // Every file about to be put in place, then the mark that putting them in place begins, all on
    // the disk before the first file moves.
    bool mark_committed(const std::vector<Cjournal_file>& files);
    // Every file is in place: from here on a killed run is only cleaned up.
    bool mark_done();
    // Its staging and backup files, then the journal, then the folder itself, then the record.
    void remove();

private:
    const Cgame_folder& game_;
    Cappend_file file_;
    bool made_ = false;
};

// Puts one file of a run back as it was before the run, by the state what is left of it tells:
// the run's own roll back and the next run's recovery alike. False when it could not be, or a link
// now lies on the way: the file stays as it is, and so must the journal.
bool put_back(Cgame_folder& game, const Cjournal_file& file);

enum class Cunfinished {
    none,         // there was nothing to finish
    rolled_back,  // the game is as before that run
    completed,    // every file was in place: only cleaned up
    stuck,        // something could not be put back; the journal stays for the next run
    unreadable,   // the journal could not be read; everything stays for the next run
    broken,       // the journal breaks its rules; nothing was touched
    not_ours,     // something of the update folder's name that this user's update did not make
};

// Finds the journal of a run that did not end and finishes it.
Cunfinished finish_unfinished_update(Cgame_folder& game);
