#include "app/update_journal.h"

#include <windows.h>

#include <set>

#include "fs/folder_walk.h"
#include "fs/paths.h"
#include "fs/text.h"
#include "install/free_space.h"
#include "install/run_record.h"

namespace {

const wchar_t* const JOURNAL_FILE = L"journal";
const char* const RUN_LINE = "run ";
const char* const COMMIT_LINE = "commit";
const char* const DONE_LINE = "done";
// More files than any update ships, and few enough digits that no number overflows.
const size_t MOST_NUMBER_DIGITS = 9;

std::string utf8(const std::wstring& text)
{
    std::string bytes(text.size() * 3, '\0');
    bytes.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                         &bytes[0], static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

// Empty when the bytes are not UTF-8 as this program writes it.
std::wstring from_utf8(const std::string& bytes)
{
    std::wstring text(bytes.size(), L'\0');
    text.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                                        static_cast<int>(bytes.size()), &text[0],
                                                        static_cast<int>(text.size()))));
    return text;
}

bool starts_with(const std::string& line, const char* start)
{
    return line.compare(0, strlen(start), start) == 0;
}

// What a journal says, read from its whole lines.
struct Cjournal_read {
    std::vector<Cgame_path> folders;
    std::vector<Cjournal_file> files;
    bool committed = false;
    bool done = false;
};

enum class Cjournal_state { read, not_begun, unreadable, broken, not_ours };

// A path the journal names: below the game folder, outside the update's folder, and written as
// this program writes it, so that nothing the journal says can lead a move or a delete elsewhere.
Cgame_path named_path(const Cgame_folder& game, const std::string& bytes)
{
    const std::wstring relative = from_utf8(bytes);
    const Cgame_path path = game.game_path(relative);
    return !path.empty() && path.relative() == relative ? path : Cgame_path();
}

// "<number> <0|1> <path>": a number written as this program writes it, once in the journal.
bool read_file_line(const Cgame_folder& game, const std::string& line, std::set<size_t>& numbers, Cjournal_file& file)
{
    const size_t blank = line.find(' ');
    if (blank == 0 || blank > MOST_NUMBER_DIGITS || blank + 3 > line.size() || line[blank + 2] != ' ' ||
        line.find_first_not_of("0123456789") != blank || (line[0] == '0' && blank > 1) ||
        (line[blank + 1] != '0' && line[blank + 1] != '1'))
        return false;
    file.number = static_cast<size_t>(strtoul(line.substr(0, blank).c_str(), nullptr, 10));
    file.existed = line[blank + 1] == '1';
    const Cgame_path path = named_path(game, line.substr(blank + 3));
    file.relative = path.relative();
    return !path.empty() && numbers.insert(file.number).second;
}

// Every line is checked before anything is touched: one that breaks a rule refuses the journal
// whole. The first line must carry the token recorded for this run.
Cjournal_state read_journal(const Cgame_folder& game, const std::wstring& token, Cjournal_read& journal)
{
    std::string bytes;
    if (read_file_bytes(game.update_path(JOURNAL_FILE).whole(), bytes) != Ctext_read::read)
        return Cjournal_state::unreadable;
    std::set<size_t> numbers;
    std::set<std::wstring> places;
    size_t count = 0;
    for (size_t at = 0, end; (end = bytes.find('\n', at)) != std::string::npos; at = end + 1, ++count) {
        const std::string line = bytes.substr(at, end - at);
        if (count == 0) {
            if (line != RUN_LINE + utf8(token))
                return Cjournal_state::not_ours;
        } else if (journal.done) {
            return Cjournal_state::broken;
        } else if (line == COMMIT_LINE && !journal.committed) {
            journal.committed = true;
        } else if (line == DONE_LINE && journal.committed) {
            journal.done = true;
        } else if (starts_with(line, "folder ") && !journal.committed) {
            journal.folders.push_back(named_path(game, line.substr(7)));
            if (journal.folders.back().empty())
                return Cjournal_state::broken;
        } else if (starts_with(line, "file ") && !journal.committed) {
            Cjournal_file file;
            if (!read_file_line(game, line.substr(5), numbers, file) || !places.insert(upper_case_name(file.relative)).second)
                return Cjournal_state::broken;
            journal.files.push_back(file);
        } else {
            return Cjournal_state::broken;
        }
    }
    return count == 0 ? Cjournal_state::not_begun : Cjournal_state::read;
}

