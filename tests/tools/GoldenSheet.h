#pragma once
// Golden sheets: several frames of a run side by side in one bitmap, compared
// pixel by pixel with the golden one. A sheet of at most 256 colours is kept
// as an 8-bit RLE bitmap (a frame of the sample's pixel art is mostly runs of
// one colour, so it takes a few kilobytes instead of nearly a megabyte);
// a sheet with more colours as a 24-bit bitmap.
//
// A sheet that differs is written beside its golden as "actual-NAME.bmp";
// with KESTROVA_UPDATE_GOLDEN=1 the sheet becomes the golden instead.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "core/AtomicFile.h"
#include "platform/BmpDecoder.h"

namespace goldensheet {

namespace fs = std::filesystem;

// 0x00RRGGBB pixels, top row first.
struct cSheet {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> rgb;
};

inline bool ReadBitmap(const fs::path& file, plat::sBmpImage& image) {
  std::ifstream in(file, std::ios::binary);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return !bytes.empty() && plat::DecodeBmp(bytes, image);
}

// The frames (bitmaps of one size) side by side, in order.
inline bool Compose(const std::vector<fs::path>& frames, cSheet& sheet, std::string& error) {
  sheet = cSheet();
  for (std::size_t i = 0; i < frames.size(); ++i) {
    plat::sBmpImage image;
    if (!ReadBitmap(frames[i], image)) {
      error = "cannot read " + frames[i].string();
      return false;
    }
    if (i == 0) {
      sheet.width = image.width * static_cast<int>(frames.size());
      sheet.height = image.height;
      sheet.rgb.assign(static_cast<std::size_t>(sheet.width) * sheet.height, 0);
    } else if (image.height != sheet.height || image.width * static_cast<int>(frames.size()) != sheet.width) {
      error = frames[i].string() + " is not the size of the first frame";
      return false;
    }
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width; ++x)
        sheet.rgb[static_cast<std::size_t>(y) * sheet.width + i * image.width + x] = image.RgbAt(x, y) & 0xFFFFFFu;
  }
  return !frames.empty();
}

// An 8-bit RLE bitmap of the sheet, or nothing when it has more than 256
// colours. Every run is an encoded run (count, index); each row ends with
// an end-of-line mark and the bitmap with an end-of-bitmap mark.
inline std::vector<std::uint8_t> EncodeRle8(const cSheet& sheet) {
  std::map<std::uint32_t, std::uint8_t> index;
  std::vector<std::uint32_t> colours;
  for (std::uint32_t c : sheet.rgb) {
    if (index.count(c) != 0) continue;
    if (colours.size() == 256) return {};
    index[c] = static_cast<std::uint8_t>(colours.size());
    colours.push_back(c);
  }
  std::vector<std::uint8_t> data;
  for (int y = sheet.height - 1; y >= 0; --y) {
    const std::uint32_t* row = &sheet.rgb[static_cast<std::size_t>(y) * sheet.width];
    for (int x = 0; x < sheet.width;) {
      int run = 1;
      while (x + run < sheet.width && run < 255 && row[x + run] == row[x]) ++run;
      data.push_back(static_cast<std::uint8_t>(run));
      data.push_back(index[row[x]]);
      x += run;
    }
    data.push_back(0);
    data.push_back(y == 0 ? 1 : 0);
  }
  const std::uint32_t paletteBytes = static_cast<std::uint32_t>(colours.size()) * 4;
  const std::uint32_t offset = 14 + 40 + paletteBytes;
  std::vector<std::uint8_t> file;
  auto put16 = [&file](std::uint32_t v) {
    file.push_back(static_cast<std::uint8_t>(v));
    file.push_back(static_cast<std::uint8_t>(v >> 8));
  };
  auto put32 = [&put16](std::uint32_t v) {
    put16(v & 0xFFFFu);
    put16(v >> 16);
  };
  file.push_back('B');
  file.push_back('M');
  put32(offset + static_cast<std::uint32_t>(data.size()));
  put32(0);
  put32(offset);
  put32(40);
  put32(static_cast<std::uint32_t>(sheet.width));
  put32(static_cast<std::uint32_t>(sheet.height));
  put16(1);
  put16(8);
  put32(1);  // RLE8
  put32(static_cast<std::uint32_t>(data.size()));
  put32(2835);
  put32(2835);
  put32(static_cast<std::uint32_t>(colours.size()));
  put32(0);
  for (std::uint32_t c : colours) put32(c);  // blue, green, red, 0
  file.insert(file.end(), data.begin(), data.end());
  return file;
}

inline std::vector<std::uint8_t> EncodeGolden(const cSheet& sheet) {
  std::vector<std::uint8_t> rle = EncodeRle8(sheet);
  if (!rle.empty()) return rle;
  return plat::EncodeBmp24(sheet.width, sheet.height, sheet.rgb);
}

// Compares the frames, side by side, with the golden sheet `name`.bmp in
// `folder`.
inline void ExpectGoldenSheet(const std::vector<fs::path>& frames, const fs::path& folder, const std::string& name) {
  cSheet sheet;
  std::string error;
  ASSERT_TRUE(Compose(frames, sheet, error)) << error;
  const fs::path golden = folder / (name + ".bmp");
  const char* update = std::getenv("KESTROVA_UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1") {
    ASSERT_TRUE(WriteFileAtomic(golden.string(), EncodeGolden(sheet)));
    return;
  }
  plat::sBmpImage expected;
  const bool same = ReadBitmap(golden, expected) && expected.width == sheet.width && expected.height == sheet.height &&
                    std::equal(expected.rgb.begin(), expected.rgb.end(), sheet.rgb.begin(), sheet.rgb.end());
  if (same) return;
  const fs::path written = folder / ("actual-" + name + ".bmp");
  ASSERT_TRUE(WriteFileAtomic(written.string(), plat::EncodeBmp24(sheet.width, sheet.height, sheet.rgb)));
  ADD_FAILURE() << name << " differs from " << golden << "; the frames are written to " << written;
}

}  // namespace goldensheet
