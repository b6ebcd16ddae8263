// Shots, swords and formations on a small stage: fan and explosion angles,
// lifetime and distance, sword durations, the spread's random draws, links,
// the shot list's limits and the bad-data guards.

#include "world/Shot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "data/Database.h"
#include "data/SwordType.h"
#include "world/FlowState.h"
#include "ShotTestSupport.h"
#include "support/TestWorld.h"
#include "world/Chara.h"
#include "world/Formation.h"
#include "world/Random.h"
#include "world/Damage.h"
#include "world/Sword.h"

namespace {

// One sub-step of the play step's shot work.
void ShotSubStep(int subStep) {
  g_GameScene->m_nSubStep = subStep;
  ActivateShots();
  UpdateShots();
}

class ShotTest : public shottest::cShotFixture {
 protected:
  explicit ShotTest(int subSteps = 1) : cShotFixture(subSteps) {}

  // A computer-operated character of `faction` on stage cell (x, y).
  cChara& AddShooter(int x = 10, int y = 8, int faction = 1, int facing = 0) { return AddChara(x, y, faction, facing); }

  // A shot command's settings: `count` objects of formation `formation`,
  // flying left at 1 dot per frame, through blocks, no angle mirroring.
  static cEdShot Settings(int formation, int count, int param1 = 0) {
    cEdShot shot;
    shot.m_nFormation = static_cast<uint8_t>(formation);
    shot.m_nCount = static_cast<uint8_t>(count);
    shot.m_nFormationParams[0] = static_cast<int16_t>(param1);
    shot.m_nDirection = 2;
    shot.m_nSpeed = 10;
    shot.m_bMirrorAngle = 0;
    shot.m_bPassBlocks = 1;
    return shot;
  }

  void Fire(cChara& shooter, cEdShot& settings) {
    cCmdState state;
    FireShot(g_ShotList, shooter, state, settings);
  }

