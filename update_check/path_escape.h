#pragma once
// update.exe joins the entries of update.ini to GAMEDATA and to the installation folder as
// written, so an entry can reach outside both. The checker warns before such a package ships.
#include <string>

// Empty when relative stays below the folder it is joined to; otherwise, in English, how it
// leaves it: an absolute path, or ".." climbing above the folder.
std::wstring path_escape_problem(const std::wstring& relative);
