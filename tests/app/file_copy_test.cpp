#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/file_copy.h"
#include "app/update_data.h"
#include "support/recorded_boxes.h"
#include "support/temp_folder.h"
#include "support/unix_command.h"

namespace {

std::string pattern_bytes(size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    unsigned state = seed * 2654435761u + 1;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 16);
    }
    return bytes;
}

class File_copy : public testing::Test {
protected:
    File_copy() : folder_(L"file-copy")
    {
        g_update.settings.GAME_NAME = L"ルミナス物語";
        g_update.source_root = folder_ / L"GAMEDATA";
        g_update.destination_folder = folder_ / L"ゲーム";
        make_folder(g_update.source_root + L"\\BGM");
        make_folder(g_update.destination_folder + L"\\BGM");
    }
    ~File_copy() override
    {
        g_update = Cupdate_data();
    }

    std::wstring source(const std::wstring& relative) const { return join_path(g_update.source_root, relative); }
    std::wstring destination(const std::wstring& relative) const
    {
        return join_path(g_update.destination_folder, relative);
    }

    Ctemp_folder folder_;
    Crecorded_boxes boxes_;
};

TEST_F(File_copy, CopiesEverySizeWholeAndCountsItsBytes)
{
    for (size_t size : {size_t{0}, size_t{999999}, size_t{1000000}, size_t{1000001}, size_t{2400000}}) {
        SCOPED_TRACE(size);
        const std::string bytes = pattern_bytes(size, static_cast<unsigned>(size));
        ASSERT_TRUE(write_bytes(source(L"BGM\\曲.ogg"), bytes));
        ASSERT_TRUE(write_bytes(destination(L"BGM\\曲.ogg"), std::string(3000000, 'x')));

        uint64_t remaining = size + 5;
        EXPECT_TRUE(copy_file_with_progress(L"BGM\\曲.ogg", size + 5, remaining));
        EXPECT_EQ(remaining, 5u);
        EXPECT_TRUE(read_bytes(destination(L"BGM\\曲.ogg")) == bytes) << "the old, longer content must be gone";
    }
    EXPECT_TRUE(boxes_.boxes.empty());

    // A source that grew after it was listed is copied only as far as measured.
    ASSERT_TRUE(write_bytes(source(L"BGM\\a.ogg"), "abc"));
    uint64_t remaining = 2;
    EXPECT_TRUE(copy_file_with_progress(L"BGM\\a.ogg", 2, remaining));
    EXPECT_EQ(remaining, 0u) << "the counter must not wrap below zero";
}

// A destination the copy cannot write: held open without sharing, read-only (Wine run as root
// would open a read-only file for writing; an immutable one it cannot), its folder missing.
TEST_F(File_copy, BlockedDestinationIsNamedByItsFullPathAndStopsTheCopy)
{
    ASSERT_TRUE(write_bytes(source(L"BGM\\a.ogg"), "new"));
    const std::wstring target = destination(L"BGM\\a.ogg");
    const std::string unix_target = shell_quoted(unix_path_of(target));
    for (const std::string blocked_by : {"held open", "read-only", "folder missing"}) {
        SCOPED_TRACE(blocked_by);
        write_bytes(target, "old");
        HANDLE held = INVALID_HANDLE_VALUE;
        if (blocked_by == "held open") {
            held = CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        } else if (blocked_by == "read-only") {
            SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY);
            run_unix_shell("chattr +i " + unix_target);
        } else {
            Ctemp_folder::remove_tree(path_folder(target));
        }
        boxes_.boxes.clear();
        uint64_t remaining = 3;
        EXPECT_FALSE(copy_file_with_progress(L"BGM\\a.ogg", 3, remaining));
        EXPECT_EQ(boxes_.texts(), std::vector<std::wstring>{target + L"が開けませんでした。"});
        EXPECT_EQ(boxes_.boxes.at(0).flags, static_cast<UINT>(MB_ICONWARNING));
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        run_unix_shell("chattr -i " + unix_target + " 2>/dev/null");
    }
}

}  // namespace
