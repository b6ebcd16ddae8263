#include "platform/SoftwareDevice.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>
#include <vector>

#include "platform/PixelRows.h"
#include "platform/ShadeRows.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace plat {
namespace {

// ---------------------------------------------------------------------------
// Small arithmetic helpers

// Floor division for a positive divisor.
inline std::int64_t FloorDiv(std::int64_t value, std::int64_t divisor) {
  std::int64_t q = value / divisor;
  if ((value % divisor) != 0 && value < 0) --q;
  return q;
}

inline int Wrap(std::int64_t value, int size) {
  if (value >= 0 && value < size) return static_cast<int>(value);
  std::int64_t r = value % size;
  if (r < 0) r += size;
  return static_cast<int>(r);
}

// floor() for values well inside the 64-bit range.
inline std::int64_t FloorToInt(double value) {
  const auto t = static_cast<std::int64_t>(value);
  return static_cast<double>(t) > value ? t - 1 : t;
}

inline std::uint32_t Mul8(std::uint32_t a, std::uint32_t b) { return (a * b + 127) / 255; }
inline std::uint32_t Lerp8(std::uint32_t a, std::uint32_t b, std::uint32_t weightA) {
  return (a * weightA + b * (255 - weightA) + 127) / 255;
}
inline std::uint32_t Clamp8(int v) { return static_cast<std::uint32_t>(std::clamp(v, 0, 255)); }

inline std::uint32_t Channel(std::uint32_t argb, int shift) { return (argb >> shift) & 0xFF; }

// The source column (row) of destination offset j under the pixel-centre rule.
inline std::int64_t CentreSample(int start, int sourceSize, int destSize, int j) {
  return start + FloorDiv((2 * std::int64_t{j} + 1) * sourceSize, 2 * std::int64_t{destSize});
}

// The source column (row) of destination offset j under the float-step rule,
// or false when the offset falls outside the source rectangle.
inline bool FloatStepSample(int start, int sourceSize, int destSize, float step, int j, std::int64_t& out) {
  if (sourceSize == destSize) {
    out = std::int64_t{start} + j;
    return true;
  }
  const float product = static_cast<float>(j) * step;
  if (!(std::fabs(product) < 2147483520.0f)) return false;
  const int offset = static_cast<int>(product);  // truncates toward zero
  if (sourceSize >= 0) {
    if (offset < 0 || offset > sourceSize - 1) return false;
    out = std::int64_t{start} + offset;
  } else {
    if (offset < sourceSize + 1 || offset > 0) return false;
    out = std::int64_t{start} + offset - 1;
  }
  return true;
}

// Destination offsets [first, last) of one axis that land on the destination
// surface.
struct sSpan {
  int first = 0;
  int last = 0;
  bool Empty() const { return first >= last; }
};

inline sSpan DestinationSpan(int position, int size, int surfaceSize) {
  // In 64 bits: positions and sizes come from game data and may be extreme.
  const std::int64_t first = std::clamp<std::int64_t>(-std::int64_t{position}, 0, std::max(size, 0));
  const std::int64_t last = std::clamp<std::int64_t>(std::int64_t{surfaceSize} - position, first, std::max(size, 0));
  return sSpan{static_cast<int>(first), static_cast<int>(last)};
}

// One axis of a copy: for each destination offset in the span, its source
// index. The valid offsets are contiguous because every sampling rule is
// monotonic, so the table is trimmed to them.
struct sAxisMap {
  sSpan span;
  std::vector<int> source;  // source[k] for destination offset span.first + k
  int unitStep = 0;         // +1 or -1 when consecutive entries step by one, else 0

