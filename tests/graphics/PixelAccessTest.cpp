#include "graphics/PixelAccess.h"

#include <gtest/gtest.h>

#include "DrawLayerTestSupport.h"
#include "graphics/BlurMosaic.h"
#include "graphics/ColourEffects.h"
#include "graphics/GeometricEffects.h"

namespace {

using drawtest::cTestLayer;
using drawtest::eRoad;

TEST(PixelAccessTest, TransparentTestsPerRoadAndDepth) {
  struct sCase {
    const char* what;
    ePixelRoad road;
    std::uint32_t pixel;
    std::uint32_t key;
    bool transparent;
  };
  const sCase cases[] = {
      {"DD 8: the key index", ePixelRoad::DirectDraw8, 7, 7, true},
      {"DD 8: another index", ePixelRoad::DirectDraw8, 8, 7, false},
      {"DD 16: the key word", ePixelRoad::DirectDraw16, 0xF81F, 0xF81F, true},
      {"DD 16: one bit off", ePixelRoad::DirectDraw16, 0xF81E, 0xF81F, false},
      {"DD 32: the whole value", ePixelRoad::DirectDraw32, 0x00FF00FF, 0x00FF00FF, true},
      {"DD 32: the fourth byte counts", ePixelRoad::DirectDraw32, 0x01FF00FF, 0x00FF00FF, false},
      {"D3D 16: zero", ePixelRoad::Direct3D16, 0x0000, 0, true},
      {"D3D 16: bits below 13 only", ePixelRoad::Direct3D16, 0x1FFF, 0, true},
      {"D3D 16: bit 13 alone is opaque", ePixelRoad::Direct3D16, 0x2000, 0, false},
      {"D3D 16: the alpha bit", ePixelRoad::Direct3D16, 0x8000, 0, false},
      {"D3D 32: alpha 0 with colour", ePixelRoad::Direct3D32, 0x00FFFFFF, 0, true},
      {"D3D 32: alpha 1", ePixelRoad::Direct3D32, 0x01000000, 0, false},
  };
  for (const sCase& c : cases) {
    EXPECT_EQ(IsTransparentPixel(c.road, c.pixel, c.key), c.transparent) << c.what;
  }
}

TEST(PixelAccessTest, PixelLayoutsPerRoadAndDepth) {
  g_PixelFormat = kFormatR5G6B5;  // what DirectDraw read from a 16-bit display
  EXPECT_EQ(PixelLayout(ePixelRoad::DirectDraw8, false), PIXELFORMATDESC{});
  EXPECT_EQ(PixelLayout(ePixelRoad::DirectDraw16, false), kFormatR5G6B5);
  EXPECT_EQ(PixelLayout(ePixelRoad::DirectDraw32, true), kFormatX8R8G8B8);
  EXPECT_EQ(PixelLayout(ePixelRoad::Direct3D16, false), kFormatA1R5G5B5);
  EXPECT_EQ(PixelLayout(ePixelRoad::Direct3D16, true), kFormatR5G6B5);
  EXPECT_EQ(PixelLayout(ePixelRoad::Direct3D32, false), kFormatA8R8G8B8);
  g_PixelFormat = {};
}

TEST(PixelAccessTest, SixteenBitWriteRules) {
  // Pure green from a texture (31) doubles into the back buffer's six bits: 62, not 63.
  EXPECT_EQ(ComposeBackBuffer16(kFormatR5G6B5, 0, 31, 0), 62 << 5);
  EXPECT_EQ(ComposeBackBuffer16(kFormatR5G6B5, 31, 0, 31), 0xF81F);
  // Textures get the alpha bit and masked channels.
  EXPECT_EQ(ComposeTexture16(kFormatA1R5G5B5, 0, 0, 0), 0x8000);
  EXPECT_EQ(ComposeTexture16(kFormatA1R5G5B5, 31, 31, 31), 0xFFFF);
  EXPECT_EQ(ComposeTexture16(kFormatA1R5G5B5, 32 + 1, 0, 0), 0x8000 | 1 << 10);
  // 32 bits: Direct3D writes alpha 255, DirectDraw keeps the fourth byte.
  EXPECT_EQ(ComposeDirect3D32(0x12345678u), 0xFF345678u);
  EXPECT_EQ(ComposeDirectDraw32(0xAB000000u, 0x00345678u), 0xAB345678u);
}

TEST(PixelAccessTest, EightBitScaleCutsTowardZeroBothWays) {
  EXPECT_EQ(ToEightBitScale(31, 31), 255);
  EXPECT_EQ(ToEightBitScale(1, 31), 8);  // 8.2
  EXPECT_EQ(ToEightBitScale(62, 63), 250);
  EXPECT_EQ(FromEightBitScale(255, 63), 63);
  EXPECT_EQ(FromEightBitScale(127, 31), 15);  // 15.4
  EXPECT_EQ(ToEightBitScale(5, 0), 0);
}

TEST(PixelAccessTest, PixelShiftsComeFromTheMasksWhateverTheDescriptorHeld) {
  PIXELFORMATDESC desc{1, 2, 3, 9, 4, 5, 6, 7};
  PixelShiftsFromMasks(desc, 16, 0xF800, 0x07E0, 0x001F);
  EXPECT_EQ(desc, (PIXELFORMATDESC{11, 5, 0, 9, 31, 63, 31, 7}));  // alpha fields untouched
  PixelShiftsFromMasks(desc, 16, 0x7C00, 0x03E0, 0x001F);
  EXPECT_EQ(desc, (PIXELFORMATDESC{10, 5, 0, 9, 31, 31, 31, 7}));
  // A mask without bits (a palette display) counts zeros up to the bit count.
  PixelShiftsFromMasks(desc, 8, 0, 0, 0);
  EXPECT_EQ(desc, (PIXELFORMATDESC{8, 8, 8, 9, 0, 0, 0, 7}));
}

TEST(PixelAccessTest, DirectDrawReadsThePrimarysFormatAndDirect3DLeavesTheDescriptor) {
  {
    cTestLayer layer(eRoad::DirectDraw);
    ASSERT_TRUE(layer.Started());
    PIXELFORMATDESC desc{};
    DDGetPixelShifts(desc);
    EXPECT_EQ(desc, kFormatX8R8G8B8);
    EXPECT_EQ(g_PixelFormat, kFormatX8R8G8B8);  // what the set-up read
  }
  cTestLayer layer(eRoad::Direct3D);
  ASSERT_TRUE(layer.Started());
  PIXELFORMATDESC desc{1, 1, 1, 1, 1, 1, 1, 1};
  DDGetPixelShifts(desc);
  EXPECT_EQ(desc, (PIXELFORMATDESC{1, 1, 1, 1, 1, 1, 1, 1}));
}

TEST(PixelAccessTest, PaletteEntriesAsSixteenBitPixels) {
  cTestLayer layer(eRoad::DirectDraw);
  ASSERT_TRUE(layer.Started());
  g_PixelFormat = kFormatR5G6B5;
  EXPECT_EQ(DDPalToRGB16({31, 63, 31, 0}), 0xFFFF);
  EXPECT_EQ(DDPalToRGB16({0, 1, 0, 0}), 0x0020);
  EXPECT_EQ(DDPalToRGB16({255, 255, 255, 0}), 0xFFFF);  // components are masked to their fields
  g_PixelFormat = kFormatA1R5G5B5;
  EXPECT_EQ(DDPalToRGB16({31, 31, 31, 0}), 0x7FFF);
}

TEST(PixelAccessTest, PaletteEntriesAreNotSixteenBitPixelsUnderDirect3D) {
  cTestLayer layer(eRoad::Direct3D);
  ASSERT_TRUE(layer.Started());
  EXPECT_EQ(DDPalToRGB16({31, 63, 31, 0}), 0);
}

TEST(PixelAccessTest, FullScreenBackBufferIsBackBufferInFullScreenOnly) {
  {
    cTestLayer window(eRoad::Direct3D, 64, 48, /*fullScreen=*/false);
    EXPECT_FALSE(DDIsFullScreenBackBuffer(&BackBuffer));
  }
  cTestLayer fullScreen(eRoad::Direct3D, 64, 48, /*fullScreen=*/true);
  EXPECT_TRUE(DDIsFullScreenBackBuffer(&BackBuffer));
  EXPECT_FALSE(DDIsFullScreenBackBuffer(&WorkSD));
  EXPECT_FALSE(DDIsFullScreenBackBuffer(nullptr));
}

TEST(PixelAccessTest, EffectSpansKeepBothPositionsOnTheirSurfaces) {
  struct sCase {
    int dstPos, srcPos, size, dstLimit, srcLimit;
    int first, last;
  };
  const sCase cases[] = {
      {0, 0, 10, 64, 64, 0, 10},
      {-3, 0, 10, 64, 64, 3, 10},     // the destination starts off the surface
      {60, 0, 10, 64, 64, 0, 4},      // and ends past it
      {0, -5, 10, 64, 64, 5, 10},     // the source starts off its surface
      {0, 30, 10, 64, 32, 0, 2},      // and ends past it
      {-2147483647, 0, 10, 64, 64, 0, 0},
      {0, 0, -4, 64, 64, 0, 0},
  };
  for (const sCase& c : cases) {
    const sEffectSpan span = EffectSpan(c.dstPos, c.srcPos, c.size, c.dstLimit, c.srcLimit);
    if (c.first == c.last) {
      EXPECT_TRUE(span.Empty()) << c.dstPos << " " << c.srcPos;
    } else {
      EXPECT_EQ(span.first, c.first) << c.dstPos << " " << c.srcPos;
      EXPECT_EQ(span.last, c.last) << c.dstPos << " " << c.srcPos;
    }
  }
}

class EffectLockTest : public testing::TestWithParam<eRoad> {
 protected:
  cTestLayer m_Layer{GetParam()};
};

// A surface that cannot be locked fails the effect before anything is
// written; the destination's requested size bounds every write, even where
// the pixels go on.
TEST_P(EffectLockTest, FailedLocksDrawNothingAndWritesStayInsideTheRequestedSize) {
  ASSERT_TRUE(m_Layer.Started());
  DDSURFACEDATA src, dst, released;
  drawtest::MakeFilledSurface(src, 16, 16, 0xFF102030u);
  drawtest::MakeFilledSurface(dst, 16, 16, 0xFF000000u);
  drawtest::MakeFilledSurface(released, 16, 16, 0xFF000000u);
  DDReleaseSurface(&released);

  EXPECT_FALSE(DDTranslucent(&dst, 0, 0, 16, 16, &released, 0, 0, 0, g_BlendTable));
  EXPECT_FALSE(DDTranslucent(&released, 0, 0, 16, 16, &src, 0, 0, 0, g_BlendTable));
  EXPECT_EQ(drawtest::PixelAt(dst, 0, 0), 0xFF000000u);

  // Callers see a 10 x 10 surface; the pixels beyond are not theirs.
  dst.nWidth = 10;
  dst.nHeight = 10;
  const cEffectLock lock(&dst, &src);
  ASSERT_TRUE(lock.IsLocked());
  EXPECT_EQ(lock.DstWidth(), 10);
  EXPECT_EQ(lock.DstHeight(), 10);
  EXPECT_EQ(lock.SrcWidth(), 16);
}

TEST_P(EffectLockTest, EffectsWriteOnlyInsideTheRequestedSize) {
  ASSERT_TRUE(m_Layer.Started());
  DDSURFACEDATA src, dst;
  drawtest::MakeFilledSurface(src, 16, 16, 0xFF204060u, 0, DTMEMORYTYPE_SYSTEM);
  drawtest::MakeFilledSurface(dst, 16, 16, 0xFF000000u, 0, DTMEMORYTYPE_SYSTEM);
  dst.nWidth = 10;
  dst.nHeight = 10;
  ASSERT_TRUE(DDTranslucent(&dst, 0, 0, 16, 16, &src, 0, 0, 0, g_BlendTable));
  EXPECT_NE(drawtest::PixelAt(dst, 9, 9), 0xFF000000u);
  EXPECT_EQ(drawtest::PixelAt(dst, 10, 9), 0xFF000000u);
  EXPECT_EQ(drawtest::PixelAt(dst, 9, 10), 0xFF000000u);
}

INSTANTIATE_TEST_SUITE_P(Roads, EffectLockTest, testing::Values(eRoad::Direct3D, eRoad::DirectDraw),
                         drawtest::RoadName);

}  // namespace

