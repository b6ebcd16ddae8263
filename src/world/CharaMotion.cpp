// The small physical operations of a character around each sub-step, and the
// arithmetic of jumps and knock-back (CharaMotion.h).

#include "world/CharaMotion.h"

#include <algorithm>
#include <cmath>

#include "core/Numeric.h"
#include "data/Flow.h"
#include "data/StageData.h"
#include "data/SystemData.h"
#include "world/CharaBase.h"
#include "world/GameScene.h"
#include "world/MapGrid.h"

namespace {

// The stage's sub-steps per frame and its square; a broken stage without any
// counts as one, so nothing divides by zero.
double SubStepsSq() { return g_Stage.SubStepsSqAtLeastOne(); }

// The speed a knock-back share d gives: n v^2 + v = 32 |d|, signed as d.
double ImpulseForShare(double d, double n) {
  if (d > 0) return (std::sqrt(1 + 128 * n * d) - 1) / (2 * n);
  if (d < 0) return -(std::sqrt(1 - 128 * n * d) - 1) / (2 * n);
  return 0.0;
}

// Whether two values point against each other, beyond rounding noise.
bool Opposed(double a, double b) { return (a > 1e-8 && b < -1e-8) || (a < -1e-8 && b > 1e-8); }

double DecayToward0(double value) {
  const double step = 1.0 / g_Stage.SubStepsAtLeastOneF();
  if (value > 0) return std::max(value - step, 0.0);
  if (value < 0) return std::min(value + step, 0.0);
  return value;
}

int MarginX() { return g_GameScene != nullptr ? g_GameScene->m_ScrollX.m_Margin : kMapMarginCells; }
int MarginY() { return g_GameScene != nullptr ? g_GameScene->m_ScrollY.m_Margin : kMapMarginCells; }

}  // namespace

// ---- arithmetic -------------------------------------------------------------------

int HblToDot(int8_t halfBlocks) { return halfBlocks * 16; }

double PercentPerStep2(int16_t hundredths) { return hundredths * 0.01 / SubStepsSq(); }

double JumpSpeedForDots(double dots, int playerOperated) {
  const double g = g_Stage.m_GravityStep;
  const double root = g * (g + 8 * dots);
  // A height the gravity cannot give (a negative height, or gravity pulling
  // upward) has no starting speed: the jump starts at rest.
  if (!(root >= 0)) return 0.0;
  double velocity = (-g - std::sqrt(root)) * 0.5;
  if (playerOperated != 0) velocity *= 0.99 - 0.025 * g_Stage.m_Gravity;
  return velocity;
}

double JumpSpeedForHeight(int8_t halfBlocks, int playerOperated) {
  return JumpSpeedForDots(halfBlocks * 16, playerOperated);
}

int JumpSubSteps(double velocity) {
  const double steps = g_Stage.SubStepsAtLeastOneF() - velocity / g_Stage.m_GravityStep;
  // Without gravity the rise never ends: the jump lasts one frame.
  if (!std::isfinite(steps)) return static_cast<int>(g_Stage.SubStepsAtLeastOneF());
  return ClampToI32(static_cast<int64_t>(std::clamp(steps, -2147483648.0, 2147483647.0)));
}

int JumpTenths(int8_t halfBlocks, int playerOperated) {
  const int subSteps = static_cast<int>(g_Stage.SubStepsAtLeastOneF());
  return JumpSubSteps(JumpSpeedForHeight(halfBlocks, playerOperated)) / subSteps / 6 + 1;
}

void KnockbackImpulse(int strength, double sourceVX, double sourceVY, double& impulseX, double& impulseY) {
  if (strength == 0) return;
  const double f = std::fabs(sourceVX) + std::fabs(sourceVY);
  if (f == 0) {
    impulseX = impulseY = 0.0;
    return;
  }
  const double n = g_Stage.SubStepsAtLeastOneF();
  impulseX = ImpulseForShare(strength * sourceVX / f, n);
  impulseY = ImpulseForShare(strength * sourceVY / f, n);
}

// ---- the character's operations ------------------------------------------------------

void cCharaBase::ReanchorY(int newScale, int oldScale) {
  if (newScale == oldScale) return;
  const int64_t d = int64_t{newScale} - oldScale;
  if (g_System.m_bBaseSizeSwitch != 0) {
    m_Y -= static_cast<double>(d * m_BaseBoxH);
  } else {
    m_Y -= static_cast<double>(d * (int64_t{m_BaseGfxH} - m_BaseDrawOffY));
  }
  ConstrainY();
}

void cCharaBase::ApplyGravity() {
  if (m_Flying != 0 || m_bRiding != 0 || m_bNoGravity != 0 || m_ImpulseY < 0) return;
  m_VY += g_Stage.m_GravityStep;
}

void cCharaBase::ClearLRUD() { m_bContactLeft = m_bContactRight = m_bContactUp = m_bContactDown = 0; }

void cCharaBase::SavePrevPosition() {
  m_PrevX = m_X;
  m_PrevY = m_Y;
  m_PrevRight = m_Right;
  m_PrevBottom = m_Bottom;
}

void cCharaBase::RestorePrevPosition() {
  m_X = m_PrevX;
  m_Y = m_PrevY;
  m_Right = m_PrevRight;
  m_Bottom = m_PrevBottom;
}

