// Shot motions sub-step by sub-step: aiming and homing (a negative speed, the
// stretch of flight a homing shot steers, acceleration, dead targets), the
// wave's turning rule and the fall; the aim of a formation at a target
// carried by the scroll; and the input direction of a shot.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "ShotTestSupport.h"
#include "core/SceneManager.h"
#include "data/DataRecord.h"
#include "data/StageData.h"
#include "data/SystemData.h"
#include "world/GameScene.h"
#include "world/Hero.h"

namespace {

using shottest::cShotFixture;
using shottest::sBox;

constexpr int kMotionAimHero = 1;
constexpr int kMotionAimTarget = 3;
constexpr int kMotionHomeHero = 4;
constexpr int kMotionHomeTarget = 6;
constexpr int kMotionWave = 8;
constexpr int kMotionFall = 9;

struct sVelocity {
  double x = 0.0, y = 0.0;
  bool operator==(const sVelocity&) const = default;
};

sVelocity MotionOf(const cShot& shot) { return {shot.m_MotionVX, shot.m_MotionVY}; }

// The velocity of `speed` from the centre of `from` toward the centre of `to`.
sVelocity Toward(const sBox& from, const sBox& to, double speed) {
  const double dx = to.gx - from.gx;
  const double dy = to.gy - from.gy;
  const double d = std::sqrt(dx * dx + dy * dy);
  return {speed * dx / d, speed * dy / d};
}

class ShotMotionTest : public cShotFixture {
 protected:
  void SetUp() override {
    m_World.AddHero(cTestWorld::Definition(), 4, 4);
    m_Shooter = &AddChara(12, 8);
  }

  // Moves the hero down by `dots`, so that a shot homing on it turns again.
  static void MoveHero(double dots) {
    cHero& hero = Player[0];
    hero.m_Y += dots;
    hero.m_Bottom += dots;
    hero.UpdateRect();
  }

  cChara* m_Shooter = nullptr;
};

// Shots take their speed as it is when they aim: a negative one flies
// straight away from the target along the line joining them, not off
// diagonally.
TEST_F(ShotMotionTest, ANegativeSpeedAimsStraightAwayAlongTheLine) {
  cChara& target = AddChara(7, 2, 0);
  m_Shooter->SetTarget(0, &target, 1);
  struct sCase {
    int motion;
    cCharaBase* target;
  } cases[] = {{kMotionAimHero, &Player[0]}, {kMotionAimTarget, &target}};
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.motion);
    ClearShots();
    cEdShot settings = Settings(FORMATION_STRAIGHT_A, 1, -10);
    settings.m_nMotion = static_cast<uint8_t>(c.motion);
    Fire(*m_Shooter, settings);
    const sVelocity away = Toward(BoxOf(Shot()), BoxOf(*c.target), -1.0);
    SubStep();
    EXPECT_NEAR(Shot().m_MotionVX, away.x, 1e-12);
    EXPECT_NEAR(Shot().m_MotionVY, away.y, 1e-12);
  }
}

// A homing shot steers from the tick its start distance is covered to the
// tick its end distance is (half blocks over its speed, 1 dot a sub-step
// here): start 0 steers from the first sub-step, end 0 never steers.
TEST_F(ShotMotionTest, AHomingShotSteersFromItsStartToItsEnd) {
  struct sCase {
    int start, end;  // half blocks
    int firstCall, lastCall;  // 0: never
  } cases[] = {{0, 0, 0, 0}, {0, 999, 1, 60}, {2, 3, 33, 48}};
  for (const sCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "start " << c.start << " end " << c.end);
    ClearShots();
    cEdShot settings = Settings(FORMATION_STRAIGHT_A);
    settings.m_nMotion = kMotionHomeHero;
    settings.m_nMotionParams[0] = static_cast<int16_t>(c.start);
    settings.m_nMotionParams[1] = static_cast<int16_t>(c.end);
    Fire(*m_Shooter, settings);
    std::vector<int> steered;
    for (int call = 1; call <= 60; ++call) {
      MoveHero(3);
      const sVelocity before = MotionOf(Shot());
      SubStep();
      if (!(MotionOf(Shot()) == before)) steered.push_back(call);
    }
    std::vector<int> expected;
    for (int call = c.firstCall; c.firstCall != 0 && call <= c.lastCall; ++call) expected.push_back(call);
    EXPECT_EQ(steered, expected);
  }
}

