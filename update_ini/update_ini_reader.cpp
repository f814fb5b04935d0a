#include "update_ini/update_settings.h"

#include "app/update_data.h"

bool reset_update_settings()
{
    g_update.settings = Cupdate_settings();
    return true;
}

bool read_update_ini()
{
    g_update.source_root = L"GAMEDATA";
    return true;
}
