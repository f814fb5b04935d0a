#pragma once
// The installed game as its installer recorded it under HKEY_CURRENT_USER\SOFTWARE\<REG_NAME>.
#include <windows.h>
#include <string>

#include "update_ini/findings.h"
#include "update_ini/update_settings.h"

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

// The nine values in the order update.exe reads them, each with its field.
struct Cregistry_value {
    const wchar_t* name;
    std::wstring Cinstallation_record::*field;
};
constexpr int REGISTRY_VALUE_COUNT = 9;
extern const Cregistry_value REGISTRY_VALUES[REGISTRY_VALUE_COUNT];
// The value of that name, or null for a name that is none of the nine.
const Cregistry_value* find_registry_value(const std::wstring& name);

// The check "registry" on HKEY_CURRENT_USER\SOFTWARE\<REG_NAME>: reads the nine values in the
// record's order into record. At the first problem (no key, a value missing) it fails with its
// cause and reads no further: the values read before it keep their new text, the others are
// unchanged. Not judged without a REG_NAME. GAME_NAME goes into the message.
Cfinding judge_registry(const Cupdate_settings& settings, Cinstallation_record& record);

// One value, whatever its type, as UTF-16 text; false, with target unchanged, when it cannot be read.
bool read_registry_text(HKEY key, const std::wstring& value_name, std::wstring& target);
