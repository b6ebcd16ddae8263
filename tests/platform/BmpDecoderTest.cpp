#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/BmpDecoder.h"
#include "platform/PathResolver.h"

namespace {

using plat::sBmpImage;
using plat::sPaletteEntry;
using Bytes = std::vector<std::uint8_t>;

// Builds bitmap files byte by byte, so that tests can write every header
// form and every kind of damage.
struct cBmpBuilder {
  std::uint32_t headerSize = 40;
  std::int32_t width = 1;
  std::int32_t height = 1;
  std::uint16_t bpp = 8;
  std::uint32_t compression = 0;
  std::uint32_t colourCount = 0;        // the header's field
  std::vector<sPaletteEntry> palette;   // entries written (4 bytes each, 3 for a core header)
  std::vector<std::uint32_t> masks;     // written after a 40-byte header, or inside a larger one
  Bytes pixels;                         // the pixel data as stored
  std::int64_t pixelOffsetOverride = -1;

  Bytes Build() const {
    // Room for every field even when a damaged header claims to be shorter.
    Bytes out(14 + std::max<std::uint32_t>(headerSize, 40), 0);
    auto put16 = [&](std::size_t at, std::uint32_t v) {
      out[at] = static_cast<std::uint8_t>(v);
      out[at + 1] = static_cast<std::uint8_t>(v >> 8);
    };
    auto put32 = [&](std::size_t at, std::uint32_t v) {
      for (int k = 0; k < 4; ++k) out[at + k] = static_cast<std::uint8_t>(v >> (8 * k));
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(14, headerSize);
    if (headerSize == 12) {
      put16(18, static_cast<std::uint32_t>(width));
      put16(20, static_cast<std::uint32_t>(height));
      put16(22, 1);
      put16(24, bpp);
    } else {
      put32(18, static_cast<std::uint32_t>(width));
      put32(22, static_cast<std::uint32_t>(height));
      put16(26, 1);
      put16(28, bpp);
      put32(30, compression);
      put32(34, static_cast<std::uint32_t>(pixels.size()));
      put32(46, colourCount);
      if (headerSize >= 52) {
        for (std::size_t c = 0; c < masks.size() && c < 3; ++c) put32(54 + 4 * c, masks[c]);
      }
    }
    out.resize(14 + headerSize);
    if (headerSize == 40) {
      for (std::uint32_t m : masks) {
        for (int k = 0; k < 4; ++k) out.push_back(static_cast<std::uint8_t>(m >> (8 * k)));
      }
    }
    for (const sPaletteEntry& e : palette) {
      out.push_back(e.blue);
      out.push_back(e.green);
      out.push_back(e.red);
      if (headerSize != 12) out.push_back(0);
    }
    const std::size_t offset = pixelOffsetOverride >= 0 ? static_cast<std::size_t>(pixelOffsetOverride) : out.size();
    put32(10, static_cast<std::uint32_t>(offset));
    out.insert(out.end(), pixels.begin(), pixels.end());
    put32(2, static_cast<std::uint32_t>(out.size()));
    return out;
  }
};

std::vector<sPaletteEntry> GreyPalette(int count) {
  std::vector<sPaletteEntry> p;
  for (int i = 0; i < count; ++i) {
    const auto v = static_cast<std::uint8_t>(i * 255 / std::max(1, count - 1));
    p.push_back({v, static_cast<std::uint8_t>(255 - v), static_cast<std::uint8_t>(i), 0});
  }
  return p;
}

std::uint32_t Rgb(const sPaletteEntry& e) { return std::uint32_t{e.red} << 16 | std::uint32_t{e.green} << 8 | e.blue; }

// ---------------------------------------------------------------------------
// Depths

TEST(BmpDecoderTest, WriterRoundTripsEightTwentyFourAndThirtyTwoBits) {
  const int w = 5, h = 3;  // odd width: rows need padding at 8 and 24 bits
  std::vector<std::uint32_t> pixels;
  std::vector<std::uint8_t> indices;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      pixels.push_back(0x00000000u | static_cast<std::uint32_t>(x * 40) << 16 | static_cast<std::uint32_t>(y * 70) << 8 | 7);
      indices.push_back(static_cast<std::uint8_t>(y * w + x));
    }
  const std::vector<sPaletteEntry> palette = GreyPalette(16);
  for (bool topDown : {false, true}) {
    struct Case {
      int bpp;
      Bytes file;
    };
    const Case cases[] = {{8, plat::EncodeBmp8(w, h, indices, palette, topDown)},
                          {24, plat::EncodeBmp24(w, h, pixels, topDown)},
                          {32, plat::EncodeBmp32(w, h, pixels, topDown)}};
    for (const Case& c : cases) {
      sBmpImage image;
      std::string error;
      ASSERT_TRUE(plat::DecodeBmp(c.file, image, &error)) << c.bpp << ": " << error;
      EXPECT_EQ(image.width, w);
      EXPECT_EQ(image.height, h);
      EXPECT_EQ(image.bitsPerPixel, c.bpp);
      EXPECT_EQ(image.topDown, topDown);
      for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
          const std::size_t i = static_cast<std::size_t>(y * w + x);
          if (c.bpp == 8) {
            EXPECT_EQ(image.IndexAt(x, y), indices[i]);
            EXPECT_EQ(image.RgbAt(x, y), Rgb(palette[indices[i]]));
          } else {
            EXPECT_EQ(image.RgbAt(x, y), pixels[i]) << c.bpp << " at " << x << "," << y;
          }
        }
      }
      if (c.bpp == 8) {
        ASSERT_EQ(image.palette.size(), 16u);  // the colour table is kept as the file has it
        EXPECT_EQ(image.palette[3].red, palette[3].red);
        EXPECT_EQ(image.palette[3].green, palette[3].green);
        EXPECT_EQ(image.palette[3].blue, palette[3].blue);
      } else {
        EXPECT_TRUE(image.indices.empty());
      }
    }
  }
}

