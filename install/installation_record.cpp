#include "install/installation_record.h"

#include "install/registry_key.h"

namespace {

// The installer writes short strings; anything longer than this is treated as not being there.
constexpr DWORD REGISTRY_TEXT_BYTES = 1040;

// Whatever type the value was stored with, its bytes are read as UTF-16 text. A value written
// without its terminating NUL, or with an odd byte count, ends with the last whole character of
// the data returned, never beyond it.
std::wstring text_of(const wchar_t* data, DWORD byte_count)
{
    const size_t unit_count = byte_count / sizeof(wchar_t);
    size_t length = 0;
    while (length < unit_count && data[length] != L'\0')
        ++length;
    return std::wstring(data, length);
}

// Every value is required, whatever the update asks for, and they are read in this order: the
// first one missing is the one the player is told about.
std::wstring read_all_values(HKEY key, Cinstallation_record& record)
{
    for (const Cregistry_value& value : REGISTRY_VALUES)
        if (!read_registry_text(key, value.name, record.*value.field))
            return L"レジストリに [" + std::wstring(value.name) + L"] が見つかりませんでした。";
    return std::wstring();
}

std::wstring read_installation_values(const std::wstring& reg_name, const std::wstring& game_name,
                                      Cinstallation_record& record)
{
    const std::wstring subkey = L"SOFTWARE\\" + reg_name;
    Cregistry_key key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_READ, &key.handle) != ERROR_SUCCESS)
        return L"レジストリキーが見つかりませんでした。\n「" + game_name + L"」がインストールされていることを確認してください。";
    return read_all_values(key.handle, record);
}

} // namespace

const Cregistry_value REGISTRY_VALUES[REGISTRY_VALUE_COUNT] = {
    {L"SAV_FOLDER", &Cinstallation_record::SAV_FOLDER}, {L"DAT_EXIST", &Cinstallation_record::DAT_EXIST},
    {L"DAT_FOLDER", &Cinstallation_record::DAT_FOLDER}, {L"BGM_EXIST", &Cinstallation_record::BGM_EXIST},
    {L"BGM_FOLDER", &Cinstallation_record::BGM_FOLDER}, {L"KOE_EXIST", &Cinstallation_record::KOE_EXIST},
    {L"KOE_FOLDER", &Cinstallation_record::KOE_FOLDER}, {L"MOV_EXIST", &Cinstallation_record::MOV_EXIST},
    {L"MOV_FOLDER", &Cinstallation_record::MOV_FOLDER},
};

const Cregistry_value* find_registry_value(const std::wstring& name)
{
    for (const Cregistry_value& value : REGISTRY_VALUES)
        if (name == value.name)
            return &value;
    return nullptr;
}

Cfinding judge_registry(const Cupdate_settings& settings, Cinstallation_record& record)
{
    const std::wstring subject = L"HKEY_CURRENT_USER\\SOFTWARE\\" + settings.REG_NAME;
    if (settings.REG_NAME.empty())
        return {L"registry", subject, Cfinding_state::not_judged, L""};
    return judged(L"registry", subject, read_installation_values(settings.REG_NAME, settings.GAME_NAME, record));
}

bool read_registry_text(HKEY key, const std::wstring& value_name, std::wstring& target)
{
    wchar_t data[REGISTRY_TEXT_BYTES / sizeof(wchar_t)] = {};
    DWORD type = 0;
    DWORD byte_count = REGISTRY_TEXT_BYTES;
    if (RegQueryValueExW(key, value_name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &byte_count) !=
        ERROR_SUCCESS)
        return false;
    target = text_of(data, byte_count < REGISTRY_TEXT_BYTES ? byte_count : REGISTRY_TEXT_BYTES);
    return true;
}