// With acceleration the shot takes the aimed velocity once; from then on only
// its acceleration, split toward the target again every sub-step, turns it.
TEST_F(ShotMotionTest, AnAcceleratingHomingShotTakesTheAimOnceThenSteersByItsAcceleration) {
  cEdShot settings = Settings(FORMATION_STRAIGHT_A);
  settings.m_nMotion = kMotionHomeHero;
  settings.m_nMotionParams[1] = 999;
  settings.m_bAccelOn = 1;
  settings.m_nAccel = 10;
  Fire(*m_Shooter, settings);
  const sVelocity aim = Toward(BoxOf(Shot()), BoxOf(Player[0]), 1.0);
  SubStep();
  const cShot& shot = Shot();
  EXPECT_NEAR(shot.m_MotionVX, aim.x + shot.m_AccelX, 1e-12);
  EXPECT_NEAR(shot.m_MotionVY, aim.y + shot.m_AccelY, 1e-12);
  for (int call = 2; call <= 20; ++call) {
    MoveHero(3);
    const sVelocity toward = Toward(BoxOf(Shot()), BoxOf(Player[0]), 1.0);
    const sVelocity before = MotionOf(shot);
    SubStep();
    const sVelocity turn{shot.m_MotionVX - before.x, shot.m_MotionVY - before.y};
    EXPECT_NEAR(turn.x * toward.y - turn.y * toward.x, 0.0, 1e-12) << "call " << call;
    EXPECT_GT(turn.x * toward.x + turn.y * toward.y, 0.0) << "call " << call;
  }
}

// A shot whose target died before its aiming sub-step flies straight on.
TEST_F(ShotMotionTest, AShotWhoseTargetDiedFliesStraightOn) {
  cChara& target = AddChara(4, 4, 0);
  m_Shooter->SetTarget(0, &target, 1);
  struct sCase {
    int motion, start, end;
  } cases[] = {{kMotionAimTarget, 2, 0}, {kMotionHomeTarget, 0, 999}};
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.motion);
    ClearShots();
    target.m_bDead = 0;
    cEdShot settings = Settings(FORMATION_STRAIGHT_A);
    settings.m_nMotion = static_cast<uint8_t>(c.motion);
    settings.m_nMotionParams[0] = static_cast<int16_t>(c.start);
    settings.m_nMotionParams[1] = static_cast<int16_t>(c.end);
    Fire(*m_Shooter, settings);
    ASSERT_EQ(Shot().m_Target, &target);
    target.m_bDead = 1;
    for (int call = 1; call <= 40; ++call) SubStep();
    EXPECT_EQ(MotionOf(Shot()), (sVelocity{-1.0, 0.0}));
  }
}

// Once under way the wave never turns a shot back: a component whose sign
// would flip in a sub-step stops for that sub-step instead.
TEST_F(ShotMotionTest, AWaveStopsAnAxisRatherThanTurnItBack) {
  cEdShot settings = Settings(FORMATION_STRAIGHT_A);
  settings.m_nDirection = 8;  // up-left: both components move
  settings.m_nMotion = kMotionWave;
  settings.m_nMotionParams[0] = 8;   // half blocks
  settings.m_nMotionParams[1] = 20;  // speed
  Fire(*m_Shooter, settings);
  SubStep();  // the wave's start
  int stops = 0;
  for (int call = 2; call <= 200; ++call) {
    const sVelocity before = MotionOf(Shot());
    SubStep();
    const sVelocity after = MotionOf(Shot());
    for (const auto& [b, a] : {std::pair{before.x, after.x}, std::pair{before.y, after.y}}) {
      EXPECT_FALSE((b > 0 && a < 0) || (b < 0 && a > 0)) << "call " << call;
      if (b != 0 && a == 0) ++stops;
    }
  }
  EXPECT_GT(stops, 0) << "the wave was wide enough to turn the shot";
}