TEST(BmpDecoderTest, OneAndFourBitRowsUnpackHighBitsFirst) {
  cBmpBuilder one;
  one.width = 10;
  one.height = 2;
  one.bpp = 1;
  one.palette = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  // Bottom row first; each row is 4 bytes.
  one.pixels = {0b10100000, 0b01000000, 0, 0,   // row 1 (bottom): x0, x2, x9
                0b00000001, 0b10000000, 0, 0};  // row 0 (top): x7, x8
  sBmpImage image;
  std::string error;
  ASSERT_TRUE(plat::DecodeBmp(one.Build(), image, &error)) << error;
  const std::vector<int> bottom = {1, 0, 1, 0, 0, 0, 0, 0, 0, 1};
  const std::vector<int> top = {0, 0, 0, 0, 0, 0, 0, 1, 1, 0};
  for (int x = 0; x < 10; ++x) {
    EXPECT_EQ(image.IndexAt(x, 1), bottom[x]) << x;
    EXPECT_EQ(image.IndexAt(x, 0), top[x]) << x;
  }
  EXPECT_EQ(image.RgbAt(0, 1), 0xFFFFFFu);

  cBmpBuilder four;
  four.width = 3;
  four.height = 1;
  four.bpp = 4;
  four.palette = GreyPalette(16);
  four.pixels = {0xA5, 0xF0, 0, 0};
  ASSERT_TRUE(plat::DecodeBmp(four.Build(), image, &error)) << error;
  EXPECT_EQ(image.IndexAt(0, 0), 0xA);
  EXPECT_EQ(image.IndexAt(1, 0), 0x5);
  EXPECT_EQ(image.IndexAt(2, 0), 0xF);
}

TEST(BmpDecoderTest, SixteenBitsDefaultAndBitFields) {
  struct Case {
    const char* name;
    std::uint32_t headerSize;
    std::uint32_t compression;
    std::vector<std::uint32_t> masks;
    std::uint16_t pixel;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {"555 default", 40, 0, {}, 0x7C00, 0xFF0000},
      {"555 default green", 40, 0, {}, 0x03E0, 0x00FF00},
      {"565 bit fields after the header", 40, 3, {0xF800, 0x07E0, 0x001F}, 0x07E0, 0x00FF00},
      {"565 half red", 40, 3, {0xF800, 0x07E0, 0x001F}, 0x8000, 0x840000},  // 16/31 of 255
      {"565 in a V4 header", 108, 3, {0xF800, 0x07E0, 0x001F}, 0x001F, 0x0000FF},
  };
  for (const Case& c : cases) {
    cBmpBuilder b;
    b.headerSize = c.headerSize;
    b.bpp = 16;
    b.compression = c.compression;
    b.masks = c.masks;
    b.pixels = {static_cast<std::uint8_t>(c.pixel), static_cast<std::uint8_t>(c.pixel >> 8), 0, 0};
    sBmpImage image;
    std::string error;
    ASSERT_TRUE(plat::DecodeBmp(b.Build(), image, &error)) << c.name << ": " << error;
    EXPECT_EQ(image.RgbAt(0, 0), c.expected) << c.name;
  }
}

