// The software device's blit kernels against SDL's blitter and memcpy, on the
// same 640 x 480 surfaces in one run (these machines are noisy: compare the
// figures of one run with each other, not across runs).
//
// Groups, each "Ours" against its references:
//   KeyedBlit   640x480 keyed copy      vs SDL_BlitSurface with a colour key
//   Copy        640x480 opaque copy     vs SDL_BlitSurface and memcpy
//   Stretch     320x240 -> 640x480      vs SDL_BlitScaled
//   AlphaBlend  640x480 per-pixel alpha vs SDL_BlitSurface with blending
//   RotatedQuad 640x480 turned 30 degrees (no SDL counterpart)
//   TexturedQuad 640x480 textured rectangles in the stage states the drawing
//               layer uses most, each beside memcpy of the same bytes:
//               the texture as it is, modulated by a constant diffuse or
//               texture factor (stored, or blended by the result's alpha),
//               blended by the texel's alpha, over the clear of an opaque
//               keyed blit, a constant colour, and the screen tinted in place

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "platform/SoftwareDevice.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr std::uint32_t kKey = 0x00FF00FF;

// A picture like a sprite sheet: runs of key colour between runs of colour,
// about a third of the pixels keyed.
void PaintSheet(plat::cPixelSurface& s, bool withAlpha) {
  const plat::sPixelLock lock = s.Lock();
  for (int y = 0; y < lock.height; ++y) {
    std::uint32_t* row = lock.Row32(y);
    for (int x = 0; x < lock.width; ++x) {
      const bool keyed = ((x / 7 + y / 5) % 3) == 0;
      const std::uint32_t colour = static_cast<std::uint32_t>((x * 3) & 0xFF) << 16 |
                                   static_cast<std::uint32_t>((y * 5) & 0xFF) << 8 | 0x40;
      if (withAlpha) {
        const std::uint32_t alpha = keyed ? 0 : (((x + y) / 11) % 2 == 0 ? 255u : 128u);
        row[x] = alpha << 24 | colour;
      } else {
        row[x] = keyed ? kKey : colour;
      }
    }
  }
}

struct sFixture {
  plat::cPixelSurface src;
  plat::cPixelSurface small;
  plat::cPixelSurface dst;
  SDL_Surface* sdlSrc = nullptr;
  SDL_Surface* sdlSmall = nullptr;
  SDL_Surface* sdlDst = nullptr;

  explicit sFixture(bool withAlpha) {
    src.Create(kWidth, kHeight, plat::ePixelDepth::Argb32);
    small.Create(kWidth / 2, kHeight / 2, plat::ePixelDepth::Argb32);
    dst.Create(kWidth, kHeight, plat::ePixelDepth::Argb32);
    PaintSheet(src, withAlpha);
    PaintSheet(small, withAlpha);
    plat::FillRect(dst, 0, 0, kWidth, kHeight, 0xFF203040);
    // SDL works on the very same pixel memory.
    const Uint32 format = withAlpha ? SDL_PIXELFORMAT_ARGB8888 : SDL_PIXELFORMAT_RGB888;
    sdlSrc = SDL_CreateRGBSurfaceWithFormatFrom(src.Pixels32(), kWidth, kHeight, 32, kWidth * 4, format);
    sdlSmall = SDL_CreateRGBSurfaceWithFormatFrom(small.Pixels32(), kWidth / 2, kHeight / 2, 32, kWidth * 2, format);
    sdlDst = SDL_CreateRGBSurfaceWithFormatFrom(dst.Pixels32(), kWidth, kHeight, 32, kWidth * 4, format);
    const SDL_BlendMode mode = withAlpha ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE;
    SDL_SetSurfaceBlendMode(sdlSrc, mode);
    SDL_SetSurfaceBlendMode(sdlSmall, mode);
  }
  ~sFixture() {
    SDL_FreeSurface(sdlSrc);
    SDL_FreeSurface(sdlSmall);
    SDL_FreeSurface(sdlDst);
  }
};

void CountBytes(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kWidth * kHeight * 4);
}

// --- keyed 640x480 ----------------------------------------------------------

