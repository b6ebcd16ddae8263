// Shot, sword and summon parameters: defaults, the stored form by version,
// the upgrade steps, validation and the launch offsets.

#include "data/EdShot.h"

#include <gtest/gtest.h>

#include "data/Database.h"
#include "data/FlowTestSupport.h"
#include "data/SharedHolder.h"

namespace {

using flowtest::cFlowDataTest;
using flowtest::Reload;
using flowtest::WriteAt;

class EdShotFile : public cFlowDataTest {};

TEST_F(EdShotFile, DefaultsOfAFreshObject) {
  cSharedHolder<cEdShot> holder;
  const cEdShot& shot = holder.Create();
  EXPECT_EQ(shot.m_bUserFaction, 1);
  EXPECT_EQ(shot.m_bMirrorAngle, 1);
  EXPECT_EQ(shot.m_bMirrorX, 1);
  EXPECT_EQ(shot.m_bMirrorY, 0);
  EXPECT_EQ(shot.m_nScale, 1);
  EXPECT_EQ(shot.m_nCount, 0);
  EXPECT_EQ(shot.m_nPower, 0);
}

TEST_F(EdShotFile, MembersPresentByVersion) {
  cEdShot shot;
  EXPECT_EQ(shot.CountMembers(DATA_VERSION), 64);
  EXPECT_EQ(shot.CountMembers(766), 62);  // the two target slots come at 767
  EXPECT_EQ(shot.CountMembers(761), 60);  // the flow on hit at 762
  EXPECT_EQ(shot.CountMembers(150), 52);
}

TEST_F(EdShotFile, AShotOfVersion150) {
  cEdShot shot;
  shot.m_bMirrorAngle = 1;
  shot.m_nSummonCheckA = 1;
  shot.m_nMotion = 6;
  shot.m_bPierceCharas = 1;
  // Members the file lacks; the upgrade decides them, not what the object held.
  shot.m_bAccelOn = 1;
  shot.m_nAccel = 5;
  shot.m_nAccelPerCopy = 6;
  shot.m_nReference = 2;
  shot.m_bScrollSync = 0;
  shot.m_nSummonCheckB = 0;
  shot.m_bPierceBlockCharas = 0;
  const cEdShot read = Reload(shot, 150);
  EXPECT_EQ(read.m_bMirrorAngle, 0);
  EXPECT_EQ(read.m_bAccelOn, 0);
  EXPECT_EQ(read.m_nAccel, 0);
  EXPECT_EQ(read.m_nAccelPerCopy, 0);
  EXPECT_EQ(read.m_nReference, 0);
  EXPECT_EQ(read.m_nSummonCheckB, 1);       // copied from check A
  EXPECT_EQ(read.m_bScrollSync, 1);         // a homing motion
  EXPECT_EQ(read.m_bPierceBlockCharas, 1);  // copied from piercing characters
}

TEST_F(EdShotFile, UpgradeStepsByVersion) {
  struct Case {
    const char* what;
    int version;
    uint8_t motion;
    uint8_t scrollSync;
    uint8_t expectedScrollSync;
  };
  const Case cases[] = {
      {"200 homing motion follows the scroll", 200, 5, 0, 1},
      {"200 aiming motion does not", 200, 2, 1, 0},
      {"211 stored but reset by motion", 211, 2, 1, 0},
      {"211 homing", 211, 7, 0, 1},
      {"212 as stored", 212, 2, 1, 1},
      {"212 as stored, homing", 212, 4, 0, 0},
  };
  for (const Case& c : cases) {
    cEdShot shot;
    shot.m_nMotion = c.motion;
    shot.m_bScrollSync = c.scrollSync;
    EXPECT_EQ(Reload(shot, c.version).m_bScrollSync, c.expectedScrollSync) << c.what;
  }

  cEdShot shot;
  shot.m_nSummonCheckA = 1;
  shot.m_nSummonCheckB = 0;
  shot.m_bPierceCharas = 1;
  shot.m_bPierceBlockCharas = 0;
  shot.m_nReference = 2;
  shot.m_bAccelOn = 1;
  EXPECT_EQ(Reload(shot, 196).m_nSummonCheckB, 1);
  EXPECT_EQ(Reload(shot, 197).m_nSummonCheckB, 0);
  EXPECT_EQ(Reload(shot, 212).m_bAccelOn, 0);
  EXPECT_EQ(Reload(shot, 213).m_bAccelOn, 1);
  EXPECT_EQ(Reload(shot, 635).m_bPierceBlockCharas, 1);
  EXPECT_EQ(Reload(shot, 636).m_bPierceBlockCharas, 0);
  EXPECT_EQ(Reload(shot, 670).m_nReference, 0);
  EXPECT_EQ(Reload(shot, 671).m_nReference, 2);
}

TEST_F(EdShotFile, ScaleBelowOneBecomesOneOnReadingAndWriting) {
  for (int8_t scale : {int8_t{0}, int8_t{-3}, int8_t{-128}}) {
    cEdShot shot;
    shot.m_nScale = scale;
    EXPECT_EQ(Reload(shot, 780).m_nScale, 1) << int(scale);  // written raw, repaired by the reader
    cEdShot written;
    written.m_nScale = scale;
    WriteAt(written);
    EXPECT_EQ(written.m_nScale, 1) << int(scale);
  }
  cEdShot big;
  big.m_nScale = 10;
  EXPECT_EQ(Reload(big, DATA_VERSION).m_nScale, 10);
}

TEST_F(EdShotFile, AHitEffectOutsideTheEffectDatabaseBecomesNone) {
  cDatabase db;
  db.m_Effects.resize(3);
  for (int16_t effect : {int16_t{3}, int16_t{-1}, int16_t{32767}}) {
    cEdShot shot;
    shot.m_nHitEffect = effect;
    shot.Validate(db);
    EXPECT_EQ(shot.m_nHitEffect, 0) << effect;
  }
  cEdShot shot;
  shot.m_nHitEffect = 2;
  shot.Validate(db);
  EXPECT_EQ(shot.m_nHitEffect, 2);
}

TEST_F(EdShotFile, EveryMemberRoundTrips) {
  cEdShot shot;
  int16_t* shorts[] = {&shot.m_nFormationParams[0], &shot.m_nFormationParams[2], &shot.m_nAngle,
                       &shot.m_nAnglePerCopy,       &shot.m_nSpread,            &shot.m_nOffsetX,
                       &shot.m_nOffsetXPerCopy,     &shot.m_nOffsetY,           &shot.m_nOffsetYPerCopy,
                       &shot.m_nGraphic,            &shot.m_nMotionParams[1],   &shot.m_nSpeed,
                       &shot.m_nSpeedPerCopy,       &shot.m_nAccel,             &shot.m_nAccelPerCopy,
                       &shot.m_nDistance,           &shot.m_nDistancePerCopy,   &shot.m_nLifetime,
                       &shot.m_nLifetimePerCopy,    &shot.m_nSpareValue,        &shot.m_nHitItemIndex,
                       &shot.m_nSummonIndex};
  int16_t value = -300;
  for (int16_t* member : shorts) *member = value += 37;
  shot.m_nHitEffect = 1;
  shot.m_nSpareA = 0xAA;
  shot.m_nSpareB = 0xBB;
  shot.m_nImpact = -20;
  shot.m_nPower = -999999;
  shot.m_nFlowOnHitId = 26;
  shot.m_nMotionTarget = 3;
  shot.m_nFormationTarget = 2;
  cEdShot loaded = Reload(shot, DATA_VERSION);
  EXPECT_EQ(WriteAt(loaded), WriteAt(shot));
  EXPECT_EQ(loaded.m_nSpareA, 0xAA);
  EXPECT_EQ(loaded.m_nSpareB, 0xBB);
  EXPECT_EQ(loaded.m_nSpareValue, shot.m_nSpareValue);
  EXPECT_EQ(loaded.m_nImpact, -20);
  EXPECT_EQ(loaded.m_nSummonIndex, shot.m_nSummonIndex);
  EXPECT_EQ(loaded.m_nMotionTarget, 3);
}

TEST(EdShotOffset, LaunchOffsetsByCopyAndFacing) {
  cEdShot shot;
  shot.m_nOffsetX = 10;
  shot.m_nOffsetXPerCopy = 4;
  shot.m_bMirrorX = 1;
  EXPECT_EQ(shot.GetOffsetX(2, 1), -18.0);
  EXPECT_EQ(shot.GetOffsetX(2, 0), 18.0);
  shot.m_bMirrorX = 0;
  EXPECT_EQ(shot.GetOffsetX(2, 1), 18.0);
  shot.m_nOffsetY = -5;
  shot.m_nOffsetYPerCopy = 3;
  EXPECT_EQ(shot.GetOffsetY(3, 1), 4.0);  // mirror y is off by default
  shot.m_bMirrorY = 1;
  EXPECT_EQ(shot.GetOffsetY(3, 1), -4.0);
  // Extreme values cannot overflow.
  shot.m_nOffsetX = 32767;
  shot.m_nOffsetXPerCopy = 32767;
  EXPECT_EQ(shot.GetOffsetX(100000, 0), 32767.0 * 100000 + 32767.0);
}

}  // namespace
