// The glyph caches: their sizes per back end, the cells they read, first-use
// growth until full, the restore after lost video memory, and the digit
// strips drawn with the fonts.

#include <gtest/gtest.h>

#include <string>

#include "FontTestSupport.h"
#include "graphics/DigitSurface.h"
#include "graphics/Present.h"
#include "graphics/SurfaceFill.h"
#include "graphics/TextWalk.h"

namespace {

using drawtest::eRoad;
using fonttest::cFontLayer;
using fonttest::CompareInk;
using fonttest::kTextRgb;

std::vector<std::uint32_t> Snapshot(DDSURFACEDATA& sd) {
  plat::cPixelSurface& px = drawtest::PixelsOf(sd);
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < px.Height(); ++y)
    for (int x = 0; x < px.Width(); ++x) pixels.push_back(px.GetPixel(x, y));
  return pixels;
}

TEST(FullCacheDefaultSet, Holds256DoubleByteCharacters) {
  const std::string_view set(kFullCacheDefaultSet);
  ASSERT_EQ(512u, set.size());
  for (std::size_t pos = 0; pos < set.size(); pos += 2) {
    EXPECT_TRUE(TextCharAt(set, pos).IsDoubleByte()) << pos;
    EXPECT_NE(0u, plat::Cp932CodePoint(TextCharAt(set, pos).code)) << pos;
  }
}

struct sSizeCase {
  eRoad road;
  int cell;
  int columns, rows;
};

class CacheSize : public testing::TestWithParam<sSizeCase> {};

// The half cache is 16 x 16 cells; the full one at most 32 cells a side in
// 1024 x 1024 under Direct3D, in the 640 x 480 screen (and at most 30 rows)
// under DirectDraw. The default set fills the first 256 cells.
TEST_P(CacheSize, SheetsAndCapacity) {
  const sSizeCase& c = GetParam();
  cFontLayer layer(c.road, 640, 480);
  ASSERT_TRUE(layer.Started());
  Font font;
  ASSERT_TRUE(cFontLayer::Make(font, c.cell, c.cell, 1));
  ASSERT_TRUE(font.m_lpFastFont_Half && font.m_lpFastFont_FullAdd);
  EXPECT_EQ(16 * c.cell, font.m_lpFastFont_Half->m_Sheet.nWidth);
  EXPECT_EQ(16 * c.cell, font.m_lpFastFont_Half->m_Sheet.nHeight);
  const FastFont& full = *font.m_lpFastFont_FullAdd;
  EXPECT_EQ(c.columns, full.m_nColumns);
  EXPECT_EQ(c.rows, full.m_nRows);
  EXPECT_EQ(c.columns * c.rows, full.m_nCapacity);
  EXPECT_EQ(c.columns * c.cell, full.m_Sheet.nWidth);
  EXPECT_EQ(c.rows * c.cell, full.m_Sheet.nHeight);
  EXPECT_EQ(256, full.m_nCount);
}

INSTANTIATE_TEST_SUITE_P(Cells, CacheSize,
                         testing::Values(sSizeCase{eRoad::Direct3D, 16, 32, 32}, sSizeCase{eRoad::Direct3D, 10, 32, 32},
                                         sSizeCase{eRoad::Direct3D, 32, 32, 32},
                                         sSizeCase{eRoad::DirectDraw, 10, 32, 30},
                                         sSizeCase{eRoad::DirectDraw, 16, 32, 30},
                                         sSizeCase{eRoad::DirectDraw, 32, 20, 15}));

