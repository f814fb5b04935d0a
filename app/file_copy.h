#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Decimal, not 1 MiB: the bars advance once per million bytes.
constexpr size_t BLOCK_SIZE = 1000000;

// Copies GAMEDATA\<relative path> into the staging file in BLOCK_SIZE blocks through block (made
// once for the whole run: a fresh megabyte for each file costs more than copying a small one),
// moving both bars after each block. Returns the problem to show (naming the source by its
// relative path and the destination by its full path), or empty text.
std::wstring copy_file_with_progress(const std::wstring& relative_path, const std::wstring& staging_path,
                                     uint64_t total_bytes, uint64_t& bytes_remaining,
                                     std::vector<unsigned char>& block);
