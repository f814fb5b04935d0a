#pragma once

// Runs the phases of one update in their fixed order and announces success. Each phase tells the
// player about its own failure, so a false result needs no further message.
bool run_update_sequence();
