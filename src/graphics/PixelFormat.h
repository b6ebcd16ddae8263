#pragma once
// Pixel-format descriptors of the drawing layer and the pure conversions
// between 8-bit colour components and 16-bit pixels.
//
// The layer renders at 32 bits per pixel whatever depth the settings ask for
// (a 16-bit request is accepted and drawn at 32), so the 16-bit conversions
// below are used only where a 16-bit value is part of the layer's state (the
// 16-bit transparent value of the Direct3D context) and by whoever needs the
// exact 16-bit numbers. They are kept as plain functions of a descriptor so
// they can be checked on their own.

#include <cstdint>

// Shifts and masks of one pixel layout. A mask is the largest value of its
// channel (31 for a 5-bit channel), not the shifted bit mask: a channel of a
// pixel p is (p >> shift) & mask.
struct PIXELFORMATDESC {
  std::int32_t RShift = 0;
  std::int32_t GShift = 0;
  std::int32_t BShift = 0;
  std::int32_t AShift = 0;
  std::int32_t RMask = 0;
  std::int32_t GMask = 0;
  std::int32_t BMask = 0;
  std::int32_t AMask = 0;

  friend bool operator==(const PIXELFORMATDESC&, const PIXELFORMATDESC&) = default;
};

// The layouts the layer knows.
inline constexpr PIXELFORMATDESC kFormatA8R8G8B8{16, 8, 0, 24, 255, 255, 255, 255};
inline constexpr PIXELFORMATDESC kFormatA1R5G5B5{10, 5, 0, 15, 31, 31, 31, 1};
inline constexpr PIXELFORMATDESC kFormatR5G6B5{11, 5, 0, 16, 31, 63, 31, 0};
// What a DirectDraw 32-bit display reports: red, green, blue fields and no
// alpha (the alpha fields of the descriptor are left as they were).
inline constexpr PIXELFORMATDESC kFormatX8R8G8B8{16, 8, 0, 0, 255, 255, 255, 0};

// The components, already in their field widths, limited to their masks and
// placed at their shifts: (r & rmask) << rshift | (g & gmask) << gshift |
// (b & bmask) << bshift.
std::uint32_t PackFields(const PIXELFORMATDESC& format, std::uint32_t red, std::uint32_t green, std::uint32_t blue);

// 8-bit components scaled into the fields (value * mask / 255, truncated) and
// placed at their shifts.
std::uint32_t PackScaled(const PIXELFORMATDESC& format, std::uint8_t red, std::uint8_t green, std::uint8_t blue);

// One field of a pixel widened to 8 bits: ((pixel >> shift) & mask) * 255 / mask;
// 0 for a channel without bits.
std::uint8_t WidenField(std::uint32_t pixel, std::int32_t shift, std::int32_t mask);

// A 24- or 32-bit bitmap pixel converted for a 16-bit surface that uses the
// colour key `keyPixel`: the pixel equal to the conversion triple (keyRed,
// keyGreen, keyBlue) becomes the key; any other pixel is PackScaled, and when
// that happens to equal the key the blue field moves one step (down at its
// maximum, else up), so only transparent pixels carry the key.
std::uint16_t ConvertToKeyed16(const PIXELFORMATDESC& format, std::uint8_t red, std::uint8_t green,
                               std::uint8_t blue, std::uint8_t keyRed, std::uint8_t keyGreen,
                               std::uint8_t keyBlue, std::uint16_t keyPixel);
