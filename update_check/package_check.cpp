#include "update_check/package_check.h"

#include <windows.h>

#include <map>
#include <vector>

#include "fs/paths.h"
#include "fs/text_file.h"
#include "install/destination.h"
#include "install/installation_record.h"
#include "update_check/file_notes.h"
#include "update_check/line_diagnosis.h"
#include "update_check/path_escape.h"
#include "update_ini/copy_plan.h"
#include "update_ini/source_checks.h"
#include "update_ini/update_ini_lines.h"
#include "update_ini/update_ini_reader.h"
#include "update_ini/update_settings.h"

namespace {

// ---- The player's boxes, printed instead of shown -------------------------------------------

// What the package checker knows of one update: update.exe's globals, kept here instead.
struct Cpackage {
    Cupdate_settings settings;
    Cinstallation_record installation;
    std::wstring source_root = L"GAMEDATA";
};

void print_box(Creport& report, const std::wstring& kind, const std::wstring& caption, const std::wstring& text)
{
    report.line(L"    [" + kind + L", caption \"" + caption + L"\"]");
    report.indented(L"      ", text);
}

// One of update.exe's checks: passed, or failed with the two warning boxes the player would see.
bool report_check(Creport& report, const wchar_t* title, const std::wstring& problem, const std::wstring& caption)
{
    const bool passed = problem.empty();
    report.line(std::wstring(L"  ") + title + (passed ? L": passed" : L": FAILED. The player sees:"));
    if (!passed) {
        print_box(report, L"warning box, OK", caption, problem);
        print_box(report, L"warning box, OK", caption, L"アップデートに失敗しました。");
    }
    return passed;
}

// ---- The lines of update.ini ------------------------------------------------------------------

std::wstring value_text(const Cupdate_ini_template& entry, Cupdate_settings& settings)
{
    if (const int32_t* number = entry.number_in(settings))
        return std::to_wstring(*number);
    return L"\"" + *entry.text_in(settings) + L"\"";
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

void report_lines(Creport& report, const std::vector<std::wstring>& lines, bool has_bom,
                  std::vector<std::wstring>& failures)
{
    report.line(L"Lines of update.ini");
    Cupdate_settings scratch;
    std::map<std::wstring, size_t> line_of_key;
    size_t ignored = 0;
    for (size_t n = 0; n < lines.size(); ++n) {
        const Cline_diagnosis diagnosis = diagnose_line(lines[n], has_bom && n == 0, scratch);
        report.line(format_text(L"%4u  ", static_cast<unsigned>(n + 1)) + lines[n]);
        const std::wstring arrow = L"        -> ";
        switch (diagnosis.kind) {
        case Cupdate_ini_line_kind::empty:
            report.line(arrow + L"empty");
            break;
        case Cupdate_ini_line_kind::comment:
            report.line(arrow + L"comment");
            break;
        case Cupdate_ini_line_kind::ignored:
            ++ignored;
            report.line(arrow + ignored_text(diagnosis));
            break;
        case Cupdate_ini_line_kind::entry:
            for (size_t index : diagnosis.matched) {
                const Cupdate_ini_template& entry = update_ini_templates()[index];
                std::wstring text = arrow + L"sets " + entry.key() + L" = " + value_text(entry, scratch);
                const auto earlier = line_of_key.find(entry.key());
                if (earlier != line_of_key.end())
                    text += format_text(L" (replaces line %u)", static_cast<unsigned>(earlier->second));
                line_of_key[entry.key()] = n + 1;
                report.line(text);
                if (entry.number_in(scratch) != nullptr && number_wraps(lines[n])) {
                    failures.push_back(entry.key() + L": the number written lies outside -2147483648 to 2147483647; "
                                       L"update.exe reads " + value_text(entry, scratch) + L" instead.");
                    report.line(arrow + L"FAILS: " + failures.back());
                }
            }
            if (!diagnosis.ignored_tail.empty())
                report.line(arrow + L"the rest of the line is ignored: " + diagnosis.ignored_tail);
            break;
        }
    }
    report.line(format_text(L"  %u lines, %u ignored", static_cast<unsigned>(lines.size()),
                            static_cast<unsigned>(ignored)));
}

void report_encoding(Creport& report, const Cfile_notes& notes, std::vector<std::wstring>& warnings)
{
    report.line(format_text(L"update.ini: %u bytes; line ends: %u CR LF, %u LF alone, %u CR alone",
                            static_cast<unsigned>(notes.size), static_cast<unsigned>(notes.crlf_line_ends),
                            static_cast<unsigned>(notes.lone_lf_line_ends),
                            static_cast<unsigned>(notes.lone_cr_line_ends)));
    std::vector<std::wstring> found = encoding_warnings(notes);
    // The text is decoded as update.exe decodes it on this machine; players in Japan have 932.
    const UINT code_page = GetACP();
    report.line(format_text(L"  read in code page %u%ls, as update.exe reads it on this Windows", code_page,
                            code_page == 932 ? L" (Shift-JIS)" : L""));
    if (code_page != 932)
        found.push_back(L"This Windows does not use code page 932 (Shift-JIS): Japanese text in update.ini reads "
                        L"differently here than on a Japanese player's Windows. Check on a Japanese Windows, or "
                        L"under Wine with LC_ALL=ja_JP.UTF-8.");
    for (const std::wstring& warning : found) {
        report.line(L"  warning: " + warning);
        warnings.push_back(warning);
    }
}

// ---- The copy plan ----------------------------------------------------------------------------

std::vector<std::wstring> subfolders_of(const std::wstring& folder)
{
    Cfile_list folders;
    folders.root = folder + L"\\";
    folders.list_folders = true;
    folders.scan(std::wstring());
    std::vector<std::wstring> names;
    for (const Cfile_entry& entry : folders.entries)
        names.push_back(entry.path);
    return names;
}

// The source folders the plan copies from, so that a subfolder another entry copies is not
// reported as left behind.
std::vector<std::wstring> planned_folders(const std::vector<Ccopy_group>& plan)
{
    std::vector<std::wstring> folders;
    for (const Ccopy_group& group : plan)
        if (!group.folder.empty())
            folders.push_back(lower_ascii(group.folder));
    return folders;
}

bool is_planned(const std::vector<std::wstring>& folders, const std::wstring& folder)
{
    for (const std::wstring& planned : folders)
        if (planned == lower_ascii(folder))
            return true;
    return false;
}

// CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, with or without an extension: Windows opens the
// device of that name instead of the file, wherever the file lies.
bool is_device_name(const std::wstring& path)
{
    const std::wstring name = lower_ascii(path.substr(path.find_last_of(L"\\/") + 1));
    std::wstring stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ')
        stem.pop_back();
    if (stem == L"con" || stem == L"prn" || stem == L"aux" || stem == L"nul")
        return true;
    return stem.size() == 4 && (stem.compare(0, 3, L"com") == 0 || stem.compare(0, 3, L"lpt") == 0) &&
           stem[3] >= L'1' && stem[3] <= L'9';
}

struct Cfinding {
    // Fails: update.exe would report success without installing what the package means to install.
    bool fails;
    std::wstring text;
};

std::vector<Cfinding> judge_group(const Ccopy_group& group, const std::vector<std::wstring>& folders,
                                  const std::wstring& source_root, const std::wstring& destination)
{
    std::vector<Cfinding> findings;
    const std::wstring escape = path_escape_problem(group.entry);
    if (!escape.empty())
        findings.push_back({false, L"\"" + group.entry + L"\" " + escape + L": update.exe reads and writes there as written."});
    const bool file_entry = group.folder.empty();
    if (file_entry && group.listing.entries.empty()) {
        std::wstring why = L"no file in GAMEDATA has this name";
        if (group.entry.find_first_of(L"\\/") != std::wstring::npos)
            why = L"it names a file inside a subfolder, and update.exe looks only at the files directly in GAMEDATA";
        else if (is_device_name(group.entry))
            why = L"it is a device name of Windows, not a file";
        else if (!group.entry.empty() && (group.entry.back() == L'.' || group.entry.back() == L' '))
            why = L"Windows drops a dot or blank at the end of a name, so the check finds a file the copy never selects";
        findings.push_back({true, L"\"" + group.entry + L"\" selects no file (" + why + L"): update.exe copies nothing "
                                  L"for it and still reports success."});
    } else if (group.listing.entries.empty()) {
        findings.push_back({false, L"no file found: nothing is copied for this entry."});
    }
    for (const Cfile_entry& entry : group.listing.entries)
        if (is_device_name(entry.path))
            findings.push_back({true, L"\"" + relative_path(group, entry) + L"\" has a device name of Windows: on a "
                                      L"player's Windows it cannot be read or written as a file."});
    if (!file_entry) {
        for (const std::wstring& subfolder : subfolders_of(join_path(source_root, group.folder)))
            if (!is_planned(folders, join_path(group.folder, subfolder)))
                findings.push_back({false, L"the subfolder \"" + subfolder + L"\" is not copied: only the files directly in \"" +
                                               group.folder + L"\" are."});
    }
    // Only the folder entries make their destination folder; media files need it in place.
    if (!file_entry && !group.makes_destination_folder && !destination.empty() && !group.listing.entries.empty() &&
        !folder_exists(join_path(destination, group.folder)))
        findings.push_back({false, L"the installation has no folder \"" + join_path(destination, group.folder) +
                                       L"\": update.exe fails on the first file of this entry."});
    return findings;
}

void report_plan(Creport& report, const Cpackage& package, const std::wstring& destination,
                 std::vector<std::wstring>& warnings, std::vector<std::wstring>& failures, uint64_t& planned_bytes,
                 size_t& planned_files)
{
    const std::vector<Ccopy_group> plan = plan_update(package.settings, package.source_root);
    report.line(L"Copy plan: what update.exe copies once the player says Yes, in this order");
    if (!destination.empty())
        report.line(L"  into " + destination);
    const std::vector<std::wstring> folders = planned_folders(plan);
    std::map<std::wstring, size_t> copies;
    planned_files = 0;
    for (const Ccopy_group& group : plan) {
        const size_t files = group.listing.entries.size();
        report.line(L"  " + group.key + L" \"" + group.entry + L"\": " + std::to_wstring(files) +
                    (files == 1 ? L" file, " : L" files, ") + grouped_number(group.listing.total_size) + L" bytes");
        for (const Cfile_entry& entry : group.listing.entries) {
            const std::wstring relative = relative_path(group, entry);
            report.line(format_text(L"  %15ls  ", grouped_number(entry.size).c_str()) + relative);
            ++copies[lower_ascii(relative)];
        }
        for (const Cfinding& finding : judge_group(group, folders, package.source_root, destination)) {
            report.line((finding.fails ? L"    FAILS: " : L"    warning: ") + group.key + L": " + finding.text);
            (finding.fails ? failures : warnings).push_back(group.key + L": " + finding.text);
        }
        planned_files += files;
    }
    for (const auto& copy : copies) {
        if (copy.second > 1) {
            const std::wstring warning = L"\"" + copy.first + L"\" is copied " + std::to_wstring(copy.second) +
                                         L" times (and counted as often in the progress).";
            report.line(L"    warning: " + warning);
            warnings.push_back(warning);
        }
    }
    planned_bytes = total_bytes(plan);
    report.line(L"  Total: " + std::to_wstring(planned_files) + (planned_files == 1 ? L" file, " : L" files, ") +
                grouped_number(planned_bytes) + L" bytes");
}

// ---- The installation -------------------------------------------------------------------------

struct Cregistry_value {
    const wchar_t* name;
    std::wstring Cinstallation_record::*field;
};

const Cregistry_value REGISTRY_VALUES[] = {
    {L"SAV_FOLDER", &Cinstallation_record::SAV_FOLDER}, {L"DAT_EXIST", &Cinstallation_record::DAT_EXIST},
    {L"DAT_FOLDER", &Cinstallation_record::DAT_FOLDER}, {L"BGM_EXIST", &Cinstallation_record::BGM_EXIST},
    {L"BGM_FOLDER", &Cinstallation_record::BGM_FOLDER}, {L"KOE_EXIST", &Cinstallation_record::KOE_EXIST},
    {L"KOE_FOLDER", &Cinstallation_record::KOE_FOLDER}, {L"MOV_EXIST", &Cinstallation_record::MOV_EXIST},
    {L"MOV_FOLDER", &Cinstallation_record::MOV_FOLDER},
};

// What an installer that set up every part records, with the media folders where the update
// writes them.
Cinstallation_record installed_everything(const std::wstring& folder, const Cupdate_settings& settings)
{
    Cinstallation_record record;
    record.SAV_FOLDER = folder;
    record.DAT_EXIST = record.BGM_EXIST = record.KOE_EXIST = record.MOV_EXIST = L"1";
    record.DAT_FOLDER = folder;
    record.BGM_FOLDER = join_path(folder, settings.BGM_FOLDER);
    record.KOE_FOLDER = join_path(folder, settings.KOE_FOLDER);
    record.MOV_FOLDER = join_path(folder, settings.MOV_FOLDER);
    return record;
}


bool apply_values(const Ccheck_options& options, Cinstallation_record& record, Creport& report)
{
    for (const auto& value : options.values) {
        bool known = false;
        for (const Cregistry_value& registry : REGISTRY_VALUES) {
            if (value.first == registry.name) {
                record.*registry.field = value.second;
                known = true;
            }
        }
        if (!known) {
            report.line(L"update-check: unknown registry value \"" + value.first + L"\"");
            return false;
        }
    }
    return true;
}

void report_record(Creport& report, const Cinstallation_record& record)
{
    for (const Cregistry_value& registry : REGISTRY_VALUES)
        report.line(std::wstring(L"    ") + registry.name + L" = \"" + record.*registry.field + L"\"");
}

// ---- The whole check --------------------------------------------------------------------------

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

bool wants_destination(const Ccheck_options& options)
{
    return options.read_registry || !options.install_folder.empty();
}

// The checks from the registry on; false at the first that fails, as update.exe stops there.
bool run_destination_checks(const Ccheck_options& options, Cpackage& package, Creport& report, bool& usage_error)
{
    const std::wstring& caption = package.settings.GAME_NAME;
    if (options.read_registry) {
        const std::wstring problem =
            read_installation_values(package.settings.REG_NAME, package.settings.GAME_NAME, package.installation);
        if (!report_check(report, L"installation record (HKEY_CURRENT_USER\\SOFTWARE\\<REG_NAME>)", problem, caption))
            return false;
    } else {
        package.installation = installed_everything(full_path(options.install_folder), package.settings);
    }
    if (!apply_values(options, package.installation, report)) {
        usage_error = true;
        return false;
    }
    report.line(L"  installation record used:");
    report_record(report, package.installation);
    const std::wstring& destination = package.installation.SAV_FOLDER;
    if (!report_check(report, L"destination (installed game)",
                      find_destination_problem(package.settings, package.installation, destination), caption))
        return false;
    report.line(L"  confirmation (answered Yes here): passed");
    print_box(report, L"information box, Yes/No", caption, confirmation_question(destination));
    return true;
}

}  // namespace

int check_package(const Ccheck_options& options, Creport& report)
{
    const std::wstring folder = full_path(options.package_folder);
    // Relative to where the checker was started, not to the package it goes into.
    Ccheck_options resolved = options;
    if (!resolved.install_folder.empty())
        resolved.install_folder = full_path(options.install_folder);
    Ccurrent_directory directory(options.package_folder);
    report.line(L"update-check: the update package in " + folder);
    if (!directory.entered()) {
        report.line(L"update-check: the folder cannot be opened.");
        return CHECK_UNREADABLE;
    }

    Cpackage package;
    std::vector<std::wstring> lines;
    if (read_text_lines(L"update.ini", lines) != Ctext_read::read) {
        report.line(L"update.ini cannot be read. update.exe stops at once:");
        report_check(report, L"reading update.ini", read_update_ini_file(L"update.ini", package.settings), L"");
        report.line(L"Result: update.ini cannot be read (exit code 2).");
        return CHECK_UNREADABLE;
    }

    std::vector<std::wstring> warnings;
    std::vector<std::wstring> failures;
    const Cfile_notes notes = inspect_file(L"update.ini");
    report_encoding(report, notes, warnings);
    report.line();
    report_lines(report, lines, notes.utf8_byte_order_mark, failures);
    report.line();

    report.line(L"Checks, in update.exe's order (it stops at the first that fails)");
    const std::wstring& caption = package.settings.GAME_NAME;
    bool passed = report_check(report, L"reading update.ini", read_update_ini_file(L"update.ini", package.settings), caption) &&
                  report_check(report, L"names (GAME_NAME, REG_NAME)", find_name_problem(package.settings), caption) &&
                  report_check(report, L"sources (below GAMEDATA)",
                               find_source_problem(package.settings, package.source_root), caption);
    bool usage_error = false;
    if (passed && wants_destination(options))
        passed = run_destination_checks(resolved, package, report, usage_error);
    if (usage_error)
        return CHECK_UNREADABLE;
    if (!wants_destination(options))
        report.line(L"  (installation not checked: give --install <folder> or --registry)");
    report.line();

    uint64_t planned_bytes = 0;
    size_t planned_files = 0;
    const std::wstring destination = wants_destination(options) ? package.installation.SAV_FOLDER : std::wstring();
    report_plan(report, package, destination, warnings, failures, planned_bytes, planned_files);
    report.line();

    if (passed && !failures.empty()) {
        report.line(format_text(L"Result: FAILED: update.exe would report success, but %u thing(s) the package "
                                L"names would not be installed (exit code 1). %u warning(s).",
                                static_cast<unsigned>(failures.size()), static_cast<unsigned>(warnings.size())));
        for (const std::wstring& failure : failures)
            report.line(L"  " + failure);
        return CHECK_FAILED;
    }
    if (!passed) {
        report.line(format_text(L"Result: FAILED, update.exe stops before copying anything (exit code 1). "
                                L"%u warning(s).",
                                static_cast<unsigned>(warnings.size())));
        return CHECK_FAILED;
    }
    report.line(L"Result: passed; update.exe would copy " + std::to_wstring(planned_files) + L" file(s), " +
                grouped_number(planned_bytes) + L" bytes (exit code 0). " + std::to_wstring(warnings.size()) +
                L" warning(s).");
    return CHECK_PASSED;
}