TEST(BmpDecoderTest, CoreHeaderWithThreeByteColourTable) {
  cBmpBuilder b;
  b.headerSize = 12;
  b.width = 2;
  b.height = 1;
  b.bpp = 8;
  b.palette = {{1, 2, 3, 0}, {10, 20, 30, 0}};
  b.pixels = {1, 0, 0, 0};
  sBmpImage image;
  std::string error;
  ASSERT_TRUE(plat::DecodeBmp(b.Build(), image, &error)) << error;
  EXPECT_EQ(image.palette.size(), 2u);
  EXPECT_EQ(image.RgbAt(0, 0), 0x0A141Eu);
  EXPECT_EQ(image.RgbAt(1, 0), 0x010203u);
}

// ---------------------------------------------------------------------------
// RLE

TEST(BmpDecoderTest, Rle8RunsLiteralsSkipsAndLineEnds) {
  cBmpBuilder b;
  b.width = 6;
  b.height = 3;
  b.compression = 1;
  b.palette = GreyPalette(256);
  b.pixels = {
      3, 7,              // bottom row: 7 7 7
      0, 3, 1, 2, 3, 0,  // literal 1 2 3, padded to an even count
      0, 0,              // end of row
      0, 2, 2, 1,        // skip 2 right, 1 up: to the top row, x = 2
      2, 9,              // 9 9
      0, 1,              // end of bitmap
  };
  sBmpImage image;
  std::string error;
  ASSERT_TRUE(plat::DecodeBmp(b.Build(), image, &error)) << error;
  const std::vector<std::vector<int>> expected = {
      {0, 0, 9, 9, 0, 0},  // top
      {0, 0, 0, 0, 0, 0},  // middle: skipped
      {7, 7, 7, 1, 2, 3},  // bottom
  };
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(image.IndexAt(x, y), expected[y][x]) << x << "," << y;
  EXPECT_EQ(image.RgbAt(2, 0), Rgb(b.palette[9]));
}

TEST(BmpDecoderTest, Rle4AlternatesNibbles) {
  cBmpBuilder b;
  b.width = 7;
  b.height = 1;
  b.bpp = 4;
  b.compression = 2;
  b.palette = GreyPalette(16);
  b.pixels = {
      3, 0x12,             // 1 2 1
      0, 4, 0x34, 0x56,    // literal 3 4 5 6
      0, 1,
  };
  sBmpImage image;
  std::string error;
  ASSERT_TRUE(plat::DecodeBmp(b.Build(), image, &error)) << error;
  const int expected[7] = {1, 2, 1, 3, 4, 5, 6};
  for (int x = 0; x < 7; ++x) EXPECT_EQ(image.IndexAt(x, 0), expected[x]) << x;
}

// ---------------------------------------------------------------------------
// Malformed files

cBmpBuilder ValidEightBit() {
  cBmpBuilder b;
  b.width = 4;
  b.height = 2;
  b.palette = GreyPalette(4);
  b.colourCount = 4;
  b.pixels = Bytes(8, 1);
  return b;
}

cBmpBuilder ValidRle8() {
  cBmpBuilder b;
  b.width = 4;
  b.height = 2;
  b.compression = 1;
  b.palette = GreyPalette(4);
  b.colourCount = 4;
  b.pixels = {4, 1, 0, 0, 0, 2, 1, 2, 3, 4, 0, 1};
  return b;
}

