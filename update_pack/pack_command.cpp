#include "update_pack/pack_command.h"

#include <windows.h>

#include "fs/file_ops.h"
#include "fs/paths.h"
#include "tool_common/json_writer.h"
#include "tool_common/report.h"
#include "update_pack/package_proof.h"
#include "update_pack/package_writer.h"
#include "update_pack/tree_diff.h"

namespace {

// What one run found and did, told as text or as JSON at the end.
struct Cpack_result {
    int exit_code = PACK_MADE;
    std::vector<std::wstring> errors;
    Ctree_diff diff;
    std::vector<std::wstring> update_ini;
    std::vector<Ccopy_group> plan;
};

std::wstring full_path(const std::wstring& path)
{
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring full(needed, L'\0');
    full.resize(GetFullPathNameW(path.c_str(), needed, &full[0], nullptr));
    while (full.size() > 3 && full.back() == L'\\')
        full.pop_back();
    return full;
}

// Whether path is folder or lies below it, as Windows compares names.
bool is_within(const std::wstring& path, const std::wstring& folder)
{
    const std::wstring a = upper_case_name(path + L"\\"), b = upper_case_name(folder + L"\\");
    return a.compare(0, b.size(), b) == 0;
}

bool is_empty_folder(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(long_path(folder + L"\\*").c_str(), &found);
    bool empty = true;
    for (bool more = search != INVALID_HANDLE_VALUE; more && empty; more = FindNextFileW(search, &found))
        empty = wcscmp(found.cFileName, L".") == 0 || wcscmp(found.cFileName, L"..") == 0;
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    return empty;
}

// The problem with the folders given, or empty text.
std::wstring folder_problem(const Cpack_options& options)
{
    if (!folder_exists(options.old_folder))
        return L"the old game folder does not exist: " + options.old_folder;
    if (!folder_exists(options.new_folder))
        return L"the new game folder does not exist: " + options.new_folder;
    const std::wstring old_folder = full_path(options.old_folder), new_folder = full_path(options.new_folder);
    const std::wstring package = full_path(options.package_folder);
    if (is_within(old_folder, new_folder) || is_within(new_folder, old_folder))
        return L"the old and the new game folder must lie apart";
    for (const std::wstring& game : {old_folder, new_folder})
        if (is_within(package, game) || is_within(game, package))
            return L"the package folder must lie outside both game folders: " + package;
    if (file_exists(package))
        return L"the package folder is a file: " + package;
    if (folder_exists(package) && !is_empty_folder(package) && !options.force)
        return L"the package folder is not empty (give --force to replace it): " + package;
    if (!spelled_in_update_ini(options.game_name) || !spelled_in_update_ini(options.registry_name))
        return L"--name and --registry must be spelled in code page 932, without a double quote";
    return std::wstring();
}

// The finished package takes the place of the package folder; a forced one replaces what was there.
std::wstring put_in_place(const std::wstring& staging, const std::wstring& package)
{
    const std::wstring previous = package + L".~update-pack-old";
    remove_tree(previous);
    if (folder_exists(package) && !move_file(package, previous, false))
        return L"cannot replace the package folder " + package;
    if (!move_file(staging, package, false)) {
        move_file(previous, package, false);
        return L"cannot move the package into " + package;
    }
    remove_tree(previous);
    return std::wstring();
}

int build(const Cpack_options& options, Cpack_result& result)
{
    const std::wstring problem = folder_problem(options);
    if (!problem.empty()) {
        result.errors.push_back(problem);
        return PACK_BAD_INPUT;
    }
    result.diff = compare_trees(options.old_folder, options.new_folder);
    for (const std::wstring& path : result.diff.unreadable)
        result.errors.push_back(L"cannot read " + path + L" to compare it");
    if (!result.errors.empty())
        return PACK_BAD_INPUT;
    if (result.diff.changed.empty()) {
        result.errors.push_back(L"the two game folders hold the same files: there is no update to pack");
        return PACK_CANNOT_EXPRESS;
    }
    const Cpackage_layout layout =
        lay_out_package(result.diff, options.media, options.game_name, options.registry_name);
    result.errors = layout.problems;
    if (!result.errors.empty())
        return PACK_CANNOT_EXPRESS;
    result.update_ini = update_ini_lines(layout.settings);

    const std::wstring package = full_path(options.package_folder);
    const std::wstring staging = package + L".~update-pack";
    std::wstring failure = write_package(staging, options.new_folder, result.diff.changed, layout.settings);
    Cpackage_proof proof;
    if (failure.empty()) {
        proof = prove_package(staging, result.diff.changed);
        result.plan = proof.plan;
        result.errors = proof.problems;
    }
    if (failure.empty() && result.errors.empty())
        failure = put_in_place(staging, package);
    remove_tree(staging);
    if (!failure.empty())
        result.errors.push_back(failure);
    if (!result.errors.empty())
        return failure.empty() ? PACK_CANNOT_EXPRESS : PACK_BAD_INPUT;
    return PACK_MADE;
}

std::wstring as_text(const Cpack_options& options, const Cpack_result& result)
{
    Creport report;
    report.line(L"update-pack: " + options.old_folder + L" -> " + options.new_folder);
    size_t added = 0;
    uint64_t bytes = 0;
    for (const Cchanged_file& file : result.diff.changed) {
        added += file.added;
        bytes += file.size;
    }
    report.line(L"  " + std::to_wstring(result.diff.changed.size()) + L" files new or changed (" +
                std::to_wstring(added) + L" new), " + grouped_number(bytes) + L" bytes");
    for (const std::wstring& path : result.diff.only_in_old)
        report.line(L"  only in the old folder, left on players' disks (update.exe never deletes): " + path);
    if (!result.update_ini.empty() && result.exit_code == PACK_MADE) {
        report.line();
        report.line(L"update.ini (Shift-JIS, CR LF) in " + full_path(options.package_folder) + L":");
        for (const std::wstring& line : result.update_ini)
            report.line(L"  " + line);
        report.line();
        report.line(L"Copy plan, read back as update.exe reads it:");
        for (const Ccopy_group& group : result.plan) {
            report.line(L"  " + group.key + L" \"" + group.entry + L"\": " + std::to_wstring(group.listing.entries.size()) +
                        L" file(s), " + grouped_number(group.listing.total_size) + L" bytes");
            for (const Cfile_entry& entry : group.listing.entries)
                report.line(L"    " + relative_path(group, entry));
        }
        report.line(L"  Total: " + std::to_wstring(result.diff.changed.size()) + L" file(s), " +
                    grouped_number(total_bytes(result.plan)) + L" bytes: exactly the changed files");
    }
    for (const std::wstring& error : result.errors)
        report.line(L"update-pack: " + error);
    const wchar_t* const outcomes[] = {L"package made", L"cannot be expressed in update.ini; nothing written",
                                       L"nothing written"};
    report.line(L"Result: " + std::wstring(outcomes[result.exit_code]) + L" (exit code " +
                std::to_wstring(result.exit_code) + L").");
    return report.text();
}

std::wstring as_json(const Cpack_result& result)
{
    Cjson_writer json;
    json.begin_object();
    json.member(L"tool", L"update-pack");
    json.member(L"exit_code", result.exit_code);
    json.member(L"errors", result.errors);
    json.key(L"changed");
    json.begin_array();
    for (const Cchanged_file& file : result.diff.changed) {
        json.begin_object();
        json.member(L"path", file.path);
        json.member(L"bytes", file.size);
        json.member(L"new", file.added);
        json.end_object();
    }
    json.end_array();
    json.member(L"only_in_old", result.diff.only_in_old);
    json.member(L"update_ini", result.update_ini);
    json.key(L"plan");
    json.begin_array();
    for (const Ccopy_group& group : result.plan) {
        for (const Cfile_entry& entry : group.listing.entries) {
            json.begin_object();
            json.member(L"key", group.key);
            json.member(L"path", relative_path(group, entry));
            json.member(L"bytes", entry.size);
            json.end_object();
        }
    }
    json.end_array();
    json.member(L"bytes", total_bytes(result.plan));
    json.end_object();
    return json.text() + L"\n";
}

}  // namespace

int make_package(const Cpack_options& options, std::wstring& report)
{
    Cpack_result result;
    result.exit_code = build(options, result);
    report = options.json ? as_json(result) : as_text(options, result);
    return result.exit_code;
}
