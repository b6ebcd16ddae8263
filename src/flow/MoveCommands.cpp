// The movement commands (types 2 to 10) and the two movement set-ups that
// are more than a time conversion. Each handler turns its command's movement
// settings into a velocity through the movement physics (MovePhysics.h) and
// keeps what it needs between sub-steps in the command state.

#include <algorithm>
#include <cmath>

#include "core/Numeric.h"
#include "core/SoundRequest.h"
#include "data/EdMove.h"
#include "data/SystemData.h"
#include "flow/FlowCommands.h"
#include "flow/FlowRuntime.h"
#include "flow/MovePhysics.h"
#include "world/CharaBase.h"
#include "world/CharaMotion.h"
#include "world/FlowState.h"

namespace {

const cEdMove* MoveOf(const cCmdState& state) {
  return state.m_pCommand != nullptr ? state.m_pCommand->m_Move.Get() : nullptr;
}

// Every movement handler frees the character from a screen pin.
void ClearScreenPins(cCharaBase& chara) { chara.m_bScreenLockX = chara.m_bScreenLockY = 0; }

int Param(const cCmdState& state, int n) {
  const cCommand* command = state.m_pCommand;
  return command != nullptr && n < static_cast<int>(command->m_Params.size()) ? command->m_Params[n] : 0;
}

int ApplyStateMove(cCharaBase& chara, cCmdState& state, const cEdMove& move, int forceFacing) {
  return ApplyMove(chara, state.m_VX, state.m_VY, state.m_FacingCode, state, move, forceFacing);
}

// Turns the command's velocity by its angle (a charge aimed off its target).
void TurnByAngle(cCharaBase& chara, cCmdState& state) {
  const double speed = state.m_Speed;
  double degrees = 0.0;
  if (g_System.m_bChargeSwitch == 0) {
    degrees = static_cast<int16_t>(TruncToI32(std::atan2(state.m_VY, state.m_VX) * kMoveDegreesPerRadian + 180)) +
              state.m_Angle;
    state.m_VX = -std::cos(degrees * kMoveRadiansPerDegree) * speed;
  } else {
    degrees = TruncToI32(std::atan2(state.m_VX, state.m_VY) * kMoveDegreesPerRadian + 90) + int64_t{state.m_Angle};
    state.m_VX = std::cos(degrees * kMoveRadiansPerDegree) * speed;
  }
  if (chara.m_Flying != 0) state.m_VY = -std::sin(degrees * kMoveRadiansPerDegree) * speed;
}

// A homing or charge target point: the target's screen centre plus the
// command's offset (only the axes the move does not hold are written).
struct cPoint {
  double x = 0.0;
  double y = 0.0;
};

cPoint LivePoint(cCharaBase& chara, cCharaBase& target, const cEdMove& move, const cCmdState& state) {
  cPoint point{ScreenCentreX(chara), static_cast<double>(chara.m_ScrTop + (chara.m_GfxH >> 1))};
  MoveTargetPoint(target, point.x, point.y, move, state);
  return point;
}

}  // namespace

