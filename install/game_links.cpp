#include "install/game_links.h"

#include "fs/paths.h"

Cfinding judge_links(Cgame_folder& game, const std::wstring& shown_folder, const std::vector<Ccopy_group>& plan)
{
    for (const Ccopy_group& group : plan)
        for (const Cfile_entry& entry : group.listing.entries) {
            // A path the game folder will not hand out fails when the file is staged.
            const Cgame_path path = game.game_path(relative_path(group, entry));
            const std::wstring link = path.empty() ? std::wstring() : game.first_link(path);
            if (!link.empty())
                return judged(L"links", shown_folder, link_message(shown_folder, link));
        }
    return judged(L"links", shown_folder, L"");
}

std::wstring link_message(const std::wstring& shown_folder, const std::wstring& relative)
{
    return join_path(shown_folder, relative) + L"はリンクのため、上書きできません。";
}
