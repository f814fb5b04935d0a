#include "update_pack/tree_diff.h"

#include <algorithm>
#include <map>

#include "fs/file_handle.h"
#include "fs/folder_walk.h"
#include "fs/paths.h"

namespace {

// Every plain file below folder, by its path relative to it; the key is upper-cased as Windows
// compares names, and a second file on one key is a pair that only letter case tells apart.
std::map<std::wstring, Cfile_entry> files_below(const std::wstring& folder,
                                                std::vector<std::pair<std::wstring, std::wstring>>* same_but_case = nullptr)
{
    std::map<std::wstring, Cfile_entry> files;
    for (Cfile_entry& entry : walk_folder(folder, true)) {
        if (entry.is_folder)
            continue;
        const auto placed = files.emplace(upper_case_name(entry.path), entry);
        if (!placed.second && same_but_case != nullptr)
            same_but_case->push_back({placed.first->second.path, entry.path});
    }
    return files;
}

enum class Csame { yes, no, unknown };

Csame same_bytes(const std::wstring& a, const std::wstring& b)
{
    Cfile_handle first, second;
    if (!open_file(first, a, L"rb") || !open_file(second, b, L"rb"))
        return Csame::unknown;
    std::vector<char> one(1 << 16), other(1 << 16);
    for (;;) {
        const size_t count = fread(one.data(), 1, one.size(), first.stream);
        if (fread(other.data(), 1, other.size(), second.stream) != count ||
            !std::equal(one.begin(), one.begin() + static_cast<std::ptrdiff_t>(count), other.begin()))
            return Csame::no;
        if (count < one.size())
            return ferror(first.stream) || ferror(second.stream) ? Csame::unknown : Csame::yes;
    }
}

}  // namespace

Ctree_diff compare_trees(const std::wstring& old_folder, const std::wstring& new_folder)
{
    Ctree_diff diff;
    const std::map<std::wstring, Cfile_entry> old_files = files_below(old_folder);
    const std::map<std::wstring, Cfile_entry> new_files = files_below(new_folder, &diff.same_but_case);
    for (const auto& [key, entry] : new_files) {
        const auto old = old_files.find(key);
        Cchanged_file file{entry.path, entry.size, old == old_files.end()};
        if (file.added || old->second.size != entry.size) {
            diff.changed.push_back(file);
            continue;
        }
        const Csame same = same_bytes(join_path(old_folder, old->second.path), join_path(new_folder, entry.path));
        if (same == Csame::no)
            diff.changed.push_back(file);
        else if (same == Csame::unknown)
            diff.unreadable.push_back(entry.path);
    }
    for (const auto& [key, entry] : old_files)
        if (new_files.count(key) == 0)
            diff.only_in_old.push_back(entry.path);
    return diff;
}
