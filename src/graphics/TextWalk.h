#pragma once
// The walk over CP932 text that drawing and measuring share: character by
// character, never reading a byte at or past the end of the view.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/TextCodec.h"

// The full-width space, which draws nothing.
inline constexpr std::uint32_t kFullWidthSpace = 0x8140;

struct sTextChar {
  std::uint32_t code = 0;    // the byte, or lead << 8 | trail
  std::size_t length = 0;    // 1 or 2; 0 at the end of the text
  bool IsDoubleByte() const { return length == 2; }
};

// The text up to its first NUL byte.
inline std::string_view TextUpToNul(std::string_view text) {
  const std::size_t end = text.find('\0');
  return end == std::string_view::npos ? text : text.substr(0, end);
}

// The character that starts at `pos` of a text without NUL bytes: a lead byte
// with a trail byte after it is one character, any other byte (a lead byte
// at the end included) is one on its own.
inline sTextChar TextCharAt(std::string_view text, std::size_t pos) {
  if (pos >= text.size()) return {};
  const auto first = static_cast<unsigned char>(text[pos]);
  if (plat::IsCp932LeadByte(first) && pos + 1 < text.size()) {
    const auto second = static_cast<unsigned char>(text[pos + 1]);
    if (plat::IsCp932TrailByte(second)) return {static_cast<std::uint32_t>(first) << 8 | second, 2};
  }
  return {first, 1};
}
