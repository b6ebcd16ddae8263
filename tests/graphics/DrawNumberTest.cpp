#include "graphics/DrawNumber.h"

#include <gtest/gtest.h>

#include <string>

#include "DrawLayerTestSupport.h"

namespace {

using drawtest::cTestLayer;
using drawtest::eRoad;
using drawtest::PixelAt;
using drawtest::kBackground;

constexpr int kCell = 4;

std::uint32_t DigitColour(int d) { return 0xFF000000u | 0x101010u * static_cast<std::uint32_t>(d + 1); }

// A digit strip at (0, 2) of its sheet, ten cells of 4 x 5, digit d in DigitColour(d).
class DrawNumberTest : public testing::TestWithParam<eRoad> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_Layer.Started());
    drawtest::FillAll(BackBuffer, kBackground);
    ASSERT_TRUE(DDCreateSurface(&m_Strip, 40, 8, 0, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
    drawtest::FillAll(m_Strip, 0xFF000000);
    plat::cPixelSurface& px = drawtest::PixelsOf(m_Strip);
    for (int d = 0; d < 10; ++d)
      for (int y = 2; y < 7; ++y)
        for (int x = 0; x < kCell; ++x) px.SetPixel(d * kCell + x, y, DigitColour(d));
  }

  // The digits found in the cells of row y from x on, until an empty cell.
  std::string Read(int x, int y, int cells) const {
    std::string digits;
    for (int i = 0; i < cells; ++i) {
      const std::uint32_t pixel = PixelAt(BackBuffer, x + i * kCell, y);
      char c = '.';
      for (int d = 0; d < 10; ++d)
        if (pixel == DigitColour(d)) c = static_cast<char>('0' + d);
      digits += c;
    }
    return digits;
  }

  void Draw(std::int64_t value, int minDigits = 0, int centre = 0, int x = 0) {
    DDDrawNumber(&BackBuffer, x, 0, kCell, 5, &m_Strip, 0, 2, 0, value, minDigits, centre);
  }

  cTestLayer m_Layer{GetParam()};
  DDSURFACEDATA m_Strip;
};

TEST_P(DrawNumberTest, DrawsDigitsMostSignificantFirst) {
  struct sCase {
    std::int64_t value;
    int minDigits, centre;
    const char* shown;  // twelve cells from x = 0
  };
  const sCase cases[] = {
      {0, 0, 0, "0..........."},
      {7, 3, 0, "..7........."},  // moved by two cells, no leading zeros
      {7, 3, 1, ".7.........."},  // half of that
      {7, 5, 1, "..7........."},
      {305, 2, 0, "305........."},
      {1234567890, 0, 0, "1234567890.."},
      {9999999999LL, 0, 0, "9999999999.."},
      {10000000000LL, 0, 0, "............"},  // eleven digits: nothing
      {-5, 3, 0, "............"},             // no minus sign on the strip: nothing
  };
  for (const sCase& c : cases) {
    drawtest::FillAll(BackBuffer, kBackground);
    Draw(c.value, c.minDigits, c.centre);
    EXPECT_EQ(Read(0, 0, 12), c.shown) << c.value << " min " << c.minDigits << " centre " << c.centre;
  }
}

// Half of three missing cells of 4 is 6 pixels: the number may start inside a cell.
TEST_P(DrawNumberTest, CentredShiftIsHalfTheMissingWidth) {
  Draw(7, 4, 1);
  EXPECT_EQ(PixelAt(BackBuffer, 5, 0), kBackground);
  EXPECT_EQ(PixelAt(BackBuffer, 6, 0), DigitColour(7));
  EXPECT_EQ(PixelAt(BackBuffer, 9, 0), DigitColour(7));
  EXPECT_EQ(PixelAt(BackBuffer, 10, 0), kBackground);
}

INSTANTIATE_TEST_SUITE_P(Roads, DrawNumberTest, testing::Values(eRoad::Direct3D, eRoad::DirectDraw),
                         drawtest::RoadName);

TEST(CountDecimalDigitsTest, Counts) {
  EXPECT_EQ(CountDecimalDigits(0), 1);
  EXPECT_EQ(CountDecimalDigits(9), 1);
  EXPECT_EQ(CountDecimalDigits(10), 2);
  EXPECT_EQ(CountDecimalDigits(2147483647), 10);
  EXPECT_EQ(CountDecimalDigits(10000000000LL), 11);
}

}  // namespace
