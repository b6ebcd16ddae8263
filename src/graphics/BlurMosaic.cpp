#include "graphics/BlurMosaic.h"

#include <algorithm>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/Log.h"
#include "core/Numeric.h"
#include "graphics/DrawContext.h"
#include "graphics/PixelAccess.h"

namespace {

using i64 = std::int64_t;

// Writes an averaged or sampled colour (0x00RRGGBB) by the road's rule.
template <ePixelRoad Road>
inline void WriteColour(std::uint32_t& pixel, std::uint32_t rgb) {
  if constexpr (Road == ePixelRoad::Direct3D32) {
    pixel = ComposeDirect3D32(rgb);
  } else {
    pixel = ComposeDirectDraw32(pixel, rgb);
  }
}

// ---------------------------------------------------------------------------
// Blur
//
// The box of every pixel is summed from running sums: for each column of the
// rectangle, the sum of the rows of the current window (moved down one row
// per output row by adding the row that enters and taking away the row that
// leaves), and along each output row the sum of those column sums over the
// window's columns (moved the same way). Every pixel then costs a handful of
// additions whatever the radius, and the integer results are those of
// summing each box cell by cell.

// The channels of a cell as four lanes: blue, green, red and the count of
// cells (1 for a counted cell). A column's sums over a row window fit 32-bit
// lanes (at most 255 x the rectangle's height).
using Lanes = std::uint32_t __attribute__((vector_size(16)));

inline Lanes CellLanes(std::uint32_t pixel) {
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  __m128i v = _mm_cvtsi32_si128(static_cast<int>((pixel & 0x00FFFFFFu) | 0x01000000u));
  v = _mm_unpacklo_epi16(_mm_unpacklo_epi8(v, zero), zero);
  return reinterpret_cast<Lanes>(v);
#else
  return Lanes{pixel & 0xFF, pixel >> 8 & 0xFF, pixel >> 16 & 0xFF, 1};
#endif
}

// The cells of the rectangle a blur works on.
struct sBlurArea {
  int r0 = 0, r1 = 0, c0 = 0, c1 = 0;  // cells whose source pixel exists
  int j0 = 0, j1 = 0, k0 = 0, k1 = 0;  // of those, the cells whose destination pixel exists
  int rx = 0, ry = 0;                  // the radii, at most the area's size
};

template <ePixelRoad Road, bool Keyed>
inline bool Counted(std::uint32_t pixel, std::uint32_t key) {
  return !Keyed || !IsTransparentPixel(Road, pixel, key);
}

// A cell's lanes, all 0 when it is not counted.
template <ePixelRoad Road, bool Keyed>
inline Lanes CountedLanes(std::uint32_t pixel, std::uint32_t key) {
  if constexpr (Keyed) {
    return CellLanes(pixel) & (Lanes{} - static_cast<std::uint32_t>(Counted<Road, Keyed>(pixel, key)));
  } else {
    return CellLanes(pixel);
  }
}

// Moves the column sums one row down: the row `entering` comes in, the row
// `leaving` goes out (either may be null: no such row).
template <ePixelRoad Road, bool Keyed>
void MoveRows(const std::uint32_t* entering, const std::uint32_t* leaving, int count, Lanes* sums,
              std::uint32_t key) {
  if (entering != nullptr && leaving != nullptr) {
    for (int k = 0; k < count; ++k) {
      sums[k] += CountedLanes<Road, Keyed>(entering[k], key) - CountedLanes<Road, Keyed>(leaving[k], key);
    }
  } else if (entering != nullptr) {
    for (int k = 0; k < count; ++k) sums[k] += CountedLanes<Road, Keyed>(entering[k], key);
  } else if (leaving != nullptr) {
    for (int k = 0; k < count; ++k) sums[k] -= CountedLanes<Road, Keyed>(leaving[k], key);
  }
}

// A box's sums: 32-bit lanes while no box can reach 2^32 (any rectangle the
// screen effects draw), 64-bit ones beyond.
struct sNarrowBox {
  Lanes v{};
  void Add(Lanes lanes) { v += lanes; }
  void Remove(Lanes lanes) { v -= lanes; }
  std::uint64_t operator[](int lane) const { return v[lane]; }
};
struct sWideBox {
  std::uint64_t v[4] = {};
  void Add(Lanes lanes) {
    for (int i = 0; i < 4; ++i) v[i] += lanes[i];
  }
  void Remove(Lanes lanes) {
    for (int i = 0; i < 4; ++i) v[i] -= lanes[i];
  }
  std::uint64_t operator[](int lane) const { return v[lane]; }
};

// Quotients by a count that seldom changes from one pixel to the next,
// without a division per pixel: floor(sum / n) is floor((sum + 0.5) / n),
// whose value lies at least 0.5 / n from the next integer, far more than the
// rounding of the product with 1 / n in double precision for any count a
// surface can hold. So the truncated product is exact.
class cDivider {
 public:
  void SetCount(std::uint64_t count) {
    if (count == m_Count) return;
    m_Count = count;
    m_Inverse = 1.0 / static_cast<double>(count);
  }
  std::uint32_t operator()(std::uint64_t sum) const {
    return static_cast<std::uint32_t>((static_cast<double>(static_cast<std::int64_t>(sum)) + 0.5) * m_Inverse);
  }

