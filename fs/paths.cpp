#include "fs/paths.h"

#include <windows.h>
#include <imagehlp.h>

#include "fs/text_file.h"

std::wstring join_path(const std::wstring& folder, const std::wstring& name)
{
    return folder + L"\\" + name;
}

std::wstring path_folder(const std::wstring& path)
{
    // Callers always pass a path holding a backslash; without one the whole path is its own folder.
    const size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? path : path.substr(0, slash);
}

// The last dot of the whole string counts, even inside a folder name: "save.old\readme" has the
// extension "old\readme". The lister and the copy plan both split names this way.
std::wstring path_stem(const std::wstring& name)
{
    const size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

std::wstring path_extension(const std::wstring& name)
{
    const size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? std::wstring() : name.substr(dot + 1);
}

static DWORD attributes_of(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str());
}

bool folder_exists(const std::wstring& path)
{
    const DWORD attributes = attributes_of(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool file_exists(const std::wstring& path)
{
    const DWORD attributes = attributes_of(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void make_path_folders(const std::wstring& path)
{
    if (path.empty())
        return;
    // The image-help service takes only a narrow path. A folder it cannot make shows up later,
    // when the copy fails to open its destination file, so its result is not looked at here.
    const std::string narrow = to_narrow(path);
    MakeSureDirectoryPathExists(narrow.c_str());
}

void make_folder(const std::wstring& folder)
{
    if (folder.empty())
        return;
    std::wstring with_slash = folder;
    if (with_slash.back() != L'\\')
        with_slash += L'\\';
    make_path_folders(with_slash);
}

std::wstring lower_ascii(const std::wstring& text)
{
    std::wstring lowered = text;
    for (wchar_t& c : lowered)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c + 0x20);
    return lowered;
}
