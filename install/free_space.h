#pragma once
// Room for the update on the installation's drive, asked before anything is written.
#include <cstdint>
#include <string>

#include "update_ini/findings.h"

// The check "free space": every file of the update is first copied beside the one it replaces, so
// the drive must hold needed_bytes more while the old files are still there. Passes when the room
// is there or the drive cannot tell.
Cfinding judge_free_space(const std::wstring& destination_folder, uint64_t needed_bytes);
