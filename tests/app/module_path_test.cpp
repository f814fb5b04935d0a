#include <gtest/gtest.h>

#include <windows.h>

#include "app/module_path.h"

namespace {

std::wstring path_from_a_roomy_buffer()
{
    wchar_t buffer[32768] = {};
    const DWORD length = GetModuleFileNameW(nullptr, buffer, 32768);
    return std::wstring(buffer, length);
}

// Wine cannot start a program from a path longer than MAX_PATH, so the growing loop is tested by
// starting from buffers far shorter than the real path.
TEST(Module_path, GrowsUntilTheWholePathFits)
{
    const std::wstring whole = path_from_a_roomy_buffer();
    ASSERT_GT(whole.size(), 20u);
    for (size_t first_capacity : {size_t{1}, size_t{7}, whole.size() - 1, whole.size(), whole.size() + 1,
                                  size_t{MAX_PATH}}) {
        EXPECT_EQ(read_module_path(nullptr, first_capacity), whole) << "first capacity " << first_capacity;
    }
    EXPECT_EQ(read_module_path(reinterpret_cast<HMODULE>(0x10), 8), L"");
}

}  // namespace