namespace {

// Every effect with rectangles of negative size, or far off both surfaces:
// nothing is written and nothing outside the surfaces is read (the
// sanitizer builds watch the reads).
class EffectBoundsTest : public testing::TestWithParam<eRoad> {
 protected:
  cTestLayer m_Layer{GetParam()};
};

TEST_P(EffectBoundsTest, RectanglesOffTheSurfacesOrOfNegativeSizeDrawNothing) {
  ASSERT_TRUE(m_Layer.Started());
  DDSURFACEDATA src, dst;
  drawtest::MakeMarkedSurface(src, 16, 16, 0, DTMEMORYTYPE_SYSTEM);
  drawtest::MakeFilledSurface(dst, 16, 16, 0x5A0A0B0Cu, 0, DTMEMORYTYPE_SYSTEM);
  DDPALETTE palette{};
  struct sPlace {
    int x, y, w, h, sx, sy;
  };
  const sPlace places[] = {
      {0, 0, -5, 8, 0, 0},           {0, 0, 8, -5, 0, 0},          {-100, -100, 50, 50, 0, 0},
      {0, 0, 8, 8, 1000, 1000},      {0, 0, 8, 8, -1000, -1000},   {2147483000, 0, 8, 8, 0, 0},
      {0, 0, 2147483647, 8, 16, 0},  {-2147483647, 0, 8, 8, 0, 0}, {0, 0, 8, 8, -2147483647, 0},
  };
  for (const sPlace& p : places) {
    SCOPED_TRACE(testing::Message() << p.x << "," << p.y << " " << p.w << "x" << p.h << " from " << p.sx << ","
                                    << p.sy);
    EXPECT_TRUE(DDTint(&dst, p.x, p.y, p.w, p.h, &src, p.sx, p.sy, 0, palette, g_BlendTable, 0, 1));
    EXPECT_TRUE(DDTranslucent(&dst, p.x, p.y, p.w, p.h, &src, p.sx, p.sy, 0, g_BlendTable));
    EXPECT_TRUE(DDBlur(&dst, p.x, p.y, p.w, p.h, 3, 3, &src, p.sx, p.sy, 0));
    EXPECT_TRUE(DDMosaic(&dst, p.x, p.y, p.w, p.h, 3, &src, p.sx, p.sy, 0));
    EXPECT_TRUE(DDRotate(&dst, p.x, p.y, p.w, p.h, p.w / 2, p.h / 2, 30, &src, p.sx, p.sy, 0));
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) ASSERT_EQ(drawtest::PixelAt(dst, x, y), 0x5A0A0B0Cu) << x << "," << y;
  }
}

