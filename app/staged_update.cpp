#include "app/staged_update.h"

#include <windows.h>
#include <io.h>

#include <utility>

#include "fs/file_handle.h"
#include "fs/file_ops.h"
#include "fs/paths.h"
#include "install/free_space.h"

namespace {

// The names an older release gave its own files beside a destination.
std::wstring old_staging_name(const std::wstring& relative)
{
    return relative + L".~update-new";
}

std::wstring old_backup_name(const std::wstring& relative)
{
    return relative + L".~update-old";
}

}  // namespace

Cstaged_update::~Cstaged_update()
{
    if (pending_)
        roll_back();
}

std::wstring Cstaged_update::shown(const std::wstring& relative) const
{
    return join_path(shown_, relative);
}

std::wstring Cstaged_update::link_problem(const Cgame_path& path)
{
    const std::wstring link = game_.first_link(path);
    return link.empty() ? std::wstring() : shown(link) + L"はリンクのため、上書きできません。";
}

std::wstring Cstaged_update::begin(size_t file_count)
{
    files_.reserve(file_count);
    if (!journal_.open())
        return shown(UPDATE_FOLDER) + L"が作成できませんでした。";
    begun_ = pending_ = true;
    return std::wstring();
}

std::wstring Cstaged_update::make_journaled_folders(const std::wstring& relative)
{
    const Cgame_path folder = game_.game_path(relative);
    if (folder.empty())
        return shown(relative) + L"が作成できませんでした。";
    const std::wstring key = upper_case_name(folder.relative());
    if (ensured_folders_.count(key) != 0)
        return std::wstring();
    const std::wstring link = link_problem(folder);
    if (!link.empty())
        return link;
    // The missing ones, top first, each written down before it is made.
    std::vector<Cgame_path> missing;
    for (std::wstring above = folder.relative(); !above.empty() && !folder_exists(game_.game_path(above).whole());
         above = relative_parent(above))
        missing.insert(missing.begin(), game_.game_path(above));
    for (const Cgame_path& made : missing) {
        if (!journal_.add_folder(made))
            return shown(made.relative()) + L"が作成できませんでした。";
        if (make_new_folder(made.whole()))
            made_folders_.push_back(made);
        else if (!folder_exists(made.whole()))
            return shown(made.relative()) + L"が作成できませんでした。";
    }
    ensured_folders_.insert(key);
    return std::wstring();
}

Cstaged_update::Cfound Cstaged_update::find(const Cgame_path& path)
{
    const uint32_t attributes = listing_.attributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return Cfound::nothing;
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? Cfound::link
           : (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0   ? Cfound::folder
                                                             : Cfound::file;
}

// Asked once per folder: the staging file lies elsewhere, and the folder must be there to take it.
bool Cstaged_update::has_folder(const Cgame_path& destination)
{
    const std::wstring folder = path_folder(destination.whole());
    if (ensured_folders_.count(upper_case_name(relative_parent(destination.relative()))) != 0)
        return true;
    if (!folder_exists(folder))
        return false;
    ensured_folders_.insert(upper_case_name(relative_parent(destination.relative())));
    return true;
}

// An older release staged beside each file. A backup whose file is gone was taken while the file
// was being replaced: it is the game's file, and goes back to its name. Links are left alone.
void Cstaged_update::put_back_leftovers(const Cgame_path& destination, Cfound& found)
{
    const Cgame_path staging = game_.game_path(old_staging_name(destination.relative()));
    const Cgame_path backup = game_.game_path(old_backup_name(destination.relative()));
    if (find(staging) == Cfound::file && game_.reached_directly(staging))
        delete_file(staging.whole());
    if (find(backup) != Cfound::file || !game_.reached_directly(backup))
        return;
    if (found == Cfound::nothing && move_file(backup.whole(), destination.whole(), false))
        found = Cfound::file;
    else if (found == Cfound::file)
        delete_file(backup.whole());
}

// The folders on the way are asked of Windows, once each; the name itself is told by its folder's
// listing, and a file that is there by the file opened.
std::wstring Cstaged_update::admit(const Cgame_path& destination, const std::wstring& relative, bool& existed)
{
    const std::wstring folder_link = game_.first_folder_link(destination);
    if (!folder_link.empty())
        return shown(folder_link) + L"はリンクのため、上書きできません。";
    Cfound found = find(destination);
    if (found == Cfound::link)
        return shown(relative) + L"はリンクのため、上書きできません。";
    put_back_leftovers(destination, found);
    existed = found == Cfound::file;
    if (found == Cfound::folder || (found == Cfound::nothing && !has_folder(destination)))
        return shown(relative) + L"が開けませんでした。";
    if (!existed)
        return std::wstring();
    // Opened for writing without truncating and closed again: read-only or held open by another
    // program, it fails here before anything is staged.
    Cfile_handle file;
    if (!open_file(file, destination.whole(), L"r+b"))
        return shown(relative) + L"が開けませんでした。";
    if (!game_.opened_directly(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file.stream))), destination))
        return shown(relative) + L"はリンクのため、上書きできません。";
    return std::wstring();
}