void KeyedBlit_Ours(benchmark::State& state) {
  sFixture f(false);
  const plat::sCopyRect r{0, 0, kWidth, kHeight, 0, 0, kWidth, kHeight, plat::eKeyTest::ExactValue, kKey};
  for (auto _ : state) {
    plat::CopyRect(f.dst, f.src, r);
    benchmark::ClobberMemory();
  }
  CountBytes(state);
}

void KeyedBlit_SDL(benchmark::State& state) {
  sFixture f(false);
  SDL_SetColorKey(f.sdlSrc, SDL_TRUE, kKey);
  for (auto _ : state) {
    SDL_BlitSurface(f.sdlSrc, nullptr, f.sdlDst, nullptr);
    benchmark::ClobberMemory();
  }
  CountBytes(state);
}

void KeyedBlitMirrored_Ours(benchmark::State& state) {
  sFixture f(false);
  const plat::sCopyRect r{0, 0, kWidth, kHeight, kWidth, 0, -kWidth, kHeight, plat::eKeyTest::ExactValue, kKey};
  for (auto _ : state) {
    plat::CopyRect(f.dst, f.src, r);
    benchmark::ClobberMemory();
  }
  CountBytes(state);
}

// --- opaque 640x480 ---------------------------------------------------------

void Copy_Ours(benchmark::State& state) {
  sFixture f(false);
  const plat::sCopyRect r{0, 0, kWidth, kHeight, 0, 0, kWidth, kHeight};
  for (auto _ : state) {
    plat::CopyRect(f.dst, f.src, r);
    benchmark::ClobberMemory();
  }
  CountBytes(state);
}

void Copy_SDL(benchmark::State& state) {
  sFixture f(false);
  for (auto _ : state) {
    SDL_BlitSurface(f.sdlSrc, nullptr, f.sdlDst, nullptr);
    benchmark::ClobberMemory();
  }
  CountBytes(state);
}

void Copy_Memcpy(benchmark::State& state) {
  sFixture f(false);
  for (auto _ : state) {
    std::memcpy(f.dst.Pixels32(), f.src.Pixels32(), std::size_t{kWidth} * kHeight * 4);
    benchmark::ClobberMemory();
  }
  CountBytes(state);
}

// The textured path's opaque copy (the virtual back buffer's flush).
void CopyTextured_Ours(benchmark::State& state) {
  sFixture f(false);
  plat::sStageState stage;
  stage.alphaOp = plat::TextureOp::Disable;
  for (auto _ : state) {
    plat::DrawTexturedRect(f.dst, 0, 0, kWidth, kHeight, &f.src, 0, 0, kWidth, kHeight, stage);
    benchmark::ClobberMemory();
  }
  CountBytes(state);
}

// --- stretch 320x240 -> 640x480 --------------------------------------------

void Stretch_Ours(benchmark::State& state) {
  sFixture f(false);
  const plat::sCopyRect r{0, 0, kWidth, kHeight, 0, 0, kWidth / 2, kHeight / 2};
  for (auto _ : state) {
    plat::CopyRect(f.dst, f.small, r);
    benchmark::ClobberMemory();
  }
  CountBytes(state);
}

void Stretch_SDL(benchmark::State& state) {
  sFixture f(false);
  SDL_Rect target{0, 0, kWidth, kHeight};
  for (auto _ : state) {
    SDL_BlitScaled(f.sdlSmall, nullptr, f.sdlDst, &target);
    benchmark::ClobberMemory();
  }
  CountBytes(state);
}

void StretchKeyed_Ours(benchmark::State& state) {
  sFixture f(false);
  const plat::sCopyRect r{0, 0, kWidth, kHeight, 0, 0, kWidth / 2, kHeight / 2, plat::eKeyTest::ExactValue, kKey};
  for (auto _ : state) {
    plat::CopyRect(f.dst, f.small, r);
    benchmark::ClobberMemory();
  }
  CountBytes(state);
}

void StretchKeyed_SDL(benchmark::State& state) {
  sFixture f(false);
  SDL_SetColorKey(f.sdlSmall, SDL_TRUE, kKey);
  SDL_Rect target{0, 0, kWidth, kHeight};
  for (auto _ : state) {
    SDL_BlitScaled(f.sdlSmall, nullptr, f.sdlDst, &target);
    benchmark::ClobberMemory();
  }
  CountBytes(state);
}

