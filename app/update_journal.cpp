#include "app/update_journal.h"

#include <windows.h>

#include <cstdlib>

#include "fs/file_handle.h"
#include "fs/folder_walk.h"
#include "fs/paths.h"
#include "fs/text.h"
#include "install/free_space.h"

namespace {

const wchar_t* const JOURNAL_FILE = L"journal";
const char* const COMMIT_LINE = "commit";
const char* const DONE_LINE = "done";

std::wstring journal_path(const std::wstring& game)
{
    return join_path(journal_place(game), JOURNAL_FILE);
}

std::string utf8(const std::wstring& text)
{
    std::string bytes(text.size() * 3, '\0');
    bytes.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                         &bytes[0], static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

std::wstring from_utf8(const std::string& bytes)
{
    std::wstring text(bytes.size(), L'\0');
    text.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                        &text[0], static_cast<int>(text.size()))));
    return text;
}

// What a journal says, read from its whole lines: a line cut short by a kill is not one.
struct Cjournal_read {
    std::vector<std::wstring> folders;
    std::vector<Cjournal_file> files;
    bool committed = false;
    bool done = false;
};

Cjournal_read read_journal(const std::wstring& game)
{
    Cjournal_read journal;
    Cfile_handle file;
    if (!open_file(file, journal_path(game), L"rb") || file.size > TEXT_FILE_LIMIT)
        return journal;
    std::string bytes(static_cast<size_t>(file.size), '\0');
    bytes.resize(bytes.empty() ? 0 : fread(&bytes[0], 1, bytes.size(), file.stream));
    for (size_t at = 0, end; (end = bytes.find('\n', at)) != std::string::npos; at = end + 1) {
        const std::string line = bytes.substr(at, end - at);
        if (line == COMMIT_LINE)
            journal.committed = true;
        else if (line == DONE_LINE)
            journal.done = true;
        else if (line.compare(0, 7, "folder ") == 0)
            journal.folders.push_back(from_utf8(line.substr(7)));
        else if (line.compare(0, 5, "file ") == 0) {
            // file <number> <0|1: existed> <relative path>
            const size_t blank = line.find(' ', 5);
            if (blank == std::string::npos || blank + 3 > line.size())
                continue;
            Cjournal_file entry;
            entry.number = static_cast<size_t>(strtoul(line.substr(5, blank - 5).c_str(), nullptr, 10));
            entry.existed = line[blank + 1] == '1';
            entry.relative = from_utf8(line.substr(blank + 3));
            journal.files.push_back(entry);
        }
    }
    return journal;
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

// The staging and backup files directly inside folder.
void remove_run_files(const std::wstring& folder)
{
    for (const Cfile_entry& entry : walk_folder(folder))
        if (!entry.is_folder && is_run_file(entry.path))
            delete_file(join_path(folder, entry.path));
}

// Every staging and backup file left in the journal's folder and its numbered subfolders (an older
// release kept them all in the folder itself), the journal last, then the folder: a kill on the
// way leaves the journal as long as a file it speaks of is there. Anything else in a folder of
// that name is not the update's, and stays, and so does the folder.
void remove_place(const std::wstring& game)
{
    const std::wstring place = journal_place(game);
    for (const Cfile_entry& entry : walk_folder(place))
        if (entry.is_folder && is_number(entry.path) && (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
            remove_run_files(join_path(place, entry.path));
            remove_empty_folder(join_path(place, entry.path));
        }
    remove_run_files(place);
    delete_file(journal_path(game));
    remove_empty_folder(place);
}

// Where a run left file number's staging or backup file: in its subfolder, or, from an older
// release, in the journal's folder itself.
std::wstring left_file(const std::wstring& game, size_t number, const wchar_t* extension)
{
    const std::wstring name = std::to_wstring(number) + extension;
    const std::wstring flat = join_path(journal_place(game), name);
    const std::wstring nested = join_path(staging_folder(game, number), name);
    return !file_exists(nested) && file_exists(flat) ? flat : nested;
}

// Puts one file back as it was before the run: its backup over it, wherever the replace stopped;
// a new file removed once it left its staging name. Never through a link.
bool put_back(const std::wstring& game, const Cjournal_file& file)
{
    const std::wstring destination = join_path(game, file.relative);
    const std::wstring backup = left_file(game, file.number, L".old");
    if (file.existed)
        return !file_exists(backup) || move_file(backup, destination, true);
    if (file_exists(left_file(game, file.number, L".new")) || !file_exists(destination) || is_link(destination))
        return true;
    return delete_file(destination);
}

}  // namespace

std::wstring journal_place(const std::wstring& game)
{
    return join_path(game, JOURNAL_FOLDER);
}

// Windows reads a whole folder to find a name that is not there yet: in folders of a bounded size
// a staging file costs the same whether the update has ten files or ten thousand.
std::wstring staging_folder(const std::wstring& game, size_t number)
{
    return join_path(journal_place(game), std::to_wstring(number / STAGED_FILES_PER_FOLDER));
}

std::wstring staging_path(const std::wstring& game, size_t number)
{
    return join_path(staging_folder(game, number), std::to_wstring(number) + L".new");
}

std::wstring backup_path(const std::wstring& game, size_t number)
{
    return join_path(staging_folder(game, number), std::to_wstring(number) + L".old");
}

bool Cupdate_journal::open(const std::wstring& game)
{
    game_ = game;
    return make_new_folder(journal_place(game)) && file_.create(journal_path(game));
}

bool Cupdate_journal::add_folder(const std::wstring& relative)
{
    // On the disk before the folder is made, so that a power cut cannot leave a folder no journal
    // names; an update makes few folders.
    return file_.append("folder " + utf8(relative) + "\n") && file_.flush();
}

bool Cupdate_journal::commit(const std::vector<Cjournal_file>& files)
{
    std::string lines;
    for (const Cjournal_file& file : files)
        lines += "file " + std::to_string(file.number) + (file.existed ? " 1 " : " 0 ") + utf8(file.relative) + "\n";
    return file_.append(lines + COMMIT_LINE + "\n") && file_.flush();
}

bool Cupdate_journal::mark_done()
{
    return file_.append(std::string(DONE_LINE) + "\n") && file_.flush();
}

void Cupdate_journal::remove()
{
    file_.close();
    remove_place(game_);
}

Cunfinished finish_unfinished_update(const std::wstring& game)
{
    if (!folder_exists(journal_place(game)) || is_link(journal_place(game)))
        return Cunfinished::none;
    // Without a journal the run had not begun, or had ended but for removing the folder.
    if (!file_exists(journal_path(game))) {
        remove_place(game);
        return Cunfinished::none;
    }
    const Cjournal_read journal = read_journal(game);
    if (journal.committed && !journal.done) {
        bool all_back = true;
        for (auto file = journal.files.rbegin(); file != journal.files.rend(); ++file)
            all_back = put_back(game, *file) && all_back;
        if (!all_back)
            return Cunfinished::stuck;
    }
    if (!journal.done)
        for (auto folder = journal.folders.rbegin(); folder != journal.folders.rend(); ++folder)
            remove_empty_folder(join_path(game, *folder));
    remove_place(game);
    return journal.done ? Cunfinished::completed : Cunfinished::rolled_back;
}
