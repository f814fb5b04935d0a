#pragma once
// An update package as a publisher lays it out: update.ini saved in Shift-JIS with CR LF, and a
// GAMEDATA tree, in a temp folder of its own.
#include <windows.h>

#include <string>
#include <vector>

#include "support/temp_folder.h"

class Cpackage_folder : public Ctemp_folder {
public:
    Cpackage_folder() : Ctemp_folder(L"package") {}
    void write_update_ini(const std::vector<std::wstring>& lines, const std::string& before = std::string()) const
    {
        std::string bytes = before;
        for (const std::wstring& line : lines)
            bytes += shift_jis(line) + "\r\n";
        make_file(L"update.ini", bytes);
    }
};
