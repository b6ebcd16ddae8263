#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "platform/SoftwareDevice.h"

namespace {

using plat::cPixelSurface;
using plat::ePixelDepth;
using plat::eKeyTest;
using plat::eStretchRule;
using plat::sCopyRect;
using plat::sStageState;
namespace TextureOp = plat::TextureOp;

constexpr std::uint32_t kUntouched = 0x11223344;

// Every pixel distinct, so any misplaced, mirrored or shifted pixel shows:
// 0xFF000000 | x << 8 | y.
std::uint32_t Marker(int x, int y) { return 0xFF000000u | static_cast<std::uint32_t>(x) << 8 | static_cast<std::uint32_t>(y); }

cPixelSurface Gradient(int width, int height) {
  cPixelSurface s;
  EXPECT_TRUE(s.Create(width, height, ePixelDepth::Argb32));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) s.SetPixel(x, y, Marker(x, y));
  return s;
}

cPixelSurface Filled(int width, int height, std::uint32_t value, ePixelDepth depth = ePixelDepth::Argb32) {
  cPixelSurface s;
  EXPECT_TRUE(s.Create(width, height, depth));
  plat::FillRect(s, 0, 0, width, height, value);
  return s;
}

// The source column of every destination column of row `y` (-1 where the
// destination kept kUntouched), decoded from the markers.
std::vector<int> SourceColumns(const cPixelSurface& s, int y) {
  std::vector<int> out;
  for (int x = 0; x < s.Width(); ++x) {
    const std::uint32_t p = s.GetPixel(x, y);
    out.push_back(p == kUntouched ? -1 : static_cast<int>((p >> 8) & 0xFF));
  }
  return out;
}

// ---------------------------------------------------------------------------
// Surfaces

TEST(PixelSurfaceTest, RefusesSizesOutsideTheLimits) {
  cPixelSurface s;
  EXPECT_FALSE(s.Create(0, 10, ePixelDepth::Argb32));
  EXPECT_FALSE(s.Create(10, -1, ePixelDepth::Argb32));
  EXPECT_FALSE(s.Create(plat::kMaxSurfaceSide + 1, 1, ePixelDepth::Argb32));
  EXPECT_FALSE(s.Create(plat::kMaxSurfaceSide, plat::kMaxSurfaceSide, ePixelDepth::Argb32));  // too many pixels
  EXPECT_TRUE(s.Empty());
  ASSERT_TRUE(s.Create(3, 2, ePixelDepth::Indexed8));
  EXPECT_FALSE(s.Create(0, 0, ePixelDepth::Argb32));  // a refused size keeps the old surface
  EXPECT_EQ(s.Width(), 3);
  EXPECT_EQ(s.Depth(), ePixelDepth::Indexed8);
}

// Surfaces made without zeroing share the heap with the rest: a surface that
// asks for zeroed pixels gets them whatever a released one left behind.
TEST(PixelSurfaceTest, CreateZeroesWhatAnUnsetSurfaceLeftBehind) {
  for (ePixelDepth depth : {ePixelDepth::Argb32, ePixelDepth::Indexed8}) {
    for (int round = 0; round < 3; ++round) {
      {
        cPixelSurface used[4];
        for (cPixelSurface& u : used) {
          ASSERT_TRUE(u.CreateUnset(16, 8, depth));
          plat::FillRect(u, 0, 0, 16, 8, 0xA5A5A5A5u);
        }
      }
      cPixelSurface fresh;
      ASSERT_TRUE(fresh.Create(16, 8, depth));
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(fresh.GetPixel(x, y), 0u) << x << "," << y;
    }
    cPixelSurface unset;
    EXPECT_FALSE(unset.CreateUnset(plat::kMaxSurfaceSide + 1, 1, depth));  // the same limits
    ASSERT_TRUE(unset.CreateUnset(7, 5, depth));
    EXPECT_EQ(unset.Width(), 7);
    EXPECT_EQ(unset.Lock().pitch, 7);
  }
}

TEST(PixelSurfaceTest, LockGivesPitchInPixelsAndDepth) {
  for (ePixelDepth depth : {ePixelDepth::Argb32, ePixelDepth::Indexed8}) {
    cPixelSurface s;
    ASSERT_TRUE(s.Create(5, 4, depth));
    const plat::sPixelLock lock = s.Lock();
    ASSERT_NE(lock.bits, nullptr);
    EXPECT_EQ(lock.pitch, 5);
    EXPECT_EQ(lock.BitsPerPixel(), static_cast<int>(depth));
    if (depth == ePixelDepth::Argb32) {
      lock.Row32(3)[4] = 0xABCDEF01;
    } else {
      lock.Row8(3)[4] = 0xAB;
    }
    EXPECT_EQ(s.GetPixel(4, 3), depth == ePixelDepth::Argb32 ? 0xABCDEF01u : 0xABu);
  }
  cPixelSurface empty;
  EXPECT_EQ(empty.Lock().bits, nullptr);
}

// ---------------------------------------------------------------------------
// Raw fill

TEST(FillRectTest, ClipsToTheSurfaceAndWritesTheValueUnchanged) {
  struct Case {
    int x, w;
    int firstColumn, lastColumn;  // written columns, inclusive; first > last: none
  };
  const Case cases[] = {
      {2, 3, 2, 4},      // inside
      {-10, 13, 0, 2},   // clipped on the left: columns 0..2, not 0..12
      {6, 10, 6, 7},     // clipped on the right
      {-4, 20, 0, 7},    // both edges
      {8, 3, 1, 0},      // beyond the right edge
      {-5, 5, 1, 0},     // ends just left of the surface
      {3, 0, 1, 0},      // empty
      {3, -2, 1, 0},     // negative width
  };
  for (ePixelDepth depth : {ePixelDepth::Argb32, ePixelDepth::Indexed8}) {
    for (const Case& c : cases) {
      cPixelSurface s = Filled(8, 3, 0x11, depth);
      plat::FillRect(s, c.x, 1, c.w, 1, 0x00ABCDEF);  // alpha 0 is written as it is
      const std::uint32_t written = depth == ePixelDepth::Argb32 ? 0x00ABCDEFu : 0xEFu;
      for (int x = 0; x < 8; ++x) {
        const bool inside = x >= c.firstColumn && x <= c.lastColumn;
        EXPECT_EQ(s.GetPixel(x, 1), inside ? written : 0x11u) << "x=" << c.x << " w=" << c.w << " column " << x;
        EXPECT_EQ(s.GetPixel(x, 0), 0x11u);
        EXPECT_EQ(s.GetPixel(x, 2), 0x11u);
      }
    }
  }
}

