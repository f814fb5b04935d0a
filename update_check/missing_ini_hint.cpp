#include "update_check/missing_ini_hint.h"

#include "fs/folder_walk.h"
#include "fs/paths.h"
#include "update_check/words.h"

std::wstring missing_update_ini_hint()
{
    if (folder_exists(L"update.ini"))
        return words(W_INI_IS_FOLDER);
    // The first file of a name that shows update.ini was saved under another.
    for (const wchar_t* pattern : {L"update.ini.*", L"update.txt", L"update"})
        for (const Cfile_entry& entry : matching_entries(pattern))
            if (!entry.is_folder)
                return words(W_INI_MISNAMED, {entry.path});
    return std::wstring();
}
