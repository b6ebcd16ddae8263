#pragma once
// The sample game's blend table for the 8-bit mode (bmp\hbt\hbt00.dat):
// entry a * 256 + b is the palette colour nearest to the mean of colours a
// and b. The mixes are taken from the colours that stay put: not the
// transparent colour 0 and not the cycling entries 208 to 239, so translucent
// pixels neither turn transparent nor flicker with the cycling.

#include <cstdint>
#include <vector>

#include "platform/PixelSurface.h"

namespace samplegame {

// The 65536 bytes of the table for `palette` (a colour mixed with itself is
// itself).
std::vector<std::uint8_t> MakeBlendTable(const plat::DisplayPalette& palette);

}  // namespace samplegame
