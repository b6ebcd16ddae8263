// Status values: the status operation with its operand sources, operations
// and HP modes, the status condition (kind 4), and the condition kinds 5 to
// 7 that read characters.

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "flow/FlowCommands.h"
#include "flow/FlowTriggers.h"
#include "flow/StatusOperation.h"
#include "support/FlowBuilder.h"
#include "support/TestWorld.h"
#include "world/FlowServices.h"

namespace {

// The parameters of a status operation by their place.
enum eParam {
  P_TARGET = 0,
  P_VAR_KIND = 1,
  P_NUMBER = 2,
  P_SUBJECT = 3,
  P_SELECTOR = 4,
  P_OP = 5,
  P_SOURCE = 6,
  P_CONSTANT = 7,
  P_RAND_MIN = 8,
  P_RAND_MAX = 9,
  P_OPERAND_VAR_KIND = 10,
  P_OPERAND_NUMBER = 11,
  P_OPERAND_SUBJECT = 12,
  P_OPERAND_SELECTOR = 13,
  P_PERCENT_OF_CURRENT = 14,
  P_HP_MODE = 15,
  P_SHOW_GAUGE = 16,
  P_SKIP_INVINCIBLE = 17,
};

// A status operation on status `selector` of `subject` by a constant.
cCmdBuilder StatusOp(int subject, int selector, int op, int32_t constant) {
  cCmdBuilder command(FLOW_CMD_STATUS);
  command.Param(P_TARGET, 0).Param(P_SUBJECT, subject).Param(P_SELECTOR, selector).Param(P_OP, op);
  command.Param(P_SOURCE, OPERAND_CONSTANT).Param(P_CONSTANT, constant);
  return command;
}

class StatusOperationTest : public ::testing::Test {
 protected:
  StatusOperationTest() : m_Chara(m_World.AddChara(cTestWorld::Definition(80, 40))) {}

  void Operate(cCmdBuilder command) {
    cCommand built = command.Build();
    CmdStatusOperation(m_Chara, built);
  }

  cTestWorld m_World;
  cCharaBase& m_Chara;
};

TEST_F(StatusOperationTest, OperationsAreLimitedToTheStatusRange) {
  struct cCase {
    const char* name;
    int selector;
    int op;
    int32_t start;
    int32_t operand;
    int32_t expected;
  };
  const std::vector<cCase> cases = {
      {"power x 2 at the top", STATUS_POWER, STATUS_OP_MUL, 999999, 2, 999999},
      {"power x 2 at the bottom", STATUS_POWER, STATUS_OP_MUL, -999999, 2, -999999},
      {"product beyond 32 bits", STATUS_POWER, STATUS_OP_MUL, 999999, 999999, 999999},
      {"product beyond 32 bits, signs differ", STATUS_POWER, STATUS_OP_MUL, 999999, -999999, -999999},
      {"divide by 0", STATUS_POWER, STATUS_OP_DIV, 77, 0, 77},
      {"remainder by 0", STATUS_POWER, STATUS_OP_REM, 77, 0, 77},
      {"divide", STATUS_POWER, STATUS_OP_DIV, -7, 2, -3},
      {"remainder", STATUS_POWER, STATUS_OP_REM, -7, 2, -1},
      {"percent, half up", STATUS_POWER, STATUS_OP_PERCENT, 7, 50, 4},
      {"percent, negative half away from zero", STATUS_POWER, STATUS_OP_PERCENT, -7, 50, -4},
      {"percent rounded down", STATUS_POWER, STATUS_OP_PERCENT, 3, 33, 1},
      {"subtract INT_MIN", STATUS_POWER, STATUS_OP_SUB, 0, INT_MIN, 999999},
      {"add INT_MAX", STATUS_POWER, STATUS_OP_ADD, 5, INT_MAX, 999999},
      {"an unknown operation", STATUS_POWER, 9, 12, 3, 12},
      {"Z is 0 .. 7", STATUS_Z, STATUS_OP_SET, 3, 8, 7},
      {"impact is -20 .. 20", STATUS_IMP, STATUS_OP_SUB, 0, 30, -20},
      {"ease of stopping is 0 .. 200", STATUS_STOP, STATUS_OP_ADD, 150, 100, 200},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.name);
    StoreCharaStatus(m_Chara, c.selector, 0, c.start);
    Operate(StatusOp(kSubjectSelf, c.selector, c.op, c.operand));
    EXPECT_EQ(CharaStatusValue(m_Chara, c.selector, 0), c.expected);
  }
}

