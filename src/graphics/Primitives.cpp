#include "graphics/Primitives.h"

#include "graphics/DrawContext.h"
#include "graphics/Palette.h"
#include "graphics/SurfaceFill.h"
#include "platform/SoftwareDevice.h"

namespace {

bool InsideRequestedSize(const DDSURFACEDATA* lpSD, int x, int y) {
  return x >= 0 && y >= 0 && x < lpSD->nWidth && y < lpSD->nHeight;
}

// A 1 x 1 fill at a point already known to lie on the surface: a fill quad
// under Direct3D, a colour-fill blit of the raw colour under DirectDraw.
void PlotPoint(DDSURFACEDATA* lpDst, int x, int y, std::uint32_t dwPalNum) {
  if (lpDTCon != nullptr) {
    DDFillRectPal(lpDst, x, y, 1, 1, dwPalNum);
    return;
  }
  if (lpDst->lpDD == nullptr || lpDst->lpDD->lpSurface == nullptr || lpDst->lpDD->bSurfaceLost) return;
  plat::FillRect(*lpDst->lpDD->lpSurface, x, y, 1, 1, PalNumToRGB(dwPalNum));
}

}  // namespace

void DDPSet(DDSURFACEDATA* lpDst, int x, int y, std::uint32_t dwPalNum) {
  if (lpDst == nullptr || !InsideRequestedSize(lpDst, x, y)) return;
  PlotPoint(lpDst, x, y, dwPalNum);
}

void DDCircle(DDSURFACEDATA* lpDst, int cx, int cy, int radius, std::uint32_t dwPalNum) {
  if (lpDst == nullptr || radius < 1) return;
  // A point off the surface is skipped: the Direct3D fill would move it onto
  // the edge column or row and smear the outline along the edge.
  const auto plot = [&](int px, int py) { DDPSet(lpDst, px, py, dwPalNum); };
  int x = 0;
  int y = radius;
  int d = 3 - 2 * radius;
  while (x <= y) {
    plot(cx + x, cy + y);
    plot(cx - x, cy + y);
    plot(cx + x, cy - y);
    plot(cx - x, cy - y);
    plot(cx + y, cy + x);
    plot(cx - y, cy + x);
    plot(cx + y, cy - x);
    plot(cx - y, cy - x);
    if (d < 0) {
      d += 4 * x + 6;
    } else {
      d += 4 * (x - y) + 10;
      --y;
    }
    ++x;
  }
}
