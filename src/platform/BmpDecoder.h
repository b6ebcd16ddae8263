#pragma once
// Windows bitmap files: our own decoder and a small writer.
//
// The decoder takes the headers of 12 (core), 40, 52, 56, 108 and 124 bytes,
// 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed or BITFIELDS (16 and 32
// bits), RLE8 and RLE4, rows bottom-up or top-down. Everything the file claims
// is checked against the file before any pixel buffer is made: sizes, depth,
// offsets, the colour count, pitch times height, and every RLE run against the
// picture. A bad file is refused with a text that names the fault.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PixelSurface.h"

namespace plat {

// A decoded plane: storage the decoder writes whole (so it is not zeroed
// first); otherwise a plain vector.
template <typename T>
using BmpPlane = std::vector<T, cPixelAllocator<T>>;

struct sBmpImage {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;  // of the file
  bool topDown = false;  // as stored in the file (the planes below are always top row first)
  // Files of 8 bits or fewer: one palette index per pixel, top row first.
  // Empty for deeper files.
  BmpPlane<std::uint8_t> indices;
  // Files of 8 bits or fewer: the colour table (flags 0), as many entries as
  // the file holds (its colour count, or 2^bits when that is 0).
  std::vector<sPaletteEntry> palette;
  // Every file: 0x00RRGGBB per pixel, top row first. An index beyond the
  // colour table gives black; pixels an RLE file skips have index 0.
  BmpPlane<std::uint32_t> rgb;

  std::uint32_t RgbAt(int x, int y) const { return rgb[static_cast<std::size_t>(y) * width + x]; }
  std::uint8_t IndexAt(int x, int y) const { return indices[static_cast<std::size_t>(y) * width + x]; }
};

// Decodes a whole file held in memory. On failure returns false, leaves `out`
// untouched and puts an English reason in *error.
bool DecodeBmp(std::span<const std::uint8_t> file, sBmpImage& out, std::string* error = nullptr);

// Reads and decodes a file named in program form (CP932, backslashes, relative
// to the working folder; see PathResolver.h). Files above 256 MiB are refused.
bool LoadBmpFile(std::string_view programPath, sBmpImage& out, std::string* error = nullptr);

// Writers. Rows are stored bottom-up unless topDown is set (a negative height
// in the file). Pixels are given top row first.
// 8 bits with a colour table of palette.size() entries (1 to 256).
std::vector<std::uint8_t> EncodeBmp8(int width, int height, std::span<const std::uint8_t> indices,
                                     std::span<const sPaletteEntry> palette, bool topDown = false);
// 24 bits from 0x??RRGGBB pixels.
std::vector<std::uint8_t> EncodeBmp24(int width, int height, std::span<const std::uint32_t> pixels,
                                      bool topDown = false);
// 32 bits (uncompressed, the fourth byte as given) from 0xAARRGGBB pixels.
std::vector<std::uint8_t> EncodeBmp32(int width, int height, std::span<const std::uint32_t> pixels,
                                      bool topDown = false);

}  // namespace plat
