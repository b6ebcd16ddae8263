#include "graphics/GeometricEffects.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>

#include "DrawLayerTestSupport.h"

namespace {

using drawtest::cTestLayer;
using drawtest::eRoad;
using drawtest::Marker;
using drawtest::PixelAt;
using drawtest::Rgb;
using drawtest::kUntouched;


class GeometricTest : public testing::TestWithParam<eRoad> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_Layer.Started());
    drawtest::FillAll(BackBuffer, kUntouched);
    drawtest::MakeMarkedSurface(m_Src, 40, 40);
  }
  void TearDown() override { EXPECT_FALSE(g_SpriteBatch.bActive); }

  // The columns of BackBuffer row y that changed, as offsets from cx, each
  // checked to show the source pixel at the same offset from the source centre.
  std::set<int> CopiedColumns(int y, int cx, int srcCX, int srcY) {
    std::set<int> columns;
    for (int x = 0; x < 64; ++x) {
      const std::uint32_t p = PixelAt(BackBuffer, x, y);
      if (p == kUntouched) continue;
      columns.insert(x - cx);
      EXPECT_EQ(Rgb(p), Rgb(Marker(srcCX + x - cx, srcY))) << "row " << y << " column " << x;
    }
    return columns;
  }
  std::set<int> Span(int first, int last) {  // [first, last]
    std::set<int> s;
    for (int i = first; i <= last; ++i) s.insert(i);
    return s;
  }

  cTestLayer m_Layer{GetParam()};
  DDSURFACEDATA m_Src;
};

using CircleWindowTest = GeometricTest;

TEST_P(CircleWindowTest, RadiusOneIsEmptyAndRadiusTwoCopiesThreeRowsOfTwo) {
  EXPECT_TRUE(DDCircleWindow(&BackBuffer, 30, 20, 100, 100, 1, 1, &m_Src, 10, 12, 0));
  for (int y = 17; y <= 22; ++y) EXPECT_TRUE(CopiedColumns(y, 30, 10, 12 + y - 20).empty()) << y;

  EXPECT_TRUE(DDCircleWindow(&BackBuffer, 30, 20, 100, 100, 2, 1, &m_Src, 10, 12, 0));
  for (int i = -3; i <= 2; ++i) {
    const bool copied = i >= -1 && i <= 1;
    EXPECT_EQ(CopiedColumns(20 + i, 30, 10, 12 + i), copied ? Span(-1, 0) : std::set<int>{}) << "row " << i;
  }
}

TEST_P(CircleWindowTest, HalfHeightAndHalfWidthBoundTheCopy) {
  EXPECT_TRUE(DDCircleWindow(&BackBuffer, 30, 20, 2, 3, 10, 1, &m_Src, 15, 15, 0));
  for (int i = -11; i <= 10; ++i) {
    const bool copied = i >= -3 && i <= 2;
    // Source columns 13 .. 16: within 2 of the source centre, the right end open.
    EXPECT_EQ(CopiedColumns(20 + i, 30, 15, 15 + i), copied ? Span(-2, 1) : std::set<int>{}) << "row " << i;
  }
}

TEST_P(CircleWindowTest, BandsTakeTheChordOfTheirMiddleRow) {
  EXPECT_TRUE(DDCircleWindow(&BackBuffer, 30, 20, 100, 100, 6, 4, &m_Src, 15, 15, 0));
  // Bands at 2, -2, -6, chords of rows 4, 0 (at most 5) and -4.
  for (int i = -7; i <= 6; ++i) {
    std::set<int> expected;
    if (i >= 2 && i <= 5) expected = Span(-4, 3);
    if (i >= -2 && i <= 1) expected = Span(-5, 4);
    if (i >= -6 && i <= -3) expected = Span(-4, 3);
    EXPECT_EQ(CopiedColumns(20 + i, 30, 15, 15 + i), expected) << "row " << i;
  }
}

TEST_P(CircleWindowTest, BandsStraddlingTheHalfHeightAreMovedInside) {
  // Band 2 (rows 2..5) is moved up to -1..2; band -5 (rows -5..-2) down to -3..0.
  EXPECT_TRUE(DDCircleWindow(&BackBuffer, 30, 20, 100, 3, 6, 4, &m_Src, 15, 15, 0));
  for (int i = -7; i <= 6; ++i) {
    const bool copied = i >= -3 && i <= 2;
    EXPECT_EQ(CopiedColumns(20 + i, 30, 15, 15 + i), copied ? Span(-5, 4) : std::set<int>{}) << "row " << i;
  }
}