TEST(FillRectTest, ClipsRowsAtTopAndBottom) {
  cPixelSurface s = Filled(2, 6, 0);
  plat::FillRect(s, 0, -3, 2, 5, 7);   // rows 0, 1
  plat::FillRect(s, 0, 4, 2, 100, 9);  // rows 4, 5
  const std::uint32_t expected[6] = {7, 7, 0, 0, 9, 9};
  for (int y = 0; y < 6; ++y) EXPECT_EQ(s.GetPixel(1, y), expected[y]) << "row " << y;
}

// ---------------------------------------------------------------------------
// Copy

struct CopyCase {
  const char* name;
  int x, w;    // destination column and width (row 1, height 1)
  int sx, sw;  // source column and width (row 0)
  eStretchRule rule;
  std::vector<int> columns;  // source column per destination column 0..7, -1 untouched
};

TEST(CopyRectTest, SameSizeMirrorAndStretchColumnsWithClipping) {
  const CopyCase cases[] = {
      {"same size", 2, 3, 4, 3, eStretchRule::PixelCentre, {-1, -1, 4, 5, 6, -1, -1, -1}},
      {"left clip skips source columns", -5, 8, 0, 8, eStretchRule::PixelCentre, {5, 6, 7, -1, -1, -1, -1, -1}},
      // The right edge is still clipped after the left edge was: nothing may
      // spill into the next row.
      {"left and right clip", -2, 40, 0, 40, eStretchRule::PixelCentre, {2, 3, 4, 5, 6, 7, 8, 9}},
      {"right clip", 5, 10, 0, 10, eStretchRule::PixelCentre, {-1, -1, -1, -1, -1, 0, 1, 2}},
      {"source left of the surface is skipped", 0, 4, -2, 4, eStretchRule::PixelCentre, {-1, -1, 0, 1, -1, -1, -1, -1}},
      {"source right of the surface is skipped", 0, 4, 38, 4, eStretchRule::PixelCentre, {38, 39, -1, -1, -1, -1, -1, -1}},
      {"mirror reads from sx-1 leftwards", 0, 4, 8, -4, eStretchRule::PixelCentre, {7, 6, 5, 4, -1, -1, -1, -1}},
      {"mirror clipped on the left", -1, 4, 8, -4, eStretchRule::PixelCentre, {6, 5, 4, -1, -1, -1, -1, -1}},
      {"mirror past the source start", 0, 4, 2, -4, eStretchRule::PixelCentre, {1, 0, -1, -1, -1, -1, -1, -1}},
      {"enlarge x2", 0, 8, 3, 4, eStretchRule::PixelCentre, {3, 3, 4, 4, 5, 5, 6, 6}},
      {"shrink /2 samples centres", 0, 4, 0, 8, eStretchRule::PixelCentre, {1, 3, 5, 7, -1, -1, -1, -1}},
      {"shrink /2 float step", 0, 4, 0, 8, eStretchRule::FloatStep, {0, 2, 4, 6, -1, -1, -1, -1}},
      {"mirrored shrink float step", 0, 4, 8, -8, eStretchRule::FloatStep, {7, 5, 3, 1, -1, -1, -1, -1}},
      {"enlarge 3 to 8 float step", 0, 8, 0, 3, eStretchRule::FloatStep, {0, 0, 0, 1, 1, 1, 2, 2}},
      {"enlarge 3 to 8 centres", 0, 8, 0, 3, eStretchRule::PixelCentre, {0, 0, 0, 1, 1, 2, 2, 2}},
      {"stretch clipped left", -3, 8, 0, 4, eStretchRule::PixelCentre, {1, 2, 2, 3, 3, -1, -1, -1}},
  };
  const cPixelSurface src = Gradient(40, 4);
  for (const CopyCase& c : cases) {
    cPixelSurface dst = Filled(8, 3, kUntouched);
    sCopyRect r;
    r.x = c.x;
    r.y = 1;
    r.width = c.w;
    r.height = 1;
    r.sx = c.sx;
    r.sy = 0;
    r.sw = c.sw;
    r.sh = 1;
    r.rule = c.rule;
    EXPECT_TRUE(plat::CopyRect(dst, src, r)) << c.name;
    EXPECT_EQ(SourceColumns(dst, 1), c.columns) << c.name;
    EXPECT_EQ(SourceColumns(dst, 0), std::vector<int>(8, -1)) << c.name;
    EXPECT_EQ(SourceColumns(dst, 2), std::vector<int>(8, -1)) << c.name << " (spilled into the next row)";
  }
}

// The texture path's software copy: a 32-wide source at sx = 64 read with
// width -32 into 32 columns takes source columns 63 down to 32.
TEST(CopyRectTest, FloatStepMirrorReadsColumnsSixtyThreeDownToThirtyTwo) {
  const cPixelSurface src = Gradient(100, 1);
  cPixelSurface dst = Filled(32, 1, kUntouched);
  sCopyRect r{0, 0, 32, 1, 64, 0, -32, 1, eKeyTest::None, 0, eStretchRule::FloatStep};
  ASSERT_TRUE(plat::CopyRect(dst, src, r));
  for (int j = 0; j < 32; ++j) EXPECT_EQ(SourceColumns(dst, 0)[j], 63 - j);
}