  // The travel angles of the shots in flight, in degrees within [0, 360).
  static std::vector<double> Angles() {
    std::vector<double> angles;
    for (cShot& shot : g_ShotList.m_Shots) {
      double a = std::atan2(-shot.m_MotionVY, -shot.m_MotionVX) * 180 / M_PI;
      if (a < -1e-9) a += 360;
      angles.push_back(std::round(a * 1000) / 1000);
    }
    return angles;
  }
};

TEST_F(ShotTest, FansAndExplosionsSpreadTheirShotsByTheirAngles) {
  struct Case {
    int formation;
    int count;
    int param1;
    std::vector<double> angles;
  };
  const Case cases[] = {
      {FORMATION_FAN, 4, 30, {315, 345, 15, 45}},
      {FORMATION_FAN, 3, 30, {330, 0, 30}},
      {FORMATION_FAN, 1, 30, {0}},
      {FORMATION_EXPLOSION, 4, 0, {0, 90, 180, 270}},
      {FORMATION_EXPLOSION, 3, 0, {0, 120, 240}},
  };
  cChara& shooter = AddShooter();
  for (const Case& c : cases) {
    ClearShots();
    cEdShot settings = Settings(c.formation, c.count, c.param1);
    Fire(shooter, settings);
    EXPECT_EQ(Angles(), c.angles) << c.formation << " x " << c.count;
  }
}

TEST_F(ShotTest, ClonesFireOnePassEachWithGrowingSpeed) {
  cChara& shooter = AddShooter();
  cEdShot settings = Settings(FORMATION_STRAIGHT_A, 1);
  settings.m_nCopies = 2;
  settings.m_nSpeedPerCopy = 10;
  Fire(shooter, settings);
  std::vector<double> speeds;
  for (cShot& shot : g_ShotList.m_Shots) speeds.push_back(-shot.m_MotionVX);
  EXPECT_EQ(speeds, (std::vector<double>{1.0, 2.0, 3.0}));
  EXPECT_EQ(g_ShotList.m_nNextKey, 3);
}

TEST_F(ShotTest, TheSpreadDrawsAfterEveryPassAndNothingWithoutIt) {
  cChara& shooter = AddShooter();
  cEdShot plain = Settings(FORMATION_STRAIGHT_A, 1);
  plain.m_nCopies = 2;
  g_Random.Seed(77);
  Fire(shooter, plain);
  EXPECT_EQ(g_Random.State(), 77u);

  cEdShot spread = plain;
  spread.m_nSpread = 20;
  const auto fireSeeded = [&] {
    ClearShots();
    g_Random.Seed(77);
    Fire(shooter, spread);
    return Angles();
  };
  const std::vector<double> first = fireSeeded();
  const uint32_t stateAfter = g_Random.State();
  EXPECT_EQ(fireSeeded(), first);
  // The first pass's angle, then a fresh one after each of the three passes:
  // four draws, the same on both firings.
  plat::cRandom expected(77);
  for (int i = 0; i < 4; ++i) expected.Next();
  EXPECT_EQ(stateAfter, expected.State());
  for (double a : first) EXPECT_TRUE(a <= 20 || a >= 340) << a;
}

class ShotLifetimeTest : public ShotTest, public ::testing::WithParamInterface<int> {
 protected:
  ShotLifetimeTest() : ShotTest(GetParam()) {}
};

// A lifetime of 1/10 s lives 6 sub-steps a frame's sub-step and goes on the
// next one.
TEST_P(ShotLifetimeTest, ATenthOfASecondLivesSixFramesOfSubSteps) {
  const int n = GetParam();
  cChara& shooter = AddShooter();
  cEdShot settings = Settings(FORMATION_STRAIGHT_A, 1);
  settings.m_nSpeed = 0;
  settings.m_bLifetimeOn = 1;
  settings.m_nLifetime = 1;
  Fire(shooter, settings);
  ASSERT_EQ(ShotCount(), 1);
  int removedAt = 0;
  for (int call = 1; call <= 100 && removedAt == 0; ++call) {
    ShotSubStep((call - 1) % n + 1);
    if (ShotCount() == 0) removedAt = call;
  }
  EXPECT_EQ(removedAt, 6 * n + 1);
}

// A sword of three frames of 1/10 s each lasts 3 x (6n + 1) sub-steps.
TEST_P(ShotLifetimeTest, ASwordOfThreeFramesLastsThreeTimesSixFramesAndOne) {
  const int n = GetParam();
  const cSafeVector<cSwordType> saved = g_Database.m_SwordTypes;
  g_Database.m_SwordTypes.assign(1, cSwordType());
  g_Database.m_SwordTypes[0].m_Steps.assign(3, cSwordStep());
  for (cSwordStep& step : g_Database.m_SwordTypes[0].m_Steps) {
    step.m_nDuration = 1;
    step.m_nWidth = 24;
    step.m_nHeight = 8;
  }
  cChara& owner = AddShooter();
  cEdShot settings;
  cShot* sword = SwingSword(owner, settings);
  ASSERT_NE(sword, nullptr);
  EXPECT_EQ(sword->m_IsShot, 0);
  EXPECT_EQ(ContainsLink(owner, sword, kLinkChild), 1);
  int removedAt = 0;
  for (int call = 1; call <= 200 && removedAt == 0; ++call) {
    ShotSubStep((call - 1) % n + 1);
    if (ShotCount() == 0) removedAt = call;
  }
  EXPECT_EQ(removedAt, 3 * (6 * n + 1));
  EXPECT_TRUE(owner.m_ShotLinks.empty());
  g_Database.m_SwordTypes = saved;
}

INSTANTIATE_TEST_SUITE_P(SubSteps, ShotLifetimeTest, ::testing::Values(1, 2, 4));

TEST_F(ShotTest, ASwordFollowsItsOwnerAndGoesWithIt) {
  const cSafeVector<cSwordType> saved = g_Database.m_SwordTypes;
  g_Database.m_SwordTypes.assign(1, cSwordType());
  g_Database.m_SwordTypes[0].m_Steps[0].m_nWidth = 20;
  g_Database.m_SwordTypes[0].m_Steps[0].m_nHeight = 10;
  g_Database.m_SwordTypes[0].m_Steps[0].m_nDuration = 5;
  cChara& owner = AddShooter(5, 8, 1, 1);
  cEdShot settings;
  SwingSword(owner, settings);
  ShotSubStep(1);
  cShot& sword = *g_ShotList.m_Shots.Nth(0);
  // In front of an owner facing right: just past its right edge.
  EXPECT_EQ(sword.m_X, owner.m_ScrRight + g_GameScene->m_ScrollX.m_Position + 1);
  RemoveChara(owner);
  ShotSubStep(1);
  EXPECT_EQ(ShotCount(), 0);
  g_Database.m_SwordTypes = saved;
}

TEST_F(ShotTest, AShotFlyingPastItsDistanceWithinAFrameIsSpreadOverIt) {
  cChara& shooter = AddShooter();
  cEdShot settings = Settings(FORMATION_STRAIGHT_A, 1);
  settings.m_nSpeed = 200;  // 20 dots a frame
  settings.m_bDistanceOn = 1;
  settings.m_nDistance = 1;  // 16 dots: no more than the shot's own width
  Fire(shooter, settings);
  cShot& shot = *g_ShotList.m_Shots.Nth(0);
  EXPECT_EQ(shot.m_RangeLeft, 1);
  EXPECT_EQ(shot.m_MotionVX, 0.0);
  ShotSubStep(1);
  ShotSubStep(1);
  EXPECT_EQ(ShotCount(), 0);
}

TEST_F(ShotTest, ShotsTurnToTheSignOfTheirVelocity) {
  cChara& shooter = AddShooter(10, 8, 1, 0);
  cEdShot settings = Settings(FORMATION_STRAIGHT_A, 1);
  settings.m_nDirection = 3;  // right
  Fire(shooter, settings);
  cShot& shot = *g_ShotList.m_Shots.Nth(0);
  EXPECT_EQ(shot.m_Facing, 1);
  shot.m_MotionVX = -1;
  ShotSubStep(1);
  EXPECT_EQ(shot.m_Facing, 0);
  shot.m_MotionVX = 0;
  ShotSubStep(1);
  EXPECT_EQ(shot.m_Facing, 0);
}

TEST_F(ShotTest, ABlockStopsAShotUnlessItPassesBlocks) {
  cChara& shooter = AddShooter(10, 8);
  m_World.SetSolid(9, 8);
  cEdShot settings = Settings(FORMATION_STRAIGHT_A, 1);
  settings.m_bPassBlocks = 0;
  settings.m_nSpeed = 320;
  Fire(shooter, settings);
  cEdShot passing = Settings(FORMATION_STRAIGHT_A, 1);
  passing.m_nSpeed = 320;
  Fire(shooter, passing);
  ASSERT_EQ(ShotCount(), 2);
  ShotSubStep(1);
  ASSERT_EQ(ShotCount(), 1);
  EXPECT_EQ(g_ShotList.m_Shots.Nth(0)->m_EdShot.m_bPassBlocks, 1);
}

// A lightning pass makes count x rows shots, whole up to the editor's largest
// (127 x 50). A row count past 50 can only be damage: it fires, and is
// centred, as 50 rows; 0 or less fires one row.
TEST_F(ShotTest, ALightningPassIsWholeAndADamagedRowCountIsHeldToFifty) {
  struct Case {
    int rows;
    int shots;
    int rowsSeen;
  };
  const Case cases[] = {
      {50, 127 * 50, 50}, {2, 127 * 2, 2}, {1, 127, 1}, {0, 127, 1}, {-4, 127, 1}, {30000, 127 * 50, 50},
  };
  cChara& shooter = AddShooter();
  std::vector<int> rowsOfFifty;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rows);
    ClearShots();
    cEdShot settings = Settings(FORMATION_LIGHTNING, 127);
    settings.m_nReference = 2;  // the shooter
    settings.m_nFormationParams[1] = static_cast<int16_t>(c.rows);
    settings.m_nFormationParams[2] = 1;  // rows 16 dots apart
    Fire(shooter, settings);
    EXPECT_EQ(ShotCount(), c.shots);
    std::vector<int> ys;
    for (cShot& shot : g_ShotList.m_Shots) ys.push_back(static_cast<int>(shot.m_Y));
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    EXPECT_EQ(static_cast<int>(ys.size()), c.rowsSeen);
    if (c.rows == 50) {
      rowsOfFifty = ys;
    } else if (c.rows == 30000) {
      EXPECT_EQ(ys, rowsOfFifty);
    }
  }
}