// --- alpha blend 640x480 ----------------------------------------------------

void AlphaBlend_Ours(benchmark::State& state) {
  sFixture f(true);
  const plat::sStageState stage;  // modulate with white: the texel and its alpha
  for (auto _ : state) {
    plat::DrawTexturedRect(f.dst, 0, 0, kWidth, kHeight, &f.src, 0, 0, kWidth, kHeight, stage);
    benchmark::ClobberMemory();
  }
  CountBytes(state);
}

void AlphaBlend_SDL(benchmark::State& state) {
  sFixture f(true);
  for (auto _ : state) {
    SDL_BlitSurface(f.sdlSrc, nullptr, f.sdlDst, nullptr);
    benchmark::ClobberMemory();
  }
  CountBytes(state);
}

// A diffuse alpha on top (fades, translucent sprites): the general stage path.
void AlphaBlendModulated_Ours(benchmark::State& state) {
  sFixture f(true);
  plat::sStageState stage;
  stage.alphaOp = plat::TextureOp::Modulate;
  stage.diffuse = 0x80FFFFFF;
  for (auto _ : state) {
    plat::DrawTexturedRect(f.dst, 0, 0, kWidth, kHeight, &f.src, 0, 0, kWidth, kHeight, stage);
    benchmark::ClobberMemory();
  }
  CountBytes(state);
}

void AlphaBlendModulated_SDL(benchmark::State& state) {
  sFixture f(true);
  SDL_SetSurfaceAlphaMod(f.sdlSrc, 128);
  for (auto _ : state) {
    SDL_BlitSurface(f.sdlSrc, nullptr, f.sdlDst, nullptr);
    benchmark::ClobberMemory();
  }
  CountBytes(state);
}

// --- rotation: a 640x480 picture turned by 30 degrees about the centre -------

void RotatedQuad_Ours(benchmark::State& state) {
  sFixture f(true);
  const double angle = 30.0 * 3.14159265358979 / 180.0;
  const double c = std::cos(angle), s = std::sin(angle);
  plat::sQuadVertex quad[4];
  const double corners[4][2] = {{-320, -240}, {-320, 240}, {320, -240}, {320, 240}};
  for (int i = 0; i < 4; ++i) {
    const double dx = corners[i][0], dy = corners[i][1];
    quad[i].x = static_cast<float>(320 + dx * c - dy * s - 0.5);
    quad[i].y = static_cast<float>(240 + dx * s + dy * c - 0.5);
    quad[i].u = static_cast<float>(dx + 320);
    quad[i].v = static_cast<float>(dy + 240);
  }
  const plat::sStageState stage;
  for (auto _ : state) {
    plat::DrawTexturedQuad(f.dst, quad, &f.src, stage);
    benchmark::ClobberMemory();
  }
  CountBytes(state);
}

// --- textured rectangles 640x480, each beside a plain copy -------------------

void TexturedQuad_CopyReference(benchmark::State& state) { Copy_Memcpy(state); }

// Draws the fixture's alpha sheet over the destination with `stage`.
void RunTexturedQuad(benchmark::State& state, const plat::sStageState& stage, bool withTexture = true) {
  sFixture f(true);
  const plat::cPixelSurface* texture = withTexture ? &f.src : nullptr;
  for (auto _ : state) {
    plat::DrawTexturedRect(f.dst, 0, 0, kWidth, kHeight, texture, 0, 0, kWidth, kHeight, stage);
    benchmark::ClobberMemory();
  }
  CountBytes(state);
}

plat::sStageState StageOf(std::uint32_t colorOp, std::uint32_t alphaOp, bool blend) {
  plat::sStageState stage;
  stage.colorOp = colorOp;
  stage.alphaOp = alphaOp;
  stage.alphaBlend = blend;
  return stage;
}

void TexturedQuad_AsItIs(benchmark::State& state) {
  RunTexturedQuad(state, StageOf(plat::TextureOp::SelectArg1, plat::TextureOp::SelectArg1, false));
}

void TexturedQuad_ModulatedByDiffuse(benchmark::State& state) {
  plat::sStageState stage = StageOf(plat::TextureOp::Modulate, plat::TextureOp::Modulate, false);
  stage.diffuse = 0xC080A0FF;
  RunTexturedQuad(state, stage);
}

