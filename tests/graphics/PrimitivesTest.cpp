#include "graphics/Primitives.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "DrawLayerTestSupport.h"

namespace {

using drawtest::cTestLayer;
using drawtest::eRoad;
using drawtest::PixelAt;
using drawtest::kBackground;

constexpr std::uint32_t kPrimitiveColour = 5;  // palette entry (10, 20, 30)

class PrimitivesTest : public testing::TestWithParam<eRoad> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_Layer.Started());
    g_Palette[kPrimitiveColour] = {10, 20, 30, 0};
    drawtest::FillAll(BackBuffer, kBackground);
  }
  void TearDown() override { g_Palette[kPrimitiveColour] = {}; }

  // The colour value a palette fill leaves on BackBuffer.
  std::uint32_t Drawn() const { return m_Layer.D3D() ? 0xFF0A141Eu : 0x000A141Eu; }

  std::set<std::pair<int, int>> DrawnPoints() const {
    std::set<std::pair<int, int>> points;
    const plat::cPixelSurface& px = drawtest::PixelsOf(BackBuffer);
    for (int y = 0; y < px.Height(); ++y)
      for (int x = 0; x < px.Width(); ++x)
        if (px.GetPixel(x, y) != kBackground) points.insert({x, y});
    return points;
  }

  cTestLayer m_Layer{GetParam()};
};

TEST_P(PrimitivesTest, PSetDrawsOnePixelInside) {
  DDPSet(&BackBuffer, 3, 4, kPrimitiveColour);
  EXPECT_EQ(PixelAt(BackBuffer, 3, 4), Drawn());
  EXPECT_EQ(DrawnPoints().size(), 1u);
}

TEST_P(PrimitivesTest, PSetOutsideDrawsNothing) {
  for (const auto& [x, y] : {std::pair{-1, 0}, {64, 0}, {0, -1}, {0, 48}}) DDPSet(&BackBuffer, x, y, kPrimitiveColour);
  EXPECT_TRUE(DrawnPoints().empty());
}

TEST_P(PrimitivesTest, CircleOfRadiusOneIsFourPoints) {
  DDCircle(&BackBuffer, 10, 10, 1, kPrimitiveColour);
  const std::set<std::pair<int, int>> want{{10, 9}, {10, 11}, {9, 10}, {11, 10}};
  EXPECT_EQ(DrawnPoints(), want);
  EXPECT_EQ(PixelAt(BackBuffer, 10, 9), Drawn());
}

TEST_P(PrimitivesTest, CircleOfRadiusThreeFollowsTheMidpointRule) {
  DDCircle(&BackBuffer, 20, 20, 3, kPrimitiveColour);
  // x = 0, y = 3 (d = -3), then x = 1, y = 3 (d = 3), then x = 2, y = 2.
  const std::set<std::pair<int, int>> want{
      {20, 23}, {20, 17}, {23, 20}, {17, 20},                      // x 0
      {21, 23}, {19, 23}, {21, 17}, {19, 17}, {23, 21}, {17, 21}, {23, 19}, {17, 19},  // x 1
      {22, 22}, {18, 22}, {22, 18}, {18, 18},                      // x 2
  };
  EXPECT_EQ(DrawnPoints(), want);
}

TEST_P(PrimitivesTest, CircleBelowRadiusOneDrawsNothing) {
  DDCircle(&BackBuffer, 10, 10, 0, kPrimitiveColour);
  DDCircle(&BackBuffer, 10, 10, -4, kPrimitiveColour);
  EXPECT_TRUE(DrawnPoints().empty());
}

// A circle crossing the left edge leaves its hidden points out; they are not
// piled onto the edge column.
TEST_P(PrimitivesTest, CircleCrossingTheEdgeDrawsOnlyItsVisiblePoints) {
  DDCircle(&BackBuffer, 0, 20, 3, kPrimitiveColour);
  std::set<int> rowsInColumn0;
  for (const auto& [x, y] : DrawnPoints())
    if (x == 0) rowsInColumn0.insert(y);
  EXPECT_EQ(rowsInColumn0, (std::set<int>{17, 23}));
}

INSTANTIATE_TEST_SUITE_P(Roads, PrimitivesTest, testing::Values(eRoad::Direct3D, eRoad::DirectDraw),
                         drawtest::RoadName);

}  // namespace