// The shot list stops taking shots at its limit, whatever the data asks for;
// a sword swing still goes in, with the list full of shots.
TEST_F(ShotTest, AFullShotListRefusesShotsButNeverASword) {
  const cSafeVector<cSwordType> saved = g_Database.m_SwordTypes;
  g_Database.m_SwordTypes.assign(1, cSwordType());
  cChara& shooter = AddShooter();
  cEdShot settings = Settings(FORMATION_LIGHTNING, 255, 0);
  settings.m_nReference = 2;  // the shooter
  settings.m_nFormationParams[1] = 255;  // rows
  settings.m_nCopies = 255;
  Fire(shooter, settings);
  EXPECT_EQ(ShotCount(), kMaxShotsInFlight);
  const int nextKey = g_ShotList.m_nNextKey;
  cEdShot one = Settings(FORMATION_STRAIGHT_A, 1);
  Fire(shooter, one);
  EXPECT_EQ(ShotCount(), kMaxShotsInFlight);
  EXPECT_EQ(g_ShotList.m_nNextKey, nextKey);
  cEdShot swordSettings;
  cShot* sword = SwingSword(shooter, swordSettings);
  ASSERT_NE(sword, nullptr);
  EXPECT_EQ(sword->m_IsShot, 0);
  EXPECT_EQ(ShotCount(), kMaxShotsInFlight + 1);
  EXPECT_EQ(g_ShotList.m_nNextKey, nextKey + 1);
  ClearShots();
  g_Database.m_SwordTypes = saved;
}

