#include "graphics/Frame.h"

#include <gtest/gtest.h>

#include "DrawLayerTestSupport.h"

namespace {

using drawtest::cTestLayer;
using drawtest::eRoad;
using drawtest::Marker;
using drawtest::PixelAt;
using drawtest::kBackground;

constexpr std::uint32_t kFrameColour = 7;  // palette entry (200, 100, 50)

class FrameTest : public testing::TestWithParam<eRoad> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_Layer.Started());
    g_Palette[kFrameColour] = {200, 100, 50, 0};
    drawtest::FillAll(BackBuffer, kBackground);
  }
  void TearDown() override { g_Palette[kFrameColour] = {}; }
  std::uint32_t Drawn() const { return m_Layer.D3D() ? 0xFFC86432u : 0x00C86432u; }

  // True where the pixel holds the frame colour.
  bool IsFrame(int x, int y) const { return PixelAt(BackBuffer, x, y) == Drawn(); }
  int CountFrame() const {
    int n = 0;
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x) n += IsFrame(x, y);
    return n;
  }

  cTestLayer m_Layer{GetParam()};
};

TEST_P(FrameTest, BarsLieInsideTheRectangle) {
  struct sCase {
    int thickness, count;
  };
  for (const sCase c : {sCase{1, 36}, sCase{2, 64}}) {
    drawtest::FillAll(BackBuffer, kBackground);
    DDFrameRect(&BackBuffer, 5, 5, 10, 10, c.thickness, kFrameColour);
    EXPECT_EQ(CountFrame(), c.count) << "thickness " << c.thickness;
    EXPECT_TRUE(IsFrame(5, 5));
    EXPECT_TRUE(IsFrame(14, 14));
    EXPECT_FALSE(IsFrame(4, 5));
    EXPECT_FALSE(IsFrame(15, 14));
    EXPECT_FALSE(IsFrame(5 + c.thickness, 5 + c.thickness));
  }
  EXPECT_FALSE(g_FillBatch.bActive);
}

TEST_P(FrameTest, BoxFrameLiesOutsideThePattern) {
  DDSURFACEDATA pattern;
  drawtest::MakeMarkedSurface(pattern, 32, 32);
  DDDrawBox(&BackBuffer, 10, 10, 20, 8, &pattern, 1, kFrameColour);
  // The frame runs from (9, 9) to (30, 18) inclusive.
  EXPECT_EQ(CountFrame(), 2 * 22 + 2 * 8);
  EXPECT_TRUE(IsFrame(9, 9));
  EXPECT_TRUE(IsFrame(30, 18));
  EXPECT_FALSE(IsFrame(31, 18));
  EXPECT_EQ(PixelAt(BackBuffer, 10, 10), Marker(0, 0));
  EXPECT_EQ(PixelAt(BackBuffer, 29, 17), Marker(19, 7));
}

INSTANTIATE_TEST_SUITE_P(Roads, FrameTest, testing::Values(eRoad::Direct3D, eRoad::DirectDraw), drawtest::RoadName);

}  // namespace
