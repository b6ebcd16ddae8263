#include "world/CharaMotion.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/CharaSim.h"

namespace {


// ---- the arithmetic -------------------------------------------------------------------------

TEST(JumpArithmeticTest, JumpSpeedsDurationsAndFrameRatesFollowTheStage) {
  const struct {
    int subSteps;
    double gravity;  // per frame squared
    int halfBlocks;
    int player;
    double speed;
    int tenths;
  } cases[] = {
      // s = 4, g = 0.025 per squared sub-step: 32 dots.
      {4, 0.4, 2, 0, (-0.025 - std::sqrt(0.025 * 256.025)) * 0.5, 3},
      {4, 0.4, 2, 1, (-0.025 - std::sqrt(0.025 * 256.025)) * 0.5 * 0.98, 3},
      {1, 0.4, 4, 0, (-0.4 - std::sqrt(0.4 * (0.4 + 8 * 64))) * 0.5, 4},
      {10, 0.4, 1, 0, (-0.004 - std::sqrt(0.004 * (0.004 + 8 * 16))) * 0.5, 2},
      // A player's factor follows the stage's gravity setting: 0.99 - 0.025 x 1.2.
      {1, 1.2, 2, 1, (-1.2 - std::sqrt(1.2 * (1.2 + 8 * 32))) * 0.5 * (0.99 - 0.025 * 1.2), 2},
      // A height the gravity cannot give starts at rest.
      {4, 0.4, -3, 0, 0.0, 1},
  };
  for (const auto& c : cases) {
    cTestWorld world(WithSubSteps(c.subSteps));
    g_Stage.m_Gravity = c.gravity;
    g_Stage.ApplyHitLevel(c.subSteps);
    EXPECT_DOUBLE_EQ(JumpSpeedForHeight(static_cast<int8_t>(c.halfBlocks), c.player), c.speed)
        << c.subSteps << " " << c.halfBlocks;
    EXPECT_EQ(JumpTenths(static_cast<int8_t>(c.halfBlocks), c.player), c.tenths) << c.subSteps << " " << c.halfBlocks;
  }
  // The edge the rise of 2 half blocks at s = 4 rounds: about -1.278 dots per sub-step.
  cTestWorld world(WithSubSteps(4));
  EXPECT_NEAR(JumpSpeedForDots(32, 0), -1.2776, 5e-4);
  EXPECT_EQ(JumpSubSteps(JumpSpeedForDots(32, 0)), 55);
}

TEST(JumpArithmeticTest, NoGravityGivesARestingJumpOfOneFrame) {
  cTestWorld world(WithSubSteps(4));
  g_Stage.m_Gravity = 0.0;
  g_Stage.ApplyHitLevel(4);
  EXPECT_EQ(JumpSpeedForDots(48, 0), 0.0);
  EXPECT_EQ(JumpSubSteps(-1.5), 4);
  EXPECT_EQ(JumpTenths(3, 0), 1);
}

TEST(JumpArithmeticTest, ScaleByFrameRateAndThePerStepHelpers) {
  cTestWorld world(WithSubSteps(2));
  EXPECT_DOUBLE_EQ(ScaleByFrameRate(120), 1.0);
  EXPECT_EQ(HblToDot(-3), -48);
  EXPECT_DOUBLE_EQ(PercentPerStep2(40), 40 * 0.01 / 4);
}

TEST(KnockbackImpulseTest, TheStrengthIsSplitByTheSourceVelocity) {
  const struct {
    int subSteps;
    int strength;
    double vx;
    double vy;
    double ix;
    double iy;
  } cases[] = {
      {1, 20, 3, 0, (std::sqrt(2561.0) - 1) / 2, 0},
      {1, 20, 0, 0, 0, 0},
      {1, -10, 2, -2, -(std::sqrt(1 + 128 * 5.0) - 1) / 2, (std::sqrt(1 + 128 * 5.0) - 1) / 2},
      {4, 8, 0, -1, 0, -(std::sqrt(1 + 128 * 4 * 8.0) - 1) / 8},
  };
  for (const auto& c : cases) {
    cTestWorld world(WithSubSteps(c.subSteps));
    double ix = 99;
    double iy = 99;
    KnockbackImpulse(c.strength, c.vx, c.vy, ix, iy);
    EXPECT_DOUBLE_EQ(ix, c.ix) << c.strength;
    EXPECT_DOUBLE_EQ(iy, c.iy) << c.strength;
  }
  // Strength 0 writes nothing.
  cTestWorld world;
  double ix = 1.5;
  double iy = -2.5;
  KnockbackImpulse(0, 3, 3, ix, iy);
  EXPECT_EQ(ix, 1.5);
  EXPECT_EQ(iy, -2.5);
}

// ---- the character's operations -------------------------------------------------------------------

class CharaMotionTest : public ::testing::Test {
 protected:
  cTestWorld m_World{WithSubSteps(4)};
  cCharaSim m_Sim{m_World};
  cChara& m_Chara = m_Sim.AddChara(cTestWorld::Definition(), 4, 4);
};

TEST_F(CharaMotionTest, KnockbackIsWeakenedByResistanceAndLimitedTo20) {
  const struct {
    int strength;
    int resistance;
    int effective;
  } cases[] = {{25, 3, 20}, {-25, 3, -20}, {-2, 5, 0}, {6, 2, 4}, {3, 7, 0}};
  for (const auto& c : cases) {
    m_Chara.m_Data.m_nImpd = static_cast<uint8_t>(c.resistance);
    m_Chara.m_ImpulseX = m_Chara.m_ImpulseY = 0.25;
    m_Chara.m_bKnockback = 0;
    m_Chara.Knockback(c.strength, 2.0, 0.0);
    double ix = 0.25;
    double iy = 0.25;
    KnockbackImpulse(c.effective, 2.0, 0.0, ix, iy);
    EXPECT_DOUBLE_EQ(m_Chara.m_ImpulseX, ix) << c.strength << " " << c.resistance;
    EXPECT_DOUBLE_EQ(m_Chara.m_ImpulseY, iy);
    EXPECT_EQ(m_Chara.m_bKnockback, 1);
  }
}

TEST_F(CharaMotionTest, KnockbackStopsMotionAgainstIt) {
  m_Chara.m_CmdVX = 1.0;
  m_Chara.m_CmdVY = 0.5;
  m_Chara.m_VY = 2.0;
  m_Chara.Knockback(10, -1.0, -1.0);
  EXPECT_LT(m_Chara.m_ImpulseX, 0.0);
  EXPECT_EQ(m_Chara.m_CmdVX, 0.0);
  EXPECT_EQ(m_Chara.m_CmdVY, 0.0);
  EXPECT_EQ(m_Chara.m_VY, 0.0);

  m_Chara.m_CmdVX = -1.0;
  m_Chara.Knockback(10, -1.0, 0.0);
  EXPECT_EQ(m_Chara.m_CmdVX, -1.0);
}

TEST_F(CharaMotionTest, AWalkersFallSpeedDoesNotKnockBack) {
  cChara& attacker = m_Sim.AddChara(cTestWorld::Definition(), 6, 4);
  attacker.m_Data.m_nImp = 10;
  attacker.m_VX = 0.0;
  // Below one frame of gravity (4 x 0.025): the vertical speed counts as 0.
  attacker.m_VY = 0.09;
  m_Chara.KnockbackFromChara(attacker);
  EXPECT_EQ(m_Chara.m_ImpulseX, 0.0);
  EXPECT_EQ(m_Chara.m_ImpulseY, 0.0);
  attacker.m_VY = 0.2;
  m_Chara.KnockbackFromChara(attacker);
  EXPECT_GT(m_Chara.m_ImpulseY, 0.0);
}

TEST_F(CharaMotionTest, ImpulsesDecayBySubStepAndStopAtZero) {
  m_Chara.m_ImpulseX = 0.3;
  m_Chara.m_ImpulseY = -0.3;
  m_Chara.DecayImpulseX();
  m_Chara.DecayImpulseY();
  EXPECT_NEAR(m_Chara.m_ImpulseX, 0.05, 1e-12);
  EXPECT_NEAR(m_Chara.m_ImpulseY, -0.05, 1e-12);
  m_Chara.DecayImpulseX();
  m_Chara.DecayImpulseY();
  EXPECT_EQ(m_Chara.m_ImpulseX, 0.0);
  EXPECT_EQ(m_Chara.m_ImpulseY, 0.0);
}

TEST_F(CharaMotionTest, AVerticalImpulseReplacesItsShareInsteadOfAccumulating) {
  m_Chara.m_VY = 1.0;
  m_Chara.m_ImpulseY = -2.0;
  m_Chara.m_PrevImpulseY = 0.0;
  m_Chara.ApplyImpulseY();
  EXPECT_DOUBLE_EQ(m_Chara.m_VY, -1.0);
  m_Chara.m_ImpulseY = -1.5;
  m_Chara.ApplyImpulseY();
  EXPECT_DOUBLE_EQ(m_Chara.m_VY, -0.5);

  // Standing on the ground, a downward impulse is dropped.
  m_World.SetSolid(4, 5);
  m_Chara.m_nCellBelow = MapCellIndex(4 + kMapMarginCells, 5 + kMapMarginCells, m_World.Scene().m_ScrollX.m_RowBits);
  m_Chara.m_ImpulseY = 0.7;
  m_Chara.m_VY = 0.0;
  m_Chara.ApplyImpulseY();
  EXPECT_EQ(m_Chara.m_ImpulseY, 0.0);
  EXPECT_EQ(m_Chara.m_VY, 0.0);
}

TEST_F(CharaMotionTest, GravityWaitsForFlyingRidingSuspendedAndUpwardImpulses) {
  const struct {
    int flying;
    int riding;
    int suspended;
    double impulseY;
    bool falls;
  } cases[] = {{0, 0, 0, 0.0, true},   {1, 0, 0, 0.0, false}, {0, 1, 0, 0.0, false},
               {0, 0, 1, 0.0, false},  {0, 0, 0, -0.5, false}, {0, 0, 0, 0.5, true}};
  for (const auto& c : cases) {
    m_Chara.m_Flying = c.flying;
    m_Chara.m_bRiding = c.riding;
    m_Chara.m_bNoGravity = c.suspended;
    m_Chara.m_ImpulseY = c.impulseY;
    m_Chara.m_VY = 0.0;
    m_Chara.ApplyGravity();
    EXPECT_EQ(m_Chara.m_VY, c.falls ? g_Stage.m_GravityStep : 0.0) << c.flying << c.riding << c.suspended;
  }
}

TEST_F(CharaMotionTest, ACeilingSendsTheCharacterDownToTheNextCellBoundary) {
  for (int keep : {0, 1}) {
    g_System.m_bKeepImpulse = keep;
    m_Chara.m_Y = 410.25;
    m_Chara.ConstrainY();
    m_Chara.m_ImpulseY = -1.0;
    m_Chara.m_VY = -3.0;
    m_Chara.HitCeiling();
    EXPECT_DOUBLE_EQ(m_Chara.m_Y, 416.25);
    EXPECT_EQ(m_Chara.m_VY, 0.0);
    EXPECT_EQ(m_Chara.m_bCeilingHit, 1);
    EXPECT_EQ(m_Chara.m_bJumpRising, 1);
    EXPECT_EQ(m_Chara.m_ImpulseY, keep != 0 ? -1.0 : 0.0);
  }
}

TEST_F(CharaMotionTest, GrowingKeepsTheFeetOrTheBoxBottom) {
  // The walker's box is 24 high at draw offset 8 in a 32-dot graphic.
  for (int baseSize : {0, 1}) {
    g_System.m_bBaseSizeSwitch = baseSize;
    m_Chara.m_Y = 500.0;
    m_Chara.ReanchorY(3, 1);
    EXPECT_DOUBLE_EQ(m_Chara.m_Y, baseSize != 0 ? 500.0 - 2 * 24 : 500.0 - 2 * (32 - 8));
  }
}

TEST_F(CharaMotionTest, PlacingOnACellAddsTheMarginAndTheBoxOffset) {
  m_Chara.SetCell(7, 3);
  EXPECT_DOUBLE_EQ(m_Chara.m_X, (7 + 10) * 32 + 8 + 0.5);
  EXPECT_DOUBLE_EQ(m_Chara.m_Y, (3 + 10) * 32 + 8);
  EXPECT_DOUBLE_EQ(m_Chara.m_Right, m_Chara.m_X + 15);
}

}  // namespace
