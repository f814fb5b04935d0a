// The package checker's report on packages laid out as publishers lay them out: the cause of each
// kind of ignored line, the encoding traps, and the copy plan with its sizes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fs/text_file.h"
#include "unit_support.h"
#include "update_check/package_check.h"

namespace {

// The report on a package of GAMEDATA and an update.ini of these bytes.
std::wstring report_on(const std::string& update_ini, const std::vector<std::pair<std::wstring, std::string>>& files = {})
{
    Ctemp_folder package;
    CreateDirectoryW((package / L"GAMEDATA").c_str(), nullptr);
    write_bytes(package / L"update.ini", update_ini);
    for (const auto& file : files) {
        // An entry without a dot is a folder here.
        if (file.first.find(L'.') == std::wstring::npos)
            CreateDirectoryW((package / (L"GAMEDATA\\" + file.first)).c_str(), nullptr);
        else
            write_bytes(package / (L"GAMEDATA\\" + file.first), file.second);
    }
    Ccheck_options options;
    options.package_folder = package.path;
    Creport report;
    check_package(options, report);
    return report.text();
}

const std::string NAMES = shift_jis(L"GAME_NAME = \"ルミベイン物語\"\r\nREG_NAME = \"LumivaneStory\"\r\n");

}  // namespace

TEST(UpdateCheck, NamesTheCauseOfEachKindOfIgnoredLine)
{
    const struct {
        std::wstring line;
        std::wstring said;
    } rows[] = {
        {L"\tMOV_UPDATE = 1", L"IGNORED: indented key (meant to set MOV_UPDATE)"},
        {L"Copy_File_00 = \"a.txt\"", L"IGNORED: wrong letter case (meant to set COPY_FILE_00)"},
        {L"COPY_FOLDER_CNT = 1", L"IGNORED: unknown key"},
        {L"BGM_FOLDER = bgm", L"IGNORED: unquoted value"},
        {L"BGM_FOLDER = \"bgm", L"IGNORED: unterminated value"},
        {L"KOE_UPDATE =\x3000" L"1", L"IGNORED: full-width blank (meant to set KOE_UPDATE)"},
        {L"COPY_FOLDER_10 = \"x\"", L"IGNORED: numbered key out of range"},
        {L"BGM_UPDATE = \"1\"", L"IGNORED: not a number"},
        {L"REG_NAME =", L"IGNORED: missing value"},
        {L"REG_NAME \"x\"", L"IGNORED: no \"=\" after the key"},
        {L"[update]", L"IGNORED: section header"},
        {L"; BGM_UPDATE = 1", L"IGNORED: not a comment marker"},
        {L"  // note", L"ignored, harmless"},
        {L"BGM_UPDATE = 1 remark", L"sets BGM_UPDATE = 1\n        -> the rest of the line is ignored: remark"},
        {L"REG_NAME = \"LumivaneStory\"", L"sets REG_NAME = \"LumivaneStory\" (replaces line 2)"},
    };
    for (const auto& row : rows) {
        const std::wstring report = report_on(NAMES + shift_jis(row.line) + "\r\n");
        const std::wstring expected = L"   3  " + row.line + L"\n        -> " + row.said;
        EXPECT_NE(report.find(expected), std::wstring::npos) << to_narrow(expected) << "\nin:\n" << to_narrow(report);
    }
}

TEST(UpdateCheck, WarnsAboutTheEncodingTraps)
{
    const struct {
        std::string bytes;
        std::wstring warning;
    } rows[] = {
        {"GAME_NAME = \"\xE3\x83\xAB\xE3\x83\x9F\"\r\n", L"looks like UTF-8"},
        {"\xEF\xBB\xBFGAME_NAME = \"a\"\r\n", L"UTF-8 byte-order mark"},
        {"GAME_NAME = \"a\"\rREG_NAME = \"L\"\r", L"end in CR alone"},
        {std::string("\xFF\xFEG\0A\0", 6), L"saved as UTF-16"},
    };
    for (const auto& row : rows) {
        const std::wstring report = report_on(row.bytes);
        EXPECT_NE(report.find(row.warning), std::wstring::npos) << to_narrow(report);
    }
}

TEST(UpdateCheck, ListsEveryFileOfThePlanWithItsSizeAndTheTotal)
{
    const std::wstring report = report_on(
        NAMES + shift_jis(L"BGM_UPDATE = 1\r\nBGM_FOLDER = \"音楽\"\r\nCOPY_FILE_COUNT = 1\r\nCOPY_FILE_00 = \"README.TXT\"\r\n"),
        {{L"音楽", ""}, {L"音楽\\01.ogg", std::string(1234567, 'm')}, {L"readme.txt", "123"}, {L"notes.doc", "1"}});
    for (const wchar_t* expected : {L"  BGM_FOLDER \"音楽\": 1 file, 1,234,567 bytes\n        1,234,567  音楽\\01.ogg\n",
                                    L"  COPY_FILE_00 \"README.TXT\": 1 file, 3 bytes\n                3  readme.txt\n",
                                    L"  Total: 2 files, 1,234,570 bytes\n"})
        EXPECT_NE(report.find(expected), std::wstring::npos) << to_narrow(expected) << "\nin:\n" << to_narrow(report);
}
