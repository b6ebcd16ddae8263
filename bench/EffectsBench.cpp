// The drawing layer's per-pixel effects over a 640 x 480 screen, side by side
// in one run with a plain screen copy through the same layer (these machines
// are noisy: compare the figures of one run with each other, not across runs).
//
//   Copy                 DDBlt of the whole screen: the reference
//   Blur/2, Blur/16      DDBlur at radius 2 and 16; running sums keep the two
//                        close, where summing each box grows with the radius
//   BlurCellByCell/2     the box of every pixel summed cell by cell, for scale
//   Mosaic/8             DDMosaic in blocks of 8 (DirectDraw averages)
//   Lens/200             DDLens of radius 200, depth 100
//   Rotate/30            DDRotate by 30 degrees on pixels (DirectDraw), and as
//   RotateQuad/30        the textured quad of Direct3D

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "graphics/Blit.h"
#include "graphics/BlurMosaic.h"
#include "graphics/DrawContext.h"
#include "graphics/GeometricEffects.h"
#include "platform/Presenter.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

int DriverVersionNine() { return 9; }

// A running layer with a screen-size picture to draw from.
class cEffectScreen {
 public:
  explicit cEffectScreen(bool direct3D) {
    DDResetLayerForTests();
    DDSetDriverVersionQueryForTests(&DriverVersionNine);
    DDSetPresenter(&m_Presenter);
    m_Started = DDInit(direct3D ? 1 : 0, nullptr, kWidth, kHeight, 32, 0, 1, 1, 60, 0, nullptr, nullptr, 0, 0) &&
                DDCreateSurface(&m_Picture, kWidth, kHeight, 0, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0);
    if (!m_Started) return;
    // Colour noise: nothing an effect could skip.
    plat::cPixelSurface& px = *m_Picture.Pixels();
    std::uint32_t state = 1;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        state = state * 214013u + 2531011u;
        px.SetPixel(x, y, 0xFF000000u | (state >> 8 & 0xFFFFFFu));
      }
    }
  }
  ~cEffectScreen() {
    DDReleaseSurface(&m_Picture);
    DDResetLayerForTests();
    DDSetPresenter(nullptr);
  }
  bool Started() const { return m_Started; }
  DDSURFACEDATA* Picture() { return &m_Picture; }

 private:
  plat::cNullPresenter m_Presenter;
  DDSURFACEDATA m_Picture;
  bool m_Started = false;
};

void CountPixels(benchmark::State& state) {
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kWidth * kHeight);
}

void Copy(benchmark::State& state) {
  cEffectScreen screen(false);
  if (!screen.Started()) return state.SkipWithError("the layer did not start");
  for (auto _ : state) benchmark::DoNotOptimize(DDBlt(&BackBuffer, 0, 0, kWidth, kHeight, screen.Picture(), 0, 0, 0));
  CountPixels(state);
}

void Blur(benchmark::State& state) {
  const int radius = static_cast<int>(state.range(0));
  cEffectScreen screen(false);
  if (!screen.Started()) return state.SkipWithError("the layer did not start");
  for (auto _ : state) {
    benchmark::DoNotOptimize(DDBlur(&BackBuffer, 0, 0, kWidth, kHeight, radius, radius, screen.Picture(), 0, 0, 0));
  }
  CountPixels(state);
}

// Each box summed cell by cell, on the same pixels.
void BlurCellByCell(benchmark::State& state) {
  const int radius = static_cast<int>(state.range(0));
  cEffectScreen screen(false);
  if (!screen.Started()) return state.SkipWithError("the layer did not start");
  const plat::cPixelSurface& src = *screen.Picture()->Pixels();
  plat::cPixelSurface& dst = *BackBuffer.Pixels();
  for (auto _ : state) {
    for (int j = 0; j < kHeight; ++j) {
      std::uint32_t* out = dst.Pixels32() + static_cast<std::size_t>(j) * kWidth;
      for (int k = 0; k < kWidth; ++k) {
        std::uint32_t r = 0, g = 0, b = 0, n = 0;
        for (int jj = std::max(0, j - radius); jj < std::min(kHeight, j + radius); ++jj) {
          const std::uint32_t* row = src.Pixels32() + static_cast<std::size_t>(jj) * kWidth;
          for (int kk = std::max(0, k - radius); kk < std::min(kWidth, k + radius); ++kk) {
            r += row[kk] >> 16 & 0xFF;
            g += row[kk] >> 8 & 0xFF;
            b += row[kk] & 0xFF;
            ++n;
          }
        }
        out[k] = (out[k] & 0xFF000000u) | (r / n) << 16 | (g / n) << 8 | b / n;
      }
    }
    benchmark::ClobberMemory();
  }
  CountPixels(state);
}

void Mosaic(benchmark::State& state) {
  const int block = static_cast<int>(state.range(0));
  cEffectScreen screen(false);
  if (!screen.Started()) return state.SkipWithError("the layer did not start");
  for (auto _ : state) {
    benchmark::DoNotOptimize(DDMosaic(&BackBuffer, 0, 0, kWidth, kHeight, block, screen.Picture(), 0, 0, 0));
  }
  CountPixels(state);
}

void Lens(benchmark::State& state) {
  const int radius = static_cast<int>(state.range(0));
  cEffectScreen screen(false);
  if (!screen.Started()) return state.SkipWithError("the layer did not start");
  for (auto _ : state) {
    benchmark::DoNotOptimize(DDLens(&BackBuffer, 320, 240, radius, radius / 2, screen.Picture(), 320, 240, 0, 0));
  }
  CountPixels(state);
}

void RotateOn(benchmark::State& state, bool direct3D) {
  const int angle = static_cast<int>(state.range(0));
  cEffectScreen screen(direct3D);
  if (!screen.Started()) return state.SkipWithError("the layer did not start");
  for (auto _ : state) {
    benchmark::DoNotOptimize(DDRotate(&BackBuffer, 320, 240, kWidth, kHeight, kWidth / 2, kHeight / 2, angle,
                                      screen.Picture(), 0, 0, 0));
  }
  CountPixels(state);
}

void Rotate(benchmark::State& state) { RotateOn(state, false); }
void RotateQuad(benchmark::State& state) { RotateOn(state, true); }

}  // namespace

BENCHMARK(Copy);
BENCHMARK(Blur)->Arg(2)->Arg(16);
BENCHMARK(BlurCellByCell)->Arg(2);
BENCHMARK(Mosaic)->Arg(8);
BENCHMARK(Lens)->Arg(200);
BENCHMARK(Rotate)->Arg(30);
BENCHMARK(RotateQuad)->Arg(30);

BENCHMARK_MAIN();
