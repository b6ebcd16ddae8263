#include "world/BlockCollision.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/Numeric.h"
#include "doubles/FakeFlowServices.h"
#include "support/CharaSim.h"
#include "support/FlowBuilder.h"

namespace {

// World dots of stage cell n (the grid's margin added).
constexpr int CellDot(int n) { return (n + kMapMarginCells) * kCellDots; }

// A walker: computer-operated, walking, the stage's 16 x 24 box standing on
// the bottom of its cell.
cCharaData Walker() { return cTestWorld::Definition(); }

// A block character flying through the map, moving `direction` at `tenths`
// tenths of a dot per frame for as long as the stage lasts.
cCharaData MovingBlock(int direction, int tenths) {
  cCharaData data = cTestWorld::Definition();
  data.m_bBlockChara = 1;
  data.m_nFlying = 1;
  if (tenths != 0) {
    cCmdBuilder move(FLOW_CMD_STRAIGHT_MOVE);
    move.Duration(30000);
    move.Move().m_nDirection = static_cast<uint8_t>(direction);
    move.Move().m_nSpeed = static_cast<int16_t>(tenths);
    move.Move().m_bMirrorX = 0;
    data.m_Flows.push_back(cFlowBuilder().Trigger(TRIGGER_ALWAYS).Cmd(move));
  }
  return data;
}

// A walker that keeps walking `direction` at `tenths` per frame.
cCharaData WalkingWalker(int direction, int tenths) {
  cCharaData data = Walker();
  cCmdBuilder move(FLOW_CMD_STRAIGHT_MOVE);
  move.Duration(30000);
  move.Move().m_nDirection = static_cast<uint8_t>(direction);
  move.Move().m_nSpeed = static_cast<int16_t>(tenths);
  data.m_Flows.push_back(cFlowBuilder().Trigger(TRIGGER_ALWAYS).Cmd(move));
  return data;
}

void Floor(cTestWorld& world, int row, int fromX, int toX, int contact = BLOCK_CONTACT_SOLID) {
  for (int x = fromX; x <= toX; ++x) world.SetSolid(x, row, contact);
}

// Puts the box's top-left corner at (x, y) and lets the edges and cells follow.
void MoveTo(cCharaBase& chara, double x, double y) {
  chara.m_X = x;
  chara.m_Y = y;
  chara.ClampX(CLAMP_GRID);
  chara.ClampY(CLAMP_GRID);
}

// ---- one side at a time ------------------------------------------------------------------

class BlockSideTest : public ::testing::Test {
 protected:
  cTestWorld m_World{cTestWorld::cOptions{.subSteps = 1}};
  cCharaSim m_Sim{m_World};
};

// A landing moves the character up by whole dots, (whole bottom mod 32) + 1:
// the bottom reaches the last dot above the cell and keeps its fraction.
TEST_F(BlockSideTest, LandingPutsTheBottomOnTheLastDotAboveTheCell) {
  // Stage row 2 covers world dots 384 to 415; 415.7 is the bottom 95.7 that
  // ends at 63.7, ten cells further down.
  const struct {
    double bottom;
    double landed;
  } cases[] = {{415.7, 383.7}, {400.0, 383.0}, {384.0, 383.0}, {395.25, 383.25}, {384.999, 383.999}};
  Floor(m_World, 2, 0, 6);
  for (const auto& c : cases) {
    cChara& chara = m_Sim.AddChara(Walker(), 3, 0);
    chara.m_VY = 3.0;
    chara.m_bAirborne = 1;
    MoveTo(chara, chara.m_X, c.bottom - (chara.m_BoxH - 1));
    EXPECT_EQ(CollideDown(chara), 0);
    EXPECT_DOUBLE_EQ(chara.m_Bottom, c.landed) << c.bottom;
    EXPECT_EQ(chara.m_bContactDown, 1);
    EXPECT_EQ(chara.m_bAirborne, 0);
    EXPECT_EQ(chara.m_VY, 0.0);
    EXPECT_EQ(chara.m_nLastCellBelow, chara.m_nCellBelow);
    EXPECT_EQ(chara.IsOnGround(), 1);
    g_CharaList.Remove(&chara);
  }
}

TEST_F(BlockSideTest, AWallSetsTheCharacterBackToTheCellBoundary) {
  Floor(m_World, 3, 3, 3);  // stage column 3 covers world dots 416 to 447
  cChara& chara = m_Sim.AddChara(Walker(), 2, 3);
  chara.m_CmdVX = 1.5;
  MoveTo(chara, 420.7, chara.m_Y);  // its right edge at 435.7, inside the wall
  EXPECT_EQ(CollideRight(chara), 0);
  EXPECT_DOUBLE_EQ(chara.m_X, 400.7);
  EXPECT_DOUBLE_EQ(chara.m_Right, 415.7);
  EXPECT_EQ(chara.m_bContactRight, 1);
  EXPECT_EQ(chara.m_nLastWall, 1);
  EXPECT_EQ(chara.m_CmdVX, 0.0);

  MoveTo(chara, 440.2, chara.m_Y);  // its left edge inside the wall
  EXPECT_EQ(CollideLeft(chara), 0);
  EXPECT_DOUBLE_EQ(chara.m_X, 448.2);
  EXPECT_EQ(chara.m_nLastWall, 0);
}

TEST_F(BlockSideTest, EachSideFiresItsBlockTriggers) {
  cFakeFlowServices flows;
  m_World.SetSolid(3, 3);
  const struct {
    int (*collide)(cCharaBase&);
    double x;
    double y;
    std::vector<int> triggers;
  } cases[] = {
      {CollideRight, 420.5, CellDot(3) + 8, {TRIGGER_HIT_BLOCK, TRIGGER_BLOCK_SIDE, TRIGGER_BLOCK_RIGHT}},
      {CollideLeft, 440.5, CellDot(3) + 8, {TRIGGER_HIT_BLOCK, TRIGGER_BLOCK_SIDE, TRIGGER_BLOCK_LEFT}},
      {CollideDown, 424.5, CellDot(3) - 10, {TRIGGER_HIT_BLOCK, TRIGGER_BLOCK_VERTICAL, TRIGGER_BLOCK_BELOW}},
      {CollideUp, 424.5, CellDot(3) + 20, {TRIGGER_HIT_BLOCK, TRIGGER_BLOCK_VERTICAL, TRIGGER_BLOCK_ABOVE}},
  };
  for (const auto& c : cases) {
    cChara& chara = m_Sim.AddChara(Walker(), 1, 1);
    MoveTo(chara, c.x, c.y);
    flows.m_Calls.clear();
    EXPECT_EQ(c.collide(chara), 0);
    std::vector<int> fired;
    for (const cFakeFlowServices::cCall& call : flows.m_Calls) {
      if (call.what == "FireFlowTrigger" && call.chara == &chara) fired.push_back(call.value);
    }
    EXPECT_EQ(fired, c.triggers);
    g_CharaList.Remove(&chara);
  }
}

TEST_F(BlockSideTest, DeadlyCellsKillPlayersAndFlyersThatDieOnContactOnly) {
  m_World.SetSolid(3, 3, BLOCK_CONTACT_DEADLY);
  const struct {
    int op;
    int flyMode;
    int expected;
  } cases[] = {
      {OBJ_BY_COMPUTER, 0, 0}, {OBJ_BY_PLAYER, 0, 2}, {OBJ_BY_COMPUTER, 3, 2}, {OBJ_BY_COMPUTER, 1, 0},
  };
  for (const auto& c : cases) {
    cChara& chara = m_Sim.AddChara(Walker(), 2, 3);
    chara.m_Operator = c.op;
    chara.SetFlyMode(c.flyMode);
    MoveTo(chara, 420.5, chara.m_Y);
    EXPECT_EQ(CollideRight(chara), c.expected) << c.op << " " << c.flyMode;
    g_CharaList.Remove(&chara);
  }
}

TEST_F(BlockSideTest, ARisingCharacterLandsOnlyWhenTheSystemDataLetsIt) {
  Floor(m_World, 2, 0, 6);
  for (int allowed : {0, 1}) {
    g_System.m_bCollisionSwitch = allowed;
    cChara& chara = m_Sim.AddChara(Walker(), 3, 0);
    chara.m_VY = -2.0;
    MoveTo(chara, chara.m_X, 390.5 - (chara.m_BoxH - 1));
    const double before = chara.m_Y;
    EXPECT_EQ(CollideDown(chara), 0);
    if (allowed != 0) {
      EXPECT_EQ(chara.m_bContactDown, 1);
      EXPECT_DOUBLE_EQ(chara.m_Bottom, 383.5);
    } else {
      EXPECT_EQ(chara.m_bContactDown, 0);
      EXPECT_EQ(chara.m_Y, before);
    }
    g_CharaList.Remove(&chara);
  }
}

TEST_F(BlockSideTest, AFlyingCharacterThatPassesThroughMeetsNothing) {
  m_World.SetSolid(3, 3);
  cChara& chara = m_Sim.AddChara(Walker(), 2, 3);
  chara.SetFlyMode(1);
  MoveTo(chara, 420.5, chara.m_Y);
  EXPECT_EQ(MapCollideX(chara), 0);
  EXPECT_EQ(chara.m_X, 420.5);
  EXPECT_EQ(chara.m_bContactRight, 0);
  EXPECT_EQ(IsPlaceBlocked(chara, g_CharaList), 0);
  chara.SetFlyMode(0);
  EXPECT_EQ(IsPlaceBlocked(chara, g_CharaList), 1);
}

TEST_F(BlockSideTest, AFastFallOntoABlockCharacterLandsOnItHoweverDeepItSank) {
  cChara& block = m_Sim.AddChara(MovingBlock(DIR_RIGHT, 0), 4, 6);
  cChara& chara = m_Sim.AddChara(Walker(), 4, 3);
  chara.SavePrevPosition();
  block.SavePrevPosition();
  // One sub-step of a fast fall took its feet 20 dots into the block.
  chara.m_VY = 12.0;
  MoveTo(chara, chara.m_X, block.m_Y + 20 - (chara.m_BoxH - 1));
  EXPECT_EQ(CollideBlockCharas(chara, g_CharaList), 0);
  EXPECT_DOUBLE_EQ(chara.m_Bottom, block.m_Y - 1);
  EXPECT_EQ(chara.m_bRiding, 1);
  EXPECT_EQ(chara.m_nRiddenKey, block.m_Key);
  EXPECT_EQ(chara.m_VY, 0.0);
}

TEST_F(BlockSideTest, ABlockCharacterBlocksAPlaceAsASolidCellDoes) {
  cChara& block = m_Sim.AddChara(MovingBlock(DIR_RIGHT, 0), 6, 3);
  cChara& chara = m_Sim.AddChara(Walker(), 2, 3);
  EXPECT_EQ(IsPlaceBlocked(chara, g_CharaList), 0);
  MoveTo(chara, block.m_X + 10, chara.m_Y);
  EXPECT_EQ(IsPlaceBlocked(chara, g_CharaList), 1);
  EXPECT_EQ(OverlapsOtherBlockChara(chara, g_CharaList, block.m_Key), 0);
  block.m_bDead = 1;
  EXPECT_EQ(IsPlaceBlocked(chara, g_CharaList), 0);
}

// The block characters are looked up again after every change of the list
// or of a character's definition, between queries of the same character.
TEST_F(BlockSideTest, ABlockCharacterCountsFromWhenItComesUntilItGoesOrStopsBeingOne) {
  cChara& chara = m_Sim.AddChara(Walker(), 2, 3);
  cChara& other = m_Sim.AddChara(Walker(), 2, 3);
  EXPECT_EQ(OverlapsBlockChara(chara, g_CharaList), 0);
  cChara changed = other;
  changed.m_Data.m_bBlockChara = 1;
  other = changed;
  EXPECT_EQ(OverlapsBlockChara(chara, g_CharaList), 1) << "made a block character by a copy";
  changed.m_Data.m_bBlockChara = 0;
  other = changed;
  EXPECT_EQ(OverlapsBlockChara(chara, g_CharaList), 0) << "made a plain one again";
  other.Init(other.m_Key, MovingBlock(DIR_RIGHT, 0), nullptr, other.m_X, other.m_Y, 0, nullptr);
  MoveTo(other, chara.m_X, chara.m_Y);
  other.m_Active = 1;
  EXPECT_EQ(OverlapsBlockChara(chara, g_CharaList), 1) << "set up again from a block character's definition";
  g_CharaList.Remove(&other);
  EXPECT_EQ(OverlapsBlockChara(chara, g_CharaList), 0) << "removed";
  cChara& block = m_Sim.AddChara(MovingBlock(DIR_RIGHT, 0), 2, 3);
  EXPECT_EQ(OverlapsBlockChara(chara, g_CharaList), 1) << "appended";
  g_CharaList.Remove(&block);
  EXPECT_EQ(OverlapsBlockChara(chara, g_CharaList), 0) << "removed";
}

TEST_F(BlockSideTest, TheHeroIsKeptInsideAViewThatScrollsByItself) {
  cHero& hero = m_Sim.AddHero(Walker(), 4, 5);
  cScrollAxis& x = m_World.Scene().m_ScrollX;
  cScrollAxis& y = m_World.Scene().m_ScrollY;
  x.m_Moving = y.m_Moving = 1;
  x.m_Speed = 1.0;
  x.m_Position = 500;
  MoveTo(hero, 480.5, hero.m_Y);
  EXPECT_EQ(PushHeroByScreenX(hero), 0);
  EXPECT_EQ(hero.m_X, 500.0);
  EXPECT_EQ(hero.m_bContactLeft, 1);
  // Below the view a walking hero falls out; a flying one is held.
  y.m_Position = 320;
  MoveTo(hero, hero.m_X, 320 + 470);
  EXPECT_EQ(PushHeroByScreenY(hero), 2);
  EXPECT_EQ(hero.m_bContactDown, 1);
  hero.ApplySizeKind(2, 0);
  MoveTo(hero, hero.m_X, 320 + 470);
  EXPECT_EQ(PushHeroByScreenY(hero), 0);
  EXPECT_DOUBLE_EQ(hero.m_Bottom, 320 + 480 - 2);
  // A view that follows the hero pushes a walking hero nowhere.
  x.m_Moving = 0;
  hero.ApplySizeKind(0, 0);
  MoveTo(hero, 100.5, hero.m_Y);
  EXPECT_EQ(PushHeroByScreenX(hero), 0);
  EXPECT_EQ(hero.m_X, 100.5);
}

// ---- scenarios at 1, 4 and 10 sub-steps ------------------------------------------------------

class BlockScenarioTest : public ::testing::TestWithParam<int> {
 protected:
  cTestWorld m_World{cTestWorld::cOptions{.subSteps = GetParam()}};
  cCharaSim m_Sim{m_World};
};

INSTANTIATE_TEST_SUITE_P(SubSteps, BlockScenarioTest, ::testing::Values(1, 4, 10));

TEST_P(BlockScenarioTest, AFallingCharacterLandsOnTheCellAndStaysThere) {
  Floor(m_World, 8, 0, 8);
  cChara& walker = m_Sim.AddChara(Walker(), 4, 2);
  cHero& hero = m_Sim.AddHero(Walker(), 1, 2);
  EXPECT_TRUE(m_Sim.Frames(40).empty());
  // Standing, each sinks by gravity into the cell below now and then and
  // lands again, by whole dots: its whole bottom never leaves the last dot
  // above the cell, and it never falls through.
  const double walkerX = walker.m_X, heroX = hero.m_X;
  for (int frame = 0; frame < 600; ++frame) {
    EXPECT_EQ(TruncToI32(walker.m_Bottom), CellDot(8) - 1) << frame;
    EXPECT_EQ(TruncToI32(hero.m_Bottom), CellDot(8) - 1) << frame;
    m_Sim.Frame();
  }
  EXPECT_EQ(walker.m_X, walkerX);
  EXPECT_EQ(hero.m_X, heroX);
  EXPECT_EQ(walker.m_bAirborne, 0);
  EXPECT_EQ(hero.m_bAirborne, 0);
}

TEST_P(BlockScenarioTest, AWalkerStopsAtAWallOnTheLastFreeDot) {
  Floor(m_World, 6, 0, 12);
  for (int row = 3; row <= 5; ++row) m_World.SetSolid(9, row);
  cChara& chara = m_Sim.AddChara(WalkingWalker(DIR_RIGHT, 30), 4, 5);
  EXPECT_TRUE(m_Sim.Frames(80).empty());
  EXPECT_EQ(TruncToI32(chara.m_Right), CellDot(9) - 1);
  EXPECT_EQ(chara.m_nLastWall, 1);
  EXPECT_EQ(TruncToI32(chara.m_Bottom), CellDot(6) - 1);
}

TEST_P(BlockScenarioTest, OnADeadlyFloorThePlayerDiesWhereAComputerCharacterStands) {
  Floor(m_World, 8, 0, 12, BLOCK_CONTACT_DEADLY);
  cHero& hero = m_Sim.AddHero(Walker(), 2, 5);
  cChara& chara = m_Sim.AddChara(Walker(), 7, 5);
  std::vector<cCharaSim::cEvent> events = m_Sim.Frames(40);
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.front().m_Key, hero.m_Key);
  EXPECT_EQ(events.front().m_Outcome, cCharaSim::OUTCOME_DIES);
  for (const cCharaSim::cEvent& event : events) EXPECT_NE(event.m_Key, chara.m_Key);
  EXPECT_EQ(TruncToI32(chara.m_Bottom), CellDot(8) - 1);
  EXPECT_EQ(chara.m_bAirborne, 0);
}