  int At(int offset) const { return source[static_cast<std::size_t>(offset - span.first)]; }
};

sAxisMap BuildAxisMap(int position, int size, int surfaceSize, int start, int sourceSize, int sourceSurfaceSize,
                      eStretchRule rule) {
  sAxisMap map;
  const sSpan dest = DestinationSpan(position, size, surfaceSize);
  if (dest.Empty()) return map;
  if (sourceSize == size) {
    // Drawn at its own size (nearly every sprite and background), both rules
    // sample start + j: the run is where that lands inside the source.
    const std::int64_t first = std::max<std::int64_t>(dest.first, -std::int64_t{start});
    const std::int64_t last = std::min<std::int64_t>(dest.last, std::int64_t{sourceSurfaceSize} - start);
    if (first >= last) return map;
    map.span = {static_cast<int>(first), static_cast<int>(last)};
    map.source.resize(static_cast<std::size_t>(last - first));
    const int firstIndex = static_cast<int>(start + first);
    for (std::size_t k = 0; k < map.source.size(); ++k) map.source[k] = firstIndex + static_cast<int>(k);
    map.unitStep = 1;
    return map;
  }
  const float step = static_cast<float>(sourceSize) / static_cast<float>(size);
  int first = -1;
  int last = -1;
  map.source.reserve(static_cast<std::size_t>(dest.last - dest.first));
  for (int j = dest.first; j < dest.last; ++j) {
    std::int64_t index = 0;
    bool ok = true;
    if (rule == eStretchRule::PixelCentre) {
      index = CentreSample(start, sourceSize, size, j);
    } else {
      ok = FloatStepSample(start, sourceSize, size, step, j, index);
    }
    ok = ok && index >= 0 && index < sourceSurfaceSize;
    if (ok) {
      if (first < 0) first = j;
      last = j + 1;
      map.source.push_back(static_cast<int>(index));
    } else if (first >= 0) {
      break;  // past the contiguous run
    }
  }
  if (first < 0) return map;
  map.span = {first, last};
  map.source.resize(static_cast<std::size_t>(last - first));
  if (map.source.size() >= 2) {
    const int delta = map.source[1] - map.source[0];
    if (delta == 1 || delta == -1) {
      map.unitStep = delta;
      for (std::size_t k = 2; k < map.source.size(); ++k) {
        if (map.source[k] - map.source[k - 1] != delta) {
          map.unitStep = 0;
          break;
        }
      }
    }
  } else {
    map.unitStep = 1;
  }
  return map;
}

// ---------------------------------------------------------------------------
// Copy kernels. One instantiation per pixel type and key test; the row loops
// contain nothing but the test and the store.

struct sNoKey {
  template <typename P>
  bool Skip(P) const {
    return false;
  }
};
template <typename P>
struct sValueKey {
  P key;
  bool Skip(P p) const { return p == key; }
};
struct sAlphaKey {
  bool Skip(std::uint32_t p) const { return (p >> 24) == 0; }
};

// The keyed loops select instead of branching: keyed runs in sprite sheets
// are short and irregular, so a branch per pixel mispredicts, while the
// select compiles to vector compares.
template <typename P, typename Key>
inline P KeepOrTake(P destination, P source, const Key& key) {
  return key.Skip(source) ? destination : source;
}

#if defined(__SSE2__)
// Four 32-bit pixels at a time: compare, then select source or destination.
// `Mask` gives all ones in a lane whose source pixel is skipped.
template <typename Key, typename Mask>
void CopyRow32Keyed(std::uint32_t* dst, const std::uint32_t* src, int count, int step, const Key& key, Mask skipMask) {
  int k = 0;
  if (step == 1) {
    for (; k + 4 <= count; k += 4) {
      const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + k));
      const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + k));
      const __m128i m = skipMask(s);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + k), _mm_or_si128(_mm_and_si128(m, d), _mm_andnot_si128(m, s)));
    }
  } else {
    for (; k + 4 <= count; k += 4) {
      // src[-k-3] .. src[-k], reversed into lane order.
      const __m128i r = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src - k - 3));
      const __m128i s = _mm_shuffle_epi32(r, _MM_SHUFFLE(0, 1, 2, 3));
      const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + k));
      const __m128i m = skipMask(s);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + k), _mm_or_si128(_mm_and_si128(m, d), _mm_andnot_si128(m, s)));
    }
  }
  for (; k < count; ++k) dst[k] = KeepOrTake(dst[k], src[step == 1 ? k : -k], key);
}
#endif

template <typename P, typename Key>
void CopyRowUnit(P* dst, const P* src, int count, int step, const Key& key) {
  if constexpr (std::is_same_v<Key, sNoKey>) {
    if (step == 1) {
      std::memmove(dst, src, static_cast<std::size_t>(count) * sizeof(P));
      return;
    }
  }
#if defined(__SSE2__)
  if constexpr (std::is_same_v<P, std::uint32_t> && std::is_same_v<Key, sValueKey<std::uint32_t>>) {
    const __m128i keyLanes = _mm_set1_epi32(static_cast<int>(key.key));
    CopyRow32Keyed(dst, src, count, step, key, [keyLanes](__m128i s) { return _mm_cmpeq_epi32(s, keyLanes); });
    return;
  } else if constexpr (std::is_same_v<Key, sAlphaKey>) {
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i zero = _mm_setzero_si128();
    CopyRow32Keyed(dst, src, count, step, key,
                   [alphaMask, zero](__m128i s) { return _mm_cmpeq_epi32(_mm_and_si128(s, alphaMask), zero); });
    return;
  }
#endif
  if (step == 1) {
    for (int k = 0; k < count; ++k) dst[k] = KeepOrTake(dst[k], src[k], key);
  } else {
    const P* from = src - (count - 1);  // the row read backwards
    for (int k = 0; k < count; ++k) dst[k] = KeepOrTake(dst[k], from[count - 1 - k], key);
  }
}

template <typename P, typename Key>
void CopyRowTable(P* dst, const P* srcRow, const int* columns, int count, const Key& key) {
  for (int k = 0; k < count; ++k) dst[k] = KeepOrTake(dst[k], srcRow[columns[k]], key);
}

template <typename P, typename Key>
void CopyWithMaps(P* dstBits, int dstPitch, const P* srcBits, int srcPitch, int x, int y, const sAxisMap& cols,
                  const sAxisMap& rows, const Key& key) {
  const int count = cols.span.last - cols.span.first;
  for (int i = rows.span.first; i < rows.span.last; ++i) {
    P* dst = dstBits + static_cast<std::ptrdiff_t>(y + i) * dstPitch + x + cols.span.first;
    const P* srcRow = srcBits + static_cast<std::ptrdiff_t>(rows.At(i)) * srcPitch;
    if (cols.unitStep != 0) {
      CopyRowUnit(dst, srcRow + cols.source[0], count, cols.unitStep, key);
    } else {
      CopyRowTable(dst, srcRow, cols.source.data(), count, key);
    }
  }
}

