// Text in the three fonts with the real IPA fonts, one golden frame per back
// end: anti-aliased glyphs drawn directly under Direct3D, one-bit glyphs
// through the glyph caches and Work under DirectDraw, each as start-up makes
// the fonts (the default face, the default cache choice of each back end).

#include <gtest/gtest.h>

#include <string>

#include "DrawLayerTestSupport.h"
#include "FrameChecksum.h"
#include "data/FontNameTable.h"
#include "graphics/Font.h"
#include "graphics/Present.h"
#include "graphics/SurfaceFill.h"

namespace {

using drawtest::cTestLayer;
using drawtest::eRoad;

constexpr int kGoldenW = 320, kGoldenH = 112;

struct sGoldenCase {
  eRoad road;
  int cacheMode;  // what System.ini gives each back end by default
  std::uint32_t checksum;
};

class TextGolden : public testing::TestWithParam<sGoldenCase> {};

TEST_P(TextGolden, FrameMatchesItsChecksum) {
  const sGoldenCase& c = GetParam();
  cTestLayer layer(c.road, kGoldenW, kGoldenH);
  ASSERT_TRUE(layer.Started());
  g_Palette[0] = {drawtest::kKeyRed, drawtest::kKeyGreen, drawtest::kKeyBlue, 0};
  g_Palette[3] = {20, 40, 80, 0};
  g_Palette[240] = {200, 200, 0, 0};
  g_Palette[241] = {250, 250, 250, 0};
  g_PaletteWork = g_Palette;
  DDSURFACEDATA box;
  drawtest::MakeFilledSurface(box, 160, 64, (layer.D3D() ? 0xFF000000u : 0u) | 0x302850u);

  std::array<FONTDEF, kFontCount> defs = MakeFontDefinitions();
  std::array<Font, kFontCount> fonts;
  for (int i = 0; i < kFontCount; ++i) {
    FONTDEF& def = defs[static_cast<std::size_t>(i)];
    def.szFaceName = FontFaceName(kDefaultFontFaceIndex);
    ASSERT_TRUE(fonts[static_cast<std::size_t>(i)].Create(def.szFaceName, def.nWidth, def.nHeight, def.nCellWidth,
                                                          def.nCellHeight, def.dwColor, &box, def.nFrame,
                                                          def.dwFrameColor, nullptr,
                                                          def.nCacheMode == 2 ? c.cacheMode : def.nCacheMode));
  }

  DDFillSurfacePal(&BackBuffer, 3);
  fonts[1].Draw(&BackBuffer, 4, 4, "Kestrova テキスト ｱｲｳ 漢字!");
  fonts[0].Draw(&BackBuffer, 4, 24, "FPS60(16) 0123 あいう \\~");
  fonts[2].Draw(&BackBuffer, 4, 40, "Aあ字g");
  fonts[1].m_bCentre = 1;
  fonts[1].Draw(&BackBuffer, 160, 44, "中jI");
  FontPrintfInBox(fonts[1], &BackBuffer, 160, 80, 0, 0, "FPS%2d(%2d)", 60, 16);
  if (layer.D3D()) {
    ASSERT_EQ(1, DDEndFrame(60, 0, 0));
  } else {
    ASSERT_TRUE(DDPresentWindow(0));
  }
  for (Font& font : fonts) font.Release();
  g_Palette = {};
  g_PaletteWork = {};

  drawtest::ExpectGoldenFrame(layer.Presenter(), c.checksum,
                              std::string("TextGolden_") + (layer.D3D() ? "Direct3D" : "DirectDraw"));
}

INSTANTIATE_TEST_SUITE_P(Roads, TextGolden,
                         testing::Values(sGoldenCase{eRoad::Direct3D, 0, 0x9F5160E6u},
                                         sGoldenCase{eRoad::DirectDraw, 1, 0x9021E63Du}),
                         [](const testing::TestParamInfo<sGoldenCase>& info) {
                           return std::string(info.param.road == eRoad::Direct3D ? "Direct3D" : "DirectDraw");
                         });

}  // namespace