TEST_F(StatusOperationTest, HitPointsGoThroughAddHpWithTheirModes) {
  struct cCase {
    const char* name;
    int mode;
    int op;
    int32_t hp;
    int32_t operand;
    int32_t expected;
  };
  const std::vector<cCase> cases = {
      {"half of the maximum", HP_MODE_PERCENT_OF_MAX, STATUS_OP_SET, 80, 50, 40},
      {"half of the current", HP_MODE_PERCENT_OF_CURRENT, STATUS_OP_SET, 30, 50, 15},
      {"plain, beyond the maximum", HP_MODE_PLAIN, STATUS_OP_ADD, 70, 50, 80},
      {"plain, below 0", HP_MODE_PLAIN, STATUS_OP_SUB, 10, 50, 0},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.name);
    m_Chara.m_Hp = c.hp;
    m_Chara.m_HpGauge = cGauge{};
    Operate(StatusOp(kSubjectSelf, STATUS_HP, c.op, c.operand).Param(P_HP_MODE, c.mode).Param(P_SHOW_GAUGE, 1));
    EXPECT_EQ(m_Chara.m_Hp, c.expected);
  }
  // The gauge shows the change: from 80 to 40 of 80 is a trail of -25 dots.
  m_Chara.m_Hp = 80;
  Operate(StatusOp(kSubjectSelf, STATUS_HP, STATUS_OP_SET, 50)
              .Param(P_HP_MODE, HP_MODE_PERCENT_OF_MAX)
              .Param(P_SHOW_GAUGE, 1));
  EXPECT_EQ(m_Chara.m_HpGauge.m_Timer, kGaugeFrames);
  EXPECT_DOUBLE_EQ(m_Chara.m_HpGauge.m_Trail, -25.0);
  EXPECT_EQ(m_Chara.m_HpGauge.m_Bar, 25);
}

TEST_F(StatusOperationTest, AnotherCharactersDeathIsLeftToThePlayStep) {
  cCharaBase& other = m_World.AddChara(cTestWorld::Definition(10));
  m_Chara.SetTarget(0, &other, 1);
  Operate(StatusOp(1, STATUS_HP, STATUS_OP_SET, 0));
  EXPECT_EQ(other.m_Hp, 0);
  EXPECT_EQ(m_World.Scene().m_bHpCheck, 1);
  m_World.Scene().m_bHpCheck = 0;
  Operate(StatusOp(kSubjectSelf, STATUS_HP, STATUS_OP_SET, 0));
  EXPECT_EQ(m_World.Scene().m_bHpCheck, 0);
}

