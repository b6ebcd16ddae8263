#include "graphics/BitmapText.h"

#include <gtest/gtest.h>

#include <string>

#include "DrawLayerTestSupport.h"

namespace {

using drawtest::cTestLayer;
using drawtest::eRoad;
using drawtest::Marker;
using drawtest::PixelAt;

TEST(BitmapTextCellTest, BytesMapToTheirSheetCells) {
  struct sCase {
    std::uint8_t c;
    int column, row;
  };
  const sCase cases[] = {
      {'A', 1, 4},  {' ', 0, 2},  {'~', 14, 7}, {0x7F, 15, 7},
      {0xA6, 6, 0},  // ｦ, first of the katakana in rows 0 and 1
      {0xB1, 1, 1},  // ｱ
      {0xBF, 15, 1}, {0xC0, 0, 8}, {0xDD, 13, 9},
      {0xA5, 5, 10},  // ･ is not moved
      {0xDE, 14, 13},
  };
  for (const sCase& c : cases) {
    const sBitmapTextCell cell = BitmapTextCell(c.c);
    EXPECT_EQ(cell.column, c.column) << std::hex << int{c.c};
    EXPECT_EQ(cell.row, c.row) << std::hex << int{c.c};
  }
}

// A sheet of 16 x 16 cells of 2 x 2 pixels, cell (column, row) of colour
// Marker(column, row).
class BitmapTextTest : public testing::TestWithParam<eRoad> {
 protected:
  static constexpr std::uint32_t kBackground = 0xFF123456;
  void SetUp() override {
    ASSERT_TRUE(m_Layer.Started());
    drawtest::FillAll(BackBuffer, kBackground);
    ASSERT_TRUE(DDCreateSurface(&m_Sheet, 32, 32, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
    plat::cPixelSurface& px = drawtest::PixelsOf(m_Sheet);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) px.SetPixel(x, y, Marker(x / 2, y / 2));
  }
  cTestLayer m_Layer{GetParam()};
  DDSURFACEDATA m_Sheet;
};

TEST_P(BitmapTextTest, LinesAndCells) {
  DDDrawBitmapText(&BackBuffer, 4, 6, 2, 2, &m_Sheet, "A\xB1\nB");
  EXPECT_EQ(PixelAt(BackBuffer, 4, 6), Marker(1, 4));
  EXPECT_EQ(PixelAt(BackBuffer, 5, 7), Marker(1, 4));
  EXPECT_EQ(PixelAt(BackBuffer, 6, 6), Marker(1, 1));
  EXPECT_EQ(PixelAt(BackBuffer, 4, 8), Marker(2, 4));
  EXPECT_EQ(PixelAt(BackBuffer, 6, 8), kBackground);
  EXPECT_FALSE(g_SpriteBatch.bActive);
}

// A line that reaches the screen width goes on at the start of the next line.
TEST_P(BitmapTextTest, LongLineContinuesBelow) {
  const std::string text(33, 'A');
  DDDrawBitmapText(&BackBuffer, 0, 0, 2, 2, &m_Sheet, text.c_str());
  EXPECT_EQ(PixelAt(BackBuffer, 62, 0), Marker(1, 4));
  EXPECT_EQ(PixelAt(BackBuffer, 0, 2), Marker(1, 4));
  EXPECT_EQ(PixelAt(BackBuffer, 2, 2), kBackground);
}

TEST_P(BitmapTextTest, FormattedText) {
  DDDrawBitmapTextf(&BackBuffer, 0, 0, 2, 2, &m_Sheet, "%d", 42);
  EXPECT_EQ(PixelAt(BackBuffer, 0, 0), Marker(4, 3));
  EXPECT_EQ(PixelAt(BackBuffer, 2, 0), Marker(2, 3));
}

INSTANTIATE_TEST_SUITE_P(Roads, BitmapTextTest, testing::Values(eRoad::Direct3D, eRoad::DirectDraw),
                         drawtest::RoadName);

}  // namespace
