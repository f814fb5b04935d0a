#include "update_check/json_report.h"

#include "tool_common/json_writer.h"
#include "version.h"

namespace {

// Stable words for scripts, in the order of Cfinding_state, Cupdate_ini_line_kind and the exit code.
const wchar_t* const STATE_WORDS[] = {L"passed", L"failed", L"off", L"not judged"};
const wchar_t* const LINE_KIND_WORDS[] = {L"empty", L"comment", L"entry", L"ignored"};
const wchar_t* const RESULT_WORDS[] = {L"passed", L"failed", L"unreadable"};
// In the order of Cignored_reason and of Csignature_state.
const wchar_t* const REASON_WORDS[] = {
    L"byte-order mark", L"indented key", L"full-width blank", L"wrong letter case", L"unknown key",
    L"numbered key out of range", L"section header", L"not a comment marker", L"no \"=\" after the key",
    L"missing value", L"unquoted value", L"unterminated value", L"not a number"};
const wchar_t* const SIGNATURE_WORDS[] = {L"none", L"trusted", L"untrusted", L"altered", L"unreadable"};

// "shift_jis" (or plain ASCII), "utf8", "utf8_bom" or "utf16": how the file was saved.
const wchar_t* encoding_name(const Cfile_notes& notes)
{
    if (notes.utf16_byte_order_mark || notes.looks_like_utf16)
        return L"utf16";
    return notes.utf8_byte_order_mark ? L"utf8_bom" : notes.looks_like_utf8 ? L"utf8" : L"shift_jis";
}

void write_update_ini(Cjson_writer& json, const Cpackage_findings& findings)
{
    json.key(L"update_ini");
    json.begin_object();
    json.member(L"readable", findings.readable);
    if (!findings.missing_hint.empty())
        json.member(L"missing_hint", findings.missing_hint);
    if (findings.readable) {
        json.member(L"bytes", static_cast<uint64_t>(findings.notes.size));
        json.member(L"encoding", encoding_name(findings.notes));
        json.member(L"code_page", static_cast<uint64_t>(findings.code_page));
        json.key(L"line_ends");
        json.object({{L"crlf", static_cast<uint64_t>(findings.notes.crlf_line_ends)},
                     {L"lf", static_cast<uint64_t>(findings.notes.lone_lf_line_ends)},
                     {L"cr", static_cast<uint64_t>(findings.notes.lone_cr_line_ends)}});
    }
    json.end_object();
}

void write_line(Cjson_writer& json, const Cline_report& line)
{
    const Cupdate_ini_line_kind kind = line.read.kind;
    json.begin_object();
    json.member(L"number", static_cast<uint64_t>(line.number));
    json.member(L"text", line.text);
    json.member(L"kind", LINE_KIND_WORDS[static_cast<int>(kind)]);
    if (kind == Cupdate_ini_line_kind::entry) {
        json.array(L"sets", line.settings, [&](const Cline_setting& setting) {
            json.object({{L"key", setting.key},
                         {L"value", setting.is_number ? Cjson_scalar(std::stoi(setting.value)) : setting.value},
                         {L"replaces_line", static_cast<uint64_t>(setting.replaces_line)}});
        });
        json.member(L"ignored_rest", line.ignored_tail);
    }
    if (kind == Cupdate_ini_line_kind::ignored) {
        json.member(L"harmless", line.harmless);
        json.array(L"reasons", line.reasons, [&](Cignored_reason reason) { json.value(REASON_WORDS[static_cast<int>(reason)]); });
        json.member(L"meant_to_set", line.would_set);
    }
    if (!line.encoding_note.empty())
        json.member(L"encoding_note", line.encoding_note);
    if (!line.failure.empty())
        json.member(L"failure", line.failure);
    json.end_object();
}

void write_check(Cjson_writer& json, const Cchecked& check)
{
    json.begin_object();
    json.member(L"name", check.check);
    json.member(L"subject", check.subject);
    json.member(L"verdict", STATE_WORDS[static_cast<int>(check.state)]);
    json.member(L"message", check.message);
    if (!check.hint.empty())
        json.member(L"hint", check.hint);
    json.end_object();
}

void write_player_sees(Cjson_writer& json, const Cpackage_findings& findings)
{
    json.key(L"player_sees_first");
    json.begin_object();
    json.member(L"failed_check", findings.first_failure.empty() ? nullptr : Cjson_scalar(findings.first_failure));
    json.array(L"boxes", findings.player_sees, [&](const Cbox& box) {
        json.object({{L"kind", box.kind}, {L"caption", box.caption}, {L"text", box.text}});
    });
    json.end_object();
}

void write_installation(Cjson_writer& json, const Cpackage_findings& findings)
{
    if (findings.installation_source.empty())
        return json.member(L"installation", nullptr);
    json.key(L"installation");
    json.begin_object();
    json.member(L"source", findings.installation_source);
    for (const Cregistry_value& value : REGISTRY_VALUES)
        json.member(value.name, findings.installation.*value.field);
    json.end_object();
}

void write_group(Cjson_writer& json, const Cplan_group& group)
{
    json.begin_object();
    json.member(L"key", group.key);
    json.member(L"entry", group.entry);
    json.member(L"planned", group.planned);
    json.member(L"bytes", group.bytes);
    json.array(L"files", group.files,
               [&](const Cfile_entry& file) { json.object({{L"path", file.path}, {L"bytes", file.size}}); });
    json.array(L"findings", group.notes,
               [&](const Cplan_note& note) { json.object({{L"fails", note.fails}, {L"text", note.text}}); });
    json.end_object();
}

void write_plan(Cjson_writer& json, const Cpackage_findings& findings)
{
    json.key(L"plan");
    json.begin_object();
    json.array(L"groups", findings.plan, [&](const Cplan_group& group) { write_group(json, group); });
    json.member(L"files", static_cast<uint64_t>(findings.plan_files));
    json.member(L"bytes", findings.plan_bytes);
    json.member(L"staging_bytes", findings.staging_bytes);
    json.member(L"free_bytes", findings.free_space_known ? Cjson_scalar(findings.free_bytes) : nullptr);
    json.end_object();
}

void write_package_exe(Cjson_writer& json, const Cpackage_findings& findings)
{
    const Cpackage_exe& exe = findings.exe;
    json.key(L"update_exe");
    json.begin_object();
    json.member(L"present", exe.present);
    if (!exe.present) {
        json.member(L"hint", findings.exe_notes.front());
        return json.end_object();
    }
    json.member(L"signed", !exe.signer.empty());
    json.member(L"signature", SIGNATURE_WORDS[static_cast<int>(exe.signature)]);
    json.member(L"signer", exe.signer.empty() ? nullptr : Cjson_scalar(exe.signer));
    json.member(L"trust_code", exe.trust_code);
    json.member(L"version", exe.version.empty() ? nullptr : Cjson_scalar(exe.version));
    json.member(L"same_version", exe.version == UPDATE_VERSION_WIDE);
    json.member(L"problems", findings.exe_problems);
    json.end_object();
}

}  // namespace

std::wstring json_report(const Cpackage_findings& findings)
{
    Cjson_writer json;
    json.begin_object();
    json.member(L"tool", L"update-check");
    json.member(L"version", UPDATE_VERSION_WIDE);
    json.member(L"package", findings.folder);
    json.member(L"exit_code", findings.exit_code);
    json.member(L"result", RESULT_WORDS[findings.exit_code]);
    if (!findings.checker_error.empty())
        json.member(L"error", findings.checker_error);
    write_update_ini(json, findings);
    json.array(L"lines", findings.lines, [&](const Cline_report& line) { write_line(json, line); });
    json.array(L"checks", findings.checks, [&](const Cchecked& check) { write_check(json, check); });
    write_player_sees(json, findings);
    write_installation(json, findings);
    write_plan(json, findings);
    write_package_exe(json, findings);
    json.member(L"warnings", findings.warnings);
    json.member(L"failures", findings.failures);
    json.end_object();
    return json.text();
}
