#include "update_ini/update_settings.h"

#include <string>
#include <vector>

#include "app/message_box.h"
#include "app/update_data.h"
#include "update_ini/text_file.h"
#include "update_ini/update_ini_lines.h"

bool reset_update_settings()
{
    g_update.settings = Cupdate_settings();
    return true;
}

bool read_update_ini()
{
    std::vector<std::wstring> lines;
    if (!read_text_lines(L"update.ini", lines))
        return report_update_failure(L"update.ini が見つかりませんでした。");
    for (const std::wstring& line : lines)
        apply_update_ini_line(line, g_update.settings);
    g_update.source_root = L"GAMEDATA";
    return true;
}
