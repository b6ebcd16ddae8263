#include "graphics/BlurMosaic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "DrawLayerTestSupport.h"

namespace {

using drawtest::cTestLayer;
using drawtest::eRoad;
using drawtest::PixelAt;
using drawtest::Rgb;
using drawtest::kUntouched;


class EffectRoadTest : public testing::TestWithParam<eRoad> {
 protected:
  void SetUp() override { ASSERT_TRUE(m_Layer.Started()); }

  std::uint32_t Transparent() const { return m_Layer.TransparentPixel(); }
  // What an averaged or sampled colour becomes when written over kUntouched.
  std::uint32_t Written(std::uint32_t rgb) const {
    return (m_Layer.D3D() ? 0xFF000000u : kUntouched & 0xFF000000u) | (rgb & 0x00FFFFFFu);
  }

  cTestLayer m_Layer{GetParam(), 96, 64};
};

// A picture of pseudo-random opaque colours, some pixels transparent.
void PaintNoise(DDSURFACEDATA& sd, std::uint32_t transparent, int everyNth, std::uint32_t seed) {
  plat::cPixelSurface& px = drawtest::PixelsOf(sd);
  std::uint32_t state = seed;
  for (int y = 0; y < px.Height(); ++y) {
    for (int x = 0; x < px.Width(); ++x) {
      state = state * 214013u + 2531011u;
      const std::uint32_t colour = 0xFF000000u | (state >> 8 & 0xFFFFFFu);
      px.SetPixel(x, y, everyNth > 0 && (state >> 28) % everyNth == 0 ? transparent : colour);
    }
  }
}

// The blur as its definition reads: every box summed cell by cell.
void ReferenceBlur(const plat::cPixelSurface& src, plat::cPixelSurface& dst, int x, int y, int w, int h, int rx,
                   int ry, int sx, int sy, bool keyed, bool d3d, std::uint32_t key) {
  const auto cell = [&](int j, int k, std::uint32_t& p) {
    if (sx + k < 0 || sy + j < 0 || sx + k >= src.Width() || sy + j >= src.Height()) return false;
    p = src.GetPixel(sx + k, sy + j);
    if (!keyed) return true;
    return d3d ? (p >> 24) != 0 : p != key;
  };
  const plat::cPixelSurface before = dst.Clone();
  for (int j = 0; j < h; ++j) {
    for (int k = 0; k < w; ++k) {
      std::uint32_t centre = 0;
      if (!cell(j, k, centre)) continue;
      std::uint64_t r = 0, g = 0, b = 0, n = 0;
      for (int jj = std::max(0, j - ry); jj < std::min(h, j + ry); ++jj) {
        for (int kk = std::max(0, k - rx); kk < std::min(w, k + rx); ++kk) {
          std::uint32_t p = 0;
          if (!cell(jj, kk, p)) continue;
          r += p >> 16 & 0xFF;
          g += p >> 8 & 0xFF;
          b += p & 0xFF;
          ++n;
        }
      }
      if (n == 0 || !dst.Contains(x + k, y + j)) continue;
      const std::uint32_t rgb = static_cast<std::uint32_t>(r / n << 16 | g / n << 8 | b / n);
      const std::uint32_t old = before.GetPixel(x + k, y + j);
      dst.SetPixel(x + k, y + j, (d3d ? 0xFF000000u : old & 0xFF000000u) | rgb);
    }
  }
}

using BlurTest = EffectRoadTest;

TEST_P(BlurTest, RadiusOneSpreadsAPixelRightAndDownOnly) {
  DDSURFACEDATA src, dst;
  drawtest::MakeFilledSurface(src, 12, 12, 0xFF000000u);
  drawtest::PixelsOf(src).SetPixel(5, 5, 0xFFFFFFFFu);
  drawtest::MakeFilledSurface(dst, 12, 12, kUntouched);
  ASSERT_TRUE(DDBlur(&dst, 0, 0, 12, 12, 1, 1, &src, 0, 0, 0));
  for (int y = 4; y <= 7; ++y) {
    for (int x = 4; x <= 7; ++x) {
      const bool reached = x >= 5 && x <= 6 && y >= 5 && y <= 6;
      EXPECT_EQ(PixelAt(dst, x, y), Written(reached ? 0x3F3F3Fu : 0)) << x << "," << y;
    }
  }
}

TEST_P(BlurTest, TheTopLeftPixelAveragesOnlyCellsInsideTheRectangle) {
  DDSURFACEDATA src, dst;
  drawtest::MakeFilledSurface(src, 8, 8, 0xFF000000u);
  // Rectangle (2, 2) 4 x 4: its cells (0..1, 0..1) are 40, 80, 120, 160 in
  // red; the cells outside it are bright and must not count.
  drawtest::FillAll(src, 0xFFFFFFFFu);
  drawtest::PixelsOf(src).SetPixel(2, 2, 0xFF280000u);
  drawtest::PixelsOf(src).SetPixel(3, 2, 0xFF500000u);
  drawtest::PixelsOf(src).SetPixel(2, 3, 0xFF780000u);
  drawtest::PixelsOf(src).SetPixel(3, 3, 0xFFA00000u);
  drawtest::MakeFilledSurface(dst, 8, 8, kUntouched);
  ASSERT_TRUE(DDBlur(&dst, 0, 0, 4, 4, 2, 2, &src, 2, 2, 0));
  EXPECT_EQ(PixelAt(dst, 0, 0), Written(0x640000u));  // (40 + 80 + 120 + 160) / 4
}

// Transparent cells neither change nor count: a keyed hole stays as it was,
// and its colour (the key, or a keyed-out texel) never leaks into the
// neighbours.
TEST_P(BlurTest, KeyedCellsStayAndAreLeftOutOfEveryBox) {
  DDSURFACEDATA src, dst;
  drawtest::MakeFilledSurface(src, 4, 1, 0xFF646464u);
  drawtest::PixelsOf(src).SetPixel(1, 0, Transparent());
  drawtest::MakeFilledSurface(dst, 4, 1, kUntouched);
  ASSERT_TRUE(DDBlur(&dst, 0, 0, 4, 1, 2, 1, &src, 0, 0, 1));
  EXPECT_EQ(PixelAt(dst, 1, 0), kUntouched);
  for (int x : {0, 2, 3}) EXPECT_EQ(PixelAt(dst, x, 0), Written(0x646464u)) << x;
}

TEST_P(BlurTest, RadiiOfZeroOrBelowChangeNothing) {
  DDSURFACEDATA src, dst, released;
  drawtest::MakeFilledSurface(src, 4, 4, 0xFF646464u);
  drawtest::MakeFilledSurface(dst, 4, 4, kUntouched);
  drawtest::MakeFilledSurface(released, 4, 4, 0);
  DDReleaseSurface(&released);
  EXPECT_TRUE(DDBlur(&dst, 0, 0, 4, 4, 0, 3, &released, 0, 0, 0));  // before any lock
  EXPECT_TRUE(DDBlur(&dst, 0, 0, 4, 4, -2, 3, &src, 0, 0, 0));
  EXPECT_TRUE(DDBlur(&dst, 0, 0, 4, 4, 2, -1, &src, 0, 0, 1));
  EXPECT_FALSE(DDBlur(&dst, 0, 0, 4, 4, 1, 1, &released, 0, 0, 0));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelAt(dst, x, y), kUntouched);
}

