#include "graphics/Blit.h"

#include <gtest/gtest.h>

#include "DrawLayerTestSupport.h"

namespace {

using drawtest::cTestLayer;
using drawtest::eRoad;
using drawtest::Marker;
using drawtest::PixelAt;
using drawtest::kBackground;


// Every pixel of the surface: inside [left, right) x [top, bottom) it must
// hold Marker(x + dx, y + dy), outside it the background.
void ExpectCopiedRegion(DDSURFACEDATA& dst, int left, int top, int right, int bottom, int dx, int dy,
                        const char* name) {
  const plat::cPixelSurface& px = drawtest::PixelsOf(dst);
  int wrong = 0;
  for (int y = 0; y < px.Height(); ++y) {
    for (int x = 0; x < px.Width(); ++x) {
      const bool inside = x >= left && x < right && y >= top && y < bottom;
      const std::uint32_t want = inside ? Marker(x + dx, y + dy) : kBackground;
      if (px.GetPixel(x, y) != want && wrong++ < 5) {
        ADD_FAILURE() << name << ": pixel (" << x << ", " << y << ") is " << std::hex << px.GetPixel(x, y)
                      << ", expected " << want;
      }
    }
  }
}

class BlitTest : public testing::TestWithParam<eRoad> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_Layer.Started());
    drawtest::FillAll(BackBuffer, kBackground);
  }
  bool D3D() const { return m_Layer.D3D(); }

  cTestLayer m_Layer{GetParam()};
};

struct sSameSizeCase {
  const char* name;
  int x, y, w, h, sx, sy;
  int result;
  int left, top, right, bottom, dx, dy;  // the copied region and its source offset
};

// A 32 x 32 source onto the 64 x 48 BackBuffer; the same on both roads.
const sSameSizeCase kSameSizeCases[] = {
    {"plain", 10, 5, 8, 4, 3, 2, 1, 10, 5, 18, 9, -7, -3},
    {"source x -5: same corner, five columns narrower", 10, 5, 8, 4, -5, 0, 1, 10, 5, 13, 9, -10, -5},
    {"destination x -5: five source columns skipped", -5, 5, 8, 4, 0, 0, 1, 0, 5, 3, 9, 5, -5},
    {"destination above and left", -3, -2, 8, 4, 0, 0, 1, 0, 0, 5, 2, 3, 2},
    {"right edge", 60, 5, 8, 4, 0, 0, 1, 60, 5, 64, 9, -60, -5},
    {"bottom edge", 10, 46, 8, 4, 0, 0, 1, 10, 46, 18, 48, -10, -46},
    {"wholly off the surface", 70, 5, 8, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {"width 0", 10, 5, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {"negative height", 10, 5, 8, -4, 0, 0, 0, 0, 0, 0, 0, 0, 0},
};

TEST_P(BlitTest, SameSizeBlitsClipAsTheTableSays) {
  for (const sSameSizeCase& c : kSameSizeCases) {
    drawtest::FillAll(BackBuffer, kBackground);
    DDSURFACEDATA src;
    drawtest::MakeMarkedSurface(src, 32, 32);
    EXPECT_EQ(DDBlt(&BackBuffer, c.x, c.y, c.w, c.h, &src, c.sx, c.sy, 0), c.result) << c.name;
    ExpectCopiedRegion(BackBuffer, c.left, c.top, c.right, c.bottom, c.dx, c.dy, c.name);
  }
}

// A blit clipped on the left that is also wider than the destination keeps
// its full remaining width; the part that lies on the surface is drawn (and
// nothing beyond it is touched).
TEST_P(BlitTest, LeftClippedBlitWiderThanTheSurfaceDrawsWhatLiesOnIt) {
  DDSURFACEDATA wide;
  drawtest::MakeMarkedSurface(wide, 128, 32);
  EXPECT_EQ(DDBlt(&BackBuffer, -10, 0, 100, 10, &wide, 0, 0, 0), 1);
  ExpectCopiedRegion(BackBuffer, 0, 0, 64, 10, 10, 0, "left-clipped wide blit");
}

TEST_P(BlitTest, TransparentPixelsAreSkippedWithFlags1) {
  DDSURFACEDATA src;
  drawtest::MakeMarkedSurface(src, 8, 8, 1);
  drawtest::PixelsOf(src).SetPixel(1, 1, m_Layer.TransparentPixel());
  EXPECT_EQ(DDBlt(&BackBuffer, 0, 0, 4, 4, &src, 0, 0, 1), 1);
  EXPECT_EQ(PixelAt(BackBuffer, 1, 1), kBackground);
  EXPECT_EQ(PixelAt(BackBuffer, 0, 0), Marker(0, 0));
  EXPECT_EQ(PixelAt(BackBuffer, 2, 1), Marker(2, 1));
}

// An opaque blit of a keyed picture shows the transparent colour on the back
// buffer on both roads: DirectDraw copies the key pixel, Direct3D clears the
// rectangle to the opaque transparent colour before drawing.
TEST_P(BlitTest, OpaqueBlitOfKeyedPictureShowsTheTransparentColourOnBackBuffer) {
  DDSURFACEDATA src;
  drawtest::MakeMarkedSurface(src, 8, 8, 1);
  drawtest::PixelsOf(src).SetPixel(1, 1, m_Layer.TransparentPixel());
  EXPECT_EQ(DDBlt(&BackBuffer, 0, 0, 4, 4, &src, 0, 0, 0), 1);
  EXPECT_EQ(PixelAt(BackBuffer, 1, 1), D3D() ? 0xFFFF00FFu : 0x00FF00FFu);
  EXPECT_EQ(PixelAt(BackBuffer, 2, 2), Marker(2, 2));
}

// Into another surface the roads differ: a Direct3D texture keeps the pixel
// transparent (alpha 0), DirectDraw copies the key pixel.
TEST_P(BlitTest, OpaqueBlitOfKeyedPictureIntoATexture) {
  DDSURFACEDATA src;
  drawtest::MakeMarkedSurface(src, 8, 8, 1);
  drawtest::PixelsOf(src).SetPixel(1, 1, m_Layer.TransparentPixel());
  DDSURFACEDATA target;
  drawtest::MakeFilledSurface(target, 16, 16, kBackground, 1);
  EXPECT_EQ(DDBlt(&target, 0, 0, 4, 4, &src, 0, 0, 0), 1);
  EXPECT_EQ(PixelAt(target, 1, 1), D3D() ? 0u : 0x00FF00FFu);
  EXPECT_EQ(PixelAt(target, 3, 3), Marker(3, 3));
}

// 64 x 64 squeezed to 32 x 32 at x = -8: DirectDraw clips the destination and
// starts 16 source columns in; Direct3D lets the device clip the quad. Both
// show the same pixels.
TEST_P(BlitTest, StretchedBlitAtNegativeXShowsTheSamePixelsOnBothRoads) {
  DDSURFACEDATA src;
  drawtest::MakeMarkedSurface(src, 64, 64);
  EXPECT_TRUE(DDBltEx(&BackBuffer, -8, 0, 32, 32, &src, 0, 0, 64, 64, 0));
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 24; ++x) ASSERT_EQ(PixelAt(BackBuffer, x, y), Marker(2 * x + 17, 2 * y + 1)) << x << "," << y;
    ASSERT_EQ(PixelAt(BackBuffer, 24, y), kBackground);
  }
  EXPECT_EQ(PixelAt(BackBuffer, 0, 32), kBackground);
}

