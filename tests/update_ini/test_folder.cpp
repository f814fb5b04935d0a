#include "test_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

std::wstring current_directory()
{
    wchar_t buffer[MAX_PATH * 2] = {};
    GetCurrentDirectoryW(MAX_PATH * 2, buffer);
    return buffer;
}

}  // namespace

Ctest_folder::Ctest_folder() : previous_directory_(current_directory()), folder_(L"update_ini")
{
    EXPECT_TRUE(SetCurrentDirectoryW(folder_.path.c_str()));
}

Ctest_folder::~Ctest_folder()
{
    // Leave the folder before it is removed: Windows keeps the current directory from going away.
    SetCurrentDirectoryW(previous_directory_.c_str());
}

void Ctest_folder::write_file(const std::wstring& name, const std::string& bytes) const
{
    EXPECT_TRUE(write_bytes(folder_ / name, bytes)) << "cannot write the test file";
}

void Ctest_folder::make_folder(const std::wstring& name) const
{
    EXPECT_TRUE(CreateDirectoryW((folder_ / name).c_str(), nullptr)) << "cannot make a test folder";
}

void Ctest_folder::lay_out(const std::vector<std::wstring>& entries) const
{
    for (const std::wstring& entry : entries) {
        if (!entry.empty() && entry.back() == L'\\')
            make_folder(entry.substr(0, entry.size() - 1));
        else
            write_file(entry, "data");
    }
}
