#include "graphics/GeometricEffects.h"

#include <algorithm>
#include <cmath>

#include "core/Numeric.h"
#include "graphics/Blit.h"
#include "graphics/BlitClip.h"
#include "graphics/DrawContext.h"
#include "graphics/PixelAccess.h"
#include "graphics/SpriteBatch.h"
#include "graphics/TexturedQuad.h"

namespace {

using i64 = std::int64_t;

// floor(sqrt(value)) exactly, for 0 <= value < 2^63.
i64 FloorSqrt(i64 value) {
  if (value <= 0) return 0;
  auto root = static_cast<i64>(std::sqrt(static_cast<double>(value)));
  while (root > 0 && root > value / root) --root;  // root * root > value
  while (root + 1 <= value / (root + 1)) ++root;   // (root + 1)^2 <= value
  return root;
}

// ---------------------------------------------------------------------------
// Circle window

struct sCircleWindow {
  DDSURFACEDATA* lpDst = nullptr;
  DDSURFACEDATA* lpSrc = nullptr;
  i64 cx = 0, cy = 0, srcCX = 0, srcCY = 0;
  i64 radius = 0;
  i64 left = 0, right = 0;  // source columns that may be copied: [left, right)
  std::uint32_t dwFlags = 0;

  // The chord half-width of row offset i: floor(sqrt(r² - i²)), at most r - 1.
  i64 Chord(i64 i) const {
    const i64 q = radius * radius - i * i;
    if (q < 0) return 0;
    return std::min(FloorSqrt(q), radius - 1);
  }

