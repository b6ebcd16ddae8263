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
// AVX2: eight pixels a step. The blend multiplies source and destination
// bytes in pairs (vpmaddubsw): with each byte x stored as x - 128 (signed),
// a (s - 128) + (255 - a)(d - 128) = s a + d (255 - a) - 32640, which fits
// 16 signed bits, and adding 32768 gives the rounding sum s a + d (255 - a)
// + 128 that Div255 takes. Each helper carries the target attribute, since
// only such functions may use the AVX2 instructions.

#if KESTROVA_ROWS_AVX2
namespace avx2 {

KESTROVA_AVX2 inline __m256i Load(const std::uint32_t* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
KESTROVA_AVX2 inline void Store(std::uint32_t* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
KESTROVA_AVX2 inline __m256i Div255(__m256i t) { return _mm256_mulhi_epu16(t, _mm256_set1_epi16(257)); }

// An affine stage as 16-bit lanes in pixel byte order, twice per 128 bits.
struct sAffineLanes {
  __m256i mul;
  __m256i add;  // with the 128 of the rounding division
};

KESTROVA_AVX2 inline sAffineLanes AffineLanesOf(const sAffineStage& f) {
  short mul[4], add[4];
  for (int c = 0; c < 4; ++c) {
    mul[c] = static_cast<short>(f.channel[c].mul);
    add[c] = static_cast<short>(f.channel[c].add + 128);
  }
  return {_mm256_setr_epi16(mul[0], mul[1], mul[2], mul[3], mul[0], mul[1], mul[2], mul[3], mul[0], mul[1], mul[2],
                            mul[3], mul[0], mul[1], mul[2], mul[3]),
          _mm256_setr_epi16(add[0], add[1], add[2], add[3], add[0], add[1], add[2], add[3], add[0], add[1], add[2],
                            add[3], add[0], add[1], add[2], add[3])};
}

KESTROVA_AVX2 inline __m256i Shade(__m256i texels, const sAffineLanes& f) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i lo = Div255(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(texels, zero), f.mul), f.add));
  const __m256i hi = Div255(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(texels, zero), f.mul), f.add));
  return _mm256_packus_epi16(lo, hi);
}

// s blended by its alpha over d, every channel.
KESTROVA_AVX2 inline __m256i Blend(__m256i s, __m256i d) {
  const __m256i bias = _mm256_set1_epi8(static_cast<char>(0x80));
  const __m256i sb = _mm256_xor_si256(s, bias);
  const __m256i db = _mm256_xor_si256(d, bias);
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

// Blends four groups of eight shaded pixels over out (or over `under`).
// Four groups all transparent are left as they are and four all opaque
// stored, without the arithmetic: sprites are mostly such runs. The test is
// made per 32 pixels, not per group, so that mixed rows run without
// branches that mispredict.
template <bool kOnFill>
KESTROVA_AVX2 inline void BlendGroupInto(std::uint32_t* out, __m256i s, __m256i under) {
  Store(out, Blend(s, kOnFill ? under : Load(out)));
}

template <bool kOnFill>
KESTROVA_AVX2 inline void BlendBlockInto(std::uint32_t* out, __m256i s0, __m256i s1, __m256i s2, __m256i s3,
                                         __m256i under) {
  const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
  const __m256i any = _mm256_or_si256(_mm256_or_si256(s0, s1), _mm256_or_si256(s2, s3));
  const __m256i all = _mm256_and_si256(_mm256_and_si256(s0, s1), _mm256_and_si256(s2, s3));
  if (_mm256_testz_si256(any, alphaMask)) {
    if constexpr (kOnFill) {
      Store(out, under);
      Store(out + 8, under);
      Store(out + 16, under);
      Store(out + 24, under);
    }
    return;
  }
  if (_mm256_testc_si256(all, alphaMask)) {
    Store(out, s0);
    Store(out + 8, s1);
    Store(out + 16, s2);
    Store(out + 24, s3);
    return;
  }
  BlendGroupInto<kOnFill>(out, s0, under);
  BlendGroupInto<kOnFill>(out + 8, s1, under);
  BlendGroupInto<kOnFill>(out + 16, s2, under);
  BlendGroupInto<kOnFill>(out + 24, s3, under);
}

KESTROVA_AVX2 void Affine(std::uint32_t* out, const std::uint32_t* in, int count, const sAffineStage& f) {
  const sAffineLanes lanes = AffineLanesOf(f);
  int k = 0;
  for (; k + 8 <= count; k += 8) Store(out + k, Shade(Load(in + k), lanes));
  sse2::Affine(out + k, in + k, count - k, f);
}

template <bool kOnFill>
KESTROVA_AVX2 void Blend(std::uint32_t* out, const std::uint32_t* in, int count, std::uint32_t fill) {
  const __m256i under = _mm256_set1_epi32(static_cast<int>(fill));
  int k = 0;
  for (; k + 32 <= count; k += 32) {
    BlendBlockInto<kOnFill>(out + k, Load(in + k), Load(in + k + 8), Load(in + k + 16), Load(in + k + 24), under);
  }
  for (; k + 8 <= count; k += 8) BlendGroupInto<kOnFill>(out + k, Load(in + k), under);
  sse2::Blend<kOnFill>(out + k, in + k, count - k, fill);
}

template <bool kOnFill>
KESTROVA_AVX2 void AffineBlend(std::uint32_t* out, const std::uint32_t* in, int count, const sAffineStage& f,
                               std::uint32_t fill) {
  const sAffineLanes lanes = AffineLanesOf(f);
  const __m256i under = _mm256_set1_epi32(static_cast<int>(fill));
  int k = 0;
  for (; k + 32 <= count; k += 32) {
    BlendBlockInto<kOnFill>(out + k, Shade(Load(in + k), lanes), Shade(Load(in + k + 8), lanes),
                            Shade(Load(in + k + 16), lanes), Shade(Load(in + k + 24), lanes), under);
  }
  for (; k + 8 <= count; k += 8) BlendGroupInto<kOnFill>(out + k, Shade(Load(in + k), lanes), under);
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
