#include "install/game_folder.h"

#include "fs/paths.h"

namespace {

// Opened for nothing but asking, and not through a link at its last name, so that a link shows
// as one.
HANDLE open_to_ask(const std::wstring& path)
{
    return CreateFileW(long_path(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

// The basic information alone: GetFileInformationByHandle asks the volume for its serial number
// too, which costs Wine a round trip to its mount manager for every file (seen: 0.44 ms a call).
uint32_t attributes_of(HANDLE handle)
{
    FILE_BASIC_INFO information = {};
    return GetFileInformationByHandleEx(handle, FileBasicInfo, &information, sizeof(information))
               ? information.FileAttributes : INVALID_FILE_ATTRIBUTES;
}

}  // namespace

bool leads_elsewhere(const std::wstring& expected, const std::wstring& final, uint32_t attributes)
{
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return true;
    // Windows tells every final path; Wine 8 none past MAX_PATH, and there the attributes decide.
    return !final.empty() && upper_case_name(expected) != upper_case_name(final);
}

std::wstring final_path_of(HANDLE handle)
{
    std::wstring final(32768, L'\0');
    final.resize(GetFinalPathNameByHandleW(handle, &final[0], static_cast<DWORD>(final.size()),
                                           FILE_NAME_NORMALIZED | VOLUME_NAME_DOS));
    if (final.compare(0, 8, L"\\\\?\\UNC\\") == 0)
        final = L"\\" + final.substr(7);
    else if (final.compare(0, 4, L"\\\\?\\") == 0)
        final = final.substr(4);
    while (final.size() > 3 && final.back() == L'\\')
        final.pop_back();
    return final;
}

std::wstring final_path_of(const std::wstring& path)
{
    const HANDLE handle = CreateFileW(long_path(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::wstring();
    const std::wstring final = final_path_of(handle);
    CloseHandle(handle);
    return final;
}

bool Cgame_folder::open(const std::wstring& folder)
{
    checked_.clear();
    final_ = folder_exists(folder) ? final_path_of(folder) : std::wstring();
    if (final_.empty() && folder_exists(folder))
        final_ = full_path(folder);
    // A drive's root keeps no backslash of its own here: every path below is joined with one.
    if (!final_.empty() && final_.back() == L'\\')
        final_.pop_back();
    return !final_.empty();
}

std::wstring Cgame_folder::key() const
{
    uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (wchar_t unit : upper_case_name(final_))
        hash = (hash ^ static_cast<uint16_t>(unit)) * 1099511628211ull;
    wchar_t text[17] = {};
    for (int i = 15; i >= 0; --i, hash >>= 4)
        text[i] = L"0123456789abcdef"[hash & 15];
    return text;
}

Cgame_path Cgame_folder::game_path(const std::wstring& relative) const
{
    Cgame_path path;
    const std::wstring confined = confined_relative_path(relative);
    const std::wstring first = confined.substr(0, confined.find(L'\\'));
    if (is_open() && !confined.empty() && upper_case_name(first) != upper_case_name(UPDATE_FOLDER)) {
        path.relative_ = confined;
        path.whole_ = join_path(final_, confined);
    }
    return path;
}

Cgame_path Cgame_folder::update_path(const std::wstring& relative) const
{
    Cgame_path path;
    const std::wstring confined = relative.empty() ? std::wstring(UPDATE_FOLDER)
                                                   : confined_relative_path(join_path(UPDATE_FOLDER, relative));
    if (is_open() && !confined.empty()) {
        path.relative_ = confined;
        path.whole_ = join_path(final_, confined);
    }
    return path;
}

Cgame_folder::Creached Cgame_folder::reach(const std::wstring& whole) const
{
    const HANDLE handle = open_to_ask(whole);
    if (handle == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND ? Creached::missing
                                                                                              : Creached::elsewhere;
    const bool direct = !leads_elsewhere(whole, final_path_of(handle), attributes_of(handle));
    CloseHandle(handle);
    return direct ? Creached::directly : Creached::elsewhere;
}

std::wstring Cgame_folder::first_folder_link(const Cgame_path& path)
{
    const std::wstring& whole = path.whole();
    for (size_t slash = final_.size(); (slash = whole.find(L'\\', slash + 1)) != std::wstring::npos;) {
        const std::wstring folder = whole.substr(0, slash);
        const std::wstring key = upper_case_name(folder);
        if (checked_.count(key) != 0)
            continue;
        // A folder not there yet is made by the update itself, and asked about again next time.
        const Creached reached = reach(folder);
        if (reached == Creached::elsewhere)
            return folder.substr(final_.size() + 1);
        if (reached == Creached::directly)
            checked_.insert(key);
    }
    return std::wstring();
}

std::wstring Cgame_folder::first_link(const Cgame_path& path)
{
    const std::wstring folder = first_folder_link(path);
    if (!folder.empty())
        return folder;
    return reach(path.whole()) == Creached::elsewhere ? path.relative() : std::wstring();
}

bool Cgame_folder::opened_directly(HANDLE file, const Cgame_path& path) const
{
    return !path.empty() && !leads_elsewhere(path.whole(), final_path_of(file), attributes_of(file));
}
