#include "update_check/text_report.h"

#include "fs/text.h"
#include "update_check/installation_source.h"
#include "tool_common/report.h"
#include "update_check/report_words.h"
#include "version.h"

namespace {

// Whole megabytes of 1,048,576 bytes, rounded up: an estimate of room should not fall short.
unsigned long long megabytes_rounded_up(uint64_t bytes)
{
    const uint64_t megabyte = 1u << 20;
    return (bytes + megabyte - 1) / megabyte;
}

std::wstring files_and_bytes(size_t files, uint64_t bytes)
{
    return std::to_wstring(files) + (files == 1 ? L" file, " : L" files, ") + grouped_number(bytes) + L" bytes";
}

void write_encoding(Creport& out, const Cpackage_findings& findings)
{
    const Cfile_notes& notes = findings.notes;
    out.line(format_text(L"update.ini: %u bytes; line ends: %u CR LF, %u LF alone, %u CR alone",
                         static_cast<unsigned>(notes.size), static_cast<unsigned>(notes.crlf_line_ends),
                         static_cast<unsigned>(notes.lone_lf_line_ends), static_cast<unsigned>(notes.lone_cr_line_ends)));
    out.line(format_text(L"  read in code page %u%ls, as update.exe reads it on this Windows", findings.code_page,
                         findings.code_page == 932 ? L" (Shift-JIS)" : L""));
}

std::wstring ignored_text(const Cline_diagnosis& diagnosis)
{
    if (diagnosis.harmless)
        return L"ignored, harmless: blank or a comment once the blanks in front are gone";
    std::wstring text = L"IGNORED: ";
    for (size_t i = 0; i < diagnosis.reasons.size(); ++i)
        text += (i == 0 ? L"" : L"; ") + std::wstring(reason_name(diagnosis.reasons[i]));
    if (!diagnosis.would_set.empty())
        text += L" (meant to set " + diagnosis.would_set + L")";
    return text;
}

void write_lines(Creport& out, const std::vector<Cline_report>& lines)
{
    out.line(L"Lines of update.ini");
    const std::wstring arrow = L"        -> ";
    size_t ignored = 0;
    for (const Cline_report& line : lines) {
        out.line(format_text(L"%4u  ", static_cast<unsigned>(line.number)) + line.text);
        const Cline_diagnosis& diagnosis = line.diagnosis;
        if (diagnosis.kind == Cupdate_ini_line_kind::ignored) {
            ++ignored;
            out.line(arrow + ignored_text(diagnosis));
        } else if (diagnosis.kind != Cupdate_ini_line_kind::entry) {
            out.line(arrow + line_kind_word(diagnosis.kind));
        }
        for (const Cline_setting& setting : line.settings) {
            const std::wstring value = setting.is_number ? setting.value : L"\"" + setting.value + L"\"";
            out.line(arrow + L"sets " + setting.key + L" = " + value +
                     (setting.replaces_line == 0 ? L"" : format_text(L" (replaces line %u)",
                                                                     static_cast<unsigned>(setting.replaces_line))));
        }
        if (!diagnosis.ignored_tail.empty())
            out.line(arrow + L"the rest of the line is ignored: " + diagnosis.ignored_tail);
        if (!line.encoding_note.empty())
            out.line(arrow + line.encoding_note);
        if (!line.failure.empty())
            out.line(arrow + L"FAILS: " + line.failure);
    }
    out.line(format_text(L"  %u lines, %u ignored", static_cast<unsigned>(lines.size()), static_cast<unsigned>(ignored)));
}

// The check's name and what it looked at: GAME_NAME "ルミベイン物語", game folder "C:\Games\Lumivane".
std::wstring check_title(const Cfinding& check)
{
    return check.subject.empty() ? check.check : check.check + L" \"" + check.subject + L"\"";
}

std::wstring why_set_aside(const Cfinding& check)
{
    if (check.state == Cfinding_state::off)
        return L": update.ini does not ask for it";
    if (check.check == L"installation")
        return L": not checked here; give --install <game folder> or --registry";
    return L": an earlier check it depends on fails";
}

void write_checks(Creport& out, const std::vector<Cchecked>& checks)
{
    out.line(L"Checks, in update.exe's order (it stops at the first that fails; every one is judged here)");
    for (const Cchecked& check : checks) {
        std::wstring word = check.state == Cfinding_state::failed ? L"FAILED" : verdict_word(check.state);
        word.resize(12, L' ');
        const bool aside = check.state == Cfinding_state::off || check.state == Cfinding_state::not_judged;
        out.line(L"  " + word + check_title(check) + (aside ? why_set_aside(check) : L""));
        if (check.state == Cfinding_state::failed)
            out.indented(L"                ", check.message);
        if (!check.hint.empty())
            out.line(L"                likely cause: " + check.hint);
    }
}

std::wstring what_is_checked(const Cpackage_findings& findings, const std::wstring& name)
{
    for (const Cchecked& check : findings.checks)
        if (check.check == name)
            return check_title(check);
    return name;
}

void write_box(Creport& out, const Cbox& box)
{
    const std::wstring buttons = box.kind == L"question" ? L"Yes/No" : L"OK";
    out.line(L"    [" + box.kind + L" box, " + buttons + L", caption \"" + box.caption + L"\"]");
    out.indented(L"      ", box.text);
}

void write_player_sees(Creport& out, const Cpackage_findings& findings)
{
    out.line(L"What the player sees first");
    if (!findings.first_failure.empty())
        out.line(L"  update.exe stops at \"" + what_is_checked(findings, findings.first_failure) + L"\" and changes nothing:");
    else if (!findings.player_sees.empty())
        out.line(L"  the confirmation; はい (Yes) starts the copy:");
    else
        out.line(L"  nothing in update.ini or GAMEDATA stops update.exe. The installation is not checked here;\n"
                 L"  on a complete one the player sees the confirmation.");
    for (const Cbox& box : findings.player_sees)
        write_box(out, box);
}

void write_installation(Creport& out, const Cpackage_findings& findings)
{
    if (findings.installation_source.empty())
        return;
    out.line(L"Installation checked against (" + std::wstring(findings.installation_source == L"registry"
                                                                  ? L"read from the registry"
                                                                  : L"--install, every part set up") + L")");
    for (const Cregistry_value& value : REGISTRY_VALUES)
        out.line(std::wstring(L"  ") + value.name + L" = \"" + findings.installation.*value.field + L"\"");
    out.line();
}

void write_plan(Creport& out, const Cpackage_findings& findings)
{
    out.line(L"Copy plan: what update.exe copies once the player says Yes, in this order");
    if (findings.plan.empty())
        out.line(L"  nothing: update.ini switches no group on");
    for (const Cplan_group& group : findings.plan) {
        const std::wstring title = L"  " + group.key + L" \"" + group.entry + L"\": ";
        if (!group.planned) {
            out.line(title + L"not planned, its check fails");
            continue;
        }
        out.line(title + files_and_bytes(group.files.size(), group.bytes));
        for (const Cplanned_file& file : group.files)
            out.line(format_text(L"  %15ls  ", grouped_number(file.size).c_str()) + file.path);
        for (const Cplan_note& finding : group.notes)
            out.line((finding.fails ? L"    FAILS: " : L"    warning: ") + finding.text);
    }
    out.line(L"  Total: " + files_and_bytes(findings.plan_files, findings.plan_bytes));
    std::wstring room = L"  Staging needs about " + std::to_wstring(megabytes_rounded_up(findings.staging_bytes)) +
                        L" MB free on the game's drive";
    if (findings.free_space_known)
        room += L"; " + std::to_wstring(findings.free_bytes >> 20) + L" MB are free there";
    out.line(room);
}

void write_result(Creport& out, const Cpackage_findings& findings)
{
    size_t failed = findings.failures.size();
    for (const Cchecked& check : findings.checks)
        failed += check.state == Cfinding_state::failed ? 1 : 0;
    const std::wstring warnings = std::to_wstring(findings.warnings.size()) +
                                  (findings.warnings.size() == 1 ? L" warning." : L" warnings.");
    if (findings.exit_code == 0)
        out.line(L"Result: passed; update.exe would copy " + files_and_bytes(findings.plan_files, findings.plan_bytes) +
                 L" (exit code 0). " + warnings);
    else
        out.line(L"Result: FAILED, " + std::to_wstring(failed) + (failed == 1 ? L" problem" : L" problems") +
                 L" (exit code 1). " + warnings);
}

void write_unreadable(Creport& out, const Cpackage_findings& findings)
{
    if (!findings.checker_error.empty()) {
        out.line(L"update-check: " + findings.checker_error);
        return;
    }
    out.line(L"update.ini cannot be read. update.exe stops at once; the player sees:");
    for (const Cbox& box : findings.player_sees)
        write_box(out, box);
    if (!findings.missing_hint.empty())
        out.line(L"Likely cause: " + findings.missing_hint);
    out.line(L"Result: update.ini cannot be read (exit code 2).");
}

}  // namespace

std::wstring text_report(const Cpackage_findings& findings)
{
    Creport out;
    out.line(L"update-check " UPDATE_VERSION_WIDE L": the update package in " + findings.folder);
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
    if (!findings.warnings.empty()) {
        out.line(L"Warnings");
        for (const std::wstring& warning : findings.warnings)
            out.indented(L"  ", warning);
        out.line();
    }
    if (!findings.failures.empty()) {
        out.line(L"Problems update.exe does not stop at (it would report success)");
        for (const std::wstring& failure : findings.failures)
            out.line(L"  " + failure);
        out.line();
    }
    write_result(out, findings);
    return out.text();
}
