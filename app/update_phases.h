#pragma once
// The phases of one update, in the order the sequence runs them. Each does the one thing its name
// says, writes only the global that names, tells the player about its own failure and returns
// whether the update may go on.
// The update run itself is the last phase (update_run.h).

bool reset_update_settings();
bool read_update_ini();
bool check_names();
bool check_sources();
bool read_installation_record();
bool find_the_game();
bool claim_the_game();
bool recover_unfinished_update();
bool check_destination();
bool check_game_files();
bool weigh_the_room();
// Cancelled by the player, it ends as a No does.
bool wait_for_held_files();
bool confirm_destination();
