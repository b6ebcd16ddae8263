// The sample game in the 8-bit DirectDraw mode: its palette, its blend table
// and its cycling water, drawn and presented through the null presenter,
// checked against a checksum (FrameChecksum.h).

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "SampleBitmaps.h"
#include "graphics/Blit.h"
#include "graphics/BlendTable.h"
#include "graphics/ColourEffects.h"
#include "graphics/DrawLayerFixture.h"
#include "graphics/FrameChecksum.h"
#include "graphics/Present.h"
#include "graphics/SurfaceFill.h"

namespace {

class SamplePaletteCyclingTest : public gfxtest::cDrawLayerFixture {
 protected:
  // The start-up's order at 8 bits: the layer, the palette and the
  // transparent colour from the palette bitmap, the palette set, the sheets.
  void StartEightBitSample() {
    std::string error;
    ASSERT_TRUE(samplegame::WriteSampleBitmaps(".", error)) << error;
    ASSERT_TRUE(Start(gfxtest::eRoad::DirectDraw, 8, /*windowMode=*/0));
    const std::string& paletteFile = g_SurfaceDef[SURF_PALETTE].szFile;
    ASSERT_TRUE(DDLoadPaletteFromFile(g_Palette, paletteFile));
    g_PaletteWork = g_Palette;
    ASSERT_EQ(DDSetTransmit(paletteFile), 1);
    ASSERT_EQ(LoadHbtPalette(0), 1);
    const int rows[] = {SURF_WORLD_MAP_CHIP, SURF_WINDOW, SURF_TITLE};
    ASSERT_TRUE(DDCreateSurfaceTable(g_SurfaceData.data(), rows, 3));
  }

  // The world map's cells (water among them) over black, the title in the
  // lower half, and a window laid over both through the blend table.
  void DrawScene() {
    DDFillSurfacePal(&BackBuffer, 16);
    DDSURFACEDATA& chips = g_SurfaceData[SURF_WORLD_MAP_CHIP];
    for (int y = 0; y < 240; y += chips.nHeight) {
      for (int x = 0; x < 640; x += chips.nWidth) {
        DDBlt(&BackBuffer, x, y, chips.nWidth, chips.nHeight, &chips, 0, 0, 1);
      }
    }
    DDBlt(&BackBuffer, 0, 240, 640, 240, &g_SurfaceData[SURF_TITLE], 0, 0, 1);
    ASSERT_TRUE(DDTranslucent(&BackBuffer, 160, 120, 320, 240, &g_SurfaceData[SURF_WINDOW], 0, 0, 1, g_BlendTable));
  }

  std::uint32_t PresentedChecksum() {
    EXPECT_TRUE(DDPresentFullScreen(1));
    return drawtest::FrameChecksum(m_Presenter.LastFrame());
  }

  void TearDown() override {
    g_BlendTable.fill(0);
    cDrawLayerFixture::TearDown();
  }
};

TEST_F(SamplePaletteCyclingTest, CyclingRecoloursTheFrameWithoutTouchingItsPixels) {
  StartEightBitSample();
  DrawScene();
  const plat::cPixelSurface drawn = BackBuffer.Pixels()->Clone();
  const std::uint32_t before = PresentedChecksum();

  // Three turns of the eight cycling groups: one every sixth frame.
  for (int frame = 0; frame < 18; ++frame) AnimatePalette(0, 1);
  const std::uint32_t after = PresentedChecksum();
  EXPECT_NE(after, before);
  const plat::cPixelSurface& now = *BackBuffer.Pixels();
  for (int y = 0; y < 480; y += 7)
    for (int x = 0; x < 640; x += 5) ASSERT_EQ(now.GetPixel(x, y), drawn.GetPixel(x, y)) << x << "," << y;

  drawtest::ExpectGoldenFrame(m_Presenter, 0x98E88CE3u, "SamplePaletteCycling");
}

}  // namespace
