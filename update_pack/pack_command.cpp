#include "update_pack/pack_command.h"

#include <windows.h>

#include "fs/file_ops.h"
#include "fs/folder_walk.h"
#include "fs/paths.h"
#include "update_pack/chain_note.h"
#include "update_pack/pack_report.h"
#include "update_pack/package_proof.h"
#include "update_pack/package_writer.h"
#include "update_pack/tree_diff.h"

namespace {

// Whether path is folder or lies below it, as Windows compares names.
bool is_within(const std::wstring& path, const std::wstring& folder)
{
    const std::wstring a = upper_case_name(path + L"\\"), b = upper_case_name(folder + L"\\");
    return a.compare(0, b.size(), b) == 0;
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
    if (folder_exists(package) && !walk_folder(package).empty() && !options.force)
        return L"the package folder is not empty (give --force to replace it): " + package;
    if (!file_exists(options.update_exe))
        return L"update.exe was not found at " + options.update_exe +
               L": put it beside update-pack.exe, or name it with --exe <path>";
    if (!options.note.empty() && !file_exists(options.note))
        return L"the player's note was not found: " + options.note;
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

// One package, ready to ship: GAMEDATA, update.ini, update.exe and the player's note.
std::wstring write_ready_package(const Cpack_options& options, const Cchain_package& package, const std::wstring& folder)
{
    std::wstring failure = write_package(folder, options.new_folder, package.files, package.settings);
    if (failure.empty())
        failure = copy_into_package(options.update_exe, folder, L"update.exe");
    if (failure.empty() && !options.note.empty())
        failure = copy_into_package(options.note, folder, L"README.txt");
    return failure;
}

// Where the packages go below top: top itself when one holds the update, else its numbered subfolders.
std::vector<std::wstring> package_folders(const std::wstring& top, size_t count)
{
    if (count == 1)
        return {top};
    std::vector<std::wstring> folders;
    for (const std::wstring& name : chain_folder_names(count))
        folders.push_back(join_path(top, name));
    return folders;
}

// Every package into its staging folder, and for a chain the note on their order at the top.
std::wstring write_chain(const Cpack_options& options, const Cpackage_layout& layout, const std::wstring& staging)
{
    const std::vector<std::wstring> folders = package_folders(staging, layout.packages.size());
    for (size_t i = 0; i < folders.size(); ++i) {
        const std::wstring failure = write_ready_package(options, layout.packages[i], folders[i]);
        if (!failure.empty())
            return failure;
    }
    const std::vector<std::wstring> names = chain_folder_names(folders.size());
    if (folders.size() > 1 &&
        !write_shift_jis_lines(join_path(staging, CHAIN_NOTE_NAME), chain_note_lines(options.game_name, names)))
        return std::wstring(L"cannot write ") + CHAIN_NOTE_NAME;
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
    for (const auto& [one, other] : result.diff.same_but_case)
        result.errors.push_back(one + L" and " + other + L" differ only in letter case: on Windows they are one file");
    if (!result.errors.empty())
        return PACK_CANNOT_EXPRESS;
    if (result.diff.changed.empty()) {
        result.errors.push_back(L"the two game folders hold the same files: there is no update to pack");
        return PACK_CANNOT_EXPRESS;
    }
    const Cpackage_layout layout =
        lay_out_package(result.diff, options.media, options.game_name, options.registry_name);
    result.errors = layout.problems;
    if (!result.errors.empty())
        return PACK_CANNOT_EXPRESS;

    const std::wstring package = full_path(options.package_folder);
    const std::wstring staging = package + L".~update-pack";
    remove_tree(staging);
    std::wstring failure = write_chain(options, layout, staging);
    const std::vector<std::wstring> folders = package_folders(package, layout.packages.size());
    for (size_t i = 0; i < folders.size(); ++i)
        result.packages.push_back({folders[i], update_ini_lines(layout.packages[i].settings), {}});
    if (failure.empty()) {
        const Cpackage_proof proof =
            prove_packages(package_folders(staging, folders.size()), result.diff.changed, options.old_folder);
        for (size_t i = 0; i < proof.plans.size(); ++i)
            result.packages[i].plan = proof.plans[i];
        result.errors = proof.problems;
        // The proof read the staging folder; the publisher knows the package by its own folder.
        for (std::wstring& error : result.errors)
            for (size_t at = error.find(staging); at != std::wstring::npos; at = error.find(staging, at + package.size()))
                error.replace(at, staging.size(), package);
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

}  // namespace

int make_package(const Cpack_options& options, std::wstring& report)
{
    // Named in the report by the full paths of what was copied.
    Cpack_options resolved = options;
    resolved.update_exe = full_path(options.update_exe);
    resolved.note = options.note.empty() ? options.note : full_path(options.note);
    Cpack_result result;
    result.exit_code = build(resolved, result);
    if (result.exit_code != PACK_MADE)
        result.packages.clear();
    report = options.json ? pack_report_json(result) : pack_report_text(resolved, result);
    return result.exit_code;
}
