#include "world/GameObj.h"

#include <gtest/gtest.h>

#include <cmath>

#include "WorldTestSupport.h"
#include "data/StageArea.h"
#include "world/FlowState.h"
#include "world/CharaBase.h"
#include "world/MapGrid.h"

namespace {

using worldtest::cWorldFixture;

// An object that counts the calls of the overridable operations.
class cCountingObj final : public cGameObj {
 public:
  void UpdateHitBoxes(int scale) override {
    ++m_HitBoxCalls;
    m_LastScale = scale;
  }
  void ReanchorY(int, int) override { ++m_ReanchorYCalls; }
  void UpdateHitRectX() override { ++m_HitRectXCalls; }
  int m_HitBoxCalls = 0;
  int m_LastScale = 0;
  int m_ReanchorYCalls = 0;
  int m_HitRectXCalls = 0;
};

class cCountingChara final : public cCharaBase {
 public:
  int ConstrainX() override { return ++m_ConstrainX; }
  int ConstrainY() override { return ++m_ConstrainY; }
  int m_ConstrainX = 0;
  int m_ConstrainY = 0;
};

class GameObjTest : public cWorldFixture {
 protected:
  void SetUp() override {
    cWorldFixture::SetUp();
    // 20 x 15 cells: area 320..960 by 320..800, grid 0..1280 by 0..1120.
    MakeScene();
  }

