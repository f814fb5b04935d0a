#include "app/update_run.h"

#include <string>
#include <vector>

#include "update_ini/copy_plan.h"
#include "app/file_copy.h"
#include "app/message_box.h"
#include "app/update_data.h"
#include "app/update_process_dialog.h"
#include "fs/paths.h"

bool run_update()
{
    g_progress_dialog.create(IDD_UPDATE_PROCESS_TEMPLATE);
    g_progress_dialog.set_title(g_update.settings.GAME_NAME + L" アップデート");
    g_progress_dialog.progress_bars[0].set_range(0, 1000);
    g_progress_dialog.progress_bars[1].set_range(0, 1000);
    g_progress_dialog.show();

    const bool copied = copy_update();

    // A failure has been shown already; success is announced once the dialog is gone.
    g_progress_dialog.hide();
    g_progress_dialog.destroy();
    return copied;
}

bool copy_update()
{
    const std::vector<Ccopy_group> plan = plan_update(g_update.settings, g_update.source_root);
    const uint64_t plan_bytes = total_bytes(plan);
    uint64_t bytes_remaining = plan_bytes;

    for (const Ccopy_group& group : plan) {
        for (const Cfile_entry& entry : group.listing.entries) {
            std::wstring unmade;
            if (group.makes_destination_folder && !make_folder(join_path(g_update.destination_folder, group.folder), unmade)) {
                show_warning(unmade + L"が作成できませんでした。");
                return false;
            }
            if (!copy_file_with_progress(relative_path(group, entry), plan_bytes, bytes_remaining))
                return false;
        }
    }
    return true;
}
