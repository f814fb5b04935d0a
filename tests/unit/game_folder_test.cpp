// The game folder's rules: which names Windows can make in it, which relative paths stay inside
// it, and when what Windows opened on the way to a file leads elsewhere.
#include <gtest/gtest.h>

#include <string>

#include "fs/paths.h"
#include "install/game_folder.h"
#include "update_ini/source_checks.h"

// A name refused here is refused before any question, not after Yes halfway through the copy.
TEST(GameFolder, NamesWindowsCannotMake)
{
    const std::pair<std::wstring, bool> rows[] = {
        {L"a.dat", true},  {std::wstring(255, L'n'), true}, {std::wstring(256, L'n'), false},
        {std::wstring(260, L'n'), false}, {L"a.", false}, {L"a ", false}, {L"NUL.txt", false}, {L"com1", false},
        {L"COM10", true},  {L"CONFIG.SYS", true}};
    for (const auto& [name, makeable] : rows)
        EXPECT_EQ(unmakeable_name_advice(name).empty(), makeable) << testing::PrintToString(name);
}

// From update.ini or a journal, as the game folder keeps the path, or "" for one it refuses.
TEST(GameFolder, RelativePathsStayInside)
{
    const std::pair<const wchar_t*, const wchar_t*> rows[] = {
        {L"data\\a.dat", L"data\\a.dat"},   {L"data/a.dat", L"data\\a.dat"},  {L"data.\\a.dat. ", L"data\\a.dat"},
        {L"data\\\\a.dat", L"data\\a.dat"}, {L"..\\outside\\victim.txt", L""}, {L"data\\...\\x", L""},
        {L".\\data\\x", L"data\\x"},       {L"\\Windows\\x", L""},            {L"C:\\x", L""},
        {L"C:x", L""},                      {L"\\\\server\\share\\x", L""},    {L"a.dat:evil", L""},
        {L"CON", L""},                      {L"data\\nul.txt", L""},           {L"COM1\\a.dat", L""},
        {L"a*.dat", L""},                   {L"a\x01.dat", L""},               {L"", L""}};
    for (const auto& [relative, kept] : rows)
        EXPECT_EQ(confined_relative_path(relative), kept) << testing::PrintToString(std::wstring(relative));
}

// The link rule for one folder or file on the way: its attributes and final path as Windows gives
// them, against the path its name gives.
TEST(GameFolder, WhatLeadsElsewhere)
{
    const DWORD folder = FILE_ATTRIBUTE_DIRECTORY, link = FILE_ATTRIBUTE_REPARSE_POINT;
    const struct {
        const wchar_t* final;
        DWORD attributes;
        bool elsewhere;
    } rows[] = {
        {L"C:\\Games\\G\\data", folder, false},
        {L"c:\\GAMES\\g\\Data", folder, false},            // names ignore case
        {L"C:\\Games\\G\\data", folder | link, true},      // a junction or mount point, opened as itself
        {L"D:\\Elsewhere", folder, true},                  // a link followed
        {L"C:\\Games\\G\\data\\x", folder, true},          // a longer path is another place too
        {L"C:\\Games\\G\\Program Files", folder, true},    // reached by a short name: refused, not guessed
        {L"", folder, false},                              // no final path told (Wine, past MAX_PATH)
        {L"", folder | link, true},
        {L"C:\\Games\\G\\data", INVALID_FILE_ATTRIBUTES, true},
    };
    for (const auto& row : rows)
        EXPECT_EQ(leads_elsewhere(L"C:\\Games\\G\\data", row.final, row.attributes), row.elsewhere)
            << testing::PrintToString(std::wstring(row.final));
}
