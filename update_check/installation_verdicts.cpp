#include "update_check/installation_verdicts.h"

#include "install/destination.h"
#include "install/free_space.h"

namespace {

// One part of the game and the setting of update.ini that makes update.exe ask for it.
struct Cpart {
    const wchar_t* name;
    const wchar_t* what;
    int32_t Cupdate_settings::*wanted_by;
    const wchar_t* off_because;
};

const Cpart PARTS[] = {
    {L"BGM", L"the BGM is set up (BGM_EXIST, BGM_FOLDER)", &Cupdate_settings::BGM_UPDATE, L"BGM_UPDATE is 0"},
    {L"KOE", L"the voices are set up (KOE_EXIST, KOE_FOLDER)", &Cupdate_settings::KOE_UPDATE, L"KOE_UPDATE is 0"},
    {L"MOV", L"the movies are set up (MOV_EXIST, MOV_FOLDER)", &Cupdate_settings::MOV_UPDATE, L"MOV_UPDATE is 0"},
    {L"DAT", L"the game data are set up (DAT_EXIST, DAT_FOLDER)", &Cupdate_settings::COPY_FOLDER_COUNT,
     L"COPY_FOLDER_COUNT is not above 0"},
};

bool part_wanted(const Cpart& part, const Cupdate_settings& settings)
{
    // Any switch but 0 turns a medium on; the data part is wanted by a positive folder count only.
    const int32_t value = settings.*part.wanted_by;
    return part.wanted_by == &Cupdate_settings::COPY_FOLDER_COUNT ? value > 0 : value != 0;
}

}  // namespace

Ccheck_verdict judge_registry(const Cupdate_settings& settings, Cinstallation_record& record)
{
    const std::wstring what = L"HKEY_CURRENT_USER\\SOFTWARE\\" + settings.REG_NAME + L" holds the nine values";
    Ccheck_verdict verdict = verdict_of(L"registry", what, L"");
    if (settings.REG_NAME.empty()) {
        verdict.verdict = Cverdict::not_judged;
        verdict.message = L"REG_NAME is not given";
        return verdict;
    }
    return verdict_of(L"registry", what, read_installation_values(settings.REG_NAME, settings.GAME_NAME, record));
}

std::vector<Ccheck_verdict> judge_destination(const Cupdate_settings& settings, const Cinstallation_record& installation)
{
    const std::wstring& destination = installation.SAV_FOLDER;
    std::vector<Ccheck_verdict> verdicts;
    verdicts.push_back(verdict_of(L"game folder", L"SAV_FOLDER \"" + destination + L"\" holds Lumivane.exe",
                                  find_destination_problem(Cupdate_settings(), installation, destination)));
    const bool game_found = verdicts.back().verdict == Cverdict::passed;
    for (const Cpart& part : PARTS) {
        Ccheck_verdict verdict = verdict_of(part.name, part.what, L"");
        if (!part_wanted(part, settings)) {
            verdict.verdict = Cverdict::off;
            verdict.message = part.off_because;
        } else if (!game_found) {
            verdict.verdict = Cverdict::not_judged;
            verdict.message = L"the game folder fails";
        } else {
            Cupdate_settings alone;
            alone.*part.wanted_by = settings.*part.wanted_by;
            verdict = verdict_of(part.name, part.what, find_destination_problem(alone, installation, destination));
        }
        verdicts.push_back(verdict);
    }
    return verdicts;
}

Ccheck_verdict judge_free_space(const std::wstring& destination, uint64_t staging_bytes)
{
    return verdict_of(L"free space", L"the game's drive has room for the staged files",
                      find_free_space_problem(destination, staging_bytes));
}
