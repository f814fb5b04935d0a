#pragma once
// update.exe joins the entries of update.ini to GAMEDATA and to the installation folder as
// written. It refuses an entry that climbs out with ".."; absolute forms find nothing or fail
// with a box of their own, and the checker warns about them before such a package ships.
#include <string>

// Empty when relative is written as a relative path; otherwise, in English, why it is not.
std::wstring path_escape_problem(const std::wstring& relative);
