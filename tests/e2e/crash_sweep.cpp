// The crash sweep: one reference update with every kind of entry is run once to record its file
// operations, then once for each operation: with it failing once; with it failing once and the
// power going right after the next one; and with the power going right after it. Then, for a run
// cut short while staging, right after the journal's commit and halfway through putting files in
// place, the recovery that follows is recorded and swept the same way. Every time, the boxes tell
// the truth about the game, which is exactly the old one or the new one, or kept with everything
// the next run needs; and the runs after, answered No and then Yes, end at the old game (the new
// one where the update had finished) and then at the new one. Prints the counts and every broken
// promise; exits 1 on any.
#include <cstdio>
#include <cstdlib>

#include "driver.h"
#include "support/unix_command.h"

using namespace e2e;

namespace {

const std::wstring SUCCESS = L"アップデートは正常に終了しました。", FAILED = L"アップデートに失敗しました。",
                   REFUSED = L"アップデートを中断しました。",
                   ROLLED_BACK = L"前回のアップデートが途中で中断されていたため、ゲームをアップデート前の状態に戻しました。",
                   CLEANED_UP = L"前回のアップデートが途中で中断されていましたが、ファイルの更新は終わっていたため、後片付けのみを行いました。";

class Csweep {
public:
    Csweep() : s("crash_sweep")
    {
        // A media folder, a folder entry making a new subfolder, file entries replacing one file and
        // adding another, names in Japanese; a read-only file of the game's that the update leaves
        // alone (one it would write stops it before anything is staged).
        const std::pair<const wchar_t*, size_t> sources[] = {
            {L"BGM\\曲.ogg", 3000}, {L"新規\\下\\c.dat", 300}, {L"a.dat", 2000}, {L"追加.dat", 50}};
        for (const auto& [name, size] : sources)
            write_file(s.package + L"\\GAMEDATA\\" + name, pattern(size, static_cast<unsigned>(size)));
        write_file(s.game + L"\\a.dat", "old a");
        write_file(s.game + L"\\読み取り専用.dat", "the game's, read-only");
        SetFileAttributesW((s.game + L"\\読み取り専用.dat").c_str(), FILE_ATTRIBUTE_READONLY);
        s.update_ini({L"GAME_NAME = \"テスト\"", L"REG_NAME = \"" + s.reg_name + L"\"", L"BGM_UPDATE = 1",
                      L"BGM_FOLDER = \"BGM\"", L"COPY_FOLDER_COUNT = 1", L"COPY_FOLDER_00 = \"新規\\下\"",
                      L"COPY_FILE_COUNT = 2", L"COPY_FILE_00 = \"a.dat\"", L"COPY_FILE_01 = \"追加.dat\""});
        s.write_registry();
        old_game = snapshot(s.game);
        new_game = old_game;
        const Snapshot package = snapshot(s.package + L"\\GAMEDATA");
        new_game[L"新規"] = new_game[L"新規\\下"] = L"folder";
        for (const auto& [name, size] : sources)
            new_game[name] = package.at(name);
        save(L"old");
    }

    // The run's file operations, for the reference update from the old game, or for the recovery
    // that follows a cut at cut_at.
    Lines record(const std::wstring& cut_at)
    {
        restore(L"old");
        if (!cut_at.empty()) {
            run(L"", cut_at, IDYES);
            save(L"cut");
        }
        return run(L"", L"", cut_at.empty() ? IDYES : IDNO).ops;
    }

    // From a saved state, op failing once and the power going at cut, answered as the reference.
    void sweep(const std::wstring& from, const std::wstring& fail, const std::wstring& cut, int answer,
               const std::string& label)
    {
        restore(from);
        ++states;
        const e2e::Run first = run(fail, cut, answer);
        if (check(first, answer, label + " (the run itself)"))
            follow(first, label);
    }