TEST_F(StatusOperationTest, SideEffectsOfTheStatuses) {
  m_Chara.m_Hp = 80;
  Operate(StatusOp(kSubjectSelf, STATUS_MHP, STATUS_OP_SET, 30));
  EXPECT_EQ(m_Chara.m_Hp, 30);

  Operate(StatusOp(kSubjectSelf, STATUS_SIGHT, STATUS_OP_SET, 5));  // computer-operated: no light
  EXPECT_EQ(m_World.Scene().m_LightRebuilds, 0);
  m_Chara.m_Operator = OBJ_BY_PLAYER;
  Operate(StatusOp(kSubjectSelf, STATUS_SIGHT, STATUS_OP_SET, 6));
  EXPECT_EQ(m_Chara.m_nLightRadius, 96);
  EXPECT_EQ(m_World.Scene().m_LightRebuilds, 1);

  Operate(StatusOp(kSubjectSelf, STATUS_STOP, STATUS_OP_SET, 50));
  EXPECT_DOUBLE_EQ(m_Chara.m_Decel, 50 * 0.01 / 1.0);

  // An invincible target is skipped when asked to.
  m_Chara.m_Data.m_nInvincible = 1;
  Operate(StatusOp(kSubjectSelf, STATUS_POWER, STATUS_OP_SET, 9).Param(P_SKIP_INVINCIBLE, 1));
  EXPECT_EQ(m_Chara.m_Data.m_nPower, 0);
  Operate(StatusOp(kSubjectSelf, STATUS_POWER, STATUS_OP_SET, 9));
  EXPECT_EQ(m_Chara.m_Data.m_nPower, 9);
}

TEST_F(StatusOperationTest, OperandsAndTargetsBeyondReachDoNothing) {
  m_Chara.m_Data.m_nPower = 4;
  Operate(StatusOp(2, STATUS_POWER, STATUS_OP_SET, 9));  // an empty target slot
  Operate(StatusOp(kSubjectSelf, STATUS_POWER, STATUS_OP_SET, 0)
              .Param(P_SOURCE, OPERAND_STATUS)
              .Param(P_OPERAND_SUBJECT, 3)  // an empty slot as the operand
              .Param(P_OPERAND_SELECTOR, STATUS_HP));
  Operate(StatusOp(kSubjectSelf, STATUS_POWER, STATUS_OP_SET, 0)
              .Param(P_SOURCE, OPERAND_VARIABLE)
              .Param(P_OPERAND_VAR_KIND, 0)
              .Param(P_OPERAND_NUMBER, 5000));
  EXPECT_EQ(m_Chara.m_Data.m_nPower, 4);

  // A variable target beyond its list lands nowhere.
  cCmdBuilder variable(FLOW_CMD_STATUS);
  variable.Param(P_TARGET, 1).Param(P_VAR_KIND, 0).Param(P_NUMBER, 1001).Param(P_OP, STATUS_OP_SET).Param(P_CONSTANT, 3);
  Operate(variable);
  EXPECT_EQ(cTestWorld::CommonVar(0), 0);
  EXPECT_EQ(cTestWorld::CommonVar(1000), 0);
}

TEST_F(StatusOperationTest, OperandSourcesAndVariableTargets) {
  cTestWorld::CommonVar(7) = 21;
  m_World.StageVar(2) = 6;
  cCmdBuilder command(FLOW_CMD_STATUS);
  command.Param(P_TARGET, 1).Param(P_VAR_KIND, 1).Param(P_NUMBER, 2).Param(P_OP, STATUS_OP_MUL);
  command.Param(P_SOURCE, OPERAND_VARIABLE).Param(P_OPERAND_VAR_KIND, 0).Param(P_OPERAND_NUMBER, 7);
  Operate(command);
  EXPECT_EQ(m_World.StageVar(2), 126);

  // A random operand draws from the game's generator, smaller bound first.
  g_Random.Seed(5);
  plat::cRandom reference(5);
  Operate(StatusOp(kSubjectSelf, STATUS_POWER, STATUS_OP_SET, 0)
              .Param(P_SOURCE, OPERAND_RANDOM)
              .Param(P_RAND_MIN, 300)
              .Param(P_RAND_MAX, 100));
  EXPECT_EQ(m_Chara.m_Data.m_nPower, 100 + reference.Next() % 201);

  // Character variable n of another character's status, and percent of the current value.
  m_Chara.m_Vars[3] = 50;
  m_Chara.m_Data.m_nDef = 9;
  Operate(StatusOp(kSubjectSelf, STATUS_DEF, STATUS_OP_ADD, 0)
              .Param(P_SOURCE, OPERAND_STATUS)
              .Param(P_OPERAND_SUBJECT, kSubjectSelf)
              .Param(P_OPERAND_SELECTOR, STATUS_VAR)
              .Param(P_OPERAND_NUMBER, 3)
              .Param(P_PERCENT_OF_CURRENT, 1));
  EXPECT_EQ(m_Chara.m_Data.m_nDef, 9 + 5);  // 50 % of 9, rounded
}

