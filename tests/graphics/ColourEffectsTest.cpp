#include "graphics/ColourEffects.h"

#include <gtest/gtest.h>

#include "DrawLayerTestSupport.h"
#include "graphics/SurfaceFill.h"

namespace {

using drawtest::cTestLayer;
using drawtest::eRoad;
using drawtest::PixelAt;
using drawtest::Rgb;

constexpr std::uint32_t kGrey200 = 0xFFC8C8C8u;
constexpr std::uint32_t kUntouchedPixel = 0xAB010203u;

// Where the tint goes: the Direct3D quad, Direct3D's pixels (from a
// system-memory texture), or DirectDraw's pixels.
enum class eTintRoad { Quad, Direct3DPixels, DirectDraw };

struct sTintRoadSetup {
  eTintRoad road;
  const char* name;
};

class TintTest : public testing::Test {
 protected:
  // A 4 x 4 source of grey 200 and a destination of kUntouchedPixel, the tint
  // colour (40, 40, 40) at palette entry 77.
  void Prepare(eTintRoad road) {
    m_Layer = std::make_unique<cTestLayer>(road == eTintRoad::DirectDraw ? eRoad::DirectDraw : eRoad::Direct3D);
    ASSERT_TRUE(m_Layer->Started());
    const int memory = road == eTintRoad::Direct3DPixels ? DTMEMORYTYPE_SYSTEM : DTMEMORYTYPE_VIDEO_RT;
    m_Src = std::make_unique<DDSURFACEDATA>();
    m_Dst = std::make_unique<DDSURFACEDATA>();
    drawtest::MakeFilledSurface(*m_Src, 4, 4, kGrey200, 0, memory);
    drawtest::MakeFilledSurface(*m_Dst, 8, 8, kUntouchedPixel);
    m_Palette[77] = {40, 40, 40, 0};
  }
  void TearDown() override {
    m_Src.reset();
    m_Dst.reset();
    m_Layer.reset();
  }
  bool Tint(int level, std::uint32_t flags = 0) {
    return DDTint(m_Dst.get(), 2, 2, 4, 4, m_Src.get(), 0, 0, flags, m_Palette, g_BlendTable, 0x100 + 77, level);
  }

