// The effect players: chara-effect and screen-effect progress in their
// modes, the reverse templates, hit-effect placement, and the effect and
// picture commands' sizes.

#include <gtest/gtest.h>

#include <algorithm>

#include "WorldTestSupport.h"
#include "data/CharaEffect.h"
#include "data/Command.h"
#include "data/Database.h"
#include "data/Effect.h"
#include "flow/FlowCommands.h"
#include "graphics/DrawLayerTestSupport.h"
#include "graphics/SurfaceTable.h"
#include "world/Chara.h"
#include "world/CharaEffectPlayer.h"
#include "world/EffectPlayer.h"
#include "world/PicturePlayer.h"
#include "world/SceneDraw.h"
#include "world/ScrEffectPlayer.h"
#include "world/StageGraphics.h"

namespace {

class EffectPlayersTest : public worldtest::cWorldFixture {
 protected:
  void SetUp() override {
    cWorldFixture::SetUp();
    m_Saved = g_Database;
    g_Database = cDatabase();
  }
  void TearDown() override {
    g_Database = m_Saved;
    for (auto& t : g_CharaEffectTemplates) t.clear();
    for (auto& t : g_ScrEffectTemplates) t.clear();
    cWorldFixture::TearDown();
  }

  // Chara effect 1: `kind` over `time` tenths from `start` to `end`.
  static void SetCharaEffect(int kind, int time, int start, int end) {
    g_Database.m_CharaEffects.resize(2);
    g_Database.m_CharaEffects[0].m_nKind = 0;
    cCharaEffect& e = g_Database.m_CharaEffects[1];
    e.m_nKind = kind;
    e.m_Params[0] = time;
    e.m_Params[1] = start;
    e.m_Params[2] = end;
    BuildEffectTemplates();
  }

  // Frames until Progress reports the end (at most `limit`), with the value
  // each frame left.
  static int RunToEnd(cCharaEffectPlayer& player, std::vector<int>* values = nullptr, int limit = 1000) {
    for (int frame = 1; frame <= limit; ++frame) {
      const int ended = player.Progress();
      if (values != nullptr) values->push_back(static_cast<int>(player.m_Current));
      if (ended != 0) return frame;
    }
    return -1;
  }