void TexturedQuad_ModulatedByFactor(benchmark::State& state) {
  plat::sStageState stage = StageOf(plat::TextureOp::BlendFactorAlpha, plat::TextureOp::SelectArg1, false);
  stage.colorArg2 = plat::eStageArg::TextureFactor;
  stage.textureFactor = 0x60FF2040;
  RunTexturedQuad(state, stage);
}

void TexturedQuad_SourceAlphaBlend(benchmark::State& state) {
  RunTexturedQuad(state, StageOf(plat::TextureOp::Modulate, plat::TextureOp::SelectArg1, true));
}

void TexturedQuad_ModulatedAndBlended(benchmark::State& state) {
  plat::sStageState stage = StageOf(plat::TextureOp::Modulate, plat::TextureOp::Modulate, true);
  stage.diffuse = 0xC080A0FF;
  RunTexturedQuad(state, stage);
}

void TexturedQuad_ConstantFill(benchmark::State& state) {
  plat::sStageState stage = StageOf(plat::TextureOp::Modulate, plat::TextureOp::Modulate, true);
  stage.diffuse = 0xFF336699;
  RunTexturedQuad(state, stage, false);
}

// An opaque blit of a keyed sheet: its rectangle cleared, then blended.
void TexturedQuad_OverClear(benchmark::State& state) {
  sFixture f(true);
  const plat::sStageState stage;
  for (auto _ : state) {
    plat::DrawTexturedRectOnFill(f.dst, 0, 0, kWidth, kHeight, 0xFF00FF00, &f.src, 0, 0, kWidth, kHeight, stage);
    benchmark::ClobberMemory();
  }
  CountBytes(state);
}

// The screen tint: the destination modulated by a colour and blended over
// itself, in place. The screen is put back opaque between runs, as a back
// buffer is: the sheet's own alpha is 0 throughout, and a tint of pixels at
// alpha 0 would measure nothing but the test that leaves them.
void TexturedQuad_TintInPlace(benchmark::State& state) {
  sFixture f(false);
  plat::sStageState stage = StageOf(plat::TextureOp::Modulate, plat::TextureOp::Modulate, true);
  stage.diffuse = 0x80FF4020;
  const plat::sStageState restore = StageOf(plat::TextureOp::SelectArg1, plat::TextureOp::Disable, false);
  for (auto _ : state) {
    plat::DrawTexturedRect(f.dst, 0, 0, kWidth, kHeight, &f.dst, 0, 0, kWidth, kHeight, stage);
    benchmark::ClobberMemory();
    state.PauseTiming();
    plat::DrawTexturedRect(f.dst, 0, 0, kWidth, kHeight, &f.src, 0, 0, kWidth, kHeight, restore);
    state.ResumeTiming();
  }
  CountBytes(state);
}

}  // namespace

BENCHMARK(KeyedBlit_Ours);
BENCHMARK(KeyedBlit_SDL);
BENCHMARK(KeyedBlitMirrored_Ours);
BENCHMARK(Copy_Ours);
BENCHMARK(Copy_SDL);
BENCHMARK(Copy_Memcpy);
BENCHMARK(CopyTextured_Ours);
BENCHMARK(Stretch_Ours);
BENCHMARK(Stretch_SDL);
BENCHMARK(StretchKeyed_Ours);
BENCHMARK(StretchKeyed_SDL);
BENCHMARK(AlphaBlend_Ours);
BENCHMARK(AlphaBlend_SDL);
BENCHMARK(AlphaBlendModulated_Ours);
BENCHMARK(AlphaBlendModulated_SDL);
BENCHMARK(RotatedQuad_Ours);
BENCHMARK(TexturedQuad_CopyReference);
BENCHMARK(TexturedQuad_AsItIs);
BENCHMARK(TexturedQuad_ModulatedByDiffuse);
BENCHMARK(TexturedQuad_ModulatedByFactor);
BENCHMARK(TexturedQuad_SourceAlphaBlend);
BENCHMARK(TexturedQuad_ModulatedAndBlended);
BENCHMARK(TexturedQuad_ConstantFill);
BENCHMARK(TexturedQuad_OverClear);
BENCHMARK(TexturedQuad_TintInPlace);

BENCHMARK_MAIN();
