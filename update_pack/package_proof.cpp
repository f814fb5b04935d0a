#include "update_pack/package_proof.h"

#include <map>

#include "fs/paths.h"
#include "install/game_files.h"
#include "update_ini/source_checks.h"
#include "update_ini/update_ini_reader.h"

namespace {

// The package's copy plan, or none with the reason update.exe would refuse it added to problems.
std::vector<Ccopy_group> read_plan(const std::wstring& package_folder, std::vector<std::wstring>& problems)
{
    Cupdate_settings settings;
    const std::wstring source_root = join_path(package_folder, L"GAMEDATA");
    const std::wstring unread = read_update_ini_file(join_path(package_folder, L"update.ini"), settings);
    Cfindings findings = judge_names(settings);
    std::vector<Ccopy_group> plan;
    for (const Cfinding& finding : judge_sources(settings, source_root, plan))
        findings.push_back(finding);
    if (!unread.empty())
        findings = {judged(L"update.ini", L"update.ini", unread)};
    const size_t before = problems.size();
    for (const Cfinding& finding : findings)
        if (finding.state == Cfinding_state::failed)
            problems.push_back(L"update.exe would refuse the package " + package_folder + L": " + finding.message);
    if (problems.size() != before)
        return {};
    return plan;
}

}  // namespace

Cpackage_proof prove_packages(const std::vector<std::wstring>& package_folders, const std::vector<Cchanged_file>& changed,
                              const std::wstring& old_folder)
{
    Cpackage_proof proof;
    for (const std::wstring& folder : package_folders)
        proof.plans.push_back(read_plan(folder, proof.problems));
    Cgame_folder game;
    game.open(old_folder);
    for (size_t i = 0; i < proof.plans.size() && proof.problems.empty(); ++i) {
        Cgame_listing listing(game);
        const Cfinding files = judge_game_files(game, listing, old_folder, proof.plans[i]);
        if (files.state == Cfinding_state::failed)
            proof.problems.push_back(L"update.exe would refuse the package " + package_folders[i] + L" on the old game: " +
                                     files.message);
    }
    if (!proof.problems.empty())
        return proof;

    // Upper-cased path -> how often the plans copy it, and the path as a plan spells it.
    std::map<std::wstring, std::pair<int, std::wstring>> copies;
    for (const std::vector<Ccopy_group>& plan : proof.plans) {
        for (const Ccopy_group& group : plan) {
            for (const Cfile_entry& entry : group.listing.entries) {
                auto& copy = copies[upper_case_name(relative_path(group, entry))];
                ++copy.first;
                copy.second = relative_path(group, entry);
            }
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
