#pragma once
// Which entries of update.ini bring exactly the changed files over an installation: the media
// folders named on the command line, one folder entry for each other folder holding changes (an
// entry copies that folder's files, not its subfolders), and one file entry for each changed file
// at the top. When these are more than one update.ini can name (ten of each kind), they are spread
// over a chain of packages, each complete on its own; no file is in two of them, so each entry's
// files arrive once whatever the order.
#include <array>
#include <string>
#include <vector>

#include "update_ini/media_parts.h"
#include "update_ini/update_settings.h"
#include "update_pack/tree_diff.h"

// The media folders named on the command line, in the order of MEDIA_PARTS; empty: not named.
using Cmedia_folders = std::array<std::wstring, MEDIA_PART_COUNT>;

// One package of the chain: its settings and the changed files its GAMEDATA holds.
struct Cchain_package {
    Cupdate_settings settings;
    std::vector<Cchanged_file> files;
};

struct Cpackage_layout {
    // As few as can hold the entries, the media folders in the first; one when one is enough.
    std::vector<Cchain_package> packages;
    // Why the changes cannot be expressed in update.ini, one sentence each naming the files; empty
    // when the packages above bring them all.
    std::vector<std::wstring> problems;
};

Cpackage_layout lay_out_package(const Ctree_diff& diff, const Cmedia_folders& media, const std::wstring& game_name,
                                const std::wstring& registry_name);

// Whether update.ini, saved in code page 932, spells text exactly: every character there, and
// no double quote, which would end the value.
bool spelled_in_update_ini(const std::wstring& text);
