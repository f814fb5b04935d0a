#include "install/run_record.h"

#include <windows.h>
#include <objbase.h>

#include "fs/paths.h"
#include "install/game_folder.h"
#include "install/installation_record.h"
#include "install/registry_key.h"
#include "update_ini/findings.h"

std::wstring new_run_token()
{
    GUID guid = {};
    wchar_t text[64] = {};
    if (CoCreateGuid(&guid) != S_OK || StringFromGUID2(guid, text, 64) == 0)
        return std::wstring();
    return text;
}

bool record_run(const std::wstring& game_key, const std::wstring& token)
{
    Cregistry_key key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, RUN_RECORD_KEY, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key.handle,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const DWORD bytes = static_cast<DWORD>((token.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.handle, game_key.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(token.c_str()), bytes) == ERROR_SUCCESS &&
           RegFlushKey(key.handle) == ERROR_SUCCESS;
}

std::wstring recorded_run(const std::wstring& game_key)
{
    Cregistry_key key;
    std::wstring token;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, RUN_RECORD_KEY, 0, KEY_QUERY_VALUE, &key.handle) != ERROR_SUCCESS ||
        !read_registry_text(key.handle, game_key, token))
        return std::wstring();
    return token;
}

void forget_run(const std::wstring& game_key)
{
    Cregistry_key key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, RUN_RECORD_KEY, 0, KEY_SET_VALUE, &key.handle) == ERROR_SUCCESS)
        RegDeleteValueW(key.handle, game_key.c_str());
}

std::wstring update_folder_in_the_way(const std::wstring& shown_folder)
{
    return join_path(shown_folder, UPDATE_FOLDER) + L" は、このアップデートが作成したものではありません。\n"
           L"アップデートはこの名前のフォルダを使用するため、中身を確認して別の場所に移してから、もう一度実行してください。";
}

Cfinding judge_update_folder(const Cgame_folder& game, const std::wstring& shown_folder)
{
    const Cgame_path place = game.update_path(L"");
    const bool in_the_way = !place.empty() &&
                            GetFileAttributesW(long_path(place.whole()).c_str()) != INVALID_FILE_ATTRIBUTES &&
                            recorded_run(game.key()).empty();
    return judged(L"update folder", join_path(shown_folder, UPDATE_FOLDER),
                  in_the_way ? update_folder_in_the_way(shown_folder) : L"");
}
