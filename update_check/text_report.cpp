#include "update_check/text_report.h"

#include "fs/text.h"
#include "tool_common/report.h"
#include "update_check/update_ini_report.h"
#include "update_check/words.h"
#include "version.h"

namespace {

const wchar_t* const ARROW = L"        -> ";
const wchar_t* const UNDER_CHECK = L"                ";

std::wstring files_and_bytes(size_t files, uint64_t bytes)
{
    return words(files == 1 ? W_ONE_FILE : W_FILES, {grouped_number(files), grouped_number(bytes)});
}

std::wstring count_of(size_t count, unsigned one, unsigned many)
{
    return count == 1 ? words(one) : words(many, {grouped_number(count)});
}

void write_encoding(Creport& out, const Cpackage_findings& findings)
{
    const Cfile_notes& notes = findings.notes;
    out.line(words(W_FILE_BYTES, {grouped_number(notes.size), grouped_number(notes.crlf_line_ends),
                                  grouped_number(notes.lone_lf_line_ends), grouped_number(notes.lone_cr_line_ends)}));
    out.line(words(W_CODE_PAGE, {std::to_wstring(findings.code_page) + (findings.code_page == 932 ? L" (Shift-JIS)" : L"")}));
}

void write_line(Creport& out, const Cline_report& line)
{
    out.line(format_text(L"%4u  ", static_cast<unsigned>(line.number)) + line.text);
    const Cupdate_ini_line_kind kind = line.read.kind;
    if (kind == Cupdate_ini_line_kind::ignored && line.harmless)
        out.line(ARROW + words(W_HARMLESS));
    else if (kind == Cupdate_ini_line_kind::ignored)
        out.line(ARROW + words(W_IGNORED, {reasons_text(line)}) +
                 (line.would_set.empty() ? L"" : words(W_MEANT_TO_SET, {line.would_set})));
    else if (kind != Cupdate_ini_line_kind::entry)
        out.line(ARROW + words(kind == Cupdate_ini_line_kind::empty ? W_KIND_EMPTY : W_KIND_COMMENT));
    for (const Cline_setting& setting : line.settings)
        out.line(ARROW + words(W_SETS, {setting.key, setting.is_number ? setting.value : L"\"" + setting.value + L"\""}) +
                 (setting.replaces_line == 0 ? L"" : words(W_REPLACES_LINE, {grouped_number(setting.replaces_line)})));
    if (!line.ignored_tail.empty())
        out.line(ARROW + words(W_REST_IGNORED, {line.ignored_tail}));
    if (!line.encoding_note.empty())
        out.line(ARROW + line.encoding_note);
    if (!line.failure.empty())
        out.line(ARROW + words(W_LINE_FAILS, {line.failure}));
}

void write_lines(Creport& out, const std::vector<Cline_report>& lines)
{
    out.line(words(W_LINES));
    size_t ignored = 0;
    for (const Cline_report& line : lines) {
        write_line(out, line);
        ignored += line.read.kind == Cupdate_ini_line_kind::ignored ? 1 : 0;
    }
    out.line(words(W_LINE_COUNT, {grouped_number(lines.size()), grouped_number(ignored)}));
}

// The check's name and what it looked at: GAME_NAME "ルミベイン物語", game folder "C:\Games\Lumivane".
std::wstring check_title(const Cfinding& check)
{
    return check.subject.empty() || check.subject == check.check ? check.check : check.check + L" \"" + check.subject + L"\"";
}

std::wstring why_set_aside(const Cfinding& check)
{
    if (check.state == Cfinding_state::off)
        return words(W_OFF_WHY);
    if (check.state == Cfinding_state::not_judged)
        return words(check.check == L"installation" ? W_INSTALLATION_WHY : W_NOT_JUDGED_WHY);
    return std::wstring();
}

// Padded to one column, a Japanese character taking the room of two.
std::wstring state_word(Cfinding_state state)
{
    std::wstring word = words(W_STATE_FIRST + static_cast<unsigned>(state));
    size_t width = 0;
    for (wchar_t c : word)
        width += c < 0x80 ? 1 : 2;
    return word + std::wstring(width < 12 ? 12 - width : 1, L' ');
}

void write_checks(Creport& out, const std::vector<Cchecked>& checks)
{
    out.line(words(W_CHECKS));
    for (const Cchecked& check : checks) {
        out.line(L"  " + state_word(check.state) + check_title(check) + why_set_aside(check));
        if (check.state == Cfinding_state::failed)
            out.indented(UNDER_CHECK, check.message);
        if (!check.hint.empty())
            out.line(UNDER_CHECK + words(W_LIKELY_CAUSE, {check.hint}));
    }
}

void write_box(Creport& out, const Cbox& box)
{
    const unsigned kind = box.kind == L"question" ? W_BOX_QUESTION : box.kind == L"warning" ? W_BOX_WARNING : W_BOX_INFORMATION;
    out.line(words(W_BOX, {words(kind), words(box.kind == L"question" ? W_BUTTONS_YES_NO : W_BUTTONS_OK), box.caption}));
    out.indented(L"      ", box.text);
}

void write_player_sees(Creport& out, const Cpackage_findings& findings)
{
    out.line(words(W_PLAYER_SEES));
    for (const Cchecked& check : findings.checks)
        if (check.check == findings.first_failure)
            out.line(words(W_STOPS_AT, {check_title(check)}));
    if (findings.first_failure.empty())
        out.line(words(findings.player_sees.empty() ? W_NOTHING_STOPS : W_CONFIRMATION));
    for (const Cbox& box : findings.player_sees)
        write_box(out, box);
}

void write_installation(Creport& out, const Cpackage_findings& findings)
{
    if (findings.installation_source.empty())
        return;
    out.line(words(W_INSTALLATION, {words(findings.installation_source == L"registry" ? W_FROM_REGISTRY : W_FROM_INSTALL)}));
    for (const Cregistry_value& value : REGISTRY_VALUES)
        out.line(std::wstring(L"  ") + value.name + L" = \"" + findings.installation.*value.field + L"\"");
    out.line();
}

void write_plan(Creport& out, const Cpackage_findings& findings)
{
    out.line(words(W_PLAN));
    if (findings.plan.empty())
        out.line(words(W_PLAN_EMPTY));
    for (const Cplan_group& group : findings.plan) {
        const std::wstring title = L"  " + group.key + L" \"" + group.entry + L"\": ";
        out.line(title + (group.planned ? files_and_bytes(group.files.size(), group.bytes) : words(W_NOT_PLANNED)));
        for (const Cfile_entry& file : group.files)
            out.line(format_text(L"  %15ls  ", grouped_number(file.size).c_str()) + file.path);
        for (const Cplan_note& note : group.notes)
            out.line(words(note.fails ? W_NOTE_FAILS : W_NOTE_WARNING, {note.text}));
    }
    out.line(words(W_TOTAL, {files_and_bytes(findings.plan_files, findings.plan_bytes)}));
    // Whole megabytes of 1,048,576 bytes, rounded up: an estimate of room should not fall short.
    const uint64_t megabyte = 1u << 20;
    out.line(words(W_STAGING, {grouped_number((findings.staging_bytes + megabyte - 1) / megabyte)}) +
             (findings.free_space_known ? words(W_FREE_THERE, {grouped_number(findings.free_bytes / megabyte)}) : L""));
}

void write_list(Creport& out, unsigned heading, const std::vector<std::wstring>& texts)
{
    if (texts.empty())
        return;
    out.line(words(heading));
    for (const std::wstring& text : texts)
        out.indented(L"  ", text);
    out.line();
}

// Whose signature the player's Windows finds on update.exe, whether it is this kit's, and what
// fails the package in it.
void write_package_exe(Creport& out, const Cpackage_findings& findings)
{
    std::vector<std::wstring> said = findings.exe_notes;
    for (const std::wstring& problem : findings.exe_problems)
        said.push_back(words(W_LINE_FAILS, {problem}));
    write_list(out, W_EXE, said);
}

void write_result(Creport& out, const Cpackage_findings& findings)
{
    size_t failed = findings.failures.size() + findings.exe_problems.size();
    for (const Cchecked& check : findings.checks)
        failed += check.state == Cfinding_state::failed ? 1 : 0;
    const std::wstring warnings = count_of(findings.warnings.size(), W_ONE_WARNING, W_WARNING_COUNT);
    if (findings.exit_code == 0)
        out.line(words(W_RESULT_PASSED, {files_and_bytes(findings.plan_files, findings.plan_bytes), warnings}));
    else
        out.line(words(W_RESULT_FAILED, {count_of(failed, W_ONE_PROBLEM, W_PROBLEM_COUNT), warnings}));
}

void write_unreadable(Creport& out, const Cpackage_findings& findings)
{
    if (!findings.checker_error.empty()) {
        out.line(words(W_CHECKER_ERROR, {findings.checker_error}));
        return;
    }
    out.line(words(W_UNREADABLE));
    for (const Cbox& box : findings.player_sees)
        write_box(out, box);
    if (!findings.missing_hint.empty())
        out.line(words(W_LIKELY_CAUSE, {findings.missing_hint}));
    out.line(words(W_RESULT_UNREADABLE));
}

}  // namespace

std::wstring text_report(const Cpackage_findings& findings)
{
    Creport out;
    out.line(words(W_TITLE, {UPDATE_VERSION_WIDE, findings.folder}));
    if (findings.exit_code == 2) {
        write_unreadable(out, findings);
        return out.text();
    }
    write_encoding(out, findings);
    out.line();
    write_lines(out, findings.lines);
    out.line();
    write_checks(out, findings.checks);
    out.line();
    write_player_sees(out, findings);
    out.line();
    write_installation(out, findings);
    write_plan(out, findings);
    out.line();
    write_package_exe(out, findings);
    write_list(out, W_WARNINGS, findings.warnings);
    write_list(out, W_PROBLEMS, findings.failures);
    write_result(out, findings);
    return out.text();
}