int CmdStraightMove(cCharaBase& chara, cCmdState& state) {
  const cEdMove* move = MoveOf(state);
  if (move == nullptr) return 0;
  ClearScreenPins(chara);
  if (state.m_bStarted == 0) {
    state.m_bStarted = 1;
    AngleStep(chara, state);
    if (state.m_nMoveKind == 1) {
      MoveOffset(chara, state);
      VelocityToPoint(chara, state.m_VX, state.m_VY, state.m_FacingCode, state.m_Speed, state.m_OffsetX,
                      state.m_OffsetY, *move, state);
    } else if (state.m_Angle == 0) {
      DirToVelocity(chara, state.m_VX, state.m_VY, state.m_FacingCode, state.m_Speed, state.m_Direction);
    } else {
      DirAngleToVelocity(chara, state.m_VX, state.m_VY, state.m_FacingCode, state.m_Speed, state.m_Direction,
                         static_cast<int16_t>(state.m_Angle));
    }
  } else if (move->m_bTurnWithFacing != 0 && chara.m_Data.m_bFacingLock != 0 && chara.m_Facing != state.m_PrevFacing) {
    // A fixed-facing character turned by another flow reverses its motion.
    state.m_VX = -state.m_VX;
    state.m_VY = -state.m_VY;
  }
  if (chara.m_Flying == 0) state.m_VY = 0.0;
  if (g_System.m_bStraightMoveSwitch == 0) {
    if (move->m_bHoldX != 0) state.m_VX = 0.0;
    if (move->m_bHoldY != 0) state.m_VY = 0.0;
  }
  ApplyStateMove(chara, state, *move, 0);
  state.m_PrevFacing = chara.m_Facing;
  return 0;
}

int CmdGroundTurnMove(cCharaBase& chara, cCmdState& state) {
  const cEdMove* move = MoveOf(state);
  if (move == nullptr || chara.m_Flying != 0) return 0;
  ClearScreenPins(chara);
  if (chara.m_ImpulseX != 0 || chara.m_ImpulseY != 0) {
    // Knocked back: it walks straight on until the impulse is gone.
    state.m_VX = chara.FacingSign() * state.m_Speed;
    state.m_VY = 0.0;
    state.m_FacingCode = FACING_KEEP;
  } else {
    GroundTurnCheck(chara, state, *move);
  }
  ApplyStateMove(chara, state, *move, 1);
  return 0;
}

int CmdCircleMove(cCharaBase& chara, cCmdState& state) {
  const cEdMove* move = MoveOf(state);
  if (move == nullptr || state.m_Radius == 0) return 0;
  ClearScreenPins(chara);
  if (state.m_bStarted == 0) {
    state.m_bStarted = 1;
    state.m_PhaseX = state.m_PhaseY = state.m_StartAngle;
  }
  int rotation = state.m_Direction;
  if (rotation == 2) rotation = chara.m_Facing == 1 ? 1 : 0;
  if (rotation == 3) rotation = chara.m_Facing == 0 ? 1 : 0;
  const double advance = FlowSubSteps() * state.m_Speed;
  double vx = 0.0;
  double vy = 0.0;
  if (move->m_bHoldX == 0) vx = -WaveVelocity(state.m_Radius, 1, &state.m_PhaseX, advance, 0) * state.m_Speed;
  if (move->m_bHoldY == 0 && chara.m_Flying != 0 && (rotation == 0 || rotation == 1)) {
    vy = -WaveVelocity(state.m_Radius, 1, &state.m_PhaseY, advance, rotation == 0 ? 270 : 90) * state.m_Speed;
  }
  ApplyMove(chara, vx, vy, FACING_KEEP, state, *move, 0);
  return 0;
}

int CmdChargeMove(cCharaBase& chara, cCmdState& state) {
  const cEdMove* move = MoveOf(state);
  if (move == nullptr) return 0;
  ClearScreenPins(chara);
  if (state.m_bStarted == 0) {
    state.m_bStarted = 1;
    AngleStep(chara, state);
    MoveOffset(chara, state);
    cCharaBase* target = chara.Target(move->m_nRushTargetSlot);
    if (target == nullptr) {
      state.m_VX = state.m_VY = 0.0;
      return 0;
    }
    if (target->m_bDead != 0) return 0;
    if (chara.m_Flying != 0) {
      const cPoint point = LivePoint(chara, *target, *move, state);
      StepTowardTarget(chara, state, *move, *target, point.x, point.y);
    } else if (move->m_bHoldX != 0) {
      state.m_VX = 0.0;
    } else {
      HeadTowardX(state.m_VX, state.m_VY, state.m_FacingCode, target, ScreenCentreX(chara),
                  ScreenCentreX(*target) + state.m_OffsetX, state.m_Speed, chara.m_MovesWithScroll, 0);
    }
    if (state.m_Angle != 0) TurnByAngle(chara, state);
  } else if (chara.m_Flying == 0) {
    state.m_VY = 0.0;
  }
  ApplyStateMove(chara, state, *move, 0);
  return 0;
}

