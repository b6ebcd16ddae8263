// The warp and target commands: warping by direction and distance, from a
// target, to a target position, the undone warp, and filling target slots.

#include <gtest/gtest.h>

#include <cmath>

#include "data/EdMove.h"
#include "flow/FlowCommands.h"
#include "support/CharaSim.h"
#include "support/FlowBuilder.h"
#include "support/TestWorld.h"

namespace {

class WarpTest : public ::testing::Test {
 protected:
  WarpTest() : m_Sim(m_World) {}

  static cCharaData Data(int flying, int facing = 0) {
    cCharaData data = cTestWorld::Definition();
    data.m_nFlying = static_cast<uint8_t>(flying);
    data.m_nFacing = static_cast<uint8_t>(facing);
    return data;
  }
  cChara& Chara(int flying, int cellX = 10, int cellY = 10, int facing = 0) {
    cChara& chara = m_Sim.AddChara(Data(flying, facing), cellX, cellY);
    chara.m_Facing = facing;
    return chara;
  }
  static cCommand Warp(int mode, int direction, int distance, int perCopy = 0) {
    cCmdBuilder builder(FLOW_CMD_WARP);
    cEdMove& move = builder.Move();
    move.m_nPosMode = static_cast<uint8_t>(mode);
    move.m_nDirection = static_cast<uint8_t>(direction);
    move.m_nDistance = static_cast<int16_t>(distance);
    move.m_nDistancePerCopy = static_cast<int16_t>(perCopy);
    return builder;
  }
  static cCommand WarpTo(int coord, int cellX, int cellY, int dotX, int dotY, int mirrorX = 1) {
    cCmdBuilder builder(FLOW_CMD_WARP);
    cEdMove& move = builder.Move();
    move.m_nPosMode = kWarpTargetPosition;
    move.m_nCoordSystem = static_cast<uint8_t>(coord);
    move.m_nTargetX = static_cast<int16_t>(cellX);
    move.m_nTargetY = static_cast<int16_t>(cellY);
    move.m_nTargetOffsetX = static_cast<int16_t>(dotX);
    move.m_nTargetOffsetY = static_cast<int16_t>(dotY);
    move.m_bMirrorX = static_cast<uint8_t>(mirrorX);
    return builder;
  }

