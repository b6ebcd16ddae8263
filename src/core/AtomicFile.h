#pragma once
// The one way the player writes a file of its own (saves, options, rankings,
// replays, window placement): the bytes go to a temporary file beside the
// target, every write is checked, the file is flushed to disk and closed, and
// only then renamed over the target. On any failure the result is false, the
// temporary file is removed and the previous file stays as it was.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// `path` is a program path (CP932, backslashes). The folder must exist.
bool WriteFileAtomic(std::string_view path, const void* data, std::size_t size);
bool WriteFileAtomic(std::string_view path, std::string_view bytes);
bool WriteFileAtomic(std::string_view path, const std::vector<std::uint8_t>& bytes);