  std::unique_ptr<cTestLayer> m_Layer;
  std::unique_ptr<DDSURFACEDATA> m_Src, m_Dst;
  DDPALETTE m_Palette{};
};

// Grey 200 tinted toward grey 40: each road has its own strength per level.
TEST_F(TintTest, LevelsPerRoad) {
  struct sCase {
    int level;
    int quad, direct3DPixels, directDraw;  // the resulting grey; -1: untouched
  };
  const sCase cases[] = {
      {1, 120, 120, 120}, {2, 90, 80, 80},   {3, 70, 60, 60},      {4, 50, 50, 50},
      {5, 40, 40, 45},    {0, -1, -1, -1},   {-1, -1, -1, 200},    {1000000, 40, 40, 40},
  };
  const sTintRoadSetup roads[] = {{eTintRoad::Quad, "quad"},
                                  {eTintRoad::Direct3DPixels, "Direct3D pixels"},
                                  {eTintRoad::DirectDraw, "DirectDraw"}};
  for (const sTintRoadSetup& r : roads) {
    for (const sCase& c : cases) {
      SCOPED_TRACE(std::string(r.name) + " level " + std::to_string(c.level));
      Prepare(r.road);
      EXPECT_TRUE(Tint(c.level));
      const int grey = r.road == eTintRoad::Quad ? c.quad
                       : r.road == eTintRoad::Direct3DPixels ? c.direct3DPixels
                                                             : c.directDraw;
      const std::uint32_t g = static_cast<std::uint32_t>(grey);
      const std::uint32_t drawn = r.road == eTintRoad::DirectDraw ? 0xAB000000u | g << 16 | g << 8 | g
                                                                  : 0xFF000000u | g << 16 | g << 8 | g;
      EXPECT_EQ(PixelAt(*m_Dst, 3, 3), grey < 0 ? kUntouchedPixel : drawn);
      EXPECT_EQ(PixelAt(*m_Dst, 1, 1), kUntouchedPixel);
      TearDown();
    }
  }
}

TEST_F(TintTest, DirectDrawOnWhiteTowardBlackHalvesPerLevel) {
  Prepare(eTintRoad::DirectDraw);
  drawtest::FillAll(*m_Src, 0x00FFFFFFu);
  m_Palette[77] = {0, 0, 0, 0};
  Tint(1);
  EXPECT_EQ(Rgb(PixelAt(*m_Dst, 2, 2)), 0x7F7F7Fu);
  Tint(2);
  EXPECT_EQ(Rgb(PixelAt(*m_Dst, 2, 2)), 0x3F3F3Fu);
}

// Level 5 and beyond weigh the texel by 0: the source's shape in the plain
// tint colour, its transparent texels still transparent.
TEST_F(TintTest, QuadAtLevelFiveDrawsTheShapeInThePlainTint) {
  Prepare(eTintRoad::Quad);
  drawtest::PixelsOf(*m_Src).SetPixel(1, 1, 0x00C8C8C8u);
  Tint(5);
  EXPECT_EQ(PixelAt(*m_Dst, 2, 2), 0xFF282828u);
  EXPECT_EQ(PixelAt(*m_Dst, 3, 3), kUntouchedPixel);
}

TEST_F(TintTest, KeyedSourcePixelsAreSkippedOnThePixelRoads) {
  for (eTintRoad road : {eTintRoad::Direct3DPixels, eTintRoad::DirectDraw}) {
    Prepare(road);
    const std::uint32_t transparent = road == eTintRoad::DirectDraw ? g_DrawLayer.dwColorKey : 0u;
    drawtest::PixelsOf(*m_Src).SetPixel(1, 1, transparent);
    Tint(1, 1);
    EXPECT_EQ(PixelAt(*m_Dst, 3, 3), kUntouchedPixel);
    EXPECT_NE(PixelAt(*m_Dst, 2, 2), kUntouchedPixel);
    Tint(1, 0);  // unkeyed: the transparent pixel is tinted like the others
    EXPECT_NE(PixelAt(*m_Dst, 3, 3), kUntouchedPixel);
    TearDown();
  }
}

// A rectangle that runs off both surfaces tints only what lies on them.
TEST_F(TintTest, RectanglesAreCutToBothSurfaces) {
  for (eTintRoad road : {eTintRoad::Direct3DPixels, eTintRoad::DirectDraw}) {
    Prepare(road);
    EXPECT_TRUE(DDTint(m_Dst.get(), -1, 6, 100, 100, m_Src.get(), 1, 1, 0, m_Palette, g_BlendTable, 77, 1));
    EXPECT_EQ(Rgb(PixelAt(*m_Dst, 0, 6)), 0x787878u);   // source (2, 1)
    EXPECT_EQ(Rgb(PixelAt(*m_Dst, 1, 7)), 0x787878u);   // source (3, 2)
    EXPECT_EQ(PixelAt(*m_Dst, 2, 7), kUntouchedPixel);       // past the source's right edge
    EXPECT_EQ(PixelAt(*m_Dst, 0, 5), kUntouchedPixel);
    TearDown();
  }
}

class EightBitEffectsTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_Layer.Started());
    ASSERT_EQ(g_DrawLayer.nBpp, 8);
    // A table that shows which mix was asked for: [a][b] = (a + b) / 2.
    for (int a = 0; a < 256; ++a) {
      for (int b = 0; b < 256; ++b) {
        g_BlendTable[static_cast<std::size_t>(a * 256 + b)] = static_cast<std::uint8_t>((a + b) / 2);
      }
    }
    ASSERT_TRUE(DDCreateSurface(&m_Src, 4, 1, 0, 0, 0, 0, 0));
    ASSERT_TRUE(DDCreateSurface(&m_Dst, 4, 1, 0, 0, 0, 0, 0));
  }
  void TearDown() override { g_BlendTable.fill(0); }
  void SetRow(DDSURFACEDATA& sd, std::initializer_list<int> values) {
    int x = 0;
    for (int v : values) drawtest::PixelsOf(sd).SetPixel(x++, 0, static_cast<std::uint32_t>(v));
  }
  std::vector<int> Row(DDSURFACEDATA& sd) {
    std::vector<int> row;
    for (int x = 0; x < 4; ++x) row.push_back(static_cast<int>(PixelAt(sd, x, 0)));
    return row;
  }

  cTestLayer m_Layer{eRoad::DirectDraw, 64, 48, /*fullScreen=*/true, /*bpp=*/8};
  DDSURFACEDATA m_Src, m_Dst;
};

