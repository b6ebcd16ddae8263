#include "platform/ShadeRows.h"

#include <atomic>

#include "platform/SoftwareDevice.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// AVX2 is compiled into functions of their own with the target attribute and
// chosen at run time, so the build keeps targeting plain x86-64.
#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define KESTROVA_ROWS_AVX2 1
#include <immintrin.h>
#define KESTROVA_AVX2 __attribute__((target("avx2")))
#else
#define KESTROVA_ROWS_AVX2 0
#endif

namespace plat {
namespace {

// ---------------------------------------------------------------------------
// Portable loops: the per-pixel rule itself. The wider kernels finish their
// rows' last few pixels with them.

inline std::uint32_t AffineTexel(std::uint32_t texel, const sAffineStage& f) {
  std::uint32_t out = 0;
  for (int c = 0; c < 4; ++c) {
    const std::uint32_t t = (texel >> (8 * c)) & 0xFF;
    out |= ((t * f.channel[c].mul + f.channel[c].add + 127) / 255) << (8 * c);
  }
  return out;
}

// src blended by its alpha over dst; alpha 0 and 255 need no arithmetic.
inline std::uint32_t BlendedOver(std::uint32_t src, std::uint32_t dst) {
  const std::uint32_t a = src >> 24;
  if (a == 0) return dst;
  if (a == 255) return src;
  return BlendSourceAlpha(src, dst);
}

namespace portable {

void Affine(std::uint32_t* out, const std::uint32_t* in, int count, const sAffineStage& f) {
  for (int k = 0; k < count; ++k) out[k] = AffineTexel(in[k], f);
}

template <bool kOnFill>
void Blend(std::uint32_t* out, const std::uint32_t* in, int count, std::uint32_t fill) {
  for (int k = 0; k < count; ++k) out[k] = BlendedOver(in[k], kOnFill ? fill : out[k]);
}

template <bool kOnFill>
void AffineBlend(std::uint32_t* out, const std::uint32_t* in, int count, const sAffineStage& f, std::uint32_t fill) {
  for (int k = 0; k < count; ++k) out[k] = BlendedOver(AffineTexel(in[k], f), kOnFill ? fill : out[k]);
}

}  // namespace portable

// ---------------------------------------------------------------------------
// SSE2: four pixels a step, channels widened to 16 bits.

#if defined(__SSE2__)
namespace sse2 {

// (x + 127) / 255 per 16-bit lane, given t = x + 128 for x up to 255 * 255:
// (t + (t >> 8)) >> 8, which is the high half of t * 257.
inline __m128i Div255(__m128i t) { return _mm_mulhi_epu16(t, _mm_set1_epi16(257)); }

// The affine stage on four pixels at a time.
class cAffineLanes {
 public:
  explicit cAffineLanes(const sAffineStage& f)
      : m_Mul(Lanes(f, &sAffineChannel::mul, 0)),
        // The 128 of the rounding division (Div255); every sum stays below
        // 65536.
        m_Add(Lanes(f, &sAffineChannel::add, 128)) {}

  // The stage on the channels of two pixels widened to 16 bits.
  __m128i ShadeChannels(__m128i t16) const { return Div255(_mm_add_epi16(_mm_mullo_epi16(t16, m_Mul), m_Add)); }