int CmdHomingMove(cCharaBase& chara, cCmdState& state) {
  const cEdMove* move = MoveOf(state);
  if (move == nullptr) return 0;
  cCharaBase* target = chara.Target(move->m_nRushTargetSlot);
  if (target == nullptr || target->m_bDead != 0) return 0;
  const bool flying = chara.m_Flying != 0;
  if (!flying && move->m_bHoldX != 0) return 0;
  ClearScreenPins(chara);
  if (state.m_bStarted == 0) {
    state.m_bStarted = 1;
    MoveOffset(chara, state);
  }
  if (!flying) state.m_VY = 0.0;
  // Heads for the point: on both axes when flying, along x when walking.
  const auto stepToward = [&](const cPoint& point) {
    if (flying) {
      StepTowardTarget(chara, state, *move, *target, point.x, point.y);
    } else {
      StepTowardX(chara, state, *move, target, point.x, chara.m_MovesWithScroll, move->m_bStopAtTarget);
    }
  };
  cPoint live = LivePoint(chara, *target, *move, state);
  if (!flying) live.x = ScreenCentreX(*target) + state.m_OffsetX;
  const int interval = state.m_Radius;
  const int count = state.m_StepCounter;
  if (interval <= 0) {
    stepToward(live);
  } else if (count == 0) {
    state.m_Points.clear();
    state.m_Points.push_back(cMovePoint{live.x, live.y});
    stepToward(live);
  } else if (count % interval == 0) {
    // The target is chased with a lag: where it was one interval ago.
    const cMovePoint recorded = state.m_Points.empty() ? cMovePoint{live.x, live.y} : state.m_Points.front();
    stepToward(cPoint{recorded.m_X, recorded.m_Y});
    state.m_Points.push_back(cMovePoint{live.x, live.y});
    if (state.m_Points.size() > 1) state.m_Points.erase(state.m_Points.begin());
  }
  ApplyStateMove(chara, state, *move, 0);
  state.m_StepCounter = ClampToI32(int64_t{state.m_StepCounter} + 1);
  return 0;
}

int CmdAvoidOffscreenMove(cCharaBase& chara, cCmdState& state) {
  const cEdMove* move = MoveOf(state);
  if (move == nullptr) return 0;
  ClearScreenPins(chara);
  AvoidOffscreenStep(chara, state, *move);
  if (chara.m_Flying == 0) state.m_VY = 0.0;
  ApplyStateMove(chara, state, *move, 0);
  return 0;
}

int CmdCancelMove(cCharaBase& chara, cCmdState& /*state*/) {
  // The character hangs still for as long as the command lasts.
  ClearScreenPins(chara);
  chara.m_ImpulseX = chara.m_ImpulseY = 0.0;
  chara.m_VX = chara.m_VY = 0.0;
  chara.m_CmdVX = chara.m_CmdVY = 0.0;
  chara.m_bNoGravity = 1;
  return 0;
}

