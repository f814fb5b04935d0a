#include "app/staged_update.h"

#include <windows.h>

#include "fs/file_handle.h"
#include "fs/file_ops.h"
#include "fs/folder_walk.h"
#include "fs/paths.h"
#include "install/free_space.h"

namespace {

// Opened for writing without truncating and closed again: read-only, held open by another
// program or a folder of that name, it fails here before anything is staged.
bool can_write(const std::wstring& path)
{
    Cfile_handle file;
    return open_file(file, path, L"r+b");
}

// The names an older release gave its own files beside a destination.
std::wstring old_staging_path(const std::wstring& destination)
{
    return destination + L".~update-new";
}

std::wstring old_backup_path(const std::wstring& destination)
{
    return destination + L".~update-old";
}

}  // namespace

Cstaged_update::~Cstaged_update()
{
    if (!finished_)
        roll_back();
}

std::wstring Cstaged_update::begin()
{
    if (!journal_.open(game_))
        return journal_place(game_) + L"が作成できませんでした。";
    begun_ = true;
    return std::wstring();
}

bool Cstaged_update::make_folder(const std::wstring& folder, std::wstring& unmade)
{
    const std::wstring key = upper_case_name(folder);
    if (ensured_folders_.count(key) != 0)
        return true;
    // The missing ones, top first, are written down before any is made.
    std::vector<std::wstring> missing;
    for (std::wstring above = folder; above.size() > game_.size() && !folder_exists(above); above = path_folder(above))
        missing.insert(missing.begin(), above);
    for (const std::wstring& made : missing)
        if (!journal_.add_folder(made.substr(game_.size() + 1))) {
            unmade = made;
            return false;
        }
    if (!::make_folder(folder, unmade, &made_folders_))
        return false;
    ensured_folders_.insert(key);
    return true;
}

Cstaged_update::Cfound Cstaged_update::find(const std::wstring& path)
{
    const std::wstring key = upper_case_name(path);
    const size_t slash = key.rfind(L'\\');
    const std::wstring folder = key.substr(0, slash);
    if (listed_.count(folder) == 0) {
        std::map<std::wstring, bool>& names = listed_[folder];
        for (const Cfile_entry& entry : walk_folder(path.substr(0, slash)))
            names[upper_case_name(entry.path)] = entry.is_folder;
    }
    const std::map<std::wstring, bool>& names = listed_[folder];
    const auto name = names.find(key.substr(slash + 1));
    return name == names.end() ? Cfound::nothing : name->second ? Cfound::folder : Cfound::file;
}

// Asked once per folder: the staging file lies elsewhere, and the folder must be there to take it.
bool Cstaged_update::has_folder(const std::wstring& destination)
{
    const std::wstring folder = path_folder(destination);
    if (ensured_folders_.count(upper_case_name(folder)) != 0)
        return true;
    if (!folder_exists(folder))
        return false;
    ensured_folders_.insert(upper_case_name(folder));
    return true;
}

// An older release staged beside each file. A backup whose file is gone was taken while the file
// was being replaced: it is the game's file, and goes back to its name. Links are left alone.
void Cstaged_update::put_back_leftovers(const std::wstring& destination, Cfound& found)
{
    const std::wstring staging = old_staging_path(destination), backup = old_backup_path(destination);
    if (find(staging) == Cfound::file && !is_link(staging))
        delete_file(staging);
    if (find(backup) != Cfound::file || is_link(backup))
        return;
    if (found == Cfound::nothing && move_file(backup, destination, false))
        found = Cfound::file;
    else if (found == Cfound::file)
        delete_file(backup);
}

std::wstring Cstaged_update::prepare(const std::wstring& destination, std::wstring& staging)
{
    const std::wstring key = upper_case_name(destination);
    if (index_.count(key) == 0) {
        Cfound found = find(destination);
        put_back_leftovers(destination, found);
        if (found == Cfound::file && is_link(destination))
            return destination + L"はリンクのため、上書きできません。";
        if (found == Cfound::folder || (found == Cfound::file && !can_write(destination)) ||
            (found == Cfound::nothing && !has_folder(destination)))
            return destination + L"が開けませんでした。";
        Cjournal_file file;
        file.number = files_.size();
        if (file.number % STAGED_FILES_PER_FOLDER == 0 && !make_new_folder(staging_folder(game_, file.number)))
            return staging_folder(game_, file.number) + L"が作成できませんでした。";
        file.existed = found == Cfound::file;
        file.relative = destination.substr(game_.size() + 1);
        index_[key] = files_.size();
        files_.push_back(file);
        in_place_.push_back(false);
    }
    staging = staging_path(game_, files_[index_[key]].number);
    return std::wstring();
}

std::wstring Cstaged_update::commit()
{
    if (!journal_.commit(files_)) {
        roll_back();
        return join_path(journal_place(game_), L"journal") + L"への書き込みに失敗しました。";
    }
    for (size_t i = 0; i < files_.size(); ++i) {
        const Cjournal_file& file = files_[i];
        const std::wstring destination = join_path(game_, file.relative);
        const std::wstring staging = staging_path(game_, file.number);
        in_place_[i] = file.existed ? replace_file(destination, staging, backup_path(game_, file.number))
                                    : move_file(staging, destination, false);
        if (!in_place_[i]) {
            roll_back();
            return destination + L"への書き込みに失敗しました。";
        }
    }
    finished_ = true;
    // Not marked, the next run would put the old files back; marked, it only cleans up.
    journal_.mark_done();
    journal_.remove();
    return std::wstring();
}

void Cstaged_update::roll_back()
{
    finished_ = true;
    bool all_back = true;
    for (size_t i = files_.size(); i-- > 0;) {
        const Cjournal_file& file = files_[i];
        const std::wstring destination = join_path(game_, file.relative);
        const std::wstring backup = backup_path(game_, file.number);
        // A backup exists only where this run replaced the file, even when the replacing failed
        // halfway and left the old file under the backup's name.
        if (file.existed && file_exists(backup))
            all_back = move_file(backup, destination, true) && all_back;
        else if (in_place_[i] && !file.existed)
            delete_file(destination);
        in_place_[i] = false;
    }
    for (auto folder = made_folders_.rbegin(); folder != made_folders_.rend(); ++folder)
        remove_empty_folder(*folder);
    // A backup that could not go back stays, with the journal that tells the next run about it.
    if (begun_ && all_back)
        journal_.remove();
}
