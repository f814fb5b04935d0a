#pragma once
// A chain of packages as players meet it: the subfolders named so that sorting their names gives
// the order to run them, and the note at the top that tells that order, in Japanese and English.
#include <string>
#include <vector>

// The note's file name in the package folder, beside the subfolders.
extern const wchar_t* const CHAIN_NOTE_NAME;

// "1" to "9"; with ten or more, every name has as many digits as the largest ("01" to "12").
std::vector<std::wstring> chain_folder_names(size_t count);

// The note's lines, Japanese first, then English.
std::vector<std::wstring> chain_note_lines(const std::wstring& game_name, const std::vector<std::wstring>& folders);