    int states = 0;
    std::vector<std::string> broken;

private:
    e2e::Run run(const std::wstring& fail, const std::wstring& cut, int answer)
    {
        Options options;
        options.answers = {answer};
        // A file found held before the question is asked about again, and free by then.
        options.retry_answer = IDRETRY;
        options.fail_at = fail;
        options.cut_at = cut;
        return run_update(s.exe(), options);
    }

    // The game without the update's own folder, and what it is.
    std::string game_state() const
    {
        Snapshot game = snapshot(s.game);
        for (auto entry = game.begin(); entry != game.end();)
            entry = entry->first.compare(0, 7, L"~update") == 0 ? game.erase(entry) : std::next(entry);
        return game == old_game ? "old" : game == new_game ? "new" : "mixed";
    }

    bool has_update_folder() const { return GetFileAttributesW((s.game + L"\\~update").c_str()) != INVALID_FILE_ATTRIBUTES; }

    static bool showed(const e2e::Run& run, const std::wstring& text)
    {
        for (const std::wstring& line : run.transcript)
            if (line.find(L"box ") == 0 && line.substr(line.find(L" text=") + 6) == text)
                return true;
        return false;
    }

    static std::wstring last_box(const e2e::Run& run)
    {
        for (auto line = run.transcript.rbegin(); line != run.transcript.rend(); ++line)
            if (line->find(L"box ") == 0)
                return line->substr(line->find(L" text=") + 6);
        return std::wstring();
    }

    // What the boxes of a run say, against the game it left. False, with the promise it broke
    // noted, when they disagree; a run the power cut short says nothing.
    bool check(const e2e::Run& run, int answer, const std::string& label)
    {
        if (run.exit_code == 9)
            return true;
        const std::wstring last = last_box(run);
        const std::string game = game_state();
        const bool failed = last != SUCCESS && last != REFUSED;
        std::string fault;
        if (!run.failure.empty())
            fault = run.failure;
        else if (showed(run, ROLLED_BACK) && answer == IDNO && game != "old")
            fault = "says the game was put back, but it is " + game;
        else if (showed(run, CLEANED_UP) && answer == IDNO && game != "new")
            fault = "says the update had finished, but the game is " + game;
        else if (last == SUCCESS && game != "new")
            fault = "says it succeeded, but the game is " + game;
        else if (last == REFUSED && game == "mixed")
            fault = "answered No, the game is mixed";
        else if (failed && ((game == "mixed" && !has_update_folder()) || (game == "new" && !showed(run, CLEANED_UP))))
            fault = "says it failed (" + narrow(last) + "), but the game is " + game +
                    (has_update_folder() ? "" : " with nothing kept");
        else if (run.exit_code != (failed ? 1u : 0u))
            fault = "exit code " + std::to_string(run.exit_code) + " after " + narrow(last);
        if (!fault.empty())
            broken.push_back(label + ": " + fault);
        return fault.empty();
    }

    // The runs after: No ends at the old game (the new one where the update had finished), then
    // Yes at the new one.
    void follow(const e2e::Run& first, const std::string& label)
    {
        const bool succeeded = first.exit_code != 9 && last_box(first) == SUCCESS;
        const std::string before = game_state();
        const e2e::Run no = run(L"", L"", IDNO);
        if (!check(no, IDNO, label + " (the run after, answered No)"))
            return;
        const std::string game = game_state();
        const bool told = showed(no, ROLLED_BACK) || showed(no, CLEANED_UP);
        if (last_box(no) != REFUSED || game == "mixed" || (succeeded && game != "new") || (!told && game != before))
            return broken.push_back(label + " (the run after, answered No): the " + before + " game became " + game +
                                    (told ? "" : " untold") + ": " + narrow(last_box(no)));
        const e2e::Run yes = run(L"", L"", IDYES);
        if (check(yes, IDYES, label + " (the run after that, answered Yes)") &&
            (last_box(yes) != SUCCESS || has_update_folder()))
            broken.push_back(label + " (the run after that, answered Yes): " + narrow(last_box(yes)) +
                             (has_update_folder() ? ", ~update left" : ""));
    }

