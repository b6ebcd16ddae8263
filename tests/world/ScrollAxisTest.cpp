#include "world/ScrollAxis.h"

#include <gtest/gtest.h>

#include "WorldTestSupport.h"

namespace {

using worldtest::cWorldFixture;

class ScrollAxisTest : public cWorldFixture {};

TEST_F(ScrollAxisTest, MapGeometryFollowsTheStageSize) {
  const struct {
    int axis;
    int cells;
    int rowBits;
    int stride;
    int areaEnd;
    int screen;
  } cases[] = {{SCROLL_AXIS_X, 20, 6, 64, 960, 640},
               {SCROLL_AXIS_X, 12, 5, 32, 704, 640},
               {SCROLL_AXIS_X, 13, 6, 64, 736, 640},
               {SCROLL_AXIS_X, 0, 5, 32, 320, 640},
               {SCROLL_AXIS_Y, 15, 0, 35, 800, 480},
               // A broken size gives an empty area, never a negative one.
               {SCROLL_AXIS_Y, -40, 0, -20, 0, 480}};
  for (const auto& c : cases) {
    cScrollAxis axis;
    axis.SetMap(c.axis, c.cells, 100);
    EXPECT_EQ(c.rowBits, axis.m_RowBits) << c.cells;
    EXPECT_EQ(c.stride, axis.m_RowStride) << c.cells;
    EXPECT_EQ(320, axis.m_AreaStart);
    EXPECT_EQ(c.areaEnd, axis.m_AreaEnd) << c.cells;
    EXPECT_EQ(c.screen, axis.m_ScreenSize);
    EXPECT_EQ(c.cells + 20, axis.m_CellCount);
    EXPECT_EQ(740, axis.GridExtent());
  }
}

TEST_F(ScrollAxisTest, ClampKeepsTheViewWithinTheLimits) {
  const struct {
    int min;
    int max;
    double position;
    double clamped;
    int atLimit;
  } cases[] = {
      {320, 1280, 500.5, 500.5, 0},
      {320, 1280, 100, 320, 1},
      {320, 1280, 640, 640, 1},  // the far edge reaches the maximum exactly
      {320, 1280, 639.9, 639.9, 0},
      {320, 1280, 2000, 640, 1},
      // A map narrower than the screen keeps the view on the minimum.
      {320, 704, 320, 320, 1},
      {320, 704, 500, 320, 1},
  };
  for (const auto& c : cases) {
    cScrollAxis axis;
    axis.SetMap(SCROLL_AXIS_X, 30, 0);
    axis.m_Min = c.min;
    axis.m_Max = c.max;
    axis.m_Position = c.position;
    axis.Clamp();
    EXPECT_DOUBLE_EQ(c.clamped, axis.m_Position) << c.position;
    EXPECT_EQ(c.atLimit, axis.m_AtLimit) << c.position;
  }
}

TEST_F(ScrollAxisTest, BoundsComeFromTheLimitCells) {
  const struct {
    int a;
    int b;
    int lowOn;
    int highOn;
    int min;
    int max;
  } cases[] = {{3, 30, 0, 0, 320, 1600},  {3, 30, 1, 0, 416, 1600}, {3, 30, 1, 1, 416, 1312},
               {0, 19, 0, 1, 320, 960},   // a limit whose far cell lies left of the near one collapses
               {10, 4, 1, 1, 640, 640}};
  for (const auto& c : cases) {
    cScrollAxis axis;
    axis.SetMap(SCROLL_AXIS_X, 40, 0);
    axis.SetBounds(c.a, c.b, c.lowOn, c.highOn);
    EXPECT_EQ(c.min, axis.m_Min);
    EXPECT_EQ(c.max, axis.m_Max);
  }
}

TEST_F(ScrollAxisTest, AutomaticScrollingMovesTenthsOfADotPerFrameInSubSteps) {
  g_Stage.ApplyHitLevel(3);
  cScrollAxis axis;
  axis.SetMap(SCROLL_AXIS_X, 100, 0);
  axis.SetBounds(0, 0, 0, 0);
  axis.m_Position = 320;
  axis.SetSpeed(1, 10);
  EXPECT_EQ(1, axis.m_Moving);
  EXPECT_DOUBLE_EQ(1.0 / 3, axis.m_Speed);
  for (int i = 0; i < 3; ++i) axis.Advance();
  EXPECT_NEAR(321.0, axis.m_Position, 1e-12);
  EXPECT_EQ(0, axis.m_AtLimit);

  axis.SetSpeed(1, -30);
  axis.Advance();
  axis.Advance();
  axis.Advance();
  axis.Advance();
  EXPECT_DOUBLE_EQ(320.0, axis.m_Position);
  EXPECT_EQ(1, axis.m_AtLimit);

  axis.SetSpeed(0, 10);
  EXPECT_EQ(0.0, axis.m_Speed);
  EXPECT_EQ(0, axis.m_Moving);
}

}  // namespace