TEST_F(StatusOperationTest, SystemValues) {
  g_Progress.m_nScore = 10;
  Operate(StatusOp(kSubjectSystem, SYSTEM_SCORE, STATUS_OP_ADD, 5));
  EXPECT_EQ(g_Progress.m_nScore, 15);

  g_Progress.m_nLives = kInfiniteLives;
  Operate(StatusOp(kSubjectSystem, SYSTEM_LIVES, STATUS_OP_SET, 3));
  EXPECT_EQ(g_Progress.m_nLives, kInfiniteLives);
  g_Progress.m_nLives = 2;
  Operate(StatusOp(kSubjectSystem, SYSTEM_LIVES, STATUS_OP_ADD, 200));
  EXPECT_EQ(g_Progress.m_nLives, 99);

  Operate(StatusOp(kSubjectSystem, SYSTEM_TIME, STATUS_OP_SET, 5000));
  EXPECT_EQ(m_World.Scene().m_nTimeLeft, 999);

  g_Stage.m_AutoScrollY = 1;
  Operate(StatusOp(kSubjectSystem, SYSTEM_SCROLL_Y, STATUS_OP_SET, -20));
  EXPECT_EQ(g_Stage.m_AutoScrollSpeedY, -20);
  EXPECT_EQ(m_World.Scene().m_ScrollY.m_Moving, 1);
  EXPECT_DOUBLE_EQ(m_World.Scene().m_ScrollY.m_Speed, -2.0);
}

TEST_F(StatusOperationTest, TheFlowAndItemCommandsRunTheOperation) {
  cCommand item = StatusOp(kSubjectSelf, STATUS_POWER, STATUS_OP_SET, 6).Build();
  item.m_nSet = 1;
  item.m_nType = FLOW_CMD_STATUS - kItemToFlowCmdOffset;
  cHero& hero = m_World.AddHero();
  EXPECT_EQ(FlowServices().RunItemCommand(hero, item), 0);
  EXPECT_EQ(hero.m_Data.m_nPower, 6);

  cCharaData data = cTestWorld::Definition();
  data.m_Flows.push_back(cFlowBuilder().Trigger(TRIGGER_DAMAGED).Cmd(StatusOp(kSubjectSelf, STATUS_DEF, 0, 8)));
  cCharaBase& chara = m_World.AddChara(data);
  chara.FireTrigger(TRIGGER_DAMAGED);
  chara.RunFlowPass(0);
  EXPECT_EQ(chara.m_Data.m_nDef, 8);
}

// ---- the status condition ---------------------------------------------------------

cCond StatusCond(int object, int item, int compare, int32_t value) {
  cCond cond;
  cond.m_nKind = COND_STATUS;
  cond.m_nObject = static_cast<uint8_t>(object);
  cond.m_nItem = static_cast<uint8_t>(item);
  cond.m_nCompare = static_cast<uint8_t>(compare);
  cond.m_nValue = value;
  return cond;
}

constexpr int kEqual = 0, kAtLeast = 2, kBelow = 5, kMultiple = 6;