int CmdTurn(cCharaBase& chara, cCmdState& state) {
  if (chara.m_Data.m_bFacingLock == 0) return 0;
  if (state.m_StepCounter == 0) {
    const int choice = Param(state, 0);
    cCharaBase* target = nullptr;
    if (choice >= 2 && choice <= 9) {
      target = chara.Target((choice - 2) / 2);
      // The named target is not there yet: asked again next sub-step.
      if (target == nullptr) return 0;
    }
    if (state.m_pCommand != nullptr) PlayDataSound(state.m_pCommand->m_nSound);
    if (choice == 0 || choice == 1) {
      chara.m_Facing = choice;
    } else if (target != nullptr) {
      const bool targetRight = target->m_X + target->m_BoxW / 2 > chara.m_X + chara.m_BoxW / 2;
      const bool toward = choice % 2 == 0;
      chara.m_Facing = targetRight == toward ? 1 : 0;
    } else if ((choice == 10 || choice == 11) && (chara.m_nLastWall == 0 || chara.m_nLastWall == 1)) {
      chara.m_Facing = choice == 10 ? chara.m_nLastWall : 1 - chara.m_nLastWall;
    }
  }
  state.m_StepCounter = WrapToI32(int64_t{state.m_StepCounter} + 1);
  if (state.m_StepCounter >= FlowTicksPerTenth()) state.m_StepCounter = 0;
  return 0;
}

int CmdJump(cCharaBase& chara, cCmdState& state) {
  ClearScreenPins(chara);
  chara.Jump(state);
  state.m_StepCounter = ClampToI32(int64_t{state.m_StepCounter} + 1);
  return 0;
}

void PrepareCircleMove(cCmdState& state, cCharaBase& chara) {
  const cEdMove* move = MoveOf(state);
  if (move == nullptr) return;
  const int64_t copy = chara.m_CloneNo;
  const int64_t subSteps = FlowSubSteps();
  int64_t turned = 0;
  uint8_t rotation = state.m_Direction;
  const auto toggle = [&rotation] {
    if (rotation <= 1) rotation = static_cast<uint8_t>(1 - rotation);
  };
  if (chara.m_Data.m_nFacing == 1) {
    // A character placed facing right circles mirrored.
    if (move->m_bMirrorX != 0) {
      turned = 180;
      toggle();
    }
    if (move->m_bMirrorY != 0) toggle();
  }
  state.m_Direction = rotation;
  const int64_t radius = std::clamp<int64_t>(int64_t{move->m_nHomingPerCopy} * copy + move->m_nHoming, 0, 20);
  state.m_Radius = ClampToI32(radius * 16 * subSteps);
  const int64_t start = (turned + int64_t{move->m_nAnglePerCopy} * copy + move->m_nAngle) * subSteps;
  const int64_t end = (turned + int64_t{move->m_nDistancePerCopy} * copy + move->m_nDistance) * subSteps;
  state.m_StartAngle = ClampToI32(start);
  state.m_EndAngle = ClampToI32(end);
  const double span = static_cast<double>(end > start ? end - start : start - end);
  switch (move->m_nTimeMode) {
    case 0:
      // No time at all to go round in: the whole span in one sub-step rather
      // than a division by zero.
      state.m_Speed = state.m_Duration != 0 ? span / state.m_Duration / subSteps : span / subSteps;
      break;
    case 1: {
      // A speed of 0 never goes round: the quotient is infinite and the
      // duration the longest there is. With no span either (0 / 0) there is
      // nothing to go round.
      const double steps = std::fabs(span / state.m_Speed / subSteps);
      if (std::isnan(steps)) {
        state.m_Duration = 0;
      } else {
        state.m_Duration = steps < 2147483647.0 ? static_cast<int32_t>(steps) : 2147483647;
      }
      break;
    }
    default:
      break;
  }
}

void PrepareJump(cCmdState& state, cCharaBase& chara) {
  if (state.m_pCommand == nullptr) return;
  const int8_t height = static_cast<int8_t>(Param(state, 2));
  const int playerOperated = chara.m_Data.m_nOperator == CHARA_BY_PLAYER ? 1 : 0;
  state.m_Speed = JumpSpeedForHeight(height, playerOperated);
  const int tenths = JumpTenths(height, playerOperated);
  state.m_pCommand->m_nDuration = static_cast<int16_t>(std::clamp(tenths, -32768, 32767));
  state.m_Duration = ClampToI32(int64_t{tenths} * FlowTicksPerTenth());
}