TEST(CopyRectTest, RowsClipAndMirrorLikeColumns) {
  const cPixelSurface src = Gradient(4, 10);
  cPixelSurface dst = Filled(1, 6, kUntouched);
  // Mirrored rows, clipped at the top: destination rows -2..3 read 9, 8, ... 4.
  ASSERT_TRUE(plat::CopyRect(dst, src, sCopyRect{0, -2, 1, 6, 1, 10, 1, -6}));
  const std::uint32_t expected[6] = {Marker(1, 7), Marker(1, 6), Marker(1, 5), Marker(1, 4), kUntouched, kUntouched};
  for (int y = 0; y < 6; ++y) EXPECT_EQ(dst.GetPixel(0, y), expected[y]) << "row " << y;
  // Bottom clip of a tall copy.
  cPixelSurface tall = Filled(1, 6, kUntouched);
  ASSERT_TRUE(plat::CopyRect(tall, src, sCopyRect{0, 4, 1, 10, 2, 0, 1, 10}));
  EXPECT_EQ(tall.GetPixel(0, 3), kUntouched);
  EXPECT_EQ(tall.GetPixel(0, 4), Marker(2, 0));
  EXPECT_EQ(tall.GetPixel(0, 5), Marker(2, 1));
}

TEST(CopyRectTest, KeyTestsSkipOnlyMatchingPixels) {
  cPixelSurface src;
  ASSERT_TRUE(src.Create(4, 1, ePixelDepth::Argb32));
  const std::uint32_t pixels[4] = {0x00FF00FF, 0xFFFF00FF, 0x00123456, 0x80000000};
  for (int x = 0; x < 4; ++x) src.SetPixel(x, 0, pixels[x]);
  struct Case {
    eKeyTest key;
    std::uint32_t keyValue;
    std::uint32_t expected[4];
  };
  const Case cases[] = {
      {eKeyTest::None, 0, {0x00FF00FF, 0xFFFF00FF, 0x00123456, 0x80000000}},
      // The key matches the stored value exactly: same colour, other alpha is kept.
      {eKeyTest::ExactValue, 0x00FF00FF, {kUntouched, 0xFFFF00FF, 0x00123456, 0x80000000}},
      {eKeyTest::AlphaZero, 0, {kUntouched, 0xFFFF00FF, kUntouched, 0x80000000}},
  };
  for (const Case& c : cases) {
    for (bool mirrored : {false, true}) {
      cPixelSurface dst = Filled(4, 1, kUntouched);
      sCopyRect r{0, 0, 4, 1, mirrored ? 4 : 0, 0, mirrored ? -4 : 4, 1, c.key, c.keyValue};
      ASSERT_TRUE(plat::CopyRect(dst, src, r));
      for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(dst.GetPixel(mirrored ? 3 - x : x, 0), c.expected[x])
            << "key " << static_cast<int>(c.key) << (mirrored ? " mirrored" : "") << " column " << x;
      }
    }
  }
}

// Rows of every length from 1 to 13, forward and mirrored, so the four-pixel
// groups and the leftover pixels of the keyed loops are all reached.
TEST(CopyRectTest, KeyedRowsOfEveryLengthMatchThePixelRule) {
  cPixelSurface src;
  ASSERT_TRUE(src.Create(13, 1, ePixelDepth::Argb32));
  for (int x = 0; x < 13; ++x) {
    const bool keyed = x % 3 == 1 || x == 6 || x == 7;
    src.SetPixel(x, 0, keyed ? 0x00FF00FFu : (x % 4 == 0 ? 0x00000000u | static_cast<std::uint32_t>(x) : Marker(x, 0)));
  }
  for (eKeyTest key : {eKeyTest::ExactValue, eKeyTest::AlphaZero}) {
    for (int width = 1; width <= 13; ++width) {
      for (bool mirrored : {false, true}) {
        cPixelSurface dst = Filled(13, 1, kUntouched);
        sCopyRect r{0, 0, width, 1, mirrored ? width : 0, 0, mirrored ? -width : width, 1, key, 0x00FF00FF};
        ASSERT_TRUE(plat::CopyRect(dst, src, r));
        for (int x = 0; x < 13; ++x) {
          std::uint32_t expected = kUntouched;
          if (x < width) {
            const std::uint32_t p = src.GetPixel(mirrored ? width - 1 - x : x, 0);
            const bool skip = key == eKeyTest::ExactValue ? p == 0x00FF00FFu : (p >> 24) == 0;
            if (!skip) expected = p;
          }
          EXPECT_EQ(dst.GetPixel(x, 0), expected) << "width " << width << (mirrored ? " mirrored" : "") << " x " << x;
        }
      }
    }
  }
}

// Positions and sizes from bad data may be anything: nothing is drawn out of
// bounds and no arithmetic overflows (checked under the sanitizers).
TEST(CopyRectTest, ExtremeCoordinatesStayInBounds) {
  constexpr int kMin = std::numeric_limits<int>::min();
  constexpr int kMax = std::numeric_limits<int>::max();
  const cPixelSurface src = Gradient(8, 8);
  const int positions[] = {kMin, kMin + 1, -100000, -1, 0, 7, 100000, kMax};
  const int sizes[] = {1, 3, 8, 100000, kMax};  // 8: drawn at the source's own size
  for (int x : positions) {
    for (int w : sizes) {
      cPixelSurface dst = Filled(8, 8, kUntouched);
      plat::FillRect(dst, x, x, w, w, 1);
      plat::CopyRect(dst, src, sCopyRect{x, 0, w, 8, 0, 0, 8, 8});
      plat::CopyRect(dst, src, sCopyRect{0, x, 8, w, x, 0, -w, 8, eKeyTest::None, 0, eStretchRule::FloatStep});
      plat::DrawTexturedRect(dst, x, 0, w, 8, &src, x, 0, w, 8, sStageState{});
      const plat::sQuadVertex quad[4] = {{float(x), 0, 0, 0}, {float(x), 8, 0, 8}, {float(x) + float(w), 0, float(w), 0},
                                         {float(x) + float(w), 8, float(w), 8}};
      plat::DrawTexturedQuad(dst, quad, &src, sStageState{});
    }
  }
  SUCCEED();
}

