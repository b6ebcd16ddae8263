// Text layout on both back ends, with and without glyph caches: which cells
// receive ink and where the glyph sits in them, checked against the box font
// engine (a single byte is a box half the height wide, a pair a box the
// height wide, one pixel narrower for an odd code).

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "FontTestSupport.h"
#include "graphics/SurfaceFill.h"

namespace {

using drawtest::eRoad;
using fonttest::cFontLayer;
using fonttest::CompareInk;
using fonttest::kTextRgb;
using fonttest::sRect;

struct sLayoutCase {
  const char* name;
  std::string text;
  std::vector<sRect> ink;  // the 16-dot font at (8, 8)
};

const sLayoutCase kLayoutCases[] = {
    // A single byte sits at (+2, 0) in its 16-dot cell; '\n' starts a line.
    {"lines", "AB\nD", {{10, 8, 7, 16}, {26, 8, 8, 16}, {10, 24, 8, 16}}},
    {"half-width katakana", "ｱｲｳ", {{10, 8, 7, 16}, {26, 8, 8, 16}, {42, 8, 7, 16}}},
    {"spaces take cells", "  　X", {{58, 8, 8, 16}}},
    {"control and undefined bytes take cells", "\x01\x7F\x80\xA0\xFDZ", {{90, 8, 8, 16}}},
    {"lead byte at the end", "A\x81", {{10, 8, 7, 16}}},
    {"bytes 0x5C and 0x7E", "\\~", {{10, 8, 8, 16}, {26, 8, 8, 16}}},
    // A double byte sits at its cell's top-left. With caches, あ and ー are in
    // the default set, 漢 is added on first use (or, when the cache is full,
    // drawn by the engine).
    {"double bytes", "あー漢", {{8, 8, 16, 16}, {24, 8, 15, 16}, {40, 8, 15, 16}}},
    {"letters without a symbol sheet", "x\n\nyz", {{10, 8, 8, 16}, {10, 40, 7, 16}, {26, 40, 8, 16}}},
    {"the text ends at its NUL", std::string("AB\0CD", 5), {{10, 8, 7, 16}, {26, 8, 8, 16}}},
    {"a final newline", "ｱ\n", {{10, 8, 7, 16}}},
};

class TextLayout : public testing::TestWithParam<std::tuple<eRoad, int>> {};

TEST_P(TextLayout, CellsReceiveTheirInk) {
  const auto [road, cacheMode] = GetParam();
  cFontLayer layer(road);
  ASSERT_TRUE(layer.Started());
  Font font;
  ASSERT_TRUE(cFontLayer::Make(font, 16, 16, cacheMode));
  for (const sLayoutCase& c : kLayoutCases) {
    SCOPED_TRACE(c.name);
    // Twice: a character the cache took on its first use comes from it the second time.
    for (int pass = 0; pass < 2; ++pass) {
      DDFillSurfacePal(&BackBuffer, fonttest::kBackColour);
      font.Draw(&BackBuffer, 8, 8, c.text);
      EXPECT_EQ("", CompareInk(BackBuffer, kTextRgb, c.ink)) << "pass " << pass;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(RoadsAndCaches, TextLayout,
                         testing::Combine(testing::Values(eRoad::Direct3D, eRoad::DirectDraw), testing::Values(0, 1)),
                         [](const testing::TestParamInfo<std::tuple<eRoad, int>>& info) {
                           return std::string(std::get<0>(info.param) == eRoad::Direct3D ? "Direct3D" : "DirectDraw") +
                                  (std::get<1>(info.param) ? "Cached" : "Uncached");
                         });

class TextOnRoad : public testing::TestWithParam<eRoad> {};

TEST_P(TextOnRoad, LettersShowSymbolsWhileTheSheetExists) {
  cFontLayer layer(GetParam());
  ASSERT_TRUE(layer.Started());
  const std::uint32_t opaque = layer.D3D() ? 0xFF000000u : 0u;
  DDSURFACEDATA sheet;
  drawtest::MakeFilledSurface(sheet, 26 * 16, 16, opaque | 0x0000C0u, 1);
  plat::cPixelSurface& px = drawtest::PixelsOf(sheet);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) px.SetPixel(x, y, opaque | 0x00C000u);  // cell 0: 'a'
  Font font;
  ASSERT_TRUE(cFontLayer::Make(font, 16, 16, 0, nullptr, &sheet));
  EXPECT_EQ(1, font.m_bSymbols);

  DDFillSurfacePal(&BackBuffer, fonttest::kBackColour);
  font.Draw(&BackBuffer, 8, 8, "あa");
  EXPECT_EQ("", CompareInk(BackBuffer, kTextRgb, {{8, 8, 16, 16}}));
  EXPECT_EQ("", CompareInk(BackBuffer, 0x00C000u, {{24, 8, 16, 16}}));

  // Switched off around a drawing, the letter is a letter again.
  font.m_bSymbols = 0;
  DDFillSurfacePal(&BackBuffer, fonttest::kBackColour);
  font.Draw(&BackBuffer, 8, 8, "あa");
  EXPECT_EQ("", CompareInk(BackBuffer, kTextRgb, {{8, 8, 16, 16}, {26, 8, 7, 16}}));
  EXPECT_EQ("", CompareInk(BackBuffer, 0x00C000u, {}));

  // Without the sheet's surface the letters are drawn as letters.
  font.m_bSymbols = 1;
  DDReleaseSurface(&sheet);
  DDFillSurfacePal(&BackBuffer, fonttest::kBackColour);
  font.Draw(&BackBuffer, 8, 8, "あa");
  EXPECT_EQ("", CompareInk(BackBuffer, kTextRgb, {{8, 8, 16, 16}, {26, 8, 7, 16}}));
}

TEST_P(TextOnRoad, CentreFlagCentresGlyphsByTheirExtent) {
  cFontLayer layer(GetParam());
  ASSERT_TRUE(layer.Started());
  Font font;
  ASSERT_TRUE(cFontLayer::Make(font, 16, 16, 0));
  font.m_bCentre = 1;
  DDFillSurfacePal(&BackBuffer, fonttest::kBackColour);
  font.Draw(&BackBuffer, 8, 8, "Aあぃ");
  // x + 8 - width / 2: A is 7 wide, あ 16, ぃ (odd) 15; the boxes fill the height.
  EXPECT_EQ("", CompareInk(BackBuffer, kTextRgb, {{13, 8, 7, 16}, {24, 8, 16, 16}, {41, 8, 15, 16}}));
}

TEST_P(TextOnRoad, BoxesCentreOnThePatternAndFitTheirText) {
  cFontLayer layer(GetParam());
  ASSERT_TRUE(layer.Started());
  const std::uint32_t pattern = (layer.D3D() ? 0xFF000000u : 0u) | 0x102030u;
  DDSURFACEDATA box;
  drawtest::MakeFilledSurface(box, 100, 50, pattern);
  Font font;
  ASSERT_TRUE(cFontLayer::Make(font, 16, 16, 0, &box));

  // 10000 centres a 40 x 20 box on the 100 x 50 pattern, not on the screen:
  // (30, 15), with a frame one dot outside it.
  DDFillSurfacePal(&BackBuffer, fonttest::kBackColour);
  font.DrawBox(&BackBuffer, 10000, 10000, 40, 20);
  EXPECT_EQ("", CompareInk(BackBuffer, 0x102030u, {{30, 15, 40, 20}}));
  EXPECT_EQ("", CompareInk(BackBuffer, fonttest::kFrameRgb,
                           {{29, 14, 42, 1}, {29, 35, 42, 1}, {29, 14, 1, 22}, {70, 14, 1, 22}}));

  // "OK" with width and height 0 and margin 8: a 40 x 16 box, the text at x + 8.
  DDFillSurfacePal(&BackBuffer, fonttest::kBackColour);
  font.DrawInBox(&BackBuffer, 20, 40, 0, 0, "OK", 8);
  EXPECT_EQ("", CompareInk(BackBuffer, kTextRgb, {{30, 40, 7, 16}, {46, 40, 7, 16}}));
  EXPECT_EQ("", CompareInk(BackBuffer, fonttest::kFrameRgb,
                           {{19, 39, 42, 1}, {19, 56, 42, 1}, {19, 39, 1, 18}, {60, 39, 1, 18}}));
  EXPECT_EQ(pattern & 0xFFFFFFu, drawtest::Rgb(drawtest::PixelAt(BackBuffer, 20, 40)));
  EXPECT_EQ(pattern & 0xFFFFFFu, drawtest::Rgb(drawtest::PixelAt(BackBuffer, 59, 55)));
}

// The single byte's place in its cell, (cell / 8, cell / 16 - 1): (+1, -1),
// (+2, 0) and (+4, +1). Under DirectDraw the text is composed at the top of
// Work, so the row above the 10-dot cell is cut off.
TEST_P(TextOnRoad, SingleBytesSitAtTheirCellOffset) {
  cFontLayer layer(GetParam());
  ASSERT_TRUE(layer.Started());
  struct sCase {
    int height, cell;
    sRect direct3D, directDraw;
  };
  const sCase cases[] = {
      {9, 10, {11, 9, 4, 9}, {11, 10, 4, 8}},
      {16, 16, {12, 10, 8, 16}, {12, 10, 8, 16}},
      {30, 32, {14, 11, 15, 30}, {14, 11, 15, 30}},
  };
  for (const sCase& c : cases) {
    Font font;
    ASSERT_TRUE(cFontLayer::Make(font, c.height, c.cell, 0));
    DDFillSurfacePal(&BackBuffer, fonttest::kBackColour);
    font.Draw(&BackBuffer, 10, 10, "B");
    EXPECT_EQ("", CompareInk(BackBuffer, kTextRgb, {layer.D3D() ? c.direct3D : c.directDraw})) << c.cell;
  }
}

INSTANTIATE_TEST_SUITE_P(Roads, TextOnRoad, testing::Values(eRoad::Direct3D, eRoad::DirectDraw),
                         drawtest::RoadName);

// Onto a surface that is not a render target Direct3D composes the text in
// Work and copies it keyed, so it looks as DirectDraw's does: the row above
// a 10-dot cell is cut off there too.
TEST(TextOnDirect3D, SystemMemoryDestinationIsComposedInWork) {
  cFontLayer layer(eRoad::Direct3D);
  ASSERT_TRUE(layer.Started());
  DDSURFACEDATA target;
  drawtest::MakeFilledSurface(target, 64, 32, 0xFF142850u, 0, DTMEMORYTYPE_SYSTEM);
  Font small, medium;
  ASSERT_TRUE(cFontLayer::Make(small, 9, 10, 0));
  ASSERT_TRUE(cFontLayer::Make(medium, 16, 16, 1));
  small.Draw(&target, 10, 10, "B");
  medium.Draw(&target, 30, 10, "Bあ");
  EXPECT_EQ("", CompareInk(target, kTextRgb, {{11, 10, 4, 8}, {32, 10, 8, 16}, {46, 10, 16, 16}}));
}

TEST(TextMeasure, WidestLineAndLineCountInCells) {
  Font font;
  font.m_nCellW = 16;
  font.m_nCellH = 16;
  struct sCase {
    std::string text;
    sTextSize size;
  };
  const sCase cases[] = {
      {"AB\nD", {32, 32}},          {"", {0, 0}},
      {"AB\n", {32, 16}},           {"\n\nA", {16, 48}},
      {"あいう", {48, 16}},         {"A\x81", {32, 16}},
      {"ｱ", {16, 16}},              {std::string("AB\0CDE", 6), {32, 16}},
      {"あa\nｱｲｳｴ", {64, 32}},     {"\n", {0, 16}},
  };
  for (const sCase& c : cases) EXPECT_EQ(c.size, font.MeasureFixed(c.text)) << c.text;
}

TEST(TextMeasure, LineLengthInBytes) {
  EXPECT_EQ(2, TextLineLength("AB\nCD"));
  EXPECT_EQ(3, TextLineLength("ABC"));
  EXPECT_EQ(4, TextLineLength("あい\n"));
  EXPECT_EQ(0, TextLineLength(""));
  EXPECT_EQ(1, TextLineLength(std::string_view("A\0B", 3)));
}

// The formatted text is kept to 255 bytes (511 in a box), cut where a
// character ends: a pair that would straddle the limit is dropped whole.
TEST(FontPrintf, FormattedTextIsCutOnACharacterBoundary) {
  cFontLayer layer(eRoad::Direct3D, 640, 32);
  ASSERT_TRUE(layer.Started());
  Font font;  // cells of 2: a pair is a 2 x 2 box, cell i at x = 2i
  ASSERT_TRUE(cFontLayer::Make(font, 2, 2, 0));
  std::string pairs127;
  for (int i = 0; i < 127; ++i) pairs127 += "あ";

  const auto inkAt = [](int x, int y) { return drawtest::Rgb(drawtest::PixelAt(BackBuffer, x, y)) == kTextRgb; };
  DDFillSurfacePal(&BackBuffer, fonttest::kBackColour);
  FontPrintf(font, &BackBuffer, 0, 8, "%s%s", pairs127.c_str(), "い");  // 256 bytes
  EXPECT_TRUE(inkAt(252, 8));
  EXPECT_FALSE(inkAt(254, 8));

  DDFillSurfacePal(&BackBuffer, fonttest::kBackColour);
  FontPrintf(font, &BackBuffer, 0, 8, "B%s", pairs127.c_str());  // 255 bytes: all of it
  EXPECT_TRUE(inkAt(254, 8));

  // In a box: 255 pairs and one more make 512 bytes; the box is measured on
  // what is kept, 510 dots wide, its frame at x = 510.
  DDFillSurfacePal(&BackBuffer, fonttest::kBackColour);
  FontPrintfInBox(font, &BackBuffer, 0, 8, 0, 0, "%s%s%s%s", pairs127.c_str(), pairs127.c_str(), "あ", "い");
  EXPECT_TRUE(inkAt(508, 8));
  EXPECT_FALSE(inkAt(510, 8));
  EXPECT_EQ(fonttest::kFrameRgb, drawtest::Rgb(drawtest::PixelAt(BackBuffer, 510, 8)));
}

// A font whose face cannot be opened is not made, and the fonts after it are
// not tried.
TEST(CreateFonts, StopsAtAFontThatCannotBeMade) {
  class cRefusingEngine final : public plat::cFontEngine {
   public:
    std::unique_ptr<plat::cFontFace> OpenFace(std::string_view, int, std::string* error) override {
      ++m_Calls;
      if (error) *error = "no font here";
      return nullptr;
    }
    int m_Calls = 0;
  };
  cFontLayer layer(eRoad::DirectDraw);
  ASSERT_TRUE(layer.Started());
  cRefusingEngine refusing;
  FontSetEngine(&refusing);
  Font fonts[2];
  const std::array<FONTDEF, kFontCount> defs = MakeFontDefinitions();
  EXPECT_FALSE(CreateFonts(fonts, defs.data(), 2));
  EXPECT_EQ(1, refusing.m_Calls);
  EXPECT_FALSE(fonts[0].IsCreated());
  EXPECT_TRUE(FontList().empty());
}

}  // namespace
