#include "update_ini/media_parts.h"

const Cmedia_part MEDIA_PARTS[MEDIA_PART_COUNT] = {
    {L"BGM", L"BGM_UPDATE", L"BGM_FOLDER", &Cupdate_settings::BGM_UPDATE, &Cupdate_settings::BGM_FOLDER,
     L"BGM_EXIST", L"BGM_FOLDER",
     L"BGM がセットアップされていません。\nアップデートを行うには、BGM がセットアップされていることが必要です。",
     L"BGM フォルダが見つかりません。"},
    {L"KOE", L"KOE_UPDATE", L"KOE_FOLDER", &Cupdate_settings::KOE_UPDATE, &Cupdate_settings::KOE_FOLDER,
     L"KOE_EXIST", L"KOE_FOLDER",
     L"音声データがセットアップされていません。\nアップデートを行うには、音声データがセットアップされていることが必要です。",
     L"音声フォルダが見つかりません。"},
    {L"MOV", L"MOV_UPDATE", L"MOV_FOLDER", &Cupdate_settings::MOV_UPDATE, &Cupdate_settings::MOV_FOLDER,
     L"MOV_EXIST", L"MOV_FOLDER",
     L"ムービーがセットアップされていません。\nアップデートを行うには、ムービーがセットアップされていることが必要です。",
     L"ムービーフォルダが見つかりません。"},
};
