// Bitmap files (bmp\*.bmp): the decoder of the drawing device.

#include <cstdlib>

#include "fuzz/FuzzSupport.h"
#include "platform/BmpDecoder.h"

// Whatever the input, decoding ends without a crash or a sanitizer report.
// A picture that decodes must be whole, and written back as 24 bits it must
// decode to the very same colours.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  plat::sBmpImage image;
  if (!plat::DecodeBmp(std::span<const std::uint8_t>(data, size), image)) return 0;
  const std::size_t pixels = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
  if (image.rgb.size() != pixels) __builtin_trap();
  if (image.bitsPerPixel <= 8 && image.indices.size() != pixels) __builtin_trap();
  const std::vector<std::uint8_t> written = plat::EncodeBmp24(image.width, image.height, image.rgb);
  plat::sBmpImage again;
  if (!plat::DecodeBmp(written, again) || again.rgb != image.rgb) __builtin_trap();
  return 0;
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  std::vector<std::vector<std::uint8_t>> seeds;
  std::vector<plat::sPaletteEntry> palette(16);
  for (int i = 0; i < 16; ++i) palette[i] = {static_cast<std::uint8_t>(i * 16), 0, static_cast<std::uint8_t>(255 - i), 0};
  const std::vector<std::uint8_t> indices = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
  const std::vector<std::uint32_t> rgb(15, 0x123456);
  seeds.push_back(plat::EncodeBmp8(5, 3, indices, palette));
  seeds.push_back(plat::EncodeBmp8(5, 3, indices, palette, /*topDown=*/true));
  seeds.push_back(plat::EncodeBmp24(5, 3, rgb));
  seeds.push_back(plat::EncodeBmp32(5, 3, rgb, /*topDown=*/true));
  // RLE8: a run, a literal, an end of row, a skip and the end mark.
  std::vector<std::uint8_t> rle = plat::EncodeBmp8(5, 2, std::vector<std::uint8_t>(10, 0), palette);
  const std::size_t offset = rle[10] | rle[11] << 8;
  rle.resize(offset);
  rle[30] = 1;  // compression: RLE8
  for (std::uint8_t b : {2, 1, 0, 3, 4, 5, 6, 0, 0, 0, 0, 2, 1, 0, 0, 1}) rle.push_back(b);
  seeds.push_back(rle);
  return seeds;
}
