// The movement physics and the movement commands: the direction choices,
// angles, time and inertia, circles, homing, the ground turn-around, coming
// back into view, cancelling, turning and aiming.

#include <gtest/gtest.h>

#include <cmath>

#include "core/SceneManager.h"
#include "data/DataRecord.h"
#include "flow/FlowCommands.h"
#include "flow/FlowRuntime.h"
#include "flow/FlowStep.h"
#include "flow/MovePhysics.h"
#include "support/CharaSim.h"
#include "support/FlowBuilder.h"
#include "support/WorldFakes.h"

namespace {

const double kD = 1.0 / std::sqrt(2.0);

// A command of `type` whose movement `setUp` prepares, run for 100 tenths.
template <class tSetUp>
cCommand MoveCommand(int type, tSetUp setUp) {
  cCmdBuilder builder(type);
  builder.Duration(100);
  setUp(builder.Move());
  return builder;
}

class MoveTest : public ::testing::Test {
 protected:
  explicit MoveTest(int subSteps = 1) : m_World(cTestWorld::cOptions{.subSteps = subSteps}), m_Sim(m_World) {}

  // A character of `data` whose only flow runs `command`; its command state.
  cChara& Chara(cCharaData data, const cCommand& command, int cellX = 5, int cellY = 5) {
    data.m_Flows.push_back(cFlowBuilder().Trigger(TRIGGER_BY_FLOW_OPERATION).Cmd(command));
    cChara& chara = m_Sim.AddChara(data, cellX, cellY);
    chara.UpdateRect();
    return chara;
  }
  static cCmdState& State(cCharaBase& chara) { return chara.m_FlowStates[0].m_CmdStates[0]; }
  static cCharaData Flyer(int facing = 0) {
    cCharaData data = cTestWorld::Definition();
    data.m_nFlying = 1;
    data.m_nFacing = static_cast<uint8_t>(facing);
    return data;
  }
  // Runs the command's handler once with a fresh velocity; the velocity it
  // gave.
  static void Run(cCharaBase& chara, int steps = 1) {
    for (int i = 0; i < steps; ++i) {
      chara.m_VX = chara.m_VY = 0.0;
      DispatchFlowCommand(chara, State(chara));
    }
  }

