#include "update_check/installation_source.h"

#include "fs/paths.h"

const std::vector<Cregistry_value>& registry_values()
{
    static const std::vector<Cregistry_value> values = {
        {L"SAV_FOLDER", &Cinstallation_record::SAV_FOLDER}, {L"DAT_EXIST", &Cinstallation_record::DAT_EXIST},
        {L"DAT_FOLDER", &Cinstallation_record::DAT_FOLDER}, {L"BGM_EXIST", &Cinstallation_record::BGM_EXIST},
        {L"BGM_FOLDER", &Cinstallation_record::BGM_FOLDER}, {L"KOE_EXIST", &Cinstallation_record::KOE_EXIST},
        {L"KOE_FOLDER", &Cinstallation_record::KOE_FOLDER}, {L"MOV_EXIST", &Cinstallation_record::MOV_EXIST},
        {L"MOV_FOLDER", &Cinstallation_record::MOV_FOLDER},
    };
    return values;
}

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

std::wstring override_values(const std::vector<std::pair<std::wstring, std::wstring>>& values,
                             Cinstallation_record& record)
{
    for (const auto& value : values) {
        bool known = false;
        for (const Cregistry_value& registry : registry_values()) {
            if (value.first == registry.name) {
                record.*registry.field = value.second;
                known = true;
            }
        }
        if (!known)
            return value.first;
    }
    return std::wstring();
}
