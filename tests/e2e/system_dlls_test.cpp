// Only Windows' own DLLs are loaded: a DLL planted beside update.exe or update-check.exe under the
// name of one they use that is not a known DLL stays unloaded, even where Wine looks beside the
// program first, as Windows does.
#include <gtest/gtest.h>

#include "driver.h"

using namespace e2e;

namespace {

// Runs run with the planted DLL beside exe under each name, Wine told to look there first; returns
// the paths of those that were loaded.
std::string planted_and_loaded(const std::wstring& exe, const Lines& names, const std::function<void()>& run)
{
    const std::wstring folder = exe.substr(0, exe.rfind(L'\\')), mark = folder + L"\\planted.mark";
    const wchar_t* overrides = L"Software\\Wine\\DllOverrides";
    SetEnvironmentVariableW(L"UPDATE_E2E_PLANTED_MARK", mark.c_str());
    for (const std::wstring& name : names) {
        CopyFileW(built(E2E_PLANTED_DLL).c_str(), (folder + L"\\" + name + L".dll").c_str(), FALSE);
        RegSetKeyValueW(HKEY_CURRENT_USER, overrides, name.c_str(), REG_SZ, L"native,builtin", sizeof L"native,builtin");
    }
    run();
    for (const std::wstring& name : names)
        RegDeleteKeyValueW(HKEY_CURRENT_USER, overrides, name.c_str());
    const std::string loaded = read_bytes(mark);
    return narrow(std::wstring(reinterpret_cast<const wchar_t*>(loaded.data()), loaded.size() / sizeof(wchar_t)));
}

TEST(SystemDlls, UpdateLoadsNoneBesideIt)
{
    Scenario s("planted_dlls");
    write_file(s.package + L"\\GAMEDATA\\readme.txt", "new");
    s.update_ini({L"GAME_NAME = \"テスト\"", L"REG_NAME = \"" + s.reg_name + L"\"", L"COPY_FILE_COUNT = 1",
                  L"COPY_FILE_00 = \"readme.txt\""});
    s.write_registry();
    e2e::Run run;
    EXPECT_EQ(planted_and_loaded(s.exe(), {L"riched32", L"comctl32"}, [&] { run = run_update(s.exe()); }), "");
    EXPECT_EQ(run.exit_code, 0u) << run.failure;
    EXPECT_EQ(read_bytes(s.game + L"\\readme.txt"), "new");
}

TEST(SystemDlls, UpdateCheckLoadsNoneBesideIt)
{
    Scenario s("planted_dlls_check");
    s.update_ini({L"GAME_NAME = \"テスト\"", L"REG_NAME = \"" + s.reg_name + L"\""});
    const std::wstring checker = s.root + L"\\update-check.exe";
    CopyFileW(built(E2E_CHECK_EXE).c_str(), checker.c_str(), FALSE);
    std::string report;
    DWORD exit_code = 255;
    // Not version.dll: Wine's own user32 imports it before any code of the program's runs (Windows'
    // user32 is a known DLL and imports no version.dll).
    EXPECT_EQ(planted_and_loaded(checker, {L"crypt32", L"wintrust"},
                                 [&] { exit_code = run_console(L"\"" + checker + L"\" \"" + s.package + L"\"", report); }),
              "");
    EXPECT_EQ(exit_code, 0u) << report;
}

}  // namespace