TEST_P(BlockScenarioTest, ACharacterWithoutGroundIsAirborneAfterExactlyEightFrames) {
  cChara& chara = m_Sim.AddChara(Walker(), 4, 6);
  // As it leaves the ground: landed, nothing under its feet.
  chara.m_bAirborne = 0;
  chara.m_nOffGround = 0;
  int subSteps = 0;
  while (chara.m_bAirborne == 0 && subSteps < 1000) {
    chara.ClearLRUD();
    chara.SavePrevPosition();
    ASSERT_EQ(m_Sim.StepChara(chara), cCharaSim::OUTCOME_NONE);
    ++subSteps;
  }
  EXPECT_EQ(subSteps, 8 * GetParam());
}

TEST_P(BlockScenarioTest, TwoBlockCharactersClosingInCrushACharacterOnTheGround) {
  Floor(m_World, 8, 0, 16);
  cChara& walker = m_Sim.AddChara(Walker(), 8, 7);
  const cChara& left = m_Sim.AddChara(MovingBlock(DIR_RIGHT, 10), 5, 7);
  m_Sim.AddChara(MovingBlock(DIR_LEFT, 10), 11, 7);
  std::vector<cCharaSim::cEvent> events = m_Sim.Frames(100);
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.front().m_Key, walker.m_Key);
  EXPECT_EQ(events.front().m_Outcome, cCharaSim::OUTCOME_DIES);
  // It was squeezed: the blocks met it from both sides.
  EXPECT_GE(left.m_Right, walker.m_X);
}

