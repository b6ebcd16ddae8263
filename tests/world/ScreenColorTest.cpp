// The screen colour on 8-bit DirectDraw (the palette is blended) and on
// 32-bit Direct3D (the frame is tinted): a change, the frames after it, a
// return and a half change, each ending on the level its whole duration
// gives.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "WorldTestSupport.h"
#include "graphics/DrawLayerTestSupport.h"
#include "graphics/Palette.h"
#include "graphics/SurfaceFill.h"
#include "graphics/SurfaceTable.h"
#include "world/SceneDrawState.h"
#include "world/StageGraphics.h"

namespace {

using drawtest::eRoad;

constexpr std::uint8_t kGrey = 200;
constexpr int kSkip = -1;

// One command and the frames drawn after it (no command: only frames).
struct sStep {
  const char* what;
  bool command;
  int red, green, blue, percent, returnToPrevious, tenths;
  int frames;
  int running;  // after the frames
  int level;
  int shown;    // grey level of the colour shown after the last frame, or kSkip
};

struct sCase {
  eRoad road;
  std::vector<sStep> steps;
};

class cScreenColorFixture : public worldtest::cWorldFixture {
 protected:
  void TearDown() override {
    g_Palette = {};
    g_PaletteWork = {};
    cWorldFixture::TearDown();
  }
};

class ScreenColorTest : public cScreenColorFixture, public testing::WithParamInterface<sCase> {};

// While a screen effect runs, Direct3D draws the frame into the virtual back
// buffer; the colour must look the same there as in the back buffer: laid
// over the frame, not multiplied into it (a flash to white would then show
// nothing). A grey 200 frame, duration 0 (the whole level at once).
class ScreenColorDirect3DTest : public cScreenColorFixture {};

TEST_F(ScreenColorDirect3DTest, ColoursTheFrameAlikeWithTheVirtualBackBufferOnOrOff) {
  drawtest::cTestLayer layer(eRoad::Direct3D, 640, 480);
  ASSERT_TRUE(layer.Started());
  DDSURFACEDATA* work = TableSurface(SURF_WORK);
  ASSERT_TRUE(DDCreateSurface(work, 640, 480, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
  struct sColourCase {
    int red, green, blue, percent;
    std::uint32_t shown;
  };
  const sColourCase cases[] = {
      {255, 0, 0, 100, 0xFF0000u},    // the colour alone
      {255, 0, 0, 50, 0xE46464u},     // level 127: 128/255 of red over the grey
      {255, 255, 255, 100, 0xFFFFFFu},  // a flash to white
  };
  for (const int virtualOn : {0, 1}) {
    for (const sColourCase& c : cases) {
      SCOPED_TRACE(testing::Message() << "virtual back buffer " << virtualOn << ", colour " << c.red << "," << c.green
                                      << "," << c.blue << " at " << c.percent << " %");
      DDSetVirtualBackBuffer(virtualOn);
      DDFillRectRGB(&BackBuffer, 0, 0, 640, 480, 0xFF000000u | kGrey * 0x010101u);
      cScreenColor colour;
      colour.Set(c.red, c.green, c.blue, c.percent, 0, 0, 0, 0);
      colour.Draw(0);
      DDSURFACEDATA& frame = virtualOn != 0 ? VirBackBuffer : BackBuffer;
      EXPECT_EQ(c.shown, drawtest::Rgb(drawtest::PixelAt(frame, 100, 100)));
      EXPECT_EQ(c.shown, drawtest::Rgb(drawtest::PixelAt(frame, 639, 479)));
      DDSetVirtualBackBuffer(0);
    }
  }
  DDReleaseSurface(work);
}

// A tenth of a second is 6 frames: the first frame shows the counter at 0,
// the 7th at the whole duration. Changing to black at 100 % reaches level 0
// there; 8-bit DirectDraw then stops with the palette black, while Direct3D
// keeps drawing the full tint. The return reaches level 255: the palette as
// loaded, or no tint. Half of the way to red is level 127.
TEST_P(ScreenColorTest, EachRunEndsOnTheLevelOfItsWholeDuration) {
  const sCase& c = GetParam();
  const bool d3d = c.road == eRoad::Direct3D;
  drawtest::cTestLayer layer(c.road, 640, 480, !d3d, d3d ? 32 : 8);
  ASSERT_TRUE(layer.Started());
  for (auto& entry : g_Palette) entry = {kGrey, kGrey, kGrey, 0};
  g_PaletteWork = g_Palette;
  cScreenColor colour;
  for (const sStep& step : c.steps) {
    SCOPED_TRACE(step.what);
    if (step.command)
      colour.Set(step.red, step.green, step.blue, step.percent, step.returnToPrevious, step.tenths, 0, 0);
    for (int frame = 0; frame < step.frames; ++frame) {
      if (d3d) DDFillRectRGB(&BackBuffer, 0, 0, 640, 480, 0xFF000000u | kGrey * 0x010101u);
      colour.Draw(0);
    }
    EXPECT_EQ(step.running, colour.m_bRunning);
    EXPECT_EQ(step.level, colour.Level());
    if (step.shown == kSkip) continue;
    const std::uint32_t grey = static_cast<std::uint32_t>(step.shown) * 0x010101u;
    if (d3d) {
      EXPECT_EQ(grey, drawtest::Rgb(drawtest::PixelAt(BackBuffer, 100, 100)));
    } else {
      const plat::sPaletteEntry& e = g_PaletteWork[10];
      EXPECT_EQ(grey, static_cast<std::uint32_t>(e.red << 16 | e.green << 8 | e.blue));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Roads, ScreenColorTest,
    testing::Values(
        sCase{eRoad::DirectDraw,
              {
                  {"change to black", true, 0, 0, 0, 100, 0, 1, 7, 0, 0, 0},
                  {"after the change", false, 0, 0, 0, 0, 0, 0, 10, 0, 0, 0},
                  {"return", true, 0, 0, 0, 0, 1, 1, 7, 0, 255, kGrey},
                  {"after the return", false, 0, 0, 0, 0, 0, 0, 10, 0, 255, kGrey},
                  {"half to red", true, 255, 0, 0, 50, 0, 2, 13, 0, 127, kSkip},
              }},
        sCase{eRoad::Direct3D,
              {
                  {"change to black", true, 0, 0, 0, 100, 0, 1, 7, 1, 0, 0},
                  {"after the change", false, 0, 0, 0, 0, 0, 0, 10, 1, 0, 0},
                  {"return", true, 0, 0, 0, 0, 1, 1, 7, 0, 255, kGrey},
                  {"after the return", false, 0, 0, 0, 0, 0, 0, 1, 0, 255, kGrey},
                  {"half to red", true, 255, 0, 0, 50, 0, 2, 13, 1, 127, kSkip},
              }}),
    [](const testing::TestParamInfo<sCase>& info) {
      return std::string(info.param.road == eRoad::Direct3D ? "Direct3D" : "DirectDraw8");
    });

}  // namespace