TEST(CopyRectTest, IndexedSurfacesCopyAndKeyOnTheIndex) {
  cPixelSurface src;
  ASSERT_TRUE(src.Create(4, 1, ePixelDepth::Indexed8));
  for (int x = 0; x < 4; ++x) src.SetPixel(x, 0, static_cast<std::uint32_t>(x * 10));
  cPixelSurface dst = Filled(6, 1, 99, ePixelDepth::Indexed8);
  ASSERT_TRUE(plat::CopyRect(dst, src, sCopyRect{1, 0, 4, 1, 0, 0, 4, 1, eKeyTest::ExactValue, 20}));
  const std::uint32_t expected[6] = {99, 0, 10, 99, 30, 99};
  for (int x = 0; x < 6; ++x) EXPECT_EQ(dst.GetPixel(x, 0), expected[x]) << x;
  // Stretched and mirrored.
  ASSERT_TRUE(plat::CopyRect(dst, src, sCopyRect{0, 0, 6, 1, 3, 0, -3, 1}));
  const std::uint32_t stretched[6] = {20, 20, 10, 10, 0, 0};
  for (int x = 0; x < 6; ++x) EXPECT_EQ(dst.GetPixel(x, 0), stretched[x]) << x;
}

TEST(CopyRectTest, RefusesMismatchedDepthsAndEmptySizes) {
  const cPixelSurface src = Gradient(4, 4);
  cPixelSurface indexed = Filled(4, 4, 5, ePixelDepth::Indexed8);
  EXPECT_FALSE(plat::CopyRect(indexed, src, sCopyRect{0, 0, 4, 4, 0, 0, 4, 4}));
  EXPECT_EQ(indexed.GetPixel(0, 0), 5u);
  cPixelSurface dst = Filled(4, 4, kUntouched);
  EXPECT_FALSE(plat::CopyRect(dst, src, sCopyRect{0, 0, 0, 4, 0, 0, 4, 4}));
  EXPECT_FALSE(plat::CopyRect(dst, src, sCopyRect{0, 0, 4, -1, 0, 0, 4, 4}));
  EXPECT_FALSE(plat::CopyRect(dst, src, sCopyRect{0, 0, 4, 4, 0, 0, 0, 4}));
  EXPECT_FALSE(plat::CopyRect(indexed, indexed, sCopyRect{0, 0, 1, 1, 1, 1, 1, 1, eKeyTest::AlphaZero}));
  EXPECT_EQ(dst.GetPixel(0, 0), kUntouched);
}

// ---------------------------------------------------------------------------
// Stage operations and blending

TEST(TextureStageTest, OperationsOnOneTexel) {
  const std::uint32_t texel = 0x80FF4020;
  struct Case {
    const char* name;
    sStageState stage;
    std::uint32_t expected;
  };
  auto stage = [](std::uint32_t colorOp, std::uint32_t alphaOp, std::uint32_t diffuse, std::uint32_t factor = 0xFFFFFFFF,
                  plat::eStageArg colorArg2 = plat::eStageArg::Diffuse) {
    sStageState s;
    s.colorOp = colorOp;
    s.alphaOp = alphaOp;
    s.diffuse = diffuse;
    s.textureFactor = factor;
    s.colorArg2 = colorArg2;
    s.alphaArg2 = colorArg2;
    return s;
  };
  const Case cases[] = {
      {"modulate with white is the texel", stage(TextureOp::Modulate, TextureOp::SelectArg1, 0xFFFFFFFF), texel},
      {"modulate by half", stage(TextureOp::Modulate, TextureOp::Modulate, 0x80808080), 0x40802010},
      {"add saturates", stage(TextureOp::Add, TextureOp::SelectArg1, 0x00808080), 0x80FFC0A0},
      {"subtract floors at zero", stage(TextureOp::Subtract, TextureOp::SelectArg1, 0x00808080), 0x807F0000},
      {"select arg 2 takes the diffuse", stage(TextureOp::SelectArg2, TextureOp::SelectArg2, 0x12345678), 0x12345678},
      {"disable takes the diffuse", stage(TextureOp::Disable, TextureOp::Disable, 0xC0102030), 0xC0102030},
      {"select arg 2 from the texture factor",
       stage(TextureOp::SelectArg2, TextureOp::SelectArg2, 0xFFFFFFFF, 0x7F00FF00, plat::eStageArg::TextureFactor),
       0x7F00FF00},
      // Blend by the factor's alpha 0x40 toward the tint 0x0000FF: c = t*f + tint*(1-f).
      {"blend by factor alpha",
       [] {
         sStageState s;
         s.colorOp = TextureOp::BlendFactorAlpha;
         s.alphaOp = TextureOp::SelectArg1;
         s.colorArg2 = plat::eStageArg::TextureFactor;
         s.textureFactor = 0x400000FF;
         return s;
       }(),
       0x804010C7},
  };
  for (const Case& c : cases) EXPECT_EQ(plat::EvaluateStage(texel, c.stage), c.expected) << c.name;
}

TEST(TextureStageTest, SourceAlphaBlendOnEveryChannel) {
  struct Case {
    std::uint32_t source, destination, expected;
  };
  const Case cases[] = {
      {0x00FFFFFF, 0xFF102030, 0xFF102030},  // alpha 0 leaves the destination
      {0xFFABCDEF, 0x00102030, 0xFFABCDEF},  // alpha 255 replaces it, alpha included
      {0x80FF0000, 0xFF0000FF, 0xBF80007F},  // alpha 128: 128/255 of the source
  };
  for (const Case& c : cases) EXPECT_EQ(plat::BlendSourceAlpha(c.source, c.destination), c.expected);
}

// ---------------------------------------------------------------------------
// Textured rectangles

class TexturedRectTest : public ::testing::Test {
 protected:
  cPixelSurface src = Gradient(16, 8);
  cPixelSurface dst = Filled(8, 4, kUntouched);
  sStageState copyStage;  // modulate with white, texel alpha: the texel as it is

  bool Draw(int x, int y, int w, int h, int sx, int sy, int sw, int sh, const sStageState& stage) {
    return plat::DrawTexturedRect(dst, x, y, w, h, &src, sx, sy, sw, sh, stage);
  }
};

