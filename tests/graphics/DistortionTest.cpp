#include "graphics/Distortion.h"

#include <gtest/gtest.h>

#include "DrawLayerTestSupport.h"

namespace {

using drawtest::cTestLayer;
using drawtest::eRoad;
using drawtest::Marker;
using drawtest::PixelAt;
using drawtest::kBackground;

constexpr std::uint32_t kFront = 0xFF00C000, kBack = 0xFF0000C0;

class DistortionTest : public testing::TestWithParam<eRoad> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_Layer.Started());
    drawtest::FillAll(BackBuffer, kBackground);
    drawtest::MakeMarkedSurface(m_Src, 128, 48);
  }
  void TearDown() override { EXPECT_FALSE(g_SpriteBatch.bActive); }

  bool Untouched() const {
    const plat::cPixelSurface& px = drawtest::PixelsOf(BackBuffer);
    for (int y = 0; y < px.Height(); ++y)
      for (int x = 0; x < px.Width(); ++x)
        if (px.GetPixel(x, y) != kBackground) return false;
    return true;
  }

  cTestLayer m_Layer{GetParam(), 128, 48};
  DDSURFACEDATA m_Src;
};

TEST_P(DistortionTest, SplitColumnsMoveOddStripsUpAndEvenStripsDown) {
  DDSplit(&BackBuffer, 10, 10, 100, 8, 30, 2, &m_Src, 0, 0, 0, 1);
  EXPECT_EQ(PixelAt(BackBuffer, 15, 12), Marker(5, 0));   // strip 0, lower
  EXPECT_EQ(PixelAt(BackBuffer, 45, 8), Marker(35, 0));   // strip 1, higher
  EXPECT_EQ(PixelAt(BackBuffer, 75, 12), Marker(65, 0));  // strip 2, lower
  EXPECT_EQ(PixelAt(BackBuffer, 105, 12), kBackground);   // the last 10 columns are not drawn
  EXPECT_EQ(PixelAt(BackBuffer, 15, 11), kBackground);
}

TEST_P(DistortionTest, SplitRowsMoveOddStripsLeftAndEvenStripsRight) {
  DDSplit(&BackBuffer, 10, 4, 20, 40, 10, 3, &m_Src, 0, 0, 0, 0);
  EXPECT_EQ(PixelAt(BackBuffer, 13, 4), Marker(0, 0));
  EXPECT_EQ(PixelAt(BackBuffer, 7, 14), Marker(0, 10));
  EXPECT_EQ(PixelAt(BackBuffer, 13, 24), Marker(0, 20));
  EXPECT_EQ(PixelAt(BackBuffer, 7, 34), Marker(0, 30));
}

TEST_P(DistortionTest, SplitBandZeroIsAPlainCopyAndANegativeBandDrawsNothing) {
  DDSplit(&BackBuffer, 10, 10, 20, 8, -4, 2, &m_Src, 0, 0, 0, 1);
  EXPECT_TRUE(Untouched());
  DDSplit(&BackBuffer, 10, 10, 20, 8, 0, 2, &m_Src, 0, 0, 0, 1);
  EXPECT_EQ(PixelAt(BackBuffer, 10, 10), Marker(0, 0));
  EXPECT_EQ(PixelAt(BackBuffer, 29, 17), Marker(19, 7));
}

// Columns of a 4-wide picture, one cycle: the angle grows before the first
// strip, so the strips sit at 90, 180, 270 and 360 degrees; offsets are
// truncated toward zero.
TEST_P(DistortionTest, WaveColumns) {
  DDWave(&BackBuffer, 10, 20, 4, 4, 1, 10.5, 0, 1, &m_Src, 0, 0, 0, 1);
  EXPECT_EQ(PixelAt(BackBuffer, 10, 30), Marker(0, 0));
  EXPECT_EQ(PixelAt(BackBuffer, 11, 20), Marker(1, 0));
  EXPECT_EQ(PixelAt(BackBuffer, 12, 10), Marker(2, 0));
  EXPECT_EQ(PixelAt(BackBuffer, 13, 20), Marker(3, 0));
  EXPECT_EQ(PixelAt(BackBuffer, 10, 20), kBackground);
}

TEST_P(DistortionTest, WaveRowsInBands) {
  DDWave(&BackBuffer, 20, 4, 4, 8, 1, 10.5, 0, 2, &m_Src, 0, 0, 0, 0);
  EXPECT_EQ(PixelAt(BackBuffer, 30, 4), Marker(0, 0));
  EXPECT_EQ(PixelAt(BackBuffer, 30, 5), Marker(0, 1));
  EXPECT_EQ(PixelAt(BackBuffer, 20, 6), Marker(0, 2));
  EXPECT_EQ(PixelAt(BackBuffer, 10, 8), Marker(0, 4));
  EXPECT_EQ(PixelAt(BackBuffer, 20, 10), Marker(0, 6));
}

