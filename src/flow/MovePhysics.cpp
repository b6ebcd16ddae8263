#include "flow/MovePhysics.h"

#include <algorithm>
#include <cmath>

#include "core/Numeric.h"
#include "data/DataRecord.h"
#include "data/EdMove.h"
#include "data/SystemData.h"
#include "world/Chara.h"
#include "world/CharaBase.h"
#include "world/FlowState.h"
#include "world/GameScene.h"
#include "world/KeyInput.h"
#include "world/MapGrid.h"

namespace {

// The diagonal factor of the eight directions.
const double kDiagonal = 1.0 / std::sqrt(2.0);

// Velocities this small count as no motion when a facing is taken from them.
constexpr double kStill = 1e-8;

bool FixedFacing(const cCharaBase& chara) { return chara.m_Data.m_bFacingLock != 0; }
bool PlacedFacingRight(const cCharaBase& chara) { return chara.m_Data.m_nFacing == 1; }
bool FacingRight(const cCharaBase& chara) { return chara.m_Facing == 1; }

const cScrollAxis& ScrollX() { return g_GameScene->m_ScrollX; }
const cScrollAxis& ScrollY() { return g_GameScene->m_ScrollY; }

int FacingCodeOf(double vx) {
  if (vx < 0) return FACING_LEFT;
  if (vx > 0) return FACING_RIGHT;
  return FACING_KEEP;
}

// Snaps the mover onto the point it reached, unless it moves by inertia (then
// its rectangle stays as it was).
void RefreshRects(cCharaBase& chara, cGameObj* target, const cEdMove& move) {
  if (move.m_bInertia != 0) return;
  chara.UpdateRect();
  if (target != nullptr) target->UpdateRect();
}

// One axis of the inertial command velocity: accelerated by the wanted
// velocity (harder against the motion by the turn factor), within the
// maximum speed.
void Accelerate(double& commandVelocity, int32_t& decelerate, double velocity, double turnFactor, double maximum) {
  const bool reversing = (commandVelocity < 0 && velocity > 0) || (commandVelocity > 0 && velocity < 0);
  if (reversing) {
    commandVelocity += ScaleByFrameRate(velocity) * turnFactor;
  } else {
    decelerate = 0;
    commandVelocity += ScaleByFrameRate(velocity);
  }
  // A negative maximum (only damaged data holds one) limits like its size.
  const double limit = std::fabs(maximum);
  commandVelocity = std::clamp(commandVelocity, -limit, limit);
}

// The intercept of a target carried by the scroll, solved along the major
// axis (the one of the larger distance): `major` and `minor` are the
// distances, `majorSpeed` and `minorSpeed` the scroll's speeds on those axes,
// `speed` the mover's. The result holds what the solution wrote: the major
// velocity once the root exists, the minor one once the time to meet is
// known. A zero divisor stops the solution where it is (m_bStopped); a target
// receding faster than the mover can go has no root, and the straight-line
// velocity stays.
struct cIntercept {
  bool m_bStopped = false;
  bool m_bMajorSet = false;
  bool m_bMinorSet = false;
  double m_Major = 0.0;
  double m_Minor = 0.0;
};

cIntercept SolveIntercept(double major, double minor, double majorSpeed, double minorSpeed, double speed,
                          double fromMajor, double toMajor) {
  cIntercept result;
  const double d = major * major;
  if (d == 0) {
    result.m_bStopped = true;
    return result;
  }
  const double w = minor * minor / d + 1;
  const double x = (2 * majorSpeed * minor * minor - 2 * minor * major * minorSpeed) / d;
  const double r = minor * minor * majorSpeed * majorSpeed + major * major * minorSpeed * minorSpeed -
                   2 * minor * major * majorSpeed * minorSpeed;
  const double discriminant = x * x - 4 * w * (r / d - speed * speed);
  if (!(discriminant >= 0)) return result;
  double v = (x + std::sqrt(discriminant)) / (2 * w);
  if (major < 0) v = -v;
  result.m_bMajorSet = true;
  result.m_Major = v;
  const double gap = majorSpeed - v;
  const double t = gap != 0 ? (fromMajor - toMajor) / gap : 0.0;
  if (t == 0) {
    result.m_bStopped = true;
    return result;
  }
  result.m_bMinorSet = true;
  result.m_Minor = (minor + t * minorSpeed) / t;
  return result;
}

}  // namespace

