#include "install/game_files.h"

#include <set>

#include "fs/paths.h"

namespace {

const wchar_t* const ASK_THE_PUBLISHER = L"\nゲームの提供元にお問い合わせください。";

std::wstring parent_of(const std::wstring& relative)
{
    const size_t slash = relative.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : relative.substr(0, slash);
}

// What stands in the way of one file of the plan, or empty text.
std::wstring file_problem(Cgame_folder& game, const std::wstring& shown, const std::wstring& relative,
                          std::set<std::wstring>& folders_seen)
{
    const Cgame_path path = game.game_path(relative);
    if (path.empty())
        return join_path(shown, relative) + L" は、アップデートが作業に使うフォルダ " + UPDATE_FOLDER +
               L" の中か、ゲームのフォルダに置けない名前のため、コピーできません。" + ASK_THE_PUBLISHER;
    const std::wstring link = game.first_link(path);
    if (!link.empty())
        return link_message(shown, link);
    // Each folder on the way, once: a file of that name leaves no room for the folder.
    for (std::wstring above = parent_of(path.relative()); !above.empty() && folders_seen.insert(upper_case_name(above)).second;
         above = parent_of(above))
        if (file_exists(game.game_path(above).whole()))
            return join_path(shown, above) + L" はファイルのため、その中にファイルを置けません。" + ASK_THE_PUBLISHER;
    if (folder_exists(path.whole()))
        return join_path(shown, relative) + L" はフォルダのため、ファイルに置き換えられません。" + ASK_THE_PUBLISHER;
    return std::wstring();
}

}  // namespace

Cfinding judge_game_files(Cgame_folder& game, const std::wstring& shown_folder, const std::vector<Ccopy_group>& plan)
{
    std::set<std::wstring> folders_seen;
    for (const Ccopy_group& group : plan)
        for (const Cfile_entry& entry : group.listing.entries) {
            const std::wstring relative = relative_path(group, entry);
            const std::wstring problem = file_problem(game, shown_folder, relative, folders_seen);
            if (!problem.empty())
                return judged(L"game files", join_path(shown_folder, relative), problem);
        }
    return judged(L"game files", shown_folder, L"");
}

std::wstring link_message(const std::wstring& shown_folder, const std::wstring& relative)
{
    return join_path(shown_folder, relative) + L"はリンクのため、上書きできません。";
}
