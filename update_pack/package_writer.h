#pragma once
// Writes the package: GAMEDATA with the changed files at their paths, update.ini in Shift-JIS
// with CR LF, and beside them what ships with it (update.exe, the player's note). Everything is written into a folder beside the package folder first and moved into
// place only when complete, so an error leaves nothing half-written.
#include <string>
#include <vector>

#include "update_ini/update_settings.h"
#include "update_pack/tree_diff.h"

// The lines of update.ini for these settings, as update.exe reads them back.
std::vector<std::wstring> update_ini_lines(const Cupdate_settings& settings);

// Lines in Shift-JIS, each ended by CR LF, as update.ini and the notes for players are saved.
bool write_shift_jis_lines(const std::wstring& path, const std::vector<std::wstring>& lines);

// Writes the package into staging_folder (made afresh). The problem, or empty text.
std::wstring write_package(const std::wstring& staging_folder, const std::wstring& new_folder,
                           const std::vector<Cchanged_file>& files, const Cupdate_settings& settings);

// Copies a file that ships with the package (update.exe, README.txt) into it. The problem, or
// empty text.
std::wstring copy_into_package(const std::wstring& file, const std::wstring& package_folder, const std::wstring& name);