template <typename P>
void DispatchCopy(P* dstBits, int dstPitch, const P* srcBits, int srcPitch, const sCopyRect& r, const sAxisMap& cols,
                  const sAxisMap& rows) {
  switch (r.key) {
    case eKeyTest::None:
      CopyWithMaps(dstBits, dstPitch, srcBits, srcPitch, r.x, r.y, cols, rows, sNoKey{});
      break;
    case eKeyTest::ExactValue:
      CopyWithMaps(dstBits, dstPitch, srcBits, srcPitch, r.x, r.y, cols, rows,
                   sValueKey<P>{static_cast<P>(r.keyValue)});
      break;
    case eKeyTest::AlphaZero:
      if constexpr (sizeof(P) == 4) {
        CopyWithMaps(dstBits, dstPitch, srcBits, srcPitch, r.x, r.y, cols, rows, sAlphaKey{});
      }
      break;
  }
}

// ---------------------------------------------------------------------------
// Texture stage

bool IsKnownOp(std::uint32_t op) { return op >= TextureOp::Disable && op <= TextureOp::BlendFactorAlpha; }

inline std::uint32_t StageChannel(std::uint32_t op, std::uint32_t arg1, std::uint32_t arg2, std::uint32_t current,
                                  std::uint32_t diffuseAlpha, std::uint32_t textureAlpha, std::uint32_t factorAlpha) {
  switch (op) {
    case TextureOp::Disable:
      return current;
    case TextureOp::SelectArg1:
      return arg1;
    case TextureOp::SelectArg2:
      return arg2;
    case TextureOp::Modulate:
      return Mul8(arg1, arg2);
    case TextureOp::Modulate2x:
      return std::min<std::uint32_t>(255, 2 * Mul8(arg1, arg2));
    case TextureOp::Modulate4x:
      return std::min<std::uint32_t>(255, 4 * Mul8(arg1, arg2));
    case TextureOp::Add:
      return std::min<std::uint32_t>(255, arg1 + arg2);
    case TextureOp::AddSigned:
      return Clamp8(static_cast<int>(arg1 + arg2) - 128);
    case TextureOp::AddSigned2x:
      return Clamp8(2 * (static_cast<int>(arg1 + arg2) - 128));
    case TextureOp::Subtract:
      return arg1 > arg2 ? arg1 - arg2 : 0;
    case TextureOp::AddSmooth:
      return std::min<std::uint32_t>(255, arg1 + arg2 - Mul8(arg1, arg2));
    case TextureOp::BlendDiffuseAlpha:
      return Lerp8(arg1, arg2, diffuseAlpha);
    case TextureOp::BlendTextureAlpha:
      return Lerp8(arg1, arg2, textureAlpha);
    case TextureOp::BlendFactorAlpha:
      return Lerp8(arg1, arg2, factorAlpha);
    default:
      return arg1;
  }
}

// The affine form of one operation, or false when it has none (it depends on
// the texel's alpha, or saturates).
bool AffineOperation(std::uint32_t op, std::uint32_t arg2, std::uint32_t current, std::uint32_t diffuseAlpha,
                     std::uint32_t factorAlpha, sAffineChannel& out) {
  auto blendToward = [&](std::uint32_t weight) {
    out = {weight, arg2 * (255 - weight)};
    return true;
  };
  switch (op) {
    case TextureOp::Disable:
      out = {0, current * 255};
      return true;
    case TextureOp::SelectArg1:
      out = {255, 0};
      return true;
    case TextureOp::SelectArg2:
      out = {0, arg2 * 255};
      return true;
    case TextureOp::Modulate:
      out = {arg2, 0};
      return true;
    case TextureOp::BlendDiffuseAlpha:
      return blendToward(diffuseAlpha);
    case TextureOp::BlendFactorAlpha:
      return blendToward(factorAlpha);
    default:
      return false;
  }
}

// The affine form of the whole stage, with the same arguments EvaluateStage
// gives each operation.
bool AffineStageOf(const sStageState& s, sAffineStage& out) {
  const std::uint32_t colourArg2 = s.colorArg2 == eStageArg::Diffuse ? s.diffuse : s.textureFactor;
  const std::uint32_t alphaArg2 = s.alphaArg2 == eStageArg::Diffuse ? s.diffuse : s.textureFactor;
  const std::uint32_t diffuseAlpha = s.diffuse >> 24;
  const std::uint32_t factorAlpha = s.textureFactor >> 24;
  for (int c = 0; c < 3; ++c) {
    const int shift = 8 * c;
    if (!AffineOperation(s.colorOp, Channel(colourArg2, shift), Channel(s.diffuse, shift), diffuseAlpha, factorAlpha,
                         out.channel[c])) {
      return false;
    }
  }
  return AffineOperation(s.alphaOp, alphaArg2 >> 24, diffuseAlpha, diffuseAlpha, factorAlpha, out.channel[3]);
}