TEST_P(BlockScenarioTest, OneBlockCharacterPushesACharacterWithoutCrushingIt) {
  Floor(m_World, 8, 0, 20);
  cChara& walker = m_Sim.AddChara(Walker(), 8, 7);
  const cChara& block = m_Sim.AddChara(MovingBlock(DIR_RIGHT, 10), 5, 7);
  EXPECT_TRUE(m_Sim.Frames(140).empty());
  EXPECT_GT(walker.m_X, block.m_Right);
  EXPECT_LT(walker.m_X - block.m_Right, 3.0);
  EXPECT_EQ(TruncToI32(walker.m_Bottom), CellDot(8) - 1);
}

TEST_P(BlockScenarioTest, ACharacterRidesABlockCharacterThatMovesSideways) {
  cChara& platform = m_Sim.AddChara(MovingBlock(DIR_RIGHT, 10), 4, 8);
  cChara& rider = m_Sim.AddChara(Walker(), 4, 6);
  m_Sim.Frames(30);
  ASSERT_EQ(rider.m_bRiding, 1);
  EXPECT_EQ(rider.m_nRiddenKey, platform.m_Key);
  const double riderX = rider.m_X;
  const double platformX = platform.m_X;
  EXPECT_TRUE(m_Sim.Frames(40).empty());
  EXPECT_NEAR(rider.m_X - riderX, platform.m_X - platformX, 1e-9);
  EXPECT_NEAR(platform.m_X - platformX, 40.0, 1e-6);
  EXPECT_EQ(rider.m_bRiding, 1);
  EXPECT_EQ(TruncToI32(rider.m_Bottom), TruncToI32(platform.m_Y) - 1);
}

