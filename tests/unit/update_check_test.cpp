// The package checker on packages laid out as publishers lay them out: every check judged in one
// run, with the player's first boxes exactly as update.exe shows them, the cause of each kind of
// ignored line, and the encodings that garble update.ini named as the cause of what fails.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fs/text.h"
#include "unit_support.h"
#include "update_check/package_check.h"
#include "update_check/text_report.h"
#include "update_check/words.h"

namespace {

// update.ini of these bytes beside GAMEDATA with these files (a name without a dot is a folder).
struct Cpackage {
    explicit Cpackage(const std::string& update_ini, const std::vector<std::wstring>& files = {})
    {
        CreateDirectoryW((folder / L"GAMEDATA").c_str(), nullptr);
        write_bytes(folder / L"update.ini", update_ini);
        for (const std::wstring& file : files) {
            const std::wstring path = folder / (L"GAMEDATA\\" + file);
            file.find(L'.') == std::wstring::npos ? CreateDirectoryW(path.c_str(), nullptr) : write_bytes(path, "x");
        }
        Ccheck_options options;
        options.package_folder = folder.path;
        use_language(Clanguage::english);
        exit_code = check_package(options, findings);
    }
    std::wstring text() const { return text_report(findings); }

    Ctemp_folder folder;
    Cpackage_findings findings;
    int exit_code = -1;
};

const std::wstring NAMES = L"GAME_NAME = \"ルミベイン物語\"\r\nREG_NAME = \"LumivaneStory\"\r\n";

void expect_in(const std::wstring& text, const std::wstring& part)
{
    EXPECT_NE(text.find(part), std::wstring::npos) << to_narrow(part) << "\nin:\n" << to_narrow(text);
}

}  // namespace

TEST(UpdateCheck, JudgesEveryCheckWhereUpdateExeStopsAtTheFirst)
{
    const Cpackage package(shift_jis(L"GAME_NAME = \"ルミベイン物語\"\r\n REG_NAME = \"LumivaneStory\"\r\n"
                                     L"BGM_UPDATE = 1\r\nCOPY_FOLDER_COUNT = 3\r\nCOPY_FOLDER_00 = \"data\"\r\n"
                                     L"COPY_FOLDER_01 = \"nope\"\r\nCOPY_FOLDER_02 = \"..\\save\"\r\n"
                                     L"COPY_FILE_COUNT = 11\r\nCOPY_FILE_00 = \"a.txt\"\r\n"),
                           {L"data", L"data\\x.dat", L"a.txt"});
    std::vector<std::wstring> expected = {
        L"REG_NAME: update.ini にレジストリ名が指定されていません。",
        L"BGM_FOLDER: update.ini に BGM フォルダが指定されていません。",
        L"COPY_FOLDER_01: コピー元のフォルダ GAMEDATA\\nope が見つかりません。",
        L"COPY_FOLDER_02: update.ini の COPY_FOLDER_02 に指定された ..\\save は、フォルダの外を指しているため使用できません。"};
    for (int i = 1; i <= 10; ++i)
        expected.push_back(format_text(L"%ls: update.ini に COPY_FILE_%02d フォルダが指定されていません。\n"
                                       L"COPY_FILE_CNT の設定は正しいですか？",
                                       i < 10 ? format_text(L"COPY_FILE_%02d", i).c_str() : L"COPY_FILE_COUNT", i));
    std::vector<std::wstring> failed;
    for (const Cchecked& check : package.findings.checks)
        if (check.state == Cfinding_state::failed)
            failed.push_back(check.check + L": " + check.message);
    EXPECT_EQ(failed, expected);
    EXPECT_EQ(package.exit_code, CHECK_FAILED);
    expect_in(package.findings.checks[2].hint, L"line 2 was meant to set REG_NAME");
    // Only what update.ini switches on is planned, and a group whose check fails lists nothing.
    std::wstring plan;
    for (const Cplan_group& group : package.findings.plan)
        plan += group.key + (group.planned ? L" " + std::to_wstring(group.files.size()) : L" -") + L";";
    expect_in(plan, L"BGM_FOLDER -;COPY_FOLDER_00 1;COPY_FOLDER_01 -;COPY_FOLDER_02 -;COPY_FILE_00 1;COPY_FILE_01 -;");
}

TEST(UpdateCheck, NamesTheCauseOfEachKindOfIgnoredLine)
{
    const struct {
        std::wstring line;
        std::wstring said;
    } rows[] = {
        {L"\tMOV_UPDATE = 1", L"IGNORED: indented key (meant to set MOV_UPDATE)"},
        {L"Copy_File_00 = \"a.txt\"", L"IGNORED: wrong letter case (meant to set COPY_FILE_00)"},
        {L"BGM_FOLDER = bgm", L"IGNORED: unquoted value"},
        {L"BGM_FOLDER = \"bgm", L"IGNORED: unterminated value"},
        {L"KOE_UPDATE =\x3000" L"1", L"IGNORED: full-width blank (meant to set KOE_UPDATE)"},
        {L"COPY_FOLDER_10 = \"x\"", L"IGNORED: numbered key out of range"},
        {L"BGM_UPDATE = \"1\"", L"IGNORED: not a number"},
        {L"BGM_UPDATE = 1 remark", L"sets BGM_UPDATE = 1\n        -> the rest of the line is ignored: remark"},
        {L"REG_NAME = \"LumivaneStory\"", L"sets REG_NAME = \"LumivaneStory\" (replaces line 2)"},
    };
    for (const auto& row : rows)
        expect_in(Cpackage(shift_jis(NAMES + row.line + L"\r\n")).text(), L"   3  " + row.line + L"\n        -> " + row.said);
}

TEST(UpdateCheck, NamesTheWayUpdateIniWasSavedAsTheCauseOfWhatFails)
{
    const struct {
        std::string bytes;
        std::wstring said;
    } rows[] = {
        {"GAME_NAME = \"\xE3\x83\xAB\xE3\x83\x9F\"\r\n", L"garbled: the file is saved as UTF-8; written as: GAME_NAME = \"ルミ\""},
        {"\xEF\xBB\xBFGAME_NAME = \"a\"\r\n", L"likely cause: line 1 was meant to set GAME_NAME, but update.exe ignores it (byte-order mark"},
        {std::string("G\0A\0M\0E\0", 8), L"likely cause: update.ini is saved as UTF-16, of which update.exe reads almost nothing"},
        {"GAME_NAME = \"a\"\rREG_NAME = \"L\"\r", L"likely cause: line 1 holds REG_NAME past its start: lines end in CR alone"},
    };
    for (const auto& row : rows)
        expect_in(Cpackage(row.bytes).text(), row.said);
}
