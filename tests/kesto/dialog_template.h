#pragma once
// Reads an extended dialog template (DIALOGEX) from the program's resources, so that a test can
// compare it with what the dialog is meant to be.
#include <windows.h>

#include <string>
#include <vector>

namespace toolkit_test {

struct Ctemplate_item {
    DWORD help_id = 0;
    DWORD extended_style = 0;
    DWORD style = 0;
    short x = 0, y = 0, width = 0, height = 0;
    DWORD id = 0;
    std::wstring class_name;  // "#130" for a predefined class given by ordinal
    std::wstring text;
};

struct Cdialog_template {
    WORD version = 0;
    WORD signature = 0;
    DWORD help_id = 0;
    DWORD extended_style = 0;
    DWORD style = 0;
    short x = 0, y = 0, width = 0, height = 0;
    std::wstring menu, class_name, caption;
    WORD point_size = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = 0;
    std::wstring typeface;
    std::vector<Ctemplate_item> items;
};

// False when the resource of that id and language is missing or is not a DIALOGEX.
bool read_dialog_template(int template_id, WORD language, Cdialog_template& result);

}  // namespace toolkit_test
