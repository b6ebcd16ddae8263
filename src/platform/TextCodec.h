#pragma once
// Conversion between the program's CP932 texts and UTF-8, used only at the
// edges: file names, message boxes, the window title, glyph look-up.
// Invalid input is replaced ("?" toward CP932, U+FFFD toward UTF-8), never fatal.

#include <string>
#include <string_view>

namespace plat {

std::string Cp932ToUtf8(std::string_view cp932);
std::string Utf8ToCp932(std::string_view utf8);

// Lead and trail byte classes of CP932 (a lead byte followed by a trail byte is
// one character).
constexpr bool IsCp932LeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
constexpr bool IsCp932TrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

}  // namespace plat
