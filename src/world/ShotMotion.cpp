// The shot motions (straight, aim once, homing, wave, fall) and the sword
// step, run by cShot::UpdateShotMotion before the velocities are applied.

#include <algorithm>
#include <cmath>

#include "core/Numeric.h"
#include "data/StageData.h"
#include "data/SwordType.h"
#include "world/Chara.h"
#include "world/Contact.h"
#include "world/FlowServices.h"
#include "world/GameScene.h"
#include "world/Hero.h"
#include "world/Shot.h"

namespace {

enum eShotMotion : int {
  MOTION_STRAIGHT = 0,
  MOTION_AIM_HERO = 1,
  MOTION_AIM_NEAREST = 2,
  MOTION_AIM_TARGET = 3,
  MOTION_HOME_HERO = 4,
  MOTION_HOME_NEAREST = 5,
  MOTION_HOME_TARGET = 6,
  MOTION_HOME_NEAREST_RETARGET = 7,
  MOTION_WAVE = 8,
  MOTION_FALL = 9,
};

int CentreX(const cGameObj& obj) { return obj.m_ScrLeft + (obj.m_GfxW >> 1); }
int CentreY(const cGameObj& obj) { return obj.m_ScrTop + (obj.m_GfxH >> 1); }

// The sub-step at which `hbl` half blocks are covered at `speed` dots per
// sub-step (0 at no speed).
int32_t SubStepsFor(int hbl, double speed) {
  if (speed == 0) return 0;
  return TruncToI32(hbl * 16 / speed);
}

bool Sign(double v) { return v > 0; }

}  // namespace

// A character of the stage by its object key: the hero or one of g_CharaList.
cCharaBase* FindCharaByKey(int32_t key) {
  cHero* hero = StageHero();
  if (hero != nullptr && hero->m_Key == key) return hero;
  return g_CharaList.FindByKey(key);
}

void cShot::StartMotion() {
  const int motion = m_EdShot.m_nMotion;
  m_AimSpeed = (m_EdShot.m_nSpeed + m_CloneNo * m_EdShot.m_nSpeedPerCopy) * 0.1 / g_Stage.SubStepsAtLeastOneF();
  const int16_t* p = m_EdShot.m_nMotionParams;
  if (motion <= MOTION_AIM_TARGET || motion == MOTION_FALL) {
    if (p[0] != 0) m_MotionStart = SubStepsFor(p[0], m_AimSpeed);
  } else {
    if (p[0] != 0) m_MotionStart = SubStepsFor(p[0], m_AimSpeed);
    if (p[1] != 0) m_MotionEnd = SubStepsFor(p[1], m_AimSpeed);
  }
}

// The character a motion steers toward, or null.
static cCharaBase* MotionTarget(cShot& shot, int motion, int factionParam) {
  switch (motion) {
    case MOTION_AIM_HERO:
    case MOTION_HOME_HERO:
      return StageHero();
    case MOTION_AIM_NEAREST:
    case MOTION_HOME_NEAREST:
    case MOTION_HOME_NEAREST_RETARGET:
      shot.UpdateRect();
      return FindNearestTargetAt(CentreX(shot), CentreY(shot), factionParam);
    default:
      return shot.m_Target != nullptr && shot.m_Target->m_bDead == 0 ? shot.m_Target : nullptr;
  }
}

void cShot::AimOnce() {
  if (m_Tick != m_MotionStart) return;
  const int motion = m_EdShot.m_nMotion;
  cCharaBase* target = MotionTarget(*this, motion, m_EdShot.m_nMotionParams[1]);
  if (target != nullptr) {
    UpdateRect();
    target->UpdateRect();
    int direction = 0;
    FlowServices().SolveAimVelocity(m_MotionVX, m_MotionVY, direction, target, CentreX(*this), CentreY(*this),
                                    CentreX(*target), CentreY(*target), m_AimSpeed, m_MovesWithScroll, kSpeedAsGiven,
                                    0);
    if (m_AccelOn != 0) SplitAccel(m_MotionVX, m_MotionVY);
  }
  m_MotionDone = 1;
}

void cShot::Homing() {
  if (m_Tick >= m_MotionEnd) {
    m_MotionDone = 1;
    return;
  }
  if (m_Tick < m_MotionStart) return;
  const int motion = m_EdShot.m_nMotion;
  cCharaBase* target = MotionTarget(*this, motion, m_EdShot.m_nMotionParams[2]);
  if (target == nullptr) return;
  UpdateRect();
  target->UpdateRect();
  HomeVelocity(*target);
}

void cShot::HomeVelocity(cCharaBase& target) {
  double sx = 0.0;
  double sy = 0.0;
  int direction = 0;
  FlowServices().SolveAimVelocity(sx, sy, direction, &target, CentreX(*this), CentreY(*this), CentreX(target),
                                  CentreY(target), m_AimSpeed, m_MovesWithScroll, kSpeedAsGiven, 0);
  if (m_AccelOn == 0 || m_Tick == m_MotionStart) {
    m_MotionVX = sx;
    m_MotionVY = sy;
  }
  if (m_AccelOn != 0) SplitAccel(sx, sy);
}

