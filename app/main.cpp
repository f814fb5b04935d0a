// update.exe: applies the update lying beside it to the installed game.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <clocale>

#include "app/module_path.h"
#include "app/update_sequence.h"
#include "fs/paths.h"
#include "kesto/application.h"

// COMCTL32.DLL is not a known DLL: imported, it would be looked for beside the program before
// wWinMain could say where. Its one call is made through System32's copy, which stays loaded.
static void init_common_controls(DWORD classes)
{
    const HMODULE common_controls = LoadLibraryExW(L"comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    const auto init = reinterpret_cast<BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*)>(
        reinterpret_cast<void*>(GetProcAddress(common_controls, "InitCommonControlsEx")));
    const INITCOMMONCONTROLSEX controls = {sizeof(controls), classes};
    if (init != nullptr)
        init(&controls);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    // Run elevated from a Downloads folder, where strays collect under the names of Windows' DLLs:
    // every DLL loaded from here on comes from System32 alone.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    _wsetlocale(LC_ALL, L"japanese");
    g_application.instance = instance;

    // update.ini and GAMEDATA are found beside the program, wherever the player started it from.
    const std::wstring module_path = read_module_path(nullptr);
    if (!module_path.empty()) {
        g_application.module_folder = path_folder(module_path);
        SetCurrentDirectoryW(g_application.module_folder.c_str());
    }

    CoInitialize(nullptr);
    init_common_controls(ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_INTERNET_CLASSES);

    HMODULE rich_edit = LoadLibraryExW(L"riched32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (rich_edit == nullptr) {
        MessageBoxW(nullptr, L"riched32.dll の読み込みに失敗しました。アプリケーションを終了します。", L"エラー",
                    MB_ICONWARNING);
        return UPDATE_FAILED;
    }

    const int exit_code = run_update_sequence();

    FreeLibrary(rich_edit);
    CoUninitialize();
    return exit_code;
}
