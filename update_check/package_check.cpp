#include "update_check/package_check.h"

#include <windows.h>

#include "fs/file_ops.h"
#include "fs/text_file.h"
#include "install/destination.h"
#include "update_check/failure_hints.h"
#include "update_check/file_notes.h"
#include "update_check/installation_source.h"
#include "update_check/installation_verdicts.h"
#include "update_check/line_reports.h"
#include "update_check/missing_ini_hint.h"
#include "update_check/plan_report.h"
#include "update_check/source_verdicts.h"
#include "update_ini/update_ini_reader.h"
#include "update_ini/update_settings.h"

namespace {

const wchar_t* const SOURCE_ROOT = L"GAMEDATA";

class Ccurrent_directory {
public:
    explicit Ccurrent_directory(const std::wstring& folder)
    {
        wchar_t previous[MAX_PATH * 4] = {};
        GetCurrentDirectoryW(MAX_PATH * 4, previous);
        previous_ = previous;
        entered_ = folder.empty() || SetCurrentDirectoryW(folder.c_str()) != 0;
    }
    ~Ccurrent_directory() { SetCurrentDirectoryW(previous_.c_str()); }
    Ccurrent_directory(const Ccurrent_directory&) = delete;
    Ccurrent_directory& operator=(const Ccurrent_directory&) = delete;
    bool entered() const { return entered_; }

private:
    std::wstring previous_;
    bool entered_ = false;
};

std::wstring full_path(const std::wstring& path)
{
    wchar_t buffer[MAX_PATH * 4] = {};
    const DWORD length = GetFullPathNameW(path.empty() ? L"." : path.c_str(), MAX_PATH * 4, buffer, nullptr);
    return length > 0 && length < MAX_PATH * 4 ? std::wstring(buffer) : path;
}

// A failing check shows its cause, then the general failure line, both captioned with the game.
std::vector<Cbox> failure_boxes(const std::wstring& caption, const std::wstring& cause)
{
    return {{L"warning", caption, cause}, {L"warning", caption, L"アップデートに失敗しました。"}};
}

void append(std::vector<Ccheck_verdict>& checks, const std::vector<Ccheck_verdict>& more)
{
    checks.insert(checks.end(), more.begin(), more.end());
}

Ccheck_verdict installation_not_checked()
{
    Ccheck_verdict verdict;
    verdict.name = L"installation";
    verdict.what = L"the installed game";
    verdict.verdict = Cverdict::not_judged;
    verdict.message = L"not checked here; give --install <game folder> or --registry";
    return verdict;
}

// The installation checks up to the confirmation, but for the room on the drive, which waits for
// the plan. False when the command line names a registry value that does not exist.
bool judge_installation(const Ccheck_options& options, const Cupdate_settings& settings, Cpackage_report& report)
{
    if (options.read_registry) {
        report.installation_source = L"registry";
        report.checks.push_back(judge_registry(settings, report.installation));
        if (report.checks.back().verdict != Cverdict::passed) {
            // No record, no installation to check against.
            report.installation_source.clear();
            Ccheck_verdict game = installation_not_checked();
            game.message = L"the registry record is not read";
            report.checks.push_back(game);
            return true;
        }
    } else {
        report.installation_source = L"--install";
        report.installation = installed_everything(options.install_folder, settings);
    }
    const std::wstring unknown = override_values(options.values, report.installation);
    if (!unknown.empty()) {
        report.checker_error = L"unknown registry value \"" + unknown + L"\"";
        return false;
    }
    append(report.checks, judge_destination(settings, report.installation));
    return true;
}

// update.exe weighs the room on the game's drive once the game folder has passed.
void judge_room(Cpackage_report& report)
{
    bool game_found = false;
    for (const Ccheck_verdict& check : report.checks)
        game_found = game_found || (check.name == L"game folder" && check.verdict == Cverdict::passed);
    if (!game_found)
        return;
    report.checks.push_back(judge_free_space(report.installation.SAV_FOLDER, report.staging_bytes));
    report.free_space_known = free_bytes(report.installation.SAV_FOLDER, report.free_bytes);
}

void gather_plan(const Cupdate_settings& settings, const std::wstring& destination, Cpackage_report& report)
{
    report.plan = report_plan(settings, SOURCE_ROOT, destination, report.checks);
    for (const Cplan_group& group : report.plan) {
        report.plan_files += group.files.size();
        report.plan_bytes += group.bytes;
        for (const Cfinding& finding : group.findings)
            (finding.fails ? report.failures : report.warnings).push_back(group.key + L": " + finding.text);
    }
    report.staging_bytes = report.plan_bytes;
    for (const std::wstring& warning : copied_more_than_once(report.plan))
        report.warnings.push_back(warning);
}

// What update.exe shows first: the boxes of the first check that fails, in its order, or the
// confirmation when every one passes on an installation.
void name_what_the_player_sees(const Cupdate_settings& settings, Cpackage_report& report)
{
    for (const Ccheck_verdict& check : report.checks) {
        if (check.verdict == Cverdict::failed) {
            report.first_failure = check.what;
            report.player_sees = failure_boxes(settings.GAME_NAME, check.message);
            return;
        }
    }
    if (!report.installation_source.empty())
        report.player_sees = {{L"question", settings.GAME_NAME, confirmation_question(report.installation.SAV_FOLDER)}};
}

int exit_code_of(const Cpackage_report& report)
{
    for (const Ccheck_verdict& check : report.checks)
        if (check.verdict == Cverdict::failed)
            return CHECK_FAILED;
    return report.failures.empty() ? CHECK_PASSED : CHECK_FAILED;
}

// update.ini as update.exe reads it, with every line and how the file was saved. False when it
// cannot be read: update.exe stops there, before it knows the game's name for a caption.
bool read_package_ini(Cupdate_settings& settings, Cpackage_report& report)
{
    const std::wstring problem = read_update_ini_file(L"update.ini", settings);
    std::vector<std::wstring> lines;
    if (!problem.empty() || read_text_lines(L"update.ini", lines) != Ctext_read::read) {
        report.checks.push_back({L"update.ini", L"update.ini can be read", Cverdict::failed, problem, L""});
        report.first_failure = report.checks.back().what;
        report.player_sees = failure_boxes(L"", problem);
        report.missing_hint = missing_update_ini_hint();
        return false;
    }
    report.readable = true;
    report.notes = inspect_file(L"update.ini");
    // The text is decoded as update.exe decodes it on this machine; players in Japan have 932.
    report.code_page = GetACP();
    report.warnings = encoding_warnings(report.notes, lines);
    if (report.code_page != 932)
        report.warnings.push_back(L"This Windows does not use code page 932 (Shift-JIS): Japanese text in update.ini "
                                  L"reads differently here than on a Japanese player's Windows. Check on a Japanese "
                                  L"Windows, or under Wine with LC_ALL=ja_JP.UTF-8.");
    report.lines = report_lines(lines, report.notes);
    for (const Cline_report& line : report.lines)
        if (!line.failure.empty())
            report.failures.push_back(line.failure);
    for (const std::wstring& warning : entries_beyond_count(settings))
        report.warnings.push_back(warning);
    return true;
}

int unreadable(Cpackage_report& report)
{
    report.exit_code = CHECK_UNREADABLE;
    return report.exit_code;
}

}  // namespace

