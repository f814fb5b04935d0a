#pragma once
// The whole settings record as one text, one field a line, so that a failed comparison shows
// exactly which fields differ.
#include <string>

#include "update_ini/update_settings.h"

inline std::wstring settings_text(const Cupdate_settings& s)
{
    std::wstring text;
    auto add_text = [&](const wchar_t* key, const std::wstring& value) { text += key + (L" = \"" + value + L"\"\n"); };
    auto add_number = [&](const wchar_t* key, int value) { text += key + (L" = " + std::to_wstring(value) + L"\n"); };
    add_text(L"GAME_NAME", s.GAME_NAME);
    add_text(L"REG_NAME", s.REG_NAME);
    add_number(L"BGM_UPDATE", s.BGM_UPDATE);
    add_number(L"KOE_UPDATE", s.KOE_UPDATE);
    add_number(L"MOV_UPDATE", s.MOV_UPDATE);
    add_text(L"BGM_FOLDER", s.BGM_FOLDER);
    add_text(L"KOE_FOLDER", s.KOE_FOLDER);
    add_text(L"MOV_FOLDER", s.MOV_FOLDER);
    add_number(L"COPY_FOLDER_COUNT", s.COPY_FOLDER_COUNT);
    for (int i = 0; i < COPY_ENTRY_LIMIT; ++i)
        add_text((L"COPY_FOLDER_0" + std::to_wstring(i)).c_str(), s.COPY_FOLDER[i]);
    add_number(L"COPY_FILE_COUNT", s.COPY_FILE_COUNT);
    for (int i = 0; i < COPY_ENTRY_LIMIT; ++i)
        add_text((L"COPY_FILE_0" + std::to_wstring(i)).c_str(), s.COPY_FILE[i]);
    return text;
}
