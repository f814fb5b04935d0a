#include "update_check/missing_ini_hint.h"

#include <windows.h>

#include "fs/folder_walk.h"

namespace {

// The first file whose name matches pattern, or empty text.
std::wstring first_file(const wchar_t* pattern)
{
    for (const Cfile_entry& entry : matching_entries(pattern))
        if (!entry.is_folder)
            return entry.path;
    return std::wstring();
}

}  // namespace

std::wstring missing_update_ini_hint()
{
    const DWORD attributes = GetFileAttributesW(L"update.ini");
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return L"\"update.ini\" here is a folder, not a file.";
    for (const wchar_t* pattern : {L"update.ini.*", L"update.txt", L"update"}) {
        const std::wstring name = first_file(pattern);
        if (!name.empty())
            return L"This folder holds \"" + name + L"\": most likely the update.ini that was meant. Windows "
                   L"Explorer hides known extensions, so it may show there as \"update.ini\" or \"update\". Rename "
                   L"it to update.ini (to see whole names, turn on \"File name extensions\" in Explorer's View menu).";
    }
    return std::wstring();
}
