#pragma once
// Conversion between the program's CP932 texts and UTF-8, used only at the
// edges: file names, message boxes, the window title, glyph look-up.
// Invalid input is replaced ("?" toward CP932, U+FFFD toward UTF-8), never fatal.

#include <cstdint>
#include <string>
#include <string_view>

namespace plat {

std::string Cp932ToUtf8(std::string_view cp932);
std::string Utf8ToCp932(std::string_view utf8);

// Lead and trail byte classes of CP932 (a lead byte followed by a trail byte is
// one character).
constexpr bool IsCp932LeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
constexpr bool IsCp932TrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// The Unicode code point of one CP932 character, given as its code: a single
// byte (0x00-0xFF), or lead << 8 | trail. 0 for a code that is no character:
// a lead byte alone, 0x80, 0xA0, 0xFD-0xFF, a pair the code page leaves
// undefined, or anything that is not one of those two shapes. Control bytes
// map to their own code points (the caller decides what they show). The
// table behind it is built on first use, once per process; any thread may ask.
char32_t Cp932CodePoint(std::uint32_t code);

}  // namespace plat