// ---- command state set-up ------------------------------------------------------------

void AngleStep(cCharaBase& chara, cCmdState& state) {
  const cEdMove* move = state.m_pCommand != nullptr ? state.m_pCommand->m_Move.Get() : nullptr;
  if (move == nullptr) return;
  int64_t angle = int64_t{move->m_nAnglePerCopy} * chara.m_CloneNo + move->m_nAngle;
  if (move->m_bMirrorAngle != 0 && PlacedFacingRight(chara)) angle = 360 - angle;
  if (angle >= 360) angle %= 360;
  state.m_Angle = static_cast<int32_t>(angle);
}

void MoveOffset(cCharaBase& chara, cCmdState& state) {
  const cEdMove* move = state.m_pCommand != nullptr ? state.m_pCommand->m_Move.Get() : nullptr;
  if (move == nullptr) return;
  int32_t x = move->m_nTargetX * kCellDots + move->m_nTargetOffsetX;
  int32_t y = move->m_nTargetY * kCellDots + move->m_nTargetOffsetY;
  if (PlacedFacingRight(chara)) {
    if (move->m_bMirrorX != 0) x = -x;
    if (move->m_bMirrorY != 0) y = -y;
  }
  state.m_OffsetX = x;
  state.m_OffsetY = y;
}

// ---- directions -----------------------------------------------------------------------

int ResolveDirection(cCharaBase& chara, int choice, int useCurrentKeys, int keyMode, int keepDiagonals) {
  const bool right = FacingRight(chara);
  switch (choice) {
    case DIR_FRONT:
      return right ? DIR_CODE_RIGHT : DIR_CODE_LEFT;
    case DIR_BACK:
      return right ? DIR_CODE_LEFT : DIR_CODE_RIGHT;
    case DIR_FRONT_Y:
      return right ? DIR_CODE_DOWN : DIR_CODE_UP;
    case DIR_BACK_Y:
      return right ? DIR_CODE_UP : DIR_CODE_DOWN;
    case DIR_INPUT: {
      int slot = 0;
      if (useCurrentKeys != 0) {
        if (!g_KeyInput.empty()) slot = cCharaBase::GetTriggerKeySlot(g_KeyInput[0]);
      } else if (g_GameScene != nullptr && g_GameScene->m_pCurFlowState != nullptr) {
        slot = g_GameScene->m_pCurFlowState->m_TriggerKeySlot;
      }
      // A replay plays back by the rule of the data version it was recorded
      // with (g_ReadVersion keeps the replay file's).
      int code = MapDirectionCode(slot, keyMode, chara.m_Facing, IsReplayPlaying(), g_ReadVersion);
      if (keepDiagonals == 0) {
        if (code == DIR_CODE_UP_LEFT || code == DIR_CODE_DOWN_LEFT) code = DIR_CODE_LEFT;
        if (code == DIR_CODE_UP_RIGHT || code == DIR_CODE_DOWN_RIGHT) code = DIR_CODE_RIGHT;
      }
      return code;
    }
    default:
      return choice;
  }
}

void DirToVelocity(cCharaBase& chara, double& vx, double& vy, int& facingCode, double speed, int choice) {
  vx = vy = 0.0;
  const bool flying = chara.m_Flying != 0;
  const int code = ResolveDirection(chara, choice, 0, 1, flying ? 1 : 0);
  const double diagonal = speed * kDiagonal;
  int facing = FACING_KEEP;
  switch (code) {
    case DIR_CODE_LEFT:
      vx = -speed;
      facing = FACING_LEFT;
      break;
    case DIR_CODE_RIGHT:
      vx = speed;
      facing = FACING_RIGHT;
      break;
    case DIR_CODE_UP:
      if (flying) vy = -speed;
      break;
    case DIR_CODE_DOWN:
      if (flying) vy = speed;
      break;
    case DIR_CODE_UP_LEFT:
      vx = -diagonal;
      if (flying) vy = -diagonal;
      facing = FACING_LEFT;
      break;
    case DIR_CODE_DOWN_LEFT:
      vx = -diagonal;
      if (flying) vy = diagonal;
      facing = FACING_LEFT;
      break;
    case DIR_CODE_UP_RIGHT:
      vx = diagonal;
      if (flying) vy = -diagonal;
      facing = FACING_RIGHT;
      break;
    case DIR_CODE_DOWN_RIGHT:
      vx = diagonal;
      if (flying) vy = diagonal;
      facing = FACING_RIGHT;
      break;
    default:
      return;
  }
  if (!FixedFacing(chara)) facingCode = facing;
}

