// A small scene drawn through the blits, batches, numbers and frames and
// presented through the null presenter, checked against a checksum per road.
// On a mismatch the frame is written as a bitmap next to the test program.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "DrawLayerTestSupport.h"
#include "FrameChecksum.h"
#include "graphics/Blit.h"
#include "graphics/DrawNumber.h"
#include "graphics/Frame.h"
#include "graphics/Present.h"
#include "graphics/SpriteBatch.h"
#include "graphics/SurfaceFill.h"

namespace {

using drawtest::cTestLayer;
using drawtest::eRoad;

constexpr int kScreenW = 128, kScreenH = 96;

// Two 16 x 16 sprite cells: a ring of colour in cell 0, a diagonal stripe
// pattern in cell 1, transparent elsewhere.
void MakeSpriteSheet(DDSURFACEDATA& sheet, std::uint32_t transparent) {
  ASSERT_TRUE(DDCreateSurface(&sheet, 32, 16, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
  plat::cPixelSurface& px = drawtest::PixelsOf(sheet);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const int dx = 2 * x - 15, dy = 2 * y - 15;
      const int r2 = dx * dx + dy * dy;
      const bool ring = r2 < 225 && r2 > 64;
      px.SetPixel(x, y, ring ? 0xFF000000u | static_cast<std::uint32_t>(x * 16) << 16 | 0xC000u | y * 16u
                             : transparent);
      const bool stripe = (x + y) % 4 < 2 || y == 0;
      px.SetPixel(16 + x, y, stripe ? 0xFFE0A000u + static_cast<std::uint32_t>(x) : transparent);
    }
  }
}

// Ten keyed digit cells of 4 x 6: a digit's cell holds its pattern in its colour.
void MakeDigitStrip(DDSURFACEDATA& strip, std::uint32_t transparent) {
  ASSERT_TRUE(DDCreateSurface(&strip, 40, 6, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
  plat::cPixelSurface& px = drawtest::PixelsOf(strip);
  for (int d = 0; d < 10; ++d)
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 4; ++x)
        px.SetPixel(d * 4 + x, y, (x + y + d) % 3 != 0 ? 0xFF202020u * static_cast<std::uint32_t>(d % 7 + 1) : transparent);
}

void DrawScene(DDSURFACEDATA& sheet, DDSURFACEDATA& strip) {
  DDFillSurfacePal(&BackBuffer, 3);

  DDBeginSpriteBatch(1);
  DDRegisterSpriteTexture(&sheet);
  DDBlt(&BackBuffer, 10, 10, 16, 16, &sheet, 0, 0, 1);
  DDBlt(&BackBuffer, -6, 40, 16, 16, &sheet, 16, 0, 1);      // clipped on the left
  DDBlt(&BackBuffer, 120, 88, 16, 16, &sheet, 0, 0, 1);      // clipped right and bottom
  DDBltEx(&BackBuffer, 40, 10, 32, 24, &sheet, 0, 0, 16, 16, 1);    // stretched
  DDBltEx(&BackBuffer, 80, 10, 16, 16, &sheet, 32, 0, -16, 16, 1);  // mirrored
  DDBlt(&BackBuffer, 100, 40, 16, 16, &sheet, 16, 0, 0);     // opaque: the transparent colour shows
  DDFlushSpriteBatch();

  DDDrawNumber(&BackBuffer, 10, 70, 4, 6, &strip, 0, 0, 1, 1234567, 9, 0);
  DDFrameRect(&BackBuffer, 60, 50, 40, 30, 2, 9);
  DDFillRectPal(&BackBuffer, -10, 88, 30, 4, 9);  // Direct3D keeps the width, DirectDraw clips it
}

struct sSceneCase {
  eRoad road;
  std::uint32_t checksum;
};

class ComposedSceneTest : public testing::TestWithParam<sSceneCase> {};

TEST_P(ComposedSceneTest, FrameMatchesItsChecksum) {
  const sSceneCase& c = GetParam();
  cTestLayer layer(c.road, kScreenW, kScreenH);
  ASSERT_TRUE(layer.Started());
  g_Palette[3] = {20, 40, 80, 0};
  g_Palette[9] = {250, 240, 10, 0};
  DDSURFACEDATA sheet, strip;
  MakeSpriteSheet(sheet, layer.TransparentPixel());
  MakeDigitStrip(strip, layer.TransparentPixel());

  DrawScene(sheet, strip);
  if (layer.D3D()) {
    ASSERT_EQ(DDEndFrame(60, 0, 0), 1);
  } else {
    ASSERT_TRUE(DDPresentWindow(0));
  }
  g_Palette[3] = {};
  g_Palette[9] = {};

  const plat::cPixelSurface& frame = layer.Presenter().LastFrame();
  ASSERT_EQ(frame.Width(), kScreenW);
  ASSERT_EQ(frame.Height(), kScreenH);
  drawtest::ExpectGoldenFrame(layer.Presenter(), c.checksum,
                              std::string("ComposedScene_") + (layer.D3D() ? "Direct3D" : "DirectDraw"));
}

INSTANTIATE_TEST_SUITE_P(Roads, ComposedSceneTest,
                         testing::Values(sSceneCase{eRoad::Direct3D, 0x0C9C6B68u},
                                         sSceneCase{eRoad::DirectDraw, 0x7AD4B290u}),
                         [](const testing::TestParamInfo<sSceneCase>& info) {
                           return std::string(info.param.road == eRoad::Direct3D ? "Direct3D" : "DirectDraw");
                         });

}  // namespace