TEST(BmpDecoderTest, MalformedFilesAreRefusedWithAReason) {
  struct Case {
    const char* name;
    Bytes file;
    const char* reasonPart;
  };
  auto with = [](cBmpBuilder b, auto change) {
    change(b);
    return b.Build();
  };
  const Case cases[] = {
      {"empty", {}, "too short"},
      {"not BM", [] {
         Bytes f = ValidEightBit().Build();
         f[0] = 'X';
         return f;
       }(), "signature"},
      {"truncated pixels", [] {
         Bytes f = ValidEightBit().Build();
         f.resize(f.size() - 5);
         return f;
       }(), "truncated"},
      {"huge width", with(ValidEightBit(), [](cBmpBuilder& b) { b.width = 100000; }), "too large"},
      {"huge height", with(ValidEightBit(), [](cBmpBuilder& b) { b.height = -20000; }), "too large"},
      {"too many pixels", with(ValidEightBit(), [](cBmpBuilder& b) { b.width = 16384; b.height = 16384; }), "too large"},
      {"zero width", with(ValidEightBit(), [](cBmpBuilder& b) { b.width = 0; }), "width"},
      {"negative width", with(ValidEightBit(), [](cBmpBuilder& b) { b.width = -4; }), "width"},
      {"zero height", with(ValidEightBit(), [](cBmpBuilder& b) { b.height = 0; }), "height"},
      {"depth 2", with(ValidEightBit(), [](cBmpBuilder& b) { b.bpp = 2; }), "depth"},
      {"header size 20", with(ValidEightBit(), [](cBmpBuilder& b) { b.headerSize = 20; }), "header size"},
      {"colour count too large", with(ValidEightBit(), [](cBmpBuilder& b) { b.colourCount = 1000; }), "colour count"},
      {"colour table cut off", [] {
         cBmpBuilder b = ValidEightBit();
         b.colourCount = 256;  // claims 256 entries, has 4 and 8 pixel bytes
         return b.Build();
       }(), "colour table"},
      {"offset beyond the end", with(ValidEightBit(), [](cBmpBuilder& b) { b.pixelOffsetOverride = 5000; }), "beyond"},
      {"offset into the headers", with(ValidEightBit(), [](cBmpBuilder& b) { b.pixelOffsetOverride = 20; }), "headers"},
      {"unknown compression", with(ValidEightBit(), [](cBmpBuilder& b) { b.compression = 4; }), "compression"},
      {"RLE8 at 4 bits", with(ValidRle8(), [](cBmpBuilder& b) { b.bpp = 4; b.colourCount = 0; }), "RLE8"},
      {"RLE top-down", with(ValidRle8(), [](cBmpBuilder& b) { b.height = -2; }), "top-down"},
      {"RLE run past the row", with(ValidRle8(), [](cBmpBuilder& b) { b.pixels[0] = 5; }), "past the end"},
      {"RLE literal past the row", with(ValidRle8(), [](cBmpBuilder& b) { b.pixels = {0, 5, 1, 2, 3, 4, 5, 0, 0, 1}; }), "past the end"},
      {"RLE literal past the data", with(ValidRle8(), [](cBmpBuilder& b) { b.pixels = {0, 4, 1, 2}; }), "literal"},
      {"RLE skip outside", with(ValidRle8(), [](cBmpBuilder& b) { b.pixels = {0, 2, 9, 0, 0, 1}; }), "skip"},
      {"RLE skip above", with(ValidRle8(), [](cBmpBuilder& b) { b.pixels = {0, 2, 1, 5, 0, 1}; }), "skip"},
      {"RLE rows above the picture", with(ValidRle8(), [](cBmpBuilder& b) { b.pixels = {0, 0, 0, 0, 1, 1, 0, 1}; }), "above"},
      {"RLE without end mark", with(ValidRle8(), [](cBmpBuilder& b) { b.pixels = {4, 1, 0, 0}; }), "end-of-bitmap"},
      {"bit-field mask too wide", with(cBmpBuilder{}, [](cBmpBuilder& b) {
         b.bpp = 16;
         b.compression = 3;
         b.masks = {0x1F0000, 0x7E0, 0x1F};
         b.pixels = Bytes(4, 0);
       }), "mask"},
  };
  for (const Case& c : cases) {
    sBmpImage image;
    image.width = 77;  // untouched on failure
    std::string error;
    EXPECT_FALSE(plat::DecodeBmp(c.file, image, &error)) << c.name;
    EXPECT_NE(error.find(c.reasonPart), std::string::npos) << c.name << ": \"" << error << "\"";
    EXPECT_EQ(image.width, 77) << c.name;
  }
}