TEST_F(StatusOperationTest, TheStatusConditionComparesWithTheOperandInTheLeftSidesTerms) {
  m_Chara.m_Data.m_nMhp = 30;
  struct cCase {
    const char* name;
    cCond cond;
    int32_t hp;
    bool holds;
  };
  cCond hpPercent = StatusCond(kSubjectSelf, STATUS_HP, kAtLeast, 50);
  hpPercent.m_bClamp = 1;  // 50 % of max HP 30: 15
  cCond cidPercent = StatusCond(kSubjectSelf, STATUS_CID, kEqual, 77);
  cidPercent.m_bClamp = 1;  // every other status has no base: 0
  const std::vector<cCase> cases = {
      {"HP 15 at least 50 % of 30", hpPercent, 15, true},
      {"HP 14 at least 50 % of 30", hpPercent, 14, false},
      {"ID 0 with a percentage", cidPercent, 0, true},
      {"an unknown selector", StatusCond(kSubjectSelf, 40, kEqual, 1), 0, true},
      {"an empty target", StatusCond(3, STATUS_HP, kAtLeast, 0), 0, false},
      {"HP a multiple of 0", StatusCond(kSubjectSelf, STATUS_HP, kMultiple, 0), 7, true},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.name);
    m_Chara.m_Hp = c.hp;
    EXPECT_EQ(EvalStatusCondition(c.cond, m_Chara), c.holds);
  }
  // 8-bit statuses compare with the operand's low byte.
  m_Chara.m_Data.m_nCid = 5;
  EXPECT_TRUE(EvalStatusCondition(StatusCond(kSubjectSelf, STATUS_CID, kEqual, 261), m_Chara));
}

TEST_F(StatusOperationTest, SystemAndVariableSidesOfTheStatusCondition) {
  g_Progress.m_nLives = kInfiniteLives;
  EXPECT_FALSE(EvalStatusCondition(StatusCond(kSubjectSystem, SYSTEM_LIVES, kAtLeast, 0), m_Chara));
  g_Progress.m_nLives = 3;
  EXPECT_TRUE(EvalStatusCondition(StatusCond(kSubjectSystem, SYSTEM_LIVES, kEqual, 3), m_Chara));
  EXPECT_FALSE(EvalStatusCondition(StatusCond(kSubjectSystem, 9, kAtLeast, INT_MIN), m_Chara));

  m_World.Scene().m_nTimeLeft = 300;
  m_World.Scene().m_bNoTimeLimit = 1;
  EXPECT_TRUE(EvalStatusCondition(StatusCond(kSubjectSystem, SYSTEM_TIME, kEqual, 0), m_Chara));

  // Left: stage variable 4; right: common variable 9.
  cCond vars = StatusCond(0, 0, kBelow, 0);
  vars.m_nLeftKind = 1;
  vars.m_nLeftVarKind = 1;
  vars.m_nIndex = 4;
  vars.m_nRightKind = OPERAND_VARIABLE;
  vars.m_nRightVarKind = 0;
  vars.m_nRightIndex = 9;
  m_World.StageVar(4) = 2;
  cTestWorld::CommonVar(9) = 3;
  EXPECT_TRUE(EvalStatusCondition(vars, m_Chara));
  cTestWorld::CommonVar(9) = 2;
  EXPECT_FALSE(EvalStatusCondition(vars, m_Chara));

  // The sight of a computer-operated character is no operand.
  cCond sight = StatusCond(kSubjectSelf, STATUS_HP, kAtLeast, 0);
  sight.m_nRightKind = OPERAND_STATUS;
  sight.m_nRightObject = kSubjectSelf;
  sight.m_nRightItem = STATUS_SIGHT;
  EXPECT_FALSE(EvalStatusCondition(sight, m_Chara));
  m_Chara.m_Operator = OBJ_BY_PLAYER;
  EXPECT_TRUE(EvalStatusCondition(sight, m_Chara));
}

// ---- condition kinds 5 to 7 -----------------------------------------------------------

cCond Cond(int kind, int object, int item, int compare, int16_t index = 0) {
  cCond cond;
  cond.m_nKind = static_cast<uint8_t>(kind);
  cond.m_nObject = static_cast<uint8_t>(object);
  cond.m_nItem = static_cast<uint8_t>(item);
  cond.m_nCompare = static_cast<uint8_t>(compare);
  cond.m_nIndex = index;
  return cond;
}