// A falling shot keeps the vertical speed it had when its fall starts (1 half
// block into its flight, the 17th sub-step at 1 dot a sub-step) and from
// then on gains the stage's gravity every sub-step.
TEST_F(ShotMotionTest, AFallingShotKeepsItsVerticalSpeedThenGainsGravity) {
  cEdShot settings = Settings(FORMATION_STRAIGHT_A);
  settings.m_nDirection = 6;  // up
  settings.m_nMotion = kMotionFall;
  settings.m_nMotionParams[0] = 1;
  Fire(*m_Shooter, settings);
  const double g = g_Stage.m_GravityStep;
  for (int call = 1; call <= 20; ++call) {
    SubStep();
    const double expected = call < 17 ? -1.0 : -1.0 + g * (call - 16);
    EXPECT_NEAR(Shot().m_VY, expected, 1e-12) << "call " << call;
    EXPECT_EQ(Shot().m_Flying, call < 17 ? 1 : 0) << "call " << call;
  }
}

// Aimed at a target carried by the scroll (the scroll added to aims, as games
// made before the scroll correction do), the shot flies at the speed of the
// velocity it solved for: 1 dot a sub-step toward the target plus the
// scroll's 0.5, here against it.
TEST_F(ShotMotionTest, AShotAimedAtAScrollingTargetFliesAtTheSolvedSpeed) {
  g_System.m_bScrollSwitch = 1;
  g_GameScene->m_ScrollX.m_Speed = 0.5;
  g_GameScene->m_ScrollX.m_AtLimit = 0;
  cChara& target = AddChara(4, 8, 0);
  target.m_MovesWithScroll = 1;
  m_Shooter->SetTarget(0, &target, 1);
  cEdShot settings = Settings(FORMATION_STRAIGHT_A);
  settings.m_bAim = 1;
  settings.m_bScrollSync = 1;
  Fire(*m_Shooter, settings);
  const sBox from = BoxOf(Shot());
  const sBox to = BoxOf(target);
  const sVelocity solved = Toward(from, to, 1.0);
  const double speed = std::hypot(solved.x + 0.5, solved.y);
  EXPECT_NEAR(std::hypot(Shot().m_MotionVX, Shot().m_MotionVY), speed, 1e-9);
}

// "入力方向": the direction key slot held when the running flow started, for
// every shooter (a computer character's flows are started by keys too),
// whatever the keys say now; no slot fires forward.
TEST_F(ShotMotionTest, TheInputDirectionIsTheSlotTheFlowStartedWith) {
  struct sCase {
    int operatorKind;
    int facing;
    int slot;
    uint16_t heldNow;
    int dirCode;
  } cases[] = {
      {OBJ_BY_COMPUTER, 1, 1, 0, DIR_CODE_LEFT},
      {OBJ_BY_COMPUTER, 0, 3, 0, DIR_CODE_UP},
      {OBJ_BY_PLAYER, 1, 1, 2, DIR_CODE_LEFT},  // right held now
      {OBJ_BY_PLAYER, 0, 0, 2, DIR_CODE_LEFT},  // no slot: forward
      {OBJ_BY_COMPUTER, 1, 9, 0, DIR_CODE_RIGHT},
  };
  cFlowState flow;
  g_GameScene->m_pCurFlowState = &flow;
  for (const sCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "slot " << c.slot << " operator " << c.operatorKind);
    ClearShots();
    m_Shooter->m_Operator = c.operatorKind;
    m_Shooter->m_Facing = c.facing;
    g_KeyInput[0].m_Dir = c.heldNow;
    flow.m_TriggerKeySlot = c.slot;
    cEdShot settings = Settings(FORMATION_STRAIGHT_A);
    settings.m_nDirection = 12;
    Fire(*m_Shooter, settings);
    sVelocity expected;
    const double base = DirectionBaseAngle(c.dirCode) * M_PI / 180;
    expected = {-std::cos(base), -std::sin(base)};
    EXPECT_NEAR(Shot().m_MotionVX, expected.x, 1e-9);
    EXPECT_NEAR(Shot().m_MotionVY, expected.y, 1e-9);
  }
  g_GameScene->m_pCurFlowState = nullptr;
  g_KeyInput[0].m_Dir = 0;
}

}  // namespace