  static cGameObj Box(double x, double y, int w = 32, int h = 32) {
    cGameObj obj;
    obj.Init(1, OBJ_BY_COMPUTER, 0, 0, 0, nullptr, 0, 0, 0, w, h, 32, 32, 1, 0, 0);
    obj.m_X = x;
    obj.m_Y = y;
    obj.m_Right = x + w - 1;
    obj.m_Bottom = y + h - 1;
    return obj;
  }
};

TEST_F(GameObjTest, ClampXKeepsTheBoxInAndSaysWhereItWas) {
  const struct {
    int kind;
    double x;
    int scrollMin;
    int scrollMax;
    double clamped;
    int code;
  } cases[] = {
      {CLAMP_GRID, -0.5, 320, 960, 0, CLAMP_AT_GRID_EDGE},
      {CLAMP_GRID, 1270, 320, 960, 1248, CLAMP_AT_GRID_EDGE},
      {CLAMP_GRID, 320, 320, 960, 320, CLAMP_INSIDE},
      {CLAMP_GRID, 320, 352, 960, 320, CLAMP_OUT_OF_VIEW},
      {CLAMP_GRID, 319.5, 320, 960, 319.5, CLAMP_OUT_OF_AREA},
      {CLAMP_GRID, 929, 320, 960, 929, CLAMP_OUT_OF_AREA},
      {CLAMP_AREA, 300, 320, 960, 320, CLAMP_INSIDE},
      {CLAMP_AREA, 950, 320, 960, 928, CLAMP_INSIDE},
      {CLAMP_AREA, 350, 400, 960, 350, CLAMP_OUT_OF_VIEW},
      {CLAMP_AREA, 800, 400, 820, 800, CLAMP_OUT_OF_VIEW},
      {CLAMP_SCROLL, 100, 400, 700, 400, CLAMP_INSIDE},
      {CLAMP_SCROLL, 690, 400, 700, 668, CLAMP_INSIDE},
      {7, -50, 400, 700, -50, CLAMP_INSIDE},
  };
  for (const auto& c : cases) {
    m_Scene.m_ScrollX.m_Min = c.scrollMin;
    m_Scene.m_ScrollX.m_Max = c.scrollMax;
    cGameObj obj = Box(c.x, 400);
    EXPECT_EQ(c.code, obj.ClampX(c.kind)) << c.kind << " " << c.x;
    EXPECT_DOUBLE_EQ(c.clamped, obj.m_X) << c.kind << " " << c.x;
    EXPECT_DOUBLE_EQ(obj.m_X + 31, obj.m_Right);
    EXPECT_EQ(static_cast<int>(obj.m_X) >> 5, obj.m_CellL);
    EXPECT_EQ(static_cast<int>(obj.m_Right) >> 5, obj.m_CellR);
  }
}

TEST_F(GameObjTest, ClampYTellsTheSideItLeftBy) {
  m_Scene.m_ScrollY.m_Min = 400;
  m_Scene.m_ScrollY.m_Max = 700;
  const struct {
    int kind;
    double y;
    double clamped;
    int code;
  } cases[] = {
      // The scroll limit is exclusive: a bottom dot on it is below the view.
      {CLAMP_AREA, 669, 669, CLAMP_BELOW_VIEW},
      {CLAMP_AREA, 668, 668, CLAMP_INSIDE},
      {CLAMP_AREA, 390, 390, CLAMP_OUT_OF_VIEW},
      {CLAMP_AREA, 300, 320, CLAMP_INSIDE},
      {CLAMP_AREA, 790, 768, CLAMP_INSIDE},
      {CLAMP_GRID, -3, 0, CLAMP_AT_GRID_EDGE},
      {CLAMP_GRID, 1100, 1088, CLAMP_AT_GRID_BOTTOM},
      {CLAMP_GRID, 300, 300, CLAMP_OUT_OF_AREA},
      {CLAMP_GRID, 790, 790, CLAMP_BELOW_AREA},
      {CLAMP_GRID, 669, 669, CLAMP_BELOW_VIEW},
      {CLAMP_SCROLL, 690, 668, CLAMP_INSIDE},
  };
  for (const auto& c : cases) {
    cGameObj obj = Box(400, c.y);
    EXPECT_EQ(c.code, obj.ClampY(c.kind)) << c.kind << " " << c.y;
    EXPECT_DOUBLE_EQ(c.clamped, obj.m_Y) << c.kind << " " << c.y;
    EXPECT_DOUBLE_EQ(obj.m_Y + 31, obj.m_Bottom);
    EXPECT_EQ(static_cast<int>(obj.m_Bottom) >> 5, obj.m_CellB);
  }
}

TEST_F(GameObjTest, StepsAreCappedAtTheStagesSpeedPerSubStep) {
  const struct {
    double velocity;
    double moved;
  } cases[] = {{100, 6}, {-100, -6}, {2.5, 2.5}, {6, 6}};
  for (const auto& c : cases) {
    cGameObj obj = Box(500, 500);
    obj.m_VX = c.velocity;
    obj.m_VY = c.velocity;
    obj.StepX(CLAMP_GRID);
    obj.StepY(CLAMP_GRID);
    EXPECT_DOUBLE_EQ(500 + c.moved, obj.m_X);
    EXPECT_DOUBLE_EQ(500 + c.moved, obj.m_Y);
    EXPECT_DOUBLE_EQ(c.moved, obj.m_VX);
  }
}

TEST_F(GameObjTest, GravityAndDecelerationNeverOvershoot) {
  cGameObj walker = Box(500, 500);
  walker.AddGravity();
  EXPECT_DOUBLE_EQ(g_Stage.m_GravityStep, walker.m_VY);
  cGameObj flyer = Box(500, 500);
  flyer.SetFlyMode(1);
  flyer.AddGravity();
  EXPECT_EQ(0.0, flyer.m_VY);

  const struct {
    double velocity;
    int on;
    double after;
  } cases[] = {{0.3, 1, 0.0}, {-0.3, 1, 0.0}, {2.0, 1, 1.5}, {-2.0, 1, -1.5}, {0.0, 1, 0.0}, {2.0, 0, 2.0}};
  for (const auto& c : cases) {
    cGameObj obj;
    obj.m_Decel = 0.5;
    double velocity = c.velocity;
    obj.Decelerate(&velocity, c.on);
    EXPECT_DOUBLE_EQ(c.after, velocity) << c.velocity;
  }
}

TEST_F(GameObjTest, FlyModesSetFlyingAndContact) {
  const struct {
    int mode;
    int flying;
    int contact;
  } cases[] = {{0, 0, FLY_CONTACT_COLLIDE}, {1, 1, FLY_CONTACT_PASS}, {2, 1, FLY_CONTACT_COLLIDE},
               {3, 1, FLY_CONTACT_DIE},     {4, 1, FLY_CONTACT_DIE}};
  cGameObj obj;
  for (const auto& c : cases) {
    obj.SetFlyMode(c.mode);
    EXPECT_EQ(c.flying, obj.m_Flying) << c.mode;
    EXPECT_EQ(c.contact, obj.m_FlyContact) << c.mode;
  }
}

TEST_F(GameObjTest, InitTakesBaseAndCurrentSizesAndStartsTheAnimation) {
  const cFrameScriptTable scripts = {cFrameScript{{1, 4, 0}, {-2, 0, 0}}, cFrameScript{{7, 4, 1}, {-2, 0, 0}}};
  cGameObj obj;
  obj.m_Active = 1;
  obj.m_VX = 3;
  obj.Init(42, OBJ_BY_PLAYER, 0, 3, 9, &scripts, 1, 2, 5, 20, 28, 32, 32, 0, 2, 4);
  EXPECT_EQ(42, obj.m_Key);
  EXPECT_EQ(kEndlessLife, obj.m_Life);
  EXPECT_EQ(3, obj.m_PassNo);
  EXPECT_EQ(1, obj.m_Anime.CurrentAnime());
  EXPECT_EQ(7, obj.m_Anime.GetPattern());
  EXPECT_EQ(20, obj.m_BaseBoxW);
  EXPECT_EQ(20, obj.m_BoxW);
  EXPECT_EQ(5, obj.m_BaseDrawOffY);
  EXPECT_EQ(1, obj.m_Flying);
  EXPECT_EQ(4, obj.m_CloneNo);
  EXPECT_EQ(0, obj.m_Active);
  EXPECT_EQ(0.0, obj.m_VX);
}

TEST_F(GameObjTest, ScaleChangesKeepTheHorizontalCentre) {
  cCountingObj obj;
  obj.Init(1, OBJ_BY_COMPUTER, 0, 0, 0, nullptr, 0, 6, 4, 20, 24, 32, 32, 1, 0, 0);
  obj.m_X = 500;
  obj.m_Y = 500;
  obj.SetScale(1, 1);
  EXPECT_EQ(0, obj.m_HitBoxCalls);
  EXPECT_EQ(0, obj.m_ReanchorYCalls);
  EXPECT_EQ(20, obj.m_BoxW);

  obj.SetScale(2, 1);
  EXPECT_DOUBLE_EQ(490, obj.m_X);
  EXPECT_DOUBLE_EQ(490 + 40 - 1, obj.m_Right);
  EXPECT_EQ(40, obj.m_BoxW);
  EXPECT_EQ(48, obj.m_BoxH);
  EXPECT_EQ(12, obj.m_DrawOffX);
  EXPECT_EQ(64, obj.m_GfxH);
  EXPECT_EQ(1, obj.m_HitBoxCalls);
  EXPECT_EQ(2, obj.m_LastScale);
  EXPECT_EQ(1, obj.m_ReanchorYCalls);
  EXPECT_EQ(1, obj.m_HitRectXCalls);
}

TEST_F(GameObjTest, ScreenRectanglesRoundByHowTheObjectMoves) {
  m_Scene.m_ScrollX.m_Position = 320.7;
  m_Scene.m_ScrollY.m_Position = 400.0;
  const struct {
    int flying;
    int movesWithScroll;
    double scrollSpeed;
    int left;
    int top;
  } cases[] = {
      // Ground objects truncate their distance to the truncated camera.
      {0, 0, 0.0, -9, 0},
      // Flying objects truncate their own position first.
      {1, 0, 0.0, -10, -1},
      // Under automatic scrolling a flying object carried by the scroll takes
      // its distance to the camera, another the ground rule; vertically both
      // take the distance and sit one dot lower.
      {1, 1, 0.5, -10, 1},
      {1, 0, 0.5, -9, 1},
  };
  for (const auto& c : cases) {
    m_Scene.m_ScrollX.m_Speed = c.scrollSpeed;
    m_Scene.m_ScrollY.m_Speed = c.scrollSpeed;
    cGameObj obj = Box(310.5, 399.5);
    obj.m_Flying = c.flying;
    obj.m_MovesWithScroll = c.movesWithScroll;
    obj.UpdateRect();
    EXPECT_EQ(c.left, obj.m_ScrLeft) << c.flying << c.movesWithScroll << c.scrollSpeed;
    EXPECT_EQ(c.top, obj.m_ScrTop) << c.flying << c.movesWithScroll << c.scrollSpeed;
    EXPECT_EQ(obj.m_ScrLeft + 31, obj.m_ScrRight);
    EXPECT_EQ(obj.m_ScrTop + 31, obj.m_ScrBottom);
  }
  // A camera stopped at its limit does not scroll by itself.
  m_Scene.m_ScrollX.m_AtLimit = 1;
  cGameObj obj = Box(310.5, 399.5);
  obj.m_Flying = 1;
  obj.UpdateRect();
  EXPECT_EQ(-10, obj.m_ScrLeft);
}

TEST_F(GameObjTest, OnScreenTestsUseTheInclusiveEdges) {
  m_Scene.m_ScrollX.m_Position = 320;
  m_Scene.m_ScrollY.m_Position = 320;
  const struct {
    double x;
    double y;
    int onScreen;
    int ignoringX;
  } cases[] = {{960, 400, 0, 1}, {289, 400, 1, 1}, {288, 400, 0, 1}, {500, 800, 0, 0}, {500, 799, 1, 1}};
  for (const auto& c : cases) {
    const cGameObj obj = Box(c.x, c.y);
    EXPECT_EQ(c.onScreen, obj.IsOnScreen()) << c.x << "," << c.y;
    EXPECT_EQ(c.ignoringX, obj.IsOnScreenAxes(1, 0)) << c.x << "," << c.y;
    EXPECT_EQ(1, obj.IsOnScreenAxes(1, 1));
  }
}

TEST_F(GameObjTest, BoundsOfTheAreaAndOfTheWholeGrid) {
  const struct {
    double x;
    double y;
    int inArea;
    int inGrid;
  } cases[] = {{320, 320, 1, 1}, {928, 768, 1, 1}, {929, 500, 0, 1}, {319, 500, 0, 1}, {0, 0, 0, 1},
               {1248, 1088, 0, 1}, {1249, 500, 0, 0}, {-1, 500, 0, 0}};
  for (const auto& c : cases) {
    const cGameObj obj = Box(c.x, c.y);
    EXPECT_EQ(c.inArea, obj.IsWithinBounds(0)) << c.x << "," << c.y;
    EXPECT_EQ(c.inGrid, obj.IsWithinBounds(1)) << c.x << "," << c.y;
  }
}

TEST_F(GameObjTest, RemovalAreasMeasureFromTheViewInCells) {
  MakeScene(60, 40);
  m_Scene.m_ScrollX.m_Position = 640;
  m_Scene.m_ScrollY.m_Position = 320;
  cStageArea area;
  area.Set(1, 1, 0, 1, 2, 1, 0, 0);
  const struct {
    double x;
    double y;
    int onScreen;
    int outside;
  } cases[] = {
      {545, 400, 0, 1},   // right edge 576 = camX - 2 cells: on the margin's line is outside
      {546, 400, 0, 0},
      {1312, 400, 0, 1},  // x at camX + 32 + 640
      {1300, 400, 0, 0},
      {700, 800, 0, 1},   // the bottom side has no margin
      {700, 100, 0, 0},   // the top side is off
      {0, 400, 0, 1},     // the grid's outermost dot
      {0, 400, 1, 0},     // on screen is never outside
  };
  for (const auto& c : cases) {
    cGameObj obj = Box(c.x, c.y);
    obj.m_OnScreen = c.onScreen;
    EXPECT_EQ(c.outside, obj.IsOutsideRemovalArea(area)) << c.x << "," << c.y << " " << c.onScreen;
  }
}

TEST_F(GameObjTest, CornersHitBlocksOfTheirContactKind) {
  cBlockData block;
  block.m_nGraphic = 1;
  block.m_nCellX = 5;
  block.m_nCellY = 5;
  block.m_nPassValue = 3;
  g_Stage.m_PlacedBlocks.push_back(block);
  ASSERT_TRUE(BuildMapGrid(g_Stage));
  cGameObj obj = Box(15 * 32 - 4, 15 * 32 - 20);  // bottom-right corner in cell (15, 15)
  obj.ClampX(CLAMP_GRID);
  obj.ClampY(CLAMP_GRID);
  EXPECT_EQ(1, obj.CornersHitBlock());
  obj.m_PassNo = 3;
  EXPECT_EQ(0, obj.CornersHitBlock());
  cGameObj clear = Box(14 * 32 - 40, 15 * 32);
  clear.ClampX(CLAMP_GRID);
  clear.ClampY(CLAMP_GRID);
  EXPECT_EQ(0, clear.CornersHitBlock());
}

TEST_F(GameObjTest, CharactersCentreOnAScreenPointAndStopTheirMove) {
  cCountingChara chara;
  chara.m_X = 400;
  chara.m_Y = 400;
  chara.m_ScrLeft = 100;
  chara.m_ScrTop = 50;
  chara.m_GfxW = 32;
  chara.m_GfxH = 33;
  cCmdState move;
  for (int32_t& value : move.m_Accumulated) value = 9;
  chara.SetCenterXStop(120, &move);
  EXPECT_DOUBLE_EQ(404, chara.m_X);
  EXPECT_EQ(1, chara.m_ConstrainX);
  EXPECT_EQ(0, move.m_Accumulated[0] + move.m_Accumulated[1] + move.m_Accumulated[2] + move.m_Accumulated[3]);
  chara.SetCenter(100, 60);
  EXPECT_DOUBLE_EQ(388, chara.m_X);
  EXPECT_DOUBLE_EQ(394, chara.m_Y);
  EXPECT_EQ(1, chara.m_ConstrainY);
  // A plain object has no centring of its own.
  cGameObj obj = Box(400, 400);
  obj.SetCenter(0, 0);
  EXPECT_DOUBLE_EQ(400, obj.m_X);
}

TEST_F(GameObjTest, WaveMotionIsTheDerivativeOfASineAndWrapsItsPhaseOnce) {
  const double pi = std::acos(-1.0);
  double phase = 0;
  EXPECT_NEAR(2 * pi / 2, WaveVelocity(2, 90, &phase, 10, 0), 1e-12);
  EXPECT_DOUBLE_EQ(10, phase);
  phase = 1;  // a quarter turn at 90 degrees per unit
  EXPECT_NEAR(-2 * (pi / 2) * (pi / 2), WaveAccel(2, 90, &phase, 0, 0), 1e-12);

  g_Stage.ApplyHitLevel(2);
  phase = 700;
  WaveVelocity(1, 1, &phase, 1500, 0);
  EXPECT_DOUBLE_EQ(1480, phase);  // one wrap of 720 per call
  WaveAccel(1, 1, &phase, 0, 0);
  EXPECT_DOUBLE_EQ(760, phase);
  EXPECT_DOUBLE_EQ(1.0, ScaleByFrameRate(120));
}

TEST_F(GameObjTest, RangesReachFromTheEdgeOrTheCentre) {
  const struct {
    int back;
    int front;
    int ownBox;
    int lo;
    int hi;
  } cases[] = {{0, 0, 1, 100, 132}, {0, 0, 0, 116, 116}, {10, 0, 0, 90, 116}, {0, 20, 1, 116, 152}, {5, 5, 0, 95, 137}};
  for (const auto& c : cases) {
    int lo = 0;
    int hi = 0;
    RangeSpan(100, 33, c.back, c.front, c.ownBox, lo, hi);
    EXPECT_EQ(c.lo, lo) << c.back << " " << c.front << " " << c.ownBox;
    EXPECT_EQ(c.hi, hi) << c.back << " " << c.front << " " << c.ownBox;
  }

  // A target whose screen rectangle is 200..231 with a draw offset of 4; its
  // box reaches the bottom of its 32-dot graphic.
  cGameObj target = Box(0, 0, 32, 28);
  target.m_GfxH = 32;
  EXPECT_EQ(1, InBoxRange(150, 20, 200, 231, 4, 0, 34, 0, 0, target));
  EXPECT_EQ(0, InBoxRange(150, 20, 200, 231, 4, 0, 33, 0, 0, target));
  EXPECT_EQ(0, InBoxRange(240, 20, 200, 231, 4, 12, 0, 0, 0, target));
  // Checking the height lets the range reach the graphic's last dot.
  EXPECT_EQ(1, InBoxRange(240, 20, 200, 231, 4, 12, 0, 0, 1, target));
  g_System.m_bRangeSwitch = 1;
  EXPECT_EQ(0, InBoxRange(240, 20, 200, 231, 4, 12, 0, 0, 1, target));
}

TEST_F(GameObjTest, ShotRowsStayOnTheirOwnRowWithoutADrawingLayer) {
  EXPECT_EQ(20, ShotSurfaceRow(20, 0));
  EXPECT_EQ(21, ShotSurfaceRow(21, 1));
  EXPECT_EQ(kHalfSqrt2, std::sqrt(0.5));
  EXPECT_NE(kHalfSqrt2, 1 / kSqrt2);
}

}  // namespace