  // One strip `height` rows high at row offset `row` with chord half-width c.
  void Strip(i64 row, int height, i64 c) const {
    i64 sx0 = srcCX - c;
    i64 width = 2 * c;
    i64 dx = cx - c;
    if (sx0 < left) {
      width -= left - sx0;
      dx += left - sx0;
      sx0 = left;
    }
    if (sx0 + width >= right) width = right - sx0;
    if (width <= 0) return;
    const int w = ClampToI32(width);
    if (lpDTCon) {
      DDBltEx(lpDst, ClampToI32(dx), ClampToI32(cy + row), w, height, lpSrc, ClampToI32(sx0), ClampToI32(srcCY + row),
              w, height, dwFlags);
    } else {
      DDBlt(lpDst, ClampToI32(dx), ClampToI32(cy + row), w, height, lpSrc, ClampToI32(sx0), ClampToI32(srcCY + row),
            dwFlags);
    }
  }
};

// Strips of one row: offsets radius - 1 down to -radius, those at or past
// halfHeight skipped, ending below -halfHeight; rows off the destination
// would draw nothing and are not visited.
void SingleRowStrips(const sCircleWindow& w, i64 halfHeight, i64 dstHeight) {
  const i64 first = std::min({w.radius - 1, halfHeight - 1, dstHeight - 1 - w.cy});
  const i64 last = std::max({-w.radius, -halfHeight, -w.cy});
  for (i64 i = first; i >= last; --i) w.Strip(i, 1, w.Chord(i));
}

// Bands of `band` rows: offsets radius - band, radius - 2 band, ... down to
// -radius. Bands at or past halfHeight are skipped, the loop ends at a band
// wholly above -halfHeight, and the bands that straddle the two limits are
// moved inside them (the next band counts on from the moved one). A band
// takes the chord of its middle row.
void BandStrips(const sCircleWindow& w, i64 band, i64 halfHeight, i64 dstHeight) {
  i64 h = w.radius - band;
  if (h >= halfHeight) h -= ((h - halfHeight) / band + 1) * band;  // the skipped bands at once
  for (; h >= -w.radius; h -= band) {
    if (h + band <= -halfHeight) break;
    if (h + band > halfHeight) {
      h = halfHeight - band;
    } else if (h < -halfHeight) {
      h = -halfHeight;
    }
    if (w.cy + h + band <= 0) break;  // this band and all after it lie above the destination
    if (w.cy + h >= dstHeight) {
      // Below the destination: go on with the first band that reaches it
      // (bands moved to -halfHeight on the way would lie lower still).
      h -= ((w.cy + h - dstHeight) / band) * band;
      continue;
    }
    w.Strip(h, static_cast<int>(band), w.Chord(h + band / 2));
  }
}

// ---------------------------------------------------------------------------
// Lens

// trunc(numerator / s + 0.5), false when it lies beyond any surface.
bool LensOffset(i64 numerator, double s, i64& offset) {
  const double value = std::trunc(static_cast<double>(numerator) / s + 0.5);
  if (!(std::fabs(value) < 4.0e18)) return false;
  offset = static_cast<i64>(value);
  return true;
}

template <typename P>
P* PixelAt(const plat::sPixelLock& lock, i64 x, i64 y) {
  if constexpr (sizeof(P) == 4) {
    return lock.Row32(static_cast<int>(y)) + x;
  } else {
    return lock.Row8(static_cast<int>(y)) + x;
  }
}

template <typename P>
void LensPixels(const cEffectLock& lock, i64 cx, i64 cy, i64 radius, i64 depth, i64 lensRadius, i64 srcCX,
                i64 srcCY, bool clear) {
  const ePixelRoad road = lock.Road();
  const bool clears = clear && road == ePixelRoad::Direct3D32;
  const std::uint32_t key = g_DrawLayer.dwColorKey;
  const i64 radius2 = radius * radius;
  const i64 lens2 = lensRadius * lensRadius;
  const i64 v0 = std::max(-radius, -cy), v1 = std::min(radius, lock.DstHeight() - 1 - cy);
  const i64 u0 = std::max(-radius, -cx), u1 = std::min(radius, lock.DstWidth() - 1 - cx);
  for (i64 v = v0; v <= v1; ++v) {
    P* row = PixelAt<P>(lock.Dst(), 0, cy + v);
    for (i64 u = u0; u <= u1; ++u) {
      P& out = row[cx + u];
      const i64 distance2 = u * u + v * v;
      if (distance2 > radius2) {
        if (clears) out = 0;
        continue;
      }
      const double s = std::sqrt(static_cast<double>(lens2 - distance2));
      i64 su = u, sv = v;
      if (s != 0 && (!LensOffset(u * depth, s, su) || !LensOffset(v * depth, s, sv))) {
        if (clears) out = 0;
        continue;
      }
      const i64 px = srcCX + su, py = srcCY + sv;
      if (px < 0 || py < 0 || px >= lock.SrcWidth() || py >= lock.SrcHeight()) {
        if (clears) out = 0;
        continue;
      }
      const P pixel = *PixelAt<const P>(lock.Src(), px, py);
      if (road == ePixelRoad::Direct3D32) {
        if (IsTransparentPixel(road, pixel, 0)) {
          if (clears) out = 0;
          continue;
        }
      } else if (IsTransparentPixel(road, pixel, key)) {
        continue;
      }
      out = pixel;
    }
  }
}

// ---------------------------------------------------------------------------
// Rotation

// The pixel road: the box of the turned rectangle, each of its pixels on the
// destination taking the source pixel the inverse turn finds.
template <typename P>
void RotatePixels(const cEffectLock& lock, i64 cx, i64 cy, i64 width, i64 height, i64 px, i64 py, i64 s, i64 c,
                  i64 sx, i64 sy, bool keyed, std::uint32_t key) {
  i64 minX = INT64_MAX, maxX = INT64_MIN, minY = INT64_MAX, maxY = INT64_MIN;
  for (const i64 cornerX : {i64{0}, width - 1}) {
    for (const i64 cornerY : {i64{0}, height - 1}) {
      const i64 dx = cornerX - px, dy = cornerY - py;
      const i64 X = px + ((dx * c - dy * s) >> 10);
      const i64 Y = py + ((dx * s + dy * c) >> 10);
      minX = std::min(minX, X);
      maxX = std::max(maxX, X);
      minY = std::min(minY, Y);
      maxY = std::max(maxY, Y);
    }
  }
  // The box, cut to the part that lands on the destination.
  const i64 x0 = std::max(minX - 2, px - cx), x1 = std::min(maxX + 2, px - cx + lock.DstWidth());
  const i64 y0 = std::max(minY - 2, py - cy), y1 = std::min(maxY + 2, py - cy + lock.DstHeight());
  // Cells the source can give: the rectangle, within the source surface.
  const i64 uLimit = std::min(width, lock.SrcWidth() - sx), vLimit = std::min(height, lock.SrcHeight() - sy);
  const i64 uStart = std::max(i64{0}, -sx), vStart = std::max(i64{0}, -sy);
  for (i64 Y = y0; Y < y1; ++Y) {
    P* row = PixelAt<P>(lock.Dst(), 0, cy + Y - py);  // box column X at row[cx - px + X]
    // u and v of the box column X, stepped along the row.
    i64 uSum = c * (x0 - px) + s * (Y - py);
    i64 vSum = c * (Y - py) - s * (x0 - px);
    for (i64 X = x0; X < x1; ++X, uSum += c, vSum -= s) {
      const i64 u = px + (uSum >> 10);
      const i64 v = py + (vSum >> 10);
      if (u < uStart || u >= uLimit || v < vStart || v >= vLimit) continue;
      const P pixel = *PixelAt<const P>(lock.Src(), sx + u, sy + v);
      if (keyed && pixel == key) continue;
      row[cx - px + X] = pixel;
    }
  }
}

}  // namespace

