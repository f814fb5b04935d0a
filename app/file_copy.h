#pragma once
#include <cstdint>
#include <string>

// Copies GAMEDATA\<relative path> into the staging file in 1,000,000-byte blocks, moving both bars
// after each block. Returns the problem to show (naming the source by its relative path and the
// destination by its full path), or empty text.
std::wstring copy_file_with_progress(const std::wstring& relative_path, const std::wstring& staging_path,
                                     uint64_t total_bytes, uint64_t& bytes_remaining);