// How the pixels of one textured draw are shaded, decided once per draw.
enum class eShadeKind {
  Texel,    // the stage passes the texel through
  Opaque,   // the texel's colour with alpha 255
  Affine,   // every channel an affine function of the texel's (sAffineStage)
  General,  // EvaluateStage per texel
};

struct sShader {
  eShadeKind kind = eShadeKind::General;
  bool blend = false;         // blended by the result's alpha, else stored
  bool drawsNothing = false;  // blended with a result alpha of 0 throughout
  sAffineStage affine;
  const sStageState* stage = nullptr;
};

bool ColourPassesTexel(const sStageState& s) {
  const std::uint32_t arg2 = s.colorArg2 == eStageArg::Diffuse ? s.diffuse : s.textureFactor;
  return s.colorOp == TextureOp::SelectArg1 ||
         (s.colorOp == TextureOp::Modulate && (arg2 & 0x00FFFFFF) == 0x00FFFFFF);
}

sShader ChooseShader(const sStageState& s) {
  sShader shader;
  shader.stage = &s;
  shader.blend = s.alphaBlend;
  if (ColourPassesTexel(s)) {
    const std::uint32_t alphaArg2 = (s.alphaArg2 == eStageArg::Diffuse ? s.diffuse : s.textureFactor) >> 24;
    const bool alphaIsTexel =
        s.alphaOp == TextureOp::SelectArg1 || (s.alphaOp == TextureOp::Modulate && alphaArg2 == 255);
    const bool alphaIsOpaque = (s.alphaOp == TextureOp::Disable && (s.diffuse >> 24) == 255) ||
                               (s.alphaOp == TextureOp::SelectArg2 && alphaArg2 == 255);
    if (alphaIsTexel) {
      shader.kind = eShadeKind::Texel;
      return shader;
    }
    if (alphaIsOpaque) {
      // Blending by alpha 255 stores the source.
      shader.kind = eShadeKind::Opaque;
      shader.blend = false;
      return shader;
    }
  }
  if (!AffineStageOf(s, shader.affine)) return shader;
  shader.kind = eShadeKind::Affine;
  const sAffineChannel& alpha = shader.affine.channel[3];
  if (shader.blend && alpha.mul == 0) {
    // A constant alpha: 255 stores, 0 leaves every pixel as it is.
    const std::uint32_t constant = (alpha.add + 127) / 255;
    shader.drawsNothing = constant == 0;
    shader.blend = constant != 255;
  }
  return shader;
}

// The stage results of a run of at most kShadeChunk texels; out and texels
// do not overlap.
constexpr int kShadeChunk = 256;

void ShadeTexels(std::uint32_t* __restrict out, const std::uint32_t* __restrict texels, int count,
                 const sShader& shader) {
  switch (shader.kind) {
    case eShadeKind::Texel:
      std::memcpy(out, texels, static_cast<std::size_t>(count) * 4);
      return;
    case eShadeKind::Opaque:
      StoreOpaqueRow(out, texels, count);
      return;
    case eShadeKind::Affine:
      AffineRow(out, texels, count, shader.affine);
      return;
    case eShadeKind::General:
      for (int k = 0; k < count; ++k) out[k] = EvaluateStage(texels[k], *shader.stage);
      return;
  }
}

// Shades a run of at most kShadeChunk texels already fetched and writes or
// blends it into out. The texels may lie anywhere in out's own row: those
// that overlap out elsewhere than in place are shaded whole into a chunk of
// their own before out is written.
void ShadeSpan(std::uint32_t* out, const std::uint32_t* texels, int count, const sShader& shader) {
  // Texels apart from out (gathered, or from another surface) or exactly
  // out's own go through the row kernels in one pass.
  const auto outAt = reinterpret_cast<std::uintptr_t>(out);
  const auto texelsAt = reinterpret_cast<std::uintptr_t>(texels);
  const std::uintptr_t bytes = static_cast<std::uintptr_t>(count) * 4;
  const bool apart = texelsAt + bytes <= outAt || outAt + bytes <= texelsAt;
  if (apart || texels == out) {
    switch (shader.kind) {
      case eShadeKind::Texel:
        if (shader.blend) {
          BlendRow(out, texels, count);
        } else {
          std::memmove(out, texels, bytes);
        }
        return;
      case eShadeKind::Affine:
        if (shader.blend) {
          AffineBlendRow(out, texels, count, shader.affine);
        } else {
          AffineRow(out, texels, count, shader.affine);
        }
        return;
      case eShadeKind::Opaque:
        if (!apart) break;
        StoreOpaqueRow(out, texels, count);
        return;
      case eShadeKind::General:
        break;
    }
  }
  std::uint32_t shaded[kShadeChunk];
  ShadeTexels(shaded, texels, count, shader);
  if (shader.blend) {
    BlendRow(out, shaded, count);
  } else {
    std::memcpy(out, shaded, static_cast<std::size_t>(count) * 4);
  }
}