TEST_P(BlitTest, NegativeSourceWidthMirrors) {
  DDSURFACEDATA src;
  drawtest::MakeMarkedSurface(src, 128, 32);
  EXPECT_TRUE(DDBltEx(&BackBuffer, 0, 0, 32, 8, &src, 64, 0, -32, 8, 0));
  for (int x = 0; x < 32; ++x) EXPECT_EQ(PixelAt(BackBuffer, x, 3), Marker(63 - x, 3)) << x;
  EXPECT_EQ(PixelAt(BackBuffer, 32, 3), kBackground);
}

TEST_P(BlitTest, DoubledSizeRepeatsEachSourcePixel) {
  DDSURFACEDATA src;
  drawtest::MakeMarkedSurface(src, 8, 8);
  EXPECT_TRUE(DDBltEx(&BackBuffer, 4, 4, 16, 16, &src, 0, 0, 8, 8, 0));
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(PixelAt(BackBuffer, 4 + x, 4 + y), Marker(x / 2, y / 2)) << x << "," << y;
}

// The blend block changes one blit only: Direct3D modulates with it and goes
// back to white and modulate; DirectDraw ignores it.
TEST_P(BlitTest, BlendBlockAppliesToOneBlit) {
  DDSURFACEDATA src;
  drawtest::MakeMarkedSurface(src, 8, 8);
  const DDBLENDPARAM black{0xFF000000, D3DTOP_MODULATE};
  EXPECT_EQ(DDBltBlend(&BackBuffer, 0, 0, 4, 4, &src, 0, 0, 0, &black), 1);
  EXPECT_EQ(PixelAt(BackBuffer, 2, 2), D3D() ? 0xFF000000u : Marker(2, 2));
  EXPECT_EQ(DDBlt(&BackBuffer, 8, 0, 4, 4, &src, 0, 0, 0), 1);
  EXPECT_EQ(PixelAt(BackBuffer, 10, 2), Marker(2, 2));

  const DDBLENDPARAM add{0xFF101010, D3DTOP_ADD};
  EXPECT_TRUE(DDBltExBlend(&BackBuffer, 16, 0, 4, 4, &src, 0, 0, 4, 4, 0, &add));
  EXPECT_EQ(PixelAt(BackBuffer, 18, 2), D3D() ? Marker(2, 2) + 0x101010u : Marker(2, 2));
  if (D3D()) {
    EXPECT_EQ(lpDTCon->dwBlendColor, 0xFFFFFFFFu);
    EXPECT_EQ(lpDTCon->dwColorOp, static_cast<std::uint32_t>(D3DTOP_MODULATE));
  }
  EXPECT_EQ(DDBltBlend(&BackBuffer, 24, 0, 4, 4, &src, 0, 0, 0, nullptr), 1);
  EXPECT_EQ(PixelAt(BackBuffer, 26, 2), Marker(2, 2));
}

