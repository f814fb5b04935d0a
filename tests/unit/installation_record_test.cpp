// The installation record against the real registry: values stored the ways an installer, or
// something else, might store them, and the first missing value stopping the reading.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "install/installation_record.h"

namespace {

const wchar_t* const NAMES[] = {L"SAV_FOLDER", L"DAT_EXIST", L"DAT_FOLDER", L"BGM_EXIST", L"BGM_FOLDER",
                                L"KOE_EXIST", L"KOE_FOLDER", L"MOV_EXIST", L"MOV_FOLDER"};
using R = Cinstallation_record;
std::wstring R::* const FIELDS[] = {&R::SAV_FOLDER, &R::DAT_EXIST, &R::DAT_FOLDER, &R::BGM_EXIST, &R::BGM_FOLDER,
                                   &R::KOE_EXIST, &R::KOE_FOLDER, &R::MOV_EXIST, &R::MOV_FOLDER};

std::string text_bytes(const std::wstring& text, bool nul = true)
{
    return std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + nul) * sizeof(wchar_t));
}

// HKCU\SOFTWARE\UpdateUnitTest with value i holding "v<i>", as an installer writes REG_SZ.
class Ctest_key {
public:
    Ctest_key()
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"SOFTWARE\\UpdateUnitTest");
        RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\UpdateUnitTest", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        for (int i = 0; i < 9; ++i)
            set(NAMES[i], REG_SZ, text_bytes(L"v" + std::to_wstring(i)));
    }
    ~Ctest_key()
    {
        RegCloseKey(key);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"SOFTWARE\\UpdateUnitTest");
    }
    void set(const wchar_t* name, DWORD type, const std::string& bytes) const
    {
        // Through a copy with a guard byte after it, so that nothing past the data can be stored.
        const std::string guarded = bytes + '\x7F';
        RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(guarded.data()), static_cast<DWORD>(bytes.size()));
    }
    HKEY key = nullptr;
};

// The registry check's message for the game of that registry name, called ゲーム.
std::wstring read_installation_values(const std::wstring& reg_name, Cinstallation_record& record)
{
    Cupdate_settings settings;
    settings.GAME_NAME = L"ゲーム";
    settings.REG_NAME = reg_name;
    return judge_registry(settings, record).message;
}

}  // namespace

TEST(InstallationRecord, TheFirstMissingValueStopsTheReading)
{
    for (int missing = 0; missing <= 9; ++missing) {
        Ctest_key key;
        if (missing < 9)
            RegDeleteValueW(key.key, NAMES[missing]);
        Cinstallation_record record;
        for (int i = 0; i < 9; ++i)
            record.*FIELDS[i] = L"before";
        const std::wstring problem = read_installation_values(L"UpdateUnitTest", record);
        EXPECT_EQ(problem, missing < 9 ? L"レジストリに [" + std::wstring(NAMES[missing]) + L"] が見つかりませんでした。" : L"");
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(record.*FIELDS[i], i < missing ? L"v" + std::to_wstring(i) : L"before") << missing << " " << i;
    }
    Cinstallation_record record;
    EXPECT_EQ(read_installation_values(L"NoSuchGameAnywhere", record),
              L"レジストリキーが見つかりませんでした。\n「ゲーム」がインストールされていることを確認してください。");
}

TEST(InstallationRecord, ValuesAreTextUpToTheFirstNulOrTheEndOfTheData)
{
    const DWORD one = 1;
    const struct {
        const char* name;
        DWORD type;
        std::string stored;
        std::wstring expected;
        bool read = true;
    } rows[] = {
        {"empty", REG_SZ, text_bytes(L""), L""},
        {"without its NUL", REG_SZ, text_bytes(L"C:\\Game", false), L"C:\\Game"},
        {"multi-string: the first", REG_MULTI_SZ, text_bytes(std::wstring(L"one\0two\0", 8)), L"one"},
        {"expand-string unexpanded", REG_EXPAND_SZ, text_bytes(L"%WINDIR%\\Game"), L"%WINDIR%\\Game"},
        {"519 characters and NUL fit", REG_SZ, text_bytes(std::wstring(519, L'x')), std::wstring(519, L'x')},
        {"520 characters and NUL do not", REG_SZ, text_bytes(std::wstring(520, L'z')), L"before", false},
        {"DWORD 1 is not the text 1", REG_DWORD, std::string(reinterpret_cast<const char*>(&one), 4), L"\x0001"},
        {"odd byte count: whole characters only", REG_BINARY, std::string("A\0B\0C", 5), L"AB"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Ctest_key key;
        key.set(L"SAV_FOLDER", row.type, row.stored);
        std::wstring target = L"before";
        EXPECT_EQ(read_registry_text(key.key, L"SAV_FOLDER", target), row.read);
        EXPECT_EQ(target, row.expected);
    }
}