void DirAngleToVelocity(cCharaBase& chara, double& vx, double& vy, int& facingCode, double speed, int choice,
                        int16_t angle) {
  vx = vy = 0.0;
  const bool flying = chara.m_Flying != 0;
  const int code = ResolveDirection(chara, choice, 0, 1, flying ? 1 : 0);
  struct cBase {
    int m_Code;
    int m_Angle;
    int m_Facing;
  };
  static constexpr cBase kBases[] = {
      {DIR_CODE_LEFT, 0, FACING_LEFT},          {DIR_CODE_RIGHT, 180, FACING_RIGHT},
      {DIR_CODE_UP, 90, FACING_KEEP},           {DIR_CODE_DOWN, 270, FACING_KEEP},
      {DIR_CODE_UP_LEFT, 45, FACING_LEFT},      {DIR_CODE_DOWN_LEFT, 315, FACING_LEFT},
      {DIR_CODE_UP_RIGHT, 135, FACING_RIGHT},   {DIR_CODE_DOWN_RIGHT, 225, FACING_RIGHT},
  };
  int base = 0;
  for (const cBase& entry : kBases) {
    if (entry.m_Code != code) continue;
    base = entry.m_Angle;
    if (!FixedFacing(chara)) facingCode = entry.m_Facing;
    break;
  }
  const int16_t total = static_cast<int16_t>(base + angle);
  const double radians = total * kMoveRadiansPerDegree;
  vx = -std::cos(radians) * speed;
  if (flying) vy = -std::sin(radians) * speed;
}

void VelocityToPoint(cCharaBase& chara, double& vx, double& vy, int& facingCode, double speed, int x, int y,
                     const cEdMove& move, cCmdState& state) {
  const double camX = ScrollX().m_Position;
  const double camY = ScrollY().m_Position;
  const double ownX = ScreenCentreX(chara) + camX;
  const double ownY = ScreenCentreY(chara) + camY;
  double dx = 0.0;
  double dy = 0.0;
  switch (move.m_nCoordSystem) {
    case 0:  // from the placement
      dx = (x + chara.m_SpawnX) - ownX;
      dy = (y + chara.m_SpawnY) - ownY;
      break;
    case 1:  // from the character
      dx = x;
      dy = y;
      break;
    case 2:  // a stage position
      dx = (ScrollX().m_Margin * kCellDots + x + 16) - ownX;
      dy = (ScrollY().m_Margin * kCellDots + y + 16) - ownY;
      break;
    case 3:  // a screen position
      dx = (x + camX + 16) - ownX;
      dy = (y + camY + 16) - ownY;
      break;
    default:  // no other kind exists: no target point, no motion
      break;
  }
  if (move.m_bAxisX == 0) dx = 0.0;
  if (move.m_bAxisY == 0) dy = 0.0;
  const double distance = std::sqrt(dx * dx + dy * dy);
  vx = vy = 0.0;
  if (distance != 0) {
    if (move.m_bHoldX == 0) vx = dx / distance * speed;
    if (move.m_bHoldY == 0) vy = dy / distance * speed;
  }
  if (!FixedFacing(chara)) facingCode = vx < -kStill ? FACING_LEFT : vx > kStill ? FACING_RIGHT : FACING_KEEP;
  if (move.m_bTimeFromDistance != 0 && speed != 0) {
    const double steps = std::fabs(distance) / std::fabs(speed);
    const int32_t whole = steps < 2147483647.0 ? static_cast<int32_t>(steps) : 2147483647;
    state.m_Remaining = whole;
    if (move.m_bStopAtTarget != 0 && whole <= 0) {
      if (move.m_bAxisX != 0 && move.m_bHoldX == 0) {
        vx = 0.0;
        facingCode = FACING_KEEP;
      }
      if (move.m_bAxisY != 0 && move.m_bHoldY == 0) vy = 0.0;
    }
  }
}

