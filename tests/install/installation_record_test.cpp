#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/update_data.h"
#include "install/installation_record.h"
#include "support/recorded_boxes.h"
#include "support/test_registry_key.h"

namespace {

const wchar_t* const VALUE_NAMES[] = {
    L"SAV_FOLDER", L"DAT_EXIST", L"DAT_FOLDER", L"BGM_EXIST", L"BGM_FOLDER",
    L"KOE_EXIST",  L"KOE_FOLDER", L"MOV_EXIST", L"MOV_FOLDER",
};

std::wstring* fields(Cinstallation_record& record, size_t index)
{
    std::wstring* all[] = {
        &record.SAV_FOLDER, &record.DAT_EXIST,  &record.DAT_FOLDER, &record.BGM_EXIST, &record.BGM_FOLDER,
        &record.KOE_EXIST,  &record.KOE_FOLDER, &record.MOV_EXIST,  &record.MOV_FOLDER,
    };
    return all[index];
}

const std::wstring BEFORE = L"(as before)";
const std::wstring FAILED = L"アップデートに失敗しました。";

// Each phase test starts from a record whose fields all show that nothing wrote them.
class InstallationRecord : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_update.settings = Cupdate_settings();
        g_update.settings.GAME_NAME = L"月影の庭";
        g_update.settings.REG_NAME = key.name();
        for (size_t i = 0; i < 9; ++i)
            *fields(g_update.installation, i) = BEFORE;
    }

    // A complete installation; value i holds "v<i>".
    void write_all_values()
    {
        for (size_t i = 0; i < 9; ++i)
            ASSERT_TRUE(key.set_text(VALUE_NAMES[i], L"v" + std::to_wstring(i)));
    }

    std::wstring field(size_t index) { return *fields(g_update.installation, index); }

    Ctest_registry_key key;
    Crecorded_boxes boxes;
};

std::wstring missing_value_text(const std::wstring& name)
{
    return L"レジストリに [" + name + L"] が見つかりませんでした。";
}

} // namespace

TEST_F(InstallationRecord, ReadsAllNineValuesIntoTheirFields)
{
    write_all_values();
    EXPECT_TRUE(read_installation_record());
    EXPECT_TRUE(boxes.boxes.empty());
    for (size_t i = 0; i < 9; ++i)
        EXPECT_EQ(field(i), L"v" + std::to_wstring(i)) << VALUE_NAMES[i];
}

TEST_F(InstallationRecord, NoKeyTellsThePlayerToInstallTheGame)
{
    EXPECT_FALSE(read_installation_record());
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[0].text,
              L"レジストリキーが見つかりませんでした。\n「月影の庭」がインストールされていることを確認してください。");
    EXPECT_EQ(boxes.boxes[1].text, FAILED);
    for (const Crecorded_box& box : boxes.boxes) {
        EXPECT_EQ(box.caption, L"月影の庭");
        EXPECT_EQ(box.flags, static_cast<UINT>(MB_ICONWARNING));
    }
    for (size_t i = 0; i < 9; ++i)
        EXPECT_EQ(field(i), BEFORE);
}

TEST_F(InstallationRecord, KeyUnderLocalMachineOnlyIsNotFound)
{
    Ctest_registry_key machine_key(HKEY_LOCAL_MACHINE);
    for (size_t i = 0; i < 9; ++i)
        ASSERT_TRUE(machine_key.set_text(VALUE_NAMES[i], L"1"));
    g_update.settings.REG_NAME = machine_key.name();

    EXPECT_FALSE(read_installation_record());
    ASSERT_EQ(boxes.texts().size(), 2u);
    EXPECT_EQ(boxes.texts()[0].rfind(L"レジストリキーが見つかりませんでした。", 0), 0u);
    EXPECT_EQ(field(0), BEFORE);
}

// The first missing value is named, the ones before it are kept and nothing after it is read:
// the fields from the missing one on keep what they held.
TEST_F(InstallationRecord, EachMissingValueInTurnStopsTheReading)
{
    for (size_t missing = 0; missing < 9; ++missing) {
        SCOPED_TRACE(VALUE_NAMES[missing]);
        Ctest_registry_key own_key;
        for (size_t i = 0; i < 9; ++i) {
            if (i != missing) {
                ASSERT_TRUE(own_key.set_text(VALUE_NAMES[i], L"v" + std::to_wstring(i)));
            }
        }
        g_update.settings.REG_NAME = own_key.name();
        for (size_t i = 0; i < 9; ++i)
            *fields(g_update.installation, i) = BEFORE;
        boxes.boxes.clear();

        EXPECT_FALSE(read_installation_record());
        EXPECT_EQ(boxes.texts(), (std::vector<std::wstring>{missing_value_text(VALUE_NAMES[missing]), FAILED}));
        for (size_t i = 0; i < 9; ++i)
            EXPECT_EQ(field(i), i < missing ? L"v" + std::to_wstring(i) : BEFORE) << VALUE_NAMES[i];
    }
}

