#include "fs/file_list.h"

#include "fs/paths.h"

namespace {

// "*" is a wildcard only as the whole filter; any other filter must equal the name's part
// whole, ignoring ASCII case, so "*" or "?" inside a longer filter are plain characters.
bool passes(const std::wstring& filter, const std::wstring& part)
{
    return filter == L"*" || lower_ascii(part) == lower_ascii(filter);
}

} // namespace

bool Cfile_list::list(const std::wstring& folder, const std::wstring& name_filter,
                      const std::wstring& extension_filter)
{
    // The run adds up the totals of all its listers, so the running total is left as it is.
    entries.clear();
    for (Cfile_entry& entry : walk_folder(folder)) {
        if (entry.is_folder || !passes(name_filter, path_stem(entry.path)) ||
            !passes(extension_filter, path_extension(entry.path)))
            continue;
        total_size += entry.size;
        entries.push_back(std::move(entry));
    }
    return !entries.empty();
}