TEST_F(EightBitEffectsTest, TintLooksTheLevelUpInTheBlendTable) {
  DDPALETTE palette{};
  g_DrawLayer.dwColorKey = 9;
  SetRow(m_Src, {200, 100, 9, 0});
  SetRow(m_Dst, {1, 1, 1, 1});
  ASSERT_TRUE(DDTint(&m_Dst, 0, 0, 4, 1, &m_Src, 0, 0, 1, palette, g_BlendTable, 40, 2));
  // 200 -> 120 -> 80; 100 -> 70 -> 55; the key index is skipped; 0 -> 20 -> 30.
  EXPECT_EQ(Row(m_Dst), (std::vector<int>{80, 55, 1, 30}));
  ASSERT_TRUE(DDTint(&m_Dst, 0, 0, 4, 1, &m_Src, 0, 0, 1, palette, g_BlendTable, 40, -3));
  EXPECT_EQ(Row(m_Dst), (std::vector<int>{200, 100, 1, 0}));  // copied unmixed
}

TEST_F(EightBitEffectsTest, TranslucencyMixesThroughTheTableAroundIndexZero) {
  g_DrawLayer.dwColorKey = 5;  // index 0 is what is skipped, not the key
  SetRow(m_Src, {100, 0, 5, 50});
  SetRow(m_Dst, {20, 20, 20, 0});
  ASSERT_TRUE(DDTranslucent(&m_Dst, 0, 0, 4, 1, &m_Src, 0, 0, 1, g_BlendTable));
  EXPECT_EQ(Row(m_Dst), (std::vector<int>{60, 20, 12, 50}));
  SetRow(m_Dst, {20, 20, 20, 0});
  ASSERT_TRUE(DDAlphaBlt(&m_Dst, 0, 0, 4, 1, &m_Src, 0, 0, 0, g_BlendTable, 255));
  EXPECT_EQ(Row(m_Dst), (std::vector<int>{60, 10, 12, 50}));
}

class AlphaBltTest : public testing::TestWithParam<eRoad> {
 protected:
  void SetUp() override { ASSERT_TRUE(m_Layer.Started()); }
  cTestLayer m_Layer{GetParam()};
};

// Every pixel road draws the half mix, whatever nAlpha says.
TEST_P(AlphaBltTest, PixelRoadsDrawTheHalfMixForEveryAlpha) {
  DDSURFACEDATA src, dst;
  drawtest::MakeFilledSurface(src, 2, 2, 0xFF8040C8u, 0, DTMEMORYTYPE_SYSTEM);
  drawtest::MakeFilledSurface(dst, 2, 2, 0, 0, DTMEMORYTYPE_SYSTEM);
  for (std::uint32_t alpha : {0u, 128u, 200u, 255u}) {
    SCOPED_TRACE(alpha);
    drawtest::FillAll(dst, 0x00204060u);
    ASSERT_TRUE(DDAlphaBlt(&dst, 0, 0, 2, 2, &src, 0, 0, 0, g_BlendTable, alpha));
    // (0x80 + 0x20) / 2, (0x40 + 0x40) / 2, (0xC8 + 0x60) / 2; Direct3D writes
    // alpha 255, DirectDraw keeps the fourth byte.
    EXPECT_EQ(PixelAt(dst, 1, 1), (m_Layer.D3D() ? 0xFF000000u : 0u) | 0x504094u);
  }
}

TEST_P(AlphaBltTest, TranslucentIsTheAlphaBlitAtHalfTransparency) {
  DDSURFACEDATA src, a, b;
  drawtest::MakeMarkedSurface(src, 8, 8);
  drawtest::PixelsOf(src).SetPixel(3, 3, m_Layer.TransparentPixel());
  drawtest::MakeFilledSurface(a, 8, 8, 0xFF336699u);
  drawtest::MakeFilledSurface(b, 8, 8, 0xFF336699u);
  for (std::uint32_t flags : {0u, 1u}) {
    ASSERT_TRUE(DDTranslucent(&a, 1, 1, 6, 6, &src, 2, 2, flags, g_BlendTable));
    ASSERT_TRUE(DDAlphaBlt(&b, 1, 1, 6, 6, &src, 2, 2, flags, g_BlendTable, 128));
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) ASSERT_EQ(PixelAt(a, x, y), PixelAt(b, x, y)) << x << "," << y;
  }
}