// One destination row of a textured rectangle: `count` texels from texRow
// through the column table, a chunk at a time. Where the texels run in order
// they are read in place, else gathered first.
void ShadeTableRow(std::uint32_t* out, const std::uint32_t* texRow, const int* columns, bool unitColumns, int count,
                   const sShader& shader) {
  std::uint32_t gathered[kShadeChunk];
  for (int start = 0; start < count; start += kShadeChunk) {
    const int n = std::min(kShadeChunk, count - start);
    const std::uint32_t* texels = texRow + columns[start];
    if (!unitColumns) {
      for (int k = 0; k < n; ++k) gathered[k] = texRow[columns[start + k]];
      texels = gathered;
    }
    ShadeSpan(out + start, texels, n, shader);
  }
}

// Fills a rectangle (already clipped) with one shaded colour; over `fill`
// when it is given, as if the rectangle had been filled with it first.
void ShadeConstantRect(cPixelSurface& dst, sSpan cols, sSpan rows, int x, int y, std::uint32_t colour, bool blend,
                       const std::uint32_t* fill) {
  const sPixelLock lock = dst.Lock();
  if (blend && fill != nullptr) {
    colour = BlendSourceAlpha(colour, *fill);
    blend = false;
  }
  const std::uint32_t a = colour >> 24;
  if (blend && a == 0) return;
  // Blending one colour c at alpha a is, per channel of the destination d,
  // (d * (255 - a) + c * a + 127) / 255: an affine stage over the row itself.
  sAffineStage over;
  for (int c = 0; c < 4; ++c) over.channel[c] = {255 - a, Channel(colour, 8 * c) * a};
  for (int i = rows.first; i < rows.last; ++i) {
    std::uint32_t* row = lock.Row32(y + i) + x + cols.first;
    if (!blend || a == 255) {
      FillRow32(row, cols.last - cols.first, colour);
    } else {
      AffineRow(row, row, cols.last - cols.first, over);
    }
  }
}

// Pixel-centre sampling with wrapping, for one axis of a textured rectangle,
// into `table` (whose storage is kept from draw to draw: a frame draws
// thousands of small sprites). An axis drawn at its own size samples
// start + j, which needs no division.
void WrappedCentreTable(std::vector<int>& table, sSpan span, int start, int sourceSize, int destSize,
                        int sourceSurfaceSize) {
  table.clear();
  if (sourceSize == destSize) {
    for (int j = span.first; j < span.last; ++j) table.push_back(Wrap(std::int64_t{start} + j, sourceSurfaceSize));
    return;
  }
  for (int j = span.first; j < span.last; ++j) {
    table.push_back(Wrap(CentreSample(start, sourceSize, destSize, j), sourceSurfaceSize));
  }
}

bool IsUnitRun(const std::vector<int>& table) {
  for (std::size_t k = 1; k < table.size(); ++k) {
    if (table[k] != table[k - 1] + 1) return false;
  }
  return true;
}

// ---------------------------------------------------------------------------
// Quad rasterisation

struct sEdge {
  double a = 0, b = 0, c = 0;  // value at (px, py) = a * px + b * py + c
  bool topLeft = false;
  double At(double px, double py) const { return a * px + b * py + c; }
  bool Covers(double value) const { return value > 0 || (value == 0 && topLeft); }
};

// Edge from p to q for a triangle whose inside is where every edge is positive.
sEdge MakeEdge(const sQuadVertex& p, const sQuadVertex& q) {
  sEdge e;
  const double dx = double{q.x} - p.x;
  const double dy = double{q.y} - p.y;
  // value = dx * (py - p.y) - dy * (px - p.x)
  e.a = -dy;
  e.b = dx;
  e.c = dy * p.x - dx * p.y;
  e.topLeft = dy < 0 || (dy == 0 && dx > 0);
  return e;
}

