#pragma once
// A fresh folder under the temp folder that is the current directory while the object lives, the
// way update.exe runs in its own folder. Removed with everything in it afterwards.
#include <string>
#include <vector>

class Ctest_folder {
public:
    Ctest_folder();
    ~Ctest_folder();
    Ctest_folder(const Ctest_folder&) = delete;
    Ctest_folder& operator=(const Ctest_folder&) = delete;

    const std::wstring& path() const { return path_; }

    // Relative to the folder. Bytes are written exactly as given.
    void write_file(const std::wstring& name, const std::string& bytes) const;
    void make_folder(const std::wstring& name) const;
    // Entries ending in a backslash are folders, the others small files; parents come first.
    void lay_out(const std::vector<std::wstring>& entries) const;

private:
    std::wstring path_;
    std::wstring previous_directory_;
};
