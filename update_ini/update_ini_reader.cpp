#include "update_ini/update_ini_reader.h"

#include <vector>

#include "fs/text.h"
#include "update_ini/update_ini_lines.h"

std::wstring read_update_ini_file(const std::wstring& path, Cupdate_settings& settings)
{
    std::vector<std::wstring> lines;
    switch (read_text_lines(path, lines)) {
    case Ctext_read::cannot_open:
        return L"update.ini が見つかりませんでした。";
    case Ctext_read::too_large:
        return L"update.ini が大きすぎるため、読み込めませんでした。";
    case Ctext_read::read:
        break;
    }
    for (const std::wstring& line : lines)
        apply_update_ini_line(line, settings);
    return std::wstring();
}