  cTestWorld m_World;
  cCharaSim m_Sim;
};

TEST_F(WarpTest, DirectionAndDistanceInHalfBlocksGrowingPerCopy) {
  const double d = 64 / std::sqrt(2.0);
  const struct {
    int flying;
    int facing;
    int direction;
    int copy;
    double dx;
    double dy;
  } cases[] = {
      {1, 0, DIR_FRONT, 0, -64, 0},  {1, 1, DIR_FRONT, 0, 64, 0},   {1, 0, DIR_BACK, 0, 64, 0},
      {1, 0, DIR_UP, 0, 0, -64},     {1, 0, DIR_DOWN, 0, 0, 64},    {1, 0, DIR_UP_RIGHT, 0, d, -d},
      {1, 0, DIR_DOWN_LEFT, 0, -d, d}, {0, 0, DIR_UP, 0, 0, -64},   {1, 0, DIR_LEFT, 2, -128, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "direction " << c.direction << " flying " << c.flying << " copy "
                                      << c.copy);
    g_CharaList.Clear();
    cChara& chara = Chara(c.flying, 10, 10, c.facing);
    chara.m_CloneNo = static_cast<uint16_t>(c.copy);
    const double x = chara.m_X;
    const double y = chara.m_Y;
    cCommand command = Warp(0, c.direction, 4, 2);
    CmdWarp(chara, command);
    EXPECT_NEAR(chara.m_X - x, c.dx, 1e-9);
    EXPECT_NEAR(chara.m_Y - y, c.dy, 1e-9);
  }
}

// Where a warp may end is the place test of summons: no solid cell at a
// corner and no block character overlapped, unless the character flies
// through blocks; nor outside the stage area, for anyone.
TEST_F(WarpTest, AWarpIntoAWallABlockCharacterOrOutOfTheAreaIsUndone) {
  enum eObstacle { kWall, kBlockChara, kOutOfArea };
  const struct {
    const char* name;
    int flyMode;  // 0 walking, 1 through blocks, 2 stopped by blocks
    eObstacle obstacle;
    bool moves;
  } cases[] = {
      {"a walker into a wall", 0, kWall, false},
      {"a flyer stopped by blocks into a wall", 2, kWall, false},
      {"a flyer through blocks into a wall", 1, kWall, true},
      {"a walker into a block character", 0, kBlockChara, false},
      {"a flyer stopped by blocks into a block character", 2, kBlockChara, false},
      {"a flyer through blocks into a block character", 1, kBlockChara, true},
      {"a flyer through blocks out of the area", 1, kOutOfArea, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    g_CharaList.Clear();
    m_World.SetSolid(12, 10, c.obstacle == kWall ? BLOCK_CONTACT_SOLID : 0);
    cChara& chara = Chara(c.flyMode);
    chara.m_VY = 3.0;
    if (c.obstacle == kBlockChara) {
      cCharaData block = cTestWorld::Definition();
      block.m_bBlockChara = 1;
      m_Sim.AddChara(block, 12, 10).m_Active = 1;
    }
    const double x = chara.m_X;
    const double y = chara.m_Y;
    cCommand command = c.obstacle == kOutOfArea ? Warp(0, DIR_LEFT, 64) : Warp(0, DIR_RIGHT, 4);
    CmdWarp(chara, command);
    EXPECT_EQ(chara.m_X, c.moves ? x + 64 : x);
    EXPECT_EQ(chara.m_Y, y);
    if (c.flyMode != 0) {
      EXPECT_EQ(chara.m_VY, 3.0) << "a flyer keeps its vertical speed";
    }
  }
}

TEST_F(WarpTest, AWalkerThatWarpsLosesItsVerticalSpeed) {
  cChara& chara = Chara(0);
  chara.m_VY = 3.0;
  cCommand command = Warp(0, DIR_LEFT, 2);
  CmdWarp(chara, command);
  EXPECT_EQ(chara.m_VY, 0.0);
}

TEST_F(WarpTest, FromATargetUsesTheTargetsCentreAndFacing) {
  cChara& target = Chara(1, 5, 5, 1);
  cChara& chara = Chara(1, 15, 12, 0);
  chara.SetTarget(2, &target, 1);
  cCommand command = Warp(3, DIR_FRONT, 2);
  CmdWarp(chara, command);
  chara.UpdateRect();
  EXPECT_EQ(chara.m_ScrLeft + (chara.m_GfxW >> 1), target.m_ScrLeft + (target.m_GfxW >> 1) + 32);
  EXPECT_EQ(chara.m_ScrTop + (chara.m_GfxH >> 1), target.m_ScrTop + (target.m_GfxH >> 1));

  const double x = chara.m_X;
  cCommand emptySlot = Warp(4, DIR_FRONT, 2);
  CmdWarp(chara, emptySlot);
  EXPECT_EQ(chara.m_X, x);
}

TEST_F(WarpTest, ToATargetPositionRelativeAbsoluteAndOnTheScreen) {
  cChara& chara = Chara(1, 10, 10, 1);
  const double x = chara.m_X;
  const double y = chara.m_Y;
  cCommand relative = WarpTo(0, 2, 1, 4, 3);
  CmdWarp(chara, relative);
  EXPECT_EQ(chara.m_X, x - 68) << "mirrored for a character facing right";
  EXPECT_EQ(chara.m_Y, y + 35);

  cChara& other = Chara(1, 3, 3, 0);
  cCommand absolute = WarpTo(1, 6, 7, 5, 2);
  CmdWarp(other, absolute);
  cChara& reference = Chara(1, 6, 7, 0);
  EXPECT_EQ(other.m_X, reference.m_X + 5);
  EXPECT_EQ(other.m_Y, reference.m_Y + 2);
  EXPECT_EQ(other.m_bScreenLockX, 0);

  cCommand screen = WarpTo(2, 3, 2, 0, 0);
  CmdWarp(other, screen);
  EXPECT_EQ(other.m_ScrLeft, 96);
  EXPECT_EQ(other.m_ScrTop, 64);
  EXPECT_EQ(other.m_bScreenLockX, 1);
  EXPECT_EQ(other.m_bScreenLockY, 1);
  EXPECT_EQ(other.m_nLockedScreenX, 96);
  EXPECT_EQ(other.m_nLockedScreenY, 64);
}

// ---- target setting ----------------------------------------------------------------------------

class SetTargetTest : public WarpTest {
 protected:
  static cCommand Target(int slot, int kind, std::initializer_list<std::pair<int, int>> more = {}) {
    cCmdBuilder builder(FLOW_CMD_SET_TARGET);
    builder.Param(0, slot).Param(1, kind);
    for (const auto& [index, value] : more) builder.Param(index, value);
    return builder;
  }
};

TEST_F(SetTargetTest, EachKindFillsTheSlotWithItsCharacter) {
  cHero& hero = m_Sim.AddHero(cTestWorld::Definition(), 2, 10);
  cChara& self = Chara(1, 10, 10);
  cChara& far = Chara(1, 20, 10);
  cChara& nearby = Chara(1, 12, 10);
  cChara& other = Chara(1, 11, 10);
  nearby.m_PassNo = 3;
  far.m_Data.m_nCid = 7;
  self.SetTarget(1, &far, 1);
  self.m_pParent = &far;
  self.m_CharaLinks.push_back({&other, kLinkChild});
  self.m_CharaLinks.push_back({&nearby, kLinkChild});
  for (cChara& chara : g_CharaList) chara.m_OnScreen = 1;
  hero.m_OnScreen = 1;

  struct {
    cCommand command;
    cCharaBase* expected;
  } cases[] = {
      {Target(2, 0), &hero},
      {Target(2, 1), &self},
      {Target(2, 2, {{8, 1}}), &other},
      {Target(2, 2, {{8, 1}, {4, 1}, {2, 3}}), &nearby},
      {Target(2, 3, {{10, 7}}), &far},
      {Target(2, 4), &far},
      {Target(2, 5), &nearby},
      {Target(2, 6, {{4, 1}, {2, 1}}), &other},
      {Target(2, 8), &far},
  };
  int i = 0;
  for (auto& c : cases) {
    SCOPED_TRACE(i++);
    self.SetTarget(2, nullptr, 1);
    CmdSetTarget(self, c.command);
    EXPECT_EQ(self.Target(2), c.expected);
  }
  EXPECT_NE(std::find(far.m_CharaLinks.begin(), far.m_CharaLinks.end(), cCharaLink{&self, 1}),
            far.m_CharaLinks.end());
}

TEST_F(SetTargetTest, NothingFoundClearsTheSlotOrLeavesIt) {
  cChara& self = Chara(1, 10, 10);
  cChara& kept = Chara(1, 12, 10);
  self.SetTarget(1, &kept, 1);
  cCommand keep = Target(1, 3, {{10, 42}, {15, 1}});
  CmdSetTarget(self, keep);
  EXPECT_EQ(self.Target(1), &kept);
  cCommand clear = Target(1, 3, {{10, 42}});
  CmdSetTarget(self, clear);
  EXPECT_EQ(self.Target(1), nullptr);
  EXPECT_EQ(std::find(kept.m_CharaLinks.begin(), kept.m_CharaLinks.end(), cCharaLink{&self, 1}),
            kept.m_CharaLinks.end());
}

TEST_F(SetTargetTest, TheOnScreenRangeSkipsCharactersOutOfView) {
  cChara& self = Chara(1, 10, 10);
  cChara& hidden = Chara(1, 11, 10);
  hidden.m_Data.m_nCid = 5;
  hidden.m_OnScreen = 0;
  cCommand onScreen = Target(0, 3, {{10, 5}, {3, 2}});
  CmdSetTarget(self, onScreen);
  EXPECT_EQ(self.Target(0), nullptr);
  cCommand anywhere = Target(0, 3, {{10, 5}, {3, 0}});
  CmdSetTarget(self, anywhere);
  EXPECT_EQ(self.Target(0), &hidden);
}

}  // namespace
