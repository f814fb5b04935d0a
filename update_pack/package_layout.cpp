#include "update_pack/package_layout.h"

#include <windows.h>

#include <algorithm>
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

// How many packages n entries of one kind take, ten to a package.
size_t packages_for(size_t n)
{
    return (n + COPY_ENTRY_LIMIT - 1) / COPY_ENTRY_LIMIT;
}

bool is_media_folder(const std::wstring& folder, const Cmedia_folders& media)
{
    for (const std::wstring& part : media)
        if (!part.empty() && upper_case_name(part) == upper_case_name(folder))
            return true;
    return false;
}

// Switches on each media folder that holds changes, spelled as the new game spells it.
void set_media_folders(Cupdate_settings& settings, const std::vector<std::wstring>& folders, const Cmedia_folders& media)
{
    for (const std::wstring& folder : folders) {
        for (int part = 0; part < MEDIA_PART_COUNT; ++part) {
            if (!media[part].empty() && upper_case_name(media[part]) == upper_case_name(folder)) {
                settings.*MEDIA_PARTS[part].update = 1;
                settings.*MEDIA_PARTS[part].folder = folder;
            }
        }
    }
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

    if (!layout.problems.empty())
        return layout;

    std::vector<std::wstring> folder_entries;
    for (const std::wstring& folder : folders)
        if (!folder.empty() && !is_media_folder(folder, media))
            folder_entries.push_back(folder);
    const std::vector<std::wstring>& top_files = files_in[std::wstring()];
    const size_t count = std::max<size_t>({1, packages_for(folder_entries.size()), packages_for(top_files.size())});
    layout.packages.resize(count);
    for (Cchain_package& package : layout.packages) {
        package.settings.GAME_NAME = game_name;
        package.settings.REG_NAME = registry_name;
    }
    set_media_folders(layout.packages.front().settings, folders, media);

    // Upper-cased folder (or top file) -> the package that brings it.
    std::map<std::wstring, size_t> package_of;
    for (size_t i = 0; i < folder_entries.size(); ++i) {
        Cupdate_settings& settings = layout.packages[i / COPY_ENTRY_LIMIT].settings;
        settings.COPY_FOLDER[settings.COPY_FOLDER_COUNT++] = folder_entries[i];
        package_of[upper_case_name(folder_entries[i])] = i / COPY_ENTRY_LIMIT;
    }
    for (size_t i = 0; i < top_files.size(); ++i) {
        Cupdate_settings& settings = layout.packages[i / COPY_ENTRY_LIMIT].settings;
        settings.COPY_FILE[settings.COPY_FILE_COUNT++] = top_files[i];
        package_of[upper_case_name(top_files[i])] = i / COPY_ENTRY_LIMIT;
    }
    for (const Cchanged_file& file : diff.changed) {
        const std::wstring folder = folder_of(file.path);
        const auto found = package_of.find(upper_case_name(folder.empty() ? file.path : folder));
        layout.packages[found == package_of.end() ? 0 : found->second].files.push_back(file);
    }
    return layout;
}
