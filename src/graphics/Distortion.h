#pragma once
// Distortions the screen and character effects call every frame: each draws
// the whole picture for one frame from a source into a destination, and the
// caller moves the phase or offset from frame to frame. Flags are the DDBlt
// flags (0 opaque, 1 transparent colour skipped). Under Direct3D the pieces of
// one call are one sprite batch in queueing order (batches do not nest: call
// these outside a batch of your own).

#include <cstdint>

#include "graphics/Surface.h"

// Sine displacement: bColumns set moves strips of `band` columns up and down,
// otherwise strips of `band` rows left and right, by amplitude x
// sin((phase + s) x cycles x pi / 180) pixels (truncated), where s grows by
// 360 / size x band before each strip. A band below 1 draws nothing.
void DDWave(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, int cycles, double amplitude, int phase,
            int band, DDSURFACEDATA* lpSrc, int sx, int sy, std::uint32_t dwFlags, int bColumns);

// The picture cut into whole strips of `band` columns (bColumns) or rows;
// odd strips move up (left) by offset, even ones down (right), the odd ones
// drawn first. A remainder narrower than the band is not drawn; band 0 is a
// plain copy, a negative band draws nothing.
void DDSplit(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, int band, int offset, DDSURFACEDATA* lpSrc,
             int sx, int sy, std::uint32_t dwFlags, int bColumns);

// A card turning about its vertical (axis 0) or horizontal (axis 1) centre
// line: the picture squeezed by a triangle wave of the phase, the back shown
// on every other half turn, changing sides where the card is thinnest. Any
// other axis, or a card thinner than two pixels on its axis, draws nothing.
void DDRotateDepth(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, DDSURFACEDATA* lpFront, int frontX,
                   int frontY, DDSURFACEDATA* lpBack, int backX, int backY, int srcW, int srcH, std::uint32_t dwFlags,
                   int phase, int axis);

// The picture falling apart in four quarters, each moved `spread` pixels away
// from the centre on both axes.
void DDBurst(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, DDSURFACEDATA* lpSrc, int sx, int sy,
             int spread, std::uint32_t dwFlags);
