// The shot, sword and summon commands and the flow operation, run by their
// flows on a small stage: how often they act while they last, the sword's
// single swing and link, and the flow operation's choices of flows.

#include <gtest/gtest.h>

#include "data/Palette.h"
#include "flow/FlowCommands.h"
#include "flow/FlowRuntime.h"
#include "flow/FlowStep.h"
#include "flow/StatusOperation.h"
#include "support/CharaSim.h"
#include "support/FlowBuilder.h"
#include "support/WorldFakes.h"
#include "world/Formation.h"
#include "world/Item.h"
#include "world/Shot.h"

namespace {

// Counts what the summons ask the scene's spawning to create.
class cCountingCreator final : public cSummonCreator {
 public:
  cCountingCreator() { SetSummonCreator(this); }
  ~cCountingCreator() override { SetSummonCreator(nullptr); }
  void PlaceSummonedBlocks(const cBlockData&, double, double, int, const cEdShot&) override { ++m_Blocks; }
  void ResetBlockToggle() override {}
  void CreateSummonedChara(double, double, int, int, int, const cEdShot&, const cCharaData&, cCharaBase&) override {
    ++m_Charas;
  }
  void CreateSummonedItem(double, double, int, const cEdShot&, const cItemData&) override { ++m_Items; }
  int m_Blocks = 0;
  int m_Charas = 0;
  int m_Items = 0;
};

class AttackCommandsTest : public ::testing::TestWithParam<int> {
 protected:
  AttackCommandsTest() : m_World(cTestWorld::cOptions{.subSteps = GetParam()}), m_Sim(m_World) {}

  // A character whose flows are `flows` (started by the flow operation).
  cChara& Chara(std::initializer_list<cFlow> flows) {
    cCharaData data = cTestWorld::Definition();
    data.m_nFlying = 1;
    for (const cFlow& flow : flows) data.m_Flows.push_back(flow);
    cChara& chara = m_Sim.AddChara(data, 5, 5);
    chara.m_OnScreen = 1;
    return chara;
  }
  static cFlow FlowOf(const cCommand& command, int id = 0) {
    return cFlowBuilder().Trigger(TRIGGER_BY_FLOW_OPERATION).Id(id).Cmd(command);
  }
  void Frames(int frames) { m_Sim.Frames(frames); }