// A lens whose disc lies off the destination, or shows only what lies off
// the source, draws nothing either.
TEST_P(EffectBoundsTest, LensesOffTheSurfacesDrawNothing) {
  ASSERT_TRUE(m_Layer.Started());
  DDSURFACEDATA src, dst;
  drawtest::MakeMarkedSurface(src, 16, 16, 0, DTMEMORYTYPE_SYSTEM);
  drawtest::MakeFilledSurface(dst, 16, 16, 0x5A0A0B0Cu, 0, DTMEMORYTYPE_SYSTEM);
  EXPECT_TRUE(DDLens(&dst, -100, -100, 6, 2, &src, 8, 8, 0, 1));
  EXPECT_TRUE(DDLens(&dst, 2147483647, -2147483647, 6, 2, &src, 8, 8, 0, 1));
  EXPECT_TRUE(DDLens(&dst, 8, 8, 6, 2, &src, 1000, -1000, 0, 0));
  EXPECT_TRUE(DDLens(&dst, 8, 8, 6, 2, &src, -2147483647, 2147483647, 0, 0));
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(drawtest::PixelAt(dst, x, y), 0x5A0A0B0Cu) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Roads, EffectBoundsTest, testing::Values(eRoad::Direct3D, eRoad::DirectDraw),
                         drawtest::RoadName);

}  // namespace
