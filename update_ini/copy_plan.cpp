#include "update_ini/copy_plan.h"

#include <algorithm>
#include <cstdint>
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

uint64_t key_hash(const std::wstring& key)
{
    uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (wchar_t unit : key)
        hash = (hash ^ static_cast<uint16_t>(unit)) * 1099511628211ull;
    return hash;
}

// Of the entries reaching one destination, all but the last in the plan's order are taken out of
// their listings. Each destination is held as a hash and its entry's place in the plan, sixteen
// bytes a file; keys are made again only where hashes meet, and compared whole.
void copy_each_destination_once(std::vector<Ccopy_group>& plan)
{
    std::vector<std::pair<size_t, size_t>> places;  // group, entry
    std::vector<std::pair<uint64_t, size_t>> hashes;  // hash, place
    for (size_t g = 0; g < plan.size(); ++g)
        for (size_t i = 0; i < plan[g].listing.entries.size(); ++i) {
            hashes.emplace_back(key_hash(destination_key(relative_path(plan[g], plan[g].listing.entries[i]))), places.size());
            places.emplace_back(g, i);
        }
    std::sort(hashes.begin(), hashes.end());
    const auto key_of = [&plan, &places](size_t place) {
        const Ccopy_group& group = plan[places[place].first];
        return destination_key(relative_path(group, group.listing.entries[places[place].second]));
    };
    std::vector<bool> again(places.size());
    for (size_t run = 0, end; run < hashes.size(); run = end) {
        for (end = run + 1; end < hashes.size() && hashes[end].first == hashes[run].first;)
            ++end;
        // Places ascend within a run: an entry is reached again when a later one has its key.
        for (size_t a = run; a + 1 < end; ++a)
            for (size_t b = a + 1; b < end && !again[hashes[a].second]; ++b)
                again[hashes[a].second] = key_of(hashes[a].second) == key_of(hashes[b].second);
    }
    for (size_t place = 0, g = 0; g < plan.size(); ++g) {
        Ccopy_group& group = plan[g];
        std::vector<Cfile_entry>& entries = group.listing.entries;
        size_t kept = 0;
        for (size_t i = 0; i < entries.size(); ++i, ++place) {
            if (again[place]) {
                group.reached_again.push_back(relative_path(group, entries[i]));
                group.listing.total_size -= entries[i].size;
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
