#include "graphics/Distortion.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/Numeric.h"
#include "graphics/Blit.h"
#include "graphics/SpriteBatch.h"

namespace {

// The strips of one call as one sprite batch in queueing order.
class cPieceBatch {
 public:
  cPieceBatch() { DDBeginSpriteBatch(0); }
  ~cPieceBatch() { DDFlushSpriteBatch(); }
  cPieceBatch(const cPieceBatch&) = delete;
  cPieceBatch& operator=(const cPieceBatch&) = delete;
};

bool IsOdd(int value) { return value % 2 != 0; }

}  // namespace

void DDWave(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, int cycles, double amplitude, int phase,
            int band, DDSURFACEDATA* lpSrc, int sx, int sy, std::uint32_t dwFlags, int bColumns) {
  if (band <= 0) return;
  const double k = cycles * std::numbers::pi / 180.0;
  const int size = bColumns ? nWidth : nHeight;
  const double step = 360.0 / size * band;
  const auto displacement = [&](double s) { return TruncToI32(amplitude * std::sin((phase + s) * k)); };
  cPieceBatch batch;
  double s = 0.0;
  for (int offset = 0; offset < size; offset += band) {
    s += step;
    const int strip = std::min(band, size - offset);
    if (bColumns) {
      DDBlt(lpDst, x + offset, y + displacement(s), strip, nHeight, lpSrc, sx + offset, sy, dwFlags);
    } else {
      DDBlt(lpDst, x + displacement(s), y + offset, nWidth, strip, lpSrc, sx, sy + offset, dwFlags);
    }
  }
}

void DDSplit(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, int band, int offset, DDSURFACEDATA* lpSrc,
             int sx, int sy, std::uint32_t dwFlags, int bColumns) {
  if (band == 0) {
    DDBlt(lpDst, x, y, nWidth, nHeight, lpSrc, sx, sy, dwFlags);
    return;
  }
  if (band < 0) return;
  const int strips = (bColumns ? nWidth : nHeight) / band;
  const auto drawStrip = [&](int i, int shift) {
    const int at = i * band;
    if (bColumns) {
      DDBlt(lpDst, x + at, y + shift, band, nHeight, lpSrc, sx + at, sy, dwFlags);
    } else {
      DDBlt(lpDst, x + shift, y + at, nWidth, band, lpSrc, sx, sy + at, dwFlags);
    }
  };
  cPieceBatch batch;
  for (int i = 1; i < strips; i += 2) drawStrip(i, -offset);
  for (int i = 0; i < strips; i += 2) drawStrip(i, offset);
}

void DDRotateDepth(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, DDSURFACEDATA* lpFront, int frontX,
                   int frontY, DDSURFACEDATA* lpBack, int backX, int backY, int srcW, int srcH, std::uint32_t dwFlags,
                   int phase, int axis) {
  if (axis != 0 && axis != 1) return;
  const int size = axis == 0 ? nWidth : nHeight;
  const int half = size >> 1;
  if (half <= 0) return;
  // A triangle wave 0 .. half - 1 .. 0: how far each edge has moved in.
  const int inset = IsOdd(phase / half) ? half - phase % half - 1 : phase % half;
  const bool back = IsOdd((phase + half) / size);
  DDSURFACEDATA* lpSrc = back ? lpBack : lpFront;
  const int sx = back ? backX : frontX;
  const int sy = back ? backY : frontY;
  if (axis == 0) {
    DDBltEx(lpDst, x + inset, y, nWidth - 2 * inset, nHeight, lpSrc, sx, sy, srcW, srcH, dwFlags);
  } else {
    DDBltEx(lpDst, x, y + inset, nWidth, nHeight - 2 * inset, lpSrc, sx, sy, srcW, srcH, dwFlags);
  }
}

void DDBurst(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, DDSURFACEDATA* lpSrc, int sx, int sy,
             int spread, std::uint32_t dwFlags) {
  const int hw = nWidth >> 1;
  const int hh = nHeight >> 1;
  cPieceBatch batch;
  DDBlt(lpDst, x - spread, y - spread, hw, hh, lpSrc, sx, sy, dwFlags);
  DDBlt(lpDst, x + hw + spread, y - spread, hw, hh, lpSrc, sx + hw, sy, dwFlags);
  DDBlt(lpDst, x - spread, y + hh + spread, hw, hh, lpSrc, sx, sy + hh, dwFlags);
  DDBlt(lpDst, x + hw + spread, y + hh + spread, hw, hh, lpSrc, sx + hw, sy + hh, dwFlags);
}