bool DDCircleWindow(DDSURFACEDATA* lpDst, int cx, int cy, int halfWidth, int halfHeight, int radius, int band,
                    DDSURFACEDATA* lpSrc, int srcCX, int srcCY, std::uint32_t dwFlags) {
  if (radius <= 0 || band <= 0) return true;
  if (lpDTCon) {
    DDPrimarySurface(lpDst);
    DDPrimarySurface(lpSrc);
  }
  if (lpDst == nullptr || lpSrc == nullptr) return true;
  const sCircleWindow w{lpDst,  lpSrc, cx, cy, srcCX, srcCY, radius, std::max(i64{0}, i64{srcCX} - halfWidth),
                        std::min(i64{srcCX} + halfWidth, i64{lpSrc->nWidth}), dwFlags};

  DDBeginSpriteBatch(0);
  if (band == 1) {
    SingleRowStrips(w, halfHeight, lpDst->nHeight);
  } else {
    BandStrips(w, band, halfHeight, lpDst->nHeight);
  }
  DDFlushSpriteBatch();
  return true;
}

bool DDLens(DDSURFACEDATA* lpDst, int cx, int cy, int radius, int depth, DDSURFACEDATA* lpSrc, int srcCX, int srcCY,
            std::uint32_t /*dwFlags*/, int clear) {
  if (radius < 0 || depth < 0) return false;
  const i64 r = radius, d = depth;
  const i64 lensRadius = FloorSqrt(r * r + d * d);
  if (lensRadius <= d) return false;
  const cEffectLock lock(lpDst, lpSrc);
  if (!lock.IsLocked()) return false;
  if (lock.Road() == ePixelRoad::DirectDraw8) {
    LensPixels<std::uint8_t>(lock, cx, cy, r, d, lensRadius, srcCX, srcCY, clear == 1);
  } else if (lock.Road() == ePixelRoad::Direct3D32 || lock.Road() == ePixelRoad::DirectDraw32) {
    LensPixels<std::uint32_t>(lock, cx, cy, r, d, lensRadius, srcCX, srcCY, clear == 1);
  }
  return true;
}

bool DDRotate(DDSURFACEDATA* lpDst, int cx, int cy, int nWidth, int nHeight, int pivotX, int pivotY, int angle,
              DDSURFACEDATA* lpSrc, int sx, int sy, std::uint32_t dwFlags) {
  const double theta = angle * 0.017453292519943278;
  const float sinT = static_cast<float>(std::sin(theta));
  const float cosT = static_cast<float>(std::cos(theta));
  if (lpDTCon) {
    if (lpDst == nullptr || lpSrc == nullptr) return true;
    int msx = sx, msy = sy, mw = nWidth, mh = nHeight;
    DDMirrorRect(lpSrc, msx, msy, mw, mh);
    DDSURFACEDATA* dst = lpDst;
    DDSURFACEDATA* src = lpSrc;
    DDPrimarySurface(dst);
    DDPrimarySurface(src);
    DDMapBackBuffer(dst);
    DDMapBackBuffer(src);
    if (TakesQuadRoad(dst, src)) {
      // Corners in strip order, relative to the pivot, turned, then placed
      // about the centre as the layer's vertices are (half a pixel up-left).
      const float left = static_cast<float>(-pivotX), right = static_cast<float>(nWidth - pivotX);
      const float top = static_cast<float>(-pivotY), bottom = static_cast<float>(nHeight - pivotY);
      const float dx[4] = {left, left, right, right};
      const float dy[4] = {top, bottom, top, bottom};
      float cornerX[4], cornerY[4];
      for (int i = 0; i < 4; ++i) {
        cornerX[i] = static_cast<float>(cx) + (dx[i] * cosT - dy[i] * sinT) - 0.5f;
        cornerY[i] = static_cast<float>(cy) + (dx[i] * sinT + dy[i] * cosT) - 0.5f;
      }
      DTDrawQuadOnCornersNow(DTMakeQuad(dst, 0, 0, 0, 0, src, msx, msy, mw, mh, dwFlags), cornerX, cornerY);
      return true;
    }
  }
  const cEffectLock lock(lpDst, lpSrc);
  if (!lock.IsLocked()) return false;
  const i64 s = static_cast<i64>(sinT * 1024.0f);
  const i64 c = static_cast<i64>(cosT * 1024.0f);
  const bool keyed = (dwFlags & 1) != 0;
  if (lock.Road() == ePixelRoad::DirectDraw8) {
    RotatePixels<std::uint8_t>(lock, cx, cy, nWidth, nHeight, pivotX, pivotY, s, c, sx, sy, keyed,
                               g_DrawLayer.dwColorKey);
  } else if (lock.Road() == ePixelRoad::Direct3D32 || lock.Road() == ePixelRoad::DirectDraw32) {
    RotatePixels<std::uint32_t>(lock, cx, cy, nWidth, nHeight, pivotX, pivotY, s, c, sx, sy, keyed,
                                lpDTCon ? 0u : g_DrawLayer.dwColorKey);
  }
  return true;
}
