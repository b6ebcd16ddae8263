// Fades on both back ends and depths, and the palette operations under them.

#include "graphics/Fade.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "DrawLayerTestSupport.h"
#include "core/Numeric.h"
#include "graphics/SurfaceFill.h"

namespace {

using drawtest::cTestLayer;
using drawtest::eRoad;

// A palette whose entry i is (i, 255 - i, i / 2).
DDPALETTE Ramp() {
  DDPALETTE p{};
  for (int i = 0; i < 256; ++i)
    p[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                                      static_cast<std::uint8_t>(i / 2), 0};
  return p;
}

int Level(double angle, double scale) { return TruncToI32(std::sin(angle * std::numbers::pi / 180.0) * scale); }

class FadeScope {
 public:
  FadeScope() { ResetFadesForTests(); }
  ~FadeScope() { ResetFadesForTests(); }
};

struct sRoadDepth {
  eRoad road;
  int bpp;
};

class FadeTiming : public testing::TestWithParam<sRoadDepth> {};

// With a step of 9 degrees, a fade completes on its eleventh call and the
// next one starts afresh; so does the fade-in.
TEST_P(FadeTiming, ElevenCallsAtNineDegrees) {
  const sRoadDepth& c = GetParam();
  cTestLayer layer(c.road, 64, 48, c.bpp == 8, c.bpp);
  ASSERT_TRUE(layer.Started());
  FadeScope fades;
  DDPALETTE work{}, source = Ramp();
  for (bool fadeIn : {false, true}) {
    for (int round = 0; round < 2; ++round) {
      for (int call = 1; call <= 11; ++call) {
        const bool done = fadeIn ? DDFadeIn(work, 0, 255, 0, 0, 0, 9.0, source, 0)
                                 : DDFadeOut(work, 0, 255, 0, 0, 0, 9.0, source, 0);
        EXPECT_EQ(call == 11, done) << (fadeIn ? "in" : "out") << " round " << round << " call " << call;
      }
    }
  }
  // A step of 90 completes on the second call; skip on the first.
  EXPECT_FALSE(DDFadeOut(work, 0, 255, 0, 0, 0, 90.0, source, 0));
  EXPECT_TRUE(DDFadeOut(work, 0, 255, 0, 0, 0, 90.0, source, 0));
  EXPECT_TRUE(DDFadeIn(work, 0, 255, 0, 0, 0, 9.0, source, 1));
  EXPECT_FALSE(DDFadeIn(work, 0, 255, 0, 0, 0, 9.0, source, 0));
}

INSTANTIATE_TEST_SUITE_P(RoadsAndDepths, FadeTiming,
                         testing::Values(sRoadDepth{eRoad::Direct3D, 32}, sRoadDepth{eRoad::DirectDraw, 32},
                                         sRoadDepth{eRoad::DirectDraw, 8}),
                         [](const testing::TestParamInfo<sRoadDepth>& info) {
                           return std::string(info.param.road == eRoad::Direct3D ? "Direct3D" : "DirectDraw") +
                                  std::to_string(info.param.bpp);
                         });

// Direct3D lays a black quad of alpha 255 - trunc(sin x 255) over the
// picture: over white the screen shows the level itself.
TEST(FadeDirect3D, QuadDarkensByTheSineOfTheAngle) {
  cTestLayer layer(eRoad::Direct3D, 8, 8);
  ASSERT_TRUE(layer.Started());
  FadeScope fades;
  DDPALETTE work{}, source{};
  for (int call = 0; call < 11; ++call) {
    DDFillSurfaceRGB(&BackBuffer, 0xFFFFFFFFu);
    DDFadeOut(work, 0, 255, 255, 0, 0, 9.0, source, 0);
    const std::uint32_t level = static_cast<std::uint32_t>(Level(90.0 - 9.0 * call, 255.0));
    EXPECT_EQ(level * 0x010101u, drawtest::Rgb(drawtest::PixelAt(BackBuffer, 3, 5))) << call;
  }
  for (int call = 0; call < 11; ++call) {
    DDFillSurfaceRGB(&BackBuffer, 0xFFFFFFFFu);
    DDFadeIn(work, 0, 255, 0, 0, 0, 9.0, source, 0);
    const std::uint32_t level = static_cast<std::uint32_t>(Level(9.0 * call, 255.0));
    EXPECT_EQ(level * 0x010101u, drawtest::Rgb(drawtest::PixelAt(BackBuffer, 0, 0))) << call;
  }
  // Skip: opaque black at once.
  DDFillSurfaceRGB(&BackBuffer, 0xFFFFFFFFu);
  EXPECT_TRUE(DDFadeOut(work, 0, 255, 0, 0, 0, 9.0, source, 1));
  EXPECT_EQ(0u, drawtest::Rgb(drawtest::PixelAt(BackBuffer, 7, 7)));
}

TEST(FadeDirect3D, WithoutASceneTheAngleStands) {
  cTestLayer layer(eRoad::Direct3D, 8, 8);
  ASSERT_TRUE(layer.Started());
  FadeScope fades;
  DDPALETTE work{}, source{};
  g_DrawLayer.bDevice = false;  // no scene can begin
  for (int call = 0; call < 20; ++call) EXPECT_FALSE(DDFadeOut(work, 0, 255, 0, 0, 0, 9.0, source, 0));
  g_DrawLayer.bDevice = true;
  for (int call = 1; call <= 11; ++call) EXPECT_EQ(call == 11, DDFadeOut(work, 0, 255, 0, 0, 0, 9.0, source, 0));
}

// DirectDraw at 32 bits shows the frame of the fade's start blended toward
// the colour, whatever was drawn since.
TEST(FadeDirectDraw, ThirtyTwoBitsBlendTheFrameOfTheStart) {
  cTestLayer layer(eRoad::DirectDraw, 8, 8);
  ASSERT_TRUE(layer.Started());
  FadeScope fades;
  DDPALETTE work{}, source{};
  DDFillSurfaceRGB(&BackBuffer, 0xAB204080u);
  for (int call = 0; call < 11; ++call) {
    const int level = Level(90.0 - 9.0 * call, 256.0);
    DDFadeOut(work, 0, 255, 0x10, 0x20, 0x30, 9.0, source, 0);
    const std::uint32_t expected = static_cast<std::uint32_t>((0x10 * (256 - level) + level * 0x20) >> 8) << 16 |
                                   static_cast<std::uint32_t>((0x20 * (256 - level) + level * 0x40) >> 8) << 8 |
                                   static_cast<std::uint32_t>((0x30 * (256 - level) + level * 0x80) >> 8);
    EXPECT_EQ(expected, drawtest::Rgb(drawtest::PixelAt(BackBuffer, 4, 4))) << call;
    DDFillSurfaceRGB(&BackBuffer, 0x00FFFFFFu);  // the scene's next frame, never shown
  }
}

// DirectDraw at 8 bits fades the palette: the picture's indices stay.
TEST(FadeDirectDraw, EightBitsBlendThePaletteEntries) {
  cTestLayer layer(eRoad::DirectDraw, 8, 8, true, 8);
  ASSERT_TRUE(layer.Started());
  FadeScope fades;
  DDPALETTE work{};
  const DDPALETTE source = Ramp();
  DDFillSurfacePal(&BackBuffer, 77);
  DDFadeOut(work, 0, 255, 0, 0, 0, 45.0, source, 0);  // at 90 degrees: the source itself
  DDFadeOut(work, 0, 255, 0, 0, 0, 45.0, source, 0);  // at 45 degrees
  const int level = Level(45.0, 256.0);
  EXPECT_EQ((200 * level) >> 8, work[200].red);
  EXPECT_EQ((55 * level) >> 8, work[200].green);
  EXPECT_EQ(1, work[200].flags);
  EXPECT_EQ(work[200].red, g_DrawLayer.ddPalette[200].red);
  EXPECT_EQ(work[17].green, g_DrawLayer.ddPalette[17].green);
  EXPECT_EQ(77u, drawtest::PixelAt(BackBuffer, 2, 2));
}

TEST(BlendPalette, LevelsMixTheColourAndTheSource) {
  struct sCase {
    int level;
    int colour;
    int source;
    int expected;
  };
  const sCase cases[] = {
      {128, 0, 201, 100},   // halves, the remainder dropped
      {256, 0, 201, 201},   // keeps the source
      {0, 30, 201, 30},     // gives the colour
      {128, 255, 0, 127},   // halfway to white
      {300, 0, 201, 201},   // beyond the ends: the nearest end
      {-5, 30, 201, 30},
  };
  for (const sCase& c : cases) {
    DDPALETTE work{}, source{};
    source[5] = {static_cast<std::uint8_t>(c.source), static_cast<std::uint8_t>(c.source),
                 static_cast<std::uint8_t>(c.source), 9};
    DDBlendPalette(work, 5, 5, c.level, c.colour, c.colour, c.colour, source);
    EXPECT_EQ(c.expected, work[5].red) << c.level;
    EXPECT_EQ(c.expected, work[5].blue) << c.level;
    EXPECT_EQ(1, work[5].flags);
  }
  // An empty range, and a range past the palette's end, touch nothing outside it.
  DDPALETTE work{}, source = Ramp();
  DDBlendPalette(work, 10, 9, 256, 0, 0, 0, source);
  EXPECT_EQ(0, work[9].red);
  EXPECT_EQ(0, work[10].red);
  DDBlendPalette(work, 250, 400, 256, 0, 0, 0, source);
  EXPECT_EQ(255, work[255].red);
  EXPECT_EQ(0, work[249].red);
}

TEST(RotatePalette, TurnsTheRangeEitherWay) {
  cTestLayer layer(eRoad::DirectDraw, 8, 8, true, 8);
  ASSERT_TRUE(layer.Started());
  const DDPALETTE source = Ramp();
  struct sCase {
    int count;
    int direction;
    int entry;
    int takesOld;
  };
  const sCase cases[] = {
      {4, 0, 208, 236}, {4, 0, 212, 208}, {4, 0, 239, 235},  // up: the last four wrap to the start
      {4, 1, 208, 212}, {4, 1, 236, 208}, {4, 1, 239, 211},  // down: the first four wrap to the end
      {36, 0, 208, 236},                                     // a count beyond the range's length
      {4, 2, 208, 208}, {4, 2, 239, 239},                    // other directions only copy
      {4, 0, 207, 207}, {4, 1, 240, 240},                    // entries outside the range stay
  };
  for (const sCase& c : cases) {
    DDPALETTE work{};
    DDRotatePalette(work, 208, 239, c.count, c.direction, source);
    EXPECT_EQ(source[static_cast<std::size_t>(c.takesOld)].red, work[static_cast<std::size_t>(c.entry)].red)
        << "count " << c.count << " direction " << c.direction << " entry " << c.entry;
  }
  // The work palette may be the source itself.
  DDPALETTE same = source;
  DDRotatePalette(same, 208, 211, 1, 1, same);
  EXPECT_EQ(209, same[208].red);
  EXPECT_EQ(208, same[211].red);
}

TEST(FadeUnPal, DirectDrawBlendsTheRedGreenAndBlueBytesOnly) {
  cTestLayer layer(eRoad::DirectDraw, 8, 8);
  ASSERT_TRUE(layer.Started());
  DDSURFACEDATA dst, src;
  drawtest::MakeFilledSurface(dst, 4, 4, 0xAA000000u);
  drawtest::MakeFilledSurface(src, 2, 2, 0x11406080u);
  EXPECT_EQ(1, DDFade_UnPal(&dst, 64, 0xFF, 0, 0, &src));
  // Only where both surfaces have pixels; the fourth byte is the destination's.
  const std::uint32_t blended = 0xAA000000u | ((0xFF * 192 + 64 * 0x40) >> 8) << 16 | ((64 * 0x60) >> 8) << 8 |
                                ((64 * 0x80) >> 8);
  EXPECT_EQ(blended, drawtest::PixelAt(dst, 1, 1));
  EXPECT_EQ(0xAA000000u, drawtest::PixelAt(dst, 2, 0));
  EXPECT_EQ(0xAA000000u, drawtest::PixelAt(dst, 0, 3));
}

TEST(FadeUnPal, Direct3DLeavesThePicture) {
  cTestLayer layer(eRoad::Direct3D, 8, 8);
  ASSERT_TRUE(layer.Started());
  DDSURFACEDATA dst, src;
  drawtest::MakeFilledSurface(dst, 4, 4, 0xFF123456u);
  drawtest::MakeFilledSurface(src, 4, 4, 0xFF000000u);
  EXPECT_EQ(1, DDFade_UnPal(&dst, 0, 0, 0, 0, &src));
  EXPECT_EQ(0xFF123456u, drawtest::PixelAt(dst, 1, 1));
}

}  // namespace
