#include "fs/paths.h"

#include <windows.h>

#include <algorithm>


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

std::wstring relative_parent(const std::wstring& relative)
{
    const size_t slash = relative.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : relative.substr(0, slash);
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

std::wstring long_path(const std::wstring& path)
{
    if (path.compare(0, 4, L"\\\\?\\") == 0)
        return path;
    // Below this length every call takes the path as it is (CreateDirectoryW, the strictest,
    // keeps room for an 8.3 name). A longer one is made whole first, resolved as Windows would
    // resolve it anyway, then marked so that Windows takes it past MAX_PATH.
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0 || needed - 1 < MAX_PATH - 12)
        return path;
    std::wstring full(needed, L'\0');
    full.resize(GetFullPathNameW(path.c_str(), needed, &full[0], nullptr));
    if (full.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC" + full.substr(1);
    return L"\\\\?\\" + full;
}

std::wstring full_path(const std::wstring& path)
{
    const std::wstring asked = path.empty() ? L"." : path;
    const DWORD needed = GetFullPathNameW(asked.c_str(), 0, nullptr, nullptr);
    std::wstring full(needed, L'\0');
    full.resize(needed == 0 ? 0 : GetFullPathNameW(asked.c_str(), needed, &full[0], nullptr));
    while (full.size() > 3 && full.back() == L'\\')
        full.pop_back();
    return full.empty() ? path : full;
}

Ccurrent_folder::Ccurrent_folder(const std::wstring& folder) : previous_(full_path(L"."))
{
    entered_ = folder.empty() || SetCurrentDirectoryW(folder.c_str()) != 0;
}

Ccurrent_folder::~Ccurrent_folder()
{
    SetCurrentDirectoryW(previous_.c_str());
}

bool has_parent_step(const std::wstring& path)
{
    // Windows drops trailing dots and blanks from a name, so "..." and ".. " lead to the parent
    // folder as surely as "..".
    size_t dots = 0;
    bool only_dots = true;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == L'\\' || path[i] == L'/') {
            if (only_dots && dots >= 2)
                return true;
            dots = 0;
            only_dots = true;
        } else if (path[i] == L'.') {
            ++dots;
        } else if (path[i] != L' ') {
            only_dots = false;
        }
    }
    return false;
}

namespace {

// Windows drops a name's trailing dots and blanks, so "data." and "data" are one folder.
std::wstring without_trailing_dots(std::wstring name)
{
    while (!name.empty() && (name.back() == L'.' || name.back() == L' '))
        name.pop_back();
    return name;
}

bool holds_forbidden_character(const std::wstring& name)
{
    for (wchar_t c : name)
        if (c < 32 || wcschr(L"<>:\"|?*", c) != nullptr)
            return true;
    return false;
}

// Each name of the path as written, and as Windows keeps it; false from use stops the walk.
template <typename Use>
bool for_each_name(const std::wstring& relative, Use use)
{
    for (size_t start = 0; start < relative.size();) {
        const size_t end = std::min(relative.find_first_of(L"\\/", start), relative.size());
        const std::wstring written = relative.substr(start, end - start);
        start = end + 1;
        if (!written.empty() && written != L"." && !use(written, without_trailing_dots(written)))
            return false;
    }
    return true;
}

}  // namespace

std::wstring kept_relative_path(const std::wstring& relative)
{
    std::wstring kept;
    for_each_name(relative, [&kept](const std::wstring&, const std::wstring& name) {
        if (!name.empty() && !kept.empty())
            kept += L'\\';
        kept += name;
        return true;
    });
    return kept;
}

std::wstring confined_relative_path(const std::wstring& relative)
{
    // A leading separator is the drive's root.
    const bool inside = !relative.empty() && relative[0] != L'\\' && relative[0] != L'/' &&
                        for_each_name(relative, [](const std::wstring&, const std::wstring& name) {
                            return !name.empty() && !is_device_name(name) && !holds_forbidden_character(name);
                        });
    return inside ? kept_relative_path(relative) : std::wstring();
}

static DWORD attributes_of(const std::wstring& path)
{
    return GetFileAttributesW(long_path(path).c_str());
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

bool make_folder_and_above(const std::wstring& folder, std::wstring& unmade, std::vector<std::wstring>* made)
{
    unmade.clear();
    // Made one folder at a time from the top, each by its wide name: a name is never passed
    // through the ANSI code page, where a Shift-JIS trail byte 0x5C would read as a separator.
    // The drive, or the server and share of a network path, are there or not; they are not made.
    size_t next = folder.compare(0, 2, L"\\\\") == 0 ? folder.find(L'\\', folder.find(L'\\', 2) + 1) : 0;
    while (next != std::wstring::npos && next < folder.size()) {
        next = folder.find(L'\\', next + 1);
        const std::wstring step = folder.substr(0, next);
        if (step.empty() || step.back() == L':' || step.back() == L'\\' || folder_exists(step))
            continue;
        if (CreateDirectoryW(long_path(step).c_str(), nullptr)) {
            if (made != nullptr)
                made->push_back(step);
        } else if (!folder_exists(step)) {
            unmade = step;
            return false;
        }
    }
    return true;
}

std::wstring lower_ascii(const std::wstring& text)
{
    std::wstring lowered = text;
    for (wchar_t& c : lowered)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c + 0x20);
    return lowered;
}

std::wstring upper_case_name(std::wstring text)
{
    if (!text.empty())
        CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

bool is_device_name(const std::wstring& path)
{
    // Every device name has a stem of three or four letters: most names are told at a glance.
    const size_t start = path.find_last_of(L"\\/") + 1;
    size_t stem_end = std::min(path.find(L'.', start), path.size());
    while (stem_end > start && path[stem_end - 1] == L' ')
        --stem_end;
    if (stem_end - start != 3 && stem_end - start != 4)
        return false;
    const std::wstring name = lower_ascii(path.substr(start));
    std::wstring stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ')
        stem.pop_back();
    if (stem == L"con" || stem == L"prn" || stem == L"aux" || stem == L"nul")
        return true;
    return stem.size() == 4 && (stem.compare(0, 3, L"com") == 0 || stem.compare(0, 3, L"lpt") == 0) &&
           stem[3] >= L'1' && stem[3] <= L'9';
}