// A staging or backup file of a run: digits, then ".new" or ".old".
bool is_run_file(const std::wstring& name)
{
    const size_t dot = name.find(L'.');
    if (dot == 0 || dot == std::wstring::npos || name.find_first_not_of(L"0123456789") != dot)
        return false;
    const std::wstring extension = upper_case_name(name.substr(dot));
    return extension == L".NEW" || extension == L".OLD";
}

bool is_number(const std::wstring& name)
{
    return !name.empty() && name.find_first_not_of(L"0123456789") == std::wstring::npos;
}

bool is_link_entry(const Cfile_entry& entry)
{
    return (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// The staging and backup files directly inside a numbered subfolder of the update's.
void remove_run_files(const Cgame_folder& game, const std::wstring& folder)
{
    for (const Cfile_entry& entry : walk_folder(game.update_path(folder).whole()))
        if (!entry.is_folder && !is_link_entry(entry) && is_run_file(entry.path))
            delete_file(game.update_path(join_path(folder, entry.path)).whole());
}

// Every staging and backup file left in the update's numbered subfolders, the journal last, then
// the folder, then the record: a kill on the way leaves the journal as long as a file it speaks of
// is there. Anything else in the folder is not the update's, and stays, and so do the folder and
// the record.
void remove_place(const Cgame_folder& game)
{
    const Cgame_path place = game.update_path(L"");
    for (const Cfile_entry& entry : walk_folder(place.whole()))
        if (entry.is_folder && !is_link_entry(entry) && is_number(entry.path)) {
            remove_run_files(game, entry.path);
            remove_empty_folder(game.update_path(entry.path).whole());
        }
    delete_file(game.update_path(JOURNAL_FILE).whole());
    remove_empty_folder(place.whole());
    if (GetFileAttributesW(long_path(place.whole()).c_str()) == INVALID_FILE_ATTRIBUTES)
        forget_run(game.key());
}

// Where one file of a run cut short stands, told by what of the run is left on the disk. Each
// state has one action that puts the file back as it was before the run.
enum class Cfile_state {
    in_staging,              // not yet in place: the game's file was never touched; nothing to do
    replaced_and_backed_up,  // its old content under the backup's name: it goes back over the file
    added,                   // a new file, in place: it is removed
    already_back,            // nothing of the run is left for it; nothing to do
};

Cfile_state state_of(const Cgame_folder& game, const Cjournal_file& file, const Cgame_path& destination)
{
    // A backup is there only once the replace has begun, even when it stopped halfway.
    if (file.existed && file_exists(backup_path(game, file.number).whole()))
        return Cfile_state::replaced_and_backed_up;
    if (file_exists(staging_path(game, file.number).whole()))
        return Cfile_state::in_staging;
    return !file.existed && file_exists(destination.whole()) ? Cfile_state::added : Cfile_state::already_back;
}


}  // namespace

// Windows reads a whole folder to find a name that is not there yet: in folders of a bounded size
// a staging file costs the same whether the update has ten files or ten thousand.
Cgame_path staging_folder(const Cgame_folder& game, size_t number)
{
    return game.update_path(std::to_wstring(number / STAGED_FILES_PER_FOLDER));
}

namespace {

Cgame_path run_file(const Cgame_folder& game, size_t number, const wchar_t* extension)
{
    return game.update_path(join_path(std::to_wstring(number / STAGED_FILES_PER_FOLDER), std::to_wstring(number) + extension));
}

}  // namespace

Cgame_path staging_path(const Cgame_folder& game, size_t number)
{
    return run_file(game, number, L".new");
}

Cgame_path backup_path(const Cgame_folder& game, size_t number)
{
    return run_file(game, number, L".old");
}

bool Cupdate_journal::open()
{
    const std::wstring token = new_run_token();
    if (token.empty() || !record_run(game_.key(), token))
        return false;
    // Whatever lies there already is not this run's, and stays as it is.
    if (!make_private_folder(game_.update_path(L"").whole())) {
        forget_run(game_.key());
        return false;
    }
    made_ = true;
    if (file_.create(game_.update_path(JOURNAL_FILE).whole()) && file_.append(RUN_LINE + utf8(token) + "\n") &&
        file_.flush())
        return true;
    remove();
    return false;
}

bool Cupdate_journal::add_folder(const Cgame_path& folder)
{
    // On the disk before the folder is made, so that a power cut cannot leave a folder no journal
    // names; an update makes few folders.
    return file_.append("folder " + utf8(folder.relative()) + "\n") && file_.flush();
}

bool Cupdate_journal::mark_committed(const std::vector<Cjournal_file>& files)
{
    // Written a block at a time: the lines of a big update are never all in memory at once.
    const size_t block = 65536;
    std::string lines;
    for (const Cjournal_file& file : files) {
        lines += "file " + std::to_string(file.number) + (file.existed ? " 1 " : " 0 ") + utf8(file.relative) + "\n";
        if (lines.size() >= block) {
            if (!file_.append(lines))
                return false;
            lines.clear();
        }
    }
    return file_.append(lines + COMMIT_LINE + "\n") && file_.flush();
}

bool Cupdate_journal::mark_done()
{
    return file_.append(std::string(DONE_LINE) + "\n") && file_.flush();
}

void Cupdate_journal::remove()
{
    file_.close();
    if (made_)
        remove_place(game_);
    made_ = false;
}

bool put_back(Cgame_folder& game, const Cjournal_file& file)
{
    const Cgame_path destination = game.game_path(file.relative);
    if (!game.reached_directly(destination))
        return false;
    switch (state_of(game, file, destination)) {
    case Cfile_state::replaced_and_backed_up:
        return move_file(backup_path(game, file.number).whole(), destination.whole(), true);
    case Cfile_state::added:
        return delete_file(destination.whole());
    case Cfile_state::in_staging:
    case Cfile_state::already_back:
        break;
    }
    return true;
}

Cunfinished finish_unfinished_update(Cgame_folder& game)
{
    const Cgame_path place = game.update_path(L"");
    if (!game.is_open())
        return Cunfinished::none;
    const DWORD attributes = GetFileAttributesW(long_path(place.whole()).c_str());
    const std::wstring token = recorded_run(game.key());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        forget_run(game.key());
        return Cunfinished::none;
    }
    if (token.empty() || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || !game.reached_directly(place))
        return Cunfinished::not_ours;
    // Without a journal, or without its first line, the run had not begun, or had ended but for
    // removing the folder.
    Cjournal_read journal;
    const Cjournal_state state = file_exists(game.update_path(JOURNAL_FILE).whole())
                                     ? read_journal(game, token, journal) : Cjournal_state::not_begun;
    switch (state) {
    case Cjournal_state::read:
        break;
    case Cjournal_state::not_begun:
        remove_place(game);
        return Cunfinished::none;
    case Cjournal_state::unreadable:
        return Cunfinished::unreadable;
    case Cjournal_state::broken:
        return Cunfinished::broken;
    case Cjournal_state::not_ours:
        return Cunfinished::not_ours;
    }
    bool all_back = true;
    if (journal.committed && !journal.done)
        for (auto file = journal.files.rbegin(); file != journal.files.rend(); ++file)
            all_back = put_back(game, *file) && all_back;
    // A folder the run made that cannot go yet is as much left of it as a file.
    if (!journal.done)
        for (auto folder = journal.folders.rbegin(); folder != journal.folders.rend(); ++folder)
            all_back = (!game.reached_directly(*folder) || remove_empty_folder(folder->whole())) && all_back;
    if (!all_back)
        return Cunfinished::stuck;
    remove_place(game);
    return journal.done ? Cunfinished::completed : Cunfinished::rolled_back;
}
