#include "test_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

void remove_tree(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                remove_tree(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

std::wstring current_directory()
{
    wchar_t buffer[MAX_PATH * 2] = {};
    GetCurrentDirectoryW(MAX_PATH * 2, buffer);
    return buffer;
}

}  // namespace

Ctest_folder::Ctest_folder() : previous_directory_(current_directory())
{
    static unsigned serial = 0;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + L"update_ini_test_" + std::to_wstring(GetCurrentProcessId()) + L"_"
            + std::to_wstring(++serial);
    remove_tree(path_);
    EXPECT_TRUE(CreateDirectoryW(path_.c_str(), nullptr));
    EXPECT_TRUE(SetCurrentDirectoryW(path_.c_str()));
}

Ctest_folder::~Ctest_folder()
{
    SetCurrentDirectoryW(previous_directory_.c_str());
    remove_tree(path_);
}

void Ctest_folder::write_file(const std::wstring& name, const std::string& bytes) const
{
    const std::wstring full = path_ + L"\\" + name;
    HANDLE file = CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot write the test file";
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    EXPECT_EQ(written, bytes.size());
}

void Ctest_folder::make_folder(const std::wstring& name) const
{
    EXPECT_TRUE(CreateDirectoryW((path_ + L"\\" + name).c_str(), nullptr)) << "cannot make a test folder";
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