// The running sums give exactly the boxes of the definition, for small and
// large, even and uneven radii, keyed or not, with rectangles that run off
// either surface.
TEST_P(BlurTest, EqualsTheBoxAverageCellByCell) {
  struct sCase {
    int x, y, w, h, rx, ry, sx, sy;
    bool keyed;
  };
  const sCase cases[] = {
      {0, 0, 40, 30, 1, 1, 0, 0, false},     {3, 2, 40, 30, 2, 3, 5, 4, true},
      {0, 0, 40, 30, 16, 16, 0, 0, false},   {-5, -3, 50, 40, 3, 1, 0, 0, true},
      {60, 40, 50, 40, 40, 2, -7, -2, false}, {0, 0, 37, 23, 1000, 7, 10, 20, true},
      {10, 10, 1, 1, 2, 2, 3, 3, false},
  };
  DDSURFACEDATA src, expected;
  drawtest::MakeFilledSurface(src, 48, 36, 0, 0, DTMEMORYTYPE_SYSTEM);
  drawtest::MakeFilledSurface(expected, 96, 64, 0, 0, DTMEMORYTYPE_SYSTEM);
  std::uint32_t seed = 7;
  for (const sCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "rect " << c.x << "," << c.y << " " << c.w << "x" << c.h << " radii " << c.rx
                                    << "," << c.ry << " from " << c.sx << "," << c.sy << (c.keyed ? " keyed" : ""));
    PaintNoise(src, Transparent(), c.keyed ? 5 : 0, ++seed);
    PaintNoise(BackBuffer, Transparent(), 0, ++seed);
    plat::cPixelSurface& want = drawtest::PixelsOf(expected);
    want = drawtest::PixelsOf(BackBuffer).Clone();
    ReferenceBlur(drawtest::PixelsOf(src), want, c.x, c.y, c.w, c.h, c.rx, c.ry, c.sx, c.sy, c.keyed, m_Layer.D3D(),
                  g_DrawLayer.dwColorKey);
    ASSERT_TRUE(DDBlur(&BackBuffer, c.x, c.y, c.w, c.h, c.rx, c.ry, &src, c.sx, c.sy, c.keyed ? 1 : 0));
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 96; ++x) ASSERT_EQ(PixelAt(BackBuffer, x, y), want.GetPixel(x, y)) << x << "," << y;
  }
}

