#include "update_pack/pack_report.h"

#include "fs/paths.h"
#include "tool_common/json_writer.h"
#include "tool_common/report.h"
#include "update_pack/chain_note.h"

namespace {

void tell_plan(const std::vector<Ccopy_group>& plan, Creport& report)
{
    report.line(L"Copy plan, read back as update.exe reads it:");
    size_t files = 0;
    for (const Ccopy_group& group : plan) {
        report.line(L"  " + group.key + L" \"" + group.entry + L"\": " + std::to_wstring(group.listing.entries.size()) +
                    L" file(s), " + grouped_number(group.listing.total_size) + L" bytes");
        for (const Cfile_entry& entry : group.listing.entries)
            report.line(L"    " + relative_path(group, entry));
        files += group.listing.entries.size();
    }
    report.line(L"  Total: " + std::to_wstring(files) + L" file(s), " + grouped_number(total_bytes(plan)) + L" bytes");
}

void tell_packages(const Cpack_options& options, const Cpack_result& result, Creport& report)
{
    const size_t count = result.packages.size();
    if (count > 1) {
        report.line();
        report.line(L"update.ini names at most ten folder entries and ten file entries, so the update is a chain of " +
                    std::to_wstring(count) + L" packages,");
        report.line(L"each complete on its own. Players run them in the order of their folders' names, as " +
                    std::wstring(CHAIN_NOTE_NAME));
        report.line(L"in " + path_folder(result.packages.front().folder) + L" tells them.");
    }
    uint64_t bytes = 0;
    for (size_t i = 0; i < count; ++i) {
        const Cmade_package& package = result.packages[i];
        report.line();
        if (count > 1)
            report.line(L"Package " + std::to_wstring(i + 1) + L" of " + std::to_wstring(count) + L": " + package.folder);
        report.line(L"update.ini (Shift-JIS, CR LF) in " + package.folder + L":");
        for (const std::wstring& line : package.update_ini)
            report.line(L"  " + line);
        tell_plan(package.plan, report);
        bytes += total_bytes(package.plan);
    }
    report.line();
    report.line(std::wstring(count > 1 ? L"Together: " : L"In all: ") + std::to_wstring(result.diff.changed.size()) +
                L" file(s), " + grouped_number(bytes) + L" bytes: exactly the changed files, each once");
    report.line(L"update.exe in every package: a copy of " + options.update_exe);
    if (options.note.empty())
        report.line(L"No player's note: give --note <file> (or keep sample\\README.txt beside update-pack.exe) to ship "
                    L"README.txt in every package.");
    else
        report.line(L"README.txt in every package: a copy of " + options.note);
}

}  // namespace

std::wstring pack_report_text(const Cpack_options& options, const Cpack_result& result)
{
    Creport report;
    report.line(L"update-pack: " + options.old_folder + L" -> " + options.new_folder);
    size_t added = 0;
    uint64_t bytes = 0;
    for (const Cchanged_file& file : result.diff.changed) {
        added += file.added;
        bytes += file.size;
    }
    report.line(L"  " + std::to_wstring(result.diff.changed.size()) + L" files new or changed (" +
                std::to_wstring(added) + L" new), " + grouped_number(bytes) + L" bytes");
    for (const std::wstring& path : result.diff.only_in_old)
        report.line(L"  only in the old folder, left on players' disks (update.exe never deletes): " + path);
    if (result.exit_code == PACK_MADE)
        tell_packages(options, result, report);
    for (const std::wstring& error : result.errors)
        report.line(L"update-pack: " + error);
    const wchar_t* const outcomes[] = {result.packages.size() > 1 ? L"chain of packages made" : L"package made",
                                       L"cannot be expressed in update.ini; nothing written", L"nothing written"};
    report.line(L"Result: " + std::wstring(outcomes[result.exit_code]) + L" (exit code " +
                std::to_wstring(result.exit_code) + L").");
    return report.text();
}

std::wstring pack_report_json(const Cpack_result& result)
{
    Cjson_writer json;
    json.begin_object();
    json.member(L"tool", L"update-pack");
    json.member(L"exit_code", result.exit_code);
    json.member(L"errors", result.errors);
    json.array(L"changed", result.diff.changed, [&](const Cchanged_file& file) {
        json.object({{L"path", file.path}, {L"bytes", file.size}, {L"new", file.added}});
    });
    json.member(L"only_in_old", result.diff.only_in_old);
    json.key(L"packages");
    json.begin_array();
    uint64_t bytes = 0;
    for (const Cmade_package& package : result.packages) {
        json.begin_object();
        json.member(L"folder", package.folder);
        json.member(L"update_ini", package.update_ini);
        json.array(L"entries", package.plan, [&](const Ccopy_group& group) {
            json.object({{L"key", group.key}, {L"entry", group.entry}});
        });
        json.array(L"files", package.plan, [&](const Ccopy_group& group) {
            for (const Cfile_entry& entry : group.listing.entries)
                json.object({{L"key", group.key}, {L"path", relative_path(group, entry)}, {L"bytes", entry.size}});
        });
        json.member(L"bytes", total_bytes(package.plan));
        json.end_object();
        bytes += total_bytes(package.plan);
    }
    json.end_array();
    json.member(L"bytes", bytes);
    json.end_object();
    return json.text() + L"\n";
}
