#pragma once
// Rectangle fills in a palette colour or a colour value, on either road.
//
// The roads differ where a player can see it:
//   - DirectDraw clips a rectangle that starts left of (above) the surface:
//     x -10, width 30 covers columns 0 to 19. A Direct3D render target moves
//     it to 0 and keeps its width: columns 0 to 29.
//   - Direct3D draws a fill into a render target as a blended quad, so a
//     colour with alpha 0 (palette number 0, the transparent value) leaves
//     BackBuffer as it was; a colour-keyed render target filled with the
//     transparent value is cleared to it instead. Other Direct3D surfaces and
//     every DirectDraw surface take the value as it is.
// The colour of the RGB forms is an ARGB value under Direct3D and a raw pixel
// value of the surface under DirectDraw.

#include <cstdint>

#include "graphics/Surface.h"

void DDFillRectPal(DDSURFACEDATA* lpSD, int x, int y, int nWidth, int nHeight, std::uint32_t dwPalNum);
void DDFillSurfacePal(DDSURFACEDATA* lpSD, std::uint32_t dwPalNum);
void DDFillRectRGB(DDSURFACEDATA* lpSD, int x, int y, int nWidth, int nHeight, std::uint32_t dwColor);
void DDFillSurfaceRGB(DDSURFACEDATA* lpSD, std::uint32_t dwColor);