// ---- applying a move ---------------------------------------------------------------------

int ApplyMove(cCharaBase& chara, double vx, double vy, int facingCode, cCmdState& state, const cEdMove& move,
              int forceFacing) {
  if ((!FixedFacing(chara) || forceFacing != 0) && move.m_bKeepFacing == 0) {
    if (facingCode == FACING_LEFT) chara.m_Facing = 0;
    if (facingCode == FACING_RIGHT) chara.m_Facing = 1;
  }
  if (move.m_bInertia != 0) {
    Accelerate(chara.m_CmdVX, chara.m_DecelX, vx, move.m_dInertiaFactor, state.m_MaxSpeed);
    Accelerate(chara.m_CmdVY, chara.m_DecelY, vy, move.m_dInertiaFactor, state.m_MaxSpeed);
  } else {
    chara.m_VX += vx;
    chara.m_VY += vy;
  }
  if (move.m_bOwnAnime != 0) return 1;
  chara.m_bMovedByCmd = 1;
  return chara.m_Anime.ChangeAnime(chara.m_Flying != 0 ? 3 : 1, 1);
}

// ---- walking along the ground ---------------------------------------------------------------

void GroundTurnCheck(cCharaBase& chara, cCmdState& state, const cEdMove& /*move*/) {
  state.m_VY = 0.0;
  state.m_FacingCode = FACING_KEEP;
  state.m_VX = chara.FacingSign() * state.m_Speed;
  if (chara.m_bPushedX != 0) {
    // Pushed back by a block character: turn, and take over its motion.
    state.m_FacingCode = FacingRight(chara) ? FACING_LEFT : FACING_RIGHT;
    state.m_VX = -state.m_VX;
    if (const cChara* pusher = g_CharaList.FindByKey(chara.m_nPushedByKey)) {
      const double d = pusher->m_X - chara.m_PushedByX;
      const bool againstFacing = (FacingRight(chara) && d < 0) || (!FacingRight(chara) && d > 0);
      state.m_VX += againstFacing ? 2 * d : d;
    }
    chara.m_bPushedX = 0;
    return;
  }
  // The ground under both feet: turn toward the side that has ground.
  const int lastRow = std::max(ScrollY().m_CellCount - 1, 0);
  const int row = std::clamp(TruncToI32(chara.m_Bottom + 1.1) >> 5, 0, lastRow);
  const int rowBits = ScrollX().m_RowBits;
  const bool leftSolid = CellContactKindAt(MapCellIndex(chara.m_CellL, row, rowBits), chara.m_PassNo) != 0;
  const bool rightSolid = CellContactKindAt(MapCellIndex(chara.m_CellR, row, rowBits), chara.m_PassNo) != 0;
  if (leftSolid && !rightSolid) state.m_FacingCode = FACING_LEFT;
  if (!leftSolid && rightSolid) state.m_FacingCode = FACING_RIGHT;
}

void AvoidOffscreenStep(cCharaBase& chara, cCmdState& state, const cEdMove& move) {
  int code = move.m_nDirection;
  if (code == DIR_FRONT || code == DIR_BACK || code == DIR_FRONT_Y || code == DIR_BACK_Y) {
    code = ResolveDirection(chara, code, 0, 1, 1);
  }
  const bool left = code == DIR_CODE_LEFT || code == DIR_CODE_UP_LEFT || code == DIR_CODE_DOWN_LEFT;
  const bool right = code == DIR_CODE_RIGHT || code == DIR_CODE_UP_RIGHT || code == DIR_CODE_DOWN_RIGHT;
  const bool up = code == DIR_CODE_UP || code == DIR_CODE_UP_LEFT || code == DIR_CODE_UP_RIGHT;
  const bool down = code == DIR_CODE_DOWN || code == DIR_CODE_DOWN_LEFT || code == DIR_CODE_DOWN_RIGHT;
  const double s = state.m_Speed;
  state.m_VX = state.m_VY = 0.0;
  const cScrollAxis& axisX = ScrollX();
  const cScrollAxis& axisY = ScrollY();
  const double a = axisX.SpeedNow();
  if (a == 0) {
    if (left && chara.m_ScrLeft > 608) {
      state.m_VX = -s;
    } else if (right && chara.m_ScrRight < 32) {
      state.m_VX = s;
    }
    if (up && chara.m_ScrTop > 448) {
      state.m_VY = -s;
    } else if (down && chara.m_ScrBottom < 32) {
      state.m_VY = s;
    }
    return;
  }
  // The view moves: come back faster than it, and only while it has room.
  const double b = axisY.SpeedNow();
  const double camX = axisX.m_Position;
  const double camY = axisY.m_Position;
  const double lastCamX = axisX.m_Max - kScreenWidth;
  const double lastCamY = axisY.m_Max - kScreenHeight;
  if (left && chara.m_ScrLeft > 608 - std::fabs(a + 1) && camX > 0 && a + camX <= lastCamX) {
    state.m_VX = a - s;
  } else if (right && chara.m_ScrRight < std::fabs(a + 1) + 32 && a + camX > 0 && camX < lastCamX) {
    state.m_VX = a + s;
  }
  if (up && chara.m_ScrTop > 448 - std::fabs(b + 1) && camY > 0 && b + camY <= lastCamY) {
    state.m_VY = b - s;
  } else if (down && chara.m_ScrBottom < std::fabs(b + 1) + 32 && b + camY > 0 && camY < lastCamY) {
    state.m_VY = b + s;
  }
}