  cDatabase m_Saved;
};

TEST_F(EffectPlayersTest, CharaEffectModes) {
  // From 0 to 6 in 1 tenth: a step of 1 per frame; the run ends once the
  // value passes the end.
  SetCharaEffect(1, 1, 0, 6);
  struct sCase {
    int mode, frames, first;
  } cases[] = {
      {0, 7, 1},   // start to end once
      {1, 7, 5},   // end to start once
      {2, 14, 1},  // start to end, then back, then done
      {3, 7, 1},   // any other mode runs forward once
  };
  for (const sCase& c : cases) {
    cCharaEffectPlayer player;
    player.Start(1, c.mode, 0);
    std::vector<int> values;
    EXPECT_EQ(RunToEnd(player, &values), c.frames) << "mode " << c.mode;
    EXPECT_EQ(values.front(), c.first) << "mode " << c.mode;
  }
}

TEST_F(EffectPlayersTest, LoopingCharaEffectNeverEndsAndTurnsInModeTwo) {
  SetCharaEffect(1, 1, 0, 6);
  cCharaEffectPlayer forward;
  forward.Start(1, 0, 1);
  EXPECT_EQ(RunToEnd(forward, nullptr, 100), -1);
  cCharaEffectPlayer both;
  both.Start(1, 2, 1);
  std::vector<int> values;
  EXPECT_EQ(RunToEnd(both, &values, 30), -1);
  // Forward up to 6, then the reverse template from 6 down.
  EXPECT_EQ(values[5], 6);
  EXPECT_EQ(values[6], 6);
  EXPECT_EQ(values[7], 5);
}

TEST_F(EffectPlayersTest, TimedCharaEffectRunsUntilItsTimeIsPassed) {
  // Equal start and end: progress grows by 1/6 and must exceed 3 tenths.
  SetCharaEffect(13, 3, 2, 2);
  cCharaEffectPlayer player;
  player.Start(1, 0, 0);
  const int frames = RunToEnd(player);
  EXPECT_GE(frames, 18);
  EXPECT_LE(frames, 19);
}

TEST_F(EffectPlayersTest, IntervalKindsCountTheirTime) {
  SetCharaEffect(6, 2, 10, 0);
  const cCharaEffectPlayer& t = g_CharaEffectTemplates[0][1];
  EXPECT_EQ(t.m_nStartValue, 0);
  EXPECT_EQ(t.m_nEndValue, 2);
  // The interval is not a start value: the reverse copy keeps it.
  EXPECT_EQ(g_Database.m_RunCharaEffects[1].m_Params[1], 10);
}

TEST_F(EffectPlayersTest, ReverseScreenTemplatesSwapStartAndEnd) {
  g_Database.m_ScrEffects.resize(3);
  g_Database.m_ScrEffects[0].m_nKind = 0;
  cScrEffect& move = g_Database.m_ScrEffects[1];
  move.m_nKind = 1;
  move.m_Params[0] = 10;
  move.m_Params[1] = 1;
  move.m_Params[2] = 2;
  move.m_Params[3] = 3;
  move.m_Params[4] = 4;
  cScrEffect& rotate = g_Database.m_ScrEffects[2];
  rotate.m_nKind = 9;
  rotate.m_Params[0] = 1;
  rotate.m_Params[1] = 0;
  rotate.m_Params[2] = 60;
  BuildEffectTemplates();
  EXPECT_EQ(g_ScrEffectTemplates[1][1].m_nWorkA, 3);
  EXPECT_EQ(g_ScrEffectTemplates[1][1].m_nWorkB, 4);
  EXPECT_EQ(g_ScrEffectTemplates[0][1].m_nWorkA, 1);
  EXPECT_EQ(g_ScrEffectTemplates[1][2].m_Current, 60);
  EXPECT_DOUBLE_EQ(g_ScrEffectTemplates[1][2].m_Step, 10.0);

  cScrEffectPlayer player;
  player.Start(2, 0, 0);
  int frames = 0;
  while (player.Progress(player.Param(2), player.Param(3), player.m_Step) == 0 && frames < 100) ++frames;
  // 0, 10, ..., 60 drawn; the run ends when the whole part passes 60.
  EXPECT_EQ(frames, 6);
}

// Move, the shakes and the blink count their time from 0 up to T: T tenths
// last T x 6 drawn frames (twice that there and back), and the moved frame
// never passes its end point.
TEST_F(EffectPlayersTest, ScreenEffectsThatCountTheirTimeLastTheirTenths) {
  drawtest::cTestLayer layer(drawtest::eRoad::Direct3D, 640, 480);
  ASSERT_TRUE(layer.Started());
  DDSURFACEDATA* work = TableSurface(SURF_WORK);
  ASSERT_TRUE(DDCreateSurface(work, 640, 480, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
  cGameScene& scene = MakeScene();
  struct sCase {
    const char* what;
    int kind, tenths, p2, p3, p4, p5, mode;
    int frames;
  };
  const sCase cases[] = {
      {"move", 1, 10, 0, 0, 160, 80, 0, 60},
      {"move in place", 1, 2, 40, 20, 40, 20, 0, 12},
      {"move there and back", 1, 3, -30, 0, 0, -60, 2, 36},
      {"shake across", 2, 10, 8, 4, 0, 0, 0, 60},
      {"shake up and down", 3, 1, 8, 4, 0, 0, 0, 6},
      {"blink", 8, 10, 10, 0, 0, 0, 0, 60},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.what);
    g_Database.m_ScrEffects.resize(2);
    cScrEffect& e = g_Database.m_ScrEffects[1];
    e.m_nKind = c.kind;
    e.m_Params[0] = c.tenths;
    e.m_Params[1] = c.p2;
    e.m_Params[2] = c.p3;
    e.m_Params[3] = c.p4;
    e.m_Params[4] = c.p5;
    BuildEffectTemplates();
    scene.m_ScrEffect.Start(1, c.mode, 0);
    int frames = 0;
    while (scene.m_ScrEffect.m_nEffect != 0 && frames < 1000) {
      if (c.kind == 1) {
        // The position this frame is drawn at.
        const int x = scene.m_ScrEffect.m_nWorkA, y = scene.m_ScrEffect.m_nWorkB;
        EXPECT_TRUE(x >= std::min(c.p2, c.p4) && x <= std::max(c.p2, c.p4)) << "frame " << frames << " x " << x;
        EXPECT_TRUE(y >= std::min(c.p3, c.p5) && y <= std::max(c.p3, c.p5)) << "frame " << frames << " y " << y;
      }
      DrawScreenEffect(scene, 0);
      ++frames;
    }
    EXPECT_EQ(c.frames, frames);
  }
  DDSetVirtualBackBuffer(0);
  DDReleaseSurface(work);
}

TEST_F(EffectPlayersTest, HitEffectBetweenSeparateRectanglesIsCentredOnTheOrigin) {
  g_Database.m_Effects.resize(2);
  g_Database.m_Effects[1].m_nCellWidth = 20;
  g_Database.m_Effects[1].m_nCellHeight = 10;
  g_Database.m_Effects[1].m_Frames.push_back(cEffectFrame(0, 1));
  BuildEffectScripts(g_EffectScripts);
  for (int i = 0; i < 20; ++i) {
    const cEffectPlayer hit(1, cEffectRect{0, 0, 9, 9}, cEffectRect{100, 100, 120, 120}, 1);
    EXPECT_GE(hit.m_X, -10 - 4);
    EXPECT_LE(hit.m_X, -10 + 4);
    EXPECT_GE(hit.m_Y, -5 - 4);
    EXPECT_LE(hit.m_Y, -5 + 4);
  }
  const cEffectPlayer overlap(1, cEffectRect{0, 0, 31, 31}, cEffectRect{10, 20, 40, 40}, 1);
  // Overlap (10, 20)-(31, 31): centre x 10 + 11 - 10, y 20 + 6 - 5, jittered.
  EXPECT_NEAR(overlap.m_X, 11, 4);
  EXPECT_NEAR(overlap.m_Y, 21, 4);
}

TEST_F(EffectPlayersTest, EffectEndsWithItsScript) {
  MakeScene();
  g_Database.m_Effects.resize(2);
  g_Database.m_Effects[1].m_Frames.push_back(cEffectFrame(0, 1));
  BuildEffectScripts(g_EffectScripts);
  cEffectPlayer effect(1, 0, 0, 32, 32, 0);
  // One frame of a tenth: the draw of the sixth frame finds the end.
  int draws = 1;
  while (effect.Draw(nullptr, 0) == 0 && draws < 100) ++draws;
  EXPECT_EQ(draws, 6);
  // Frozen, it only draws.
  cEffectPlayer held(1, 0, 0, 32, 32, 0);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(held.Draw(nullptr, 1), 0);
}

TEST_F(EffectPlayersTest, EffectCommandRoundsItsSizeHalfAway) {
  cGameScene& scene = MakeScene();
  g_Database.m_Effects.resize(2);
  g_Database.m_Effects[1].m_nCellWidth = 33;
  g_Database.m_Effects[1].m_nCellHeight = 32;
  g_Database.m_Effects[1].m_Frames.push_back(cEffectFrame(0, 1));
  BuildEffectScripts(g_EffectScripts);
  cChara chara;
  cCommand command;
  command.m_Params.assign(8, 0);
  command.m_Params[0] = 1;
  command.m_Params[6] = 150;
  CmdRunEffect(chara, command);
  ASSERT_EQ(scene.m_Effects.size(), 1u);
  EXPECT_EQ(scene.m_Effects.back().m_nWidth, 50);
  EXPECT_EQ(scene.m_Effects.back().m_nHeight, 48);
  EXPECT_EQ(scene.m_Effects.back().m_bScaled, 1);
  command.m_Params[0] = 0;
  CmdRunEffect(chara, command);
  EXPECT_TRUE(scene.m_Effects.empty());
}

TEST_F(EffectPlayersTest, PictureOfRatioHundredIsNotScaled) {
  MakeScene();
  cPicturePlayer picture;
  picture.Set(1, 0, 0, 50, 50, 0, 0, 100, 0, 0, 0, 0, 0);
  EXPECT_EQ(picture.m_bScaled, 0);
  picture.Set(1, 0, 0, 50, 50, 0, 0, 150, 0, 0, 0, 0, 0);
  EXPECT_EQ(picture.m_bScaled, 1);
}

TEST_F(EffectPlayersTest, ScreenFixedPictureKeepsItsFirstScreenPosition) {
  cGameScene& scene = MakeScene(40, 30, 1, 320, 320);
  cPicturePlayer picture;
  picture.Set(1, 400, 350, 10, 10, 1, 0, 100, 2, 5, 0, 0, 0);
  EXPECT_EQ(picture.m_nScreenX, 80);
  EXPECT_EQ(picture.m_nScreenY, 30);
  scene.m_ScrollX.m_Position = 0;
  // Timed: countdown 5 draws 6 frames... the picture counts down first.
  int frames = 0;
  while (picture.Draw(nullptr, nullptr, 0) == 0 && frames < 100) ++frames;
  EXPECT_EQ(frames, 5);
}

}  // namespace
