#include "SampleBlendTable.h"

#include <limits>

namespace samplegame {

namespace {

bool HoldsItsColour(int index) { return index != 0 && (index < 208 || index > 239); }

// The steady entry nearest to (r, g, b) in squared distance; the lowest
// index wins a tie.
std::uint8_t Nearest(const plat::DisplayPalette& palette, int r, int g, int b) {
  int best = 0;
  int bestDistance = std::numeric_limits<int>::max();
  for (int i = 0; i < 256; ++i) {
    if (!HoldsItsColour(i)) continue;
    const int dr = palette[i].red - r, dg = palette[i].green - g, db = palette[i].blue - b;
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return static_cast<std::uint8_t>(best);
}

}  // namespace

std::vector<std::uint8_t> MakeBlendTable(const plat::DisplayPalette& palette) {
  std::vector<std::uint8_t> table(65536);
  for (int a = 0; a < 256; ++a) {
    table[static_cast<std::size_t>(a * 256 + a)] = static_cast<std::uint8_t>(a);
    for (int b = a + 1; b < 256; ++b) {
      const std::uint8_t mix = Nearest(palette, (palette[a].red + palette[b].red) / 2,
                                       (palette[a].green + palette[b].green) / 2,
                                       (palette[a].blue + palette[b].blue) / 2);
      table[static_cast<std::size_t>(a * 256 + b)] = mix;
      table[static_cast<std::size_t>(b * 256 + a)] = mix;
    }
  }
  return table;
}

}  // namespace samplegame
