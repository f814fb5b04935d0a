#include "update_pack/package_proof.h"

#include <map>

#include "fs/paths.h"
#include "update_ini/source_checks.h"
#include "update_ini/update_ini_reader.h"

Cpackage_proof prove_package(const std::wstring& package_folder, const std::vector<Cchanged_file>& changed)
{
    Cpackage_proof proof;
    Cupdate_settings settings;
    const std::wstring source_root = join_path(package_folder, L"GAMEDATA");
    const std::wstring unread = read_update_ini_file(join_path(package_folder, L"update.ini"), settings);
    Cfindings findings = judge_names(settings);
    for (const Cfinding& finding : judge_sources(settings, source_root))
        findings.push_back(finding);
    if (!unread.empty())
        findings = {judged(L"update.ini", L"update.ini", unread)};
    for (const Cfinding& finding : findings)
        if (finding.state == Cfinding_state::failed)
            proof.problems.push_back(L"update.exe would refuse the package: " + finding.message);
    if (!proof.problems.empty())
        return proof;

    proof.plan = plan_update(settings, source_root);
    // Upper-cased path -> how often the plan copies it, and the path as the plan spells it.
    std::map<std::wstring, std::pair<int, std::wstring>> copies;
    for (const Ccopy_group& group : proof.plan) {
        for (const Cfile_entry& entry : group.listing.entries) {
            auto& copy = copies[upper_case_name(relative_path(group, entry))];
            ++copy.first;
            copy.second = relative_path(group, entry);
        }
    }
    for (const Cchanged_file& file : changed) {
        const int count = copies[upper_case_name(file.path)].first;
        if (count != 1)
            proof.problems.push_back(file.path + (count == 0 ? L" would not be copied" : L" would be copied more than once"));
        copies.erase(upper_case_name(file.path));
    }
    for (const auto& extra : copies)
        proof.problems.push_back(extra.second.second + L" would be copied, but it did not change");
    return proof;
}
