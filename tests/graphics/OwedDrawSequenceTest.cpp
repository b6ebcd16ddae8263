// Fills and colours laid over whole render targets wait until their pixels
// are next used. Random sequences of the drawing calls that owe, take or pay
// them (fills, laid colours, blits between the targets and over themselves,
// locks, the end of the frame, a device reset) run twice: once with every
// target's pixels read after each call, so nothing stays owed, and once
// straight through. What the frames show, what the locks read and what the
// targets hold at the end must be the same.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "DrawLayerTestSupport.h"
#include "graphics/Blit.h"
#include "graphics/BlurMosaic.h"
#include "graphics/Distortion.h"
#include "graphics/Primitives.h"
#include "graphics/SpriteBatch.h"
#include "graphics/ColourEffects.h"
#include "graphics/Present.h"
#include "graphics/SurfaceFill.h"

namespace owedsequence {
namespace {

using namespace drawtest;

constexpr int kWidth = 32, kHeight = 24;

struct sRun {
  std::vector<std::uint32_t> seen;  // frames shown and pixels read, in order
  std::vector<std::uint32_t> held;  // the targets at the end
  int owedFills = 0, owedLays = 0;   // steps after which a target owed
};

void Record(std::vector<std::uint32_t>& out, const plat::cPixelSurface& px) {
  for (int y = 0; y < px.Height(); ++y)
    for (int x = 0; x < px.Width(); ++x) out.push_back(px.GetPixel(x, y));
}

sRun RunSequence(std::uint32_t seed, bool payAfterEachCall, bool vsync) {
  sRun run;
  plat::cNullPresenter presenter;
  DDResetLayerForTests();
  DDSetDriverVersionQueryForTests(&DrawLayerDriverVersion);
  DDSetPresenter(&presenter);
  EXPECT_TRUE(DDInit(1, nullptr, kWidth, kHeight, 32, vsync ? 1 : 0, 1, 1, 60, 1, nullptr, nullptr, 0, 0));
  g_DrawLayer.nDisplayRefreshRate = 0;  // no wait for a display's blank
  DDSetTransmit(kKeyRed, kKeyGreen, kKeyBlue);
  DDSetVirtualBackBuffer(1);
  {
    DDSURFACEDATA plain, keyed, source;
    EXPECT_TRUE(DDCreateSurface(&plain, kWidth, kHeight, 0, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
    EXPECT_TRUE(DDCreateSurface(&keyed, kWidth, kHeight, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
    EXPECT_TRUE(DDCreateSurface(&source, 20, 14, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
    const std::uint32_t alphas[3] = {0x00000000u, 0x80000000u, 0xFF000000u};
    for (int y = 0; y < 14; ++y)
      for (int x = 0; x < 20; ++x) PixelsOf(source).SetPixel(x, y, alphas[(x + y) % 3] | (Marker(x, y) & 0xFFFFFF));
    FillAll(plain, 0xC0708090u);
    FillAll(keyed, 0x40102030u);
    FillAll(VirBackBuffer, 0xFF304050u);

    DDSURFACEDATA* targets[] = {&plain, &keyed, &BackBuffer};
    DDSURFACEDATA* sources[] = {&plain, &keyed, &BackBuffer, &source};
    std::mt19937 rng(seed);
    const auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<std::uint32_t>(n)); };
    const auto colour = [&](bool opaque) {
      const std::uint32_t a = opaque ? 0xFFu : static_cast<std::uint32_t>(pick(256));
      return a << 24 | (rng() & 0xFFFFFFu);
    };
    for (int step = 0; step < 40; ++step) {
      DDSURFACEDATA* t = targets[pick(3)];
      switch (pick(17)) {
        case 0: DDFillSurfaceRGB(t, colour(true)); break;
        case 1: DDFillSurfaceRGB(t, colour(pick(2) == 0)); break;
        case 2: DDFillRectRGB(t, pick(20) - 4, pick(16) - 4, pick(20), pick(16), colour(pick(2) == 0)); break;
        case 3: DDFillSurfacePal(t, 0); break;
        case 4: DDLayColor(t, 0, 0, kWidth, kHeight, pick(256), rng() & 0xFF, rng() & 0xFF, rng() & 0xFF); break;
        case 5: DDLayColor(t, pick(8), pick(8), pick(20), pick(16), pick(256), 10, 200, 30); break;
        case 6: {
          DDSURFACEDATA* s = sources[pick(4)];
          DDBltEx(t, pick(16) - 6, pick(12) - 4, pick(30) + 1, pick(20) + 1, s, pick(6), pick(6), pick(14) + 1,
                  pick(10) + 1, pick(2));
          break;
        }
        case 7: DDChangeColor(t, 0, 0, kWidth, kHeight, pick(256), 200, 100, 50); break;
        case 8: {
          DDSetBlendColor(pick(3) == 0 ? 0xFF808080u : 0xFFFFFFFFu);
          DDEndFrame(0, 0, 0);
          DDResetBlendColor();
          Record(run.seen, presenter.LastFrame());
          break;
        }
        case 9: {
          SurfaceLock lock(t);
          if (lock.IsLocked()) run.seen.push_back(lock.m_Lock.Row32(pick(kHeight))[pick(kWidth)]);
          break;
        }
        case 10:
          DDSimulateDeviceLoss(true);
          DDRestoreSurface();
          break;
        case 11: {
          DDBeginFillBatch();
          DDFillSurfaceRGB(t, colour(true));
          DDFillRectRGB(t, 2, 2, 5, 5, colour(false));
          DDFlushFillBatch();
          break;
        }
        case 12: {
          // Queued blits drawn at the flush, after a fill that waited.
          DDBeginSpriteBatch(0);
          DDBltEx(t, pick(10), pick(10), 20, 14, &source, 0, 0, 20, 14, pick(2));
          DDFillSurfaceRGB(t, colour(true));
          DDBltEx(t, pick(10), pick(10), 20, 14, sources[pick(4)], 0, 0, 20, 14, pick(2));
          DDFlushSpriteBatch();
          break;
        }
        case 13: DDBlur(t, pick(8), pick(8), 20, 14, 1 + pick(3), 1 + pick(3), sources[pick(4)], pick(4), pick(4), pick(2)); break;
        case 14: DDMosaic(t, pick(8), pick(8), 20, 14, 2 + pick(4), sources[pick(4)], pick(4), pick(4), pick(2)); break;
        case 15: DDBurst(t, 0, 0, kWidth, kHeight, sources[pick(4)], 0, 0, pick(6), pick(2)); break;
        case 16: DDCircle(t, pick(kWidth), pick(kHeight), 3 + pick(8), static_cast<std::uint32_t>(pick(256))); break;
      }
      for (DDSURFACEDATA* o : {&plain, &keyed, &VirBackBuffer}) {
        if (o->lpDT && o->lpDT->bOwedFill) ++run.owedFills;
        if (o->lpDT && o->lpDT->bOwedLay) ++run.owedLays;
      }
      if (payAfterEachCall) {
        plain.Pixels();
        keyed.Pixels();
        VirBackBuffer.Pixels();
      }
    }
    DDEndFrame(0, 0, 0);
    Record(run.seen, presenter.LastFrame());
    Record(run.held, *plain.Pixels());
    Record(run.held, *keyed.Pixels());
    Record(run.held, *VirBackBuffer.Pixels());
    Record(run.held, g_DrawLayer.d3dBackBuffer);
  }
  DDResetLayerForTests();
  DDSetPresenter(nullptr);
  return run;
}

TEST(OwedDrawSequenceTest, ASequenceShowsTheSameWhetherOwedDrawingWaitsOrNot) {
  int fills = 0, lays = 0;
  std::size_t frames = 0;
  for (const bool vsync : {true, false}) {
    for (std::uint32_t seed = 1; seed <= 300; ++seed) {
      SCOPED_TRACE("seed " + std::to_string(seed) + (vsync ? ", vertical sync" : ""));
      const sRun apart = RunSequence(seed, true, vsync);
      const sRun straight = RunSequence(seed, false, vsync);
      fills += straight.owedFills;
      lays += straight.owedLays;
      frames += straight.seen.size();
      ASSERT_EQ(apart.seen.size(), straight.seen.size());
      for (std::size_t i = 0; i < apart.seen.size(); ++i) ASSERT_EQ(apart.seen[i], straight.seen[i]) << "seen " << i;
      ASSERT_EQ(apart.held.size(), straight.held.size());
      for (std::size_t i = 0; i < apart.held.size(); ++i) ASSERT_EQ(apart.held[i], straight.held[i]) << "held " << i;
    }
  }
  // The sequences must reach the owed states at all, or they show nothing.
  EXPECT_GT(fills, 0);
  EXPECT_GT(lays, 0);
  EXPECT_GT(frames, 0u);
}

}  // namespace
}  // namespace owedsequence
