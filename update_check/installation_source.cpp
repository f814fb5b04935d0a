#include "update_check/installation_source.h"

#include "fs/paths.h"
#include "update_ini/media_parts.h"

Cinstallation_record installed_everything(const std::wstring& folder, const Cupdate_settings& settings)
{
    Cinstallation_record record;
    record.SAV_FOLDER = folder;
    record.DAT_EXIST = L"1";
    record.DAT_FOLDER = folder;
    for (const Cmedia_part& media : MEDIA_PARTS) {
        record.*find_registry_value(media.exist_value)->field = L"1";
        record.*find_registry_value(media.folder_value)->field = join_path(folder, settings.*media.folder);
    }
    return record;
}

std::wstring override_values(const std::vector<std::pair<std::wstring, std::wstring>>& values,
                             Cinstallation_record& record)
{
    for (const auto& value : values) {
        const Cregistry_value* registry = find_registry_value(value.first);
        if (registry == nullptr)
            return value.first;
        record.*registry->field = value.second;
    }
    return std::wstring();
}