void cShot::WaveMotion() {
  int16_t* p = m_EdShot.m_nMotionParams;
  // A wave speed of 0 has no wave: the shot flies straight on.
  if (p[1] == 0) {
    m_MotionDone = 1;
    return;
  }
  const double oldVX = m_MotionVX;
  const double oldVY = m_MotionVY;
  if (m_Tick == 0) {
    m_Tick = 1;
    p[0] = static_cast<int16_t>(std::clamp(p[0] * 16, -32768, 32767));
    m_WavePrev = 0.0;
    const int start = m_Facing != 0 ? p[2] : p[2] + 180;
    m_WavePhase = g_Stage.SubStepsAtLeastOneF() * (static_cast<double>(start) / p[1]);
    const double h = WaveVelocity(p[0], p[1], &m_WavePhase, 1, 0);
    double travel = std::atan2(m_MotionVY, m_MotionVX);
    if (travel < 0) travel += 2 * M_PI;
    const double perpendicular = (travel / kRadiansPerDegree - 90) * kRadiansPerDegree;
    m_WaveCos = std::cos(perpendicular);
    m_WaveSin = std::sin(perpendicular);
    m_MotionVX += h * m_WaveCos;
    m_MotionVY += h * m_WaveSin;
  } else {
    const double g = WaveAccel(p[0], p[1], &m_WavePhase, 1, 0);
    m_MotionVX += g * m_WaveCos;
    m_MotionVY += g * m_WaveSin;
    // The wave never turns the shot back: an axis whose direction flips stops.
    if (oldVX != 0 && m_MotionVX != 0 && Sign(oldVX) != Sign(m_MotionVX)) m_MotionVX = 0.0;
    if (oldVY != 0 && m_MotionVY != 0 && Sign(oldVY) != Sign(m_MotionVY)) m_MotionVY = 0.0;
  }
  if (m_AccelOn != 0) SplitAccel(m_MotionVX, m_MotionVY);
}

void cShot::FallMotion() {
  if (m_Tick < m_MotionStart) return;
  m_VY = m_MotionVY;
  m_Flying = 0;
  m_MotionDone = 1;
}

void cShot::RunMotion() {
  const int motion = m_EdShot.m_nMotion;
  if (motion == MOTION_STRAIGHT || motion > MOTION_FALL) return;
  if (motion == MOTION_WAVE) {
    if (m_MotionDone == 0) WaveMotion();
    return;
  }
  if (m_Tick == 0) StartMotion();
  if (m_MotionDone != 0) return;
  if (motion <= MOTION_AIM_TARGET) {
    AimOnce();
  } else if (motion == MOTION_FALL) {
    FallMotion();
  } else {
    Homing();
  }
  if (m_MotionDone == 0) ++m_Tick;
}

int cShot::UpdateSword() {
  cCharaBase* owner = FindCharaByKey(m_OwnerKey);
  if (owner == nullptr) return 1;
  const cSwordType* type = SwordType();
  if (type == nullptr || m_SwordFrame >= static_cast<int>(type->m_Steps.size())) return 1;
  owner->UpdateRect();
  m_Facing = owner->m_Facing;

  const cSwordStep& frame = type->m_Steps[m_SwordFrame];
  const int scale = m_EdShot.m_nScale > 0 ? m_EdShot.m_nScale : 1;
  if (m_Tick == 0) {
    m_BaseGfxW = frame.m_nWidth;
    m_BaseGfxH = frame.m_nHeight;
    m_GfxW = ClampToI32(int64_t{scale} * frame.m_nWidth);
    m_GfxH = ClampToI32(int64_t{scale} * frame.m_nHeight);
    m_Hit.Set(0, 0, frame.m_nWidth, frame.m_nHeight);
    m_Hit.Scale(scale);
  }

  const double camX = g_GameScene->m_ScrollX.m_Position;
  const double camY = g_GameScene->m_ScrollY.m_Position;
  const double left = owner->m_ScrLeft + camX;
  const double right = owner->m_ScrRight + camX;
  const double top = owner->m_ScrTop + camY;
  const double bottom = owner->m_ScrBottom + camY;
  const int w = m_GfxW;
  const int h = m_GfxH;
  const bool right_facing = owner->m_Facing != 0;
  double x = 0.0;
  double y = top + owner->m_GfxH / 2 - h / 2;
  switch (frame.m_nPosition) {
    case SWORD_POS_BACK:
      m_Facing = right_facing ? 0 : 1;
      x = right_facing ? left - w : right + 1;
      break;
    case SWORD_POS_ABOVE:
      x = left + owner->m_GfxW / 2 - w / 2;
      y = top - h;
      break;
    case SWORD_POS_BELOW:
      x = left + owner->m_GfxW / 2 - w / 2;
      y = bottom + 1;
      break;
    default:
      x = right_facing ? right + 1 : left - w;
      break;
  }
  const double offX = static_cast<double>(int64_t{scale} * frame.m_nOffsetX);
  const double offY = static_cast<double>(int64_t{scale} * frame.m_nOffsetY);
  if (right_facing) {
    x += frame.m_bMirrorX != 0 ? -offX : offX;
    y += frame.m_bMirrorY != 0 ? -offY : offY;
  } else {
    x += offX;
    y += offY;
  }
  m_X = x;
  m_Y = y;
  ConstrainX();
  ClampY(-1);

  ++m_Tick;
  if (int64_t{frame.m_nDuration} * g_Stage.SubStepsAtLeastOne() * 6 >= m_Tick) return 0;
  m_Tick = 0;
  ++m_SwordFrame;
  return m_SwordFrame >= static_cast<int>(type->m_Steps.size()) ? 1 : 0;
}