    // A state of the game, its update folder and this user's record of an unfinished run.
    void save(const std::wstring& name)
    {
        const std::string copy = unix_of(s.root + L"\\" + name);
        run_unix_shell("rm -rf " + copy + " && cp -a " + unix_of(s.game) + " " + copy + " && rm -f " + copy + ".reg");
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, RECORDS, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            wchar_t value[256], data[256];
            DWORD value_size = 256, data_size = sizeof data;
            for (DWORD i = 0; RegEnumValueW(key, i, value, &value_size, nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                                            &data_size) == ERROR_SUCCESS;
                 ++i, value_size = 256, data_size = sizeof data)
                records[name].push_back({value, data});
            RegCloseKey(key);
        }
    }

    void restore(const std::wstring& name)
    {
        run_unix_shell("rm -rf " + unix_of(s.game) + " && cp -a " + unix_of(s.root + L"\\" + name) + " " + unix_of(s.game));
        RegDeleteTreeW(HKEY_CURRENT_USER, RECORDS);
        for (const auto& [value, data] : records[name])
            RegSetKeyValueW(HKEY_CURRENT_USER, RECORDS, value.c_str(), REG_SZ, data.c_str(),
                            static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    }

    static constexpr const wchar_t* RECORDS = L"SOFTWARE\\update.exe\\Unfinished runs";
    Scenario s;
    Snapshot old_game, new_game;
    std::map<std::wstring, std::vector<std::pair<std::wstring, std::wstring>>> records;
};

std::string op_label(const char* mode, const Lines& ops, size_t i)
{
    return std::string(mode) + " op " + narrow(ops[i]);
}

}  // namespace

int wmain()
{
    Csweep sweep;
    const Lines ops = sweep.record(L"");
    int failed_once = 0, cut = 0, recovery = 0;
    const char* only = getenv("SWEEP_ONLY");  // one operation's states alone
    for (size_t i = only ? atoi(only) - 1 : 0; i < (only ? atoi(only) : ops.size()); ++i) {
        const std::wstring n = std::to_wstring(i + 1), next = std::to_wstring(i + 2), after_next = std::to_wstring(i + 3);
        sweep.sweep(L"old", n, L"", IDYES, op_label("failed once at", ops, i));
        sweep.sweep(L"old", n, next, IDYES, op_label("failed once, then the power went, at", ops, i));
        // One step later too: a failure the run carries on from may show only once it starts
        // throwing away what it could go back with (the journal closes first).
        sweep.sweep(L"old", n, after_next, IDYES, op_label("failed once, then the power went one later, at", ops, i));
        sweep.sweep(L"old", L"", n, IDYES, op_label("the power went after", ops, i));
        failed_once += 3;
        ++cut;
    }
    // A run cut short while staging, right after the commit, and halfway through putting files in place.
    for (const wchar_t* moment : {L"create:~update\\0\\1.new", L"append:| commit", L"place:\\a.dat"}) {
        if (only != nullptr)
            break;
        const Lines recovering = sweep.record(moment);
        for (size_t i = 0; i < recovering.size(); ++i) {
            const std::wstring n = std::to_wstring(i + 1);
            const std::string at = " (cut at " + narrow(moment) + ")";
            sweep.sweep(L"cut", n, L"", IDNO, op_label("recovery failed once at", recovering, i) + at);
            sweep.sweep(L"cut", L"", n, IDNO, op_label("recovery cut after", recovering, i) + at);
            recovery += 2;
        }
    }
    for (const std::string& row : sweep.broken)
        printf("BROKEN %s\n", row.c_str());
    printf("%zu operations; %d failed-once states, %d cut states, %d recovery states: %s\n", ops.size(), failed_once, cut,
           recovery, sweep.broken.empty() ? "all old or new, every box true" : "PROMISE BROKEN");
    return sweep.broken.empty() ? 0 : 1;
}
