#include "update_ini/update_ini_reader.h"

#include <vector>

#include "fs/text_file.h"
#include "update_ini/update_ini_lines.h"

std::wstring read_update_ini_file(const std::wstring& path, Cupdate_settings& settings)
{
    std::vector<std::wstring> lines;
    if (!read_text_lines(path, lines))
        return L"update.ini が見つかりませんでした。";
    for (const std::wstring& line : lines)
        apply_update_ini_line(line, settings);
    return std::wstring();
}
