// The sample game's blend table: every mix a steady colour near the mean.

#include "SampleBlendTable.h"

#include <gtest/gtest.h>

#include "SampleBitmaps.h"

namespace {

TEST(SampleBlendTableTest, MixesAreSteadyColoursNearTheMean) {
  const plat::DisplayPalette palette = samplegame::MakeGamePalette();
  const std::vector<std::uint8_t> table = samplegame::MakeBlendTable(palette);
  ASSERT_EQ(table.size(), 65536u);
  for (int a = 0; a < 256; ++a) {
    for (int b = 0; b < 256; ++b) {
      const int mix = table[static_cast<std::size_t>(a * 256 + b)];
      ASSERT_EQ(mix, table[static_cast<std::size_t>(b * 256 + a)]) << a << "," << b;
      if (a == b) {
        ASSERT_EQ(mix, a);
        continue;
      }
      // Never the transparent colour, never a cycling entry.
      ASSERT_NE(mix, 0) << a << "," << b;
      ASSERT_TRUE(mix < 208 || mix > 239) << a << "," << b;
    }
  }
  // White and black (entries 255 and 16) mix to a middle grey.
  const plat::sPaletteEntry grey = palette[table[255 * 256 + 16]];
  EXPECT_NEAR(grey.red, 128, 12);
  EXPECT_EQ(grey.red, grey.green);
  EXPECT_EQ(grey.green, grey.blue);
}

}  // namespace
