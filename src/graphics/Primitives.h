#pragma once
// Single pixels and circle outlines in a palette colour.

#include <cstdint>

#include "graphics/Surface.h"

// One pixel of palette colour dwPalNum; nothing when (x, y) lies outside the
// destination's requested size.
void DDPSet(DDSURFACEDATA* lpDst, int x, int y, std::uint32_t dwPalNum);

// The outline of a circle of the given radius about (cx, cy), drawn with the
// integer midpoint rule; a radius below 1 draws nothing. Points that fall
// outside the destination are left out on both roads.
void DDCircle(DDSURFACEDATA* lpDst, int cx, int cy, int radius, std::uint32_t dwPalNum);
