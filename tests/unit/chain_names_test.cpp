// The folders of a chain of packages: sorting their names, as Explorer and dir do, gives the order
// to run them, past nine packages too.
#include <gtest/gtest.h>

#include <algorithm>

#include "update_pack/chain_note.h"

TEST(ChainNames, SortInTheOrderToRunThem)
{
    for (size_t count : {1u, 9u, 10u, 12u, 100u}) {
        const std::vector<std::wstring> names = chain_folder_names(count);
        ASSERT_EQ(names.size(), count);
        EXPECT_TRUE(std::is_sorted(names.begin(), names.end())) << count;
        EXPECT_EQ(names.front(), std::wstring(std::to_wstring(count).size() - 1, L'0') + L"1");
        EXPECT_EQ(names.back(), std::to_wstring(count));
    }
}
