#include "graphics/Blit.h"

#include <algorithm>

#include "graphics/BlitClip.h"
#include "graphics/DrawContext.h"
#include "graphics/SpriteBatch.h"
#include "graphics/TexturedQuad.h"
#include "platform/SoftwareDevice.h"

namespace {

// A DirectDraw surface that can be blitted from or into now: created and not
// lost (a lost surface refuses every blit until it is restored).
plat::cPixelSurface* DirectDrawPixels(const DDSURFACEDATA* lpSD) {
  if (lpSD == nullptr || lpSD->lpDD == nullptr || lpSD->lpDD->bSurfaceLost) return nullptr;
  return lpSD->lpDD->lpSurface.get();
}

// The copy itself. A surface copied onto itself reads a copy of its pixels,
// so overlapping rectangles come out as a real blit would show them.
bool CopyPixels(plat::cPixelSurface& dst, const plat::cPixelSurface& src, const plat::sCopyRect& rect) {
  if (&dst == &src) {
    const plat::cPixelSurface copy = src.Clone();
    return plat::CopyRect(dst, copy, rect);
  }
  return plat::CopyRect(dst, src, rect);
}

// The copy of the destination rectangle (x, y, w, h) from the source
// rectangle (sx, sy, sw, sh), with the stretch rule of the road.
plat::sCopyRect CopyRectOf(int x, int y, int w, int h, int sx, int sy, int sw, int sh, plat::eStretchRule rule) {
  plat::sCopyRect rect;
  rect.x = x;
  rect.y = y;
  rect.width = w;
  rect.height = h;
  rect.sx = sx;
  rect.sy = sy;
  rect.sw = sw;
  rect.sh = sh;
  rect.rule = rule;
  return rect;
}

// DirectDraw's source colour key: flags 1 skips the pixels that hold the key
// the source surface was given. A surface without a key copies opaque.
void SetDirectDrawKey(const DDSURFACEDATA* lpSrc, std::uint32_t dwFlags, plat::sCopyRect& rect) {
  if ((dwFlags & 1) != 0 && lpSrc->lpDD->bHasColorKey) {
    rect.key = plat::eKeyTest::ExactValue;
    rect.keyValue = lpSrc->lpDD->dwColorKey;
  }
}

// DirectDraw same-size blit (BltFast). After clipping, a rectangle whose left
// (top) edge was clipped may still run past the right (bottom) edge; it is
// cut there, so the part on the surface is drawn instead of the whole blit
// being refused.
int BltFastDirectDraw(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrc, int sx, int sy,
                      std::uint32_t dwFlags) {
  plat::cPixelSurface* dst = DirectDrawPixels(lpDst);
  const plat::cPixelSurface* src = DirectDrawPixels(lpSrc);
  if (dst == nullptr || src == nullptr) return 0;
  int sw = w, sh = h;
  if (!DDClipBlt(lpDst, x, y, w, h, lpSrc, sx, sy, sw, sh)) return 0;
  w = std::min(w, lpDst->nWidth - x);
  h = std::min(h, lpDst->nHeight - y);
  if (w <= 0 || h <= 0) return 0;
  plat::sCopyRect rect = CopyRectOf(x, y, w, h, sx, sy, w, h, plat::eStretchRule::PixelCentre);
  SetDirectDrawKey(lpSrc, dwFlags, rect);
  return CopyPixels(*dst, *src, rect) ? 1 : 0;
}

// DirectDraw stretch blit (Blt): the rectangles clipped with the source
// scaled along; a mirrored source rectangle reads backwards.
bool BltDirectDraw(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrc, int sx, int sy, int sw,
                   int sh, std::uint32_t dwFlags) {
  plat::cPixelSurface* dst = DirectDrawPixels(lpDst);
  const plat::cPixelSurface* src = DirectDrawPixels(lpSrc);
  if (dst == nullptr || src == nullptr) return false;
  if (!DDClipBlt(lpDst, x, y, w, h, lpSrc, sx, sy, sw, sh)) return false;
  plat::sCopyRect rect = CopyRectOf(x, y, w, h, sx, sy, sw, sh, plat::eStretchRule::PixelCentre);
  SetDirectDrawKey(lpSrc, dwFlags, rect);
  return CopyPixels(*dst, *src, rect);
}

// Direct3D software copy: into a surface that is not a render target, or from
// a system-memory texture. No clipping beforehand: each pixel is copied only
// when both it and its source pixel lie on their surfaces. Flags 1 skips
// texels of alpha 0.
bool SoftwareCopy(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrc, int sx, int sy, int sw,
                  int sh, std::uint32_t dwFlags) {
  SurfaceLock dstLock(lpDst);
  SurfaceLock srcLock(lpSrc);
  if (!dstLock.IsLocked() || !srcLock.IsLocked()) return false;
  plat::cPixelSurface* dst = dstLock.m_lpSD->Pixels();
  const plat::cPixelSurface* src = srcLock.m_lpSD->Pixels();
  if (dst == nullptr || src == nullptr) return false;
  if (dst->Depth() != plat::ePixelDepth::Argb32 || src->Depth() != plat::ePixelDepth::Argb32) return false;
  plat::sCopyRect rect = CopyRectOf(x, y, w, h, sx, sy, sw, sh, plat::eStretchRule::FloatStep);
  if ((dwFlags & 1) != 0) rect.key = plat::eKeyTest::AlphaZero;
  // Leaving, the guards unlock the source first, then the destination.
  return CopyPixels(*dst, *src, rect);
}

bool BltExDirect3D(DDSURFACEDATA* lpDst, int x, int y, int w, int h, DDSURFACEDATA* lpSrc, int sx, int sy, int sw,
                   int sh, std::uint32_t dwFlags) {
  if (lpDst == nullptr || lpSrc == nullptr) return false;
  DDPrimarySurface(lpDst);
  DDPrimarySurface(lpSrc);
  // While the virtual back buffer is flushed, BackBuffer is itself again.
  if (!lpDTCon->bFlushing) {
    DDMapBackBuffer(lpDst);
    DDMapBackBuffer(lpSrc);
  }
  if (lpDst->lpDT == nullptr || lpSrc->lpDT == nullptr) return false;

  const bool quad = lpDst->lpDT->bRenderTarget && lpSrc->lpDT->dtMemoryType != DTMEMORYTYPE_SYSTEM;
  if (!quad) return SoftwareCopy(lpDst, x, y, w, h, lpSrc, sx, sy, sw, sh, dwFlags);

  if (!DDClipBlt(lpDst, x, y, w, h, lpSrc, sx, sy, sw, sh)) return false;
  const DTQUAD q = DTMakeQuad(lpDst, x, y, w, h, lpSrc, sx, sy, sw, sh, dwFlags);
  if (DTQueueSprite(q)) return true;
  return DTDrawQuadNow(q);
}

}  // namespace

