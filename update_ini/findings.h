#pragma once
// What a check layer judged, in the order update.exe asks: every check with its stable name, the
// key, entry or folder it concerns, and how it came out. update.exe shows the first failure; the
// publishers' tools read the whole list.
#include <string>
#include <vector>

enum class Cfinding_state {
    passed,
    failed,
    // update.ini does not ask for it.
    off,
    // An earlier check it depends on failed.
    not_judged,
};

struct Cfinding {
    // Stable: "GAME_NAME", "GAMEDATA", "BGM_FOLDER", "COPY_FILE_03", "registry", "BGM", "free space", ...
    std::wstring check;
    // The entry, registry key or folder the check looked at, as written.
    std::wstring subject;
    Cfinding_state state = Cfinding_state::passed;
    // For a failure: the cause exactly as the player's box shows it.
    std::wstring message;
};

using Cfindings = std::vector<Cfinding>;

// Passed when problem is empty, failed with it as the message otherwise.
inline Cfinding judged(const std::wstring& check, const std::wstring& subject, const std::wstring& problem)
{
    return {check, subject, problem.empty() ? Cfinding_state::passed : Cfinding_state::failed, problem};
}

// The message of the first failure, or empty text when nothing failed.
inline std::wstring first_failure(const Cfindings& findings)
{
    for (const Cfinding& finding : findings)
        if (finding.state == Cfinding_state::failed)
            return finding.message;
    return std::wstring();
}
