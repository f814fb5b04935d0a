#pragma once
// An update package as a publisher lays it out: update.ini saved in Shift-JIS with CR LF, and a
// GAMEDATA tree, in a scratch folder of its own.
#include <windows.h>

#include <string>
#include <vector>

#include "support/scratch_tree.h"

inline std::string shift_jis(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const int length = WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                           nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), &bytes[0], length, nullptr, nullptr);
    return bytes;
}

class Cpackage_folder : public Cscratch_tree {
public:
    void write_update_ini(const std::vector<std::wstring>& lines, const std::string& before = std::string()) const
    {
        std::string bytes = before;
        for (const std::wstring& line : lines)
            bytes += shift_jis(line) + "\r\n";
        make_file(L"update.ini", bytes);
    }
    // Entries ending in a backslash are folders, the others files of a few bytes; parents first.
    void lay_out(const std::vector<std::wstring>& entries) const
    {
        for (const std::wstring& entry : entries) {
            if (!entry.empty() && entry.back() == L'\\')
                make_folder(entry.substr(0, entry.size() - 1));
            else
                make_file(entry, "data");
        }
    }
};