std::wstring Cstaged_update::add_file(const Cgame_path& destination, bool existed)
{
    Cjournal_file file;
    file.number = files_.size();
    const Cgame_path folder = staging_folder(game_, file.number);
    if (file.number % STAGED_FILES_PER_FOLDER == 0 && !make_new_folder(folder.whole()))
        return shown(folder.relative()) + L"が作成できませんでした。";
    file.existed = existed;
    file.relative = destination.relative();
    files_.push_back(std::move(file));
    return std::wstring();
}

std::wstring Cstaged_update::prepare(const std::wstring& relative, std::wstring& staging)
{
    const Cgame_path destination = game_.game_path(relative);
    if (destination.empty())
        return shown(relative) + L"が開けませんでした。";
    bool existed = false;
    std::wstring problem = admit(destination, relative, existed);
    if (problem.empty())
        problem = add_file(destination, existed);
    if (!problem.empty())
        return problem;
    staging = staging_path(game_, files_.back().number).whole();
    return std::wstring();
}

std::wstring Cstaged_update::put_in_place()
{
    const std::wstring journal_problem = shown(join_path(UPDATE_FOLDER, L"journal")) + L"への書き込みに失敗しました。";
    if (!journal_.mark_committed(files_)) {
        roll_back();
        return journal_problem;
    }
    committed_ = true;
    // Asked again now that files move: a folder swapped for a link since it was checked is not
    // followed.
    game_.forget_checked_folders();
    for (size_t i = 0; i < files_.size(); ++i) {
        const Cjournal_file& file = files_[i];
        const Cgame_path destination = game_.game_path(file.relative);
        const Cgame_path staging = staging_path(game_, file.number);
        // A new file is moved without replacing: whatever stands at its name by now, a link too,
        // makes the move fail. Only the folders on its way are asked again.
        const bool reached = file.existed ? game_.reached_directly(destination)
                                          : !destination.empty() && game_.first_folder_link(destination).empty();
        const bool in_place = reached &&
                              (file.existed ? replace_file(destination.whole(), staging.whole(), backup_path(game_, file.number).whole())
                                            : move_file(staging.whole(), destination.whole(), false));
        if (!in_place) {
            roll_back();
            return shown(file.relative) + L"への書き込みに失敗しました。";
        }
        // A replaced file keeps its own access list; a new one takes its folder's, not the update
        // folder's.
        if (!file.existed)
            inherit_access(destination.whole());
    }
    // Not marked, the next run would take every file for one that may not be in place, and put
    // the old game back: so this run does it now, and says so.
    if (!journal_.mark_done()) {
        roll_back();
        return journal_problem;
    }
    pending_ = false;
    journal_.remove();
    return std::wstring();
}

void Cstaged_update::roll_back()
{
    pending_ = false;
    bool all_back = true;
    // Before the commit no game file was touched: whatever lies at a destination is not the run's.
    for (auto file = files_.rbegin(); committed_ && file != files_.rend(); ++file)
        all_back = put_back(game_, *file) && all_back;
    for (auto folder = made_folders_.rbegin(); folder != made_folders_.rend(); ++folder)
        all_back = remove_empty_folder(folder->whole()) && all_back;
    // What could not go back stays, with the journal that tells the next run about it.
    if (begun_ && all_back)
        journal_.remove();
}