// Within one surface overlapping rectangles come out as if the source had
// been read before anything was written.
TEST_P(BlitTest, OverlappingBlitWithinOneSurface) {
  DDSURFACEDATA sd;
  drawtest::MakeMarkedSurface(sd, 16, 4);
  EXPECT_EQ(DDBlt(&sd, 1, 0, 8, 1, &sd, 0, 0, 0), 1);
  for (int x = 1; x <= 8; ++x) EXPECT_EQ(PixelAt(sd, x, 0), Marker(x - 1, 0)) << x;
  EXPECT_TRUE(DDBltEx(&sd, 0, 1, 8, 1, &sd, 1, 1, 8, 1, 0));
  for (int x = 0; x < 8; ++x) EXPECT_EQ(PixelAt(sd, x, 1), Marker(x + 1, 1)) << x;
}

TEST_P(BlitTest, MissingSurfacesDrawNothing) {
  DDSURFACEDATA notCreated;
  EXPECT_EQ(DDBlt(&BackBuffer, 0, 0, 4, 4, &notCreated, 0, 0, 0), 0);
  EXPECT_EQ(DDBlt(&BackBuffer, 0, 0, 4, 4, nullptr, 0, 0, 0), 0);
  EXPECT_FALSE(DDBltEx(nullptr, 0, 0, 4, 4, &BackBuffer, 0, 0, 4, 4, 0));
  ExpectCopiedRegion(BackBuffer, 0, 0, 0, 0, 0, 0, "nothing drawn");
}

INSTANTIATE_TEST_SUITE_P(Roads, BlitTest, testing::Values(eRoad::Direct3D, eRoad::DirectDraw), drawtest::RoadName);

// ---------------------------------------------------------------------------
// Direct3D: the software copy (a system-memory source, or a destination that
// is not a render target) and copy rows.

class Direct3DBlitTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_Layer.Started());
    drawtest::FillAll(BackBuffer, kBackground);
  }
  cTestLayer m_Layer{eRoad::Direct3D};
};

TEST_F(Direct3DBlitTest, MirroredReadStartsOnePixelBeforeTheSourceX) {
  DDSURFACEDATA src;
  drawtest::MakeMarkedSurface(src, 128, 32, 0, DTMEMORYTYPE_SYSTEM);
  EXPECT_TRUE(DDBltEx(&BackBuffer, 0, 0, 32, 4, &src, 64, 0, -32, 4, 0));
  for (int x = 0; x < 32; ++x) EXPECT_EQ(PixelAt(BackBuffer, x, 1), Marker(63 - x, 1)) << x;
}

// The software copy tests each pixel instead of clipping: a negative source x
// leaves its destination columns alone rather than shifting the picture as
// the quad path does.
TEST_F(Direct3DBlitTest, NegativeSourceXLeavesColumnsUndrawn) {
  DDSURFACEDATA system;
  drawtest::MakeMarkedSurface(system, 32, 32, 0, DTMEMORYTYPE_SYSTEM);
  EXPECT_EQ(DDBlt(&BackBuffer, 10, 5, 8, 4, &system, -5, 0, 0), 1);
  ExpectCopiedRegion(BackBuffer, 15, 5, 18, 9, -15, -5, "software copy");

  drawtest::FillAll(BackBuffer, kBackground);
  DDSURFACEDATA texture;
  drawtest::MakeMarkedSurface(texture, 32, 32);
  EXPECT_EQ(DDBlt(&BackBuffer, 10, 5, 8, 4, &texture, -5, 0, 0), 1);
  ExpectCopiedRegion(BackBuffer, 10, 5, 13, 9, -10, -5, "quad");
}

