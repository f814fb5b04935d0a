#include "update_ini/copy_plan.h"

#include <set>
#include <utility>

#include "fs/paths.h"
#include "fs/text.h"
#include "update_ini/media_parts.h"

namespace {

void plan_folder(std::vector<Ccopy_group>& plan, const std::wstring& source_root, const std::wstring& key,
                 const std::wstring& folder, bool makes_destination_folder)
{
    plan.emplace_back();
    Ccopy_group& group = plan.back();
    group.key = key;
    group.entry = folder;
    group.folder = folder;
    group.makes_destination_folder = makes_destination_folder;
    group.listing.list(join_path(source_root, folder), L"*", L"*");
}

void plan_file(std::vector<Ccopy_group>& plan, const std::wstring& source_root, const std::wstring& key,
               const std::wstring& file)
{
    plan.emplace_back();
    Ccopy_group& group = plan.back();
    group.key = key;
    group.entry = file;
    group.listing.list(source_root, path_stem(file), path_extension(file));
}

// Walks the plan from its end, so that the last entry to reach a destination keeps it. Each
// listing keeps its order; entries are moved, never copied.
void copy_each_destination_once(std::vector<Ccopy_group>& plan)
{
    std::set<std::wstring> reached;
    for (auto group = plan.rbegin(); group != plan.rend(); ++group) {
        std::vector<Cfile_entry>& entries = group->listing.entries;
        std::vector<bool> again(entries.size());
        for (size_t i = entries.size(); i-- != 0;)
            again[i] = !reached.insert(destination_key(relative_path(*group, entries[i]))).second;
        size_t kept = 0;
        for (size_t i = 0; i < entries.size(); ++i) {
            if (again[i]) {
                group->reached_again.push_back(relative_path(*group, entries[i]));
                group->listing.total_size -= entries[i].size;
            } else {
                if (kept != i)
                    entries[kept] = std::move(entries[i]);
                ++kept;
            }
        }
        entries.resize(kept);
    }
}

}  // namespace

std::wstring destination_key(const std::wstring& relative)
{
    return upper_case_name(kept_relative_path(relative));
}

std::vector<Ccopy_group> plan_update(const Cupdate_settings& settings, const std::wstring& source_root)
{
    std::vector<Ccopy_group> plan;
    for (const Cmedia_part& media : MEDIA_PARTS)
        if (settings.*media.update != 0)
            plan_folder(plan, source_root, media.folder_key, settings.*media.folder, false);
    for (int i = 0; i < settings.COPY_FOLDER_COUNT && i < COPY_ENTRY_LIMIT; ++i)
        plan_folder(plan, source_root, format_text(L"COPY_FOLDER_%02d", i), settings.COPY_FOLDER[i], true);
    for (int i = 0; i < settings.COPY_FILE_COUNT && i < COPY_ENTRY_LIMIT; ++i)
        plan_file(plan, source_root, format_text(L"COPY_FILE_%02d", i), settings.COPY_FILE[i]);
    copy_each_destination_once(plan);
    return plan;
}

std::wstring relative_path(const Ccopy_group& group, const Cfile_entry& entry)
{
    return group.folder.empty() ? entry.path : join_path(group.folder, entry.path);
}

uint64_t total_bytes(const std::vector<Ccopy_group>& plan)
{
    uint64_t total = 0;
    for (const Ccopy_group& group : plan)
        total += group.listing.total_size;
    return total;
}
