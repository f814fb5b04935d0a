#pragma once
// The installed game as its installer recorded it under HKEY_CURRENT_USER\SOFTWARE\<REG_NAME>.
#include <windows.h>
#include <string>

struct Cinstallation_record {
    std::wstring SAV_FOLDER;
    std::wstring DAT_EXIST;
    std::wstring DAT_FOLDER;
    std::wstring BGM_EXIST;
    std::wstring BGM_FOLDER;
    std::wstring KOE_EXIST;
    std::wstring KOE_FOLDER;
    std::wstring MOV_EXIST;
    std::wstring MOV_FOLDER;
};

// Phase 5: reads the nine values; tells the player and returns false at the first one missing.
bool read_installation_record();
bool read_registry_text(HKEY key, const std::wstring& value_name, std::wstring& target);