 private:
  std::uint64_t m_Count = 0;
  double m_Inverse = 0;
};

template <ePixelRoad Road, bool Keyed, typename Box>
void BlurArea(const cEffectLock& lock, int x, int y, int sx, int sy, const sBlurArea& a, std::uint32_t key) {
  const plat::sPixelLock& src = lock.Src();
  const plat::sPixelLock& dst = lock.Dst();
  const int width = a.c1 - a.c0;
  // Rectangle row j, from its first cell whose source exists.
  const auto cells = [&](int j) { return src.Row32(sy + j) + sx + a.c0; };
  std::vector<Lanes> columns(static_cast<std::size_t>(width), Lanes{});
  const Lanes* sums = columns.data();  // column k at sums[k - c0]

  for (int j = std::max(a.r0, a.j0 - a.ry); j < std::min(a.r1, a.j0 + a.ry); ++j) {
    MoveRows<Road, Keyed>(cells(j), nullptr, width, columns.data(), key);
  }
  cDivider divide;
  for (int j = a.j0; j < a.j1; ++j) {
    if (j > a.j0) {
      const int entering = j + a.ry - 1;
      const int leaving = j - 1 - a.ry;
      MoveRows<Road, Keyed>(entering < a.r1 ? cells(entering) : nullptr, leaving >= a.r0 ? cells(leaving) : nullptr,
                            width, columns.data(), key);
    }
    const std::uint32_t* centre = src.Row32(sy + j);  // cell k at centre[sx + k]
    std::uint32_t* out = dst.Row32(y + j);             // cell k at out[x + k]
    Box box;
    for (int k = std::max(a.c0, a.k0 - a.rx); k < std::min(a.c1, a.k0 + a.rx); ++k) box.Add(sums[k - a.c0]);
    for (int k = a.k0; k < a.k1; ++k) {
      if (k > a.k0) {
        if (k + a.rx - 1 < a.c1) box.Add(sums[k + a.rx - 1 - a.c0]);
        if (k - 1 - a.rx >= a.c0) box.Remove(sums[k - 1 - a.rx - a.c0]);
      }
      if (!Counted<Road, Keyed>(centre[sx + k], key) || box[3] == 0) continue;
      divide.SetCount(box[3]);
      WriteColour<Road>(out[x + k], divide(box[2]) << 16 | divide(box[1]) << 8 | divide(box[0]));
    }
  }
}

template <ePixelRoad Road, bool Keyed>
void BlurArea(const cEffectLock& lock, int x, int y, int sx, int sy, const sBlurArea& a, std::uint32_t key) {
  const i64 largestBox =
      i64{255} * std::min<i64>(2 * i64{a.ry}, a.r1 - a.r0) * std::min<i64>(2 * i64{a.rx}, a.c1 - a.c0);
  if (largestBox <= i64{UINT32_MAX}) {
    BlurArea<Road, Keyed, sNarrowBox>(lock, x, y, sx, sy, a, key);
  } else {
    BlurArea<Road, Keyed, sWideBox>(lock, x, y, sx, sy, a, key);
  }
}

template <ePixelRoad Road>
void BlurArea(const cEffectLock& lock, int x, int y, int sx, int sy, const sBlurArea& a, bool keyed) {
  const std::uint32_t key = Road == ePixelRoad::Direct3D32 ? 0 : g_DrawLayer.dwColorKey;
  if (keyed) {
    BlurArea<Road, true>(lock, x, y, sx, sy, a, key);
  } else {
    BlurArea<Road, false>(lock, x, y, sx, sy, a, key);
  }
}

// ---------------------------------------------------------------------------
// Mosaic

// One block: rectangle cells [bx, bx + bw) x [by, by + bh).
struct sBlock {
  int bx = 0, by = 0, bw = 0, bh = 0;
};

// Fills the part of the block that lies on the destination.
template <typename P, typename Write>
void FillBlock(const cEffectLock& lock, int x, int y, const sBlock& b, Write write) {
  const sEffectSpan rows = SurfaceSpan(ClampToI32(i64{y} + b.by), b.bh, lock.DstHeight());
  const sEffectSpan cols = SurfaceSpan(ClampToI32(i64{x} + b.bx), b.bw, lock.DstWidth());
  const int first = x + b.bx + cols.first;
  for (int m = rows.first; m < rows.last; ++m) {
    P* row;
    if constexpr (sizeof(P) == 4) {
      row = lock.Dst().Row32(y + b.by + m) + first;
    } else {
      row = lock.Dst().Row8(y + b.by + m) + first;
    }
    for (int i = 0; i < cols.last - cols.first; ++i) write(row[i]);
  }
}

// The block's top-left source pixel; false when it lies off the source.
template <typename P>
bool TopLeft(const cEffectLock& lock, int sx, int sy, const sBlock& b, P& pixel) {
  const i64 px = i64{sx} + b.bx;
  const i64 py = i64{sy} + b.by;
  if (px < 0 || py < 0 || px >= lock.SrcWidth() || py >= lock.SrcHeight()) return false;
  if constexpr (sizeof(P) == 4) {
    pixel = lock.Src().Row32(static_cast<int>(py))[px];
  } else {
    pixel = lock.Src().Row8(static_cast<int>(py))[px];
  }
  return true;
}

// DirectDraw 32 bits: the average colour of the block's counted pixels;
// false when none counted.
bool BlockAverage(const cEffectLock& lock, int sx, int sy, const sBlock& b, bool keyed, std::uint32_t key,
                  std::uint32_t& rgb) {
  const sEffectSpan rows = SurfaceSpan(ClampToI32(i64{sy} + b.by), b.bh, lock.SrcHeight());
  const sEffectSpan cols = SurfaceSpan(ClampToI32(i64{sx} + b.bx), b.bw, lock.SrcWidth());
  std::uint64_t r = 0, g = 0, bl = 0, n = 0;
  for (int m = rows.first; m < rows.last; ++m) {
    const std::uint32_t* row = lock.Src().Row32(sy + b.by + m) + sx + b.bx + cols.first;
    for (int i = 0; i < cols.last - cols.first; ++i) {
      const std::uint32_t p = row[i];
      if (keyed && IsTransparentPixel(ePixelRoad::DirectDraw32, p, key)) continue;
      r += (p >> 16) & 0xFF;
      g += (p >> 8) & 0xFF;
      bl += p & 0xFF;
      ++n;
    }
  }
  if (n == 0) return false;
  rgb = static_cast<std::uint32_t>(r / n) << 16 | static_cast<std::uint32_t>(g / n) << 8 |
        static_cast<std::uint32_t>(bl / n);
  return true;
}

void MosaicBlock(const cEffectLock& lock, int x, int y, int sx, int sy, const sBlock& b, bool keyed) {
  const std::uint32_t key = g_DrawLayer.dwColorKey;
  switch (lock.Road()) {
    case ePixelRoad::Direct3D32: {
      std::uint32_t texel = 0;
      if (!TopLeft(lock, sx, sy, b, texel)) return;
      if (keyed && IsTransparentPixel(ePixelRoad::Direct3D32, texel, 0)) return;
      FillBlock<std::uint32_t>(lock, x, y, b, [texel](std::uint32_t& p) { p = ComposeDirect3D32(texel); });
      return;
    }
    case ePixelRoad::DirectDraw8: {
      std::uint8_t index = 0;
      if (!TopLeft(lock, sx, sy, b, index)) return;
      if (keyed && IsTransparentPixel(ePixelRoad::DirectDraw8, index, key)) return;
      FillBlock<std::uint8_t>(lock, x, y, b, [index](std::uint8_t& p) { p = index; });
      return;
    }
    case ePixelRoad::DirectDraw32: {
      std::uint32_t rgb = 0;
      if (!BlockAverage(lock, sx, sy, b, keyed, key, rgb)) return;
      if (keyed && IsTransparentPixel(ePixelRoad::DirectDraw32, rgb, key)) return;
      FillBlock<std::uint32_t>(lock, x, y, b, [rgb](std::uint32_t& p) { p = ComposeDirectDraw32(p, rgb); });
      return;
    }
    default:
      return;  // no surface holds 16-bit pixels
  }
}

// The first block offset (a multiple of size) of an axis whose block reaches
// destination position 0.
i64 FirstBlockOnSurface(int pos, int size) { return pos < 0 ? (-i64{pos} / size) * size : 0; }

}  // namespace