TEST_F(TexturedRectTest, SamplesPixelCentresWithMirrorStretchAndClipping) {
  struct Case {
    const char* name;
    int x, w, sx, sw;
    std::vector<int> columns;
  };
  const Case cases[] = {
      {"same size", 1, 3, 5, 3, {-1, 5, 6, 7, -1, -1, -1, -1}},
      {"mirrored", 0, 4, 8, -4, {7, 6, 5, 4, -1, -1, -1, -1}},
      {"left clip", -3, 5, 0, 5, {3, 4, -1, -1, -1, -1, -1, -1}},
      {"left and right clip", -3, 20, 0, 20, {3, 4, 5, 6, 7, 8, 9, 10}},
      {"enlarge", 0, 8, 2, 4, {2, 2, 3, 3, 4, 4, 5, 5}},
      {"shrink", 0, 4, 0, 8, {1, 3, 5, 7, -1, -1, -1, -1}},
      {"texel coordinates wrap", 0, 4, 14, 4, {14, 15, 0, 1, -1, -1, -1, -1}},
  };
  for (const Case& c : cases) {
    dst = Filled(8, 4, kUntouched);
    ASSERT_TRUE(Draw(c.x, 1, c.w, 1, c.sx, 2, c.sw, 1, copyStage)) << c.name;
    EXPECT_EQ(SourceColumns(dst, 1), c.columns) << c.name;
    EXPECT_EQ(SourceColumns(dst, 2), std::vector<int>(8, -1)) << c.name;
    EXPECT_EQ(dst.GetPixel(1, 0), kUntouched);
  }
}

TEST_F(TexturedRectTest, AlphaDecidesBetweenSkipBlendAndStore) {
  src = Filled(3, 1, 0);
  src.SetPixel(0, 0, 0x00FF0000);  // transparent
  src.SetPixel(1, 0, 0x80FF0000);  // half
  src.SetPixel(2, 0, 0xFFFF0000);  // opaque
  dst = Filled(3, 1, 0xFF0000FF);
  ASSERT_TRUE(Draw(0, 0, 3, 1, 0, 0, 3, 1, copyStage));
  EXPECT_EQ(dst.GetPixel(0, 0), 0xFF0000FFu);
  EXPECT_EQ(dst.GetPixel(1, 0), 0xBF80007Fu);
  EXPECT_EQ(dst.GetPixel(2, 0), 0xFFFF0000u);

  // Alpha operation "disable" with an opaque diffuse copies every texel
  // opaque, transparent ones included (the screen effects' copy).
  dst = Filled(3, 1, 0xFF0000FF);
  sStageState opaque;
  opaque.alphaOp = TextureOp::Disable;
  ASSERT_TRUE(Draw(0, 0, 3, 1, 0, 0, 3, 1, opaque));
  for (int x = 0; x < 3; ++x) EXPECT_EQ(dst.GetPixel(x, 0), 0xFFFF0000u) << x;

  // A diffuse alpha modulates: 255 - 128 of a half-transparent texel.
  dst = Filled(3, 1, 0xFF0000FF);
  sStageState faded;
  faded.alphaOp = TextureOp::Modulate;
  faded.diffuse = 0x7FFFFFFF;
  ASSERT_TRUE(Draw(0, 0, 3, 1, 0, 0, 3, 1, faded));
  EXPECT_EQ(dst.GetPixel(0, 0), 0xFF0000FFu);
  EXPECT_EQ(dst.GetPixel(2, 0), plat::BlendSourceAlpha(0x7FFF0000, 0xFF0000FF));
  EXPECT_EQ(dst.GetPixel(1, 0), plat::BlendSourceAlpha(0x40FF0000, 0xFF0000FF));
}

// Long rows mixing groups of opaque, transparent and partly transparent
// texels blend exactly as the per-pixel rule says, stretched or not and with
// a diffuse alpha on top.
TEST_F(TexturedRectTest, LongBlendedRowsMatchThePerPixelRule) {
  const std::uint8_t alphas[] = {255, 255, 255, 255, 0, 0, 0, 0, 255, 0, 128, 1, 254, 255, 64, 0, 200, 255, 255};
  const int n = static_cast<int>(sizeof(alphas));
  src = Filled(n, 1, 0);
  for (int x = 0; x < n; ++x) src.SetPixel(x, 0, static_cast<std::uint32_t>(alphas[x]) << 24 | (Marker(x, 9) & 0xFFFFFF));
  for (std::uint32_t diffuseAlpha : {255u, 77u}) {
    for (int width : {n, 2 * n - 3}) {
      dst = Filled(40, 1, 0x80405060);
      sStageState stage;
      stage.alphaOp = TextureOp::Modulate;
      stage.diffuse = diffuseAlpha << 24 | 0xFFFFFF;
      ASSERT_TRUE(plat::DrawTexturedRect(dst, 1, 0, width, 1, &src, 0, 0, n, 1, stage));
      for (int x = 0; x < 40; ++x) {
        std::uint32_t expected = 0x80405060;
        if (x >= 1 && x < 1 + width) {
          const int column = static_cast<int>((2 * (x - 1) + 1) * n / (2 * width));
          expected = plat::BlendSourceAlpha(plat::EvaluateStage(src.GetPixel(column, 0), stage), expected);
        }
        EXPECT_EQ(dst.GetPixel(x, 0), expected) << "alpha " << diffuseAlpha << " width " << width << " x " << x;
      }
    }
  }
  // The opaque copy of the same row stores every texel with alpha 255.
  dst = Filled(40, 1, 0x80405060);
  sStageState opaque;
  opaque.alphaOp = TextureOp::Disable;
  ASSERT_TRUE(plat::DrawTexturedRect(dst, 0, 0, n, 1, &src, 0, 0, n, 1, opaque));
  for (int x = 0; x < n; ++x) EXPECT_EQ(dst.GetPixel(x, 0), src.GetPixel(x, 0) | 0xFF000000u) << x;
  EXPECT_EQ(dst.GetPixel(n, 0), 0x80405060u);
}

