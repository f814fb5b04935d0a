#pragma once
// Room for the update on the installation's drive, asked before anything is written.
#include <cstdint>
#include <string>

// Every file of the update is first copied beside the one it replaces, so the drive must hold
// needed_bytes more while the old files are still there. The problem, or empty text when the room
// is there or the drive cannot tell.
std::wstring find_free_space_problem(const std::wstring& destination_folder, uint64_t needed_bytes);