TEST_P(DistortionTest, WaveLastBandIsNarrower) {
  DDWave(&BackBuffer, 10, 10, 8, 4, 1, 0.0, 0, 3, &m_Src, 0, 0, 0, 1);
  EXPECT_EQ(PixelAt(BackBuffer, 17, 10), Marker(7, 0));
  EXPECT_EQ(PixelAt(BackBuffer, 18, 10), kBackground);
}

TEST_P(DistortionTest, WaveWithoutABandDrawsNothing) {
  DDWave(&BackBuffer, 10, 10, 8, 4, 1, 5.0, 0, 0, &m_Src, 0, 0, 0, 1);
  DDWave(&BackBuffer, 10, 10, 8, 4, 1, 5.0, 0, -2, &m_Src, 0, 0, 0, 0);
  EXPECT_TRUE(Untouched());
}

TEST_P(DistortionTest, BurstMovesTheQuartersApart) {
  DDBurst(&BackBuffer, 20, 20, 8, 8, &m_Src, 0, 0, 3, 0);
  EXPECT_EQ(PixelAt(BackBuffer, 17, 17), Marker(0, 0));
  EXPECT_EQ(PixelAt(BackBuffer, 27, 17), Marker(4, 0));
  EXPECT_EQ(PixelAt(BackBuffer, 17, 27), Marker(0, 4));
  EXPECT_EQ(PixelAt(BackBuffer, 30, 30), Marker(7, 7));
  EXPECT_EQ(PixelAt(BackBuffer, 21, 21), kBackground);
}

// A 64-wide card: which side shows and how wide, phase by phase.
TEST_P(DistortionTest, RotateDepthAlternatesSidesWhereTheCardIsThinnest) {
  DDSURFACEDATA front, back;
  drawtest::MakeFilledSurface(front, 64, 16, kFront);
  drawtest::MakeFilledSurface(back, 64, 16, kBack);
  struct sCase {
    int phase;
    std::uint32_t side;
    int width;
  };
  const sCase cases[] = {{0, kFront, 64},  {31, kFront, 2}, {32, kBack, 2},  {63, kBack, 64},
                         {64, kBack, 64},  {95, kBack, 2},  {96, kFront, 2}, {127, kFront, 64}};
  for (const sCase& c : cases) {
    drawtest::FillAll(BackBuffer, kBackground);
    DDRotateDepth(&BackBuffer, 0, 0, 64, 16, &front, 0, 0, &back, 0, 0, 64, 16, 0, c.phase, 0);
    int first = -1, count = 0;
    for (int x = 0; x < 128; ++x) {
      const std::uint32_t p = PixelAt(BackBuffer, x, 8);
      if (p == kBackground) continue;
      EXPECT_EQ(p, c.side) << "phase " << c.phase << " x " << x;
      if (first < 0) first = x;
      ++count;
    }
    EXPECT_EQ(count, c.width) << "phase " << c.phase;
    EXPECT_EQ(first, (64 - c.width) / 2) << "phase " << c.phase;
  }
}

TEST_P(DistortionTest, RotateDepthAboutTheHorizontalAxis) {
  DDSURFACEDATA front, back;
  drawtest::MakeFilledSurface(front, 16, 32, kFront);
  drawtest::MakeFilledSurface(back, 16, 32, kBack);
  DDRotateDepth(&BackBuffer, 0, 0, 16, 32, &front, 0, 0, &back, 0, 0, 16, 32, 0, 16, 1);
  EXPECT_EQ(PixelAt(BackBuffer, 5, 15), kBack);
  EXPECT_EQ(PixelAt(BackBuffer, 5, 16), kBack);
  EXPECT_EQ(PixelAt(BackBuffer, 5, 14), kBackground);
  EXPECT_EQ(PixelAt(BackBuffer, 5, 17), kBackground);
}

TEST_P(DistortionTest, RotateDepthOtherAxesAndThinCardsDrawNothing) {
  DDRotateDepth(&BackBuffer, 0, 0, 16, 16, &m_Src, 0, 0, &m_Src, 0, 0, 16, 16, 0, 3, 2);
  DDRotateDepth(&BackBuffer, 0, 0, 1, 16, &m_Src, 0, 0, &m_Src, 0, 0, 16, 16, 0, 3, 0);
  EXPECT_TRUE(Untouched());
}

INSTANTIATE_TEST_SUITE_P(Roads, DistortionTest, testing::Values(eRoad::Direct3D, eRoad::DirectDraw),
                         drawtest::RoadName);

}  // namespace
