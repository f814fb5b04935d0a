// update.exe: applies the update lying beside it to the installed game.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <clocale>

#include "app/module_path.h"
#include "app/update_sequence.h"
#include "fs/paths.h"
#include "kesto/application.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    _wsetlocale(LC_ALL, L"japanese");
    g_application.instance = instance;

    // update.ini and GAMEDATA are found beside the program, wherever the player started it from.
    const std::wstring module_path = read_module_path(nullptr);
    if (!module_path.empty()) {
        g_application.module_folder = path_folder(module_path);
        SetCurrentDirectoryW(g_application.module_folder.c_str());
    }

    CoInitialize(nullptr);
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_INTERNET_CLASSES;
    InitCommonControlsEx(&controls);

    HMODULE rich_edit = LoadLibraryW(L"riched32.dll");
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
