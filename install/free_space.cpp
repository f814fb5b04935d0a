#include "install/free_space.h"

#include "fs/file_ops.h"
#include "fs/text.h"

namespace {

// Megabytes as Explorer counts them (1,048,576 bytes), to one decimal, rounded the given way.
std::wstring megabytes(uint64_t bytes, bool round_up)
{
    const uint64_t tenths = (bytes / 1048576) * 10 + ((bytes % 1048576) * 10 + (round_up ? 1048575 : 0)) / 1048576;
    return format_text(L"%I64u.%I64u MB", static_cast<unsigned long long>(tenths / 10),
                       static_cast<unsigned long long>(tenths % 10));
}

}  // namespace

uint64_t staging_room(const std::vector<Ccopy_group>& plan, uint64_t cluster)
{
    const auto clusters = [cluster](uint64_t bytes) { return cluster > 1 ? (bytes + cluster - 1) / cluster * cluster : bytes; };
    // A journal line per file: its relative path in UTF-8 (at most three bytes a character) and a
    // few more.
    uint64_t needed = 0, journal = 64, files = 0;
    for (const Ccopy_group& group : plan)
        for (const Cfile_entry& entry : group.listing.entries) {
            needed += clusters(entry.size);
            journal += relative_path(group, entry).size() * 3 + 16;
            ++files;
        }
    const uint64_t folders = (files + STAGED_FILES_PER_FOLDER - 1) / STAGED_FILES_PER_FOLDER;
    return needed + clusters(journal) + folders * clusters(1);
}

uint64_t staging_room(const std::vector<Ccopy_group>& plan, const std::wstring& destination_folder)
{
    return staging_room(plan, cluster_bytes(destination_folder));
}

Cfinding judge_free_space(const std::wstring& destination_folder, uint64_t needed_bytes)
{
    uint64_t free = 0;
    if (!free_bytes(destination_folder, free) || free >= needed_bytes)
        return judged(L"free space", destination_folder, L"");
    // The need rounded up and the room rounded down, so the two never read as equal.
    return judged(L"free space", destination_folder,
                  L"コピー先のドライブの空き容量が足りません。\n必要な空き容量: " + megabytes(needed_bytes, true) +
                      L"\n現在の空き容量: " + megabytes(free, false));
}
