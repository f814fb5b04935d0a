#include "install/installation_record.h"

#include "app/message_box.h"
#include "app/update_data.h"

namespace {

// The installer writes short strings; anything longer than this is treated as not being there.
constexpr DWORD REGISTRY_TEXT_BYTES = 1040;

void report_missing_key()
{
    report_update_failure(L"レジストリキーが見つかりませんでした。\n「" + g_update.settings.GAME_NAME +
                          L"」がインストールされていることを確認してください。");
}

void report_missing_value(const std::wstring& value_name)
{
    report_update_failure(L"レジストリに [" + value_name + L"] が見つかりませんでした。");
}

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

bool read_all_values(HKEY key, Cinstallation_record& record)
{
    // Every value is required, whatever the update asks for, and they are read in this order:
    // the first one missing is the one the player is told about.
    return read_registry_text(key, L"SAV_FOLDER", record.SAV_FOLDER) &&
           read_registry_text(key, L"DAT_EXIST", record.DAT_EXIST) &&
           read_registry_text(key, L"DAT_FOLDER", record.DAT_FOLDER) &&
           read_registry_text(key, L"BGM_EXIST", record.BGM_EXIST) &&
           read_registry_text(key, L"BGM_FOLDER", record.BGM_FOLDER) &&
           read_registry_text(key, L"KOE_EXIST", record.KOE_EXIST) &&
           read_registry_text(key, L"KOE_FOLDER", record.KOE_FOLDER) &&
           read_registry_text(key, L"MOV_EXIST", record.MOV_EXIST) &&
           read_registry_text(key, L"MOV_FOLDER", record.MOV_FOLDER);
}

} // namespace

bool read_installation_record()
{
    const std::wstring subkey = L"SOFTWARE\\" + g_update.settings.REG_NAME;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        report_missing_key();
        return false;
    }
    const bool complete = read_all_values(key, g_update.installation);
    RegCloseKey(key);
    return complete;
}

bool read_registry_text(HKEY key, const std::wstring& value_name, std::wstring& target)
{
    wchar_t data[REGISTRY_TEXT_BYTES / sizeof(wchar_t)] = {};
    DWORD type = 0;
    DWORD byte_count = REGISTRY_TEXT_BYTES;
    const LONG result = RegQueryValueExW(key, value_name.c_str(), nullptr, &type,
                                         reinterpret_cast<BYTE*>(data), &byte_count);
    if (result != ERROR_SUCCESS) {
        report_missing_value(value_name);
        return false;
    }
    target = text_of(data, byte_count < REGISTRY_TEXT_BYTES ? byte_count : REGISTRY_TEXT_BYTES);
    return true;
}
