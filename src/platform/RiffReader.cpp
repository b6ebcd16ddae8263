#include "platform/RiffReader.h"

#include <algorithm>

namespace plat {

namespace {

constexpr std::size_t kHeaderBytes = 8;

std::uint32_t ReadLeU32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// The chunk whose header starts at `at`, bounded by `end`; none when the
// header itself is not there.
std::optional<sRiffChunk> ChunkAt(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t end) {
  if (at > end || end - at < kHeaderBytes) return std::nullopt;
  sRiffChunk chunk;
  chunk.id = ReadLeU32(bytes, at);
  chunk.size = ReadLeU32(bytes, at + 4);
  chunk.dataOffset = at + kHeaderBytes;
  chunk.available = std::min<std::size_t>(chunk.size, end - chunk.dataOffset);
  const std::size_t padded = static_cast<std::size_t>(chunk.size) + (chunk.size & 1u);
  chunk.end = padded <= end - chunk.dataOffset ? chunk.dataOffset + padded : end;
  return chunk;
}

template <class Match>
std::optional<sRiffChunk> Walk(std::span<const std::uint8_t> bytes, std::size_t begin, std::size_t end, Match match) {
  end = std::min(end, bytes.size());
  std::size_t at = begin;
  while (std::optional<sRiffChunk> chunk = ChunkAt(bytes, at, end)) {
    if (match(*chunk)) return chunk;
    if (chunk->end <= at || chunk->end >= end) break;  // the walk cannot go on inside the range
    at = chunk->end;
  }
  return std::nullopt;
}

}  // namespace

std::optional<sRiffChunk> FindRiffChunk(std::span<const std::uint8_t> bytes, std::size_t begin, std::size_t end,
                                        std::uint32_t id) {
  return Walk(bytes, begin, end, [id](const sRiffChunk& chunk) { return chunk.id == id; });
}

std::optional<sRiffChunk> FindRiffForm(std::span<const std::uint8_t> bytes, std::size_t begin, std::size_t end,
                                       std::uint32_t formType) {
  std::optional<sRiffChunk> form = Walk(bytes, begin, end, [&](const sRiffChunk& chunk) {
    return chunk.id == RiffId("RIFF") && chunk.available >= 4 && ReadLeU32(bytes, chunk.dataOffset) == formType;
  });
  if (form) {
    form->dataOffset += 4;
    form->available -= 4;
  }
  return form;
}

}  // namespace plat