TEST(FastFontCells, CellOfASingleByteAndLookUpOfPairs) {
  cFontLayer layer(eRoad::Direct3D);
  ASSERT_TRUE(layer.Started());
  FastFont half(FastFont::kHalf, 16, 16, 16, 16);
  plat::cPixelSurface& sheet = drawtest::PixelsOf(half.m_Sheet);
  for (int y = 0; y < sheet.Height(); ++y)
    for (int x = 0; x < sheet.Width(); ++x) sheet.SetPixel(x, y, drawtest::Marker(x, y));
  DDSURFACEDATA target;
  drawtest::MakeFilledSurface(target, 16, 16, 0xFF000000u);
  // 0xB1 (a half-width katakana) is column 1, row 11.
  EXPECT_EQ(1, half.DrawCell(&target, 0, 0, 0xB1, 0));
  EXPECT_EQ(drawtest::Marker(16, 176), drawtest::PixelAt(target, 0, 0));
  EXPECT_EQ(drawtest::Marker(31, 191), drawtest::PixelAt(target, 15, 15));

  // A character not in the list draws nothing; ト is in the default set twice
  // and the first entry is the one found.
  FastFont full(FastFont::kFull, 16, 16, 32, 32);
  for (std::size_t pos = 0; pos < std::string_view(kFullCacheDefaultSet).size(); pos += 2) {
    ASSERT_TRUE(full.AddGlyph(std::string_view(kFullCacheDefaultSet + pos, 2)));
  }
  drawtest::FillAll(target, 0xFF000000u);
  EXPECT_FALSE(full.DrawGlyph(&target, 0, 0, "漢", 0));
  EXPECT_EQ(0xFF000000u, drawtest::PixelAt(target, 0, 0));
  const FASTFONTGLYPH* to = full.FindGlyph("ト");
  ASSERT_NE(nullptr, to);
  EXPECT_EQ(185, to->index);
  EXPECT_EQ(185 % 32 * 16, to->x);
  EXPECT_EQ(185 / 32 * 16, to->y);
}

TEST(FullCache, NewCharacterTakesTheNextCellOnItsFirstUse) {
  cFontLayer layer(eRoad::Direct3D);
  ASSERT_TRUE(layer.Started());
  Font font;
  ASSERT_TRUE(cFontLayer::Make(font, 16, 16, 1));
  FastFont& full = *font.m_lpFastFont_FullAdd;
  font.Draw(&BackBuffer, 0, 0, "漢字");
  ASSERT_EQ(258, full.m_nCount);
  const FASTFONTGLYPH* kan = full.FindGlyph("漢");
  ASSERT_NE(nullptr, kan);
  EXPECT_EQ(256, kan->index);
  EXPECT_EQ(0, kan->x);
  EXPECT_EQ(128, kan->y);
  // Its cell holds its box (漢 is odd: 15 wide); drawn again, nothing is added.
  EXPECT_EQ(kTextRgb, drawtest::Rgb(drawtest::PixelAt(full.m_Sheet, 14, 128)));
  EXPECT_NE(kTextRgb, drawtest::Rgb(drawtest::PixelAt(full.m_Sheet, 15, 128)));
  font.Draw(&BackBuffer, 0, 0, "漢");
  EXPECT_EQ(258, full.m_nCount);
}

// A cache made full by the default set (a 64 x 48 screen leaves DirectDraw 4
// x 3 cells) never grows: other characters are drawn by the engine each time.
TEST(FullCache, FullCacheNeitherGrowsNorLosesCharacters) {
  cFontLayer layer(eRoad::DirectDraw, 64, 48);
  ASSERT_TRUE(layer.Started());
  Font font;
  ASSERT_TRUE(cFontLayer::Make(font, 16, 16, 1));
  const FastFont& full = *font.m_lpFastFont_FullAdd;
  EXPECT_EQ(12, full.m_nCapacity);
  EXPECT_EQ(12, full.m_nCount);
  for (int pass = 0; pass < 2; ++pass) {
    DDFillSurfacePal(&BackBuffer, fonttest::kBackColour);
    font.Draw(&BackBuffer, 0, 0, "あ０\nい");
    EXPECT_EQ("", CompareInk(BackBuffer, kTextRgb, {{0, 0, 16, 16}, {16, 0, 15, 16}, {0, 16, 16, 16}}));
    EXPECT_EQ(12, full.m_nCount);
    EXPECT_EQ(nullptr, full.FindGlyph("あ"));
  }
  EXPECT_EQ(64, full.m_Sheet.nWidth);
  EXPECT_EQ(48, full.m_Sheet.nHeight);
}

class CacheRestore : public testing::TestWithParam<eRoad> {};