TEST(AlphaBltDirectDrawTest, TheSourceIsTakenUnmixedWhereTheDestinationHoldsTheKey) {
  cTestLayer layer(eRoad::DirectDraw);
  ASSERT_TRUE(layer.Started());
  DDSURFACEDATA src, dst;
  drawtest::MakeFilledSurface(src, 2, 1, 0x00204060u);
  drawtest::MakeFilledSurface(dst, 2, 1, 0x00000000u);
  drawtest::PixelsOf(dst).SetPixel(0, 0, g_DrawLayer.dwColorKey);
  ASSERT_TRUE(DDTranslucent(&dst, 0, 0, 2, 1, &src, 0, 0, 0, g_BlendTable));
  EXPECT_EQ(PixelAt(dst, 0, 0), 0x00204060u);
  EXPECT_EQ(PixelAt(dst, 1, 0), 0x00102030u);
}

INSTANTIATE_TEST_SUITE_P(Roads, AlphaBltTest, testing::Values(eRoad::Direct3D, eRoad::DirectDraw), drawtest::RoadName);

// The Direct3D quad honours nAlpha: the texel's alpha is modulated by its
// complement.
TEST(AlphaBltQuadTest, TheQuadBlendsByTheComplementOfNAlpha) {
  cTestLayer layer(eRoad::Direct3D);
  ASSERT_TRUE(layer.Started());
  DDSURFACEDATA src, dst;
  drawtest::MakeFilledSurface(src, 2, 2, 0xFFFF0000u);
  struct sCase {
    std::uint32_t alpha;
    std::uint32_t expected;
  };
  // red 255 over blue 255: (255 a + 127) / 255 of red, the rest blue.
  const sCase cases[] = {{0, 0xFFFF0000u}, {255, 0xFF0000FFu}, {0x100, 0xFFFF0000u}, {128, 0xFF7F0080u}};
  drawtest::MakeFilledSurface(dst, 2, 2, 0);
  for (const sCase& c : cases) {
    drawtest::FillAll(dst, 0xFF0000FFu);
    ASSERT_TRUE(DDAlphaBlt(&dst, 0, 0, 2, 2, &src, 0, 0, 0, g_BlendTable, c.alpha));
    EXPECT_EQ(Rgb(PixelAt(dst, 0, 0)), Rgb(c.expected)) << c.alpha;
  }
}

TEST(ChangeColorTest, Direct3DLaysTheColourOverTheWholeDestination) {
  cTestLayer layer(eRoad::Direct3D);
  ASSERT_TRUE(layer.Started());
  drawtest::FillAll(BackBuffer, 0xFF102030u);
  // The rectangle is not used: the whole of BackBuffer takes the colour.
  EXPECT_EQ(DDChangeColor(&BackBuffer, 5, 5, 10, 10, 0, 0x40, 0x80, 0xC0), 1);
  EXPECT_EQ(PixelAt(BackBuffer, 0, 0), 0xFF4080C0u);
  EXPECT_EQ(PixelAt(BackBuffer, 63, 47), 0xFF4080C0u);

  // A texture is modulated by the colour over itself.
  DDSURFACEDATA work;
  drawtest::MakeFilledSurface(work, 4, 4, 0xFFFFFF00u);
  EXPECT_EQ(DDChangeColor(&work, 0, 0, 1, 1, 0, 0x80, 0x80, 0x80), 1);
  EXPECT_EQ(PixelAt(work, 3, 3), 0xFF808000u);
}

TEST(ChangeColorTest, DirectDrawDrawsNothing) {
  cTestLayer layer(eRoad::DirectDraw);
  ASSERT_TRUE(layer.Started());
  drawtest::FillAll(BackBuffer, 0x00102030u);
  EXPECT_EQ(DDChangeColor(&BackBuffer, 0, 0, 64, 48, 0, 0x40, 0x80, 0xC0), 1);
  EXPECT_EQ(PixelAt(BackBuffer, 0, 0), 0x00102030u);
}