TEST_F(StatusOperationTest, StateValueConditions) {
  m_Chara.m_Data.m_bTransparent = 1;
  m_Chara.m_Data.m_nScale = 4;
  g_Stage.m_AutoScrollX = 1;
  struct cCase {
    const char* name;
    cCond cond;
    bool holds;
  };
  const std::vector<cCase> cases = {
      {"transparent is 1", Cond(COND_STATUS2, kSubjectSelf, 1, kEqual, 1), true},
      {"scale at least 5", Cond(COND_STATUS2, kSubjectSelf, 5, kAtLeast, 5), false},
      {"the vanished state is not tested", Cond(COND_STATUS2, kSubjectSelf, 0, kEqual, 0), false},
      {"an empty target", Cond(COND_STATUS2, 2, 1, kEqual, 0), false},
      {"the horizontal automatic scroll is on", Cond(COND_STATUS2, kSubjectSystem, 0, kEqual, 1), true},
      {"the vertical one is off", Cond(COND_STATUS2, kSubjectSystem, 1, kEqual, 0), true},
      {"no third system value", Cond(COND_STATUS2, kSubjectSystem, 2, kEqual, 0), false},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(StatusCondition2Holds(m_Chara, c.cond), c.holds);
  }
}

// Condition kind 5 reads back, for each of its selectors, the state the
// second status operation sets: on the character itself, on the hero through
// a target slot, and for the system.
TEST_F(StatusOperationTest, EachStateTheSecondOperationSetsIsWhatTheStateConditionReads) {
  cHero& hero = m_World.AddHero();
  m_Chara.SetTarget(1, &hero, 1);
  constexpr int kHeroSlot = 2;
  struct cCase {
    const char* name;
    int subject, selector, value;
  };
  const cCase cases[] = {
      {"transparent", kSubjectSelf, 1, 1},
      {"facing fixed", kSubjectSelf, 2, 1},
      {"invincible", kSubjectSelf, 4, 2},
      {"giant", kSubjectSelf, 5, 3},
      {"in step with the scroll", kSubjectSelf, 6, 1},
      {"the hero flying", kHeroSlot, 3, 2},
      {"the hero transparent", kHeroSlot, 1, 1},
      {"the hero giant", kHeroSlot, 5, 2},
      {"the horizontal automatic scroll", kSubjectSystem, 0, 1},
      {"the vertical automatic scroll", kSubjectSystem, 1, 1},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.name);
    cCommand operation = cCmdBuilder(FLOW_CMD_STATUS2).Params({c.subject, c.selector, c.value});
    CmdStatusOperation2(m_Chara, operation);
    EXPECT_TRUE(StatusCondition2Holds(m_Chara, Cond(COND_STATUS2, c.subject, c.selector, kEqual, c.value)));
    EXPECT_FALSE(StatusCondition2Holds(m_Chara, Cond(COND_STATUS2, c.subject, c.selector, kEqual, c.value + 1)));
  }
}

TEST_F(StatusOperationTest, StateConditions) {
  cCharaBase& target = m_World.AddChara();
  m_Chara.SetTarget(0, &target, 1);
  m_Chara.m_Facing = 0;
  struct cCase {
    const char* name;
    cCond cond;
    bool holds;
  };
  const auto state = [](int object, int item, int negate) { return Cond(COND_STATUS3, object, item, negate); };
  target.m_bDead = 1;
  target.m_Flying = 0;
  target.m_bAirborne = 1;
  target.m_bRiding = 1;
  const std::vector<cCase> cases = {
      {"facing left", state(kSubjectSelf, 0, 0), true},
      {"not facing right", state(kSubjectSelf, 1, 1), true},
      {"a dead target does not exist", state(1, 4, 0), false},
      {"negated, it does not exist", state(1, 4, 1), true},
      {"an empty slot fails even negated", state(2, 4, 1), false},
      {"itself always exists", state(kSubjectSelf, 4, 0), true},
      {"riding counts as standing", state(1, 2, 0), true},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(StatusCondition3Holds(m_Chara, c.cond), c.holds);
  }
  // On screen: a computer-operated character by its flag, a player-operated
  // one by the screen test.
  m_Chara.m_OnScreen = 0;
  EXPECT_FALSE(StatusCondition3Holds(m_Chara, state(kSubjectSelf, 3, 0)));
  m_Chara.m_Operator = OBJ_BY_PLAYER;
  EXPECT_TRUE(StatusCondition3Holds(m_Chara, state(kSubjectSelf, 3, 0)));
}

