#include "app/update_run.h"

#include <string>
#include <vector>

#include "app/file_copy.h"
#include "app/message_box.h"
#include "app/staged_update.h"
#include "app/update_data.h"
#include "app/update_process_dialog.h"
#include "fs/paths.h"
#include "update_ini/copy_plan.h"

namespace {

// The game is as it was by now; the box comes while the dialog is still on screen.
bool report(const std::wstring& problem)
{
    g_progress_dialog.paint_now();
    show_warning(problem);
    return false;
}

}  // namespace

bool run_update()
{
    g_progress_dialog.create(IDD_UPDATE_PROCESS_TEMPLATE);
    g_progress_dialog.set_title(g_update.settings.GAME_NAME + L" アップデート");
    g_progress_dialog.progress_bars[0].set_range(0, 1000);
    g_progress_dialog.progress_bars[1].set_range(0, 1000);
    g_progress_dialog.show();

    const bool copied = copy_update();

    // A failure has been shown already; success is announced once the dialog is gone.
    g_progress_dialog.paint_now();
    g_progress_dialog.hide();
    g_progress_dialog.destroy();
    return copied;
}

// Every file is staged in the journal's folder first; only when all are staged are they put in
// place. A failure on the way leaves the game as it was before the box tells of it.
bool copy_update()
{
    const std::vector<Ccopy_group>& plan = g_update.plan;
    const uint64_t plan_bytes = total_bytes(plan);
    uint64_t bytes_remaining = plan_bytes;
    Cstaged_update update(g_update.game, g_update.listing, g_update.destination_folder);
    std::vector<unsigned char> block(BLOCK_SIZE);
    size_t file_count = 0;
    for (const Ccopy_group& group : plan)
        file_count += group.listing.entries.size();
    const std::wstring not_begun = update.begin(file_count);
    if (!not_begun.empty())
        return report(not_begun);

    for (const Ccopy_group& group : plan) {
        for (const Cfile_entry& entry : group.listing.entries) {
            std::wstring problem = group.makes_destination_folder ? update.make_journaled_folders(group.folder) : std::wstring();
            const std::wstring relative = relative_path(group, entry);
            std::wstring staging;
            if (problem.empty())
                problem = update.prepare(relative, staging);
            if (problem.empty())
                problem = copy_file_with_progress(relative, staging, plan_bytes, bytes_remaining, block);
            if (!problem.empty()) {
                update.roll_back();
                return report(problem);
            }
        }
    }
    const std::wstring problem = update.put_in_place();
    return problem.empty() || report(problem);
}