 private:
  static __m128i Lanes(const sAffineStage& f, std::uint32_t sAffineChannel::*member, std::uint32_t bias) {
    const auto lane = [&](int c) { return static_cast<short>(f.channel[c].*member + bias); };
    return _mm_setr_epi16(lane(0), lane(1), lane(2), lane(3), lane(0), lane(1), lane(2), lane(3));
  }
  __m128i m_Mul;
  __m128i m_Add;
};

// Source-alpha blending of four pixels at a time. Groups whose alphas are
// all 0 or 255 are skipped, stored or picked pixel by pixel without
// arithmetic: keyed sprites and backgrounds are made of such texels.
class cBlendLanes {
 public:
  // Blends s, also given widened to 16-bit channels (sLo the first two
  // pixels, sHi the last two), over the four pixels at out, or with kOnFill
  // over `under` in their place (a rectangle filled just before).
  template <bool kOnFill>
  void Into(std::uint32_t* out, __m128i s, __m128i sLo, __m128i sHi, __m128i under) const {
    const __m128i alpha = _mm_and_si128(s, m_AlphaMask);
    const __m128i opaque = _mm_cmpeq_epi32(alpha, m_AlphaMask);
    const int opaqueBits = _mm_movemask_epi8(opaque);
    if (opaqueBits == 0xFFFF) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out), s);
      return;
    }
    const int clearBits = _mm_movemask_epi8(_mm_cmpeq_epi32(alpha, _mm_setzero_si128()));
    if (clearBits == 0xFFFF && !kOnFill) return;
    const __m128i d = kOnFill ? under : _mm_loadu_si128(reinterpret_cast<const __m128i*>(out));
    if ((opaqueBits | clearBits) == 0xFFFF) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                       _mm_or_si128(_mm_and_si128(opaque, s), _mm_andnot_si128(opaque, d)));
      return;
    }
    const __m128i zero = _mm_setzero_si128();
    const __m128i lo = BlendChannels(sLo, _mm_unpacklo_epi8(d, zero));
    const __m128i hi = BlendChannels(sHi, _mm_unpackhi_epi8(d, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(lo, hi));
  }

 private:
  // Per 16-bit channel: (s * a + d * (255 - a) + 127) / 255, exactly.
  __m128i BlendChannels(__m128i s16, __m128i d16) const {
    const __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s16, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
    __m128i x = _mm_add_epi16(_mm_mullo_epi16(s16, a), _mm_mullo_epi16(d16, _mm_sub_epi16(m_Full, a)));
    return Div255(_mm_add_epi16(x, m_Half));
  }
  const __m128i m_AlphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  const __m128i m_Full = _mm_set1_epi16(255);
  const __m128i m_Half = _mm_set1_epi16(128);
};

inline __m128i Load(const std::uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

void Affine(std::uint32_t* out, const std::uint32_t* in, int count, const sAffineStage& f) {
  const cAffineLanes lanes(f);
  const __m128i zero = _mm_setzero_si128();
  int k = 0;
  for (; k + 4 <= count; k += 4) {
    const __m128i t = Load(in + k);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k),
                     _mm_packus_epi16(lanes.ShadeChannels(_mm_unpacklo_epi8(t, zero)),
                                      lanes.ShadeChannels(_mm_unpackhi_epi8(t, zero))));
  }
  portable::Affine(out + k, in + k, count - k, f);
}

template <bool kOnFill>
void Blend(std::uint32_t* out, const std::uint32_t* in, int count, std::uint32_t fill) {
  const cBlendLanes blend;
  const __m128i under = _mm_set1_epi32(static_cast<int>(fill));
  const __m128i zero = _mm_setzero_si128();
  int k = 0;
  for (; k + 4 <= count; k += 4) {
    const __m128i s = Load(in + k);
    blend.Into<kOnFill>(out + k, s, _mm_unpacklo_epi8(s, zero), _mm_unpackhi_epi8(s, zero), under);
  }
  portable::Blend<kOnFill>(out + k, in + k, count - k, fill);
}

template <bool kOnFill>
void AffineBlend(std::uint32_t* out, const std::uint32_t* in, int count, const sAffineStage& f, std::uint32_t fill) {
  const cAffineLanes lanes(f);
  const cBlendLanes blend;
  const __m128i under = _mm_set1_epi32(static_cast<int>(fill));
  const __m128i zero = _mm_setzero_si128();
  int k = 0;
  for (; k + 4 <= count; k += 4) {
    const __m128i t = Load(in + k);
    const __m128i lo = lanes.ShadeChannels(_mm_unpacklo_epi8(t, zero));
    const __m128i hi = lanes.ShadeChannels(_mm_unpackhi_epi8(t, zero));
    blend.Into<kOnFill>(out + k, _mm_packus_epi16(lo, hi), lo, hi, under);
  }
  portable::AffineBlend<kOnFill>(out + k, in + k, count - k, f, fill);
}

}  // namespace sse2
#endif

