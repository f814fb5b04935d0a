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

// Reads the nine values in the record's order into record. At the first problem (no key, a value
// missing) returns its cause and reads no further: the values read before it keep their new text,
// the others are unchanged. Empty text when all nine were read. game_name goes into the message.
std::wstring read_installation_values(const std::wstring& reg_name, const std::wstring& game_name,
                                      Cinstallation_record& record);

// One value, whatever its type, as UTF-16 text; false, with target unchanged, when it cannot be read.
bool read_registry_text(HKEY key, const std::wstring& value_name, std::wstring& target);
