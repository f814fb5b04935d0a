#pragma once
// Room for the update on the installation's drive, asked before anything is written.
#include <cstdint>
#include <string>
#include <vector>

#include "update_ini/copy_plan.h"
#include "update_ini/findings.h"

// The staging files lie in folders of their own, this many to a folder.
constexpr size_t STAGED_FILES_PER_FOLDER = 100;

// Every file of the update is first staged while the old files are still there, so the drive must
// hold each of them more, rounded up to whole clusters as the drive stores them, the journal, and a
// cluster for each folder that holds staging files.
uint64_t staging_room(const std::vector<Ccopy_group>& plan, uint64_t cluster);
uint64_t staging_room(const std::vector<Ccopy_group>& plan, const std::wstring& destination_folder);
// The check "free space": the drive must hold needed_bytes (staging_room) more while the old files
// are still there. Passes when the room is there or the drive cannot tell.
Cfinding judge_free_space(const std::wstring& destination_folder, uint64_t needed_bytes);
