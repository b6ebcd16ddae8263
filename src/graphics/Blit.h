#pragma once
// The blits every scene and in-game drawer calls.
//
// Flags of every blit: 0 copies every source pixel; 1 leaves the destination
// alone where the source is transparent (its colour key under DirectDraw,
// alpha 0 in a Direct3D texture).
//
// Direct3D: a blit into a render target from a texture that does not live in
// system memory is a textured quad (queued while the sprite batch is active),
// drawn with the blend colour and stage operations current at the call;
// anything else is copied pixel by pixel at once. DirectDraw: the rectangles
// are clipped (BlitClip.h) and copied with the source's colour key.

#include <cstdint>

#include "graphics/Palette.h"  // DDBLENDPARAM
#include "graphics/Surface.h"

// Copies a width x height rectangle at the same size. Returns 1 when
// something was drawn (or queued), 0 when nothing remained after clipping or
// the size was not positive.
int DDBlt(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, DDSURFACEDATA* lpSrc, int sx, int sy,
          std::uint32_t dwFlags);

// Stretches the source rectangle (sx, sy, sw, sh) onto the destination
// rectangle; a negative source width or height mirrors that axis. Destination
// sizes must be positive. Returns true when something was drawn or queued.
bool DDBltEx(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, DDSURFACEDATA* lpSrc, int sx, int sy, int sw,
             int sh, std::uint32_t dwFlags);

// DDBlt and DDBltEx with a diffuse colour and colour operation for this one
// blit (Direct3D); afterwards the blend colour is white and the operation
// modulate again. DirectDraw ignores the block, as does a null block.
int DDBltBlend(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, DDSURFACEDATA* lpSrc, int sx, int sy,
               std::uint32_t dwFlags, const DDBLENDPARAM* lpBlend);
bool DDBltExBlend(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, DDSURFACEDATA* lpSrc, int sx, int sy,
                  int sw, int sh, std::uint32_t dwFlags, const DDBLENDPARAM* lpBlend);