// ---- aiming --------------------------------------------------------------------------------------

double ScreenCentreX(const cGameObj& obj) { return obj.m_ScrLeft + (obj.m_GfxW >> 1); }
double ScreenCentreY(const cGameObj& obj) { return obj.m_ScrTop + (obj.m_GfxH >> 1); }

void MoveTargetPoint(cCharaBase& target, double& x, double& y, const cEdMove& move, const cCmdState& state) {
  if (move.m_bHoldX == 0) x = ScreenCentreX(target) + state.m_OffsetX;
  if (move.m_bHoldY == 0) y = ScreenCentreY(target) + state.m_OffsetY;
}

void StepTowardTarget(cCharaBase& chara, cCmdState& state, const cEdMove& move, cCharaBase& target, double x,
                      double y) {
  const int follows = chara.m_MovesWithScroll;
  const int stop = move.m_bStopAtTarget;
  if (move.m_bHoldX == 0 && move.m_bHoldY == 0) {
    StepTowardXY(chara, state, move, &target, x, y, follows, stop);
  } else if (move.m_bHoldX == 0) {
    StepTowardX(chara, state, move, &target, x, follows, stop);
  } else if (move.m_bHoldY == 0) {
    StepTowardY(chara, state, move, &target, y, follows, stop);
  } else {
    state.m_VX = state.m_VY = 0.0;
    state.m_FacingCode = FACING_KEEP;
  }
}

int StepTowardXY(cCharaBase& chara, cCmdState& state, const cEdMove& move, cGameObj* target, double x, double y,
                 int followsScroll, int stopOnArrival) {
  const int arrived = SolveAimVelocity(state.m_VX, state.m_VY, state.m_FacingCode, target, ScreenCentreX(chara),
                                       ScreenCentreY(chara), x, y, state.m_Speed, followsScroll, 0, 1);
  if (arrived == 0 || stopOnArrival == 0) return arrived;
  RefreshRects(chara, target, move);
  chara.SetCenterStop(TruncToI32(x), TruncToI32(y), &state);
  return arrived;
}

int StepTowardX(cCharaBase& chara, cCmdState& state, const cEdMove& move, cGameObj* target, double x,
                int followsScroll, int stopOnArrival) {
  const int arrived = HeadTowardX(state.m_VX, state.m_VY, state.m_FacingCode, target, ScreenCentreX(chara), x,
                                  state.m_Speed, followsScroll, 1);
  if (arrived == 0 || stopOnArrival == 0) return arrived;
  RefreshRects(chara, target, move);
  chara.SetCenterXStop(TruncToI32(x), &state);
  return arrived;
}

int StepTowardY(cCharaBase& chara, cCmdState& state, const cEdMove& move, cGameObj* target, double y,
                int followsScroll, int stopOnArrival) {
  const int arrived = HeadTowardY(state.m_VY, state.m_VX, state.m_FacingCode, target, ScreenCentreY(chara), y,
                                  state.m_Speed, followsScroll, 1);
  if (arrived == 0 || stopOnArrival == 0) return arrived;
  RefreshRects(chara, target, move);
  chara.SetCenterYStop(TruncToI32(y), &state);
  return arrived;
}

