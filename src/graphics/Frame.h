#pragma once
// Rectangular frames in a palette colour, and window boxes: a pattern with a
// frame round it.

#include <cstdint>

#include "graphics/Surface.h"

// Four bars of the given thickness drawn inside the rectangle (top, bottom,
// left, right), as one fill batch.
void DDFrameRect(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, int thickness, std::uint32_t dwPalNum);

// The pattern's top-left nWidth x nHeight copied opaque to (x, y), then a
// frame of the thickness lying outside that box.
void DDDrawBox(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, DDSURFACEDATA* lpPattern, int thickness,
               std::uint32_t dwFrameColor);
