#pragma once
// The row kernels of textured drawing. Each runs over one run of 32-bit ARGB
// pixels and gives exactly the bytes of the per-pixel functions of the
// drawing device (EvaluateStage, BlendSourceAlpha), for every texel and
// destination value:
//
//   AffineRow       out[k] = the affine stage f of in[k]
//   BlendRow        out[k] = in[k] blended by its own alpha over out[k]
//                   (over *fill instead when fill is given)
//   AffineBlendRow  out[k] = f(in[k]) blended by its alpha over out[k]
//                   (or over *fill), shaded and blended in one pass
//
// in and out may be the same array (a surface shaded in place); any other
// overlap is not allowed. Blending skips no arithmetic it needs: alpha 0
// leaves the destination and 255 stores the source exactly as the rule gives.
//
// Every kernel is built three times: a portable loop, four pixels at a step
// with SSE2 and eight with AVX2. The widest set that the processor runs is
// chosen once; the narrower sets stay in use where AVX2 (or SSE2) is not
// there, so tests run each of them on this machine through UseRowKernels.

#include <cstdint>

namespace plat {

// One channel of a stage result that is an affine function of the texel's
// channel t: (t * mul + add + 127) / 255. Every operation whose second
// argument and weight are constants for the whole draw has this form:
//   select texel   mul 255, add 0          modulate by k   mul k,  add 0
//   a constant c   mul 0,   add 255 c      blend toward k  mul w,  add k (255 - w)
// and t * mul + add never exceeds 255 * 255.
struct sAffineChannel {
  std::uint32_t mul = 255;
  std::uint32_t add = 0;
};

// The four channels in the order of the bytes of a pixel: blue, green, red,
// alpha.
struct sAffineStage {
  sAffineChannel channel[4];
};

void AffineRow(std::uint32_t* out, const std::uint32_t* in, int count, const sAffineStage& f);
void BlendRow(std::uint32_t* out, const std::uint32_t* in, int count, const std::uint32_t* fill = nullptr);
void AffineBlendRow(std::uint32_t* out, const std::uint32_t* in, int count, const sAffineStage& f,
                    const std::uint32_t* fill = nullptr);

// The kernel sets, narrowest first.
enum class eRowKernels : std::uint8_t { Portable, Sse2, Avx2 };

// The widest set this build and this processor run.
eRowKernels WidestRowKernels();

// Puts `set` in use (a set wider than WidestRowKernels gives the widest) and
// returns the set that was in use. For tests that compare the sets; the
// player keeps the widest. Not to be called while another thread draws.
eRowKernels UseRowKernels(eRowKernels set);

}  // namespace plat