  cTestWorld m_World;
  cCharaSim m_Sim;
};

TEST_P(AttackCommandsTest, AShotCommandOfOneSecondFiresTenTimes) {
  cCmdBuilder shot(FLOW_CMD_SHOT);
  shot.Duration(10);
  shot.Shot().m_nCount = 1;
  shot.Shot().m_bPassBlocks = 1;
  cChara& chara = Chara({FlowOf(shot)});
  StartFlow(chara.m_FlowStates[0], chara);
  Frames(80);
  EXPECT_EQ(g_ShotList.m_nNextKey, 10);
}

TEST_P(AttackCommandsTest, ASummonOfHalfASecondSummonsFiveTimes) {
  cCountingCreator creator;
  g_CommonPalette.m_Charas.resize(1);
  g_CommonPalette.m_Items.resize(1);
  for (int type : {FLOW_CMD_SUMMON_CHARA, FLOW_CMD_SUMMON_ITEM}) {
    cCmdBuilder summon(type);
    summon.Duration(5);
    summon.Shot().m_nCount = 1;
    cChara& chara = Chara({FlowOf(summon)});
    StartFlow(chara.m_FlowStates[0], chara);
  }
  Frames(40);
  EXPECT_EQ(creator.m_Charas, 5);
  EXPECT_EQ(creator.m_Items, 5);
}

// A character or item summon keeps the lifetime it gives where a shot keeps
// its distance, the parameter the arrange command changes: with the lifetime
// switch on the summoned object lives that many tenths of a second, 0 making
// it leave on the next sub-step; with the switch off it lives until it dies.
TEST_P(AttackCommandsTest, ASummonGivesItsLifetimeAsArrangedAndEvenZero) {
  const int n = GetParam();
  g_CommonPalette.m_Charas.resize(1);
  g_CommonPalette.m_Items.resize(1);
  g_CommonPalette.m_Items[0].m_nGraphic = 1;
  struct sCase {
    int type;
    int lifetimeOn;
    int tenths;
    int arranged;  // -1: no arrange before the summon
    int32_t life;
  } cases[] = {
      {FLOW_CMD_SUMMON_CHARA, 1, 5, -1, 5 * 6 * n},
      {FLOW_CMD_SUMMON_CHARA, 1, 0, -1, 0},
      {FLOW_CMD_SUMMON_CHARA, 1, 5, 7, 7 * 6 * n},
      {FLOW_CMD_SUMMON_CHARA, 0, 5, -1, kEndlessLife},
      {FLOW_CMD_SUMMON_ITEM, 1, 0, -1, 0},
      {FLOW_CMD_SUMMON_ITEM, 1, 5, 9, 9 * 6 * n},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << " on " << c.lifetimeOn << " tenths " << c.tenths
                                    << " arranged " << c.arranged);
    cCmdBuilder summon(c.type);
    summon.Shot().m_nCount = 1;
    summon.Shot().m_bLifetimeOn = static_cast<uint8_t>(c.lifetimeOn);
    summon.Shot().m_nDistance = static_cast<int16_t>(c.tenths);
    cFlowBuilder flow;
    flow.Trigger(TRIGGER_BY_FLOW_OPERATION);
    if (c.arranged >= 0) {
      cTestWorld::CommonVar(1) = c.arranged;
      flow.Cmd(cCmdBuilder(FLOW_CMD_ARRANGE).Params({c.type, 0, STATUS_OP_SET, 0, 1}));
    }
    flow.Cmd(summon);
    cChara& chara = Chara({flow});
    const int charas = g_CharaList.Count();
    const int items = g_ItemList.Count();
    StartFlow(chara.m_FlowStates[0], chara);
    Frames(2);  // the arrange takes its own sub-step
    if (c.type == FLOW_CMD_SUMMON_CHARA) {
      ASSERT_EQ(g_CharaList.Count(), charas + 1);
      EXPECT_EQ(g_CharaList.Nth(charas)->m_Life, c.life);
    } else {
      ASSERT_EQ(g_ItemList.Count(), items + 1);
      EXPECT_EQ(g_ItemList.Nth(items)->m_Life, c.life);
    }
    chara.m_FlowStates[0].Stop(chara);
  }
}

TEST_P(AttackCommandsTest, ASummonOfAPlayerCharacterOrBeyondThePaletteSummonsNothing) {
  cCountingCreator creator;
  g_CommonPalette.m_Charas.resize(2);
  g_CommonPalette.m_Charas[1].m_nOperator = CHARA_BY_PLAYER;
  for (int index : {1, 2, -1}) {
    cCmdBuilder summon(FLOW_CMD_SUMMON_CHARA);
    summon.Shot().m_nCount = 1;
    summon.Shot().m_nSummonIndex = static_cast<int16_t>(index);
    cChara& chara = Chara({FlowOf(summon)});
    StartFlow(chara.m_FlowStates[0], chara);
  }
  Frames(3);
  EXPECT_EQ(creator.m_Charas, 0);
}

TEST_P(AttackCommandsTest, ASwordCommandSwingsOnceWithOneLink) {
  cCmdBuilder sword(FLOW_CMD_SWORD);
  sword.Duration(20);
  sword.Shot();
  cChara& chara = Chara({FlowOf(sword)});
  StartFlow(chara.m_FlowStates[0], chara);
  Frames(3);
  EXPECT_EQ(g_ShotList.m_nNextKey, 1);
  EXPECT_EQ(chara.m_ShotLinks.size(), 1u);
}

// ---- the flow operation ----

// A flow operation command: operation, which flows, flow ID, whose.
cCommand FlowOp(int operation, int which, int id = 0, int whose = 0) {
  return cCmdBuilder(FLOW_CMD_FLOW_OPERATION).Params({operation, which, id, whose});
}

TEST_P(AttackCommandsTest, StartOnThisFlowRestartsItFromItsFirstCommand) {
  cCmdBuilder restart(FLOW_CMD_FLOW_OPERATION);
  restart.Params({0, 0, 0, 0}).NoWait();
  cChara& chara =
      Chara({cFlowBuilder().Trigger(TRIGGER_BY_FLOW_OPERATION).Cmd(WaitCmd(1)).Cmd(restart).Cmd(WaitCmd(50))});
  cFlowState& flow = chara.m_FlowStates[0];
  StartFlow(flow, chara);
  Frames(7);
  // Restarted when it reached the operation: back on its first command.
  EXPECT_EQ(flow.m_Running, 1);
  EXPECT_EQ(flow.m_CurrentCmd, 0);
  EXPECT_EQ(flow.m_CmdStates[0].m_bDone, 0);
}