INSTANTIATE_TEST_SUITE_P(Roads, BlurTest, testing::Values(eRoad::Direct3D, eRoad::DirectDraw), drawtest::RoadName);

using MosaicTest = EffectRoadTest;

// A colour for every pixel of a 640 x 480 picture.
std::uint32_t Distinct(int x, int y) {
  return 0xFF000000u | static_cast<std::uint32_t>(x) << 12 | static_cast<std::uint32_t>(y);
}

TEST(MosaicScreenTest, BlocksOfSevenOverTheScreen) {
  cTestLayer layer(eRoad::Direct3D, 640, 480);
  ASSERT_TRUE(layer.Started());
  DDSURFACEDATA work;
  drawtest::MakeFilledSurface(work, 640, 480, 0);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) drawtest::PixelsOf(work).SetPixel(x, y, Distinct(x, y));
  ASSERT_TRUE(DDMosaic(&BackBuffer, 0, 0, 640, 480, 7, &work, 0, 0, 0));
  // 92 block columns, the last (637..639) 3 wide; 69 block rows, the last
  // (476..479) 4 high; each block its top-left pixel.
  EXPECT_EQ(PixelAt(BackBuffer, 636, 0), Distinct(630, 0));
  EXPECT_EQ(PixelAt(BackBuffer, 637, 0), Distinct(637, 0));
  EXPECT_EQ(PixelAt(BackBuffer, 639, 479), Distinct(637, 476));
  EXPECT_EQ(PixelAt(BackBuffer, 0, 475), Distinct(0, 469));
  EXPECT_EQ(PixelAt(BackBuffer, 13, 13), Distinct(7, 7));
}

TEST_P(MosaicTest, SampledUnderDirect3DAveragedUnderDirectDraw) {
  DDSURFACEDATA src, dst;
  drawtest::MakeFilledSurface(src, 4, 2, 0xFF000000u);
  // Block 0 (2 x 2): red 10, 20, 30, 40 at its cells; block 1 is one grey.
  drawtest::PixelsOf(src).SetPixel(0, 0, 0xFF0A0000u);
  drawtest::PixelsOf(src).SetPixel(1, 0, 0xFF140000u);
  drawtest::PixelsOf(src).SetPixel(0, 1, 0xFF1E0000u);
  drawtest::PixelsOf(src).SetPixel(1, 1, 0xFF280000u);
  for (int y = 0; y < 2; ++y)
    for (int x = 2; x < 4; ++x) drawtest::PixelsOf(src).SetPixel(x, y, 0xFF808080u);
  drawtest::MakeFilledSurface(dst, 6, 4, kUntouched);
  ASSERT_TRUE(DDMosaic(&dst, 1, 1, 4, 2, 2, &src, 0, 0, 0));
  const std::uint32_t first = m_Layer.D3D() ? 0x0A0000u : 0x190000u;  // top-left, or (10 + 20 + 30 + 40) / 4
  for (int y = 1; y <= 2; ++y) {
    for (int x = 1; x <= 2; ++x) EXPECT_EQ(PixelAt(dst, x, y), Written(first)) << x << "," << y;
    for (int x = 3; x <= 4; ++x) EXPECT_EQ(PixelAt(dst, x, y), Written(0x808080u)) << x << "," << y;
  }
  EXPECT_EQ(PixelAt(dst, 0, 0), kUntouched);
  EXPECT_EQ(PixelAt(dst, 5, 3), kUntouched);
}

TEST_P(MosaicTest, KeyedBlocks) {
  DDSURFACEDATA src, dst;
  drawtest::MakeFilledSurface(src, 4, 2, 0xFF808080u);
  // Block 0: only its top-left pixel is transparent. Block 1: all but its
  // top-left pixel.
  drawtest::PixelsOf(src).SetPixel(0, 0, Transparent());
  drawtest::PixelsOf(src).SetPixel(3, 0, Transparent());
  drawtest::PixelsOf(src).SetPixel(2, 1, Transparent());
  drawtest::PixelsOf(src).SetPixel(3, 1, Transparent());
  drawtest::MakeFilledSurface(dst, 4, 2, kUntouched);
  ASSERT_TRUE(DDMosaic(&dst, 0, 0, 4, 2, 2, &src, 0, 0, 1));
  // Direct3D samples the top-left: block 0 stays, block 1 is drawn whole.
  // DirectDraw averages the counted pixels: both blocks are grey.
  EXPECT_EQ(PixelAt(dst, 1, 1), m_Layer.D3D() ? kUntouched : Written(0x808080u));
  EXPECT_EQ(PixelAt(dst, 3, 1), Written(0x808080u));
}

