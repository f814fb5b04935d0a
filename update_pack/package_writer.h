#pragma once
// Writes the package: GAMEDATA with the changed files at their paths, and update.ini in Shift-JIS
// with CR LF. Everything is written into a folder beside the package folder first and moved into
// place only when complete, so an error leaves nothing half-written.
#include <string>
#include <vector>

#include "update_ini/update_settings.h"
#include "update_pack/tree_diff.h"

// The lines of update.ini for these settings, as update.exe reads them back.
std::vector<std::wstring> update_ini_lines(const Cupdate_settings& settings);

// Writes the package into staging_folder (made afresh). The problem, or empty text.
std::wstring write_package(const std::wstring& staging_folder, const std::wstring& new_folder,
                           const std::vector<Cchanged_file>& files, const Cupdate_settings& settings);

// Removes a folder with everything below it.
void remove_tree(const std::wstring& folder);