TEST_F(TexturedRectTest, GeneralStageMatchesThePerPixelFunctions) {
  sStageState add;
  add.colorOp = TextureOp::Add;
  add.alphaOp = TextureOp::Modulate;
  add.diffuse = 0xC0404040;
  const cPixelSurface before = dst.Clone();
  ASSERT_TRUE(Draw(-1, -1, 6, 3, 3, 3, -6, 3, add));
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 8; ++x) {
      std::uint32_t expected = before.GetPixel(x, y);
      if (x < 5 && y < 2) {
        const std::uint32_t texel = src.GetPixel(((3 - 1 - (x + 1)) % 16 + 16) % 16, 3 + y + 1);
        expected = plat::BlendSourceAlpha(plat::EvaluateStage(texel, add), expected);
      }
      EXPECT_EQ(dst.GetPixel(x, y), expected) << x << "," << y;
    }
  }
}

TEST_F(TexturedRectTest, WithoutTextureTheDiffuseColourIsLaidOver) {
  sStageState tint;
  tint.diffuse = 0x80FF0000;  // modulate opaque white texels by the diffuse
  tint.alphaOp = TextureOp::Modulate;
  dst = Filled(4, 1, 0xFF0000FF);
  ASSERT_TRUE(plat::DrawTexturedRect(dst, 1, 0, 2, 1, nullptr, 0, 0, 2, 1, tint));
  EXPECT_EQ(dst.GetPixel(0, 0), 0xFF0000FFu);
  EXPECT_EQ(dst.GetPixel(1, 0), 0xBF80007Fu);
  EXPECT_EQ(dst.GetPixel(2, 0), 0xBF80007Fu);
  EXPECT_EQ(dst.GetPixel(3, 0), 0xFF0000FFu);
}

TEST_F(TexturedRectTest, RefusesIndexedSurfacesAndUnknownOperations) {
  cPixelSurface indexed = Filled(4, 4, 1, ePixelDepth::Indexed8);
  EXPECT_FALSE(plat::DrawTexturedRect(indexed, 0, 0, 2, 2, &src, 0, 0, 2, 2, copyStage));
  sStageState bad;
  bad.colorOp = 99;
  EXPECT_FALSE(Draw(0, 0, 2, 2, 0, 0, 2, 2, bad));
  EXPECT_FALSE(Draw(0, 0, 2, 2, 0, 0, 0, 2, copyStage));
  EXPECT_EQ(dst.GetPixel(0, 0), kUntouched);
}

// Every stage state, through whichever kernel the draw picks for it, gives
// the pixels of the generic evaluator: EvaluateStage per texel, then the
// source-alpha blend. The texels mix alpha 0, 255 and values between, the
// rows are long enough for the four-pixel loops and their odd tails, and the
// diffuse and factor pairs include white, opaque and transparent constants,
// which the kernels treat apart.
class StageKernelTest : public ::testing::Test {
 protected:
  static constexpr int kTexW = 23, kTexH = 2, kDstW = 40, kDstH = 3;

  StageKernelTest() {
    std::uint32_t seed = 12345;
    auto next = [&seed] {
      seed = seed * 214013u + 2531011u;
      return seed >> 8;
    };
    // Runs of seven hold a whole group of four however a row is aligned.
    const std::uint32_t alphas[] = {0,   0,   0,   0,   0, 0,   0, 255, 255, 255, 255, 255, 255,
                                    255, 0, 255, 0, 255, 128, 1, 254, 77,  255, 0,   0};
    constexpr int kAlphas = static_cast<int>(sizeof(alphas) / sizeof(alphas[0]));
    src = Filled(kTexW, kTexH, 0);
    for (int y = 0; y < kTexH; ++y)
      for (int x = 0; x < kTexW; ++x) src.SetPixel(x, y, alphas[(x + 5 * y) % kAlphas] << 24 | (next() & 0xFFFFFF));
    background = Filled(kDstW, kDstH, 0);
    for (int y = 0; y < kDstH; ++y)
      for (int x = 0; x < kDstW; ++x) background.SetPixel(x, y, next() | (x % 3 == 0 ? 0xFF000000u : 0));
  }

  struct sShape {
    const char* name;
    int x, w, sx, sw;  // one axis; rows are the same size, 0 .. 1 of the texture onto rows 1 .. 2
  };

  // The destination after a draw, computed per pixel from the generic
  // functions; with `fill`, over the rectangle filled first.
  cPixelSurface Expected(const sShape& shape, const sStageState& stage, const std::uint32_t* fill) const {
    cPixelSurface out = background.Clone();
    for (int y = 1; y < 1 + kTexH; ++y) {
      for (int j = 0; j < shape.w; ++j) {
        const int x = shape.x + j;
        if (x < 0 || x >= kDstW) continue;
        const long column = shape.sx + static_cast<long>(std::floor((j + 0.5) * shape.sw / shape.w));
        const std::uint32_t texel = src.GetPixel(static_cast<int>((column % kTexW + kTexW) % kTexW), y - 1);
        const std::uint32_t under = fill != nullptr ? *fill : out.GetPixel(x, y);
        const std::uint32_t shaded = plat::EvaluateStage(texel, stage);
        out.SetPixel(x, y, stage.alphaBlend ? plat::BlendSourceAlpha(shaded, under) : shaded);
      }
    }
    return out;
  }

  // The first pixel where the two surfaces differ, as text; empty when none.
  static std::string FirstDifference(const cPixelSurface& got, const cPixelSurface& want) {
    for (int y = 0; y < kDstH; ++y) {
      for (int x = 0; x < kDstW; ++x) {
        if (got.GetPixel(x, y) == want.GetPixel(x, y)) continue;
        char text[96];
        std::snprintf(text, sizeof text, "at %d,%d: %08X, expected %08X", x, y, got.GetPixel(x, y),
                      want.GetPixel(x, y));
        return text;
      }
    }
    return {};
  }

  cPixelSurface src;
  cPixelSurface background;
};