namespace {

int HeadToward(double& v, double& other, const cGameObj* target, double from, double to, double speed,
               int followsScroll, int arrivalTest, const cScrollAxis& axis) {
  v = from < to ? speed : -speed;
  // Games made before the scroll correction carry a mover aiming at a
  // scrolling target along with the scroll.
  if (followsScroll == 0 && target != nullptr && target->m_MovesWithScroll != 0 && g_System.m_bScrollSwitch != 0 &&
      axis.SpeedNow() != 0) {
    v += axis.SpeedNow();
  }
  other = 0.0;
  return arrivalTest != 0 && std::fabs(speed) > std::fabs(from - to) ? 1 : 0;
}

}  // namespace

int HeadTowardX(double& v, double& other, int& facingCode, const cGameObj* target, double from, double to,
                double speed, int followsScroll, int arrivalTest) {
  facingCode = from < to ? FACING_RIGHT : FACING_LEFT;
  return HeadToward(v, other, target, from, to, speed, followsScroll, arrivalTest, ScrollX());
}

int HeadTowardY(double& v, double& other, int& facingCode, const cGameObj* target, double from, double to,
                double speed, int followsScroll, int arrivalTest) {
  facingCode = FACING_KEEP;
  return HeadToward(v, other, target, from, to, speed, followsScroll, arrivalTest, ScrollY());
}

int SolveAimVelocity(double& vx, double& vy, int& facingCode, const cGameObj* target, double fromX, double fromY,
                     double toX, double toY, double speed, int moverFollowsScroll, int noFlee, int arrivalTest) {
  const double dx = toX - fromX;
  const double dy = toY - fromY;
  const double scrollX = ScrollX().SpeedNow();
  const double scrollY = ScrollY().SpeedNow();
  const bool moverFollows = moverFollowsScroll != 0;
  const bool targetFollows = target != nullptr && target->m_MovesWithScroll != 0;

  if (noFlee == 0 && speed < 0) {
    // A negative speed flees from the target on both axes.
    const double t = -speed / std::sqrt(2.0);
    vx = fromX < toX ? -t : t;
    vy = fromY < toY ? -t : t;
    facingCode = FacingCodeOf(vx);
    if (g_System.m_bScrollSwitch != 0) {
      vx += scrollX;
      vy += scrollY;
    } else if (target != nullptr && moverFollows != targetFollows) {
      vx -= scrollX;
      vy -= scrollY;
    }
    return 0;
  }

  double distance = std::sqrt(dx * dx + dy * dy);
  if (distance == 0) distance = 1;
  vx = speed * dx / distance;
  vy = speed * dy / distance;
  bool facingKnown = true;
  if (g_System.m_bScrollSwitch != 0) {
    vx += scrollX;
    vy += scrollY;
  } else if (target != nullptr && !(moverFollows && targetFollows)) {
    if (!targetFollows) {
      vx -= scrollX;
      vy -= scrollY;
    } else if (scrollX != 0 || scrollY != 0) {
      // Only the target is carried by the scroll: head for where it will be.
      const double v = std::sqrt(vx * vx + vy * vy);
      if (std::fabs(dy) >= std::fabs(dx)) {
        const cIntercept hit = SolveIntercept(dy, dx, scrollY, scrollX, v, fromY, toY);
        if (hit.m_bMajorSet) vy = hit.m_Major;
        if (hit.m_bMinorSet) vx = hit.m_Minor;
        facingKnown = !hit.m_bStopped;
      } else {
        const cIntercept hit = SolveIntercept(dx, dy, scrollX, scrollY, v, fromX, toX);
        if (hit.m_bMajorSet) vx = hit.m_Major;
        if (hit.m_bMinorSet) vy = hit.m_Minor;
        facingKnown = !hit.m_bStopped;
      }
    }
  }
  if (facingKnown) facingCode = FacingCodeOf(vx);
  if (arrivalTest != 0) return std::fabs(dx) <= std::fabs(speed) && std::fabs(dy) <= std::fabs(speed) ? 1 : 0;
  return 0;
}