void DrawTriangle(cPixelSurface& dst, sQuadVertex v0, sQuadVertex v1, sQuadVertex v2, const cPixelSurface* src,
                  const sStageState& stage) {
  const double area = (double{v1.x} - v0.x) * (double{v2.y} - v0.y) - (double{v1.y} - v0.y) * (double{v2.x} - v0.x);
  if (area == 0 || !std::isfinite(area)) return;
  if (area < 0) std::swap(v1, v2);
  const double absArea = std::fabs(area);
  // Edges opposite each vertex.
  const sEdge e0 = MakeEdge(v1, v2);
  const sEdge e1 = MakeEdge(v2, v0);
  const sEdge e2 = MakeEdge(v0, v1);
  // u and v as planes over the screen: u = du_x * px + du_y * py + du_c.
  const double ux = (e0.a * v0.u + e1.a * v1.u + e2.a * v2.u) / absArea;
  const double uy = (e0.b * v0.u + e1.b * v1.u + e2.b * v2.u) / absArea;
  const double uc = (e0.c * v0.u + e1.c * v1.u + e2.c * v2.u) / absArea;
  const double vx = (e0.a * v0.v + e1.a * v1.v + e2.a * v2.v) / absArea;
  const double vy = (e0.b * v0.v + e1.b * v1.v + e2.b * v2.v) / absArea;
  const double vc = (e0.c * v0.v + e1.c * v1.v + e2.c * v2.v) / absArea;

  const double minX = std::min({double{v0.x}, double{v1.x}, double{v2.x}});
  const double maxX = std::max({double{v0.x}, double{v1.x}, double{v2.x}});
  const double minY = std::min({double{v0.y}, double{v1.y}, double{v2.y}});
  const double maxY = std::max({double{v0.y}, double{v1.y}, double{v2.y}});
  if (!std::isfinite(minX) || !std::isfinite(maxX) || !std::isfinite(minY) || !std::isfinite(maxY)) return;
  // Pixel centres inside the bounding box, clamped to the surface before any
  // conversion to int.
  const int x0 = static_cast<int>(std::clamp(std::ceil(minX), 0.0, double(dst.Width())));
  const int x1 = static_cast<int>(std::clamp(std::floor(maxX), -1.0, double(dst.Width() - 1)));
  const int y0 = static_cast<int>(std::clamp(std::ceil(minY), 0.0, double(dst.Height())));
  const int y1 = static_cast<int>(std::clamp(std::floor(maxY), -1.0, double(dst.Height() - 1)));
  if (x0 > x1 || y0 > y1) return;

  const sShader shader = ChooseShader(stage);
  if (shader.drawsNothing) return;
  const sPixelLock lock = dst.Lock();
  const sPixelLock tex = src != nullptr ? src->Lock() : sPixelLock{};
  std::uint32_t texels[kShadeChunk];
  for (int py = y0; py <= y1; ++py) {
    // The covered pixels of a row are one run (the triangle is convex). Its
    // ends are solved from the edges, then settled by the exact edge tests.
    auto covered = [&](int px) {
      return e0.Covers(e0.At(px, py)) && e1.Covers(e1.At(px, py)) && e2.Covers(e2.At(px, py));
    };
    double low = x0;
    double high = x1;
    for (const sEdge* e : {&e0, &e1, &e2}) {
      if (e->a == 0) continue;
      const double crossing = -(e->b * py + e->c) / e->a;
      if (e->a > 0) {
        low = std::max(low, std::floor(crossing));
      } else {
        high = std::min(high, std::ceil(crossing));
      }
    }
    if (!(low <= high)) continue;
    int first = static_cast<int>(low);
    int last = static_cast<int>(high);  // inclusive while settling
    while (first <= last && !covered(first)) ++first;
    while (first > x0 && covered(first - 1)) --first;
    if (first > last) continue;
    while (last >= first && !covered(last)) --last;
    while (last < x1 && covered(last + 1)) ++last;
    ++last;  // exclusive
    std::uint32_t* row = lock.Row32(py);
    for (int start = first; start < last; start += kShadeChunk) {
      const int n = std::min(kShadeChunk, last - start);
      for (int k = 0; k < n; ++k) {
        const int px = start + k;
        texels[k] = 0xFFFFFFFF;
        if (tex.bits == nullptr) continue;
        const double u = ux * px + uy * py + uc;
        const double v = vx * px + vy * py + vc;
        if (!(std::fabs(u) < 1e15) || !(std::fabs(v) < 1e15)) continue;  // also NaN
        texels[k] = tex.Row32(Wrap(FloorToInt(v), tex.height))[Wrap(FloorToInt(u), tex.width)];
      }
      ShadeSpan(row + start, texels, n, shader);
    }
  }
}

}  // namespace

// ---------------------------------------------------------------------------

void FillRect(cPixelSurface& dst, int x, int y, int width, int height, std::uint32_t value) {
  if (dst.Empty() || width < 1 || height < 1) return;
  const sSpan cols = DestinationSpan(x, width, dst.Width());
  const sSpan rows = DestinationSpan(y, height, dst.Height());
  if (cols.Empty() || rows.Empty()) return;
  const sPixelLock lock = dst.Lock();
  const std::size_t count = static_cast<std::size_t>(cols.last - cols.first);
  for (int i = rows.first; i < rows.last; ++i) {
    if (lock.depth == ePixelDepth::Argb32) {
      FillRow32(lock.Row32(y + i) + x + cols.first, static_cast<int>(count), value);
    } else {
      std::memset(lock.Row8(y + i) + x + cols.first, static_cast<int>(value & 0xFF), count);
    }
  }
}

bool CopyRect(cPixelSurface& dst, const cPixelSurface& src, const sCopyRect& r) {
  if (dst.Depth() != src.Depth()) return false;
  if (r.width < 1 || r.height < 1 || r.sw == 0 || r.sh == 0) return false;
  if (r.key == eKeyTest::AlphaZero && src.Depth() != ePixelDepth::Argb32) return false;
  if (dst.Empty() || src.Empty()) return true;

  const sAxisMap cols = BuildAxisMap(r.x, r.width, dst.Width(), r.sx, r.sw, src.Width(), r.rule);
  if (cols.span.Empty()) return true;
  const sAxisMap rows = BuildAxisMap(r.y, r.height, dst.Height(), r.sy, r.sh, src.Height(), r.rule);
  if (rows.span.Empty()) return true;

  const sPixelLock d = dst.Lock();
  const sPixelLock s = src.Lock();
  if (d.depth == ePixelDepth::Argb32) {
    DispatchCopy(static_cast<std::uint32_t*>(d.bits), d.pitch, static_cast<const std::uint32_t*>(s.bits), s.pitch, r,
                 cols, rows);
  } else {
    DispatchCopy(static_cast<std::uint8_t*>(d.bits), d.pitch, static_cast<const std::uint8_t*>(s.bits), s.pitch, r,
                 cols, rows);
  }
  return true;
}

