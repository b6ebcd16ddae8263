#include "platform/PixelRows.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace plat {

void FillRow32(std::uint32_t* out, int count, std::uint32_t value) {
  int k = 0;
#if defined(__SSE2__)
  const __m128i lanes = _mm_set1_epi32(static_cast<int>(value));
  for (; k + 4 <= count; k += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), lanes);
#endif
  for (; k < count; ++k) out[k] = value;
}

void StoreOpaqueRow(std::uint32_t* __restrict out, const std::uint32_t* __restrict in, int count) {
  int k = 0;
#if defined(__SSE2__)
  const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  for (; k + 4 <= count; k += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), _mm_or_si128(s, alpha));
  }
#endif
  for (; k < count; ++k) out[k] = in[k] | 0xFF000000u;
}

}  // namespace plat
