#pragma once
// Blur and mosaic: two effects on locked pixels of either road (the
// character effects "ぼかし" and "モザイク", and the screen mosaic, which draws
// from a copy of BackBuffer).
//
// Both draw the source rectangle (sx, sy, nWidth, nHeight) at (x, y). Flags
// 1 keys the source (PixelAccess.h), 0 uses every pixel. Source pixels off
// the source surface are never read: they count as absent, as transparent
// ones do with flags 1. Writes stay inside the destination. Both return true
// when done or when there is nothing to do, false when a surface cannot be
// locked.

#include <cstdint>

#include "graphics/Surface.h"

// Every pixel becomes the average of a box of the rectangle around it: rows
// j - radiusY .. j + radiusY - 1 and columns k - radiusX .. k + radiusX - 1
// (2 x radius cells per axis, one more on the low side), cut to the
// rectangle. With flags 1 transparent cells are neither counted nor blurred
// (their destination stays). A pixel whose box counts nothing stays, so a
// negative radius changes nothing; a radius of 0 returns at once. At 8 bits
// per pixel colours cannot be averaged: "8ビットぼかしは不可能！" goes to the
// debug log and nothing is drawn. The cost does not grow with the radius.
bool DDBlur(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, int radiusX, int radiusY,
            DDSURFACEDATA* lpSrc, int sx, int sy, std::uint32_t dwFlags);

// The rectangle painted in blocks of blockSize x blockSize counted from its
// top-left corner (the last ones cut at its edges), each of one colour:
//   Direct3D           the block's top-left texel (alpha 255 written); with
//                      flags 1 a transparent top-left texel leaves the whole
//                      block as it was
//   DirectDraw 8       the top-left index, likewise with the colour key
//   DirectDraw 32      the average of the block's counted pixels; with flags 1
//                      an average equal to the colour key is not drawn
// So the same call samples under Direct3D and averages under DirectDraw. A
// block size of 0 or below draws nothing.
bool DDMosaic(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, int blockSize, DDSURFACEDATA* lpSrc,
              int sx, int sy, std::uint32_t dwFlags);