std::uint32_t EvaluateStage(std::uint32_t texel, const sStageState& stage) {
  const std::uint32_t colourArg2 = stage.colorArg2 == eStageArg::Diffuse ? stage.diffuse : stage.textureFactor;
  const std::uint32_t alphaArg2 = stage.alphaArg2 == eStageArg::Diffuse ? stage.diffuse : stage.textureFactor;
  const std::uint32_t diffuseAlpha = stage.diffuse >> 24;
  const std::uint32_t textureAlpha = texel >> 24;
  const std::uint32_t factorAlpha = stage.textureFactor >> 24;
  std::uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    out |= StageChannel(stage.colorOp, Channel(texel, shift), Channel(colourArg2, shift),
                        Channel(stage.diffuse, shift), diffuseAlpha, textureAlpha, factorAlpha)
           << shift;
  }
  out |= StageChannel(stage.alphaOp, textureAlpha, alphaArg2 >> 24, diffuseAlpha, diffuseAlpha, textureAlpha,
                      factorAlpha)
         << 24;
  return out;
}

std::uint32_t BlendSourceAlpha(std::uint32_t source, std::uint32_t destination) {
  // Two channels at a time (red and blue, then alpha and green), each product
  // sum kept in its own 16 bits; (t + (t >> 8)) >> 8 with t = x + 128 is
  // exactly (x + 127) / 255 for every x up to 255 * 255.
  const std::uint32_t a = source >> 24;
  const std::uint32_t na = 255 - a;
  std::uint32_t rb = (source & 0x00FF00FF) * a + (destination & 0x00FF00FF) * na + 0x00800080;
  rb = ((rb + ((rb >> 8) & 0x00FF00FF)) >> 8) & 0x00FF00FF;
  std::uint32_t ag = ((source >> 8) & 0x00FF00FF) * a + ((destination >> 8) & 0x00FF00FF) * na + 0x00800080;
  ag = (ag + ((ag >> 8) & 0x00FF00FF)) & 0xFF00FF00;
  return rb | ag;
}

namespace {

// One destination row of a textured rectangle, by the fastest loop for the
// draw's shading. A row read from its own surface may overlap the row it
// writes. With `fill` (never on a row read from its own surface) the row is
// drawn over that value instead of what it held.
void DrawTexturedRow(std::uint32_t* out, const std::uint32_t* texRow, const int* columns, bool unitColumns,
                     bool sameSurface, int count, const sShader& shader, const std::uint32_t* fill) {
  const std::uint32_t* in = texRow + columns[0];
  if (fill != nullptr && shader.blend) {
    if (unitColumns && shader.kind == eShadeKind::Texel) {
      BlendRow(out, in, count, fill);
    } else if (unitColumns && shader.kind == eShadeKind::Affine) {
      AffineBlendRow(out, in, count, shader.affine, fill);
    } else {
      FillRow32(out, count, *fill);
      ShadeTableRow(out, texRow, columns, unitColumns, count, shader);
    }
    return;
  }
  // Drawn without blending, every pixel of the row is stored: a fill would
  // be overwritten.
  if (unitColumns && shader.kind == eShadeKind::Texel && !shader.blend) {
    std::memmove(out, in, static_cast<std::size_t>(count) * 4);
  } else if (unitColumns && shader.kind == eShadeKind::Opaque && sameSurface) {
    std::memmove(out, in, static_cast<std::size_t>(count) * 4);
    for (int k = 0; k < count; ++k) out[k] |= 0xFF000000u;
  } else if (unitColumns && !sameSurface && shader.kind == eShadeKind::Opaque) {
    StoreOpaqueRow(out, in, count);
  } else if (unitColumns && !sameSurface && shader.kind == eShadeKind::Texel) {
    BlendRow(out, in, count);
  } else if (unitColumns && (!sameSurface || in == out) && shader.kind == eShadeKind::Affine) {
    if (shader.blend) {
      AffineBlendRow(out, in, count, shader.affine);
    } else {
      AffineRow(out, in, count, shader.affine);
    }
  } else {
    ShadeTableRow(out, texRow, columns, unitColumns, count, shader);
  }
}

// DrawTexturedRect, and with `fill` the same over a rectangle first filled
// with that value: the fill goes into the row's own pass, and not at all where
// the draw stores every pixel.
bool DrawTexturedRectOver(cPixelSurface& dst, int x, int y, int width, int height, const cPixelSurface* src, int sx,
                          int sy, int sw, int sh, const sStageState& stage, const std::uint32_t* fill) {
  const bool refused = dst.Depth() != ePixelDepth::Argb32 ||
                       (src != nullptr && src->Depth() != ePixelDepth::Argb32) || width < 1 || height < 1 ||
                       sw == 0 || sh == 0 || !IsKnownOp(stage.colorOp) || !IsKnownOp(stage.alphaOp);
  if (refused) {
    if (fill != nullptr) FillRect(dst, x, y, width, height, *fill);
    return false;
  }
  if (dst.Empty()) return true;
  if (src != nullptr && src->Empty()) src = nullptr;

  const sSpan cols = DestinationSpan(x, width, dst.Width());
  const sSpan rows = DestinationSpan(y, height, dst.Height());
  if (cols.Empty() || rows.Empty()) return true;

  if (src == nullptr) {
    ShadeConstantRect(dst, cols, rows, x, y, EvaluateStage(0xFFFFFFFF, stage), stage.alphaBlend, fill);
    return true;
  }
  const sShader shader = ChooseShader(stage);
  if (shader.drawsNothing) {
    if (fill != nullptr) FillRect(dst, x, y, width, height, *fill);
    return true;
  }

  thread_local std::vector<int> colTable, rowTable;
  WrappedCentreTable(colTable, cols, sx, sw, width, src->Width());
  WrappedCentreTable(rowTable, rows, sy, sh, height, src->Height());
  const bool unitColumns = IsUnitRun(colTable);
  const sPixelLock d = dst.Lock();
  const sPixelLock s = src->Lock();
  const int count = cols.last - cols.first;
  const bool sameSurface = d.bits == s.bits;
  for (int i = rows.first; i < rows.last; ++i) {
    std::uint32_t* out = d.Row32(y + i) + x + cols.first;
    const std::uint32_t* texRow = s.Row32(rowTable[static_cast<std::size_t>(i - rows.first)]);
    DrawTexturedRow(out, texRow, colTable.data(), unitColumns, sameSurface, count, shader, fill);
  }
  return true;
}

}  // namespace