TEST_F(StageKernelTest, EveryStageStateDrawsWhatTheGenericEvaluatorGives) {
  const sShape shapes[] = {
      {"same size", -2, kTexW, 0, kTexW},  // texels in order: the row kernels
      {"stretched", 1, 37, 3, 19},         // through the column table
      {"mirrored", 5, kTexW, kTexW, -kTexW},
  };
  const std::uint32_t constants[][2] = {
      {0xFFFFFFFF, 0xFFFFFFFF}, {0x80C04020, 0x40FF8000}, {0x00FFFFFF, 0xFF102030}, {0xFF808080, 0x00FFFFFF}};
  const plat::eStageArg args[] = {plat::eStageArg::Diffuse, plat::eStageArg::TextureFactor};
  const std::uint32_t fillValue = 0x7F30A0C0;
  int draws = 0;
  for (std::uint32_t colorOp = TextureOp::Disable; colorOp <= TextureOp::BlendFactorAlpha; ++colorOp) {
    for (std::uint32_t alphaOp = TextureOp::Disable; alphaOp <= TextureOp::BlendFactorAlpha; ++alphaOp) {
      for (plat::eStageArg colorArg2 : args) {
        for (plat::eStageArg alphaArg2 : args) {
          for (const auto& constant : constants) {
            for (bool blend : {true, false}) {
              sStageState stage;
              stage.colorOp = colorOp;
              stage.alphaOp = alphaOp;
              stage.colorArg2 = colorArg2;
              stage.alphaArg2 = alphaArg2;
              stage.diffuse = constant[0];
              stage.textureFactor = constant[1];
              stage.alphaBlend = blend;
              char name[160];
              std::snprintf(name, sizeof name, "colour op %u (arg %d), alpha op %u (arg %d), diffuse %08X, factor %08X, %s",
                            colorOp, static_cast<int>(colorArg2), alphaOp, static_cast<int>(alphaArg2), constant[0],
                            constant[1], blend ? "blended" : "stored");
              for (const sShape& shape : shapes) {
                cPixelSurface dst = background.Clone();
                ASSERT_TRUE(plat::DrawTexturedRect(dst, shape.x, 1, shape.w, kTexH, &src, shape.sx, 0, shape.sw,
                                                   kTexH, stage));
                ASSERT_EQ(FirstDifference(dst, Expected(shape, stage, nullptr)), "") << name << ", " << shape.name;
                dst = background.Clone();
                ASSERT_TRUE(plat::DrawTexturedRectOnFill(dst, shape.x, 1, shape.w, kTexH, fillValue, &src, shape.sx,
                                                         0, shape.sw, kTexH, stage));
                ASSERT_EQ(FirstDifference(dst, Expected(shape, stage, &fillValue)), "")
                    << name << ", " << shape.name << ", on a fill";
                ++draws;
              }
              // The quad rasteriser shades its spans by the same choice.
              const sShape& same = shapes[0];
              const float l = same.x - 0.5f, r = same.x + same.w - 0.5f, t = 0.5f, b = 0.5f + kTexH;
              const plat::sQuadVertex quad[4] = {{l, t, 0, 0}, {l, b, 0, kTexH}, {r, t, kTexW, 0}, {r, b, kTexW, kTexH}};
              cPixelSurface dst = background.Clone();
              ASSERT_TRUE(plat::DrawTexturedQuad(dst, quad, &src, stage));
              ASSERT_EQ(FirstDifference(dst, Expected(same, stage, nullptr)), "") << name << ", as a quad";
            }
          }
        }
      }
    }
  }
  EXPECT_EQ(draws, 14 * 14 * 2 * 2 * 4 * 2 * 3);
}

// Without a texture the stage result is one colour for the whole draw,
// blended over every pixel as the per-pixel rule gives it: colours at alphas
// that leave, blend or store, over the destination and over a fill, on rows
// long enough for the four-pixel loops and their tails.
TEST_F(StageKernelTest, AConstantColourIsBlendedAsThePerPixelRuleGives) {
  const std::uint32_t diffuses[] = {0x00FF0000, 0x01FFFFFF, 0x7F4080C0, 0x80000000, 0xC8123456, 0xFEFEFF01, 0xFF00FF00};
  const std::uint32_t fillValue = 0x7F30A0C0;
  for (std::uint32_t diffuse : diffuses) {
    for (const std::uint32_t* fill : {static_cast<const std::uint32_t*>(nullptr), &fillValue}) {
      sStageState lay;
      lay.alphaOp = TextureOp::Modulate;
      lay.diffuse = diffuse;
      cPixelSurface dst = background.Clone();
      const int x = 1, w = kDstW - 2;
      ASSERT_TRUE(fill != nullptr
                      ? plat::DrawTexturedRectOnFill(dst, x, 0, w, kDstH, *fill, nullptr, 0, 0, w, kDstH, lay)
                      : plat::DrawTexturedRect(dst, x, 0, w, kDstH, nullptr, 0, 0, w, kDstH, lay));
      cPixelSurface want = background.Clone();
      for (int y = 0; y < kDstH; ++y) {
        for (int j = x; j < x + w; ++j) {
          const std::uint32_t under = fill != nullptr ? *fill : want.GetPixel(j, y);
          want.SetPixel(j, y, plat::BlendSourceAlpha(plat::EvaluateStage(0xFFFFFFFF, lay), under));
        }
      }
      ASSERT_EQ(FirstDifference(dst, want), "") << std::hex << diffuse << (fill != nullptr ? " on a fill" : "");
    }
  }
}

