#include "update_check/package_check.h"

#include <windows.h>

#include "fs/file_ops.h"
#include "fs/paths.h"
#include "fs/text.h"
#include "install/destination.h"
#include "install/free_space.h"
#include "install/game_files.h"
#include "install/game_folder.h"
#include "install/held_files.h"
#include "install/run_record.h"
#include "update_check/failure_hints.h"
#include "update_check/file_notes.h"
#include "update_check/installation_source.h"
#include "update_check/line_reports.h"
#include "update_check/missing_ini_hint.h"
#include "update_check/plan_report.h"
#include "update_check/words.h"
#include "update_ini/source_checks.h"
#include "update_ini/update_ini_reader.h"
#include "update_ini/update_settings.h"
#include "version.h"

namespace {

const wchar_t* const SOURCE_ROOT = L"GAMEDATA";

// A failing check shows its cause, then the general failure line, both captioned with the game.
std::vector<Cbox> failure_boxes(const std::wstring& caption, const std::wstring& cause)
{
    return {{L"warning", caption, cause}, {L"warning", caption, L"アップデートに失敗しました。"}};
}

void append(std::vector<Cchecked>& checks, const Cfindings& more)
{
    for (const Cfinding& finding : more)
        checks.push_back({finding, L""});
}

// Without an installation to check against, its checks stand for one line of their own.
const Cchecked INSTALLATION_NOT_CHECKED = {{L"installation", L"", Cfinding_state::not_judged, L""}, L""};

// The installation checks up to the confirmation, but for the room on the drive, which waits for
// the plan. False when the command line names a registry value that does not exist.
bool judge_installation(const Ccheck_options& options, const Cupdate_settings& settings, Cpackage_findings& findings)
{
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
    const std::wstring unknown = override_values(options.values, findings.installation);
    if (!unknown.empty()) {
        findings.checker_error = words(W_UNKNOWN_VALUE, {unknown});
        return false;
    }
    // As update.exe asks before the destination: a file or folder under the update folder's name
    // that no run of this user left is in the way.
    Cgame_folder game;
    game.open(findings.installation.SAV_FOLDER);
    append(findings.checks, {judge_update_folder(game, findings.installation.SAV_FOLDER)});
    append(findings.checks, judge_destination(settings, findings.installation, findings.installation.SAV_FOLDER));
    return true;
}

// update.exe judges the game's files against the plan, then weighs the room on the game's drive,
// once the game is found.
void judge_room(Cpackage_findings& findings, const std::vector<Ccopy_group>& plan)
{
    bool game_found = false;
    for (const Cchecked& check : findings.checks)
        game_found = game_found || (check.check == L"Lumivane.exe" && check.state == Cfinding_state::passed);
    if (!game_found)
        return;
    Cgame_folder game;
    game.open(findings.installation.SAV_FOLDER);
    append(findings.checks, {judge_game_files(game, findings.installation.SAV_FOLDER, plan)});
    append(findings.checks, {judge_free_space(findings.installation.SAV_FOLDER, findings.staging_bytes)});
    append(findings.checks, {judge_held_files(game, findings.installation.SAV_FOLDER, plan)});
    findings.free_space_known = free_bytes(findings.installation.SAV_FOLDER, findings.free_bytes);
}

std::vector<Ccopy_group> gather_plan(const Cupdate_settings& settings, const std::wstring& destination,
                                     Cpackage_findings& findings)
{
    // Listed once, for the report and the room alike.
    const std::vector<Ccopy_group> plan = plan_update(settings, SOURCE_ROOT);
    findings.plan = report_plan(plan, SOURCE_ROOT, destination, findings.checks);
    for (const Cplan_group& group : findings.plan) {
        findings.plan_files += group.files.size();
        findings.plan_bytes += group.bytes;
        for (const Cplan_note& finding : group.notes)
            (finding.fails ? findings.failures : findings.warnings).push_back(group.key + L": " + finding.text);
    }
    // In the game drive's clusters, with the journal, as update.exe counts it.
    findings.staging_bytes = staging_room(plan, destination);
    return plan;
}

// What update.exe shows first: the boxes of the first check that fails, in its order, or the
// confirmation when every one passes on an installation.
void name_what_the_player_sees(const Cupdate_settings& settings, Cpackage_findings& findings)
{
    for (const Cchecked& check : findings.checks) {
        if (check.state == Cfinding_state::failed) {
            findings.first_failure = check.check;
            findings.player_sees = failure_boxes(settings.GAME_NAME, check.message);
            return;
        }
    }
    if (!findings.installation_source.empty())
        findings.player_sees = {{L"question", settings.GAME_NAME, confirmation_question(findings.installation.SAV_FOLDER)}};
}

// Entries given beyond their count, which update.exe never looks at: a count left too low.
void warn_of_entries_beyond_count(const Cupdate_settings& settings, std::vector<std::wstring>& warnings)
{
    const struct {
        const wchar_t* kind;
        int32_t count;
        const std::wstring (&entries)[COPY_ENTRY_LIMIT];
    } lists[] = {{L"FOLDER", settings.COPY_FOLDER_COUNT, settings.COPY_FOLDER},
                 {L"FILE", settings.COPY_FILE_COUNT, settings.COPY_FILE}};
    for (const auto& list : lists)
        for (int i = list.count < 0 ? 0 : list.count; i < COPY_ENTRY_LIMIT; ++i)
            if (!list.entries[i].empty())
                warnings.push_back(words(W_BEYOND_COUNT, {format_text(L"COPY_%ls_%02d", list.kind, i),
                                                          format_text(L"COPY_%ls_COUNT", list.kind),
                                                          std::to_wstring(list.count)}));
}

// update.ini as update.exe reads it, with every line and how the file was saved. False when it
// cannot be read: update.exe stops there, before it knows the game's name for a caption.
bool read_package_ini(Cupdate_settings& settings, Cpackage_findings& findings)
{
    const std::wstring problem = read_update_ini_file(L"update.ini", settings);
    std::vector<std::wstring> lines;
    if (!problem.empty() || read_text_lines(L"update.ini", lines) != Ctext_read::read) {
        append(findings.checks, {judged(L"update.ini", L"update.ini", problem)});
        findings.first_failure = findings.checks.back().check;
        findings.player_sees = failure_boxes(L"", problem);
        findings.missing_hint = missing_update_ini_hint();
        return false;
    }
    findings.readable = true;
    findings.notes = inspect_file(L"update.ini");
    // The text is decoded as update.exe decodes it on this machine; players in Japan have 932.
    findings.code_page = GetACP();
    findings.warnings = encoding_warnings(findings.notes, lines);
    if (findings.code_page != 932)
        findings.warnings.push_back(words(W_CODE_PAGE_NOT_932));
    findings.lines = report_lines(lines, findings.notes);
    for (const Cline_report& line : findings.lines)
        if (!line.failure.empty())
            findings.failures.push_back(line.failure);
    warn_of_entries_beyond_count(settings, findings.warnings);
    return true;
}

// The update.exe beside update.ini: a package without one gets a hint, since the player would have
// nothing to start; one of another kit is judged by this kit's rules, which it may not follow.
void judge_package_exe(Cpackage_findings& findings)
{
    const Cpackage_exe& exe = findings.exe = inspect_package_exe();
    if (!exe.present)
        return;
    if (exe.signature.state == Csignature_state::altered)
        findings.exe_problems.push_back(words(W_SIGNATURE_ALTERED, {exe.signature.signer}));
    if (exe.signature.state == Csignature_state::unreadable)
        findings.exe_problems.push_back(words(W_SIGNATURE_UNREADABLE));
    if (exe.version.empty())
        findings.exe_problems.push_back(words(W_EXE_NO_VERSION));
    else if (exe.version != UPDATE_VERSION_WIDE)
        findings.warnings.push_back(words(W_EXE_OTHER_VERSION, {exe.version, UPDATE_VERSION_WIDE}));
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
    if (!directory.entered()) {
        findings.checker_error = words(W_FOLDER_UNOPENED);
        return findings.exit_code = CHECK_UNREADABLE;
    }

    Cupdate_settings settings;
    if (!read_package_ini(settings, findings))
        return findings.exit_code = CHECK_UNREADABLE;
    append(findings.checks, {judged(L"update.ini", L"update.ini", L"")});
    append(findings.checks, judge_names(settings));
    append(findings.checks, judge_sources(settings, SOURCE_ROOT));
    const bool installation = resolved.read_registry || !resolved.install_folder.empty();
    if (!installation)
        findings.checks.push_back(INSTALLATION_NOT_CHECKED);
    else if (!judge_installation(resolved, settings, findings))
        return findings.exit_code = CHECK_UNREADABLE;
    const std::vector<Ccopy_group> plan = gather_plan(settings, findings.installation.SAV_FOLDER, findings);
    if (installation)
        judge_room(findings, plan);
    judge_package_exe(findings);

    for (Cchecked& check : findings.checks)
        check.hint = failure_hint(check, settings, findings.lines, findings.notes);
    name_what_the_player_sees(settings, findings);
    // A failure update.exe does not stop at, or an update.exe broken or of no kit, fails the package
    // all the same.
    const bool fails = !findings.first_failure.empty() || !findings.failures.empty() || !findings.exe_problems.empty();
    return findings.exit_code = fails ? CHECK_FAILED : CHECK_PASSED;
}
