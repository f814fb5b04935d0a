#pragma once

// The exit codes of update.exe, for the scripts and launchers that start it.
enum : int {
    // The update was applied, or the player answered No.
    UPDATE_DONE = 0,
    // A failure box was shown: a check, the copy, or the start-up.
    UPDATE_FAILED = 1,
};

// Runs the phases of one update in their fixed order and announces success. Each phase tells the
// player about its own failure, so a stop needs no further message. Returns the exit code.
int run_update_sequence();