// Stored values and what the record makes of them, one row per way an installer might store one.
struct Cvalue_case {
    const char* name;
    DWORD type;
    std::vector<wchar_t> stored;  // the value's bytes, as UTF-16 units
    std::wstring expected;
};

class RegistryText : public InstallationRecord, public ::testing::WithParamInterface<Cvalue_case> {};

std::vector<wchar_t> with_nul(const std::wstring& text)
{
    std::vector<wchar_t> units(text.begin(), text.end());
    units.push_back(L'\0');
    return units;
}

std::vector<wchar_t> without_nul(const std::wstring& text)
{
    return std::vector<wchar_t>(text.begin(), text.end());
}

TEST_P(RegistryText, IsReadUpToTheFirstNulOrTheEndOfTheData)
{
    const Cvalue_case& row = GetParam();
    write_all_values();
    ASSERT_TRUE(key.set_bytes(L"SAV_FOLDER", row.type, row.stored.data(), row.stored.size() * sizeof(wchar_t)));

    EXPECT_TRUE(read_installation_record());
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(g_update.installation.SAV_FOLDER, row.expected);
    EXPECT_EQ(g_update.installation.MOV_FOLDER, L"v8");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RegistryText,
    ::testing::Values(
        Cvalue_case{"plain", REG_SZ, with_nul(L"C:\\Games\\Tsukikage"), L"C:\\Games\\Tsukikage"},
        Cvalue_case{"empty", REG_SZ, with_nul(L""), L""},
        Cvalue_case{"no_bytes_at_all", REG_SZ, {}, L""},
        Cvalue_case{"without_nul", REG_SZ, without_nul(L"C:\\Game"), L"C:\\Game"},
        Cvalue_case{"stops_at_first_nul", REG_SZ, with_nul(std::wstring(L"C:\\A\0B", 6)), L"C:\\A"},
        Cvalue_case{"multi_string_first_only", REG_MULTI_SZ, with_nul(std::wstring(L"one\0two\0", 8)), L"one"},
        Cvalue_case{"expand_sz_unexpanded", REG_EXPAND_SZ, with_nul(L"%WINDIR%\\Game"), L"%WINDIR%\\Game"},
        Cvalue_case{"japanese", REG_SZ, with_nul(L"C:\\ゲーム\\月影の庭"), L"C:\\ゲーム\\月影の庭"},
        Cvalue_case{"longest_519", REG_SZ, with_nul(std::wstring(519, L'x')), std::wstring(519, L'x')},
        Cvalue_case{"520_without_nul_fits", REG_SZ, without_nul(std::wstring(520, L'y')), std::wstring(520, L'y')}),
    [](const ::testing::TestParamInfo<Cvalue_case>& info) { return std::string(info.param.name); });

TEST_F(InstallationRecord, TooLongValueIsReportedMissing)
{
    write_all_values();
    ASSERT_TRUE(key.set_text(L"DAT_FOLDER", std::wstring(520, L'x')));  // 1042 bytes with the NUL

    EXPECT_FALSE(read_installation_record());
    EXPECT_EQ(boxes.texts(), (std::vector<std::wstring>{missing_value_text(L"DAT_FOLDER"), FAILED}));
    EXPECT_EQ(field(1), L"v1");
    EXPECT_EQ(field(2), BEFORE);
}

TEST_F(InstallationRecord, DwordOneIsNotTheTextOne)
{
    write_all_values();
    ASSERT_TRUE(key.set_dword(L"BGM_EXIST", 1));
    EXPECT_TRUE(read_installation_record());
    EXPECT_EQ(g_update.installation.BGM_EXIST, std::wstring(1, wchar_t(1)));
}

// An odd byte count leaves half a character at the end; only whole characters are taken.
TEST_F(InstallationRecord, OddByteCountTakesWholeCharactersOnly)
{
    write_all_values();
    const char bytes[] = {'A', 0, 'B', 0, 'C'};
    ASSERT_TRUE(key.set_bytes(L"SAV_FOLDER", REG_BINARY, bytes, sizeof bytes));
    EXPECT_TRUE(read_installation_record());
    EXPECT_EQ(g_update.installation.SAV_FOLDER, L"AB");
}
