#include "app/update_run.h"

#include <string>
#include <vector>

#include "app/file_copy.h"
#include "app/update_data.h"
#include "app/update_process_dialog.h"
#include "fs/file_list.h"
#include "fs/paths.h"

namespace {

// One listing of the copy plan and how its files are placed below the destination folder.
struct Ccopy_group {
    Cfile_list listing;
    // Source folder below GAMEDATA, which is also the folder below the destination; empty for a
    // file entry, whose files lie directly in both.
    std::wstring folder;
    // Folder entries make their destination folder (with every one above it) before each file.
    bool makes_destination_folder = false;
};

void plan_folder(std::vector<Ccopy_group>& plan, const std::wstring& folder, bool makes_destination_folder)
{
    plan.emplace_back();
    Ccopy_group& group = plan.back();
    group.folder = folder;
    group.makes_destination_folder = makes_destination_folder;
    group.listing.list(join_path(g_update.source_root, folder), L"*", L"*");
}

void plan_file(std::vector<Ccopy_group>& plan, const std::wstring& file)
{
    plan.emplace_back();
    plan.back().listing.list(g_update.source_root, path_stem(file), path_extension(file));
}

// BGM, voice and movie folders, then the folder entries, then the file entries: the order in
// which the files are copied. Counts above ten are refused by the source checks; the plan
// never reaches past the tenth entry whatever they say.
std::vector<Ccopy_group> plan_update(const Cupdate_settings& settings)
{
    std::vector<Ccopy_group> plan;
    if (settings.BGM_UPDATE != 0)
        plan_folder(plan, settings.BGM_FOLDER, false);
    if (settings.KOE_UPDATE != 0)
        plan_folder(plan, settings.KOE_FOLDER, false);
    if (settings.MOV_UPDATE != 0)
        plan_folder(plan, settings.MOV_FOLDER, false);
    for (int i = 0; i < settings.COPY_FOLDER_COUNT && i < COPY_ENTRY_LIMIT; ++i)
        plan_folder(plan, settings.COPY_FOLDER[i], true);
    for (int i = 0; i < settings.COPY_FILE_COUNT && i < COPY_ENTRY_LIMIT; ++i)
        plan_file(plan, settings.COPY_FILE[i]);
    return plan;
}

std::wstring relative_path(const Ccopy_group& group, const Cfile_entry& entry)
{
    return group.folder.empty() ? entry.path : join_path(group.folder, entry.path);
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
    g_progress_dialog.hide();
    g_progress_dialog.destroy();
    return copied;
}

bool copy_update()
{
    const std::vector<Ccopy_group> plan = plan_update(g_update.settings);

    uint64_t total_bytes = 0;
    for (const Ccopy_group& group : plan)
        total_bytes += group.listing.total_size;
    uint64_t bytes_remaining = total_bytes;

    for (const Ccopy_group& group : plan) {
        for (const Cfile_entry& entry : group.listing.entries) {
            if (group.makes_destination_folder)
                make_folder(join_path(g_update.destination_folder, group.folder));
            if (!copy_file_with_progress(relative_path(group, entry), total_bytes, bytes_remaining))
                return false;
        }
    }
    return true;
}
