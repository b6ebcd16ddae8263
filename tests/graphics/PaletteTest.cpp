// The game palette, the transparent colour, the flash colours, palette
// cycling, and the 16-bit conversions kept for their exact numbers.

#include "DrawLayerFixture.h"
#include "graphics/PixelFormat.h"

namespace gfxtest {
namespace {

TEST(PixelFormatTest, SixteenBitNumbers) {
  // The DirectDraw 16-bit key of (255, 0, 255) in 5-6-5.
  EXPECT_EQ(PackScaled(kFormatR5G6B5, 255, 0, 255), 0xF81Fu);
  // Palette entries already in field widths.
  EXPECT_EQ(PackFields(kFormatR5G6B5, 31, 63, 31), 0xFFFFu);
  EXPECT_EQ(PackFields(kFormatA1R5G5B5, 31, 31, 31), 0x7FFFu);
  EXPECT_EQ(PackFields(kFormatR5G6B5, 0, 1, 0), 0x0020u);
  EXPECT_EQ(PackFields(kFormatR5G6B5, 32, 64, 32), 0u);  // limited to the masks
  // The Direct3D 16-bit transparent value: the 5-bit components with the alpha bit.
  EXPECT_EQ(PackFields(kFormatA1R5G5B5, 31, 0, 31) | (kFormatA1R5G5B5.AMask & 1u) << kFormatA1R5G5B5.AShift, 0xFC1Fu);
  EXPECT_EQ(WidenField(0xF81F, kFormatR5G6B5.RShift, kFormatR5G6B5.RMask), 255);
  EXPECT_EQ(WidenField(0x0020, kFormatR5G6B5.GShift, kFormatR5G6B5.GMask), 4);
}

TEST(PixelFormatTest, ConvertedPixelsKeepOffTheKey) {
  struct sCase {
    std::uint8_t r, g, b;
    std::uint16_t expected;
  };
  const std::uint16_t key = 0xF81F;  // (255, 0, 255) in 5-6-5
  const sCase cases[] = {
      {255, 0, 255, 0xF81F},  // the key triple itself carries the key
      {255, 3, 255, 0xF81E},  // converts to the key: blue at its maximum steps down
      {255, 3, 250, 0xF81E},
      {0, 0, 0, 0x0000},
  };
  for (const sCase& c : cases) {
    EXPECT_EQ(ConvertToKeyed16(kFormatR5G6B5, c.r, c.g, c.b, 255, 0, 255, key), c.expected)
        << int(c.r) << "," << int(c.g) << "," << int(c.b);
  }
  // Blue below its maximum steps up.
  EXPECT_EQ(ConvertToKeyed16(kFormatR5G6B5, 1, 1, 1, 255, 0, 255, 0x0000), 0x0001);
}

using PaletteTest = cDrawLayerFixture;

std::vector<plat::sPaletteEntry> Ramp() {
  std::vector<plat::sPaletteEntry> colours(256);
  for (int i = 0; i < 256; ++i) {
    colours[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), 7, 0};
  }
  return colours;
}

// An 8-bit palette bitmap 16 x 24 whose top-left pixel has colour-table
// entry 1, and whose swatch rows 8..23 show entry (255 - i) at swatch place i.
void WritePaletteBitmap(cDrawLayerFixture& f, std::vector<plat::sPaletteEntry> colours) {
  std::vector<std::uint8_t> indices(16 * 24, 1);
  for (int i = 0; i < 256; ++i) indices[(8 + i / 16) * 16 + i % 16] = static_cast<std::uint8_t>(255 - i);
  f.WriteBmp8("bmp/plt/Palette.bmp", 16, 24, indices, colours);
}

TEST_F(PaletteTest, Direct3DTakesTheColourTableThenTheSwatch) {
  WritePaletteBitmap(*this, Ramp());
  ASSERT_TRUE(Start(eRoad::Direct3D));
  ASSERT_TRUE(DDLoadPaletteFromFile(g_Palette, g_SurfaceDef[0].szFile));
  // Entry 10 shows colour-table entry 245 in the swatch: (245, 10, 7).
  EXPECT_EQ(g_Palette[10].red, 245);
  EXPECT_EQ(g_Palette[10].green, 10);
  EXPECT_EQ(g_Palette[10].blue, 7);
  EXPECT_EQ(g_Palette[10].flags, 255);
  EXPECT_FALSE(DDLoadPaletteFromFile(g_Palette, "bmp\\plt\\Missing.bmp"));
}

TEST_F(PaletteTest, EightBitDirectDrawTakesTheColourTableAndShowsIt) {
  WritePaletteBitmap(*this, Ramp());
  ASSERT_TRUE(Start(eRoad::DirectDraw, 8, 0));
  ASSERT_TRUE(DDLoadPaletteFromFile(g_Palette, g_SurfaceDef[0].szFile));
  EXPECT_EQ(g_Palette[10].red, 10);  // the colour table, not the swatch
  EXPECT_EQ(g_Palette[9].flags, 2);
  EXPECT_EQ(g_Palette[10].flags, 1);
  EXPECT_EQ(g_Palette[245].flags, 1);
  EXPECT_EQ(g_Palette[246].flags, 2);
  EXPECT_EQ(g_DrawLayer.ddPalette[200].red, 200);
  EXPECT_EQ(g_DrawLayer.ddPalette[200].green, 55);
}

TEST_F(PaletteTest, TransparentColourFromTheBitmapsTopLeftPixel) {
  auto colours = Ramp();
  colours[1] = {255, 0, 255, 0};
  WritePaletteBitmap(*this, colours);

  ASSERT_TRUE(Start(eRoad::Direct3D));
  EXPECT_EQ(DDSetTransmit(g_SurfaceDef[0].szFile), 1);
  EXPECT_EQ(lpDTCon->dwOpaqueTransmit, 0xFFFF00FFu);
  EXPECT_EQ(lpDTCon->dwTransparent, 0u);
  EXPECT_EQ(lpDTCon->rgbTransmit.rgbtRed, 255);
  EXPECT_EQ(lpDTCon->rgbTransmit.rgbtBlue, 255);
  EXPECT_EQ(g_DrawLayer.dwColorKey, 0u);
  EXPECT_EQ(DDSetTransmit("bmp\\plt\\Missing.bmp"), 0);
  DDUnInit();

  ASSERT_TRUE(Start(eRoad::DirectDraw));
  EXPECT_EQ(DDSetTransmit(g_SurfaceDef[0].szFile), 1);
  EXPECT_EQ(g_DrawLayer.dwColorKey, 0xFF00FFu);
  EXPECT_EQ(lpDDCon->rgbTransmit.rgbtRed, 255);
  EXPECT_EQ(lpDDCon->rgbTransmit.rgbtGreen, 0);
  DDUnInit();

  ASSERT_TRUE(Start(eRoad::DirectDraw, 8, 0));
  EXPECT_EQ(DDSetTransmit(g_SurfaceDef[0].szFile), 1);
  EXPECT_EQ(g_DrawLayer.dwColorKey, 1u);  // the palette index
}

TEST_F(PaletteTest, TransparentColourGivenAsBytes) {
  ASSERT_TRUE(Start(eRoad::DirectDraw));
  DDSetTransmit(0, 0, 255);
  EXPECT_EQ(g_DrawLayer.dwColorKey, 0x000000FFu);
  EXPECT_EQ(lpDDCon->rgbTransmit.rgbtBlue, 255);
  DDUnInit();

  ASSERT_TRUE(Start(eRoad::Direct3D));
  DDSetTransmit(255, 0, 255);
  EXPECT_EQ(lpDTCon->dwOpaqueTransmit, 0xFFFF00FFu);
  EXPECT_EQ(lpDTCon->dwTransparent, 0u);
  EXPECT_EQ(PalNumToRGB(0), 0u);
  g_Palette[5] = {1, 2, 3, 255};
  EXPECT_EQ(PalNumToRGB(5), 0xFF010203u);
  EXPECT_EQ(PalNumToRGB(256), 0u);
}

TEST_F(PaletteTest, FlashPulseClimbsTurnsAndFallsWithoutReturningToZero) {
  ASSERT_TRUE(Start(eRoad::Direct3D));
  std::vector<int> values;
  for (int frame = 0; frame < 52; ++frame) {
    AnimatePalette(10, 0);
    values.push_back(static_cast<int>(g_FlashColors[1].dwColor & 0xFF));
  }
  std::vector<int> expected;
  for (int v = 0; v <= 250; v += 10) expected.push_back(v);  // 26 frames up
  expected.push_back(250);                                   // the turn
  for (int v = 240; v >= 10; v -= 10) expected.push_back(v);  // down to 10
  expected.push_back(10);                                    // the turn: one cycle complete
  expected.resize(values.size());
  EXPECT_EQ(values, expected);

  EXPECT_EQ(g_FlashColors[1].dwColorOp, D3DTOP_ADD);
  EXPECT_EQ(g_FlashColors[2].dwColorOp, D3DTOP_SUBTRACT);
  EXPECT_EQ(g_FlashColors[2].dwColor, g_FlashColors[1].dwColor);
  EXPECT_EQ(g_FlashColors[3].dwColor, 0xFF0A0000u | 0);  // red only at v 10
  EXPECT_EQ(g_FlashColors[7].dwColor, 0xFF0A0002u);      // red v, blue v / 4
  EXPECT_EQ(g_FlashColors[0].dwColor, 0xFFFFFFFFu);      // entry 0 is not used
}

TEST_F(PaletteTest, TheRainbowEntryChangesColourAfterEachCycle) {
  ASSERT_TRUE(Start(eRoad::Direct3D));
  // With a step of 200: 0, 200, 200 (turn), 200 (turn, cycle complete), ...
  AnimatePalette(200, 0);
  AnimatePalette(200, 0);
  EXPECT_EQ(g_FlashColors[9].dwColor, 0xFFC80000u);  // red
  AnimatePalette(200, 0);
  AnimatePalette(200, 0);
  AnimatePalette(200, 0);
  EXPECT_EQ(g_FlashColors[9].dwColor, 0xFF00C800u);  // green after one cycle
}

TEST_F(PaletteTest, EightBitPaletteCyclingEverySixthFrame) {
  ASSERT_TRUE(Start(eRoad::DirectDraw, 8, 0));
  for (int i = 0; i < 256; ++i) g_PaletteWork[i] = {static_cast<std::uint8_t>(i), 0, 0, 1};
  for (int frame = 0; frame < 5; ++frame) AnimatePalette(10, 1);
  EXPECT_EQ(g_PaletteWork[208].red, 208);
  AnimatePalette(10, 1);
  // Each group of four turns by one: 208 takes 209, 211 takes 208.
  EXPECT_EQ(g_PaletteWork[208].red, 209);
  EXPECT_EQ(g_PaletteWork[211].red, 208);
  EXPECT_EQ(g_PaletteWork[236].red, 237);
  EXPECT_EQ(g_PaletteWork[239].red, 236);
  EXPECT_EQ(g_PaletteWork[207].red, 207);
  EXPECT_EQ(g_DrawLayer.ddPalette[211].red, 208);  // the display shows it
  // Without the switch nothing turns.
  for (int frame = 0; frame < 12; ++frame) AnimatePalette(10, 0);
  EXPECT_EQ(g_PaletteWork[208].red, 209);
}

}  // namespace
}  // namespace gfxtest
