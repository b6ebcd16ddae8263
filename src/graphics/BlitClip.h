#pragma once
// Rectangle clipping shared by every blit, and the mirroring of source
// rectangles taken from mirrored copy rows under Direct3D.
//
// The two back ends clip differently, and the differences show on screen:
//   - a same-size blit clips the source against its sheet without moving the
//     destination corner (a negative source x shifts the picture), and once
//     the left (top) edge was clipped the right (bottom) edge is not tested;
//   - a stretched or mirrored blit under Direct3D clips only the source and
//     leaves the destination to the device, while DirectDraw clips the
//     destination too, scaling the source along.
// The drawing calls clip the final spans to the destination in any case, so a
// rectangle that runs past an edge here never writes outside a surface.

#include "graphics/Surface.h"

// Which back end's rules apply.
enum class eClipRoad { Direct3D, DirectDraw };

// A destination rectangle and its source rectangle, as the blits pass them.
struct sBltRect {
  int x = 0, y = 0, w = 0, h = 0;      // destination
  int sx = 0, sy = 0, sw = 0, sh = 0;  // source; a negative size mirrors that axis
};

// The clipping rules on plain numbers: the destination surface is dstW x dstH,
// the source surface srcW x srcH (the requested sizes). Returns true when
// something is left to draw; `rect` holds the clipped rectangles either way.
bool ClipBltRect(eClipRoad road, int dstW, int dstH, int srcW, int srcH, sBltRect& rect);

// The same on surfaces, with the rules of the running back end.
bool DDClipBlt(const DDSURFACEDATA* lpDst, int& x, int& y, int& nWidth, int& nHeight, const DDSURFACEDATA* lpSrc,
               int& sx, int& sy, int& sw, int& sh);

// A rectangle given in a mirrored sheet's coordinates turned into the mirrored
// rectangle of the sheet it copies, for cells of cellW x cellH (0: that axis is
// not mirrored). A rectangle of exactly one cell reads the same cell from its
// right (bottom) edge backwards; a narrower one reads the mirrored columns of
// its cell; a wider one is left unchanged.
void MirrorRectInCells(int cellW, int cellH, int& x, int& y, int& nWidth, int& nHeight);

// Direct3D only, and only for a copy row (primary link set): MirrorRectInCells
// with the surface's mirror cells. Anything else is left unchanged.
void DDMirrorRect(const DDSURFACEDATA* lpSD, int& x, int& y, int& nWidth, int& nHeight);
