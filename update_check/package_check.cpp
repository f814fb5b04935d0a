#include "update_check/package_check.h"

#include <windows.h>

#include <algorithm>

#include "fs/file_ops.h"
#include "fs/folder_walk.h"
#include "fs/paths.h"
#include "fs/text.h"
#include "install/destination.h"
#include "install/free_space.h"
#include "install/game_folder.h"
#include "install/run_record.h"
#include "update_check/line_reports.h"
#include "update_check/plan_report.h"
#include "update_check/words.h"
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
    const Cupdate_settings& settings = findings.settings;
    if (options.read_registry) {
        findings.installation_source = L"registry";
        append(findings.checks, {judge_registry(settings, findings.installation)});
        if (findings.checks.back().state != Cfinding_state::passed) {
            // No record, no installation to check against.
            findings.installation_source.clear();
            findings.checks.push_back(INSTALLATION_NOT_CHECKED);
            return true;
        }
    } else {
        findings.installation_source = L"--install";
        findings.installation = installed_everything(options.install_folder, settings);
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
    append(findings.checks, judge_destination(settings, findings.installation, findings.installation.SAV_FOLDER));
    return true;
}

// update.exe weighs the room on the game's drive once the game is found.
void judge_room(Cpackage_findings& findings)
{
    const bool game_found = std::any_of(findings.checks.begin(), findings.checks.end(), [](const Cchecked& check) {
        return check.check == L"Lumivane.exe" && check.state == Cfinding_state::passed;
    });
    if (!game_found)
        return;
    append(findings.checks, {judge_free_space(findings.installation.SAV_FOLDER, findings.staging_bytes)});
    findings.free_space_known = free_bytes(findings.installation.SAV_FOLDER, findings.free_bytes);
}

void gather_plan(Cpackage_findings& findings)
{
    const std::wstring& destination = findings.installation.SAV_FOLDER;
    // Listed once, for the report and the room alike.
    const std::vector<Ccopy_group> plan = plan_update(findings.settings, SOURCE_ROOT);
    findings.plan = report_plan(plan, SOURCE_ROOT, destination, findings.checks);
    for (const Cplan_group& group : findings.plan) {
        findings.plan_files += group.files.size();
        findings.plan_bytes += group.bytes;
        for (const Cplan_note& note : group.notes)
            (note.fails ? findings.failures : findings.warnings).push_back(group.key + L": " + note.text);
    }
    // In the game drive's clusters, with the journal, as update.exe counts it.
    findings.staging_bytes = staging_room(plan, destination);
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
    findings.notes = inspect_bytes(file.bytes);
    // The text is decoded as update.exe decodes it on this machine; players in Japan have 932.
    findings.code_page = GetACP();
    findings.warnings = encoding_warnings(findings.notes, file.lines);
    if (findings.code_page != 932)
        findings.warnings.push_back(words(W_CODE_PAGE_NOT_932));
    findings.lines = report_lines(file, findings.notes);
    for (const Cline_report& line : findings.lines)
        if (!line.failure.empty())
            findings.failures.push_back(line.failure);
    // Entries given beyond their count, which update.exe never looks at: a count left too low.
    const Cupdate_settings& settings = findings.settings;
    for (const Ccopy_list& list : COPY_LISTS)
        for (int i = std::max(settings.*list.count, 0); i < COPY_ENTRY_LIMIT; ++i)
            if (!(settings.*list.entries)[i].empty())
                findings.warnings.push_back(words(W_BEYOND_COUNT, {format_text(L"COPY_%ls_%02d", list.kind, i),
                                                                   format_text(L"COPY_%ls_COUNT", list.kind),
                                                                   std::to_wstring(settings.*list.count)}));
    return true;
}

// Every check in update.exe's order, the plan, and the package's update.exe. False when the
// checker stops with exit code 2: update.ini unreadable, or a registry value it does not know.
bool judge_package(const Ccheck_options& options, Cpackage_findings& findings)
{
    if (!read_package_ini(findings))
        return false;
    append(findings.checks, judge_names(findings.settings));
    append(findings.checks, judge_sources(findings.settings, SOURCE_ROOT));
    const bool installation = options.read_registry || !options.install_folder.empty();
    if (!installation)
        findings.checks.push_back(INSTALLATION_NOT_CHECKED);
    else if (!judge_installation(options, findings))
        return false;
    gather_plan(findings);
    if (installation)
        judge_room(findings);
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
    const struct {
        unsigned word;
        bool fails;
    } SIGNATURE[] = {{W_UNSIGNED, false}, {W_SIGNED_TRUSTED, false}, {W_SIGNED_UNTRUSTED, false},
                     {W_SIGNATURE_ALTERED, true}, {W_SIGNATURE_UNREADABLE, true}};
    const auto& signature = SIGNATURE[static_cast<int>(exe.signature.state)];
    (signature.fails ? findings.exe_problems : findings.exe_notes)
        .push_back(words(signature.word, {exe.signature.signer, trust_code_text(exe.signature)}));
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
