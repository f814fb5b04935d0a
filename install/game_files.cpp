#include "install/game_files.h"

#include <windows.h>

#include <map>

#include "fs/folder_walk.h"
#include "fs/paths.h"

namespace {

const wchar_t* const ASK_THE_PUBLISHER = L"\nゲームの提供元にお問い合わせください。";

// The game's folders, each listed once: the attributes of the names in them, upper-cased.
class Cgame_listing {
public:
    explicit Cgame_listing(const Cgame_folder& game) : game_(game) {}
    // INVALID_FILE_ATTRIBUTES when nothing of that name is there.
    uint32_t attributes(const std::wstring& relative)
    {
        const std::wstring folder = upper_case_name(relative_parent(relative));
        if (listed_.count(folder) == 0) {
            std::map<std::wstring, uint32_t>& names = listed_[folder];
            const std::wstring parent = relative_parent(relative);
            for (const Cfile_entry& entry : walk_folder(parent.empty() ? game_.final_path() : game_.game_path(parent).whole()))
                names[upper_case_name(entry.path)] = entry.attributes;
        }
        const std::map<std::wstring, uint32_t>& names = listed_[folder];
        const auto name = names.find(upper_case_name(relative.substr(relative.rfind(L'\\') + 1)));
        return name == names.end() ? INVALID_FILE_ATTRIBUTES : name->second;
    }

private:
    const Cgame_folder& game_;
    std::map<std::wstring, std::map<std::wstring, uint32_t>> listed_;
};

bool is(uint32_t attributes, uint32_t bit)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & bit) != 0;
}

// What stands in the way of one file of the plan, or empty text. Links to folders are asked of
// each folder's final path; a link to a file shows in the folder's listing (where Wine shows a Unix
// link as a plain file, the open before staging finds it).
std::wstring file_problem(Cgame_folder& game, Cgame_listing& listing, const std::wstring& shown, const std::wstring& relative)
{
    const Cgame_path path = game.game_path(relative);
    if (path.empty())
        return join_path(shown, relative) + L" は、アップデートが作業に使うフォルダ " + UPDATE_FOLDER +
               L" の中か、ゲームのフォルダに置けない名前のため、コピーできません。" + ASK_THE_PUBLISHER;
    const std::wstring link = game.first_folder_link(path);
    if (!link.empty())
        return link_message(shown, link);
    for (std::wstring above = relative_parent(path.relative()); !above.empty(); above = relative_parent(above))
        if (listing.attributes(above) != INVALID_FILE_ATTRIBUTES && !is(listing.attributes(above), FILE_ATTRIBUTE_DIRECTORY))
            return join_path(shown, above) + L" はファイルのため、その中にファイルを置けません。" + ASK_THE_PUBLISHER;
    const uint32_t attributes = listing.attributes(path.relative());
    if (is(attributes, FILE_ATTRIBUTE_REPARSE_POINT))
        return link_message(shown, path.relative());
    if (is(attributes, FILE_ATTRIBUTE_DIRECTORY))
        return join_path(shown, relative) + L" はフォルダのため、ファイルに置き換えられません。" + ASK_THE_PUBLISHER;
    return std::wstring();
}

}  // namespace

Cfinding judge_game_files(Cgame_folder& game, const std::wstring& shown_folder, const std::vector<Ccopy_group>& plan)
{
    Cgame_listing listing(game);
    for (const Ccopy_group& group : plan)
        for (const Cfile_entry& entry : group.listing.entries) {
            const std::wstring relative = relative_path(group, entry);
            const std::wstring problem = file_problem(game, listing, shown_folder, relative);
            if (!problem.empty())
                return judged(L"game files", join_path(shown_folder, relative), problem);
        }
    return judged(L"game files", shown_folder, L"");
}

std::wstring link_message(const std::wstring& shown_folder, const std::wstring& relative)
{
    return join_path(shown_folder, relative) + L"はリンクのため、上書きできません。";
}
