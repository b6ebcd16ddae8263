#pragma once
// Reading a whole file into memory, bounded: the loaders of sounds and music
// take a file at once and parse it from memory.

#include <cstdint>
#include <string_view>
#include <vector>

namespace plat {

enum class eReadFile { Read, Missing, TooLarge, Failed };

// Reads the regular file at the program path (resolved by NativePath) into
// `bytes`. A file larger than `maxBytes` is not read (TooLarge). `bytes` is
// empty unless the result is Read.
eReadFile ReadFileBytes(std::string_view programPath, std::uintmax_t maxBytes, std::vector<std::uint8_t>& bytes);

}  // namespace plat