TEST_F(Direct3DBlitTest, Flags1SkipsAlphaZeroTexels) {
  DDSURFACEDATA src;
  drawtest::MakeMarkedSurface(src, 8, 8, 1, DTMEMORYTYPE_SYSTEM);
  drawtest::PixelsOf(src).SetPixel(2, 2, 0x00FFFFFF);  // alpha 0 whatever its colour
  EXPECT_EQ(DDBlt(&BackBuffer, 0, 0, 4, 4, &src, 0, 0, 1), 1);
  EXPECT_EQ(PixelAt(BackBuffer, 2, 2), kBackground);
  EXPECT_EQ(PixelAt(BackBuffer, 1, 2), Marker(1, 2));
  EXPECT_EQ(DDBlt(&BackBuffer, 0, 0, 4, 4, &src, 0, 0, 0), 1);
  EXPECT_EQ(PixelAt(BackBuffer, 2, 2), 0x00FFFFFFu);  // copied as it is, no blending
}

TEST_F(Direct3DBlitTest, IntoASystemMemoryTexture) {
  DDSURFACEDATA src;
  drawtest::MakeMarkedSurface(src, 16, 16);
  DDSURFACEDATA target;
  drawtest::MakeFilledSurface(target, 8, 8, kBackground, 0, DTMEMORYTYPE_SYSTEM);
  EXPECT_TRUE(DDBltEx(&target, -2, 0, 16, 4, &src, 0, 0, 8, 2, 0));
  // Stretched by two: destination column j reads source column trunc(j / 2).
  for (int x = 0; x < 8; ++x) EXPECT_EQ(PixelAt(target, x, 3), Marker((x + 2) / 2, 1)) << x;
  EXPECT_EQ(PixelAt(target, 0, 4), kBackground);
}

TEST_F(Direct3DBlitTest, CopyRowIsDrawnMirroredFromItsPrimary) {
  DDSURFACEDATA primary;
  drawtest::MakeMarkedSurface(primary, 64, 32);
  DDSURFACEDATA copyRow;
  ASSERT_TRUE(DDCreateSurface(&copyRow, 64, 32, 0, 0, DTMEMORYTYPE_VIDEO_RT, 1, 0));
  copyRow.lpPrimary = &primary;
  copyRow.nMirrorW = 32;
  EXPECT_EQ(DDBlt(&BackBuffer, 0, 0, 32, 4, &copyRow, 32, 0, 0), 1);
  for (int x = 0; x < 32; ++x) EXPECT_EQ(PixelAt(BackBuffer, x, 2), Marker(63 - x, 2)) << x;
}

}  // namespace

namespace {

// While the virtual back buffer is on, what is aimed at BackBuffer lands in
// VirBackBuffer, and turning it off copies the frame back.
TEST_F(Direct3DBlitTest, VirtualBackBufferTakesTheBlitsAimedAtBackBuffer) {
  DDSURFACEDATA src;
  drawtest::MakeMarkedSurface(src, 8, 8);
  DDSetVirtualBackBuffer(1);
  drawtest::FillAll(VirBackBuffer, kBackground);
  EXPECT_EQ(DDBlt(&BackBuffer, 2, 2, 4, 4, &src, 0, 0, 0), 1);
  EXPECT_EQ(PixelAt(VirBackBuffer, 3, 3), Marker(1, 1));
  EXPECT_EQ(PixelAt(BackBuffer, 3, 3), kBackground);
  DDSetVirtualBackBuffer(0);
  EXPECT_EQ(PixelAt(BackBuffer, 3, 3), Marker(1, 1));
}

}  // namespace

namespace {

// The 8-bit DirectDraw display: pixels are palette indices and index 0 is
// the colour key.
TEST(DirectDraw8BitBlitTest, KeyIsPaletteIndexZero) {
  cTestLayer layer(eRoad::DirectDraw, 64, 48, true, 8);
  ASSERT_TRUE(layer.Started());
  ASSERT_EQ(drawtest::PixelsOf(BackBuffer).Depth(), plat::ePixelDepth::Indexed8);
  drawtest::FillAll(BackBuffer, 9);
  DDSURFACEDATA src;
  ASSERT_TRUE(DDCreateSurface(&src, 4, 4, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
  drawtest::FillAll(src, 5);
  drawtest::PixelsOf(src).SetPixel(1, 1, 0);
  EXPECT_EQ(DDBlt(&BackBuffer, 0, 0, 4, 4, &src, 0, 0, 1), 1);
  EXPECT_EQ(PixelAt(BackBuffer, 1, 1), 9u);
  EXPECT_EQ(PixelAt(BackBuffer, 2, 2), 5u);
  EXPECT_TRUE(DDBltEx(&BackBuffer, 8, 0, 8, 8, &src, 0, 0, 4, 4, 0));
  EXPECT_EQ(PixelAt(BackBuffer, 10, 2), 0u);  // opaque: the key index is copied
  EXPECT_EQ(PixelAt(BackBuffer, 12, 2), 5u);
}

}  // namespace