TEST_P(MosaicTest, BlockSizeOneCopiesAndZeroOrBelowDrawsNothing) {
  DDSURFACEDATA src, dst;
  drawtest::MakeMarkedSurface(src, 6, 6);
  drawtest::MakeFilledSurface(dst, 6, 6, kUntouched);
  EXPECT_TRUE(DDMosaic(&dst, 0, 0, 6, 6, 0, &src, 0, 0, 0));
  EXPECT_TRUE(DDMosaic(&dst, 0, 0, 6, 6, -3, &src, 0, 0, 0));
  EXPECT_EQ(PixelAt(dst, 2, 2), kUntouched);
  EXPECT_TRUE(DDMosaic(&dst, -1, 0, 6, 6, 1, &src, 0, 1, 0));
  EXPECT_EQ(PixelAt(dst, 0, 0), Written(drawtest::Marker(1, 1)));
  EXPECT_EQ(PixelAt(dst, 4, 4), Written(drawtest::Marker(5, 5)));
  EXPECT_EQ(PixelAt(dst, 4, 5), kUntouched);  // its source row lies past the sheet
}

// The DirectDraw average that happens to be the key colour is not drawn.
TEST(MosaicDirectDrawTest, AnAverageEqualToTheKeyIsNotDrawn) {
  cTestLayer layer(eRoad::DirectDraw);
  ASSERT_TRUE(layer.Started());
  DDSURFACEDATA src, dst;
  // 0xFF00FF (not the key: its fourth byte differs) and 0xFF01FF average to
  // the key 0xFF00FF.
  drawtest::MakeFilledSurface(src, 2, 1, 0x01FF00FFu);
  drawtest::PixelsOf(src).SetPixel(1, 0, 0x00FF01FFu);
  drawtest::MakeFilledSurface(dst, 2, 1, kUntouched);
  ASSERT_TRUE(DDMosaic(&dst, 0, 0, 2, 1, 2, &src, 0, 0, 1));
  EXPECT_EQ(PixelAt(dst, 0, 0), kUntouched);
  ASSERT_TRUE(DDMosaic(&dst, 0, 0, 2, 1, 2, &src, 0, 0, 0));
  EXPECT_EQ(PixelAt(dst, 0, 0), (kUntouched & 0xFF000000u) | 0xFF00FFu);
}

INSTANTIATE_TEST_SUITE_P(Roads, MosaicTest, testing::Values(eRoad::Direct3D, eRoad::DirectDraw), drawtest::RoadName);

TEST(EightBitMosaicTest, SamplesTheTopLeftIndexAndKeysIt) {
  cTestLayer layer(eRoad::DirectDraw, 64, 48, /*fullScreen=*/true, /*bpp=*/8);
  ASSERT_TRUE(layer.Started());
  g_DrawLayer.dwColorKey = 3;
  DDSURFACEDATA src, dst;
  ASSERT_TRUE(DDCreateSurface(&src, 4, 2, 0, 0, 0, 0, 0));
  ASSERT_TRUE(DDCreateSurface(&dst, 4, 2, 0, 0, 0, 0, 0));
  drawtest::FillAll(src, 9);
  drawtest::PixelsOf(src).SetPixel(0, 0, 3);
  drawtest::PixelsOf(src).SetPixel(2, 0, 7);
  drawtest::FillAll(dst, 1);
  ASSERT_TRUE(DDMosaic(&dst, 0, 0, 4, 2, 2, &src, 0, 0, 1));
  EXPECT_EQ(PixelAt(dst, 1, 1), 1u);  // the key at the top-left keeps the block
  EXPECT_EQ(PixelAt(dst, 3, 1), 7u);
}

TEST(EightBitBlurTest, EightBitsCannotBeBlurred) {
  cTestLayer layer(eRoad::DirectDraw, 64, 48, /*fullScreen=*/true, /*bpp=*/8);
  ASSERT_TRUE(layer.Started());
  DDSURFACEDATA src, dst;
  ASSERT_TRUE(DDCreateSurface(&src, 4, 4, 0, 0, 0, 0, 0));
  ASSERT_TRUE(DDCreateSurface(&dst, 4, 4, 0, 0, 0, 0, 0));
  drawtest::FillAll(src, 9);
  drawtest::FillAll(dst, 1);
  EXPECT_TRUE(DDBlur(&dst, 0, 0, 4, 4, 1, 1, &src, 0, 0, 0));
  EXPECT_EQ(PixelAt(dst, 2, 2), 1u);
}

}  // namespace