void cCharaBase::Land() {
  m_VY = 0.0;
  m_CmdVY = 0.0;
  m_bContactDown = 1;
  m_nOffGround = 0;
  m_bAirborne = 0;
  m_bJumped = 0;
  m_bJumpRising = 0;
  m_bKnockback = 0;
  if (m_Operator == OBJ_BY_COMPUTER) m_bCeilingHit = 0;
  // The bottom moves up by whole dots onto the last dot above the cell it
  // reached: the fraction of the fall stays, as stages are authored to the
  // dot against it (jump heights, the sub-step a jump may start on).
  m_Y -= (TruncToI32(m_Bottom) & 31) + 1;
  ConstrainY();
  FireTrigger(TRIGGER_HIT_BLOCK);
  FireTrigger(TRIGGER_BLOCK_VERTICAL);
  FireTrigger(TRIGGER_BLOCK_BELOW);
}

void cCharaBase::HitCeiling() {
  m_bJumpRising = 1;
  m_bJumped = 1;
  m_bContactUp = 1;
  m_bCeilingHit = 1;
  m_VY = 0.0;
  m_CmdVY = 0.0;
  if (g_System.m_bKeepImpulse == 0) m_ImpulseY = 0.0;
  // The top moves to the next cell boundary below it.
  m_Y += 32 - (TruncToI32(m_Y) & 31);
  ConstrainY();
  FireTrigger(TRIGGER_HIT_BLOCK);
  FireTrigger(TRIGGER_BLOCK_VERTICAL);
  FireTrigger(TRIGGER_BLOCK_ABOVE);
}

void cCharaBase::StopOnBlockChara(int pushed) {
  m_bRiding = 0;
  if (m_ImpulseY == 0) m_VY = 0.0;
  if (pushed != 0) m_bOnBlockChara = 1;
}

int cCharaBase::IsOnGround() const {
  if (m_bRiding != 0) return 1;
  if (m_nCellBelow < 0 || m_nCellBelow >= static_cast<int>(g_MapGrid.size())) return 0;
  return CellContactKindAt(m_nCellBelow, m_PassNo) != 0 ? 1 : 0;
}

void cCharaBase::Knockback(int strength, double sourceVX, double sourceVY) {
  if (strength == 0) return;
  const int resistance = m_Data.m_nImpd;
  if (strength < 0) {
    strength = std::clamp(strength + resistance, -20, 0);
  } else {
    strength = std::clamp(strength - resistance, 0, 20);
  }
  KnockbackImpulse(strength, sourceVX, sourceVY, m_ImpulseX, m_ImpulseY);
  if (Opposed(m_CmdVX, m_ImpulseX)) m_CmdVX = 0.0;
  if (Opposed(m_CmdVY, m_ImpulseY)) m_CmdVY = 0.0;
  if (Opposed(m_VY, m_ImpulseY)) m_VY = 0.0;
  m_bKnockback = 1;
}

void cCharaBase::KnockbackFromChara(const cCharaBase& attacker) {
  // A walker's fall speed does not push: only a vertical speed beyond one
  // frame of gravity counts.
  const bool falling = attacker.m_Flying == 0 && attacker.m_VY < g_Stage.SubStepsAtLeastOneF() * g_Stage.m_GravityStep;
  Knockback(attacker.m_Data.m_nImp, attacker.m_VX, falling ? 0.0 : attacker.m_VY);
}

void cCharaBase::ApplyImpulseY() {
  if (m_ImpulseY != 0) {
    if (m_Flying != 0) {
      m_VY += m_ImpulseY;
    } else if (m_ImpulseY > 0 && IsOnGround() != 0) {
      m_ImpulseY = 0.0;
    } else {
      // The impulse replaces last sub-step's share instead of accumulating.
      m_VY = m_ImpulseY + (m_VY - m_PrevImpulseY);
    }
  }
  m_PrevImpulseY = m_ImpulseY;
}

void cCharaBase::DecayImpulseX() { m_ImpulseX = DecayToward0(m_ImpulseX); }

void cCharaBase::DecayImpulseY() { m_ImpulseY = DecayToward0(m_ImpulseY); }

void cCharaBase::SetCellX(int column) {
  m_X = (int64_t{column} + MarginX()) * 32 + m_BaseDrawOffX + 0.5;
  ReanchorX(Scale(), 1);
  ConstrainX();
}

void cCharaBase::SetCellY(int row) {
  m_Y = static_cast<double>((int64_t{row} + MarginY()) * 32 + m_BaseDrawOffY);
  ReanchorY(Scale(), 1);
  ConstrainY();
}

void cCharaBase::SetCell(int column, int row) {
  SetCellX(column);
  SetCellY(row);
}

void cCharaBase::SetAttackRect(int bottomAligned, int w, int h) {
  cHitRect& rect = m_AttackRect;
  rect.m_BaseOffX = rect.m_OffX = 16 - m_BaseDrawOffX - w / 2;
  rect.m_BaseOffY = rect.m_OffY = bottomAligned != 0 ? 32 - m_BaseDrawOffY - h : 16 - m_BaseDrawOffY - h / 2;
  rect.m_BaseWidth = rect.m_Width = w;
  rect.m_BaseHeight = rect.m_Height = h;
}
