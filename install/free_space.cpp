#include "install/free_space.h"

#include "fs/file_ops.h"
#include "fs/text_file.h"

namespace {

// Megabytes as Explorer counts them (1,048,576 bytes), to one decimal, rounded the given way.
std::wstring megabytes(uint64_t bytes, bool round_up)
{
    const uint64_t tenths = (bytes / 1048576) * 10 + ((bytes % 1048576) * 10 + (round_up ? 1048575 : 0)) / 1048576;
    return format_text(L"%I64u.%I64u MB", static_cast<unsigned long long>(tenths / 10),
                       static_cast<unsigned long long>(tenths % 10));
}

}  // namespace

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
