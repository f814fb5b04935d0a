#include "update_check/package_check.h"

#include <algorithm>
#include <set>

#include "fs/file_ops.h"
#include "fs/folder_walk.h"
#include "fs/paths.h"
#include "install/destination.h"
#include "install/free_space.h"
#include "install/game_files.h"
#include "install/game_folder.h"
#include "install/held_files.h"
#include "install/run_record.h"
#include "update_check/update_ini_report.h"
#include "update_check/words.h"
#include "update_ini/copy_plan.h"
#include "update_ini/media_parts.h"
#include "update_ini/source_checks.h"
#include "update_ini/update_ini_reader.h"
#include "version.h"

namespace {

const wchar_t* const SOURCE_ROOT = L"GAMEDATA";

void append(std::vector<Cchecked>& checks, const Cfindings& more)
{
    for (const Cfinding& finding : more)
        checks.push_back({finding, L""});
}

// Without an installation to check against, its checks stand for one line of their own.
const Cchecked INSTALLATION_NOT_CHECKED = {{L"installation", L"", Cfinding_state::not_judged, L""}, L""};

// What an installer that set up every part records for folder, with the media folders where the
// update writes them.
Cinstallation_record installed_everything(const std::wstring& folder, const Cupdate_settings& settings)
{
    Cinstallation_record record;
    record.SAV_FOLDER = folder;
    record.DAT_EXIST = L"1";
    record.DAT_FOLDER = folder;
    for (const Cmedia_part& media : MEDIA_PARTS) {
        record.*find_registry_value(media.exist_value)->field = L"1";
        record.*find_registry_value(media.folder_value)->field = join_path(folder, settings.*media.folder);
    }
    return record;
}

// The installation checks up to the confirmation, but for the room on the drive, which waits for
// the plan. False when the command line names a registry value that does not exist.
bool judge_installation(const Ccheck_options& options, Cpackage_findings& findings)
{
    if (options.read_registry) {
        findings.installation_source = L"registry";
        append(findings.checks, {judge_registry(findings.settings, findings.installation)});
        if (findings.checks.back().state != Cfinding_state::passed) {
            // No record, no installation to check against.
            findings.installation_source.clear();
            findings.checks.push_back(INSTALLATION_NOT_CHECKED);
            return true;
        }
    } else {
        findings.installation_source = L"--install";
        findings.installation = installed_everything(options.install_folder, findings.settings);
    }
    for (const auto& value : options.values) {
        const Cregistry_value* registry = find_registry_value(value.first);
        if (registry == nullptr) {
            findings.checker_error = words(W_UNKNOWN_VALUE, {value.first});
            return false;
        }
        findings.installation.*registry->field = value.second;
    }
    // As update.exe asks before the destination: a file or folder under the update folder's name
    // that no run of this user left is in the way.
    Cgame_folder game;
    game.open(findings.installation.SAV_FOLDER);
    append(findings.checks, {judge_update_folder(game, findings.installation.SAV_FOLDER)});
    append(findings.checks, judge_destination(findings.settings, findings.installation, findings.installation.SAV_FOLDER));
    return true;
}

// What the checker says of a planned group, as package_findings.h lists it. folders: every folder
// the plan copies from, so that a subfolder another entry copies is not reported as left behind.
std::vector<Cplan_note> judge_group(const Ccopy_group& group, const std::set<std::wstring>& folders,
                                    const std::wstring& destination)
{
    std::vector<Cplan_note> notes;
    // update.exe joins an entry to GAMEDATA and to the game's folder as written; absolute forms
    // find nothing or fail with a box of their own.
    if (!group.entry.empty() && (group.entry[0] == L'\\' || group.entry[0] == L'/'))
        notes.push_back({false, words(W_STARTS_WITH_BACKSLASH, {group.entry})});
    else if (group.entry.find(L':') != std::wstring::npos)
        notes.push_back({false, words(W_HOLDS_DRIVE, {group.entry})});
    const bool file_entry = group.folder.empty();
    const bool selects_nothing = group.listing.entries.empty() && group.reached_again.empty();
    // A file entry whose source check found the file: its name is what the listing does not match.
    const std::wstring& name = group.entry;
    const bool dot_at_end = !name.empty() && (name.back() == L'.' || name.back() == L' ');
    const unsigned why = name.find_first_of(L"\\/") != std::wstring::npos ? W_IN_SUBFOLDER
                         : is_device_name(name)                          ? W_DEVICE_NAME
                         : dot_at_end                                    ? W_DOT_AT_END
                                                                         : W_NO_SUCH_FILE;
    if (file_entry && selects_nothing)
        notes.push_back({true, words(W_SELECTS_NO_FILE, {name, words(why)})});
    else if (selects_nothing)
        notes.push_back({false, words(W_NO_FILE_FOUND)});
    if (!file_entry) {
        for (const Cfile_entry& sub : walk_folder(join_path(SOURCE_ROOT, group.folder)))
            if (sub.is_folder && folders.count(lower_ascii(join_path(group.folder, sub.path))) == 0)
                notes.push_back({false, words(W_SUBFOLDER_LEFT, {sub.path, group.folder})});
    }
    // Only the folder entries make their destination folder; media files need it in place.
    if (!file_entry && !group.makes_destination_folder && !destination.empty() && !group.listing.entries.empty() &&
        !folder_exists(join_path(destination, group.folder)))
        notes.push_back({false, words(W_NO_DESTINATION_FOLDER, {join_path(destination, group.folder)})});
    for (const std::wstring& path : group.reached_again)
        notes.push_back({false, words(W_REACHED_AGAIN, {path})});
    return notes;
}

// The plan the source checks listed (where a source is missing, listed here for the report).
void gather_plan(Cpackage_findings& findings, std::vector<Ccopy_group>& plan)
{
    if (plan.empty())
        plan = plan_update(findings.settings, SOURCE_ROOT);
    std::set<std::wstring> folders;
    for (const Ccopy_group& copy : plan)
        folders.insert(lower_ascii(copy.folder));
    for (const Ccopy_group& copy : plan) {
        Cplan_group group{copy.key, copy.entry, true, {}, 0, {}};
        // A group whose check fails would list whatever its empty or refused name leads to.
        group.planned = std::any_of(findings.checks.begin(), findings.checks.end(), [&](const Cchecked& check) {
            return check.check == copy.key && check.state == Cfinding_state::passed;
        });
        if (group.planned) {
            for (const Cfile_entry& entry : copy.listing.entries)
                group.files.push_back({relative_path(copy, entry), false, 0, entry.size});
            group.bytes = copy.listing.total_size;
            group.notes = judge_group(copy, folders, findings.installation.SAV_FOLDER);
        }
        findings.plan_files += group.files.size();
        findings.plan_bytes += group.bytes;
        for (const Cplan_note& note : group.notes)
            (note.fails ? findings.failures : findings.warnings).push_back(group.key + L": " + note.text);
        findings.plan.push_back(group);
    }
    // In the game drive's clusters, with the journal, as update.exe counts it.
    findings.staging_bytes = staging_room(plan, findings.installation.SAV_FOLDER);
}

// When update.ini is missing, the file in the package folder that was most likely meant to be it.
// Windows Explorer hides the extensions it knows, so "update.ini.txt", saved by Notepad, shows as
// "update.ini" there and looks right to the publisher.
std::wstring missing_update_ini_hint()
{
    if (folder_exists(L"update.ini"))
        return words(W_INI_IS_FOLDER);
    for (const wchar_t* pattern : {L"update.ini.*", L"update.txt", L"update"})
        for (const Cfile_entry& entry : matching_entries(pattern))
            if (!entry.is_folder)
                return words(W_INI_MISNAMED, {entry.path});
    return std::wstring();
}

// update.ini read once, as update.exe reads it, with every line and how the file was saved. False
// when it cannot be read: update.exe stops there, before it knows the game's name for a caption.
bool read_package_ini(Cpackage_findings& findings)
{
    Cupdate_ini_file file;
    const std::wstring problem = read_update_ini_file(L"update.ini", findings.settings, &file);
    append(findings.checks, {judged(L"update.ini", L"update.ini", problem)});
    if (!problem.empty()) {
        findings.missing_hint = missing_update_ini_hint();
        return false;
    }
    findings.readable = true;
    report_update_ini(file, findings);
    return true;
}

// Every check in update.exe's order, the plan, and the package's update.exe. False when the
// checker stops with exit code 2: update.ini unreadable, or a registry value it does not know.
bool judge_package(const Ccheck_options& options, Cpackage_findings& findings)
{
    if (!read_package_ini(findings))
        return false;
    append(findings.checks, judge_names(findings.settings));
    std::vector<Ccopy_group> plan;
    append(findings.checks, judge_sources(findings.settings, SOURCE_ROOT, plan));
    const bool installation = options.read_registry || !options.install_folder.empty();
    if (!installation)
        findings.checks.push_back(INSTALLATION_NOT_CHECKED);
    else if (!judge_installation(options, findings))
        return false;
    gather_plan(findings, plan);
    // Once the game is found, update.exe judges its files against the plan, weighs the room on its
    // drive and asks whether a file it replaces is held, in this order.
    const std::wstring& game = findings.installation.SAV_FOLDER;
    if (installation && std::any_of(findings.checks.begin(), findings.checks.end(), [](const Cchecked& check) {
            return check.check == L"Lumivane.exe" && check.state == Cfinding_state::passed;
        })) {
        Cgame_folder folder;
        folder.open(game);
        Cgame_listing listing(folder);
        append(findings.checks, {judge_game_files(folder, listing, game, plan)});
        append(findings.checks, {judge_free_space(game, findings.staging_bytes)});
        append(findings.checks, {judge_held_files(folder, listing, game, plan)});
        findings.free_space_known = free_bytes(game, findings.free_bytes);
    }
    findings.exe = inspect_package_exe();
    for (Cchecked& check : findings.checks)
        check.hint = failure_hint(check, findings);
    return true;
}

// What update.exe shows first: the first failure's message, then the general failure line, both
// captioned with the game, as update.exe reports every failure; or the confirmation, once an
// installation passes every check.
void name_what_the_player_sees(Cpackage_findings& findings)
{
    const std::wstring& caption = findings.settings.GAME_NAME;
    for (const Cchecked& check : findings.checks) {
        if (check.state == Cfinding_state::failed) {
            findings.first_failure = check.check;
            findings.player_sees = {{L"warning", caption, check.message}, {L"warning", caption, L"アップデートに失敗しました。"}};
            return;
        }
    }
    if (!findings.installation_source.empty())
        findings.player_sees = {{L"question", caption, confirmation_question(findings.installation.SAV_FOLDER)}};
}

// The update.exe beside update.ini in the publisher's words: a package without one gets a hint,
// since the player would have nothing to start; one of another kit is judged by this kit's rules,
// which it may not follow.
void tell_of_package_exe(Cpackage_findings& findings)
{
    const Cpackage_exe& exe = findings.exe;
    if (!exe.present)
        return findings.exe_notes.push_back(words(W_EXE_MISSING));
    // In the order of Csignature_state: what the signature says, and whether it fails the package.
    const struct { unsigned word; bool fails; } SIGNATURE[] = {{W_UNSIGNED, false}, {W_SIGNED_TRUSTED, false}, {W_SIGNED_UNTRUSTED, false},
                     {W_SIGNATURE_ALTERED, true}, {W_SIGNATURE_UNREADABLE, true}};
    const auto& signature = SIGNATURE[static_cast<int>(exe.signature)];
    (signature.fails ? findings.exe_problems : findings.exe_notes).push_back(words(signature.word, {exe.signer, exe.trust_code}));
    if (exe.version.empty()) {
        findings.exe_problems.push_back(words(W_EXE_NO_VERSION));
    } else if (exe.version == UPDATE_VERSION_WIDE) {
        findings.exe_notes.push_back(words(W_EXE_VERSION, {exe.version}));
    } else {
        findings.exe_notes.push_back(words(W_EXE_VERSION_DIFFERS, {exe.version, UPDATE_VERSION_WIDE}));
        findings.warnings.push_back(words(W_EXE_OTHER_VERSION, {exe.version, UPDATE_VERSION_WIDE}));
    }
}

}  // namespace

int check_package(const Ccheck_options& options, Cpackage_findings& findings)
{
    findings.folder = full_path(options.package_folder);
    // Relative to where the checker was started, not to the package it goes into.
    Ccheck_options resolved = options;
    if (!resolved.install_folder.empty())
        resolved.install_folder = full_path(options.install_folder);
    Ccurrent_folder directory(options.package_folder);
    if (!directory.entered())
        findings.checker_error = words(W_FOLDER_UNOPENED);
    const bool judged_all = directory.entered() && judge_package(resolved, findings);
    if (findings.checker_error.empty())
        name_what_the_player_sees(findings);
    tell_of_package_exe(findings);
    // A failure update.exe does not stop at, or an update.exe broken or of no kit, fails the package
    // all the same.
    const bool fails = !findings.first_failure.empty() || !findings.failures.empty() || !findings.exe_problems.empty();
    return findings.exit_code = !judged_all ? CHECK_UNREADABLE : fails ? CHECK_FAILED : CHECK_PASSED;
}
