#include "app/file_copy.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "app/update_data.h"
#include "app/update_process_dialog.h"
#include "fs/file_handle.h"
#include "fs/file_ops.h"
#include "fs/paths.h"

namespace {

constexpr int BAR_END = 1000;

// Thousandths in double precision, truncated, so that 64-bit sizes never overflow.
int thousandths(uint64_t done, uint64_t whole)
{
    if (whole == 0 || done >= whole)
        return BAR_END;
    return static_cast<int>(static_cast<double>(done) * BAR_END / static_cast<double>(whole));
}

}  // namespace

std::wstring copy_file_with_progress(const std::wstring& relative_path, const std::wstring& staging_path,
                                     uint64_t total_bytes, uint64_t& bytes_remaining,
                                     std::vector<unsigned char>& block)
{
    // Declared source first, so the destination is closed first on every way out.
    Cfile_handle source;
    Cfile_handle destination;

    // The player is shown the path inside the update, not the GAMEDATA prefix, and the game's
    // file by its own name, not the staging file's.
    if (!open_file(source, join_path(g_update.source_root, relative_path), L"rb"))
        return relative_path + L"が開けませんでした。";
    const std::wstring destination_path = join_path(g_update.destination_folder, relative_path);
    if (!open_file(destination, staging_path, L"wb"))
        return destination_path + L"が開けませんでした。";

    g_progress_dialog.status_text.set_text(relative_path);

    const uint64_t file_size = source.size;
    uint64_t file_remaining = file_size;
    block.resize(BLOCK_SIZE);

    while (file_remaining != 0) {
        // Never past the size measured at opening: a file that grows meanwhile cannot drive the
        // counters below zero, and one that shrinks ends the copy as a failed read.
        const size_t wanted = static_cast<size_t>(std::min<uint64_t>(BLOCK_SIZE, file_remaining));
        const size_t count = fread(block.data(), 1, wanted, source.stream);
        if (count == 0)
            return relative_path + L"の読み込みに失敗しました。";
        if (fwrite(block.data(), 1, count, destination.stream) != count)
            return destination_path + L"への書き込みに失敗しました。";

        file_remaining -= count;
        bytes_remaining -= std::min<uint64_t>(count, bytes_remaining);

        // The whole update's bar first, then the file's.
        g_progress_dialog.progress_bars[0].set_position(thousandths(total_bytes - bytes_remaining, total_bytes));
        g_progress_dialog.progress_bars[1].set_position(thousandths(file_size - file_remaining, file_size));
        g_progress_dialog.paint_if_due();
        g_progress_dialog.pump_if_due();
    }

    // On the disk before it is put in place, so that a power cut never leaves it half written
    // under the game's name; a full disk may only show here.
    if (!flush_to_disk(destination.stream) || !close_file(destination))
        return destination_path + L"への書き込みに失敗しました。";
    return std::wstring();
}
