#include "install/game_files.h"

#include <windows.h>

#include "fs/folder_walk.h"
#include "fs/paths.h"

namespace {

const wchar_t* const ASK_THE_PUBLISHER = L"\nゲームの提供元にお問い合わせください。";

bool is(uint32_t attributes, uint32_t bit)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & bit) != 0;
}

// What stands in the way of the folder a file goes into, or empty text: a link to a folder, asked
// of each folder's final path, or a file where a folder must be.
std::wstring folder_problem(Cgame_folder& game, Cgame_listing& listing, const std::wstring& shown, const Cgame_path& path)
{
    const std::wstring link = game.first_folder_link(path);
    if (!link.empty())
        return link_message(shown, link);
    for (std::wstring above = relative_parent(path.relative()); !above.empty(); above = relative_parent(above)) {
        const uint32_t found = listing.attributes(game.game_path(above));
        if (found != INVALID_FILE_ATTRIBUTES && !is(found, FILE_ATTRIBUTE_DIRECTORY))
            return join_path(shown, above) + L" はファイルのため、その中にファイルを置けません。" + ASK_THE_PUBLISHER;
    }
    return std::wstring();
}

// What stands at the file's own name, or empty text. A link to a file shows in the folder's
// listing (where Wine shows a Unix link as a plain file, the open before staging finds it).
std::wstring name_problem(Cgame_listing& listing, const std::wstring& shown, const std::wstring& relative,
                          const Cgame_path& path)
{
    const uint32_t attributes = listing.attributes(path);
    if (is(attributes, FILE_ATTRIBUTE_REPARSE_POINT))
        return link_message(shown, path.relative());
    if (is(attributes, FILE_ATTRIBUTE_DIRECTORY))
        return join_path(shown, relative) + L" はフォルダのため、ファイルに置き換えられません。" + ASK_THE_PUBLISHER;
    return std::wstring();
}

}  // namespace

// The files of a listing lie directly in one folder, which is asked about once for all of them.
Cfinding judge_game_files(Cgame_folder& game, Cgame_listing& listing, const std::wstring& shown_folder,
                          const std::vector<Ccopy_group>& plan)
{
    for (const Ccopy_group& group : plan) {
        std::wstring problem_of_folder;
        bool folder_asked = false;
        for (const Cfile_entry& entry : group.listing.entries) {
            const std::wstring relative = relative_path(group, entry);
            const Cgame_path path = game.game_path(relative);
            std::wstring problem;
            if (path.empty()) {
                problem = join_path(shown_folder, relative) + L" は、アップデートが作業に使うフォルダ " + UPDATE_FOLDER +
                          L" の中か、ゲームのフォルダに置けない名前のため、コピーできません。" + ASK_THE_PUBLISHER;
            } else {
                if (!folder_asked)
                    problem_of_folder = folder_problem(game, listing, shown_folder, path);
                folder_asked = true;
                problem = !problem_of_folder.empty() ? problem_of_folder
                                                     : name_problem(listing, shown_folder, relative, path);
            }
            if (!problem.empty())
                return judged(L"game files", join_path(shown_folder, relative), problem);
        }
    }
    return judged(L"game files", shown_folder, L"");
}

std::wstring link_message(const std::wstring& shown_folder, const std::wstring& relative)
{
    return join_path(shown_folder, relative) + L"はリンクのため、上書きできません。";
}
