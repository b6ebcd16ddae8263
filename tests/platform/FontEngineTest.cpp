// The font engine: which IPA font a face name gets, the CP932 look-up, the
// real faces' geometry and styles, and the box engine the layout tests use.

#include "platform/FontEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/TextCodec.h"

namespace {

using plat::eGlyphStyle;
using plat::eIpaFont;

struct sFaceCase {
  const char* face;  // CP932, as the game data holds it
  eIpaFont font;
};

class IpaFontForFace : public testing::TestWithParam<sFaceCase> {};

TEST_P(IpaFontForFace, ComparesTheDecodedName) {
  EXPECT_EQ(GetParam().font, plat::IpaFontForFace(GetParam().face)) << plat::Cp932ToUtf8(GetParam().face);
}

INSTANTIATE_TEST_SUITE_P(
    FaceNames, IpaFontForFace,
    testing::Values(sFaceCase{"ＭＳ ゴシック", eIpaFont::Gothic}, sFaceCase{"ＭＳ Ｐゴシック", eIpaFont::PGothic},
                    sFaceCase{"MS UI Gothic", eIpaFont::PGothic}, sFaceCase{"メイリオ", eIpaFont::PGothic},
                    sFaceCase{"HGｺﾞｼｯｸE", eIpaFont::Gothic}, sFaceCase{"HGPｺﾞｼｯｸE", eIpaFont::PGothic},
                    sFaceCase{"HGSｺﾞｼｯｸM", eIpaFont::Gothic}, sFaceCase{"HG丸ｺﾞｼｯｸM-PRO", eIpaFont::Gothic},
                    sFaceCase{"HGP創英角ｺﾞｼｯｸUB", eIpaFont::PGothic}, sFaceCase{"ＭＳ 明朝", eIpaFont::Mincho},
                    sFaceCase{"ＭＳ Ｐ明朝", eIpaFont::Mincho}, sFaceCase{"HGP明朝B", eIpaFont::Mincho},
                    sFaceCase{"Arial", eIpaFont::Gothic}, sFaceCase{"Century Gothic", eIpaFont::Gothic},
                    sFaceCase{"Ｍincho", eIpaFont::Mincho}, sFaceCase{"", eIpaFont::Gothic}));

TEST(IpaFamilyName, NamesTheThreeFamilies) {
  EXPECT_STREQ("IPAGothic", plat::IpaFamilyName(eIpaFont::Gothic));
  EXPECT_STREQ("IPAPGothic", plat::IpaFamilyName(eIpaFont::PGothic));
  EXPECT_STREQ("IPAMincho", plat::IpaFamilyName(eIpaFont::Mincho));
}

TEST(Cp932CodePoint, MapsCharactersAndRefusesWhatIsNone) {
  struct sCase {
    std::uint32_t code;
    char32_t expected;
  };
  const sCase cases[] = {
      {0x41, U'A'},        {0x5C, U'\\'},       {0x7E, U'~'},     {0x0A, U'\n'},   {0xB1, U'\uFF71'},
      {0xDF, U'\uFF9F'},   {0x82A0, U'\u3042'}, {0x8140, U'\u3000'}, {0x8ABF, U'\u6F22'},
      {0x81, 0},           {0x80, 0},           {0xA0, 0},        {0xFD, 0},       {0x00, 0},
      {0x8100 | 0x3F, 0},  {0x0141, 0},         {0x10041, 0},
  };
  for (const sCase& c : cases) EXPECT_EQ(c.expected, plat::Cp932CodePoint(c.code)) << std::hex << c.code;
}

// ---- the FreeType engine over the IPA fonts ---------------------------------

// Capitals, digits, half-width katakana, kana and kanji: none reaches below
// the line or far past its advance.
constexpr std::uint32_t kSample[] = {'0', '9', 'A', 'H', 'M', 'W', 0xB1, 0xDD, 0x82A0, 0x82F1, 0x8341, 0x8ABF};

struct sRealFace {
  const char* face;
  int height;
};

class RealFace : public testing::TestWithParam<sRealFace> {
 protected:
  void SetUp() override {
    std::string error;
    m_Face = m_Engine->OpenFace(GetParam().face, GetParam().height, &error);
    ASSERT_NE(nullptr, m_Face) << error;
  }
  std::unique_ptr<plat::cFontEngine> m_Engine = plat::CreateFreeTypeFontEngine();
  std::unique_ptr<plat::cFontFace> m_Face;
};

TEST_P(RealFace, GlyphsSitInTheirLine) {
  const int height = GetParam().height;
  EXPECT_EQ(height, m_Face->Height());
  for (eGlyphStyle style : {eGlyphStyle::Smooth, eGlyphStyle::Mono}) {
    for (std::uint32_t code : kSample) {
      plat::sGlyphImage image;
      ASSERT_TRUE(m_Face->Render(code, style, image)) << std::hex << code;
      const plat::sTextExtent extent = m_Face->Measure(code);
      EXPECT_EQ(height, extent.height);
      EXPECT_GT(extent.width, 0);
      EXPECT_GE(image.top, 0) << std::hex << code;
      EXPECT_LE(image.top + image.height, height) << std::hex << code;
      EXPECT_GE(image.left, -1) << std::hex << code;
      EXPECT_LE(image.left + image.width, extent.width + 1) << std::hex << code;
      ASSERT_EQ(static_cast<std::size_t>(image.width * image.height), image.coverage.size());
    }
  }
}

TEST_P(RealFace, MonoIsOneBitAndSmoothHasEdges) {
  plat::sGlyphImage mono, smooth;
  ASSERT_TRUE(m_Face->Render(0x82A0, eGlyphStyle::Mono, mono));
  ASSERT_TRUE(m_Face->Render(0x82A0, eGlyphStyle::Smooth, smooth));
  EXPECT_TRUE(std::all_of(mono.coverage.begin(), mono.coverage.end(), [](std::uint8_t c) { return c == 0 || c == 255; }));
  EXPECT_TRUE(std::any_of(smooth.coverage.begin(), smooth.coverage.end(), [](std::uint8_t c) { return c > 0 && c < 255; }));
}

TEST_P(RealFace, SpacesControlsAndNonCharactersShowNoInk) {
  const std::uint32_t blank[] = {0x20, 0x8140, 0x01, 0x0A, 0x1F, 0x7F, 0x80, 0xA0, 0xFD, 0xFF, 0x81, 0x9F, 0x8540};
  for (std::uint32_t code : blank) {
    plat::sGlyphImage image;
    EXPECT_FALSE(m_Face->Render(code, eGlyphStyle::Smooth, image)) << std::hex << code;
    EXPECT_FALSE(image.HasInk());
  }
  // A space still advances; 0x5C is drawn as the font draws it (a yen sign).
  EXPECT_GT(m_Face->Measure(0x20).width, 0);
  plat::sGlyphImage backslash;
  EXPECT_TRUE(m_Face->Render(0x5C, eGlyphStyle::Mono, backslash));
}

INSTANTIATE_TEST_SUITE_P(IpaFonts, RealFace,
                         testing::Values(sRealFace{"ＭＳ ゴシック", 9}, sRealFace{"ＭＳ Ｐゴシック", 16},
                                         sRealFace{"ＭＳ 明朝", 30}, sRealFace{"Arial", 16}));

TEST(FreeTypeFontEngine, FixedGothicAdvancesHalfAndFullCells) {
  std::string error;
  auto face = plat::CreateFreeTypeFontEngine()->OpenFace("ＭＳ ゴシック", 30, &error);
  ASSERT_NE(nullptr, face) << error;
  const int half = face->Measure('A').width;
  EXPECT_EQ(half, face->Measure('W').width);
  EXPECT_EQ(half, face->Measure(0xB1).width);
  EXPECT_EQ(2 * half, face->Measure(0x82A0).width);
}

TEST(FreeTypeFontEngine, HeightBelowOneIsRefused) {
  std::string error;
  EXPECT_EQ(nullptr, plat::CreateFreeTypeFontEngine()->OpenFace("ＭＳ ゴシック", 0, &error));
  EXPECT_FALSE(error.empty());
}

// ---- the box engine ----------------------------------------------------------

TEST(BoxFontEngine, BoxesHaveTheirDocumentedSizes) {
  plat::cBoxFontEngine engine;
  auto face = engine.OpenFace("any", 16, nullptr);
  ASSERT_NE(nullptr, face);
  struct sCase {
    std::uint32_t code;
    int width;  // 0: no ink
  };
  const sCase cases[] = {{'B', 8}, {'A', 7}, {0xB1, 7}, {0x82A0, 16}, {0x82A1, 15},
                         {' ', 0}, {0x8140, 0}, {0x7F, 0}, {0x1F, 0},   {0x81, 0}};
  for (const sCase& c : cases) {
    plat::sGlyphImage image;
    EXPECT_EQ(c.width != 0, face->Render(c.code, eGlyphStyle::Smooth, image)) << std::hex << c.code;
    EXPECT_EQ(c.width, image.width) << std::hex << c.code;
    if (c.width == 0) continue;
    EXPECT_EQ(16, image.height);
    EXPECT_EQ(0, image.left);
    EXPECT_EQ(0, image.top);
    EXPECT_EQ(c.width, face->Measure(c.code).width);
  }
  EXPECT_EQ(8, face->Measure(' ').width);
  EXPECT_EQ(nullptr, engine.OpenFace("any", 0, nullptr));
}

}  // namespace
