#pragma once
// Phases 6 and 7: the installation is complete as far as the update needs it, and the player
// agrees to have it overwritten.

bool check_destination();
bool confirm_destination();