// Every shorter prefix of a valid file is refused (or, for the last row's
// padding alone, decoded) without reading outside the buffer; run under
// AddressSanitizer this catches any read past the end.
TEST(BmpDecoderTest, TruncationSweepNeverReadsPastTheEnd) {
  // 24-bit rows are read four bytes at a time but for their last pixel:
  // widths 1 and 2 end the file right after that pixel's three bytes.
  const Bytes files[] = {ValidEightBit().Build(), ValidRle8().Build(),
                         plat::EncodeBmp24(3, 3, std::vector<std::uint32_t>(9, 0x123456)),
                         plat::EncodeBmp24(1, 2, std::vector<std::uint32_t>(2, 0x123456)),
                         plat::EncodeBmp24(2, 2, std::vector<std::uint32_t>(4, 0x123456))};
  for (const Bytes& file : files) {
    for (std::size_t size = 0; size < file.size(); ++size) {
      // A copy of exactly `size` bytes, so a read past it is a heap overflow.
      const Bytes prefix(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
      sBmpImage image;
      std::string error;
      if (!plat::DecodeBmp(prefix, image, &error)) {
        EXPECT_FALSE(error.empty()) << "prefix " << size;
      } else {
        // Only the unpadded end of the last row may be missing.
        EXPECT_GE(size, file.size() - 3) << "prefix " << size << " of " << file.size() << " decoded";
      }
    }
  }
}

// ---------------------------------------------------------------------------
// Files

TEST(BmpDecoderTest, LoadsThroughTheProgramPathAndWritesAtomically) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("kestrova_bmp_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder / "bmp" / "plt");
  const std::string native = (folder / "bmp" / "plt" / "Palette.bmp").string();
  const Bytes file = plat::EncodeBmp8(2, 1, std::vector<std::uint8_t>{1, 0}, GreyPalette(256));
  std::string error;
  ASSERT_TRUE(plat::WriteFileAtomically(native, file, &error)) << error;
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder / "bmp" / "plt"),
                          std::filesystem::directory_iterator{}),
            1);  // no temporary file left

  sBmpImage image;
  // Program form, with the letter case of the data authored elsewhere.
  const std::string programPath = plat::ProgramPath((folder / "BMP" / "plt" / "palette.BMP").string());
  ASSERT_TRUE(plat::LoadBmpFile(programPath, image, &error)) << error;
  EXPECT_EQ(image.palette.size(), 256u);
  EXPECT_EQ(image.IndexAt(0, 0), 1);

  EXPECT_FALSE(plat::LoadBmpFile(plat::ProgramPath((folder / "missing.bmp").string()), image, &error));
  EXPECT_NE(error.find("cannot open"), std::string::npos) << error;
  EXPECT_FALSE(plat::WriteFileAtomically((folder / "no" / "such" / "x.bmp").string(), file, &error));
  std::filesystem::remove_all(folder);
}

// A file read from disk decodes to what its bytes decode to in memory, to the
// last pixel of its last row, whatever the heap held where they are read to.
TEST(BmpDecoderTest, AFileLoadsAsItsBytesDecode) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("kestrova_bmpload_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  std::vector<std::uint32_t> pixels(7 * 5);
  std::vector<std::uint8_t> indices(7 * 5);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    pixels[i] = 0x00102030u * static_cast<std::uint32_t>(i + 1) + 0x00050709u;
    indices[i] = static_cast<std::uint8_t>(255 - i * 3);
  }
  const struct {
    const char* name;
    Bytes file;
  } cases[] = {
      {"8 bits", plat::EncodeBmp8(7, 5, indices, GreyPalette(256))},
      {"24 bits", plat::EncodeBmp24(7, 5, pixels)},
      {"32 bits, top down", plat::EncodeBmp32(7, 5, pixels, true)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::filesystem::path native = folder / "picture.bmp";
    std::string error;
    ASSERT_TRUE(plat::WriteFileAtomically(native.string(), c.file, &error)) << error;
    sBmpImage expected;
    ASSERT_TRUE(plat::DecodeBmp(c.file, expected, &error)) << error;
    {
      // Memory of the file's size, written and freed, for the load to reuse.
      std::unique_ptr<std::uint8_t[]> earlier(new std::uint8_t[c.file.size()]);
      std::memset(earlier.get(), 0xA5, c.file.size());
      asm volatile("" : : "r"(earlier.get()) : "memory");  // the writes are kept
    }
    sBmpImage loaded;
    ASSERT_TRUE(plat::LoadBmpFile(plat::ProgramPath(native.string()), loaded, &error)) << error;
    EXPECT_EQ(loaded.width, expected.width);
    EXPECT_EQ(loaded.height, expected.height);
    EXPECT_TRUE(std::equal(loaded.rgb.begin(), loaded.rgb.end(), expected.rgb.begin(), expected.rgb.end()));
    EXPECT_TRUE(std::equal(loaded.indices.begin(), loaded.indices.end(), expected.indices.begin(),
                           expected.indices.end()));
  }
  std::filesystem::remove_all(folder);
}

TEST(BmpDecoderTest, WritersRefuseBadArguments) {
  EXPECT_TRUE(plat::EncodeBmp24(2, 2, std::vector<std::uint32_t>(3, 0)).empty());
  EXPECT_TRUE(plat::EncodeBmp8(1, 1, std::vector<std::uint8_t>(1, 0), {}).empty());
  EXPECT_TRUE(plat::EncodeBmp8(1, 1, std::vector<std::uint8_t>(1, 0), GreyPalette(257)).empty());
  EXPECT_TRUE(plat::EncodeBmp32(0, 0, {}).empty());
}

}  // namespace