// The constant colour laid over a rectangle in one pass gives the pixels of
// the colour filled into an opaque surface and alpha-blitted over the same
// rectangle, byte for byte: over pixels of every alpha, for colours and
// transparencies that store, blend or leave the frame, on a render target
// and on BackBuffer while the virtual back buffer holds the frame (the screen
// colour during a screen effect), for the whole surface and for a rectangle
// reaching past its edges.
TEST(LayColorTest, OnePassGivesThePixelsOfTheFilledSurfaceAlphaBlitted) {
  constexpr int kW = 37, kH = 9;  // rows of groups of four and an odd tail
  cTestLayer layer(eRoad::Direct3D, kW, kH);
  ASSERT_TRUE(layer.Started());
  DDSURFACEDATA target, work;
  drawtest::MakeFilledSurface(target, kW, kH, 0);
  drawtest::MakeFilledSurface(work, kW, kH, 0);
  const auto paintFrame = [](DDSURFACEDATA& sd) {
    std::uint32_t seed = 99;
    plat::cPixelSurface& px = drawtest::PixelsOf(sd);
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        seed = seed * 214013u + 2531011u;
        px.SetPixel(x, y, seed ^ seed >> 13);
      }
    }
  };
  struct sCase {
    std::uint32_t rgb;
    int alpha;  // transparency: 0 opaque, 255 invisible
  };
  const sCase cases[] = {{0xFF0000u, 0},   {0xFFFFFFu, 1},   {0x4080C0u, 127}, {0x000000u, 128},
                         {0x123456u, 200}, {0xFEFF01u, 254}, {0xFFFFFFu, 255}};
  struct sRect {
    int x, y, w, h;
  };
  const sRect rects[] = {{0, 0, kW, kH}, {-3, 2, 30, 20}};
  for (const int onBackBuffer : {0, 1}) {
    DDSURFACEDATA* dst = onBackBuffer != 0 ? &BackBuffer : &target;
    DDSetVirtualBackBuffer(onBackBuffer);
    DDSURFACEDATA& drawn = onBackBuffer != 0 ? VirBackBuffer : target;
    for (const sRect& r : rects) {
      for (const sCase& c : cases) {
        SCOPED_TRACE(testing::Message() << (onBackBuffer != 0 ? "virtual back buffer" : "render target") << ", rect "
                                        << r.x << "," << r.y << " " << r.w << "x" << r.h << ", colour " << std::hex
                                        << c.rgb << " at transparency " << std::dec << c.alpha);
        paintFrame(drawn);
        DDFillRectRGB(&work, 0, 0, kW, kH, 0xFF000000u | c.rgb);
        ASSERT_TRUE(DDAlphaBlt(dst, r.x, r.y, r.w, r.h, &work, 0, 0, 0, g_BlendTable, static_cast<std::uint32_t>(c.alpha)));
        const plat::cPixelSurface twoPasses = drawtest::PixelsOf(drawn).Clone();
        paintFrame(drawn);
        DDLayColor(dst, r.x, r.y, r.w, r.h, c.alpha, static_cast<std::uint8_t>(c.rgb >> 16),
                   static_cast<std::uint8_t>(c.rgb >> 8), static_cast<std::uint8_t>(c.rgb));
        for (int y = 0; y < kH; ++y)
          for (int x = 0; x < kW; ++x)
            ASSERT_EQ(PixelAt(drawn, x, y), twoPasses.GetPixel(x, y)) << "at " << x << "," << y;
      }
    }
    DDSetVirtualBackBuffer(0);
  }
}

TEST(LayColorTest, DirectDrawDrawsNothing) {
  cTestLayer layer(eRoad::DirectDraw);
  ASSERT_TRUE(layer.Started());
  drawtest::FillAll(BackBuffer, 0x00102030u);
  DDLayColor(&BackBuffer, 0, 0, 64, 48, 0, 0x40, 0x80, 0xC0);
  EXPECT_EQ(PixelAt(BackBuffer, 10, 10), 0x00102030u);
}

}  // namespace