// ---------------------------------------------------------------------------
// AVX2: eight pixels a step. Products are formed by vpmaddubsw, which
// multiplies unsigned bytes by signed ones and adds each pair: pixel bytes
// are biased to signed (x - 128) and the bias is added back in the constant
// that also carries the 128 of the rounding division, so every sum is exact
// in 16 bits. Each helper carries the target attribute, since only such
// functions may use the AVX2 instructions.

#if KESTROVA_ROWS_AVX2
namespace avx2 {

KESTROVA_AVX2 inline __m256i Load(const std::uint32_t* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
KESTROVA_AVX2 inline void Store(std::uint32_t* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
KESTROVA_AVX2 inline __m256i Div255(__m256i t) { return _mm256_mulhi_epu16(t, _mm256_set1_epi16(257)); }
KESTROVA_AVX2 inline __m256i Biased(__m256i pixels) {
  return _mm256_xor_si256(pixels, _mm256_set1_epi8(static_cast<char>(0x80)));
}

// s blended by its alpha over d, every channel. With s and d biased, each
// channel is a (s - 128) + (255 - a)(d - 128) = s a + d (255 - a) - 32640,
// and adding 32768 gives the rounding sum s a + d (255 - a) + 128.
KESTROVA_AVX2 inline __m256i Blend(__m256i s, __m256i d) {
  const __m256i sb = Biased(s);
  const __m256i db = Biased(d);
  // The alpha byte of each pixel of the unpacked halves, then a and 255 - a
  // in turn: the weights of the source and destination bytes.
  const __m256i alphaLo =
      _mm256_setr_epi8(3, 3, 3, 3, 3, 3, 3, 3, 7, 7, 7, 7, 7, 7, 7, 7, 3, 3, 3, 3, 3, 3, 3, 3, 7, 7, 7, 7, 7, 7, 7, 7);
  const __m256i alphaHi = _mm256_setr_epi8(11, 11, 11, 11, 11, 11, 11, 11, 15, 15, 15, 15, 15, 15, 15, 15, 11, 11,
                                           11, 11, 11, 11, 11, 11, 15, 15, 15, 15, 15, 15, 15, 15);
  const __m256i flip = _mm256_set1_epi16(static_cast<short>(0xFF00));
  const __m256i round = _mm256_set1_epi16(static_cast<short>(0x8000));
  const __m256i wLo = _mm256_xor_si256(_mm256_shuffle_epi8(s, alphaLo), flip);
  const __m256i wHi = _mm256_xor_si256(_mm256_shuffle_epi8(s, alphaHi), flip);
  const __m256i lo = Div255(_mm256_add_epi16(_mm256_maddubs_epi16(wLo, _mm256_unpacklo_epi8(sb, db)), round));
  const __m256i hi = Div255(_mm256_add_epi16(_mm256_maddubs_epi16(wHi, _mm256_unpackhi_epi8(sb, db)), round));
  return _mm256_packus_epi16(lo, hi);
}

// Pixels with their channels kept apart: blue and red in the 16-bit lanes of
// `even`, green and alpha in those of `odd`, each in the low byte. The
// affine stage gives its result so, with no unpacking: each texel byte
// (biased) is multiplied by its channel's factor and the other byte of its
// pair by 0, and mul (t - 128) + (add + 128 + 128 mul) is the rounding sum.
struct sSplit {
  __m256i even, odd;
};
struct sSplitAffine {
  __m256i mulEven, mulOdd, addEven, addOdd;
};

KESTROVA_AVX2 inline sSplitAffine SplitAffineOf(const sAffineStage& f) {
  std::uint32_t mul[4], sum[4];
  for (int c = 0; c < 4; ++c) {
    mul[c] = f.channel[c].mul;
    sum[c] = (f.channel[c].add + 128 + 128 * f.channel[c].mul) & 0xFFFF;  // wraps back in the sum
  }
  return {_mm256_set1_epi32(static_cast<int>(mul[0] | mul[2] << 16)),
          _mm256_set1_epi32(static_cast<int>(mul[1] << 8 | mul[3] << 24)),
          _mm256_set1_epi32(static_cast<int>(sum[0] | sum[2] << 16)),
          _mm256_set1_epi32(static_cast<int>(sum[1] | sum[3] << 16))};
}

KESTROVA_AVX2 inline sSplit ShadeSplit(__m256i texels, const sSplitAffine& f) {
  const __m256i biased = Biased(texels);
  return {Div255(_mm256_add_epi16(_mm256_maddubs_epi16(f.mulEven, biased), f.addEven)),
          Div255(_mm256_add_epi16(_mm256_maddubs_epi16(f.mulOdd, biased), f.addOdd))};
}

KESTROVA_AVX2 inline __m256i Join(const sSplit& s) { return _mm256_or_si256(s.even, _mm256_slli_epi16(s.odd, 8)); }

// A split source blended by its alpha over d: each source channel paired
// with the destination's in one 16-bit lane, both biased, as in Blend; one
// weight vector serves both halves.
KESTROVA_AVX2 inline __m256i BlendSplit(const sSplit& s, __m256i d) {
  const __m256i bias = _mm256_set1_epi8(static_cast<char>(0x80));
  const __m256i high = _mm256_set1_epi16(static_cast<short>(0xFF00));
  const __m256i alphaOfPixel = _mm256_setr_epi8(2, 2, 2, 2, 6, 6, 6, 6, 10, 10, 10, 10, 14, 14, 14, 14, 2, 2, 2, 2, 6,
                                                6, 6, 6, 10, 10, 10, 10, 14, 14, 14, 14);
  const __m256i round = _mm256_set1_epi16(static_cast<short>(0x8000));
  const __m256i weights = _mm256_xor_si256(_mm256_shuffle_epi8(s.odd, alphaOfPixel), high);
  const __m256i even = _mm256_xor_si256(_mm256_or_si256(s.even, _mm256_slli_epi16(d, 8)), bias);
  const __m256i odd = _mm256_xor_si256(_mm256_or_si256(s.odd, _mm256_and_si256(d, high)), bias);
  const __m256i e = Div255(_mm256_add_epi16(_mm256_maddubs_epi16(weights, even), round));
  const __m256i o = Div255(_mm256_add_epi16(_mm256_maddubs_epi16(weights, odd), round));
  return _mm256_or_si256(e, _mm256_slli_epi16(o, 8));
}

// What a blending row loop reads: the texels as they are, or shaded by an
// affine stage into split form; and where the alpha of what it gives lies.
struct sTexelsAsTheyAre {
  KESTROVA_AVX2 __m256i Shade(__m256i texels) const { return texels; }
  KESTROVA_AVX2 static __m256i Alpha(__m256i s) { return s; }
  KESTROVA_AVX2 static __m256i AlphaMask() { return _mm256_set1_epi32(static_cast<int>(0xFF000000u)); }
  KESTROVA_AVX2 static __m256i Opaque(__m256i s) { return s; }
  template <bool kOnFill>
  KESTROVA_AVX2 static void Into(std::uint32_t* out, __m256i s, __m256i under) {
    Store(out, Blend(s, kOnFill ? under : Load(out)));
  }
};

struct sTexelsShaded {
  sSplitAffine split;
  KESTROVA_AVX2 sSplit Shade(__m256i texels) const { return ShadeSplit(texels, split); }
  KESTROVA_AVX2 static __m256i Alpha(const sSplit& s) { return s.odd; }
  // The shaded alpha sits in the third byte of each pixel of `odd`.
  KESTROVA_AVX2 static __m256i AlphaMask() { return _mm256_set1_epi32(0x00FF0000); }
  KESTROVA_AVX2 static __m256i Opaque(const sSplit& s) { return Join(s); }
  template <bool kOnFill>
  KESTROVA_AVX2 static void Into(std::uint32_t* out, const sSplit& s, __m256i under) {
    Store(out, BlendSplit(s, kOnFill ? under : Load(out)));
  }
};

// Blends the row's whole groups of eight and returns how many pixels it
// took. It reads 32 pixels a step and leaves (or fills) them at once when
// all are transparent, as the keyed parts of sprites are, and stores them
// as they are when all are opaque, as backgrounds and a frame copied through
// a blended quad are; the tests are made per 32 pixels, not per group, to
// keep them cheap beside the arithmetic, and mixed rows run without
// branches.
template <bool kOnFill, typename Source>
KESTROVA_AVX2 inline int BlendGroups(std::uint32_t* out, const std::uint32_t* in, int count, const Source& source,
                                     std::uint32_t fill) {
  const __m256i under = _mm256_set1_epi32(static_cast<int>(fill));
  const __m256i alphaMask = Source::AlphaMask();
  int k = 0;
  for (; k + 32 <= count; k += 32) {
    const auto s0 = source.Shade(Load(in + k));
    const auto s1 = source.Shade(Load(in + k + 8));
    const auto s2 = source.Shade(Load(in + k + 16));
    const auto s3 = source.Shade(Load(in + k + 24));
    const __m256i any = _mm256_or_si256(_mm256_or_si256(Source::Alpha(s0), Source::Alpha(s1)),
                                        _mm256_or_si256(Source::Alpha(s2), Source::Alpha(s3)));
    if (_mm256_testz_si256(any, alphaMask)) {
      if constexpr (kOnFill) {
        for (int g = 0; g < 32; g += 8) Store(out + k + g, under);
      }
      continue;
    }
    const __m256i all = _mm256_and_si256(_mm256_and_si256(Source::Alpha(s0), Source::Alpha(s1)),
                                         _mm256_and_si256(Source::Alpha(s2), Source::Alpha(s3)));
    if (_mm256_testc_si256(all, alphaMask)) {
      Store(out + k, Source::Opaque(s0));
      Store(out + k + 8, Source::Opaque(s1));
      Store(out + k + 16, Source::Opaque(s2));
      Store(out + k + 24, Source::Opaque(s3));
      continue;
    }
    Source::template Into<kOnFill>(out + k, s0, under);
    Source::template Into<kOnFill>(out + k + 8, s1, under);
    Source::template Into<kOnFill>(out + k + 16, s2, under);
    Source::template Into<kOnFill>(out + k + 24, s3, under);
  }
  for (; k + 8 <= count; k += 8) Source::template Into<kOnFill>(out + k, source.Shade(Load(in + k)), under);
  return k;
}

KESTROVA_AVX2 void Affine(std::uint32_t* out, const std::uint32_t* in, int count, const sAffineStage& f) {
  const sSplitAffine split = SplitAffineOf(f);
  int k = 0;
  for (; k + 8 <= count; k += 8) Store(out + k, Join(ShadeSplit(Load(in + k), split)));
  sse2::Affine(out + k, in + k, count - k, f);
}

template <bool kOnFill>
KESTROVA_AVX2 void Blend(std::uint32_t* out, const std::uint32_t* in, int count, std::uint32_t fill) {
  const int k = BlendGroups<kOnFill>(out, in, count, sTexelsAsTheyAre{}, fill);
  sse2::Blend<kOnFill>(out + k, in + k, count - k, fill);
}

template <bool kOnFill>
KESTROVA_AVX2 void AffineBlend(std::uint32_t* out, const std::uint32_t* in, int count, const sAffineStage& f,
                               std::uint32_t fill) {
  const int k = BlendGroups<kOnFill>(out, in, count, sTexelsShaded{SplitAffineOf(f)}, fill);
  sse2::AffineBlend<kOnFill>(out + k, in + k, count - k, f, fill);
}

}  // namespace avx2
#endif

// ---------------------------------------------------------------------------
// Dispatch

struct sRowKernelTable {
  void (*affine)(std::uint32_t*, const std::uint32_t*, int, const sAffineStage&);
  void (*blend)(std::uint32_t*, const std::uint32_t*, int, std::uint32_t);
  void (*blendOnFill)(std::uint32_t*, const std::uint32_t*, int, std::uint32_t);
  void (*affineBlend)(std::uint32_t*, const std::uint32_t*, int, const sAffineStage&, std::uint32_t);
  void (*affineBlendOnFill)(std::uint32_t*, const std::uint32_t*, int, const sAffineStage&, std::uint32_t);
};

constexpr sRowKernelTable kPortableRows{portable::Affine, portable::Blend<false>, portable::Blend<true>,
                                        portable::AffineBlend<false>, portable::AffineBlend<true>};
#if defined(__SSE2__)
constexpr sRowKernelTable kSse2Rows{sse2::Affine, sse2::Blend<false>, sse2::Blend<true>, sse2::AffineBlend<false>,
                                    sse2::AffineBlend<true>};
#endif
#if KESTROVA_ROWS_AVX2
constexpr sRowKernelTable kAvx2Rows{avx2::Affine, avx2::Blend<false>, avx2::Blend<true>, avx2::AffineBlend<false>,
                                    avx2::AffineBlend<true>};
#endif

const sRowKernelTable& RowKernelTable(eRowKernels set) {
  switch (set) {
#if KESTROVA_ROWS_AVX2
    case eRowKernels::Avx2:
      return kAvx2Rows;
#endif
#if defined(__SSE2__)
    case eRowKernels::Sse2:
      return kSse2Rows;
#endif
    default:
      return kPortableRows;
  }
}

eRowKernels DetectRowKernels() {
#if KESTROVA_ROWS_AVX2
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) return eRowKernels::Avx2;
#endif
#if defined(__SSE2__)
  return eRowKernels::Sse2;
#else
  return eRowKernels::Portable;
#endif
}

struct sRowKernelChoice {
  eRowKernels widest = DetectRowKernels();
  std::atomic<eRowKernels> set{widest};
  std::atomic<const sRowKernelTable*> table{&RowKernelTable(widest)};
};

sRowKernelChoice& RowKernelChoice() {
  static sRowKernelChoice choice;
  return choice;
}

inline const sRowKernelTable& Rows() { return *RowKernelChoice().table.load(std::memory_order_relaxed); }

}  // namespace

