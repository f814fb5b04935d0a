#include "update_check/missing_ini_hint.h"

#include <windows.h>

#include "fs/folder_walk.h"
#include "update_check/words.h"

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
        return words(W_INI_IS_FOLDER);
    for (const wchar_t* pattern : {L"update.ini.*", L"update.txt", L"update"}) {
        const std::wstring name = first_file(pattern);
        if (!name.empty())
            return words(W_INI_MISNAMED, {name});
    }
    return std::wstring();
}
