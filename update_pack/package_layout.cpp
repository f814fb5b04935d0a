#include "update_pack/package_layout.h"

#include <windows.h>

#include <map>

#include "fs/paths.h"

namespace {

std::wstring folder_of(const std::wstring& path)
{
    const size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring name_of(const std::wstring& path)
{
    return path.substr(path.rfind(L'\\') + 1);
}

std::wstring listed(const std::vector<std::wstring>& names)
{
    std::wstring text;
    for (const std::wstring& name : names)
        text += (text.empty() ? L"" : L", ") + name;
    return text;
}

}  // namespace

bool spelled_in_update_ini(const std::wstring& text)
{
    if (text.find(L'"') != std::wstring::npos)
        return false;
    if (text.empty())
        return true;
    BOOL lost = FALSE;
    const int length = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text.c_str(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, &lost);
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text.c_str(), static_cast<int>(text.size()), &bytes[0], length,
                        nullptr, &lost);
    std::wstring back(text.size() * 2, L'\0');
    back.resize(static_cast<size_t>(
        MultiByteToWideChar(932, 0, bytes.data(), length, &back[0], static_cast<int>(back.size()))));
    return !lost && back == text;
}

Cpackage_layout lay_out_package(const Ctree_diff& diff, const Cmedia_folders& media, const std::wstring& game_name,
                                const std::wstring& registry_name)
{
    Cpackage_layout layout;
    Cupdate_settings& settings = layout.settings;
    settings.GAME_NAME = game_name;
    settings.REG_NAME = registry_name;

    // Folders in the order first met, each with the files that changed directly inside it.
    std::vector<std::wstring> folders;
    std::map<std::wstring, std::vector<std::wstring>> files_in;
    std::vector<std::wstring> unspellable, devices;
    for (const Cchanged_file& file : diff.changed) {
        const std::wstring folder = folder_of(file.path);
        const std::wstring key = upper_case_name(folder);
        if (files_in.count(key) == 0)
            folders.push_back(folder);
        files_in[key].push_back(file.path);
        if (!spelled_in_update_ini(file.path))
            unspellable.push_back(file.path);
        if (is_device_name(name_of(file.path)))
            devices.push_back(file.path);
    }
    if (!unspellable.empty())
        layout.problems.push_back(L"update.ini (Shift-JIS, code page 932) cannot spell these names: " +
                                  listed(unspellable) + L". Rename them with characters of code page 932.");
    if (!devices.empty())
        layout.problems.push_back(L"these files have a device name of Windows (CON, NUL, AUX, COM1, ...) and cannot be "
                                  L"copied as files on a player's Windows: " + listed(devices) + L".");

    const struct {
        const std::wstring& folder;
        int32_t& update;
        std::wstring& field;
    } media_parts[] = {
        {media.bgm, settings.BGM_UPDATE, settings.BGM_FOLDER},
        {media.koe, settings.KOE_UPDATE, settings.KOE_FOLDER},
        {media.mov, settings.MOV_UPDATE, settings.MOV_FOLDER},
    };
    std::vector<std::wstring> folder_entries;
    for (const std::wstring& folder : folders) {
        bool is_media = false;
        for (const auto& part : media_parts) {
            if (!part.folder.empty() && upper_case_name(part.folder) == upper_case_name(folder)) {
                part.update = 1;
                part.field = folder;
                is_media = true;
            }
        }
        if (!is_media && !folder.empty())
            folder_entries.push_back(folder);
    }
    const std::vector<std::wstring>& top_files = files_in[std::wstring()];

    if (folder_entries.size() > COPY_ENTRY_LIMIT)
        layout.problems.push_back(L"changes lie in " + std::to_wstring(folder_entries.size()) +
                                  L" folders besides the media folders, but update.ini has only ten folder entries "
                                  L"(COPY_FOLDER_00 to COPY_FOLDER_09): " + listed(folder_entries) + L".");
    if (top_files.size() > COPY_ENTRY_LIMIT)
        layout.problems.push_back(L"" + std::to_wstring(top_files.size()) +
                                  L" files changed at the top of the game folder, but update.ini has only ten file "
                                  L"entries (COPY_FILE_00 to COPY_FILE_09): " + listed(top_files) + L".");
    if (!layout.problems.empty())
        return layout;

    settings.COPY_FOLDER_COUNT = static_cast<int32_t>(folder_entries.size());
    for (size_t i = 0; i < folder_entries.size(); ++i)
        settings.COPY_FOLDER[i] = folder_entries[i];
    settings.COPY_FILE_COUNT = static_cast<int32_t>(top_files.size());
    for (size_t i = 0; i < top_files.size(); ++i)
        settings.COPY_FILE[i] = top_files[i];
    return layout;
}