void AffineRow(std::uint32_t* out, const std::uint32_t* in, int count, const sAffineStage& f) {
  Rows().affine(out, in, count, f);
}

void BlendRow(std::uint32_t* out, const std::uint32_t* in, int count, const std::uint32_t* fill) {
  if (fill != nullptr) {
    Rows().blendOnFill(out, in, count, *fill);
  } else {
    Rows().blend(out, in, count, 0);
  }
}

void AffineBlendRow(std::uint32_t* out, const std::uint32_t* in, int count, const sAffineStage& f,
                    const std::uint32_t* fill) {
  if (fill != nullptr) {
    Rows().affineBlendOnFill(out, in, count, f, *fill);
  } else {
    Rows().affineBlend(out, in, count, f, 0);
  }
}

eRowKernels WidestRowKernels() { return RowKernelChoice().widest; }

eRowKernels UseRowKernels(eRowKernels set) {
  sRowKernelChoice& choice = RowKernelChoice();
  if (static_cast<int>(set) > static_cast<int>(choice.widest)) set = choice.widest;
  choice.table.store(&RowKernelTable(set), std::memory_order_relaxed);
  return choice.set.exchange(set, std::memory_order_relaxed);
}

}  // namespace plat

// Sources compile in batches: the macros end with this file.
#undef KESTROVA_AVX2
#undef KESTROVA_ROWS_AVX2