TEST_P(BlockScenarioTest, ACharacterFollowsABlockCharacterThatMovesDown) {
  cChara& platform = m_Sim.AddChara(MovingBlock(DIR_DOWN, 5), 4, 6);
  cChara& rider = m_Sim.AddChara(Walker(), 4, 4);
  m_Sim.Frames(20);
  ASSERT_EQ(rider.m_bRiding, 1);
  const double platformY = platform.m_Y;
  m_Sim.Frames(20);
  EXPECT_NEAR(platform.m_Y - platformY, 10.0, 1e-6);
  EXPECT_EQ(rider.m_bRiding, 1);
  EXPECT_NEAR(rider.m_Bottom, platform.m_Y - 1, 1.0);
}

TEST_P(BlockScenarioTest, AJumpCommandRisesItsHeightAndLandsAgain) {
  Floor(m_World, 8, 0, 8);
  cCharaData data = Walker();
  cCmdBuilder jump(FLOW_CMD_JUMP);
  jump.Param(2, 2);  // 2 half blocks: 32 dots
  data.m_Flows.push_back(cFlowBuilder().Trigger(TRIGGER_ALWAYS).Cmd(WaitCmd(3)).Cmd(jump).Cmd(WaitCmd(100)));
  cChara& chara = m_Sim.AddChara(data, 4, 7);
  m_Sim.Frames(2);
  const double ground = chara.m_Bottom;
  double highest = ground;
  bool landedAgain = false;
  for (int frame = 0; frame < 60; ++frame) {
    m_Sim.Frame();
    highest = std::min(highest, chara.m_Bottom);
    if (highest < ground - 8 && TruncToI32(chara.m_Bottom) == CellDot(8) - 1) landedAgain = true;
  }
  EXPECT_NEAR(ground - highest, 32.0, 1.5);
  EXPECT_TRUE(landedAgain);
  EXPECT_EQ(chara.m_bJumped, 0);
}

}  // namespace