TEST_P(CircleWindowTest, NothingForABandWiderThanTheDiscOrARadiusOrBandBelowOne) {
  EXPECT_TRUE(DDCircleWindow(&BackBuffer, 30, 20, 100, 100, 3, 7, &m_Src, 15, 15, 0));
  EXPECT_TRUE(DDCircleWindow(&BackBuffer, 30, 20, 100, 100, 0, 1, &m_Src, 15, 15, 0));
  EXPECT_TRUE(DDCircleWindow(&BackBuffer, 30, 20, 100, 100, 5, -1, &m_Src, 15, 15, 0));
  for (int y = 0; y < 48; ++y) EXPECT_TRUE(CopiedColumns(y, 30, 15, 15 + y - 20).empty()) << y;
}

// A radius and half sizes of the largest value: every row of the screen is
// copied in full, without a square that overflows or a loop over rows that
// cannot reach the screen. (Bands of 5 fall at rows -4 .. 0, 1 .. 5, ...: the
// one that starts above the screen loses its rows there, as a same-size blit
// whose source and destination both start above their surfaces does.)
TEST_P(CircleWindowTest, TheLargestRadiusCopiesTheWholeScreen) {
  DDSURFACEDATA screen;
  drawtest::MakeMarkedSurface(screen, 64, 48);
  for (int band : {1, 5}) {
    drawtest::FillAll(BackBuffer, kUntouched);
    EXPECT_TRUE(DDCircleWindow(&BackBuffer, 32, 24, INT_MAX, INT_MAX, INT_MAX, band, &screen, 32, 24, 0));
    for (int y = band == 1 ? 0 : 1; y < 48; ++y) {
      EXPECT_EQ(CopiedColumns(y, 0, 0, y), Span(0, 63)) << "band " << band << " row " << y;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Roads, CircleWindowTest, testing::Values(eRoad::Direct3D, eRoad::DirectDraw),
                         drawtest::RoadName);

using LensTest = GeometricTest;

TEST_P(LensTest, RefusesADepthTooLargeForTheRadius) {
  EXPECT_FALSE(DDLens(&BackBuffer, 30, 20, 10, 50, &m_Src, 20, 20, 0, 0));  // R = 50
  EXPECT_EQ(PixelAt(BackBuffer, 30, 20), kUntouched);
  EXPECT_TRUE(DDLens(&BackBuffer, 30, 20, 10, 49, &m_Src, 20, 20, 0, 0));  // R = 50 > 49
  EXPECT_FALSE(DDLens(&BackBuffer, 30, 20, -1, 0, &m_Src, 20, 20, 0, 0));
  EXPECT_FALSE(DDLens(&BackBuffer, 30, 20, 5, -1, &m_Src, 20, 20, 0, 0));
}

// Radius 10, depth 5 (R = 11): offset u·d / sqrt(R² - u² - v²), cut toward
// zero after adding one half.
TEST_P(LensTest, SourceOffsetsMagnifyTowardTheCentre) {
  ASSERT_TRUE(DDLens(&BackBuffer, 30, 20, 10, 5, &m_Src, 20, 20, 0, 0));
  struct sCase {
    int u, v, su, sv;
  };
  const sCase cases[] = {{0, 0, 0, 0}, {3, 0, 1, 0}, {-7, 0, -3, 0}, {6, 8, 7, 9}, {0, -10, 0, -10}};
  for (const sCase& c : cases) {
    EXPECT_EQ(Rgb(PixelAt(BackBuffer, 30 + c.u, 20 + c.v)), Rgb(Marker(20 + c.su, 20 + c.sv))) << c.u << "," << c.v;
  }
  EXPECT_EQ(PixelAt(BackBuffer, 30 + 8, 20 + 7), kUntouched);  // outside the disc
}

TEST_P(LensTest, DepthZeroRepeatsTheCentreExceptOnTheRim) {
  ASSERT_TRUE(DDLens(&BackBuffer, 30, 20, 5, 0, &m_Src, 20, 20, 0, 0));
  EXPECT_EQ(Rgb(PixelAt(BackBuffer, 31, 22)), Rgb(Marker(20, 20)));
  EXPECT_EQ(Rgb(PixelAt(BackBuffer, 27, 18)), Rgb(Marker(20, 20)));
  // Where sqrt(R² - ρ²) is 0 the point shows itself.
  EXPECT_EQ(Rgb(PixelAt(BackBuffer, 33, 24)), Rgb(Marker(23, 24)));
  EXPECT_EQ(Rgb(PixelAt(BackBuffer, 25, 20)), Rgb(Marker(15, 20)));
  EXPECT_EQ(PixelAt(BackBuffer, 35, 21), kUntouched);
}

TEST_P(LensTest, TransparentSourcePixelsAreNeverCopied) {
  drawtest::PixelsOf(m_Src).SetPixel(20, 20, m_Layer.TransparentPixel());
  for (std::uint32_t flags : {0u, 1u}) {
    ASSERT_TRUE(DDLens(&BackBuffer, 30, 20, 3, 0, &m_Src, 20, 20, flags, 0));
    EXPECT_EQ(PixelAt(BackBuffer, 30, 21), kUntouched) << flags;
  }
}

// The largest radius: the disc covers the screen, every pixel the centre's.
TEST_P(LensTest, TheLargestRadiusNeitherOverflowsNorRunsLong) {
  ASSERT_TRUE(DDLens(&BackBuffer, 30, 20, INT_MAX, 0, &m_Src, 20, 20, 0, 0));
  EXPECT_EQ(Rgb(PixelAt(BackBuffer, 0, 0)), Rgb(Marker(20, 20)));
  EXPECT_EQ(Rgb(PixelAt(BackBuffer, 63, 47)), Rgb(Marker(20, 20)));
  ASSERT_TRUE(DDLens(&BackBuffer, 30, 20, INT_MAX, INT_MAX - 1, &m_Src, 20, 20, 0, 0));
}

INSTANTIATE_TEST_SUITE_P(Roads, LensTest, testing::Values(eRoad::Direct3D, eRoad::DirectDraw), drawtest::RoadName);

// Direct3D at 32 bits with clear: the square around the disc and every disc
// pixel that shows nothing become 0.
TEST(LensClearTest, Direct3DClearsWhatTheLensDoesNotShow) {
  cTestLayer layer(eRoad::Direct3D);
  ASSERT_TRUE(layer.Started());
  drawtest::FillAll(BackBuffer, kUntouched);
  DDSURFACEDATA src;
  drawtest::MakeMarkedSurface(src, 40, 40);
  drawtest::PixelsOf(src).SetPixel(20, 20, 0x00FFFFFFu);
  ASSERT_TRUE(DDLens(&BackBuffer, 30, 20, 3, 0, &src, 20, 20, 0, 1));
  EXPECT_EQ(PixelAt(BackBuffer, 30, 21), 0u);            // a transparent texel
  EXPECT_EQ(PixelAt(BackBuffer, 33, 23), 0u);            // outside the disc, inside its square
  EXPECT_EQ(PixelAt(BackBuffer, 34, 20), kUntouched);    // outside the square
  EXPECT_EQ(PixelAt(BackBuffer, 33, 20), Marker(23, 20));  // the rim shows itself
  // The source centre off the sheet: nothing to show, cleared.
  ASSERT_TRUE(DDLens(&BackBuffer, 30, 20, 3, 0, &src, -5, 20, 0, 1));
  EXPECT_EQ(PixelAt(BackBuffer, 31, 21), 0u);
}

class RotateTest : public GeometricTest {
 protected:
  // An 8 x 6 rectangle from (2, 3) of the source, turned about its centre
  // (4, 3) placed at (30, 20).
  bool Rotate(int angle, std::uint32_t flags = 0) {
    return DDRotate(&BackBuffer, 30, 20, 8, 6, 4, 3, angle, &m_Source, 2, 3, flags);
  }
  // The source through the pixel road: a Direct3D texture in system memory.
  void UsePixelRoad() { drawtest::MakeMarkedSurface(m_Source, 40, 40, 0, DTMEMORYTYPE_SYSTEM); }
  void UseQuadRoad() { drawtest::MakeMarkedSurface(m_Source, 40, 40, 0, DTMEMORYTYPE_VIDEO_RT); }

  DDSURFACEDATA m_Source;
};

TEST_P(RotateTest, ZeroDegreesCopiesTheRectangle) {
  UsePixelRoad();
  ASSERT_TRUE(Rotate(0));
  for (int v = 0; v < 6; ++v)
    for (int u = 0; u < 8; ++u) EXPECT_EQ(Rgb(PixelAt(BackBuffer, 26 + u, 17 + v)), Rgb(Marker(2 + u, 3 + v)));
  EXPECT_EQ(PixelAt(BackBuffer, 25, 17), kUntouched);
  EXPECT_EQ(PixelAt(BackBuffer, 34, 17), kUntouched);
}

// A quarter turn clockwise on screen: source (u, v) lands at (centre + 3 - v,
// centre + u - 4), the transposed picture.
TEST_P(RotateTest, NinetyDegreesTurnsClockwise) {
  UsePixelRoad();
  ASSERT_TRUE(Rotate(90));
  for (int v = 0; v < 6; ++v)
    for (int u = 0; u < 8; ++u)
      EXPECT_EQ(Rgb(PixelAt(BackBuffer, 30 + 3 - v, 20 + u - 4)), Rgb(Marker(2 + u, 3 + v))) << u << "," << v;
  EXPECT_EQ(PixelAt(BackBuffer, 34, 20), kUntouched);
}

// The colour key is a raw value: under Direct3D only a texel of value 0 is
// skipped, a transparent one with colour is copied as it is.
TEST_P(RotateTest, KeyedCopiesSkipTheKeyValueOnly) {
  UsePixelRoad();
  const std::uint32_t key = m_Layer.D3D() ? 0u : g_DrawLayer.dwColorKey;
  drawtest::PixelsOf(m_Source).SetPixel(2, 3, key);
  drawtest::PixelsOf(m_Source).SetPixel(3, 3, 0x00123456u);
  ASSERT_TRUE(Rotate(0, 1));
  EXPECT_EQ(PixelAt(BackBuffer, 26, 17), kUntouched);
  EXPECT_EQ(PixelAt(BackBuffer, 27, 17), 0x00123456u);
  ASSERT_TRUE(Rotate(0, 0));
  EXPECT_EQ(PixelAt(BackBuffer, 26, 17), key);
}

// Sizes far beyond the surfaces: only what lands on the destination from
// inside the source is visited.
TEST_P(RotateTest, HugeRectanglesStayWithinBothSurfaces) {
  UsePixelRoad();
  ASSERT_TRUE(DDRotate(&BackBuffer, 30, 20, 100000000, 100000000, 50000000, 50000000, 30, &m_Source, -20, -20, 0));
  ASSERT_TRUE(DDRotate(&BackBuffer, 30, 20, 8, 6, 4, 3, 45, &m_Source, 38, 38, 0));
}

INSTANTIATE_TEST_SUITE_P(Roads, RotateTest, testing::Values(eRoad::Direct3D, eRoad::DirectDraw), drawtest::RoadName);

// Direct3D into a render target from a video texture: one quad with the
// context's blend values. Its corners are pixel corners, so a quarter turn
// lands one column left of the pixel road's.
TEST(RotateQuadTest, TheQuadTurnsTheRectangleAboutItsCorners) {
  cTestLayer layer(eRoad::Direct3D);
  ASSERT_TRUE(layer.Started());
  DDSURFACEDATA src;
  drawtest::MakeMarkedSurface(src, 40, 40);
  for (int angle : {0, 90, 360}) {
    SCOPED_TRACE(angle);
    drawtest::FillAll(BackBuffer, kUntouched);
    ASSERT_TRUE(DDRotate(&BackBuffer, 30, 20, 8, 6, 4, 3, angle, &src, 2, 3, 0));
    for (int v = 0; v < 6; ++v) {
      for (int u = 0; u < 8; ++u) {
        const int x = angle == 90 ? 30 + 3 - v - 1 : 26 + u;
        const int y = angle == 90 ? 20 + u - 4 : 17 + v;
        EXPECT_EQ(PixelAt(BackBuffer, x, y), Marker(2 + u, 3 + v)) << u << "," << v;
      }
    }
  }
  // The context's blend colour is the quad's diffuse: white modulated by grey.
  drawtest::PixelsOf(src).SetPixel(2, 3, 0xFFFFFFFFu);
  DDSetBlendColor(0xFF808080u);
  ASSERT_TRUE(DDRotate(&BackBuffer, 30, 20, 8, 6, 4, 3, 0, &src, 2, 3, 0));
  DDResetBlendColor();
  EXPECT_EQ(Rgb(PixelAt(BackBuffer, 26, 17)), 0x808080u);
  EXPECT_TRUE(DDRotate(nullptr, 30, 20, 8, 6, 4, 3, 0, &src, 2, 3, 0));
}

TEST(EightBitRotateTest, IndicesAreCopiedRaw) {
  cTestLayer layer(eRoad::DirectDraw, 64, 48, /*fullScreen=*/true, /*bpp=*/8);
  ASSERT_TRUE(layer.Started());
  g_DrawLayer.dwColorKey = 4;
  DDSURFACEDATA src;
  ASSERT_TRUE(DDCreateSurface(&src, 4, 2, 0, 0, 0, 0, 0));
  for (int x = 0; x < 4; ++x) {
    drawtest::PixelsOf(src).SetPixel(x, 0, 10 + x);
    drawtest::PixelsOf(src).SetPixel(x, 1, 20 + x);
  }
  drawtest::PixelsOf(src).SetPixel(3, 1, 4);
  drawtest::FillAll(BackBuffer, 1);
  ASSERT_TRUE(DDRotate(&BackBuffer, 10, 10, 4, 2, 2, 1, 90, &src, 0, 0, 1));
  // (u, v) -> (10 + 1 - v, 10 + u - 2)
  EXPECT_EQ(PixelAt(BackBuffer, 11, 8), 10u);
  EXPECT_EQ(PixelAt(BackBuffer, 10, 9), 21u);
  EXPECT_EQ(PixelAt(BackBuffer, 10, 11), 1u);  // the key is skipped
}

}  // namespace
