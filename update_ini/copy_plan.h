#pragma once
// What an update copies, in the order it copies it: one listing per source the settings ask for.
// Shared by the update run and the package checker, so that the checker shows exactly the files
// the run would copy.
#include <cstdint>
#include <string>
#include <vector>

#include "fs/file_list.h"
#include "update_ini/update_settings.h"

// One listing of the copy plan and how its files are placed below the destination folder.
struct Ccopy_group {
    // The key of update.ini the listing comes from: BGM_FOLDER, COPY_FOLDER_03, COPY_FILE_00, ...
    std::wstring key;
    // The value of that key as written in update.ini.
    std::wstring entry;
    Cfile_list listing;
    // Source folder below GAMEDATA, which is also the folder below the destination; empty for a
    // file entry, whose files lie directly in both.
    std::wstring folder;
    // Folder entries make their destination folder (with every one above it) before each file.
    bool makes_destination_folder = false;
    // Files of this listing that a later entry reaches too: they are copied once, from that entry,
    // and left out of this listing.
    std::vector<std::wstring> reached_again;
};

// BGM, voice and movie folders, then the folder entries, then the file entries: the order in
// which the files are copied. A destination reached by more than one entry is copied once, from
// the last, as the copies in that order would leave it. Counts above ten are refused by the source checks; the plan never
// reaches past the tenth entry whatever they say.
std::vector<Ccopy_group> plan_update(const Cupdate_settings& settings, const std::wstring& source_root);

// The destination as Windows resolves it, to compare: "/" read as "\\", "." names dropped, dots and
// blanks at the end of each name dropped, letter case ignored.
std::wstring destination_key(const std::wstring& relative);

// Below both GAMEDATA and the destination folder.
std::wstring relative_path(const Ccopy_group& group, const Cfile_entry& entry);

uint64_t total_bytes(const std::vector<Ccopy_group>& plan);
