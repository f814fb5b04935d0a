#include "install/game_listing.h"

#include <algorithm>
#include <cwchar>

#include "fs/folder_walk.h"
#include "fs/paths.h"

const Cgame_listing::Cnames& Cgame_listing::names_in(const std::wstring& relative_folder)
{
    const std::wstring key = upper_case_name(relative_folder);
    const auto listed = folders_.find(key);
    if (listed != folders_.end())
        return listed->second;
    Cnames& names = folders_[key];
    // A folder the rules refuse holds nothing the update may reach.
    const Cgame_path folder = game_.game_path(relative_folder);
    if (!relative_folder.empty() && folder.empty())
        return names;
    for (const Cfile_entry& entry : walk_folder(relative_folder.empty() ? game_.final_path() : folder.whole())) {
        names.entries.emplace_back(static_cast<uint32_t>(names.text.size()), entry.attributes);
        names.text += upper_case_name(entry.path);
        names.text += L'\0';
    }
    const wchar_t* text = names.text.c_str();
    std::sort(names.entries.begin(), names.entries.end(),
              [text](const std::pair<uint32_t, uint32_t>& a, const std::pair<uint32_t, uint32_t>& b) {
                  return wcscmp(text + a.first, text + b.first) < 0;
              });
    return names;
}

uint32_t Cgame_listing::attributes(const std::wstring& relative_folder, const std::wstring& name)
{
    const Cnames& names = names_in(relative_folder);
    const std::wstring wanted = upper_case_name(name);
    const wchar_t* text = names.text.c_str();
    const auto found = std::lower_bound(names.entries.begin(), names.entries.end(), wanted,
                                        [text](const std::pair<uint32_t, uint32_t>& entry, const std::wstring& key) {
                                            return wcscmp(text + entry.first, key.c_str()) < 0;
                                        });
    return found != names.entries.end() && wanted == text + found->first ? found->second : INVALID_FILE_ATTRIBUTES;
}

uint32_t Cgame_listing::attributes(const Cgame_path& path)
{
    if (path.empty())
        return INVALID_FILE_ATTRIBUTES;
    return attributes(relative_parent(path.relative()), path.relative().substr(path.relative().rfind(L'\\') + 1));
}

bool Cgame_listing::has_file(const std::wstring& relative_folder, const std::wstring& name)
{
    const uint32_t found = attributes(relative_folder, name);
    return found != INVALID_FILE_ATTRIBUTES && (found & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}
