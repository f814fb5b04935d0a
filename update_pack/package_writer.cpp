#include "update_pack/package_writer.h"

#include <windows.h>

#include "fs/file_handle.h"
#include "fs/file_ops.h"
#include "fs/paths.h"
#include "fs/text.h"
#include "update_ini/media_parts.h"

namespace {

std::wstring quoted(const std::wstring& text)
{
    return L"\"" + text + L"\"";
}

}  // namespace

bool write_shift_jis_lines(const std::wstring& path, const std::vector<std::wstring>& lines)
{
    std::wstring text;
    for (const std::wstring& line : lines)
        text += line + L"\r\n";
    const int length = WideCharToMultiByte(932, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                           nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(932, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], length, nullptr, nullptr);
    Cfile_handle file;
    return open_file(file, path, L"wb") && fwrite(bytes.data(), 1, bytes.size(), file.stream) == bytes.size() &&
           close_file(file);
}

std::vector<std::wstring> update_ini_lines(const Cupdate_settings& s)
{
    std::vector<std::wstring> lines = {
        L"// " + s.GAME_NAME + L" アップデート (update-pack で作成)",
        L"GAME_NAME = " + quoted(s.GAME_NAME),
        L"REG_NAME = " + quoted(s.REG_NAME),
    };
    for (const Cmedia_part& part : MEDIA_PARTS) {
        lines.push_back(std::wstring(part.switch_key) + L" = " + std::to_wstring(s.*part.update));
        if (s.*part.update != 0)
            lines.push_back(std::wstring(part.folder_key) + L" = " + quoted(s.*part.folder));
    }
    lines.push_back(L"COPY_FOLDER_COUNT = " + std::to_wstring(s.COPY_FOLDER_COUNT));
    for (int i = 0; i < s.COPY_FOLDER_COUNT; ++i)
        lines.push_back(format_text(L"COPY_FOLDER_%02d = ", i) + quoted(s.COPY_FOLDER[i]));
    lines.push_back(L"COPY_FILE_COUNT = " + std::to_wstring(s.COPY_FILE_COUNT));
    for (int i = 0; i < s.COPY_FILE_COUNT; ++i)
        lines.push_back(format_text(L"COPY_FILE_%02d = ", i) + quoted(s.COPY_FILE[i]));
    return lines;
}

std::wstring write_package(const std::wstring& staging_folder, const std::wstring& new_folder,
                           const std::vector<Cchanged_file>& files, const Cupdate_settings& settings)
{
    remove_tree(staging_folder);
    std::wstring unmade;
    if (!make_folder_and_above(join_path(staging_folder, L"GAMEDATA"), unmade))
        return L"cannot make the folder " + unmade;
    for (const Cchanged_file& file : files) {
        const std::wstring target = join_path(join_path(staging_folder, L"GAMEDATA"), file.path);
        if (!make_folder_and_above(path_folder(target), unmade))
            return L"cannot make the folder " + unmade;
        if (!CopyFileW(long_path(join_path(new_folder, file.path)).c_str(), long_path(target).c_str(), TRUE))
            return L"cannot copy " + file.path + L" into the package";
    }
    if (!write_shift_jis_lines(join_path(staging_folder, L"update.ini"), update_ini_lines(settings)))
        return L"cannot write update.ini";
    return std::wstring();
}

std::wstring copy_into_package(const std::wstring& file, const std::wstring& package_folder, const std::wstring& name)
{
    if (!CopyFileW(long_path(file).c_str(), long_path(join_path(package_folder, name)).c_str(), TRUE))
        return L"cannot copy " + file + L" into the package as " + name;
    return std::wstring();
}