TEST_F(ShotTest, AnEmptyReferenceCreatesNothing) {
  cChara& shooter = AddShooter();
  for (int formation : {FORMATION_LIGHTNING, FORMATION_ENCIRCLE}) {
    cEdShot settings = Settings(formation, 4, 2);
    settings.m_nReference = 0;
    settings.m_nFormationTarget = 2;  // an empty slot
    Fire(shooter, settings);
  }
  EXPECT_EQ(ShotCount(), 0);
}

TEST_F(ShotTest, TheTargetOfATargetMotionIsLinkedBothWaysAndClearedWhenItGoes) {
  cChara& target = AddShooter(3, 8, 0);
  cChara& shooter = AddShooter(10, 8, 1);
  shooter.SetTarget(1, &target, 1);
  cEdShot settings = Settings(FORMATION_STRAIGHT_A, 1);
  settings.m_nMotion = 6;
  settings.m_nMotionTarget = 1;
  Fire(shooter, settings);
  cShot& shot = *g_ShotList.m_Shots.Nth(0);
  EXPECT_EQ(shot.m_Target, &target);
  EXPECT_EQ(ContainsLink(target, &shot, kLinkTarget), 1);
  RemoveChara(target);
  EXPECT_EQ(shot.m_Target, nullptr);
  ClearShots();
  EXPECT_TRUE(shooter.m_ShotLinks.empty());
}

// Shots leave their owner and target in any order: each character's links
// are always exactly the shots in flight that name it, whichever went first.
TEST_F(ShotTest, LinksFollowTheShotsInFlightWhateverOrderTheyGoIn) {
  cChara& target = AddShooter(3, 8, 0);
  cChara& shooter = AddShooter(10, 8, 1);
  shooter.SetTarget(1, &target, 1);
  for (int i = 0; i < 8; ++i) {
    cEdShot settings = Settings(FORMATION_STRAIGHT_A, 1);
    // Every other shot homes on the target; the rest only have an owner.
    settings.m_nMotion = static_cast<uint8_t>(i % 2 == 0 ? 6 : 0);
    settings.m_nMotionTarget = 1;
    Fire(shooter, settings);
  }
  std::vector<cShot*> flying;
  for (cShot& shot : g_ShotList.m_Shots) flying.push_back(&shot);
  ASSERT_EQ(flying.size(), 8u);
  const auto linked = [](const cChara& chara, int kind) {
    std::vector<const cShot*> shots;
    for (const cShotLink& link : chara.m_ShotLinks) {
      if (link.m_nKind == kind) shots.push_back(link.m_pShot);
    }
    std::sort(shots.begin(), shots.end());
    return shots;
  };
  const auto expectLinksOf = [&](const std::vector<cShot*>& alive) {
    std::vector<const cShot*> owned, targeted;
    for (cShot* shot : alive) {
      owned.push_back(shot);
      if (shot->m_Target == &target) targeted.push_back(shot);
    }
    std::sort(owned.begin(), owned.end());
    std::sort(targeted.begin(), targeted.end());
    EXPECT_EQ(linked(shooter, kLinkChild), owned);
    EXPECT_EQ(shooter.m_ShotLinks.size(), owned.size()) << "no other links, none twice";
    EXPECT_EQ(linked(target, kLinkTarget), targeted);
    EXPECT_EQ(target.m_ShotLinks.size(), targeted.size());
  };
  expectLinksOf(flying);
  EXPECT_EQ(linked(target, kLinkTarget).size(), 4u);
  // Last, first, middles: each order of the list's ends and middle.
  for (const std::size_t index : {std::size_t{7}, std::size_t{0}, std::size_t{3}, std::size_t{2}}) {
    cShot* going = flying[index];
    flying.erase(std::find(flying.begin(), flying.end(), going));
    g_ShotList.EraseShot(*going);
    expectLinksOf(flying);
  }
  // A shot whose target has gone keeps only its owner's link.
  RemoveChara(target);
  for (cShot* shot : flying) EXPECT_EQ(shot->m_Target, nullptr);
  g_ShotList.EraseShot(*flying[1]);
  flying.erase(flying.begin() + 1);
  EXPECT_EQ(linked(shooter, kLinkChild).size(), flying.size());
  ClearShots();
  EXPECT_TRUE(shooter.m_ShotLinks.empty());
}

}  // namespace
