#pragma once
// The three optional media parts of the game, BGM, voices and movies: the keys of update.ini that
// ask for each, the label its messages use, the registry values its installer writes and what the
// player is told when it is not installed. Every layer walks this one table.
#include <cstdint>
#include <string>

#include "update_ini/update_settings.h"

struct Cmedia_part {
    // As in the keys and the messages: BGM, KOE, MOV.
    const wchar_t* name;
    const wchar_t* switch_key;
    const wchar_t* folder_key;
    int32_t Cupdate_settings::*update;
    std::wstring Cupdate_settings::*folder;
    // The registry values of the installation record.
    const wchar_t* exist_value;
    const wchar_t* folder_value;
    const wchar_t* not_set_up_message;
    const wchar_t* folder_missing_message;
};

constexpr int MEDIA_PART_COUNT = 3;

// In update.exe's order: BGM, KOE, MOV.
extern const Cmedia_part MEDIA_PARTS[MEDIA_PART_COUNT];
