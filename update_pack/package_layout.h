#pragma once
// Which entries of update.ini bring exactly the changed files over an installation: the media
// folders named on the command line, one folder entry for each other folder holding changes (an
// entry copies that folder's files, not its subfolders), and one file entry for each changed file
// at the top.
#include <string>
#include <vector>

#include "update_ini/update_settings.h"
#include "update_pack/tree_diff.h"

struct Cmedia_folders {
    std::wstring bgm;
    std::wstring koe;
    std::wstring mov;
};

struct Cpackage_layout {
    Cupdate_settings settings;
    // Why the changes cannot be expressed in update.ini, one sentence each naming the files; empty
    // when the settings above bring them all.
    std::vector<std::wstring> problems;
};

Cpackage_layout lay_out_package(const Ctree_diff& diff, const Cmedia_folders& media, const std::wstring& game_name,
                                const std::wstring& registry_name);

// Whether update.ini, saved in code page 932, spells text exactly: every character there, and
// no double quote, which would end the value.
bool spelled_in_update_ini(const std::wstring& text);
