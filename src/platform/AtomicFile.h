#pragma once
// Writing a whole file so that a failure never leaves half of it: the bytes go
// to a temporary file beside the target, every write is checked, the file is
// synced and closed, and only then renamed over the target. On failure the
// temporary file is removed and the previous file stays as it was.

#include <cstdint>
#include <span>
#include <string>

namespace plat {

// `nativePath` is a Linux path whose folder exists. On failure `error`, when
// given, says what failed.
bool WriteFileAtomically(const std::string& nativePath, std::span<const std::uint8_t> bytes,
                         std::string* error = nullptr);

}  // namespace plat
