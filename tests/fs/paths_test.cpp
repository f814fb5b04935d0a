#include <gtest/gtest.h>

#include "fs/paths.h"

TEST(Paths, SplitsAtTheLastSeparator)
{
    EXPECT_EQ(path_folder(L"D:\\Game\\update.exe"), L"D:\\Game");
}
