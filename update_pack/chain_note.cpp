#include "update_pack/chain_note.h"

const wchar_t* const CHAIN_NOTE_NAME = L"はじめにお読みください.txt";

std::vector<std::wstring> chain_folder_names(size_t count)
{
    const size_t digits = std::to_wstring(count).size();
    std::vector<std::wstring> names;
    for (size_t i = 1; i <= count; ++i) {
        const std::wstring number = std::to_wstring(i);
        names.push_back(std::wstring(digits - number.size(), L'0') + number);
    }
    return names;
}

namespace {

// head, then one line for each package in the order to run them, then tail.
std::vector<std::wstring> note_part(std::vector<std::wstring> head, const std::vector<std::wstring>& folders,
                                    const std::wstring& before_folder, const std::wstring& after_folder,
                                    const std::vector<std::wstring>& tail)
{
    for (size_t i = 0; i < folders.size(); ++i)
        head.push_back(L"  " + std::to_wstring(i + 1) + L". " + before_folder + folders[i] + after_folder);
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

}  // namespace

std::vector<std::wstring> chain_note_lines(const std::wstring& game_name, const std::vector<std::wstring>& folders)
{
    const std::wstring count = std::to_wstring(folders.size());
    std::vector<std::wstring> lines = note_part(
        {
            game_name + L" アップデート",
            L"",
            L"このアップデートは " + count + L" つのパッケージに分かれています。",
            L"ゲームを終了してから、次の順番で、各フォルダーの update.exe を一つずつ実行してください。",
            L"",
        },
        folders, L"フォルダー「", L"」の update.exe",
        {
            L"",
            L"「アップデートは正常に終了しました。」と表示されてから、次のパッケージへ進んでください。",
            L"すべて終わると、アップデートは完了です。",
            L"途中で止まった場合は、表示された内容に従って直してから、止まったパッケージから続けてください。",
            L"",
            L"----",
            L"",
        });
    const std::vector<std::wstring> english = note_part(
        {
            game_name + L" update",
            L"",
            L"This update comes in " + count + L" packages. Close the game, then run update.exe in each folder,",
            L"one at a time, in this order:",
            L"",
        },
        folders, L"update.exe in the folder \"", L"\"",
        {
            L"",
            L"Go on to the next package only after \"アップデートは正常に終了しました。\" (the update ended",
            L"successfully). When all have run, the update is complete. If one stops, fix what its message",
            L"says, then go on from that package.",
        });
    lines.insert(lines.end(), english.begin(), english.end());
    return lines;
}
