#include "update_check/plan_report.h"

#include <algorithm>
#include <set>

#include "fs/folder_walk.h"
#include "fs/paths.h"
#include "update_check/words.h"
#include "update_ini/copy_plan.h"

namespace {

// The source folders the plan copies from, so that a subfolder another entry copies is not
// reported as left behind.
std::set<std::wstring> planned_folders(const std::vector<Ccopy_group>& plan)
{
    std::set<std::wstring> folders;
    for (const Ccopy_group& group : plan)
        folders.insert(lower_ascii(group.folder));
    return folders;
}

// The source check found the file, so its name is what the listing of GAMEDATA does not match.
std::wstring why_no_file_is_selected(const std::wstring& entry)
{
    const bool dot_at_end = !entry.empty() && (entry.back() == L'.' || entry.back() == L' ');
    return words(entry.find_first_of(L"\\/") != std::wstring::npos ? W_IN_SUBFOLDER
                 : is_device_name(entry)                            ? W_DEVICE_NAME
                 : dot_at_end                                       ? W_DOT_AT_END
                                                                    : W_NO_SUCH_FILE);
}

// update.exe joins an entry to GAMEDATA and to the game's folder as written; absolute forms find
// nothing or fail with a box of their own.
void warn_of_absolute_path(const std::wstring& entry, std::vector<Cplan_note>& notes)
{
    if (!entry.empty() && (entry[0] == L'\\' || entry[0] == L'/'))
        notes.push_back({false, words(W_STARTS_WITH_BACKSLASH, {entry})});
    else if (entry.find(L':') != std::wstring::npos)
        notes.push_back({false, words(W_HOLDS_DRIVE, {entry})});
}

std::vector<Cplan_note> judge_group(const Ccopy_group& group, const std::set<std::wstring>& folders,
                                  const std::wstring& source_root, const std::wstring& destination)
{
    std::vector<Cplan_note> notes;
    warn_of_absolute_path(group.entry, notes);
    const bool file_entry = group.folder.empty();
    const bool selects_nothing = group.listing.entries.empty() && group.reached_again.empty();
    if (file_entry && selects_nothing)
        notes.push_back({true, words(W_SELECTS_NO_FILE, {group.entry, why_no_file_is_selected(group.entry)})});
    else if (selects_nothing)
        notes.push_back({false, words(W_NO_FILE_FOUND)});
    for (const Cfile_entry& entry : group.listing.entries)
        if (is_device_name(entry.path))
            notes.push_back({true, words(W_FILE_IS_DEVICE, {relative_path(group, entry)})});
    if (!file_entry) {
        for (const Cfile_entry& sub : walk_folder(join_path(source_root, group.folder)))
            if (sub.is_folder && folders.count(lower_ascii(join_path(group.folder, sub.path))) == 0)
                notes.push_back({false, words(W_SUBFOLDER_LEFT, {sub.path, group.folder})});
    }
    // Only the folder entries make their destination folder; media files need it in place.
    if (!file_entry && !group.makes_destination_folder && !destination.empty() && !group.listing.entries.empty() &&
        !folder_exists(join_path(destination, group.folder)))
        notes.push_back({false, words(W_NO_DESTINATION_FOLDER, {join_path(destination, group.folder)})});
    return notes;
}

}  // namespace

std::vector<Cplan_group> report_plan(const std::vector<Ccopy_group>& plan, const std::wstring& source_root,
                                     const std::wstring& destination, const std::vector<Cchecked>& checks)
{
    const std::set<std::wstring> folders = planned_folders(plan);
    std::vector<Cplan_group> groups;
    for (const Ccopy_group& copy : plan) {
        Cplan_group group;
        group.key = copy.key;
        group.entry = copy.entry;
        // A group whose check fails would list whatever its empty or refused name leads to.
        group.planned = std::any_of(checks.begin(), checks.end(), [&](const Cchecked& check) {
            return check.check == copy.key && check.state == Cfinding_state::passed;
        });
        if (group.planned) {
            for (const Cfile_entry& entry : copy.listing.entries)
                group.files.push_back({relative_path(copy, entry), false, 0, entry.size});
            group.bytes = copy.listing.total_size;
            group.notes = judge_group(copy, folders, source_root, destination);
            for (const std::wstring& path : copy.reached_again)
                group.notes.push_back({false, words(W_REACHED_AGAIN, {path})});
        }
        groups.push_back(group);
    }
    return groups;
}
