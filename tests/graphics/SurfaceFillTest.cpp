// Fills where the two roads differ: clipping at the left edge, palette number
// 0, keyed render targets, and surfaces that are not render targets.

#include "DrawLayerFixture.h"
#include "graphics/SurfaceFill.h"
#include "platform/SoftwareDevice.h"

namespace gfxtest {
namespace {

using SurfaceFillTest = cDrawLayerFixture;

// The columns of row 0 that hold `value`, as a string of '#' and '.'.
std::string RowPattern(const DDSURFACEDATA& sd, int width, std::uint32_t value) {
  std::string pattern;
  for (int x = 0; x < width; ++x) pattern += sd.Pixels()->GetPixel(x, 0) == value ? '#' : '.';
  return pattern;
}

TEST_F(SurfaceFillTest, ARectangleStartingLeftOfTheSurface) {
  const std::string twenty(20, '#');
  const std::string thirty(30, '#');
  struct sCase {
    eRoad road;
    std::string expected;
  };
  for (const sCase& c : {sCase{eRoad::DirectDraw, twenty + std::string(10, '.')},
                         sCase{eRoad::Direct3D, thirty}}) {
    SCOPED_TRACE(RoadName(c.road));
    ASSERT_TRUE(Start(c.road));
    DDSURFACEDATA target;  // a render target under Direct3D, a video surface under DirectDraw
    ASSERT_TRUE(DDCreateSurface(&target, 40, 2, 0, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
    const std::uint32_t colour = c.road == eRoad::Direct3D ? 0xFF102030u : 0x102030u;
    DDFillRectRGB(&target, -10, 0, 30, 1, colour);
    EXPECT_EQ(RowPattern(target, 30, colour), c.expected);
    DDReleaseSurface(&target);
    DDUnInit();
  }
}

TEST_F(SurfaceFillTest, PaletteNumberZeroOnTheBackBuffer) {
  g_Palette[0] = {0x44, 0x55, 0x66, 0};
  ASSERT_TRUE(Start(eRoad::Direct3D));
  DDFillSurfaceRGB(&BackBuffer, 0xFF0000FFu);
  DDFillRectPal(&BackBuffer, 0, 0, 640, 480, 0);  // transparent: a quad of alpha 0
  EXPECT_EQ(PixelOf(BackBuffer, 100, 100), 0xFF0000FFu);
  DDFillRectPal(&BackBuffer, 0, 0, 640, 480, 256);  // out of range: 0 as well
  EXPECT_EQ(PixelOf(BackBuffer, 100, 100), 0xFF0000FFu);
  DDUnInit();

  ASSERT_TRUE(Start(eRoad::DirectDraw));
  DDFillRectPal(&BackBuffer, 0, 0, 640, 480, 0);
  EXPECT_EQ(PixelOf(BackBuffer, 100, 100), 0x445566u);
}

TEST_F(SurfaceFillTest, Direct3DRenderTargetsBlendAndKeyedOnesClearToTheTransparentValue) {
  ASSERT_TRUE(Start(eRoad::Direct3D));
  DDSetTransmit(255, 0, 255);
  DDSURFACEDATA keyed;
  DDSURFACEDATA plain;
  ASSERT_TRUE(DDCreateSurface(&keyed, 8, 8, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
  ASSERT_TRUE(DDCreateSurface(&plain, 8, 8, 0, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
  // New render targets start as the opaque transparent colour.
  EXPECT_EQ(PixelOf(keyed, 0, 0), 0xFFFF00FFu);
  EXPECT_EQ(PixelOf(plain, 0, 0), 0xFFFF00FFu);

  DDFillSurfacePal(&keyed, 0);
  DDFillSurfacePal(&plain, 0);
  EXPECT_EQ(PixelOf(keyed, 7, 7), 0u);
  EXPECT_EQ(PixelOf(plain, 7, 7), 0xFFFF00FFu);

  // A translucent fill mixes with what is there.
  DDFillSurfaceRGB(&plain, 0xFF000000u);
  DDFillRectRGB(&plain, 0, 0, 1, 1, 0x80FFFFFFu);
  const std::uint32_t mixed = PixelOf(plain, 0, 0);
  EXPECT_EQ(mixed, plat::BlendSourceAlpha(0x80FFFFFFu, 0xFF000000u));
  EXPECT_GT(mixed & 0xFF, 0x70u);
  EXPECT_LT(mixed & 0xFF, 0x90u);
}

TEST_F(SurfaceFillTest, Direct3DTexturesThatAreNotRenderTargetsTakeTheValueAsItIs) {
  ASSERT_TRUE(Start(eRoad::Direct3D));
  DDSURFACEDATA texture;
  ASSERT_TRUE(DDCreateSurface(&texture, 8, 4, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0));
  DDFillRectRGB(&texture, -2, 1, 5, 10, 0x40ABCDEFu);
  EXPECT_EQ(PixelOf(texture, 0, 1), 0x40ABCDEFu);
  EXPECT_EQ(PixelOf(texture, 2, 3), 0x40ABCDEFu);
  EXPECT_EQ(PixelOf(texture, 3, 1), 0u);  // -2 + 5: columns 0 to 2 only
  EXPECT_EQ(PixelOf(texture, 0, 0), 0u);
}

}  // namespace
}  // namespace gfxtest