// A surface drawn over itself in place, pixel for pixel (the screen tint),
// reads every texel before it is written; over a screen of opaque pixels
// (the back buffer) and over one of mixed alphas, with tint alphas that
// blend, store or leave the pixels.
TEST_F(StageKernelTest, ASurfaceTintedInPlaceReadsItsOwnPixels) {
  cPixelSurface opaque = background.Clone();
  for (int y = 0; y < kDstH; ++y)
    for (int x = 0; x < kDstW; ++x) opaque.SetPixel(x, y, background.GetPixel(x, y) | 0xFF000000u);
  const cPixelSurface* screens[] = {&background, &opaque};
  const std::uint32_t diffuses[] = {0x9F3060C0, 0x01FFFFFF, 0xFE102030, 0x00FF0000, 0xFF00FF00, 0x80FF4020};
  for (const cPixelSurface* screen : screens) {
    for (std::uint32_t diffuse : diffuses) {
      sStageState tint;
      tint.alphaOp = TextureOp::Modulate;
      tint.diffuse = diffuse;
      cPixelSurface dst = screen->Clone();
      ASSERT_TRUE(plat::DrawTexturedRect(dst, 0, 0, kDstW, kDstH, &dst, 0, 0, kDstW, kDstH, tint));
      for (int y = 0; y < kDstH; ++y) {
        for (int x = 0; x < kDstW; ++x) {
          const std::uint32_t before = screen->GetPixel(x, y);
          ASSERT_EQ(dst.GetPixel(x, y), plat::BlendSourceAlpha(plat::EvaluateStage(before, tint), before))
              << std::hex << diffuse << (screen == &opaque ? " on opaque pixels" : " on mixed alphas") << " at "
              << std::dec << x << "," << y;
        }
      }
    }
  }
}

// ---------------------------------------------------------------------------
// Quads

plat::sQuadVertex Vertex(float x, float y, float u, float v) { return plat::sQuadVertex{x, y, u, v}; }

TEST(TexturedQuadTest, AxisAlignedQuadDrawsWhatTheRectangleDraws) {
  const cPixelSurface src = Gradient(16, 16);
  struct Case {
    int x, y, w, h, sx, sy, sw, sh;
  };
  const Case cases[] = {{1, 1, 4, 3, 2, 5, 4, 3}, {-2, 0, 9, 5, 10, 2, -4, 6}, {3, -1, 7, 7, 0, 0, 14, 3}};
  for (const Case& c : cases) {
    cPixelSurface viaRect = Filled(8, 6, kUntouched);
    cPixelSurface viaQuad = Filled(8, 6, kUntouched);
    const sStageState stage;
    ASSERT_TRUE(plat::DrawTexturedRect(viaRect, c.x, c.y, c.w, c.h, &src, c.sx, c.sy, c.sw, c.sh, stage));
    const float l = c.x - 0.5f, t = c.y - 0.5f, r = c.x + c.w - 0.5f, b = c.y + c.h - 0.5f;
    const plat::sQuadVertex quad[4] = {Vertex(l, t, float(c.sx), float(c.sy)),
                                       Vertex(l, b, float(c.sx), float(c.sy + c.sh)),
                                       Vertex(r, t, float(c.sx + c.sw), float(c.sy)),
                                       Vertex(r, b, float(c.sx + c.sw), float(c.sy + c.sh))};
    ASSERT_TRUE(plat::DrawTexturedQuad(viaQuad, quad, &src, stage));
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 8; ++x)
        EXPECT_EQ(viaQuad.GetPixel(x, y), viaRect.GetPixel(x, y)) << "case x=" << c.x << " at " << x << "," << y;
  }
}

// A 4 x 2 picture turned 90 degrees clockwise about the point (10, 10): the
// quad covers exactly columns 9..10 and rows 8..11, the top row of the
// picture becoming the right column.
TEST(TexturedQuadTest, QuarterTurnCoversTheTurnedRectangle) {
  const cPixelSurface src = Gradient(4, 2);
  cPixelSurface dst = Filled(20, 20, kUntouched);
  // Corners relative to the centre (-2,-1), (-2,1), (2,-1), (2,1) turned to
  // (1,-2), (-1,-2), (1,2), (-1,2), placed at centre + corner - 0.5.
  const plat::sQuadVertex quad[4] = {Vertex(10.5f, 7.5f, 0, 0), Vertex(8.5f, 7.5f, 0, 2), Vertex(10.5f, 11.5f, 4, 0),
                                     Vertex(8.5f, 11.5f, 4, 2)};
  ASSERT_TRUE(plat::DrawTexturedQuad(dst, quad, &src, sStageState{}));
  int covered = 0;
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 20; ++x) {
      if (dst.GetPixel(x, y) == kUntouched) continue;
      ++covered;
      ASSERT_TRUE(x >= 9 && x <= 10 && y >= 8 && y <= 11) << "stray pixel at " << x << "," << y;
      // Picture column = y - 8, picture row = 10 - x.
      EXPECT_EQ(dst.GetPixel(x, y), Marker(y - 8, 10 - x)) << x << "," << y;
    }
  }
  EXPECT_EQ(covered, 8);
}

// Pixel centres that lie exactly on shared edges (the diagonal inside each
// quad and the edge between the two quads) are drawn exactly once.
TEST(TexturedQuadTest, SharedEdgesAreDrawnOnce) {
  cPixelSurface dst = Filled(10, 6, 0xFF000000);
  sStageState half;
  half.alphaOp = TextureOp::Modulate;
  half.diffuse = 0x80FFFFFF;
  const plat::sQuadVertex left[4] = {Vertex(0, 0, 0, 0), Vertex(0, 4, 0, 0), Vertex(4, 0, 0, 0), Vertex(4, 4, 0, 0)};
  const plat::sQuadVertex right[4] = {Vertex(4, 0, 0, 0), Vertex(4, 4, 0, 0), Vertex(8, 0, 0, 0), Vertex(8, 4, 0, 0)};
  ASSERT_TRUE(plat::DrawTexturedQuad(dst, left, nullptr, half));
  ASSERT_TRUE(plat::DrawTexturedQuad(dst, right, nullptr, half));
  const std::uint32_t once = plat::BlendSourceAlpha(0x80FFFFFF, 0xFF000000);
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 10; ++x) {
      const bool inside = x < 8 && y < 4;  // top-left rule: left and top edges in, right and bottom out
      EXPECT_EQ(dst.GetPixel(x, y), inside ? once : 0xFF000000u) << x << "," << y;
    }
  }
}

}  // namespace
