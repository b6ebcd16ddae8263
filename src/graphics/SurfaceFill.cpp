#include "graphics/SurfaceFill.h"

#include <algorithm>

#include "graphics/DrawContext.h"
#include "graphics/FillBatch.h"
#include "graphics/Palette.h"
#include "graphics/Scene.h"
#include "platform/SoftwareDevice.h"

namespace {

// DirectDraw clipping of a fill: a rectangle starting left of the surface
// starts at 0 and keeps its right edge, one running past the right edge ends
// there; rows alike. The device clips whatever remains to the surface.
bool ClipDirectDrawFill(const DDSURFACEDATA& sd, int& x, int& y, int& width, int& height) {
  if (x < 0) {
    width += x;
    x = 0;
  } else if (x + width > sd.nWidth) {
    width = sd.nWidth - x;
  }
  if (y < 0) {
    height += y;
    y = 0;
  } else if (y + height > sd.nHeight) {
    height = sd.nHeight - y;
  }
  return width > 0 && height > 0;
}

// Direct3D render targets: a start left of the surface moves to 0 with the
// width as given, a start past the right edge moves to it, and the width is
// cut at the right edge; rows alike.
void ClampRenderTargetFill(const DDSURFACEDATA& sd, int& x, int& y, int& width, int& height) {
  if (x < 0) x = 0;
  else if (x > sd.nWidth) x = sd.nWidth;
  if (x + width > sd.nWidth) width = sd.nWidth - x;
  if (y < 0) y = 0;
  else if (y > sd.nHeight) y = sd.nHeight;
  if (y + height > sd.nHeight) height = sd.nHeight - y;
}

void FillDirectDraw(DDSURFACEDATA* lpSD, int x, int y, int width, int height, std::uint32_t value) {
  if (!lpSD->lpDD || !lpSD->lpDD->lpSurface || lpSD->lpDD->bSurfaceLost) return;
  if (!ClipDirectDrawFill(*lpSD, x, y, width, height)) return;
  plat::FillRect(*lpSD->lpDD->lpSurface, x, y, width, height, value);
}

void FillRenderTarget(DDSURFACEDATA* lpSD, int x, int y, int width, int height, std::uint32_t argb) {
  ClampRenderTargetFill(*lpSD, x, y, width, height);
  if (width <= 0 || height <= 0) return;
  plat::cPixelSurface* pixels = lpSD->PixelsOwingFill();
  if (!pixels) return;

  // A keyed target filled with the transparent value is cleared to it: a quad
  // of alpha 0 would leave the target unchanged.
  const std::uint32_t transparent = lpSD == &BackBuffer ? lpDTCon->dwOpaqueTransmit : lpDTCon->dwTransparent;
  const bool clear = lpSD->lpDT->bColorKey && argb == transparent;

  // While the fill batch is active the fill waits there.
  if (!clear && DDQueueFill(lpSD, x, y, width, height, argb)) return;

  if (!DDBeginScene() || !DDSetRenderTarget(lpSD)) return;
  // The whole target takes the value as it is (a clear, or an opaque colour
  // that the quad stores): the target owes it until its pixels are next used.
  const bool whole = x == 0 && y == 0 && width >= pixels->Width() && height >= pixels->Height();
  if (!(whole && (clear || argb >> 24 == 255) && DDOweFill(lpSD, argb))) {
    lpSD->Pixels();  // a fill owed before this one goes first
    if (clear) {
      plat::FillRect(*pixels, x, y, width, height, argb);
    } else {
      DTDrawFillQuad(*pixels, x, y, width, height, argb);
    }
  }
  if (lpDTCon->lpRestingTarget) DDSetRenderTarget(lpDTCon->lpRestingTarget);
}

// Surfaces that are not render targets are written through the lock: every
// pixel of the rectangle inside the requested size takes the value.
void FillLocked(DDSURFACEDATA* lpSD, int x, int y, int width, int height, std::uint32_t argb) {
  SurfaceLock lock(lpSD);
  if (!lock.IsLocked()) return;
  int left = x < 0 ? 0 : x;
  int top = y < 0 ? 0 : y;
  const int right = std::min(x + width, lock.m_lpSD->nWidth);
  const int bottom = std::min(y + height, lock.m_lpSD->nHeight);
  if (right <= left || bottom <= top) return;
  for (int row = top; row < bottom && row < lock.m_Lock.height; ++row) {
    std::uint32_t* line = lock.m_Lock.Row32(row);
    for (int col = left; col < right && col < lock.m_Lock.width; ++col) line[col] = argb;
  }
}

}  // namespace

void DDFillRectPal(DDSURFACEDATA* lpSD, int x, int y, int nWidth, int nHeight, std::uint32_t dwPalNum) {
  if (!lpSD) return;
  if (lpDTCon) {
    DDFillRectRGB(lpSD, x, y, nWidth, nHeight, PalNumToRGB(dwPalNum));
    return;
  }
  FillDirectDraw(lpSD, x, y, nWidth, nHeight, PalNumToRGB(dwPalNum));
}

void DDFillSurfacePal(DDSURFACEDATA* lpSD, std::uint32_t dwPalNum) {
  if (!lpSD) return;
  DDFillRectPal(lpSD, 0, 0, lpSD->nWidth, lpSD->nHeight, dwPalNum);
}

void DDFillRectRGB(DDSURFACEDATA* lpSD, int x, int y, int nWidth, int nHeight, std::uint32_t dwColor) {
  if (!lpSD) return;
  if (!lpDTCon) {
    FillDirectDraw(lpSD, x, y, nWidth, nHeight, dwColor);
    return;
  }
  DDPrimarySurface(lpSD);
  DDMapBackBuffer(lpSD);
  if (!lpSD->lpDT) return;
  if (lpSD->lpDT->bRenderTarget) {
    FillRenderTarget(lpSD, x, y, nWidth, nHeight, dwColor);
  } else {
    FillLocked(lpSD, x, y, nWidth, nHeight, dwColor);
  }
}

void DDFillSurfaceRGB(DDSURFACEDATA* lpSD, std::uint32_t dwColor) {
  if (!lpSD) return;
  DDFillRectRGB(lpSD, 0, 0, lpSD->nWidth, lpSD->nHeight, dwColor);
}