// After lost video memory every sheet holds the same characters in the same
// cells as before, a character added on first use included.
TEST_P(CacheRestore, SheetsAreDrawnAgainAsTheyWere) {
  cFontLayer layer(GetParam());
  ASSERT_TRUE(layer.Started());
  Font font;
  ASSERT_TRUE(cFontLayer::Make(font, 16, 16, 1));
  font.Draw(&BackBuffer, 0, 0, "ー");
  font.Draw(&BackBuffer, 0, 0, "漢");
  const std::vector<std::uint32_t> half = Snapshot(font.m_lpFastFont_Half->m_Sheet);
  const std::vector<std::uint32_t> full = Snapshot(font.m_lpFastFont_FullAdd->m_Sheet);
  const int count = font.m_lpFastFont_FullAdd->m_nCount;

  DDSimulateDeviceLoss();
  if (layer.D3D()) {
    ASSERT_EQ(1, DDRestoreSurface());
    EXPECT_EQ(0u, font.m_lpFastFont_FullAdd->m_Sheet.bLost);
  } else {
    ASSERT_TRUE(DDIsPrimaryLost());
    ASSERT_TRUE(DDRestore());
    EXPECT_EQ(0u, font.Work.lpDD->bSurfaceLost);
  }
  EXPECT_EQ(half, Snapshot(font.m_lpFastFont_Half->m_Sheet));
  EXPECT_EQ(full, Snapshot(font.m_lpFastFont_FullAdd->m_Sheet));
  EXPECT_EQ(count, font.m_lpFastFont_FullAdd->m_nCount);
  DDFillSurfacePal(&BackBuffer, fonttest::kBackColour);
  font.Draw(&BackBuffer, 8, 8, "漢A");
  EXPECT_EQ("", CompareInk(BackBuffer, kTextRgb, {{8, 8, 15, 16}, {26, 8, 7, 16}}));
}

// The centre flag set after the caches were filled reaches their cells only
// when they are drawn again after a loss.
TEST_P(CacheRestore, CentreFlagReachesCachedCellsAtTheRestore) {
  cFontLayer layer(GetParam());
  ASSERT_TRUE(layer.Started());
  Font font;
  ASSERT_TRUE(cFontLayer::Make(font, 16, 16, 1));
  font.m_bCentre = 1;
  DDFillSurfacePal(&BackBuffer, fonttest::kBackColour);
  font.Draw(&BackBuffer, 8, 8, "A");
  EXPECT_EQ("", CompareInk(BackBuffer, kTextRgb, {{10, 8, 7, 16}}));

  DDSimulateDeviceLoss();
  if (layer.D3D()) {
    ASSERT_EQ(1, DDRestoreSurface());
  } else {
    ASSERT_TRUE(DDRestore());
  }
  DDFillSurfacePal(&BackBuffer, fonttest::kBackColour);
  font.Draw(&BackBuffer, 8, 8, "A");
  EXPECT_EQ("", CompareInk(BackBuffer, kTextRgb, {{13, 8, 7, 16}}));
}

TEST_P(CacheRestore, DigitStripsAreDrawnAgain) {
  cFontLayer layer(GetParam());
  ASSERT_TRUE(layer.Started());
  std::array<FONTDEF, kFontCount> defs = MakeFontDefinitions();
  for (FONTDEF& def : defs) def.nCacheMode = 0;
  ASSERT_TRUE(CreateFonts(g_Font.data(), defs.data(), kFontCount));
  ASSERT_TRUE(CreateDigitSurfaces(g_DigitSD.data(), g_DigitSurfaceDef.data(), kFontCount, g_Font.data(), defs.data()));
  // The 16-dot strip: ten cells of 16, '0' (even) 8 wide, '1' (odd) 7 wide.
  DDSURFACEDATA& strip = g_DigitSD[1];
  ASSERT_EQ(160, strip.nWidth);
  ASSERT_EQ(16, strip.nHeight);
  std::vector<fonttest::sRect> digits;
  for (int d = 0; d < 10; ++d) digits.push_back({d * 16 + 2, 0, d % 2 == 0 ? 8 : 7, 16});
  EXPECT_EQ("", CompareInk(strip, kTextRgb, digits));
  const std::vector<std::uint32_t> before = Snapshot(strip);

  DDSimulateDeviceLoss();
  if (layer.D3D()) {
    ASSERT_EQ(1, DDRestoreSurface());
  } else {
    ASSERT_TRUE(DDRestore());
    EXPECT_TRUE(RestoreDigitSurfaces(g_DigitSD.data(), kFontCount));
  }
  EXPECT_EQ(before, Snapshot(strip));
  EXPECT_EQ(0u, strip.bLost);
}

INSTANTIATE_TEST_SUITE_P(Roads, CacheRestore, testing::Values(eRoad::Direct3D, eRoad::DirectDraw), drawtest::RoadName);

}  // namespace