bool DDBlur(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, int radiusX, int radiusY,
            DDSURFACEDATA* lpSrc, int sx, int sy, std::uint32_t dwFlags) {
  if (radiusX == 0 || radiusY == 0) return true;
  const cEffectLock lock(lpDst, lpSrc);
  if (!lock.IsLocked()) return false;
  if (lock.Road() == ePixelRoad::DirectDraw8) {
    LogPrintf("8ビットぼかしは不可能！");
    return true;
  }
  if (radiusX < 0 || radiusY < 0) return true;  // every box is empty

  sBlurArea a;
  const sEffectSpan rows = SurfaceSpan(sy, nHeight, lock.SrcHeight());
  const sEffectSpan cols = SurfaceSpan(sx, nWidth, lock.SrcWidth());
  a.r0 = rows.first;
  a.r1 = rows.last;
  a.c0 = cols.first;
  a.c1 = cols.last;
  const sEffectSpan outRows = EffectSpan(y, sy, nHeight, lock.DstHeight(), lock.SrcHeight());
  const sEffectSpan outCols = EffectSpan(x, sx, nWidth, lock.DstWidth(), lock.SrcWidth());
  if (outRows.Empty() || outCols.Empty()) return true;
  a.j0 = outRows.first;
  a.j1 = outRows.last;
  a.k0 = outCols.first;
  a.k1 = outCols.last;
  // A radius beyond the area's size boxes the same cells as the size.
  a.rx = std::min(radiusX, a.c1 - a.c0);
  a.ry = std::min(radiusY, a.r1 - a.r0);

  const bool keyed = (dwFlags & 1) != 0;
  switch (lock.Road()) {
    case ePixelRoad::Direct3D32: BlurArea<ePixelRoad::Direct3D32>(lock, x, y, sx, sy, a, keyed); break;
    case ePixelRoad::DirectDraw32: BlurArea<ePixelRoad::DirectDraw32>(lock, x, y, sx, sy, a, keyed); break;
    default: break;  // no surface holds 16-bit pixels
  }
  return true;
}

bool DDMosaic(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, int blockSize, DDSURFACEDATA* lpSrc,
              int sx, int sy, std::uint32_t dwFlags) {
  if (blockSize <= 0) return true;
  const cEffectLock lock(lpDst, lpSrc);
  if (!lock.IsLocked()) return false;
  const bool keyed = (dwFlags & 1) != 0;
  // Only blocks that reach the destination are visited: the others would
  // write nothing.
  for (i64 by = FirstBlockOnSurface(y, blockSize); by < nHeight && y + by < lock.DstHeight(); by += blockSize) {
    for (i64 bx = FirstBlockOnSurface(x, blockSize); bx < nWidth && x + bx < lock.DstWidth(); bx += blockSize) {
      const sBlock b{static_cast<int>(bx), static_cast<int>(by),
                     static_cast<int>(std::min<i64>(blockSize, nWidth - bx)),
                     static_cast<int>(std::min<i64>(blockSize, nHeight - by))};
      MosaicBlock(lock, x, y, sx, sy, b, keyed);
    }
  }
  return true;
}
