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

using Crecord = Cinstallation_record;
std::wstring Crecord::* const FIELDS[] = {
    &Crecord::SAV_FOLDER, &Crecord::DAT_EXIST,  &Crecord::DAT_FOLDER, &Crecord::BGM_EXIST, &Crecord::BGM_FOLDER,
    &Crecord::KOE_EXIST,  &Crecord::KOE_FOLDER, &Crecord::MOV_EXIST,  &Crecord::MOV_FOLDER,
};

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
            g_update.installation.*FIELDS[i] = BEFORE;
    }

    // A complete installation; value i holds "v<i>".
    void write_all_values()
    {
        for (size_t i = 0; i < 9; ++i)
            ASSERT_TRUE(key.set_text(VALUE_NAMES[i], L"v" + std::to_wstring(i)));
    }

    std::wstring field(size_t index) { return g_update.installation.*FIELDS[index]; }

    Ctest_registry_key key;
    Crecorded_boxes boxes;
};

std::wstring missing_value_text(const std::wstring& name)
{
    return L"レジストリに [" + name + L"] が見つかりませんでした。";
}

} // namespace

// No key under HKEY_CURRENT_USER, even with one under HKEY_LOCAL_MACHINE: install the game.
TEST_F(InstallationRecord, NoKeyTellsThePlayerToInstallTheGame)
{
    Ctest_registry_key machine_key(HKEY_LOCAL_MACHINE);
    for (size_t i = 0; i < 9; ++i)
        ASSERT_TRUE(machine_key.set_text(VALUE_NAMES[i], L"1"));
    for (const std::wstring& name : {key.name(), machine_key.name()}) {
        g_update.settings.REG_NAME = name;
        boxes.boxes.clear();
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
}

// The first missing value is named, the ones before it are kept and nothing after it is read:
// the fields from the missing one on keep what they held. With none missing, all nine are read.
TEST_F(InstallationRecord, EachMissingValueInTurnStopsTheReading)
{
    for (size_t missing = 0; missing <= 9; ++missing) {
        SCOPED_TRACE(missing);
        Ctest_registry_key own_key;
        for (size_t i = 0; i < 9; ++i) {
            if (i != missing) {
                ASSERT_TRUE(own_key.set_text(VALUE_NAMES[i], L"v" + std::to_wstring(i)));
            }
        }
        g_update.settings.REG_NAME = own_key.name();
        for (size_t i = 0; i < 9; ++i)
            g_update.installation.*FIELDS[i] = BEFORE;
        boxes.boxes.clear();

        EXPECT_EQ(read_installation_record(), missing == 9);
        const std::vector<std::wstring> expected_texts = {missing_value_text(VALUE_NAMES[missing % 9]), FAILED};
        EXPECT_EQ(boxes.texts(), missing < 9 ? expected_texts : std::vector<std::wstring>());
        for (size_t i = 0; i < 9; ++i)
            EXPECT_EQ(field(i), i < missing ? L"v" + std::to_wstring(i) : BEFORE) << VALUE_NAMES[i];
    }
}

// Stored values and what the record makes of them, one row per way an installer might store one.
// A value too long for the record (520 characters and the NUL) is reported missing.
struct Cvalue_case {
    const char* name;
    DWORD type;
    std::string stored;  // the value's bytes
    std::wstring expected;
    bool read = true;
};

class RegistryText : public InstallationRecord, public ::testing::WithParamInterface<Cvalue_case> {};

std::string bytes_of(const std::wstring& text, bool nul = true)
{
    return std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + (nul ? 1 : 0)) * sizeof(wchar_t));
}

TEST_P(RegistryText, IsReadUpToTheFirstNulOrTheEndOfTheData)
{
    const Cvalue_case& row = GetParam();
    write_all_values();
    ASSERT_TRUE(key.set_bytes(L"SAV_FOLDER", row.type, row.stored.data(), row.stored.size()));

    EXPECT_EQ(read_installation_record(), row.read);
    if (row.read) {
        EXPECT_TRUE(boxes.boxes.empty());
        EXPECT_EQ(g_update.installation.SAV_FOLDER, row.expected);
        EXPECT_EQ(g_update.installation.MOV_FOLDER, L"v8");
    } else {
        EXPECT_EQ(boxes.texts(), (std::vector<std::wstring>{missing_value_text(L"SAV_FOLDER"), FAILED}));
        EXPECT_EQ(field(0), BEFORE);
    }
}

const DWORD dword_one = 1;

INSTANTIATE_TEST_SUITE_P(
    Rows, RegistryText,
    ::testing::Values(
        Cvalue_case{"plain", REG_SZ, bytes_of(L"C:\\Games\\Tsukikage"), L"C:\\Games\\Tsukikage"},
        Cvalue_case{"empty", REG_SZ, bytes_of(L""), L""},
        Cvalue_case{"no_bytes_at_all", REG_SZ, "", L""},
        Cvalue_case{"without_nul", REG_SZ, bytes_of(L"C:\\Game", false), L"C:\\Game"},
        Cvalue_case{"stops_at_first_nul", REG_SZ, bytes_of(std::wstring(L"C:\\A\0B", 6)), L"C:\\A"},
        Cvalue_case{"multi_string_first_only", REG_MULTI_SZ, bytes_of(std::wstring(L"one\0two\0", 8)), L"one"},
        Cvalue_case{"expand_sz_unexpanded", REG_EXPAND_SZ, bytes_of(L"%WINDIR%\\Game"), L"%WINDIR%\\Game"},
        Cvalue_case{"japanese", REG_SZ, bytes_of(L"C:\\ゲーム\\月影の庭"), L"C:\\ゲーム\\月影の庭"},
        Cvalue_case{"longest_519", REG_SZ, bytes_of(std::wstring(519, L'x')), std::wstring(519, L'x')},
        Cvalue_case{"520_without_nul_fits", REG_SZ, bytes_of(std::wstring(520, L'y'), false), std::wstring(520, L'y')},
        Cvalue_case{"520_with_nul_is_missing", REG_SZ, bytes_of(std::wstring(520, L'z')), L"", false},
        Cvalue_case{"dword_1_is_not_text_1", REG_DWORD, std::string(reinterpret_cast<const char*>(&dword_one), 4),
                    std::wstring(1, wchar_t(1))},
        // An odd byte count leaves half a character at the end; only whole characters are taken.
        Cvalue_case{"odd_byte_count", REG_BINARY, std::string("A\0B\0C", 5), L"AB"}),
    [](const ::testing::TestParamInfo<Cvalue_case>& info) { return std::string(info.param.name); });
