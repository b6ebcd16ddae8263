#pragma once
// Geometric effects of the character and screen effects: a circular window,
// a magnifying lens and rotation.
//
//   DDCircleWindow  the disc around a source centre copied to the same place
//                   around a destination centre, as horizontal strips of
//                   ordinary blits (the screen effect "円" keeps the screen
//                   inside a circle; the world cuts round holes in masks)
//   DDLens          a disc of the destination showing the source magnified
//                   toward its centre, on locked pixels ("レンズ")
//   DDRotate        a source rectangle turned about its centre ("回転"): a
//                   textured quad under Direct3D when it can, otherwise on
//                   locked pixels in fixed point
//
// Flags 1 keys the source, 0 copies everything. Squares and sums of radii and
// positions are taken in 64 bits and every loop is limited to what can reach
// the destination, so no radius or position, however large, overflows or
// runs long.

#include <cstdint>

#include "graphics/Surface.h"

// Copies the disc of `radius` around (srcCX, srcCY) to the same place around
// (cx, cy), as strips `band` rows high (1 or more): rows -radius .. radius - 1
// around the centre, row i spanning columns [centre - c, centre + c) with
// c = floor(sqrt(radius² - i²)), at most radius - 1 (a band takes the chord
// of its middle row). Only rows within halfHeight of the centre, and source
// columns within halfWidth of it (and on the source), are copied. Under
// Direct3D the strips are one sprite batch in queueing order; under
// DirectDraw they are plain blits. A radius or band below 1 draws nothing.
// True in every case (the strips' blits report nothing a caller uses).
bool DDCircleWindow(DDSURFACEDATA* lpDst, int cx, int cy, int halfWidth, int halfHeight, int radius, int band,
                    DDSURFACEDATA* lpSrc, int srcCX, int srcCY, std::uint32_t dwFlags);

// A lens of `radius` and `depth` at (cx, cy) showing the source around
// (srcCX, srcCY): the destination point at distance ρ from the centre shows
// the source point at ρ·depth / sqrt(R² - ρ²), R = trunc(sqrt(radius² +
// depth²)); about ρ at the rim, magnified about R / depth times at the
// centre. What is copied: under Direct3D every texel but those of alpha 0
// (flags are not consulted); under DirectDraw every pixel but the colour
// key's, whatever the flags. With `clear` set, Direct3D at 32 bits also
// clears to 0 the square around the disc and every disc pixel that shows
// nothing. False for a negative radius or depth, for a depth too large for
// the radius (R <= depth), and when a surface cannot be locked.
bool DDLens(DDSURFACEDATA* lpDst, int cx, int cy, int radius, int depth, DDSURFACEDATA* lpSrc, int srcCX, int srcCY,
            std::uint32_t dwFlags, int clear);

// The source rectangle (sx, sy, nWidth, nHeight) turned clockwise on screen
// by `angle` degrees about the pivot (pivotX, pivotY), given from the
// rectangle's top-left corner; callers pass the rectangle's centre
// (nWidth / 2, nHeight / 2), which lands on (cx, cy).
//   Direct3D, into a render target from a texture not in system memory: one
//   quad with the context's blend colour and operations.
//   Otherwise: every pixel of the turned rectangle's box (±2) that lies on
//   the destination takes the raw value of the source pixel found by the
//   inverse turn in 1/1024 fixed point, no conversion; with flags 1 the
//   colour key (0 under Direct3D) is skipped.
// True after drawing, also under Direct3D for a null surface; false when a
// surface cannot be locked.
bool DDRotate(DDSURFACEDATA* lpDst, int cx, int cy, int nWidth, int nHeight, int pivotX, int pivotY, int angle,
              DDSURFACEDATA* lpSrc, int sx, int sy, std::uint32_t dwFlags);
