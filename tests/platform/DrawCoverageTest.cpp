// Putting rendered glyphs on surfaces: blended by coverage, or written where
// the coverage is at least half, always cut to the surface.

#include <gtest/gtest.h>

#include <vector>

#include "platform/SoftwareDevice.h"

namespace {

using plat::cPixelSurface;
using plat::eCoverageMode;
using plat::ePixelDepth;

// A 3 x 2 picture: full, half and no coverage on the top row, 127, 128 and
// 255 on the bottom row.
const std::vector<std::uint8_t> kCoverage = {255, 128, 0, 127, 128, 255};

cPixelSurface Filled(int w, int h, ePixelDepth depth, std::uint32_t value) {
  cPixelSurface s;
  EXPECT_TRUE(s.Create(w, h, depth));
  plat::FillRect(s, 0, 0, w, h, value);
  return s;
}

TEST(DrawCoverage, BlendMixesTheColourByCoverage) {
  cPixelSurface s = Filled(4, 3, ePixelDepth::Argb32, 0xFF000000u);
  ASSERT_TRUE(plat::DrawCoverage(s, 1, 1, kCoverage.data(), 3, 2, 3, 0xFFFFFFFFu, eCoverageMode::Blend));
  EXPECT_EQ(0xFF000000u, s.GetPixel(0, 1));  // outside the picture
  EXPECT_EQ(0xFFFFFFFFu, s.GetPixel(1, 1));  // full coverage: the colour
  EXPECT_EQ(plat::BlendSourceAlpha(0x80FFFFFFu, 0xFF000000u), s.GetPixel(2, 1));
  EXPECT_EQ(0xFF000000u, s.GetPixel(3, 1));  // no coverage: untouched
  EXPECT_EQ(plat::BlendSourceAlpha(0x7FFFFFFFu, 0xFF000000u), s.GetPixel(1, 2));
}

TEST(DrawCoverage, ThresholdWritesTheValueFromHalfCoverageAtBothDepths) {
  for (ePixelDepth depth : {ePixelDepth::Argb32, ePixelDepth::Indexed8}) {
    cPixelSurface s = Filled(3, 2, depth, 7);
    ASSERT_TRUE(plat::DrawCoverage(s, 0, 0, kCoverage.data(), 3, 2, 3, 241, eCoverageMode::Threshold));
    const std::uint32_t expected[2][3] = {{241, 241, 7}, {7, 241, 241}};
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) EXPECT_EQ(expected[y][x], s.GetPixel(x, y)) << x << "," << y;
  }
}

TEST(DrawCoverage, PartsOffTheSurfaceAreLeftOut) {
  struct sCase {
    int x, y;
    std::vector<std::uint32_t> expected;  // the 2 x 2 surface, row by row
  };
  const sCase cases[] = {
      {-1, 0, {241, 7, 241, 241}},   // first column cut off
      {-1, -1, {241, 241, 7, 7}},    // first row and column cut off
      {1, 0, {7, 241, 7, 7}},        // runs past the right edge
      {-3, 0, {7, 7, 7, 7}},         // entirely left of the surface
      {0, 2, {7, 7, 7, 7}},          // entirely below
  };
  for (const sCase& c : cases) {
    cPixelSurface s = Filled(2, 2, ePixelDepth::Argb32, 7);
    ASSERT_TRUE(plat::DrawCoverage(s, c.x, c.y, kCoverage.data(), 3, 2, 3, 241, eCoverageMode::Threshold));
    const std::vector<std::uint32_t> got = {s.GetPixel(0, 0), s.GetPixel(1, 0), s.GetPixel(0, 1), s.GetPixel(1, 1)};
    EXPECT_EQ(c.expected, got) << c.x << "," << c.y;
  }
}

TEST(DrawCoverage, BlendIsRefusedOnIndexedSurfaces) {
  cPixelSurface s = Filled(3, 2, ePixelDepth::Indexed8, 7);
  EXPECT_FALSE(plat::DrawCoverage(s, 0, 0, kCoverage.data(), 3, 2, 3, 241, eCoverageMode::Blend));
  EXPECT_EQ(7u, s.GetPixel(0, 0));
}

}  // namespace
