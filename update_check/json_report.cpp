#include "update_check/json_report.h"

#include "update_check/installation_source.h"
#include "update_check/json_writer.h"
#include "update_check/report_words.h"
#include "version.h"

namespace {

void write_texts(Cjson_writer& json, const std::wstring& name, const std::vector<std::wstring>& texts)
{
    json.key(name);
    json.begin_array();
    for (const std::wstring& text : texts)
        json.value(text);
    json.end_array();
}

void write_update_ini(Cjson_writer& json, const Cpackage_findings& findings)
{
    json.key(L"update_ini");
    json.begin_object();
    json.key(L"readable");
    json.value(findings.readable);
    if (!findings.missing_hint.empty()) {
        json.key(L"missing_hint");
        json.value(findings.missing_hint);
    }
    if (findings.readable) {
        json.key(L"bytes");
        json.value(static_cast<uint64_t>(findings.notes.size));
        json.key(L"encoding");
        json.value(encoding_name(findings.notes));
        json.key(L"code_page");
        json.value(static_cast<uint64_t>(findings.code_page));
        json.key(L"line_ends");
        json.begin_object();
        json.key(L"crlf");
        json.value(static_cast<uint64_t>(findings.notes.crlf_line_ends));
        json.key(L"lf");
        json.value(static_cast<uint64_t>(findings.notes.lone_lf_line_ends));
        json.key(L"cr");
        json.value(static_cast<uint64_t>(findings.notes.lone_cr_line_ends));
        json.end_object();
    }
    json.end_object();
}

void write_line(Cjson_writer& json, const Cline_report& line)
{
    const Cline_diagnosis& diagnosis = line.diagnosis;
    json.begin_object();
    json.key(L"number");
    json.value(static_cast<uint64_t>(line.number));
    json.key(L"text");
    json.value(line.text);
    json.key(L"kind");
    json.value(line_kind_word(diagnosis.kind));
    if (diagnosis.kind == Cupdate_ini_line_kind::entry) {
        json.key(L"sets");
        json.begin_array();
        for (const Cline_setting& setting : line.settings) {
            json.begin_object();
            json.key(L"key");
            json.value(setting.key);
            json.key(L"value");
            if (setting.is_number)
                json.value(static_cast<int>(setting.number));
            else
                json.value(setting.value);
            json.key(L"replaces_line");
            json.value(static_cast<uint64_t>(setting.replaces_line));
            json.end_object();
        }
        json.end_array();
        json.key(L"ignored_rest");
        json.value(diagnosis.ignored_tail);
    }
    if (diagnosis.kind == Cupdate_ini_line_kind::ignored) {
        json.key(L"harmless");
        json.value(diagnosis.harmless);
        json.key(L"reasons");
        json.begin_array();
        for (Cignored_reason reason : diagnosis.reasons)
            json.value(reason_name(reason));
        json.end_array();
        json.key(L"meant_to_set");
        json.value(diagnosis.would_set);
    }
    if (!line.encoding_note.empty()) {
        json.key(L"encoding_note");
        json.value(line.encoding_note);
    }
    if (!line.failure.empty()) {
        json.key(L"failure");
        json.value(line.failure);
    }
    json.end_object();
}

void write_check(Cjson_writer& json, const Ccheck_verdict& check)
{
    json.begin_object();
    json.key(L"name");
    json.value(check.name);
    json.key(L"what");
    json.value(check.what);
    json.key(L"verdict");
    json.value(verdict_word(check.verdict));
    json.key(L"message");
    json.value(check.message);
    if (!check.hint.empty()) {
        json.key(L"hint");
        json.value(check.hint);
    }
    json.end_object();
}

void write_player_sees(Cjson_writer& json, const Cpackage_findings& findings)
{
    json.key(L"player_sees_first");
    json.begin_object();
    json.key(L"failed_check");
    if (findings.first_failure.empty())
        json.null();
    else
        json.value(findings.first_failure);
    json.key(L"boxes");
    json.begin_array();
    for (const Cbox& box : findings.player_sees) {
        json.begin_object();
        json.key(L"kind");
        json.value(box.kind);
        json.key(L"caption");
        json.value(box.caption);
        json.key(L"text");
        json.value(box.text);
        json.end_object();
    }
    json.end_array();
    json.end_object();
}

void write_installation(Cjson_writer& json, const Cpackage_findings& findings)
{
    json.key(L"installation");
    if (findings.installation_source.empty()) {
        json.null();
        return;
    }
    json.begin_object();
    json.key(L"source");
    json.value(findings.installation_source);
    for (const Cregistry_value& value : registry_values()) {
        json.key(value.name);
        json.value(findings.installation.*value.field);
    }
    json.end_object();
}

void write_group(Cjson_writer& json, const Cplan_group& group)
{
    json.begin_object();
    json.key(L"key");
    json.value(group.key);
    json.key(L"entry");
    json.value(group.entry);
    json.key(L"planned");
    json.value(group.planned);
    json.key(L"bytes");
    json.value(group.bytes);
    json.key(L"files");
    json.begin_array();
    for (const Cplanned_file& file : group.files) {
        json.begin_object();
        json.key(L"path");
        json.value(file.path);
        json.key(L"bytes");
        json.value(file.size);
        json.end_object();
    }
    json.end_array();
    json.key(L"findings");
    json.begin_array();
    for (const Cfinding& finding : group.findings) {
        json.begin_object();
        json.key(L"fails");
        json.value(finding.fails);
        json.key(L"text");
        json.value(finding.text);
        json.end_object();
    }
    json.end_array();
    json.end_object();
}

void write_plan(Cjson_writer& json, const Cpackage_findings& findings)
{
    json.key(L"plan");
    json.begin_object();
    json.key(L"groups");
    json.begin_array();
    for (const Cplan_group& group : findings.plan)
        write_group(json, group);
    json.end_array();
    json.key(L"files");
    json.value(static_cast<uint64_t>(findings.plan_files));
    json.key(L"bytes");
    json.value(findings.plan_bytes);
    json.key(L"staging_bytes");
    json.value(findings.staging_bytes);
    json.key(L"free_bytes");
    if (findings.free_space_known)
        json.value(findings.free_bytes);
    else
        json.null();
    json.end_object();
}

}  // namespace

std::wstring json_report(const Cpackage_findings& findings)
{
    Cjson_writer json;
    json.begin_object();
    json.key(L"tool");
    json.value(L"update-check");
    json.key(L"version");
    json.value(UPDATE_VERSION_WIDE);
    json.key(L"package");
    json.value(findings.folder);
    json.key(L"exit_code");
    json.value(findings.exit_code);
    json.key(L"result");
    json.value(result_word(findings.exit_code));
    if (!findings.checker_error.empty()) {
        json.key(L"error");
        json.value(findings.checker_error);
    }
    write_update_ini(json, findings);
    json.key(L"lines");
    json.begin_array();
    for (const Cline_report& line : findings.lines)
        write_line(json, line);
    json.end_array();
    json.key(L"checks");
    json.begin_array();
    for (const Ccheck_verdict& check : findings.checks)
        write_check(json, check);
    json.end_array();
    write_player_sees(json, findings);
    write_installation(json, findings);
    write_plan(json, findings);
    write_texts(json, L"warnings", findings.warnings);
    write_texts(json, L"failures", findings.failures);
    json.end_object();
    return json.text();
}