bool DDBltEx(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, DDSURFACEDATA* lpSrc, int sx, int sy, int sw,
             int sh, std::uint32_t dwFlags) {
  DDMirrorRect(lpSrc, sx, sy, sw, sh);
  if (lpDTCon != nullptr) return BltExDirect3D(lpDst, x, y, nWidth, nHeight, lpSrc, sx, sy, sw, sh, dwFlags);
  return BltDirectDraw(lpDst, x, y, nWidth, nHeight, lpSrc, sx, sy, sw, sh, dwFlags);
}

int DDBlt(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, DDSURFACEDATA* lpSrc, int sx, int sy,
          std::uint32_t dwFlags) {
  if (nWidth <= 0 || nHeight <= 0) return 0;
  if (lpDTCon != nullptr) return DDBltEx(lpDst, x, y, nWidth, nHeight, lpSrc, sx, sy, nWidth, nHeight, dwFlags) ? 1 : 0;
  return BltFastDirectDraw(lpDst, x, y, nWidth, nHeight, lpSrc, sx, sy, dwFlags);
}

bool DDBltExBlend(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, DDSURFACEDATA* lpSrc, int sx, int sy,
                  int sw, int sh, std::uint32_t dwFlags, const DDBLENDPARAM* lpBlend) {
  if (lpDTCon == nullptr || lpBlend == nullptr) {
    return DDBltEx(lpDst, x, y, nWidth, nHeight, lpSrc, sx, sy, sw, sh, dwFlags);
  }
  DDSetBlendColor(lpBlend->dwColor);
  DDSetColorOp(lpBlend->dwColorOp);
  const bool drawn = DDBltEx(lpDst, x, y, nWidth, nHeight, lpSrc, sx, sy, sw, sh, dwFlags);
  DDResetBlendColor();
  DDResetColorOp();
  return drawn;
}

int DDBltBlend(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, DDSURFACEDATA* lpSrc, int sx, int sy,
               std::uint32_t dwFlags, const DDBLENDPARAM* lpBlend) {
  if (lpDTCon == nullptr) return DDBlt(lpDst, x, y, nWidth, nHeight, lpSrc, sx, sy, dwFlags);
  if (nWidth <= 0 || nHeight <= 0) return 0;
  return DDBltExBlend(lpDst, x, y, nWidth, nHeight, lpSrc, sx, sy, nWidth, nHeight, dwFlags, lpBlend) ? 1 : 0;
}
