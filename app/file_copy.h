#pragma once
#include <cstdint>
#include <string>

// Copies GAMEDATA\<relative path> to <destination folder>\<relative path> in 1,000,000-byte
// blocks, moving both bars after each block. False after the failure has been shown.
bool copy_file_with_progress(const std::wstring& relative_path, uint64_t total_bytes, uint64_t& bytes_remaining);
