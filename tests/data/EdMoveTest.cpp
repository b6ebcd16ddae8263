// Movement parameters: defaults, the stored form of each version with the
// members older files lack, and the resolution of the input direction.

#include "data/EdMove.h"

#include <gtest/gtest.h>

#include "data/FlowTestSupport.h"
#include "data/SharedHolder.h"

namespace {

using flowtest::Reload;

TEST(EdMoveForm, DefaultsOfAFreshObject) {
  cSharedHolder<cEdMove> holder;
  const cEdMove& move = holder.Create();
  EXPECT_EQ(move.m_nSpeed, 10);
  EXPECT_EQ(move.m_bMirrorAngle, 1);
  EXPECT_EQ(move.m_bAxisX, 1);
  EXPECT_EQ(move.m_bAxisY, 1);
  EXPECT_EQ(move.m_bTimeFromDistance, 1);
  EXPECT_EQ(move.m_bMirrorX, 1);
  EXPECT_EQ(move.m_bMirrorY, 0);
  EXPECT_EQ(move.m_bTurnWithFacing, 1);
  EXPECT_EQ(move.m_dInertiaFactor, 1.0);
  EXPECT_EQ(move.m_nRushTargetSlot, 0);
  EXPECT_EQ(move.m_nPosMode, 0);
  EXPECT_EQ(move.m_nDistance, 0);
}

TEST(EdMoveForm, MembersPresentByVersion) {
  cEdMove move;
  EXPECT_EQ(move.CountMembers(157), 28);
  EXPECT_EQ(move.CountMembers(158), 29);
  EXPECT_EQ(move.CountMembers(159), 30);
  EXPECT_EQ(move.CountMembers(162), 32);
  EXPECT_EQ(move.CountMembers(767), 33);
  EXPECT_EQ(move.CountMembers(DATA_VERSION), 33);
}

// Members a file lacks are 0 after reading, not their defaults.
TEST(EdMoveForm, OlderFilesLackMembers) {
  struct Case {
    int version;
    uint8_t mirrorAngle;
    uint8_t distanceUnit;
    uint8_t keepFacing;
    uint8_t ownAnime;
    uint8_t rushSlot;
  };
  const Case cases[] = {
      {157, 0, 0, 0, 0, 0}, {158, 1, 0, 0, 0, 0}, {161, 1, 1, 0, 0, 0},
      {162, 1, 1, 1, 1, 0}, {766, 1, 1, 1, 1, 0}, {DATA_VERSION, 1, 1, 1, 1, 3},
  };
  for (const Case& c : cases) {
    cEdMove move;
    move.m_bMirrorAngle = 1;
    move.m_nDistanceUnit = 1;
    move.m_bKeepFacing = 1;
    move.m_bOwnAnime = 1;
    move.m_nRushTargetSlot = 3;
    move.m_nSpeed = -40;
    move.m_dInertiaFactor = 2.5;
    const cEdMove loaded = Reload(move, c.version);
    EXPECT_EQ(loaded.m_bMirrorAngle, c.mirrorAngle) << c.version;
    EXPECT_EQ(loaded.m_nDistanceUnit, c.distanceUnit) << c.version;
    EXPECT_EQ(loaded.m_bKeepFacing, c.keepFacing) << c.version;
    EXPECT_EQ(loaded.m_bOwnAnime, c.ownAnime) << c.version;
    EXPECT_EQ(loaded.m_nRushTargetSlot, c.rushSlot) << c.version;
    EXPECT_EQ(loaded.m_nSpeed, -40) << c.version;
    EXPECT_EQ(loaded.m_dInertiaFactor, 2.5) << c.version;
  }
}

// ---- input direction ----------------------------------------------------------------

TEST(MapDirectionCode, SlotsGiveTheirDirections) {
  // Slots 1 to 8 are the same in both modes.
  const int expected[9] = {0, DIR_LEFT, DIR_RIGHT, DIR_UP, DIR_DOWN, DIR_UP_LEFT, DIR_DOWN_LEFT, DIR_UP_RIGHT,
                           DIR_DOWN_RIGHT};
  for (int slot = 1; slot <= 8; ++slot) {
    for (int mode : {0, 1}) {
      for (int facing : {0, 1}) EXPECT_EQ(MapDirectionCode(slot, mode, facing, false, DATA_VERSION), expected[slot]);
    }
  }
}

TEST(MapDirectionCode, NoSlotAndSlot9DependOnTheMode) {
  struct Case {
    int slot;
    int mode;
    int facing;
    int expected;
  };
  const Case cases[] = {
      {0, 1, 1, DIR_RIGHT}, {0, 1, 0, DIR_LEFT}, {0, 0, 1, DIR_RIGHT}, {0, 0, 0, DIR_LEFT},
      {9, 1, 1, DIR_FRONT}, {9, 1, 0, DIR_FRONT}, {9, 0, 1, DIR_RIGHT}, {9, 0, 0, DIR_LEFT},
      {10, 1, 1, DIR_RIGHT}, {-1, 1, 0, DIR_LEFT},  // slots a state can never hold
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MapDirectionCode(c.slot, c.mode, c.facing, false, DATA_VERSION), c.expected)
        << c.slot << " " << c.mode << " " << c.facing;
  }
}

TEST(MapDirectionCode, DuringReplayPlaybackTheReplaysVersionDecides) {
  struct Case {
    int version;
    int mode;
    int expected;  // for slot 9, facing right
  };
  const Case cases[] = {
      {777, 0, DIR_FRONT}, {777, 1, DIR_FRONT},  // first mode whatever the flag
      {778, 1, DIR_RIGHT}, {779, 1, DIR_RIGHT},  // second mode whatever the flag
      {780, 1, DIR_FRONT}, {780, 0, DIR_RIGHT},  // the flag again
      {DATA_VERSION, 1, DIR_FRONT},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MapDirectionCode(9, c.mode, 1, true, c.version), c.expected) << c.version << " " << c.mode;
  }
}

}  // namespace
