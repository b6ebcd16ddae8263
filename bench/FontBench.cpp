// A line of text drawn through the glyph caches against the same line drawn
// by the font engine every time, with the IPA fonts, on both back ends, side
// by side in one run (these machines are noisy: compare the figures of one
// run with each other, not across runs).
//
// The line: 40 characters, 17 of them double-byte (kana, katakana and kanji,
// some in the cache's default set, the kanji added on first use), the rest
// ASCII and half-width katakana, in the 16-dot font onto the 640 x 480
// back buffer.
//
//   <Road>_Cached  cache mode 1: each character a blit of its cached cell
//   <Road>_Engine  cache mode 0: each character rendered by FreeType

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "data/FontNameTable.h"
#include "graphics/DrawContext.h"
#include "graphics/Font.h"
#include "graphics/Palette.h"
#include "graphics/SurfaceFill.h"

namespace {

constexpr const char* kLine = "Stage 1-2 ステージの始まり ｽｺｱ 012345 ボスを倒して進め！!";
constexpr int kLineCharacters = 40;

int DriverVersion() { return 9; }

// A running back end at 640 x 480 with the game's palette colours the font
// uses, and the 16-dot font as start-up makes it, with the cache mode asked.
class cTextBench {
 public:
  cTextBench(bool direct3D, int cacheMode) {
    DDSetDriverVersionQueryForTests(&DriverVersion);
    if (!DDInit(direct3D ? 1 : 0, nullptr, 640, 480, 32, 0, 1, 1, 60, 0, nullptr, nullptr, 0, 0)) {
      std::fprintf(stderr, "the drawing layer does not start\n");
      std::abort();
    }
    DDSetTransmit(255, 0, 255);
    g_Palette[0] = {255, 0, 255, 0};
    g_Palette[3] = {20, 40, 80, 0};
    g_Palette[241] = {250, 250, 250, 0};
    const FONTDEF& def = g_FontDef[1];
    if (!m_Font.Create(FontFaceName(kDefaultFontFaceIndex), def.nWidth, def.nHeight, def.nCellWidth,
                       def.nCellHeight, def.dwColor, nullptr, def.nFrame, def.dwFrameColor, nullptr, cacheMode)) {
      std::fprintf(stderr, "the IPA fonts are missing\n");
      std::abort();
    }
    DDFillSurfacePal(&BackBuffer, 3);
    m_Font.Draw(&BackBuffer, 8, 200, kLine);  // the kanji take their cells now
  }
  ~cTextBench() {
    m_Font.Release();
    DDUnInit();
  }

  void Draw() { m_Font.Draw(&BackBuffer, 8, 200, kLine); }

 private:
  Font m_Font;
};

void DrawLine(benchmark::State& state, bool direct3D, int cacheMode) {
  cTextBench bench(direct3D, cacheMode);
  for (auto _ : state) {
    bench.Draw();
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kLineCharacters);
}

void Direct3D_Cached(benchmark::State& state) { DrawLine(state, true, 1); }
void Direct3D_Engine(benchmark::State& state) { DrawLine(state, true, 0); }
void DirectDraw_Cached(benchmark::State& state) { DrawLine(state, false, 1); }
void DirectDraw_Engine(benchmark::State& state) { DrawLine(state, false, 0); }

}  // namespace

BENCHMARK(Direct3D_Cached);
BENCHMARK(Direct3D_Engine);
BENCHMARK(DirectDraw_Cached);
BENCHMARK(DirectDraw_Engine);

BENCHMARK_MAIN();