// A distance condition of `shape` against the hero, with a range of
// halfBlocks x 16 + dots.
cCond Range(int shape, int halfBlocks, int dots, int outside = 0) {
  cCond cond;
  cond.m_nKind = COND_DISTANCE;
  cond.m_nObject = 0;
  cond.m_nShape = static_cast<uint8_t>(shape);
  cond.m_nValue = halfBlocks;
  cond.m_nRightIndex = static_cast<int16_t>(dots);
  cond.m_nCompare = static_cast<uint8_t>(outside);
  return cond;
}

TEST(RangeConditionTest, BandsAndCirclesAroundTheCharacter) {
  cTestWorld world;
  // The hero stands 3 cells (96 dots) right of the character and 2 cells
  // (64 dots) below it.
  world.AddHero(cTestWorld::Definition(), 8, 4);
  cCharaBase& chara = world.AddChara(cTestWorld::Definition(), 5, 2);
  struct cCase {
    const char* name;
    int facing;
    cCond cond;
    bool holds;
  };
  // Bands reach from the character's edge: 64 dots to the hero's left edge
  // at +96 (the span ends at left + 32 + range).
  const std::vector<cCase> cases = {
      {"across, 64 dots", 1, Range(0, 4, 0), true},
      {"across, 63 dots", 1, Range(0, 3, 15), false},
      {"across, 63 dots, outside", 1, Range(0, 3, 15, 1), true},
      {"ahead facing right", 1, Range(1, 4, 0), true},
      {"ahead facing left", 0, Range(1, 4, 0), false},
      {"behind facing left", 0, Range(2, 4, 0), true},
      {"along, 32 dots", 1, Range(3, 2, 0), true},  // the hero's top at +64: span bottom + 32 + range
      {"along, 31 dots", 1, Range(3, 1, 15), false},
      {"below, facing right", 1, Range(4, 2, 0), true},
      {"below, facing left", 0, Range(4, 2, 0), false},
      {"above, facing left", 0, Range(5, 2, 0), true},
      // Centres 96 and 64 dots apart: sqrt(96^2 + 64^2) = 115.4.
      {"circle of 116", 1, Range(6, 7, 4), true},
      {"circle of 115", 1, Range(6, 7, 3), false},
      {"an unknown shape is outside", 1, Range(9, 99, 0, 1), true},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.name);
    chara.m_Facing = c.facing;
    EXPECT_EQ(RangeConditionHolds(chara, c.cond), c.holds);
  }
}

TEST(RangeConditionTest, ACircleOfRangeZeroHoldsOnlyOnTheSameCentre) {
  cTestWorld world;
  cHero& hero = world.AddHero(cTestWorld::Definition(), 5, 2);
  cCharaBase& chara = world.AddChara(cTestWorld::Definition(), 5, 2);
  EXPECT_TRUE(RangeConditionHolds(chara, Range(6, 0, 0)));
  hero.m_X += 1.0;
  EXPECT_FALSE(RangeConditionHolds(chara, Range(6, 0, 0)));
  // No target in slot 2: the condition fails.
  cCond target = Range(6, 99, 0);
  target.m_nObject = 2;
  EXPECT_FALSE(RangeConditionHolds(chara, target));
}

}  // namespace