int check_package(const Ccheck_options& options, Cpackage_report& report)
{
    report.folder = full_path(options.package_folder);
    // Relative to where the checker was started, not to the package it goes into.
    Ccheck_options resolved = options;
    if (!resolved.install_folder.empty())
        resolved.install_folder = full_path(options.install_folder);
    Ccurrent_directory directory(options.package_folder);
    if (!directory.entered()) {
        report.checker_error = L"the folder cannot be opened.";
        return unreadable(report);
    }

    Cupdate_settings settings;
    if (!read_package_ini(settings, report))
        return unreadable(report);
    report.checks.push_back({L"update.ini", L"update.ini can be read", Cverdict::passed, L"", L""});
    append(report.checks, judge_names(settings));
    append(report.checks, judge_sources(settings, SOURCE_ROOT));
    const bool installation = resolved.read_registry || !resolved.install_folder.empty();
    if (!installation)
        report.checks.push_back(installation_not_checked());
    else if (!judge_installation(resolved, settings, report))
        return unreadable(report);
    gather_plan(settings, report.installation.SAV_FOLDER, report);
    if (installation)
        judge_room(report);

    for (Ccheck_verdict& check : report.checks)
        check.hint = failure_hint(check, settings, report.lines, report.notes);
    name_what_the_player_sees(settings, report);
    report.exit_code = exit_code_of(report);
    return report.exit_code;
}
