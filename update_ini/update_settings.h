#pragma once
// The update settings: what update.ini says about one update. Field names are the keys.
#include <cstdint>
#include <string>

// update.ini has keys 00 to 09 only, so each list holds exactly ten entries.
constexpr int COPY_ENTRY_LIMIT = 10;

struct Cupdate_settings {
    std::wstring GAME_NAME;
    std::wstring REG_NAME;
    int32_t BGM_UPDATE = 0;
    int32_t KOE_UPDATE = 0;
    int32_t MOV_UPDATE = 0;
    std::wstring BGM_FOLDER;
    std::wstring KOE_FOLDER;
    std::wstring MOV_FOLDER;
    int32_t COPY_FOLDER_COUNT = 0;
    std::wstring COPY_FOLDER[COPY_ENTRY_LIMIT];
    int32_t COPY_FILE_COUNT = 0;
    std::wstring COPY_FILE[COPY_ENTRY_LIMIT];
};
