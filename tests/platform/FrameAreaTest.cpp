// Where the 640 by 480 frame stands in a window, and the window's points
// read as frame points: whole multiples centred on a border, a window smaller
// than the frame, and the border where no frame point lies.

#include "platform/FrameArea.h"

#include <gtest/gtest.h>

namespace {

constexpr int kFrameWidth = 640;
constexpr int kFrameHeight = 480;

TEST(FrameAreaTest, TheFrameTakesTheLargestWholeMultipleThatFitsCentred) {
  const struct {
    const char* label;
    int width, height;
    RECT area;
  } cases[] = {
      {"its own size", 640, 480, {0, 0, 640, 480}},
      {"a 1920 by 1080 desktop: factor 2", 1920, 1080, {320, 60, 1600, 1020}},
      {"1280 by 1024: factor 2, bands above and below", 1280, 1024, {0, 32, 1280, 992}},
      {"a wider window, factor 1", 800, 480, {80, 0, 720, 480}},
      {"a smaller window: shrunk to fit", 320, 300, {0, 30, 320, 270}},
  };
  for (const auto& c : cases) {
    const RECT area = plat::FrameAreaIn(c.width, c.height, kFrameWidth, kFrameHeight);
    EXPECT_EQ(c.area.left, area.left) << c.label;
    EXPECT_EQ(c.area.top, area.top) << c.label;
    EXPECT_EQ(c.area.right, area.right) << c.label;
    EXPECT_EQ(c.area.bottom, area.bottom) << c.label;
  }
}

// Full screen on a 1920 by 1080 desktop: the frame at factor 2 from (320, 60).
TEST(FrameAreaTest, WindowPointsAreReadAsFramePointsAndTheBorderAsNone) {
  const RECT area = plat::FrameAreaIn(1920, 1080, kFrameWidth, kFrameHeight);
  const struct {
    POINT window;
    bool onFrame;
    POINT frame;
  } cases[] = {
      {{320, 60}, true, {0, 0}},      {{321, 61}, true, {0, 0}},        {{322, 62}, true, {1, 1}},
      {{520, 160}, true, {100, 50}},  {{1599, 1019}, true, {639, 479}}, {{319, 500}, false, {-1, 220}},
      {{1600, 500}, false, {640, 220}}, {{800, 59}, false, {240, -1}},  {{800, 1020}, false, {240, 480}},
      {{0, 0}, false, {-160, -30}},
  };
  for (const auto& c : cases) {
    POINT frame;
    EXPECT_EQ(c.onFrame, plat::WindowToFrame(area, kFrameWidth, kFrameHeight, c.window, &frame))
        << c.window.x << "," << c.window.y;
    EXPECT_EQ(c.frame.x, frame.x) << c.window.x << "," << c.window.y;
    EXPECT_EQ(c.frame.y, frame.y) << c.window.x << "," << c.window.y;
    if (!c.onFrame) continue;
    // And back: the frame pixel's middle lies on the same frame point.
    POINT again;
    ASSERT_TRUE(plat::WindowToFrame(area, kFrameWidth, kFrameHeight,
                                    plat::FrameToWindow(area, kFrameWidth, kFrameHeight, frame), &again));
    EXPECT_EQ(frame.x, again.x);
    EXPECT_EQ(frame.y, again.y);
  }
  const POINT middle = plat::FrameToWindow(area, kFrameWidth, kFrameHeight, POINT{100, 50});
  EXPECT_EQ(521, middle.x);
  EXPECT_EQ(161, middle.y);
}

}  // namespace
