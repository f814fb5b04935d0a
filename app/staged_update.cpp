#include "app/staged_update.h"

#include <windows.h>

#include "fs/file_list.h"
#include "fs/file_ops.h"
#include "fs/paths.h"
#include "fs/text_file.h"

std::wstring staging_path(const std::wstring& destination)
{
    return destination + L".~update-new";
}

std::wstring backup_path(const std::wstring& destination)
{
    return destination + L".~update-old";
}

namespace {

// Opened for writing without truncating and closed again: read-only, held open by another
// program or a folder of that name, it fails here before anything is staged.
bool can_write(const std::wstring& path)
{
    Cfile_handle file;
    return open_file(file, path, L"r+b");
}

}  // namespace

Cstaged_update::~Cstaged_update()
{
    if (!finished_)
        roll_back();
}

bool Cstaged_update::make_folder(const std::wstring& folder, std::wstring& unmade)
{
    const std::wstring key = upper_case_name(folder);
    if (ensured_folders_.count(key) != 0)
        return true;
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
        Cfile_list lister;
        lister.root = path.substr(0, slash) + L"\\";
        lister.name_filter = lister.extension_filter = L"*";
        lister.list_files = lister.list_folders = true;
        lister.scan(std::wstring());
        std::map<std::wstring, bool>& names = listed_[folder];
        for (const Cfile_entry& entry : lister.entries)
            names[upper_case_name(entry.path)] = entry.is_folder;
    }
    const std::map<std::wstring, bool>& names = listed_[folder];
    const auto name = names.find(key.substr(slash + 1));
    return name == names.end() ? Cfound::nothing : name->second ? Cfound::folder : Cfound::file;
}

std::wstring Cstaged_update::prepare(const std::wstring& destination)
{
    const std::wstring key = upper_case_name(destination);
    if (index_.count(key) == 0) {
        // Left by a run that was killed; nothing else of the game is ever removed. A backup whose
        // file is gone was taken while the file was being replaced: it is the game's file, and goes
        // back to its name.
        if (find(staging_path(destination)) == Cfound::file)
            delete_file(staging_path(destination));
        Cfound found = find(destination);
        if (find(backup_path(destination)) == Cfound::file) {
            if (found == Cfound::nothing && move_file(backup_path(destination), destination, false))
                found = Cfound::file;
            else
                delete_file(backup_path(destination));
        }
        Cstaged_file file;
        file.destination = destination;
        file.existed = found == Cfound::file;
        if (found == Cfound::folder || (file.existed && !can_write(destination)))
            return std::wstring();
        index_[key] = files_.size();
        files_.push_back(file);
    }
    return staging_path(files_[index_[key]].destination);
}

std::wstring Cstaged_update::commit()
{
    for (Cstaged_file& file : files_) {
        const std::wstring& destination = file.destination;
        file.in_place = file.existed ? replace_file(destination, staging_path(destination), backup_path(destination))
                                     : move_file(staging_path(destination), destination, false);
        if (!file.in_place) {
            roll_back();
            return destination + L"への書き込みに失敗しました。";
        }
    }
    finished_ = true;
    for (const Cstaged_file& file : files_)
        if (file.existed)
            delete_file(backup_path(file.destination));
    return std::wstring();
}

void Cstaged_update::roll_back()
{
    finished_ = true;
    for (auto file = files_.rbegin(); file != files_.rend(); ++file) {
        // A backup exists only where this run replaced the file, even when the replacing failed
        // halfway and left the old file under the backup's name.
        if (file->existed && file_exists(backup_path(file->destination)))
            move_file(backup_path(file->destination), file->destination, true);
        else if (file->in_place && !file->existed)
            delete_file(file->destination);
        file->in_place = false;
        delete_file(staging_path(file->destination));
    }
    for (auto folder = made_folders_.rbegin(); folder != made_folders_.rend(); ++folder)
        remove_empty_folder(*folder);
}
