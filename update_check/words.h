#pragma once
// The words of update-check's reports, in the publisher's language. The string table of
// update-check.rc holds each in Japanese and in English; the placeholders %1 to %9 in it are
// filled here. The player's boxes and the texts of update.ini are quoted as they are, whatever the
// language.
#include <initializer_list>
#include <string>

// The number of each text in the string table of update-check.rc, which names it beside it.
enum Cword : unsigned {
    W_USAGE = 100, W_TITLE, W_FILE_BYTES, W_CODE_PAGE, W_LINES, W_HARMLESS, W_IGNORED, W_REASON_JOIN,
    W_MEANT_TO_SET, W_SETS, W_REPLACES_LINE, W_REST_IGNORED, W_LINE_FAILS, W_LINE_COUNT, W_CHECKS, W_OFF_WHY,
    W_INSTALLATION_WHY, W_NOT_JUDGED_WHY, W_LIKELY_CAUSE, W_PLAYER_SEES, W_STOPS_AT, W_CONFIRMATION,
    W_NOTHING_STOPS, W_BOX, W_INSTALLATION, W_FROM_REGISTRY, W_FROM_INSTALL, W_PLAN, W_PLAN_EMPTY,
    W_NOT_PLANNED, W_NOTE_FAILS, W_NOTE_WARNING, W_TOTAL, W_STAGING, W_FREE_THERE, W_WARNINGS, W_PROBLEMS,
    W_RESULT_PASSED, W_RESULT_FAILED, W_WARNING_COUNT, W_PROBLEM_COUNT, W_UNREADABLE, W_RESULT_UNREADABLE,
    W_CHECKER_ERROR, W_FOLDER_UNOPENED, W_UNKNOWN_VALUE, W_ONE_FILE, W_FILES, W_ONE_WARNING, W_ONE_PROBLEM,
    W_SAVE_AS_SHIFT_JIS, W_UTF16, W_UTF16_NO_MARK, W_ZERO_BYTE, W_UTF8_MARK, W_UTF8_MARK_GARBLED, W_UTF8,
    W_RUN_TOGETHER, W_EOF_BYTE, W_LONE_CR, W_NOTE_UTF16, W_NOTE_UTF8_MARK, W_NOTE_GARBLED, W_NOTE_WRITTEN_AS,
    W_CODE_PAGE_NOT_932, W_BEYOND_COUNT, W_NUMBER_WRAPS, W_HINT_IGNORED_LINE, W_HINT_KEY_INSIDE,
    W_JOINED_UTF8, W_JOINED_CR, W_JOINED_START, W_HINT_UTF16, W_HINT_UTF8, W_INI_IS_FOLDER, W_INI_MISNAMED,
    W_STARTS_WITH_BACKSLASH, W_HOLDS_DRIVE, W_SELECTS_NO_FILE, W_IN_SUBFOLDER, W_DEVICE_NAME, W_DOT_AT_END,
    W_NO_SUCH_FILE, W_NO_FILE_FOUND, W_FILE_IS_DEVICE, W_SUBFOLDER_LEFT, W_NO_DESTINATION_FOLDER,
    W_REACHED_AGAIN, W_KIND_EMPTY, W_KIND_COMMENT, W_BOX_WARNING, W_BOX_QUESTION, W_BOX_INFORMATION,
    W_BUTTONS_OK, W_BUTTONS_YES_NO,
    // The states of a check in the order of Cfinding_state, the reasons of an ignored line in the
    // order of Cignored_reason.
    W_STATE_FIRST = 200,
    W_REASON_FIRST = 210,
    // The update.exe lying in the package.
    W_EXE = 230, W_EXE_MISSING, W_SIGNED_TRUSTED, W_SIGNED_UNTRUSTED, W_SIGNATURE_ALTERED, W_SIGNATURE_UNREADABLE,
    W_UNSIGNED, W_EXE_VERSION, W_EXE_VERSION_DIFFERS, W_EXE_OTHER_VERSION, W_EXE_NO_VERSION,
};

enum class Clanguage { japanese, english };

// Japanese where the user's Windows shows Japanese, English elsewhere.
Clanguage language_of_user();
// Chosen once, before anything is said.
void use_language(Clanguage language);

std::wstring words(unsigned id, std::initializer_list<std::wstring> fills = {});
