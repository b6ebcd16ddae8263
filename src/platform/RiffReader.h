#pragma once
// Finding chunks in a RIFF file held in memory, the way the multimedia file
// functions of the old system descend into them:
//
//   chunk   id (4 bytes), size (u32 little-endian), `size` data bytes, and a
//           pad byte when the size is odd
//   RIFF    a chunk whose data starts with a form type ("WAVE") and holds
//           sub-chunks after it
//
// A search walks the chunks of a range from its start and skips every chunk
// that is not the one asked for. Nothing is trusted: a size that runs past
// the range ends the walk (the chunk is still found when it is the one asked
// for; `available` then says how many of its bytes are really there).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace plat {

// The four characters of a chunk id as the u32 they make when read little-endian.
constexpr std::uint32_t RiffId(const char (&text)[5]) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(text[0])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(text[1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(text[2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(text[3])) << 24;
}

struct sRiffChunk {
  std::uint32_t id = 0;
  std::uint32_t size = 0;       // as the file says
  std::size_t dataOffset = 0;   // first data byte (after the form type for RIFF)
  std::size_t available = 0;    // data bytes present, at most `size` (less the form type for RIFF)
  std::size_t end = 0;          // where the next chunk starts: after the data and the pad byte
};

// The first chunk with `id` in [begin, end) of `bytes`.
std::optional<sRiffChunk> FindRiffChunk(std::span<const std::uint8_t> bytes, std::size_t begin, std::size_t end,
                                        std::uint32_t id);

// The first "RIFF" chunk of form `formType` in [begin, end); its data range is
// the sub-chunks after the form type.
std::optional<sRiffChunk> FindRiffForm(std::span<const std::uint8_t> bytes, std::size_t begin, std::size_t end,
                                       std::uint32_t formType);

}  // namespace plat