TEST_P(AttackCommandsTest, EndOnAllOthersActsOnTheCharactersOwnFlowsWhateverTheTarget) {
  cChara& target = Chara({FlowOf(WaitCmd(50), 3)});
  StartFlow(target.m_FlowStates[0], target);
  cChara& chara = Chara({FlowOf(FlowOp(1, 1, 0, 2)), FlowOf(WaitCmd(50)), FlowOf(WaitCmd(50))});
  chara.SetTarget(1, &target, 1);
  for (cFlowState& flow : chara.m_FlowStates) StartFlow(flow, chara);
  Frames(1);
  EXPECT_EQ(chara.m_FlowStates[1].m_Running, 0);
  EXPECT_EQ(chara.m_FlowStates[2].m_Running, 0);
  EXPECT_EQ(target.m_FlowStates[0].m_Running, 1);
}

// A flow operation whose object is an empty target slot does nothing in
// that sub-step, whichever flows it names: the running flow goes on to its
// wait, the other flow keeps running.
TEST_P(AttackCommandsTest, AnOperationOnAnEmptyTargetSlotDoesNothing) {
  for (int which : {0, 1, 2}) {
    SCOPED_TRACE(which);
    const cFlow operating =
        cFlowBuilder().Trigger(TRIGGER_BY_FLOW_OPERATION).Cmd(FlowOp(1, which, 5, 3)).Cmd(WaitCmd(50));
    cChara& chara = Chara({operating, FlowOf(WaitCmd(50), 5)});
    for (cFlowState& flow : chara.m_FlowStates) StartFlow(flow, chara);
    Frames(1);
    EXPECT_EQ(chara.m_FlowStates[0].m_Running, 1);
    EXPECT_EQ(chara.m_FlowStates[1].m_Running, 1);
  }
}

TEST_P(AttackCommandsTest, DeletingAnIdOnATargetRemovesEveryFlowOfThatId) {
  cChara& target = Chara({FlowOf(WaitCmd(50), 5), FlowOf(WaitCmd(50), 5), FlowOf(WaitCmd(50), 5),
                          FlowOf(WaitCmd(50), 4)});
  cChara& chara = Chara({FlowOf(FlowOp(4, 2, 5, 1))});
  chara.SetTarget(0, &target, 1);
  StartFlow(chara.m_FlowStates[0], chara);
  Frames(1);
  ASSERT_EQ(target.m_FlowStates.size(), 1u);
  EXPECT_EQ(target.m_Data.m_Flows[0].m_nFlowId, 4);
}

TEST_P(AttackCommandsTest, DeletingItsOwnFlowIsServedAfterTheStep) {
  cChara& chara = Chara({FlowOf(FlowOp(4, 0)), FlowOf(WaitCmd(50), 7)});
  StartFlow(chara.m_FlowStates[0], chara);
  Frames(1);
  ASSERT_EQ(chara.m_FlowStates.size(), 1u);
  EXPECT_EQ(chara.m_Data.m_Flows[0].m_nFlowId, 7);
}

TEST_P(AttackCommandsTest, AFalseConditionListStopsTheOperationEverySubStep) {
  cCmdBuilder op(FLOW_CMD_FLOW_OPERATION);
  op.Params({1, 2, 9, 0}).Duration(10);
  op.Conds().m_bEnabled = 1;
  cCond commonVarIsOne;
  commonVarIsOne.m_nKind = COND_COMMON_VAR;
  commonVarIsOne.m_nIndex = 1;
  commonVarIsOne.m_nValue = 1;
  op.Conds().m_Conds.push_back(commonVarIsOne);
  cChara& chara = Chara({FlowOf(op), FlowOf(WaitCmd(50), 9)});
  for (cFlowState& flow : chara.m_FlowStates) StartFlow(flow, chara);
  Frames(5);
  EXPECT_EQ(chara.m_FlowStates[1].m_Running, 1);
  cTestWorld::CommonVar(1) = 1;
  Frames(1);
  EXPECT_EQ(chara.m_FlowStates[1].m_Running, 0);
}

INSTANTIATE_TEST_SUITE_P(SubSteps, AttackCommandsTest, ::testing::Values(1, 3));

}  // namespace
