#include "graphics/BlitClip.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "core/Numeric.h"
#include "graphics/DrawContext.h"

namespace {

using i64 = std::int64_t;

// Same-size blit: the source is cut to its sheet without moving the
// destination corner; the destination's left (top) edge moves the source
// along, and only an unclipped left (top) edge lets the right (bottom) edge
// be tested.
bool ClipSameSize(int dstW, int dstH, int srcW, int srcH, sBltRect& r) {
  i64 right = i64{r.sx} + r.sw;
  i64 bottom = i64{r.sy} + r.sh;
  i64 sx = std::max<i64>(r.sx, 0);
  i64 sy = std::max<i64>(r.sy, 0);
  right = std::min<i64>(right, srcW);
  bottom = std::min<i64>(bottom, srcH);
  i64 x = r.x;
  i64 y = r.y;
  if (x < 0) {
    sx -= x;
    x = 0;
  } else if (x + (right - sx) > dstW) {
    right = dstW - x + sx;
  }
  if (y < 0) {
    sy -= y;
    y = 0;
  } else if (y + (bottom - sy) > dstH) {
    bottom = dstH - y + sy;
  }
  r.x = ClampToI32(x);
  r.y = ClampToI32(y);
  r.sx = ClampToI32(sx);
  r.sy = ClampToI32(sy);
  r.sw = ClampToI32(right - sx);
  r.sh = ClampToI32(bottom - sy);
  r.w = r.sw;
  r.h = r.sh;
  return r.sw > 0 && r.sh > 0;
}

// DirectDraw: one axis of the destination clipped, the source scaled along.
// False (the size becoming 0) when nothing of the axis is left.
bool ClipDestinationAxis(int limit, int& pos, int& size, int& spos, int& ssize) {
  if (pos < 0) {
    if (i64{pos} + size < 0 || size == 0) {
      size = 0;
      return false;
    }
    const int oldStart = spos;
    spos = TruncToI32(static_cast<double>(-i64{pos}) / size * ssize + spos);
    ssize = ClampToI32(i64{ssize} + (i64{oldStart} - spos));
    size = ClampToI32(i64{size} + pos);
    pos = 0;
  }
  if (i64{pos} + size > limit) {
    if (pos >= limit || size == 0) {
      size = 0;
      return false;
    }
    ssize = TruncToI32(static_cast<double>(i64{limit} - pos) / size * ssize);
    size = limit - pos;
  }
  return true;
}

// Stretched or mirrored blit.
bool ClipStretched(eClipRoad road, int dstW, int dstH, int srcW, int srcH, sBltRect& r) {
  const bool mirrorX = r.sw < 0;
  const bool mirrorY = r.sh < 0;
  const bool d3d = road == eClipRoad::Direct3D;
  i64 left = r.sx, right = i64{r.sx} + r.sw;
  i64 top = r.sy, bottom = i64{r.sy} + r.sh;
  if (d3d && mirrorX) std::swap(left, right);
  if (d3d && mirrorY) std::swap(top, bottom);
  left = std::max<i64>(left, 0);
  top = std::max<i64>(top, 0);
  right = std::min<i64>(right, srcW);
  bottom = std::min<i64>(bottom, srcH);
  const double kx = static_cast<double>(right - left) / r.sw;
  const double ky = static_cast<double>(bottom - top) / r.sh;
  if (d3d && mirrorX) std::swap(left, right);
  if (d3d && mirrorY) std::swap(top, bottom);
  r.sx = ClampToI32(left);
  r.sy = ClampToI32(top);
  r.sw = ClampToI32(right - left);
  r.sh = ClampToI32(bottom - top);
  if (d3d) {
    // The device clips the destination; only its size follows the source.
    r.w = TruncToI32(r.w * kx);
    r.h = TruncToI32(r.h * ky);
    if (mirrorX) r.w = -r.w;
    if (mirrorY) r.h = -r.h;
  } else {
    r.w = TruncToI32(r.w * kx);
    r.h = TruncToI32(r.h * ky);
    if (!ClipDestinationAxis(dstW, r.x, r.w, r.sx, r.sw)) return false;
    if (!ClipDestinationAxis(dstH, r.y, r.h, r.sy, r.sh)) return false;
  }
  const bool widthOk = mirrorX ? r.sw < 0 : r.sw > 0;
  const bool heightOk = mirrorY ? r.sh < 0 : r.sh > 0;
  return widthOk && heightOk && r.w > 0 && r.h > 0;
}

}  // namespace

bool ClipBltRect(eClipRoad road, int dstW, int dstH, int srcW, int srcH, sBltRect& rect) {
  if (rect.w <= 0 || rect.h <= 0 || rect.sw == 0 || rect.sh == 0) return false;
  if (rect.sw == rect.w && rect.sh == rect.h) return ClipSameSize(dstW, dstH, srcW, srcH, rect);
  return ClipStretched(road, dstW, dstH, srcW, srcH, rect);
}

bool DDClipBlt(const DDSURFACEDATA* lpDst, int& x, int& y, int& nWidth, int& nHeight, const DDSURFACEDATA* lpSrc,
               int& sx, int& sy, int& sw, int& sh) {
  if (lpDst == nullptr || lpSrc == nullptr) return false;
  sBltRect r{x, y, nWidth, nHeight, sx, sy, sw, sh};
  const eClipRoad road = lpDTCon != nullptr ? eClipRoad::Direct3D : eClipRoad::DirectDraw;
  const bool left = ClipBltRect(road, lpDst->nWidth, lpDst->nHeight, lpSrc->nWidth, lpSrc->nHeight, r);
  x = r.x;
  y = r.y;
  nWidth = r.w;
  nHeight = r.h;
  sx = r.sx;
  sy = r.sy;
  sw = r.sw;
  sh = r.sh;
  return left;
}

namespace {

void MirrorAxis(int cell, int& pos, int& size) {
  if (cell == 0) return;
  if (size == cell) {
    pos = ClampToI32(i64{pos} + size);
    size = -size;
  } else if (size < cell) {
    pos = ClampToI32(i64{pos} + cell - 2 * i64{pos % cell});
    size = -size;
  }
}

}  // namespace

void MirrorRectInCells(int cellW, int cellH, int& x, int& y, int& nWidth, int& nHeight) {
  MirrorAxis(cellW, x, nWidth);
  MirrorAxis(cellH, y, nHeight);
}

void DDMirrorRect(const DDSURFACEDATA* lpSD, int& x, int& y, int& nWidth, int& nHeight) {
  if (lpDTCon == nullptr || lpSD == nullptr || lpSD->lpPrimary == nullptr) return;
  MirrorRectInCells(lpSD->nMirrorW, lpSD->nMirrorH, x, y, nWidth, nHeight);
}
