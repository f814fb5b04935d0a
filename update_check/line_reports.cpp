#include "update_check/line_reports.h"

#include <cstdint>
#include <map>

#include "fs/text.h"
#include "update_check/words.h"
#include "update_ini/update_ini_lines.h"
#include "update_ini/update_settings.h"

namespace {

// Whether the number written after the key's "=" lies outside the 32-bit range, so that update.exe
// reads another number than the one written (4294967296 reads as 0).
bool number_wraps(const std::wstring& line)
{
    size_t i = line.find(L'=') + 1;
    bool negative = false;
    for (; i < line.size() && (line[i] == L' ' || line[i] == L'\t' || line[i] == L'+' || line[i] == L'-'); ++i)
        negative = negative || line[i] == L'-';
    while (i < line.size() && line[i] == L'0')
        ++i;
    uint64_t value = 0;
    for (size_t digits = 0; i < line.size() && line[i] >= L'0' && line[i] <= L'9'; ++i, ++digits) {
        if (digits == 10)
            return true;
        value = value * 10 + static_cast<uint64_t>(line[i] - L'0');
    }
    return value > (negative ? 2147483648u : 2147483647u);
}

Cline_setting setting_of(const Cupdate_ini_template& entry, Cupdate_settings& settings)
{
    const int32_t* number = entry.number_in(settings);
    return {entry.key(), number != nullptr ? std::to_wstring(*number) : *entry.text_in(settings), number != nullptr};
}

}  // namespace

std::vector<Cline_report> report_lines(const std::vector<std::wstring>& lines, const Cfile_notes& notes)
{
    std::vector<Cline_report> reports;
    Cupdate_settings scratch;
    std::map<std::wstring, size_t> line_of_key;
    for (size_t n = 0; n < lines.size(); ++n) {
        Cline_report report;
        report.number = n + 1;
        report.text = lines[n];
        report.diagnosis = diagnose_line(lines[n], notes.utf8_byte_order_mark && n == 0, scratch);
        report.encoding_note = line_encoding_note(notes, lines, n);
        for (const Cupdate_ini_match& match : report.diagnosis.matched) {
            const Cupdate_ini_template& entry = update_ini_templates()[match.index];
            Cline_setting setting = setting_of(entry, scratch);
            const auto earlier = line_of_key.find(setting.key);
            if (earlier != line_of_key.end())
                setting.replaces_line = earlier->second;
            line_of_key[setting.key] = report.number;
            if (setting.is_number && number_wraps(lines[n]))
                report.failure = words(W_NUMBER_WRAPS, {setting.key, setting.value});
            report.settings.push_back(setting);
        }
        reports.push_back(report);
    }
    return reports;
}

std::wstring reasons_text(const Cline_diagnosis& diagnosis)
{
    std::wstring text;
    for (Cignored_reason reason : diagnosis.reasons)
        text += (text.empty() ? L"" : words(W_REASON_JOIN)) + words(W_REASON_FIRST + static_cast<unsigned>(reason));
    return text;
}

const Cline_report* ignored_line_meant_for(const std::vector<Cline_report>& lines, const std::wstring& key)
{
    for (const Cline_report& line : lines) {
        // would_set lists every key the line would set, joined by ", ".
        const std::wstring keys = L", " + line.diagnosis.would_set + L", ";
        const bool meant = line.diagnosis.key == key || keys.find(L", " + key + L", ") != std::wstring::npos;
        if (line.diagnosis.kind == Cupdate_ini_line_kind::ignored && meant)
            return &line;
    }
    return nullptr;
}
