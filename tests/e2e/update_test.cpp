// The real update.exe, one row per case: an update package and an installed game laid out as the
// row says, the installer's registry values, the boxes answered as a player would. Each row checks
// everything the program showed, every file of the installed game afterwards (each copied file
// identical to its source, everything else as it was), and what update-check.exe says of the
// same package.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <utility>

#include "driver.h"
#include "support/unix_command.h"

using namespace e2e;

namespace {

const std::wstring FAILED = L"アップデートに失敗しました。";
const std::wstring CHECK_SET_UP = L"\nゲームが正しくセットアップされていることを確認してください。";
const std::wstring WARNING = L"warning OK default=OK", INFORMATION = L"information OK default=OK";

std::wstring box(const std::wstring& kind, const std::wstring& text, const std::wstring& caption = L"テスト")
{
    return L"box " + kind + L" caption=" + caption + L" text=" + text;
}

Lines fails(const std::wstring& cause, const std::wstring& caption = L"テスト")
{
    return {box(WARNING, cause, caption), box(WARNING, FAILED, caption)};
}

// The confirmation, then the progress dialog with what the copy showed in it, given as words:
// a file's name, "overall/file" for the two bar positions after a block, "close" for the close
// box pressed, "destroy" for the dialog destroyed. Then the dialog goes and
// the success box follows, or the box that stopped the copy comes while the dialog is still up.
Lines copies(const std::wstring& words, const std::wstring& stopped_by = L"")
{
    Lines lines = {box(L"information Yes,No default=Yes",
                       L"セットアップ先 = {game}\n\nこの場所にアップデートデータを上書きします。よろしいですか？"),
                   L"dialog create", L"dialog caption=テスト アップデート", L"range 1001 0 1000",
                   L"range 1002 0 1000", L"dialog show"};
    std::wistringstream stream(words);
    for (std::wstring word; stream >> word;) {
        const size_t slash = word.find(L'/');
        if (slash != std::wstring::npos)
            lines.insert(lines.end(), {L"pos 1001 " + word.substr(0, slash), L"pos 1002 " + word.substr(slash + 1)});
        else
            lines.push_back(word == L"destroy" ? L"dialog destroy" : word == L"close" ? word : L"text 1003 " + word);
    }
    if (!stopped_by.empty())
        lines.push_back(box(WARNING, stopped_by));
    if (words.find(L"destroy") == std::wstring::npos)
        lines.insert(lines.end(), {L"dialog hide", L"dialog destroy"});
    if (stopped_by.empty())
        lines.push_back(box(INFORMATION, L"アップデートは正常に終了しました。"));
    return lines;
}

Lines operator+(Lines a, const Lines& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// update.ini lines copying a media folder of that name; the folder or file entries given.
Lines media(const std::wstring& kind) { return {kind + L"_UPDATE = 1", kind + L"_FOLDER = \"" + kind + L"\""}; }
Lines entries(const std::wstring& kind, const Lines& names)
{
    Lines lines = {L"COPY_" + kind + L"_COUNT = " + std::to_wstring(names.size())};
    for (size_t i = 0; i < names.size(); ++i)
        lines.push_back(L"COPY_" + kind + L"_0" + std::to_wstring(i) + L" = \"" + names[i] + L"\"");
    return lines;
}
Lines files(const Lines& names) { return entries(L"FILE", names); }
std::wstring entry_not_given(const std::wstring& key, const std::wstring& number)
{
    return L"update.ini に " + key + L"_" + number + L" フォルダが指定されていません。\n" + key + L"_CNT の設定は正しいですか？";
}

std::wstring expand(std::wstring text, const Scenario& scenario)
{
    for (size_t at; (at = text.find(L"{game}")) != std::wstring::npos;)
        text.replace(at, 6, scenario.game);
    return text;
}

using Setup = std::function<void(Scenario&, Options&)>;

// Registry values as the row changes them: "NAME=text", or "NAME" for a value not written.
Setup values(const Lines& changes)
{
    return [changes](Scenario& s, Options&) {
        for (const std::wstring& change : changes) {
            const size_t equals = change.find(L'=');
            if (equals == std::wstring::npos)
                s.values.erase(change);
            else
                s.values[change.substr(0, equals)] = expand(change.substr(equals + 1), s);
        }
    };
}

// Runs a Unix command on a source file while the program is held after the file's first block.
Setup mid_copy(const std::string& command, const std::wstring& source)
{
    return [=](Scenario& s, Options& o) {
        const std::string path = unix_of(s.package + L"\\GAMEDATA\\" + source);
        o.pause_at = 2;
        o.at_pause = [=](const Lines&) { run_unix_shell(command + " " + path); };
    };
}

void bgm_file_in_place(Scenario& s, Options&) { write_file(s.game + L"\\BGM\\a.ogg", "old"); }

// The game installed in another folder of the scenario, as its installer would record it there;
// the first one stays as it was. With a size, the folder is a file system of that size.
Setup game_in(const std::wstring& name, const char* disk_size = nullptr)
{
    return [=](Scenario& s, Options&) {
        const std::wstring game = s.root + L"\\" + name;
        make_folders(game);
        if (disk_size != nullptr) {
            run_unix_shell(std::string("mount -t tmpfs -o size=") + disk_size + " tmpfs " + unix_of(game));
            s.clean_up.insert(s.clean_up.begin(), "umount " + unix_of(game));
        }
        write_file(game + L"\\Lumivane.exe", "");
        for (const std::wstring part : {L"BGM", L"KOE", L"MOV", L"DAT"})
            make_folders(game + L"\\" + part);
        for (auto& value : s.values)
            if (value.second.compare(0, s.game.size(), s.game) == 0)
                value.second = game + value.second.substr(s.game.size());
        s.game = game;
    };
}

// The game on a file system of that size, on which another program writes filler_bytes while the
// program is held after its first block: the staging files lie on the game's drive.
Setup disk_filled_mid_copy(const char* disk_size, const char* filler_bytes)
{
    return [=](Scenario& s, Options& o) {
        game_in(L"小さなドライブ", disk_size)(s, o);
        s.unchecked.push_back(s.game.substr(s.root.size() + 1) + L"\\filler");
        const std::string filler = unix_of(s.game + L"\\filler");
        o.pause_at = 2;
        o.at_pause = [=](const Lines&) { run_unix_shell(std::string("head -c ") + filler_bytes + " /dev/zero >" + filler); };
    };
}

// A package entry that names a folder outside GAMEDATA, which holds a file to be stolen.
std::wstring outside(const std::wstring& key, const std::wstring& value)
{
    return L"update.ini の " + key + L" に指定された " + value + L" は、フォルダの外を指しているため使用できません。";
}
void evil_beside_the_package(Scenario& s, Options&) { write_file(s.package + L"\\evil\\x.dat", "evil"); }

const std::wstring IN_THE_WAY =
    L"{game}\\~update は、このアップデートが作成したものではありません。\n"
    L"アップデートはこの名前のフォルダを使用するため、中身を確認して別の場所に移してから、もう一度実行してください。";

// The game's update folder holding these files (none: the folder alone), and beside the game a
// file and an empty folder of another program's, which the planted journals name.
Setup update_folder_holds(const std::vector<std::pair<std::wstring, std::string>>& files)
{
    return [files](Scenario& s, Options&) {
        make_folders(s.game + L"\\~update");
        for (const auto& [name, bytes] : files)
            write_file(s.game + L"\\~update\\" + name, bytes);
        write_file(s.root + L"\\外\\victim.txt", "another program's");
        make_folders(s.root + L"\\外\\空");
    };
}

const std::wstring ASK = L"\nゲームの提供元にお問い合わせください。";
// Wine's Restart Manager names no program.
const std::wstring HELD = L"{game}\\readme.txt は、ゲームまたはほかのプログラムが使用している可能性があるため、上書きできません。\n"
                          L"ゲームを終了してから、[再試行] を押してください。";

// Files made in GAMEDATA by a Unix command, as a package made on a file system that is not
// Windows' may hold them.
Setup in_gamedata(const std::string& command)
{
    return [=](Scenario& s, Options&) { run_unix_shell("cd " + unix_of(s.package + L"\\GAMEDATA") + " && " + command); };
}

// A Unix link in the game folder to a file or folder beside it.
Setup linked(const std::wstring& target, const std::wstring& link)
{
    return [=](Scenario& s, Options&) {
        target.find(L'.') == std::wstring::npos ? make_folders(s.root + L"\\" + target)
                                                : write_file(s.root + L"\\" + target, "outside the game");
        run_unix_shell("ln -s " + unix_of(s.root + L"\\" + target) + " " + unix_of(s.game + L"\\" + link));
    };
}

struct Row {
    const char* name;
    Lines ini;  // after GAME_NAME = "テスト" and REG_NAME; a later line overrides an earlier one
    std::vector<std::pair<std::wstring, size_t>> sources;  // below GAMEDATA: name and size; "x\" a folder
    Lines expected;                                        // the transcript; {game}: the game's folder
    Setup setup = nullptr;
    int checker = 0;  // update-check's exit code on the package
    bool checked_on_the_game = false;  // update-check --install on the game fails with the same boxes
};

const std::wstring ALREADY_RUNNING =
    L"このゲームのアップデートは、すでに実行中です。\n実行中のアップデートが終わってから、もう一度実行してください。";

const std::vector<std::pair<std::wstring, size_t>> SMALL_FILES = [] {
    std::vector<std::pair<std::wstring, size_t>> sources;
    for (int i = 0; i < 300; ++i)
        sources.push_back({L"小\\f" + std::to_wstring(i) + L".dat", 100});
    return sources;
}();

const Lines COPY_THEN_NEVER = media(L"BGM") + files({L"never.dat"});
const std::vector<std::pair<std::wstring, size_t>> A_THEN_NEVER = {{L"BGM\\a.ogg", 3000000}, {L"never.dat", 10}};

const Row ROWS[] = {
    // Start-up.
    {"no_rich_edit", files({L"readme.txt"}), {{L"readme.txt", 10}},
     {box(WARNING, L"riched32.dll の読み込みに失敗しました。アプリケーションを終了します。", L"エラー")},
     [](Scenario&, Options& o) { o.without_rich_edit = true; }},
    {"started_from_elsewhere", files({L"readme.txt"}), {{L"readme.txt", 10}}, copies(L"readme.txt 1000/1000"),
     [](Scenario& s, Options& o) { make_folders(o.start_in = s.root + L"\\ショートカット"); }},

    // update.ini and the sources beside update.exe.
    {"no_update_ini", {}, {}, fails(L"update.ini が見つかりませんでした。", L""),
     [](Scenario& s, Options&) { DeleteFileW((s.package + L"\\update.ini").c_str()); }, 2},
    {"no_game_name", {L"GAME_NAME = \"\""}, {}, fails(L"update.ini にゲーム名が指定されていません。", L""), nullptr, 1},
    {"no_registry_name", {L"REG_NAME = \"\""}, {}, fails(L"update.ini にレジストリ名が指定されていません。"), nullptr, 1},
    {"gamedata_is_a_file", {}, {}, fails(L"コピー元の GAMEDATA フォルダが見つかりません。"),
     [](Scenario& s, Options&) {
         remove_tree(s.package + L"\\GAMEDATA");
         write_file(s.package + L"\\GAMEDATA", "");
     }, 1},
    {"bgm_switch_negative_folder_not_named", {L"BGM_UPDATE = -1"}, {},
     fails(L"update.ini に BGM フォルダが指定されていません。"), nullptr, 1},
    {"koe_folder_not_named", {L"KOE_UPDATE = 1"}, {}, fails(L"update.ini に KOE フォルダが指定されていません。"), nullptr, 1},
    {"mov_folder_not_named", {L"MOV_UPDATE = 1", L"MOV_FOLDER = \"\""}, {},
     fails(L"update.ini に MOV フォルダが指定されていません。"), nullptr, 1},
    {"source_bgm_folder_missing", {L"BGM_UPDATE = 1", L"BGM_FOLDER = \"音楽\\表示\""}, {{L"音楽\\", 0}},
     fails(L"コピー元の BGM フォルダ GAMEDATA\\音楽\\表示 が見つかりません。"), nullptr, 1},
    // The media folders are checked before the folder entries.
    {"source_koe_folder_missing", media(L"KOE") + Lines{L"COPY_FOLDER_COUNT = 1", L"COPY_FOLDER_00 = \"無い\""}, {},
     fails(L"コピー元の KOE フォルダ GAMEDATA\\KOE が見つかりません。"), nullptr, 1},
    {"source_mov_folder_is_a_file", media(L"MOV"), {{L"MOV", 10}},
     fails(L"コピー元の MOV フォルダ GAMEDATA\\MOV が見つかりません。"), nullptr, 1},
    // The folder entries are checked before the file entries.
    {"folder_entry_names_a_file_and_file_missing",
     {L"COPY_FOLDER_COUNT = 1", L"COPY_FOLDER_00 = \"readme.txt\"", L"COPY_FILE_COUNT = 1", L"COPY_FILE_00 = \"無い.dat\""},
     {{L"readme.txt", 10}}, fails(L"コピー元のフォルダ GAMEDATA\\readme.txt が見つかりません。"), nullptr, 1},
    {"file_entry_names_a_folder", files({L"データ\\能力表.dat"}), {{L"データ\\能力表.dat\\", 0}},
     fails(L"コピー元のファイル GAMEDATA\\データ\\能力表.dat が見つかりません。"), nullptr, 1},
    {"folder_entry_01_not_given", {L"COPY_FOLDER_COUNT = 2", L"COPY_FOLDER_00 = \"a\"", L"COPY_FOLDER_02 = \"無い\""},
     {{L"a\\", 0}}, fails(entry_not_given(L"COPY_FOLDER", L"01")), nullptr, 1},
    {"file_entry_01_not_given", {L"COPY_FILE_COUNT = 2", L"COPY_FILE_00 = \"a.dat\"", L"COPY_FILE_02 = \"無い\""},
     {{L"a.dat", 1}}, fails(entry_not_given(L"COPY_FILE", L"01")), nullptr, 1},
    {"folder_count_11", entries(L"FOLDER", Lines(10, L"d")) + Lines{L"COPY_FOLDER_COUNT = 11"}, {{L"d\\", 0}},
     fails(entry_not_given(L"COPY_FOLDER", L"10")), nullptr, 1},
    {"file_count_11", files(Lines(10, L"f")) + Lines{L"COPY_FILE_COUNT = 11"}, {{L"f", 1}},
     fails(entry_not_given(L"COPY_FILE", L"10")), nullptr, 1},

    // The installation the registry names.
    {"no_registry_key", {}, {},
     fails(L"レジストリキーが見つかりませんでした。\n「テスト」がインストールされていることを確認してください。"),
     [](Scenario& s, Options&) { s.reg_name += L"_別"; }},
    {"mov_exist_missing_without_movies", {}, {}, fails(L"レジストリに [MOV_EXIST] が見つかりませんでした。"),
     values({L"MOV_EXIST"})},
    {"destination_is_a_file", {}, {}, fails(L"コピー先のフォルダ {game}\\Lumivane.exe が見つかりません。" + CHECK_SET_UP),
     values({L"SAV_FOLDER={game}\\Lumivane.exe"})},
    {"engine_is_a_folder", {}, {}, fails(L"Lumivane.exe が見つかりませんでした。" + CHECK_SET_UP),
     [](Scenario& s, Options&) {
         DeleteFileW((s.game + L"\\Lumivane.exe").c_str());
         make_folders(s.game + L"\\Lumivane.exe");
     }},
    // A part not set up is told so even when its folder is missing too.
    {"bgm_not_set_up_and_missing", media(L"BGM"), {{L"BGM\\", 0}},
     fails(L"BGM がセットアップされていません。\nアップデートを行うには、BGM がセットアップされていることが必要です。"),
     values({L"BGM_EXIST=0", L"BGM_FOLDER={game}\\無い"})},
    {"koe_set_up_with_a_blank", media(L"KOE"), {{L"KOE\\", 0}},
     fails(L"音声データがセットアップされていません。\nアップデートを行うには、音声データがセットアップされていることが必要です。"),
     values({L"KOE_EXIST=1 "})},
    {"mov_set_up_empty", media(L"MOV"), {{L"MOV\\", 0}},
     fails(L"ムービーがセットアップされていません。\nアップデートを行うには、ムービーがセットアップされていることが必要です。"),
     values({L"MOV_EXIST="})},
    {"data_not_set_up", {L"COPY_FOLDER_COUNT = 1", L"COPY_FOLDER_00 = \"data\""}, {{L"data\\", 0}},
     fails(L"データがセットアップされていません。\n\n最小セットアップになっていませんか？\n最小セットアップではアップデートを行うことはできません。"),
     values({L"DAT_EXIST=01"})},
    {"installed_bgm_folder_missing", media(L"BGM"), {{L"BGM\\", 0}}, fails(L"BGM フォルダが見つかりません。" + CHECK_SET_UP),
     values({L"BGM_FOLDER={game}\\無い"})},
    {"installed_koe_folder_missing", media(L"KOE"), {{L"KOE\\", 0}}, fails(L"音声フォルダが見つかりません。" + CHECK_SET_UP),
     values({L"KOE_FOLDER={game}\\無い"})},
    {"installed_mov_folder_missing", media(L"MOV"), {{L"MOV\\", 0}},
     fails(L"ムービーフォルダが見つかりません。" + CHECK_SET_UP), values({L"MOV_FOLDER={game}\\無い"})},
    {"installed_data_folder_missing", {L"COPY_FOLDER_COUNT = 1", L"COPY_FOLDER_00 = \"data\""}, {{L"data\\", 0}},
     fails(L"データフォルダが見つかりません。" + CHECK_SET_UP), values({L"DAT_FOLDER={game}\\無い"})},
    // The folder is shown as stored, trailing backslash and all; No copies nothing.
    {"refused", files({L"readme.txt"}), {{L"readme.txt", 10}},
     {box(L"information Yes,No default=Yes",
          L"セットアップ先 = {game}\\\n\nこの場所にアップデートデータを上書きします。よろしいですか？"),
      box(INFORMATION, L"アップデートを中断しました。")},
     [](Scenario& s, Options& o) {
         o.answers = {IDNO};
         s.values[L"SAV_FOLDER"] += L"\\";
     }},

    // The copy. Switches off, counts 0 or below: nothing is looked at, listed or copied.
    {"nothing_to_copy",
     {L"BGM_FOLDER = \"無い\"", L"KOE_UPDATE = 0", L"COPY_FOLDER_COUNT = -1", L"COPY_FOLDER_00 = \"無い\"",
      L"COPY_FILE_COUNT = 0", L"COPY_FILE_00 = \"無い.dat\""},
     {}, copies(L""), values({L"BGM_EXIST=0", L"KOE_EXIST=0", L"MOV_EXIST=0", L"DAT_EXIST=0"})},
    {"worked_example", media(L"BGM") + media(L"KOE"), {{L"BGM\\a.ogg", 2400000}, {L"KOE\\b.ogg", 100000}},
     copies(L"BGM\\a.ogg 400/416 800/833 960/1000 KOE\\b.ogg 1000/1000"), values({L"DAT_EXIST=0"})},
    // done x 1000 is over 2^32 from the fifth block on.
    {"six_megabytes", media(L"MOV") + files({L"last.dat"}), {{L"MOV\\op.mpg", 6000000}, {L"last.dat", 1000}},
     copies(L"MOV\\op.mpg 166/166 333/333 499/500 666/666 833/833 999/1000 last.dat 1000/1000")},
    // An existing file becomes empty; a file of 1,000,000 bytes takes one block, 1,000,001 two.
    {"block_boundaries", files({L"zero.bin", L"a.bin", L"b.bin", L"c.bin"}),
     {{L"zero.bin", 0}, {L"a.bin", 999999}, {L"b.bin", 1000000}, {L"c.bin", 1000001}},
     copies(L"zero.bin a.bin 333/1000 b.bin 666/1000 c.bin 999/999 1000/1000"),
     [](Scenario& s, Options&) { write_file(s.game + L"\\zero.bin", "old"); }},
    // One destination, one copy, from the last entry that reaches it: letter case, a trailing dot.
    {"named_twice_in_any_letter_case", files({L"config.dat", L"CONFIG.DAT"}), {{L"Config.dat", 5000}},
     copies(L"Config.dat 1000/1000")},
    {"one_folder_in_three_spellings",
     {L"COPY_FOLDER_COUNT = 3", L"COPY_FOLDER_00 = \"data.\"", L"COPY_FOLDER_01 = \"DATA\"", L"COPY_FOLDER_02 = \"data\""},
     {{L"data\\a.dat", 10}}, copies(L"data\\a.dat 1000/1000")},
    // The staging file's name no longer grows the name past 255.
    {"name_of_250_characters", files({std::wstring(246, L'n') + L".dat"}), {{std::wstring(246, L'n') + L".dat", 10}},
     copies(std::wstring(246, L'n') + L".dat 1000/1000")},
    {"source_name_ends_in_a_dot", {L"COPY_FOLDER_COUNT = 1", L"COPY_FOLDER_00 = \"data\""}, {{L"data\\", 0}},
     fails(L"コピー元のファイル GAMEDATA\\data\\bad. の名前は、Windows では使えません。\n"
           L"名前の末尾のピリオドや空白を取り除くか、名前を 255 文字以内にしてください。"),
     [](Scenario& s, Options&) { run_unix_shell("printf x >" + unix_of(s.package + L"\\GAMEDATA\\data") + "/bad."); }, 1},
    // Only the folder's own files; its destination folder is made, an empty folder's is not.
    {"folder_entries", {L"COPY_FOLDER_COUNT = 2", L"COPY_FOLDER_00 = \"データ\\追加\"", L"COPY_FOLDER_01 = \"空\""},
     {{L"データ\\追加\\one.dat", 1500}, {L"データ\\追加\\下\\deeper.dat", 100}, {L"空\\", 0}},
     copies(L"データ\\追加\\one.dat 1000/1000")},
    {"dialog_closed", media(L"BGM"), {{L"BGM\\a.ogg", 2500000}}, copies(L"BGM\\a.ogg 400/400 close destroy"),
     [](Scenario&, Options& o) { o.close_at = 2; }},
    // Only the bytes measured at opening are copied.
    {"source_grows_mid_copy", media(L"BGM"), {{L"BGM\\a.ogg", 1500000}}, copies(L"BGM\\a.ogg 666/666 1000/1000"),
     mid_copy("head -c 600000 /dev/urandom >>", L"BGM\\a.ogg")},

    // A copy that fails: one box while the dialog is up, and nothing after it.
    {"destination_immutable", COPY_THEN_NEVER, A_THEN_NEVER, copies(L"", L"{game}\\BGM\\a.oggが開けませんでした。"),
     [](Scenario& s, Options& o) {
         bgm_file_in_place(s, o);
         SetFileAttributesW((s.game + L"\\BGM\\a.ogg").c_str(), FILE_ATTRIBUTE_READONLY);
         run_unix_shell("chattr +i " + unix_of(s.game + L"\\BGM\\a.ogg"));
         s.clean_up.push_back("chattr -i " + unix_of(s.game + L"\\BGM\\a.ogg"));
     }},
    // A file the update would replace, held by another program, is found before anything is written:
    // asked again on Retry until it is free, given up on Cancel as on No. A held file the update does
    // not replace holds nothing up; one held only after the question fails as above.
    {"held_until_released", files({L"readme.txt"}), {{L"readme.txt", 10}},
     Lines(2, box(L"warning Retry,Cancel default=Retry", HELD)) + copies(L"readme.txt 1000/1000"),
     [](Scenario& s, Options& o) {
         write_file(s.game + L"\\readme.txt", "old");
         s.hold(s.game + L"\\readme.txt");
         o.answers = {IDRETRY, IDRETRY, IDYES};
         o.before_answer = [&s, boxes = 0](HWND) mutable {
             if (++boxes == 2)
                 CloseHandle(std::exchange(s.held.back(), nullptr));
         };
     }},
    {"held_and_given_up", files({L"readme.txt"}), {{L"readme.txt", 10}},
     {box(L"warning Retry,Cancel default=Retry", HELD), box(INFORMATION, L"アップデートを中断しました。")},
     [](Scenario& s, Options& o) {
         write_file(s.game + L"\\readme.txt", "old");
         s.hold(s.game + L"\\readme.txt");
         o.answers = {IDCANCEL};
     }, 0, true},
    {"held_but_not_replaced", files({L"readme.txt"}), {{L"readme.txt", 10}}, copies(L"readme.txt 1000/1000"),
     [](Scenario& s, Options&) { s.hold(s.game + L"\\Lumivane.exe"); }},
    {"source_held_open", COPY_THEN_NEVER, A_THEN_NEVER, copies(L"", L"BGM\\a.oggが開けませんでした。"),
     [](Scenario& s, Options&) { s.hold(s.package + L"\\GAMEDATA\\BGM\\a.ogg"); }},
    // The installer's BGM folder is elsewhere; the update writes below the game's folder.
    {"bgm_folder_missing_below_destination", COPY_THEN_NEVER, A_THEN_NEVER,
     copies(L"", L"{game}\\BGM\\a.oggが開けませんでした。"),
     [](Scenario& s, Options&) {
         remove_tree(s.game + L"\\BGM");
         s.values[L"BGM_FOLDER"] = s.game + L"\\DAT";
     }},
    {"source_shrinks_mid_copy", COPY_THEN_NEVER, A_THEN_NEVER,
     copies(L"BGM\\a.ogg 333/333 499/500", L"BGM\\a.oggの読み込みに失敗しました。"),
     mid_copy("truncate -s 1500000", L"BGM\\a.ogg")},
    {"disk_full", COPY_THEN_NEVER, A_THEN_NEVER,
     copies(L"BGM\\a.ogg 333/333", L"{game}\\BGM\\a.oggへの書き込みに失敗しました。"), disk_filled_mid_copy("4m", "4M")},
    // The stream holds the last byte until it is closed: only the close fails. Beside the journal's
    // page, 256 pages are left for the file, 1,048,576 bytes.
    {"disk_full_at_close", media(L"BGM"), {{L"BGM\\a.ogg", 1048577}},
     copies(L"BGM\\a.ogg 953/953 1000/1000", L"{game}\\BGM\\a.oggへの書き込みに失敗しました。"),
     disk_filled_mid_copy("2m", "1044480")},
    // All or nothing: the first file is in place when the second cannot be, and gets its old
    // content back; leftovers of a killed run are removed, other files never touched.
    {"locked_while_putting_in_place", files({L"first.dat", L"second.dat"}), {{L"first.dat", 10}, {L"second.dat", 20}},
     copies(L"first.dat 333/1000 second.dat 1000/1000", L"{game}\\second.datへの書き込みに失敗しました。"),
     [](Scenario& s, Options& o) {
         write_file(s.game + L"\\first.dat", "old first");
         write_file(s.game + L"\\second.dat", "old second");
         o.pause_at = 4;
         o.at_pause = [&s](const Lines&) { s.hold(s.game + L"\\second.dat"); };
     }},
    // b.ogg was being replaced when the run was killed: its old content is put back first.
    {"leftovers_of_a_killed_run", media(L"BGM"), {{L"BGM\\a.ogg", 10}, {L"BGM\\b.ogg", 30}},
     copies(L"BGM\\a.ogg 250/1000 BGM\\b.ogg 1000/1000"),
     [](Scenario& s, Options&) {
         for (const wchar_t* name : {L"a.ogg.~update-new", L"a.ogg.~update-old", L"other.ogg.~update-new",
                                     L"b.ogg.~update-new", L"b.ogg.~update-old"})
             write_file(s.game + L"\\BGM\\" + name, "left");
     }},
    {"too_little_room", media(L"BGM"), {{L"BGM\\a.ogg", 2000000}},
     fails(L"コピー先のドライブの空き容量が足りません。\n必要な空き容量: 2.0 MB\n現在の空き容量: 1.0 MB"),
     game_in(L"小さなドライブ", "1m")},
    // 300 files of 100 bytes take 300 pages of 4,096 bytes, and the journal 4 more.
    {"room_counted_in_clusters", {L"COPY_FOLDER_COUNT = 1", L"COPY_FOLDER_00 = \"小\""}, SMALL_FILES,
     fails(L"コピー先のドライブの空き容量が足りません。\n必要な空き容量: 1.2 MB\n現在の空き容量: 1.0 MB"),
     game_in(L"小さなドライブ", "1m")},
    // Anything under the update folder's name that no run of this user left is in the way, before
    // any question, and nothing in it or anywhere else is touched: the game's own notes, a planted
    // journal with a backup that would lead outside the game (in the older release's flat layout
    // too), a staging file's name, an empty folder, a file. update-check --install says so too.
    {"update_folder_of_the_games_own", files({L"readme.txt"}), {{L"readme.txt", 10}}, fails(IN_THE_WAY),
     update_folder_holds({{L"journal", "the game's own notes"}}), 0, true},
    {"planted_journal_leading_outside", files({L"readme.txt"}), {{L"readme.txt", 10}}, fails(IN_THE_WAY),
     update_folder_holds({{L"journal", "file 0 1 ..\\外\\victim.txt\ncommit\n"}, {L"0\\0.old", "planted"}}), 0, true},
    {"planted_journal_flat_layout", files({L"readme.txt"}), {{L"readme.txt", 10}}, fails(IN_THE_WAY),
     update_folder_holds({{L"journal", "file 7 0 ..\\外\\victim.txt\nfolder ..\\外\\空\ncommit\n"}, {L"7.old", "planted"}})},
    {"update_folder_holds_a_staging_name", files({L"readme.txt"}), {{L"readme.txt", 10}}, fails(IN_THE_WAY),
     update_folder_holds({{L"0.new", "the game's own"}}), 0, true},
    {"update_folder_empty", files({L"readme.txt"}), {{L"readme.txt", 10}}, fails(IN_THE_WAY), update_folder_holds({}), 0, true},
    {"update_folder_is_a_file", files({L"readme.txt"}), {{L"readme.txt", 10}}, fails(IN_THE_WAY),
     [](Scenario& s, Options&) { write_file(s.game + L"\\~update", "the game's own"); }, 0, true},
    // A second update.exe for the game, started while the first copies: one box, nothing touched.
    {"two_runs_at_once", files({L"readme.txt"}), {{L"readme.txt", 10}}, copies(L"readme.txt 1000/1000"),
     [](Scenario& s, Options& o) {
         o.pause_at = 1;
         o.at_pause = [&s](const Lines&) {
             const Snapshot before = snapshot(s.root);
             Options no_answers;
             no_answers.answers = {};
             const e2e::Run second = run_update(s.exe(), no_answers);
             EXPECT_EQ(second.exit_code, 1u);
             EXPECT_EQ(second.transcript, Lines{box(WARNING, ALREADY_RUNNING)});
             EXPECT_EQ(text(before), text(snapshot(s.root)));
         };
     }},
    // Nothing through a link: a folder on the way to a file is found before any question by its
    // final path, a link to a file by its attributes. Wine shows a Unix link to a file as a plain
    // file, and moving it moves its target: the open before staging finds it.
    {"destination_is_a_link", files({L"readme.txt"}), {{L"readme.txt", 10}},
     copies(L"", L"{game}\\readme.txtはリンクのため、上書きできません。"), linked(L"外\\target.txt", L"readme.txt")},
    {"folder_on_the_way_is_a_link", {L"COPY_FOLDER_COUNT = 1", L"COPY_FOLDER_00 = \"data\""}, {{L"data\\a.dat", 10}},
     fails(L"{game}\\dataはリンクのため、上書きできません。"), linked(L"外\\data", L"data")},
    // What update-pack refuses to pack, written by hand: update.exe refuses it before any question.
    {"file_became_folder", {L"COPY_FOLDER_COUNT = 1", L"COPY_FOLDER_00 = \"data\\system.dat\""},
     {{L"data\\system.dat\\inner.txt", 10}}, fails(L"{game}\\data\\system.dat はファイルのため、その中にファイルを置けません。" + ASK),
     [](Scenario& s, Options&) { write_file(s.game + L"\\data\\system.dat", "old"); }, 0, true},
    {"folder_became_file", files({L"save"}), {{L"save", 10}},
     fails(L"{game}\\save はフォルダのため、ファイルに置き換えられません。" + ASK),
     [](Scenario& s, Options&) { write_file(s.game + L"\\save\\slot.dat", "old"); }, 0, true},
    {"writes_into_the_update_folder", {L"COPY_FOLDER_COUNT = 1", L"COPY_FOLDER_00 = \"~update\""}, {{L"~update\\journal", 10}},
     fails(L"{game}\\~update\\journal は、アップデートが作業に使うフォルダ ~update の中か、ゲームのフォルダに置けない名前のため、"
           L"コピーできません。" + ASK), nullptr, 0, true},
    {"names_differing_only_in_case", {L"COPY_FOLDER_COUNT = 1", L"COPY_FOLDER_00 = \"data\""}, {{L"data\\", 0}},
     fails(L"コピー元のファイル GAMEDATA\\data\\A.dat と GAMEDATA\\data\\a.dat は、大文字と小文字だけが違う名前のため、"
           L"Windows では同じファイルになります。\nどちらか一方の名前を変えてください。"),
     in_gamedata("printf A >data/A.dat && printf a >data/a.dat"), 1},
    {"device_name_in_gamedata", {L"COPY_FOLDER_COUNT = 1", L"COPY_FOLDER_00 = \"data\""}, {{L"data\\", 0}},
     fails(L"コピー元のファイル GAMEDATA\\data\\NUL.txt の名前は、Windows では使えません。\n"
           L"CON、PRN、AUX、NUL、COM1～COM9、LPT1～LPT9 は、拡張子を付けても Windows では使えない名前です。名前を変えてください。"),
     in_gamedata("printf x >data/NUL.txt"), 1},

    // Only inside the installation: entries that climb out are refused before anything is written.
    {"folder_entry_climbs_out", {L"COPY_FOLDER_COUNT = 1", L"COPY_FOLDER_00 = \"..\\evil\""}, {},
     fails(outside(L"COPY_FOLDER_00", L"..\\evil")), evil_beside_the_package, 1},
    {"file_entry_climbs_out", files({L"../evil/x.dat"}), {}, fails(outside(L"COPY_FILE_00", L"../evil/x.dat")),
     evil_beside_the_package, 1},
    {"media_folder_climbs_out", {L"BGM_UPDATE = 1", L"BGM_FOLDER = \"data\\..\\..\\evil\""}, {{L"data\\", 0}},
     fails(outside(L"BGM_FOLDER", L"data\\..\\..\\evil")), evil_beside_the_package, 1},
    // Shift-JIS trail bytes 0x5C (ソ, 表, 能) and names outside code page 932 make the folders they name.
    {"folders_with_backslash_trail_bytes",
     {L"COPY_FOLDER_COUNT = 2", L"COPY_FOLDER_00 = \"ソース\"", L"COPY_FOLDER_01 = \"表示\\能力\""},
     {{L"ソース\\a.dat", 10}, {L"表示\\能力\\b.dat", 20}}, copies(L"ソース\\a.dat 333/1000 表示\\能力\\b.dat 1000/1000"),
     game_in(L"ソフト")},
    {"game_outside_code_page_932", {L"COPY_FOLDER_COUNT = 1", L"COPY_FOLDER_00 = \"新しい\\追加\""},
     {{L"新しい\\追加\\a.dat", 10}}, copies(L"新しい\\追加\\a.dat 1000/1000"), game_in(L"Zoë 게임 🎮")},
    {"destination_over_260_characters", {L"COPY_FOLDER_COUNT = 1", L"COPY_FOLDER_00 = \"data\\new\""},
     {{L"data\\new\\a.dat", 10}}, copies(L"data\\new\\a.dat 1000/1000"),
     game_in(std::wstring(120, L'g') + L"\\" + std::wstring(120, L'h'))},
    {"update_ini_too_large", {}, {}, fails(L"update.ini が大きすぎるため、読み込めませんでした。", L""),
     [](Scenario& s, Options&) { run_unix_shell("truncate -s 17M " + unix_of(s.package + L"\\update.ini")); }, 2},
};

std::string text_of(const Lines& lines)
{
    std::string text;
    for (const std::wstring& line : lines)
        text += "  " + narrow(line) + "\n";
    return text;
}

void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

class Update : public testing::TestWithParam<Row> {};

TEST_P(Update, ShowsAndWritesWhatItShould)
{
    const Row& row = GetParam();
    Scenario s(row.name);
    make_folders(s.package + L"\\GAMEDATA");
    for (const auto& [name, size] : row.sources)
        name.back() == L'\\' ? make_folders(s.package + L"\\GAMEDATA\\" + name.substr(0, name.size() - 1))
                             : write_file(s.package + L"\\GAMEDATA\\" + name, pattern(size, static_cast<unsigned>(size)));
    s.update_ini(Lines{L"// テスト 1.01", L"GAME_NAME = \"テスト\"", L"REG_NAME = \"" + s.reg_name + L"\""} + row.ini);
    Options options;
    if (row.setup)
        row.setup(s, options);
    s.write_registry();
    const Snapshot sources = snapshot(s.package + L"\\GAMEDATA");
    Snapshot expected_after = snapshot(s.root);
    const auto unchecked = [&s](Snapshot tree) {
        for (const std::wstring& path : s.unchecked)
            tree.erase(path);
        return tree;
    };

    Snapshot at_last_box;
    options.before_answer = [&, answering = options.before_answer](HWND box) {
        if (answering)
            answering(box);
        at_last_box = snapshot(s.root);
    };
    const e2e::Run run = run_update(s.exe(), options);

    Lines expected;
    for (const std::wstring& line : row.expected)
        expected.push_back(expand(line, s));
    ASSERT_EQ(run.failure, "") << text_of(run.transcript);
    const bool succeeded = expected.back().find(L"アップデートは正常に終了しました。") != std::wstring::npos;
    const bool refused = expected.back().find(L"アップデートを中断しました。") != std::wstring::npos;
    EXPECT_EQ(run.exit_code, succeeded || refused ? 0u : 1u);
    EXPECT_EQ(text_of(expected), text_of(run.transcript));
    // After a success each file the dialog named is its source, the folders above it made, and
    // leftovers of a killed run beside it gone. Nothing else changed anywhere, nor after a failure
    // (but the sources the row itself changed mid-copy): the game is as it was while the box
    // that tells of the failure is up.
    const std::wstring game = s.game.substr(s.root.size() + 1) + L"\\";
    const std::wstring gamedata = s.package.substr(s.root.size() + 1) + L"\\GAMEDATA\\";
    for (const auto& [path, state] : snapshot(s.package + L"\\GAMEDATA"))
        expected_after[gamedata + path] = state;
    for (const std::wstring& line : succeeded ? expected : Lines{}) {
        if (line.rfind(L"text 1003 ", 0) != 0)
            continue;
        const std::wstring named = line.substr(10);
        for (size_t slash = 0; (slash = named.find(L'\\', slash + 1)) != std::wstring::npos;)
            expected_after[game + named.substr(0, slash)] = L"folder";
        expected_after[game + named] = sources.at(named);
        expected_after.erase(game + named + L".~update-new");
        expected_after.erase(game + named + L".~update-old");
    }
    EXPECT_EQ(text(expected_after), text(unchecked(succeeded ? snapshot(s.root) : at_last_box)));

    // update-check on the same package: its verdict, and the player's messages when it fails.
    std::string report;
    EXPECT_EQ(run_console(L"\"" + built(E2E_CHECK_EXE) + L"\" \"" + s.package + L"\"", report),
              static_cast<DWORD>(row.checker)) << report;
    // What only the installed game shows, update-check finds there with --install.
    if (row.checked_on_the_game) {
        EXPECT_EQ(run_console(L"\"" + built(E2E_CHECK_EXE) + L"\" \"" + s.package + L"\" --install \"" + s.game + L"\"", report), 1u);
    }
    for (const std::wstring& line : row.checker || row.checked_on_the_game ? expected : Lines{}) {
        if (line.find(L"box warning") != 0)
            continue;
        std::wistringstream pieces(line.substr(line.find(L" text=") + 6));
        for (std::wstring piece; std::getline(pieces, piece);)
            EXPECT_NE(report.find(narrow(piece)), std::string::npos) << narrow(piece) << " not in:\n" << report;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, Update, testing::ValuesIn(ROWS),
                         [](const testing::TestParamInfo<Row>& row) { return std::string(row.param.name); });

// Killed at a moment of its run, or the power cut there, then started again and answered as the
// row says: the game is exactly as before the killed run after No (or as updated, when every file
// was in place), and updated after Yes, with nothing of the update's own left.
// Between the killed run and the next, another program or another user changes what the run left;
// the undo, when there is one, lets the run after that finish the update.
using Meddle = std::function<std::function<void()>(Scenario&)>;

struct Kill {
    const char* name;
    int pause_at;          // killed at this bar position while copying,
    const wchar_t* cut_at;  // or the power goes right after this file operation
    int answer;
    Meddle meddle = nullptr;  // then the first run after shows this and its failure box
    std::wstring refused = L"";
};

const std::wstring STUCK = L"前回のアップデートが途中で中断されていましたが、ゲームを元の状態に戻せませんでした。\n"
                           L"ゲームを終了してから、もう一度実行してください。";
const std::wstring UNREADABLE = L"前回のアップデートの記録 {game}\\~update\\journal が読み込めなかったため、ゲームを元の状態に"
                                L"戻せませんでした。\nほかのプログラムが使用している可能性があります。しばらく待ってから、もう一度実行してください。";
const std::wstring BROKEN = L"前回のアップデートの記録 {game}\\~update\\journal の内容が正しくないため、ゲームを元の状態に"
                            L"戻せませんでした。\nファイルは何も変更していません。~update フォルダは削除せずに、ゲームの提供元にお問い合わせください。";

// A file of the game's held open by another program, until the undo.
Meddle holding(const std::wstring& name)
{
    return [name](Scenario& s) {
        s.hold(s.game + L"\\" + name);
        return [&s] {
            CloseHandle(s.held.back());
            s.held.pop_back();
        };
    };
}

// The journal grown past the size a journal can have, until the undo cuts it back.
std::function<void()> padded_journal(Scenario& s)
{
    const std::string journal = unix_of(s.game + L"\\~update\\journal");
    const std::string size = std::to_string(read_bytes(s.game + L"\\~update\\journal").size());
    run_unix_shell("truncate -s 17M " + journal);
    return [=] { run_unix_shell("truncate -s " + size + " " + journal); };
}

// The journal's lines after its first, the run's proof, rewritten as one who got past the folder's
// access list would, beside a file and an empty folder of another program's next to the game;
// {root} is the folder that holds both.
Meddle planted(const std::string& lines, const wchar_t* backup = L"0\\1.old")
{
    return [=](Scenario& s) {
        const std::wstring journal = s.game + L"\\~update\\journal";
        const std::string first = read_bytes(journal).substr(0, read_bytes(journal).find('\n') + 1);
        std::string text = lines;
        for (size_t at; (at = text.find("{root}")) != std::string::npos;)
            text.replace(at, 6, narrow(s.root));
        write_file(journal, first + text + "commit\n");
        write_file(s.game + L"\\~update\\" + backup, "planted");
        write_file(s.root + L"\\外\\victim.txt", "another program's");
        make_folders(s.root + L"\\外\\空");
        return std::function<void()>();
    };
}

const std::wstring ROLLED_BACK = L"前回のアップデートが途中で中断されていたため、ゲームをアップデート前の状態に戻しました。";

// Every other moment of a run is cut by the crash sweep (crash_sweep.cpp); these rows are a kill
// while a big file is half copied, and what another program or user does to what a cut left.
// HALFWAY: a.dat in place, b.dat and Lumivane.exe not yet.
const wchar_t* const HALFWAY = L"place:\\a.dat";
const Kill KILLS[] = {
    {"while_copying_no", 3, L"", IDNO},
    {"while_copying_yes", 3, L"", IDYES},
    {"a_dat_held_when_put_back_no", 0, HALFWAY, IDNO, holding(L"a.dat"), STUCK},
    // A journal that cannot be read keeps every backup, and so the old a.dat, for the run after.
    {"journal_held_no", 0, HALFWAY, IDNO, holding(L"~update\\journal"), UNREADABLE},
    {"journal_past_its_size_no", 0, HALFWAY, IDNO, padded_journal, UNREADABLE},
    // A journal that breaks a rule is refused whole: nothing in the game or beside it is touched.
    {"journal_leads_to_the_parent", 0, HALFWAY, IDNO, planted("file 1 1 ..\\外\\victim.txt\n"), BROKEN},
    {"journal_names_a_whole_path", 0, HALFWAY, IDNO, planted("file 1 1 {root}\\外\\victim.txt\n"), BROKEN},
    {"journal_names_the_root", 0, HALFWAY, IDNO, planted("file 1 1 \\外\\victim.txt\n"), BROKEN},
    {"journal_names_a_stream", 0, HALFWAY, IDNO, planted("file 1 1 a.dat:evil\n"), BROKEN},
    {"journal_names_a_device", 0, HALFWAY, IDNO, planted("file 1 1 CON\n"), BROKEN},
    {"journal_number_twice", 0, HALFWAY, IDNO, planted("file 1 1 a.dat\nfile 1 0 b.dat\n"), BROKEN},
    {"journal_folder_outside", 0, HALFWAY, IDNO, planted("folder ..\\外\\空\n"), BROKEN},
    {"journal_flat_layout_outside", 0, HALFWAY, IDNO, planted("file 7 1 ..\\外\\victim.txt\n", L"7.old"), BROKEN},
};

void PrintTo(const Kill& row, std::ostream* out) { *out << row.name; }

class Killed : public testing::TestWithParam<Kill> {};

TEST_P(Killed, IsPutBackOrCleanedUpByTheNextRun)
{
    const Kill& row = GetParam();
    Scenario s(std::string("killed_") + row.name);
    const std::pair<const wchar_t*, size_t> sources[] = {
        {L"新規\\下\\c.dat", 300}, {L"a.dat", 2500000}, {L"b.dat", 50}, {L"Lumivane.exe", 5000}};
    for (const auto& [name, size] : sources)
        write_file(s.package + L"\\GAMEDATA\\" + name, pattern(size, static_cast<unsigned>(size)));
    write_file(s.game + L"\\a.dat", "old a");
    s.update_ini({L"GAME_NAME = \"テスト\"", L"REG_NAME = \"" + s.reg_name + L"\"", L"COPY_FOLDER_COUNT = 1",
                  L"COPY_FOLDER_00 = \"新規\\下\"", L"COPY_FILE_COUNT = 3", L"COPY_FILE_00 = \"a.dat\"",
                  L"COPY_FILE_01 = \"b.dat\"", L"COPY_FILE_02 = \"Lumivane.exe\""});
    s.write_registry();
    const Snapshot before = snapshot(s.game), package = snapshot(s.package + L"\\GAMEDATA");
    Snapshot updated = before;
    updated[L"新規"] = updated[L"新規\\下"] = L"folder";
    for (const auto& [name, size] : sources)
        updated[name] = package.at(name);

    Options killing;
    killing.pause_at = row.pause_at;
    killing.cut_at = row.cut_at;
    killing.kill_at_pause = true;
    const e2e::Run killed = run_update(s.exe(), killing);
    ASSERT_EQ(killed.exit_code, 9u) << text_of(killed.transcript);

    // The run after says why it cannot put the game back, before any question, and keeps the
    // journal and every backup for the run after it. Only a file that cannot go back leaves the
    // others it could put back already; else nothing anywhere changes.
    if (row.meddle) {
        const std::function<void()> undo = row.meddle(s);
        const Snapshot meddled = snapshot(s.root);
        const e2e::Run refused = run_update(s.exe());
        EXPECT_EQ(text_of(refused.transcript), text_of(fails(expand(row.refused, s))));
        EXPECT_EQ(refused.exit_code, 1u);
        if (row.refused != STUCK) {
            EXPECT_EQ(text(meddled), text(snapshot(s.root)));
        }
        if (!undo)
            return;
        undo();
    }
    Options again;
    again.answers = {row.answer};
    const e2e::Run run = run_update(s.exe(), again);
    ASSERT_EQ(run.failure, "");
    ASSERT_GE(run.transcript.size(), 3u);
    EXPECT_EQ(run.transcript.front(), box(INFORMATION, ROLLED_BACK));
    EXPECT_EQ(run.transcript.back(), box(INFORMATION, row.answer == IDYES ? L"アップデートは正常に終了しました。"
                                                                         : L"アップデートを中断しました。"));
    EXPECT_EQ(run.exit_code, 0u);
    EXPECT_EQ(text(row.answer == IDYES ? updated : before), text(snapshot(s.game)));
}

INSTANTIATE_TEST_SUITE_P(Rows, Killed, testing::ValuesIn(KILLS),
                         [](const testing::TestParamInfo<Kill>& row) { return std::string(row.param.name); });

TEST(UpdateCheck, RefusesAWrongCommandLine)
{
    std::string output;
    EXPECT_EQ(run_console(L"\"" + built(E2E_CHECK_EXE) + L"\" --no-such-option", output), 2u) << output;
}

}  // namespace