bool DrawTexturedRect(cPixelSurface& dst, int x, int y, int width, int height, const cPixelSurface* src, int sx,
                      int sy, int sw, int sh, const sStageState& stage) {
  return DrawTexturedRectOver(dst, x, y, width, height, src, sx, sy, sw, sh, stage, nullptr);
}

bool DrawTexturedRectOnFill(cPixelSurface& dst, int x, int y, int width, int height, std::uint32_t fill,
                            const cPixelSurface* src, int sx, int sy, int sw, int sh, const sStageState& stage) {
  return DrawTexturedRectOver(dst, x, y, width, height, src, sx, sy, sw, sh, stage, &fill);
}

bool DrawTexturedQuad(cPixelSurface& dst, const sQuadVertex (&vertices)[4], const cPixelSurface* src,
                      const sStageState& stage) {
  if (dst.Depth() != ePixelDepth::Argb32) return false;
  if (src != nullptr && src->Depth() != ePixelDepth::Argb32) return false;
  if (!IsKnownOp(stage.colorOp) || !IsKnownOp(stage.alphaOp)) return false;
  if (dst.Empty()) return true;
  if (src != nullptr && src->Empty()) src = nullptr;
  DrawTriangle(dst, vertices[0], vertices[1], vertices[2], src, stage);
  DrawTriangle(dst, vertices[1], vertices[3], vertices[2], src, stage);
  return true;
}

bool DrawCoverage(cPixelSurface& dst, int x, int y, const std::uint8_t* coverage, int width, int height, int pitch,
                  std::uint32_t value, eCoverageMode mode) {
  if (mode == eCoverageMode::Blend && dst.Depth() != ePixelDepth::Argb32) return false;
  if (coverage == nullptr || width < 1 || height < 1 || dst.Empty()) return true;
  // The rows and columns of the picture that land on the surface.
  const int left = std::max(0, -x);
  const int top = std::max(0, -y);
  const int right = std::min(width, dst.Width() - x);
  const int bottom = std::min(height, dst.Height() - y);
  if (left >= right || top >= bottom) return true;

  const sPixelLock lock = dst.Lock();
  const std::uint32_t colourAlpha = value >> 24;
  for (int row = top; row < bottom; ++row) {
    const std::uint8_t* in = coverage + static_cast<std::ptrdiff_t>(row) * pitch;
    if (mode == eCoverageMode::Threshold) {
      if (lock.depth == ePixelDepth::Indexed8) {
        std::uint8_t* out = lock.Row8(y + row);
        for (int col = left; col < right; ++col) {
          if (in[col] >= 128) out[x + col] = static_cast<std::uint8_t>(value);
        }
      } else {
        std::uint32_t* out = lock.Row32(y + row);
        for (int col = left; col < right; ++col) {
          if (in[col] >= 128) out[x + col] = value;
        }
      }
      continue;
    }
    std::uint32_t* out = lock.Row32(y + row);
    for (int col = left; col < right; ++col) {
      if (in[col] == 0) continue;
      const std::uint32_t alpha = (colourAlpha * in[col] + 127) / 255;
      out[x + col] = BlendSourceAlpha(alpha << 24 | (value & 0x00FFFFFFu), out[x + col]);
    }
  }
  return true;
}

}  // namespace plat