  cTestWorld m_World;
  cCharaSim m_Sim;
};

// ---- directions ---------------------------------------------------------------------------------

TEST_F(MoveTest, TheThirteenDirectionChoicesWalkingAndFlying) {
  const struct {
    int choice;
    int flying;
    int facing;
    int slot;  // the key slot held when the flow started
    double vx;
    double vy;
    int facingCode;
  } cases[] = {
      {DIR_FRONT, 0, 1, 0, 1, 0, FACING_RIGHT},     {DIR_BACK, 0, 1, 0, -1, 0, FACING_LEFT},
      {DIR_LEFT, 0, 1, 0, -1, 0, FACING_LEFT},      {DIR_RIGHT, 0, 1, 0, 1, 0, FACING_RIGHT},
      {DIR_FRONT_Y, 0, 1, 0, 0, 0, FACING_KEEP},    {DIR_UP, 0, 1, 0, 0, 0, FACING_KEEP},
      {DIR_UP_LEFT, 0, 1, 0, -kD, 0, FACING_LEFT},  {DIR_DOWN_RIGHT, 0, 1, 0, kD, 0, FACING_RIGHT},
      {DIR_INPUT, 0, 1, 0, 1, 0, FACING_RIGHT},     {DIR_INPUT, 0, 1, 5, -1, 0, FACING_LEFT},
      {DIR_FRONT, 1, 0, 0, -1, 0, FACING_LEFT},     {DIR_BACK, 1, 0, 0, 1, 0, FACING_RIGHT},
      {DIR_FRONT_Y, 1, 0, 0, 0, -1, FACING_KEEP},   {DIR_BACK_Y, 1, 0, 0, 0, 1, FACING_KEEP},
      {DIR_FRONT_Y, 1, 1, 0, 0, 1, FACING_KEEP},    {DIR_DOWN, 1, 0, 0, 0, 1, FACING_KEEP},
      {DIR_UP_LEFT, 1, 0, 0, -kD, -kD, FACING_LEFT}, {DIR_DOWN_LEFT, 1, 0, 0, -kD, kD, FACING_LEFT},
      {DIR_UP_RIGHT, 1, 0, 0, kD, -kD, FACING_RIGHT}, {DIR_DOWN_RIGHT, 1, 0, 0, kD, kD, FACING_RIGHT},
      {DIR_INPUT, 1, 0, 5, -kD, -kD, FACING_LEFT},  {DIR_INPUT, 1, 0, 0, -1, 0, FACING_LEFT},
  };
  cFlowState flow;
  m_World.Scene().m_pCurFlowState = &flow;
  for (const auto& c : cases) {
    cCharaData data = cTestWorld::Definition();
    data.m_nFlying = static_cast<uint8_t>(c.flying);
    data.m_bFacingLock = 0;
    cChara& chara = m_Sim.AddChara(data, 5, 5);
    chara.m_Facing = c.facing;
    flow.m_TriggerKeySlot = c.slot;
    double vx = 9;
    double vy = 9;
    int facingCode = -7;
    DirToVelocity(chara, vx, vy, facingCode, 1.0, c.choice);
    EXPECT_DOUBLE_EQ(vx, c.vx) << c.choice << " flying " << c.flying;
    EXPECT_DOUBLE_EQ(vy, c.vy) << c.choice << " flying " << c.flying;
    EXPECT_EQ(facingCode, c.facingCode) << c.choice << " flying " << c.flying;
  }
  m_World.Scene().m_pCurFlowState = nullptr;
}

// A replay plays "入力方向" back by the rule of the data version it was
// recorded with: slot 9 is "前" in the first mode (no direction of its own,
// so no velocity) and the facing in the second, which a replay of 778 or 779
// uses whatever the key mode asks.
TEST_F(MoveTest, AReplayResolvesTheInputDirectionByItsOwnVersion) {
  const struct {
    int titleChoice;  // 4: a replay plays
    int version;
    double vx;
  } cases[] = {{0, DATA_VERSION, 0}, {4, DATA_VERSION, 0}, {4, 780, 0}, {4, 779, 1}, {4, 778, 1}, {4, 777, 0}};
  cFlowState flow;
  flow.m_TriggerKeySlot = 9;
  m_World.Scene().m_pCurFlowState = &flow;
  cCharaData data = cTestWorld::Definition();
  data.m_bFacingLock = 0;
  cChara& chara = m_Sim.AddChara(data, 5, 5);
  chara.m_Facing = 1;
  for (const auto& c : cases) {
    g_SceneManager.m_nTitleChoice = c.titleChoice;
    g_ReadVersion = c.version;
    double vx = 9;
    double vy = 9;
    int facingCode = 0;
    DirToVelocity(chara, vx, vy, facingCode, 1.0, DIR_INPUT);
    EXPECT_EQ(vx, c.vx) << "title choice " << c.titleChoice << " version " << c.version;
  }
  g_SceneManager.m_nTitleChoice = 0;
  g_ReadVersion = DATA_VERSION;
  m_World.Scene().m_pCurFlowState = nullptr;
}

TEST_F(MoveTest, NoDirectionAndFixedFacingLeaveTheFacingCodeAlone) {
  cChara& chara = m_Sim.AddChara(cTestWorld::Definition(), 5, 5);  // facing fixed by default
  double vx = 9;
  double vy = 9;
  int facingCode = -7;
  DirToVelocity(chara, vx, vy, facingCode, 1.0, DIR_LEFT);
  EXPECT_EQ(vx, -1.0);
  EXPECT_EQ(facingCode, -7);
  chara.m_Data.m_bFacingLock = 0;
  DirToVelocity(chara, vx, vy, facingCode, 1.0, 13);
  EXPECT_EQ(vx, 0.0);
  EXPECT_EQ(facingCode, -7);
}

TEST_F(MoveTest, AnglesMirrorForCharactersPlacedFacingRight) {
  const struct {
    int placedFacing;
    int mirror;
    int angle;
    int perCopy;
    int copy;
    int expectedAngle;
    double vx;
    double vy;
  } cases[] = {
      {0, 1, 30, 0, 0, 30, -std::cos(M_PI / 6), -0.5},  // left-facing: 30 degrees up from forward
      {1, 1, 30, 0, 0, 330, std::cos(M_PI / 6), -0.5},  // right-placed, mirrored: up as well
      {1, 0, 30, 0, 0, 30, std::cos(M_PI / 6), 0.5},    // not mirrored: down
      {0, 1, 700, 10, 2, 0, -1, 0},                     // 720 reduced below 360
      {0, 1, -30, 0, 0, -30, -std::cos(M_PI / 6), 0.5},  // a negative angle stays
  };
  for (const auto& c : cases) {
    const cCommand command = MoveCommand(FLOW_CMD_STRAIGHT_MOVE, [&](cEdMove& move) {
      move.m_nDirection = DIR_FRONT;
      move.m_nAngle = static_cast<int16_t>(c.angle);
      move.m_nAnglePerCopy = static_cast<int16_t>(c.perCopy);
      move.m_bMirrorAngle = static_cast<uint8_t>(c.mirror);
      move.m_nSpeed = 10;
    });
    cCharaData data = Flyer(c.placedFacing);
    cChara& chara = Chara(data, command);
    chara.m_CloneNo = static_cast<uint16_t>(c.copy);
    AngleStep(chara, State(chara));
    EXPECT_EQ(State(chara).m_Angle, c.expectedAngle) << c.angle;
    Run(chara);
    EXPECT_NEAR(chara.m_VX, c.vx, 1e-12) << c.angle;
    EXPECT_NEAR(chara.m_VY, c.vy, 1e-12) << c.angle;
  }
}

TEST_F(MoveTest, TimeModeTwoTurnsANegativeSpeedIntoAPositiveDurationUnlessTheOldRuleHolds) {
  for (int oldRule : {0, 1}) {
    g_System.m_bMoveTimeSwitch = oldRule;
    const cCommand command = MoveCommand(FLOW_CMD_STRAIGHT_MOVE, [](cEdMove& move) {
      move.m_nTimeMode = 2;
      move.m_nSpeed = -20;     // -2 dots per sub-step
      move.m_nDistance = 5;    // half blocks: 80 dots
    });
    cChara& chara = Chara(cTestWorld::Definition(), command);
    EXPECT_EQ(State(chara).m_Duration, oldRule != 0 ? -40 : 40);
  }
}

TEST_F(MoveTest, AMoveToATargetPointEndsOnArrival) {
  const cCommand command = MoveCommand(FLOW_CMD_STRAIGHT_MOVE, [](cEdMove& move) {
    move.m_nPosMode = 1;
    move.m_nCoordSystem = 1;  // relative to the character
    move.m_nTargetX = 3;
    move.m_nTargetOffsetX = 4;  // 100 dots to the right
    move.m_nSpeed = 30;         // 3 dots per sub-step
    move.m_bTimeFromDistance = 1;
    move.m_bMirrorX = 0;
  });
  cChara& chara = Chara(Flyer(), command);
  cFlowState& flow = chara.m_FlowStates[0];
  StartFlow(flow, chara);
  int steps = 0;
  while (flow.m_Running != 0 && steps < 1000) {
    if (StepFlow(flow, chara) == 1) flow.Stop(chara);
    ++steps;
  }
  EXPECT_EQ(steps, 100 / 3);
}

TEST_F(MoveTest, InertiaAcceleratesBrakesByTheTurnFactorAndKeepsTheMaximum) {
  const cCommand command = MoveCommand(FLOW_CMD_STRAIGHT_MOVE, [](cEdMove& move) {
    move.m_bInertia = 1;
    move.m_nAccel = 30;  // at most 3 dots per sub-step
    move.m_dInertiaFactor = 2.0;
  });
  cChara& chara = Chara(Flyer(), command);
  cCmdState& state = State(chara);
  const cEdMove& move = *state.m_pCommand->m_Move;
  const double gain = ScaleByFrameRate(60.0);  // 60 dots per sub-step asked: 1 per sub-step gained
  ApplyMove(chara, 60.0, 0, FACING_KEEP, state, move, 0);
  EXPECT_DOUBLE_EQ(chara.m_CmdVX, gain);
  EXPECT_EQ(chara.m_DecelX, 0);
  ApplyMove(chara, -60.0, 0, FACING_KEEP, state, move, 0);
  EXPECT_DOUBLE_EQ(chara.m_CmdVX, -gain);
  for (int i = 0; i < 10; ++i) ApplyMove(chara, -60.0, 0, FACING_KEEP, state, move, 0);
  EXPECT_DOUBLE_EQ(chara.m_CmdVX, -3.0);
  EXPECT_EQ(chara.m_VX, 0.0);  // no direct displacement with inertia
}

// ---- circles ----------------------------------------------------------------------------------------

class CircleTest : public MoveTest {
 protected:
  CircleTest() : MoveTest(4) {}
  static cCommand Circle(int rotation, int radius, int degreesPerFrame) {
    return MoveCommand(FLOW_CMD_CIRCLE_MOVE, [=](cEdMove& move) {
      move.m_nDirection = static_cast<uint8_t>(rotation);
      move.m_nHoming = static_cast<int16_t>(radius);
      move.m_nDistance = 360;
      move.m_nSpeed = static_cast<int16_t>(degreesPerFrame * 10);
      move.m_nTimeMode = 1;
      move.m_bMirrorX = 0;
    });
  }
};

TEST_F(CircleTest, AFlyerGoesRoundAndComesBackToItsStart) {
  for (int rotation : {0, 1}) {
    cChara& chara = Chara(Flyer(), Circle(rotation, 4, 4));  // 64 dots, 1 degree per sub-step
    EXPECT_EQ(State(chara).m_Duration, 360);
    double x = 0;
    double y = 0;
    double xAtQuarter = 0;
    double yAtQuarter = 0;
    for (int step = 0; step < 360; ++step) {
      Run(chara);
      x += chara.m_VX;
      y += chara.m_VY;
      if (step == 89) {
        xAtQuarter = x;
        yAtQuarter = y;
      }
    }
    EXPECT_NEAR(x, 0.0, 0.5) << rotation;
    EXPECT_NEAR(y, 0.0, 0.5) << rotation;
    // x = -R sin, y = +-R (cos - 1): a quarter turn is 64 dots left and 64 up
    // (clockwise) or down.
    EXPECT_NEAR(xAtQuarter, -64.0, 1.0);
    EXPECT_NEAR(yAtQuarter, rotation == 0 ? -64.0 : 64.0, 1.0);
  }
}

// Speed given: the time is the span over the speed; a speed of 0 never goes
// round (the longest time) unless there is no span to go round.
TEST_F(CircleTest, TheTimeOfASpeedGivenCircleIsTheSpanOverTheSpeed) {
  const struct {
    int degreesPerFrame;
    int endAngle;
    int duration;
  } cases[] = {
      {4, 360, 360},
      {-4, 360, 360},
      {8, 90, 45},
      {0, 360, 2147483647},
      {0, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.degreesPerFrame << " to " << c.endAngle);
    cCommand command = Circle(0, 4, c.degreesPerFrame);
    command.m_Move->m_nDistance = static_cast<int16_t>(c.endAngle);
    EXPECT_EQ(State(Chara(Flyer(), command)).m_Duration, c.duration);
  }
}

// Time given: the speed is the span over the time; no time at all covers
// the span at once.
TEST_F(CircleTest, TheSpeedOfATimeGivenCircleIsTheSpanOverTheTime) {
  const struct {
    int tenths;
    double speed;
  } cases[] = {
      {15, 1.0},  // 360 degrees over 15 tenths of 6 frames of 4 sub-steps
      {-15, -1.0},
      {0, 360.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tenths);
    cCommand command = Circle(0, 4, 4);
    command.m_Move->m_nTimeMode = 0;
    command.m_nDuration = static_cast<int16_t>(c.tenths);
    EXPECT_DOUBLE_EQ(State(Chara(Flyer(), command)).m_Speed, c.speed);
  }
}

TEST_F(CircleTest, AWalkerOnlySwingsSidewaysAndNoRadiusMeansNoMotion) {
  cChara& walker = Chara(cTestWorld::Definition(), Circle(0, 2, 4));
  Run(walker, 45);
  EXPECT_NE(walker.m_VX, 0.0);
  EXPECT_EQ(walker.m_VY, 0.0);
  cChara& still = Chara(Flyer(), Circle(0, 0, 4));
  Run(still);
  EXPECT_EQ(still.m_VX, 0.0);
  EXPECT_EQ(still.m_bMovedByCmd, 0);
}

TEST_F(CircleTest, ACharacterPlacedFacingRightCirclesMirrored) {
  cCommand command = Circle(0, 4, 4);
  command.m_Move->m_bMirrorX = 1;
  cChara& chara = Chara(Flyer(1), command);
  EXPECT_EQ(State(chara).m_StartAngle, 180 * 4);
  EXPECT_EQ(State(chara).m_Direction, 1);
}

// ---- targets ------------------------------------------------------------------------------------------

TEST_F(MoveTest, AHomingMoveWithAnIntervalHeadsWhereTheTargetWas) {
  for (int interval : {0, 30}) {
    const cCommand command = MoveCommand(FLOW_CMD_HOMING_MOVE, [=](cEdMove& move) {
      move.m_nHoming = static_cast<int16_t>(interval);
      move.m_nSpeed = 10;
      move.m_bMirrorX = 0;
    });
    cChara& target = m_Sim.AddChara(Flyer(), 15, 5);  // to the right
    cChara& chara = Chara(Flyer(), command);
    chara.SetTarget(1, &target, 0);
    State(chara).m_pCommand->m_Move->m_nRushTargetSlot = 1;
    Run(chara);
    EXPECT_GT(chara.m_VX, 0.0);
    target.SetCell(5, 15);  // now straight below
    target.UpdateRect();
    Run(chara, 29);
    if (interval == 0) {
      EXPECT_NEAR(chara.m_VX, 0.0, 1e-9);
      EXPECT_GT(chara.m_VY, 0.0);
    } else {
      EXPECT_GT(chara.m_VX, 0.0);  // still heading for where it was
      Run(chara, 30);
      EXPECT_GT(chara.m_VX, 0.0);  // the point recorded at 0
      Run(chara, 1);
      EXPECT_NEAR(chara.m_VX, 0.0, 1e-9);  // the point recorded at 30
      EXPECT_GT(chara.m_VY, 0.0);
    }
  }
}

TEST_F(MoveTest, AChargeWithoutATargetStaysStillAndKeepsItsFirstVelocity) {
  const cCommand command = MoveCommand(FLOW_CMD_RUSH_MOVE, [](cEdMove& move) {
    move.m_nSpeed = 20;
    move.m_nRushTargetSlot = 1;
  });
  cChara& lonely = Chara(cTestWorld::Definition(), command);
  Run(lonely);
  EXPECT_EQ(lonely.m_VX, 0.0);
  cChara& target = m_Sim.AddChara(cTestWorld::Definition(), 2, 5);  // to the left
  cChara& chara = Chara(cTestWorld::Definition(), command);
  chara.SetTarget(1, &target, 0);
  Run(chara);
  EXPECT_DOUBLE_EQ(chara.m_VX, -2.0);
  target.m_bDead = 1;
  target.SetCell(9, 5);
  Run(chara, 5);
  EXPECT_DOUBLE_EQ(chara.m_VX, -2.0);
}

TEST_F(MoveTest, AimingAtAScrollingTargetLeadsIt) {
  cChara& target = m_Sim.AddChara(Flyer(), 5, 9);
  target.m_MovesWithScroll = 1;
  m_World.Scene().m_ScrollX.m_Speed = 1.0;
  double vx = 0;
  double vy = 0;
  int facingCode = -1;
  // Level in x (dx = 0): solved along y.
  SolveAimVelocity(vx, vy, facingCode, &target, 100, 100, 100, 200, 2.0, 0, 0, 0);
  EXPECT_DOUBLE_EQ(vx, 1.0);
  EXPECT_NEAR(vy, std::sqrt(3.0), 1e-12);
  EXPECT_EQ(facingCode, FACING_RIGHT);
  // A target carried faster than the mover can go: straight at it.
  m_World.Scene().m_ScrollX.m_Speed = 5.0;
  SolveAimVelocity(vx, vy, facingCode, &target, 100, 100, 100, 200, 2.0, 0, 0, 0);
  EXPECT_DOUBLE_EQ(vx, 0.0);
  EXPECT_DOUBLE_EQ(vy, 2.0);
  // A mover that is carried too aims straight; a negative speed flees.
  SolveAimVelocity(vx, vy, facingCode, &target, 100, 100, 200, 100, 2.0, 1, 0, 0);
  EXPECT_DOUBLE_EQ(vx, 2.0);
  EXPECT_EQ(SolveAimVelocity(vx, vy, facingCode, nullptr, 100, 100, 101, 100, -2.0, 0, 0, 1), 0);
  EXPECT_DOUBLE_EQ(vx, -std::sqrt(2.0));
  EXPECT_DOUBLE_EQ(vy, std::sqrt(2.0));
  EXPECT_EQ(SolveAimVelocity(vx, vy, facingCode, nullptr, 100, 100, 101, 100, 2.0, 0, 0, 1), 1);
}

// ---- walking along the ground ----------------------------------------------------------------------------

TEST_F(MoveTest, TheGroundTurnAroundTurnsAtLedgesAndAfterPushes) {
  const cCommand command = MoveCommand(FLOW_CMD_GROUND_TURN_MOVE, [](cEdMove& move) { move.m_nSpeed = 10; });
  cCharaData data = cTestWorld::Definition();
  data.m_nFacing = 1;
  cChara& chara = Chara(data, command, 5, 5);
  // The box spans stage x 5 only; widen the feet over two columns.
  chara.m_X = (5 + 10) * 32 + 24;
  chara.ConstrainX();
  ASSERT_EQ(chara.m_CellR, chara.m_CellL + 1);
  m_World.SetSolid(5, 6);  // ground under the left foot only
  Run(chara);
  EXPECT_EQ(chara.m_Facing, 0);
  EXPECT_DOUBLE_EQ(chara.m_VX, 1.0);  // still the step of the facing it had

  // Pushed back by a block character moving right: turn and take over its motion.
  cCharaData blockData = cTestWorld::Definition();
  blockData.m_bBlockChara = 1;
  cChara& block = m_Sim.AddChara(blockData, 3, 5);
  chara.m_Facing = 0;
  chara.m_bPushedX = 1;
  chara.m_nPushedByKey = block.m_Key;
  chara.m_PushedByX = block.m_X - 0.5;
  Run(chara);
  EXPECT_EQ(chara.m_Facing, 1);
  EXPECT_DOUBLE_EQ(chara.m_VX, 1.0 + 2 * 0.5);
  EXPECT_EQ(chara.m_bPushedX, 0);

  // A flying character is not moved at all.
  cChara& flyer = Chara(Flyer(), command);
  Run(flyer);
  EXPECT_EQ(flyer.m_VX, 0.0);
}

TEST_F(MoveTest, AnOffscreenCharacterComesBackIntoView) {
  const cCommand command = MoveCommand(FLOW_CMD_AVOID_MOVE, [](cEdMove& move) {
    move.m_nDirection = DIR_LEFT;
    move.m_nSpeed = 20;
  });
  cChara& chara = Chara(cTestWorld::Definition(), command, 25, 5);  // right of the view
  Run(chara);
  EXPECT_DOUBLE_EQ(chara.m_VX, -2.0);
  cChara& inView = Chara(cTestWorld::Definition(), command, 5, 5);
  Run(inView);
  EXPECT_EQ(inView.m_VX, 0.0);
  // The view scrolls right by itself: the character must outrun it.
  cScrollAxis& axis = m_World.Scene().m_ScrollX;
  axis.m_Speed = 1.0;
  Run(chara);
  EXPECT_DOUBLE_EQ(chara.m_VX, 1.0 - 2.0);
}

TEST_F(MoveTest, CancellingHoldsAFallingCharacterStill) {
  const cCommand command = cCmdBuilder(FLOW_CMD_CANCEL_MOVE).Duration(5);
  cChara& chara = Chara(cTestWorld::Definition(), command);
  chara.m_VY = 3.0;
  chara.m_ImpulseX = 1.0;
  chara.m_bScreenLockX = 1;
  DispatchFlowCommand(chara, State(chara));
  chara.ApplyGravity();
  EXPECT_EQ(chara.m_VY, 0.0);
  EXPECT_EQ(chara.m_ImpulseX, 0.0);
  EXPECT_EQ(chara.m_bScreenLockX, 0);
}

TEST_F(MoveTest, AStraightMoveOfAFixedFacingCharacterReversesWhenItIsTurned) {
  for (int fixed : {1, 0}) {
    const cCommand command = MoveCommand(FLOW_CMD_STRAIGHT_MOVE, [](cEdMove& move) {
      move.m_nDirection = DIR_RIGHT;
      move.m_nSpeed = 10;
    });
    cCharaData data = cTestWorld::Definition();
    data.m_bFacingLock = static_cast<uint8_t>(fixed);
    cChara& chara = Chara(data, command);
    Run(chara);
    EXPECT_DOUBLE_EQ(chara.m_VX, 1.0);
    chara.m_Facing = 1 - chara.m_Facing;  // a turn command in another flow
    Run(chara);
    EXPECT_DOUBLE_EQ(chara.m_VX, fixed != 0 ? -1.0 : 1.0) << fixed;
  }
}

TEST_F(MoveTest, ATurnIsAppliedAgainEveryTenthOfASecond) {
  cSoundLog sounds;
  const cCommand command = cCmdBuilder(FLOW_CMD_TURN).Param(0, 2).Duration(3).Sound(4);  // toward target 1
  cChara& chara = Chara(cTestWorld::Definition(), command);
  cChara& target = m_Sim.AddChara(cTestWorld::Definition(), 9, 5);
  Run(chara);  // no target yet: waits
  EXPECT_TRUE(sounds.Sounds().empty());
  chara.SetTarget(0, &target, 0);
  chara.m_Facing = 0;
  int turns = 0;
  for (int step = 0; step < 18; ++step) {
    const bool turning = State(chara).m_StepCounter == 0;
    Run(chara);
    EXPECT_EQ(chara.m_Facing, turning ? 1 : 0) << step;
    if (turning) ++turns;
    chara.m_Facing = 0;
  }
  EXPECT_EQ(turns, 3);
  EXPECT_EQ(sounds.Sounds().size(), 3u);
}

}  // namespace
