// Installing, removing and changing flows, the time conversion of movement
// commands, and the flow pass of the character update.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flow/FlowCommands.h"
#include "flow/FlowRuntime.h"
#include "flow/FlowStep.h"
#include "support/FlowBuilder.h"
#include "support/TestWorld.h"

namespace {

std::vector<int> FlowIds(const cCharaBase& chara) {
  std::vector<int> ids;
  for (const cFlowState& state : chara.m_FlowStates) ids.push_back(state.m_pFlow->m_nFlowId);
  return ids;
}

cFlow IdFlow(int id, int trigger = TRIGGER_DAMAGED) {
  return cFlowBuilder().Id(id).Trigger(trigger).Cmd(CodeCmd("C" + std::to_string(id) + " = C" + std::to_string(id) + " + 1"));
}

TEST(FlowInstallTest, DurationsAndSpeedsFollowTheCopyNumberAndTheSubSteps) {
  cTestWorld world({.subSteps = 2});
  cCmdBuilder move(FLOW_CMD_STRAIGHT_MOVE);
  move.Duration(3, 2);
  move.Move().m_nSpeed = 10;
  move.Move().m_nSpeedPerCopy = 5;
  move.Move().m_bInertia = 1;
  move.Move().m_nAccel = 30;
  move.Move().m_nDirection = DIR_UP;
  move.Move().m_nPosMode = 1;
  move.Move().m_nTimeMode = 0;
  cCharaData data = cTestWorld::Definition();
  data.m_Flows.push_back(cFlowBuilder().Cmd(move));
  cCharaBase& chara = world.AddChara(data, 5, 2, 3);
  const cCmdState& state = chara.m_FlowStates[0].m_CmdStates[0];
  EXPECT_EQ(state.m_Duration, (2 * 3 + 3) * 2 * 6);
  EXPECT_DOUBLE_EQ(state.m_Speed, (5 * 3 + 10) * 0.1 / 2);
  EXPECT_DOUBLE_EQ(state.m_MaxSpeed, 30 * 0.1 / 2);
  EXPECT_EQ(state.m_Direction, DIR_UP);
  EXPECT_EQ(state.m_nMoveKind, 1);
}

TEST(FlowInstallTest, TheTimeConversionOfMovementCommands) {
  struct cCase {
    const char* name;
    int timeMode;
    int distance;
    int unit;
    int speedTenths;  // per frame, at one sub-step
    int tenths;
    int negativeSwitch;
    double speed;
    int duration;
  };
  const std::vector<cCase> cases = {
      {"time and distance: 10 half blocks in a tenth", 1, 10, 0, 10, 1, 0, 160.0 / 6, 6},
      {"time and distance in dots", 1, 12, 1, 10, 1, 0, 2.0, 6},
      {"no time: the distance at once", 1, 12, 1, 10, 0, 0, 12.0, 0},
      {"a negative time: the distance over it, backwards", 1, 12, 1, 10, -1, 0, -2.0, -6},
      {"speed and distance", 2, 10, 0, 20, 1, 0, 2.0, 80},
      {"a negative speed gives a positive time", 2, 10, 0, -20, 1, 0, -2.0, 80},
      {"unless the old switch is set", 2, 10, 0, -20, 1, 1, -2.0, -80},
      {"a speed of 0 never arrives: the longest time", 2, 10, 0, 0, 1, 0, 0.0, 2147483647},
      {"a speed of 0 over a negative distance as well", 2, -10, 0, 0, 1, 0, 0.0, 2147483647},
      {"a speed of 0 and no distance: no time", 2, 0, 0, 0, 1, 0, 0.0, 0},
      {"time and speed change nothing", 0, 10, 0, 20, 1, 0, 2.0, 6},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.name);
    cTestWorld world;
    g_System.m_bMoveTimeSwitch = c.negativeSwitch;
    cCmdBuilder move(FLOW_CMD_STRAIGHT_MOVE);
    move.Duration(c.tenths);
    move.Move().m_nTimeMode = static_cast<uint8_t>(c.timeMode);
    move.Move().m_nDistance = static_cast<int16_t>(c.distance);
    move.Move().m_nDistanceUnit = static_cast<uint8_t>(c.unit);
    move.Move().m_nSpeed = static_cast<int16_t>(c.speedTenths);
    cCharaData data = cTestWorld::Definition();
    data.m_Flows.push_back(cFlowBuilder().Cmd(move));
    const cCmdState& state = world.AddChara(data).m_FlowStates[0].m_CmdStates[0];
    EXPECT_DOUBLE_EQ(state.m_Speed, c.speed);
    EXPECT_EQ(state.m_Duration, c.duration);
  }
}

TEST(FlowInstallTest, TheDistanceGrowsWithTheCopyNumberWhenItHasAStep) {
  cTestWorld world;
  cCmdBuilder move(FLOW_CMD_RUSH_MOVE);
  move.Duration(1);
  move.Move().m_nTimeMode = 1;
  move.Move().m_nDistance = 6;
  move.Move().m_nDistancePerCopy = 3;
  move.Move().m_nDistanceUnit = 1;
  cCharaData data = cTestWorld::Definition();
  data.m_Flows.push_back(cFlowBuilder().Cmd(move));
  EXPECT_DOUBLE_EQ(world.AddChara(data, 5, 2, 2).m_FlowStates[0].m_CmdStates[0].m_Speed, 12.0 / 6);
}

TEST(FlowInstallTest, EachStateTakesANewFlowKey) {
  cTestWorld world;
  cCharaData data = cTestWorld::Definition();
  data.m_Flows = {IdFlow(1), IdFlow(2)};
  cCharaBase& chara = world.AddChara(data);
  EXPECT_EQ(chara.m_FlowStates[0].m_FlowKey, 0);
  EXPECT_EQ(chara.m_FlowStates[1].m_FlowKey, 1);
  cSafeVector<cFlow> more = {IdFlow(3)};
  EXPECT_EQ(chara.InstallFlows(more, 1, -1), 1);
  EXPECT_EQ(chara.m_FlowStates[2].m_FlowKey, 2);
}

TEST(ChangeFlowTest, ModesAddReplaceAndRemove) {
  struct cCase {
    const char* name;
    int mode;
    int id;
    std::vector<int> ids;
  };
  const std::vector<cCase> cases = {
      {"add at the end", 0, 0, {1, 2, 1, 9}},
      {"replace ID 1 where the first one was", 1, 1, {9, 2}},
      {"replace an ID no flow has: at the end", 1, 7, {1, 2, 1, 9}},
      {"remove ID 1", 2, 1, {2}},
      {"the low byte of the ID", 2, 0x101, {2}},
      {"an unknown mode", 5, 1, {1, 2, 1}},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.name);
    cTestWorld world;
    cCharaData data = cTestWorld::Definition();
    data.m_Flows = {IdFlow(1), IdFlow(2), IdFlow(1)};
    cCharaBase& chara = world.AddChara(data);
    cCommand change = cCmdBuilder::Item(ITEM_CMD_CHANGE_FLOW).Params({c.mode, c.id}).Flow(IdFlow(9));
    EXPECT_EQ(CmdChangeFlow(chara, change, 0), 0);
    EXPECT_EQ(FlowIds(chara), c.ids);
    // Every state is linked to its own flow.
    for (int i = 0; i < static_cast<int>(chara.m_FlowStates.size()); ++i) {
      EXPECT_EQ(chara.m_FlowStates[i].m_pFlow, &chara.m_Data.m_Flows[i]);
      EXPECT_EQ(chara.m_FlowStates[i].m_FlowIndex, i);
    }
  }
}

TEST(ChangeFlowTest, ANewFlowWithAKeySequenceWaitsForTheKeysToBeReleasedFirst) {
  cTestWorld world;
  cCharaBase& chara = world.AddChara();
  cFlow keyed = cFlowBuilder().Trigger(TRIGGER_ALWAYS).Key(KeyCondOf({{11, KEY_STATE_PRESSED}})).Cmd(CodeCmd("C1 = 1"));
  cFlow held = keyed;
  held.m_bKeyContinuous = 1;
  cCommand change = cCmdBuilder::Item(ITEM_CMD_CHANGE_FLOW).Params({0, 0}).Flow(keyed).Flow(held);
  CmdChangeFlow(chara, change, 0);
  EXPECT_EQ(chara.m_FlowStates[0].m_KeyEdgeLatch, 1);
  EXPECT_EQ(chara.m_FlowStates[1].m_KeyEdgeLatch, 0);
}

TEST(ChangeFlowTest, TheHerosOwnFlowsChangeAfterItsFlowsHaveRun) {
  cTestWorld world;
  cCharaData data = cTestWorld::Definition();
  // The hero's flow gives it an item whose list changes its flows; the item
  // runs inside the hero's flow pass through the item-command table.
  cCommand change = cCmdBuilder::Item(ITEM_CMD_CHANGE_FLOW).Params({0, 0}).Flow(IdFlow(5));
  data.m_Flows.push_back(IdFlow(1));
  cHero& hero = world.AddHero(data);
  hero.FireTrigger(TRIGGER_DAMAGED);
  world.Scene().m_pCurChara = &hero;
  EXPECT_EQ(RunItemCommand(hero, change), 0);
  EXPECT_EQ(hero.m_FlowStates.size(), 1u);  // queued
  EXPECT_EQ(hero.m_ChangeFlowQueue.size(), 1u);
  hero.RunFlowPass(0);
  EXPECT_EQ(cTestWorld::CommonVar(1), 1);
  EXPECT_EQ(FlowIds(hero), (std::vector<int>{1, 5}));
  EXPECT_TRUE(hero.m_ChangeFlowQueue.empty());

  // Another character running the item list changes the hero at once.
  cCharaBase& other = world.AddChara();
  world.Scene().m_pCurChara = &other;
  RunItemCommand(hero, change);
  EXPECT_EQ(FlowIds(hero), (std::vector<int>{1, 5, 5}));
}

TEST(FlowRemoveTest, RemovingByIdZeroEmptiesEverything) {
  cTestWorld world;
  cCharaData data = cTestWorld::Definition();
  data.m_Flows = {IdFlow(0), IdFlow(3), IdFlow(3)};
  cCharaBase& chara = world.AddChara(data);
  chara.m_AnimeList.emplace_back();
  EXPECT_EQ(RemoveFlowsById(chara, 4), -1);
  EXPECT_EQ(RemoveFlowsById(chara, 3), 1);
  EXPECT_EQ(FlowIds(chara), (std::vector<int>{0}));
  EXPECT_EQ(chara.m_AnimeList.size(), 1u);
  EXPECT_EQ(RemoveFlowsById(chara, 0), 0);
  EXPECT_TRUE(chara.m_FlowStates.empty());
  EXPECT_TRUE(chara.m_Data.m_Flows.empty());
  EXPECT_TRUE(chara.m_AnimeList.empty());
}

TEST(FlowRemoveTest, RemovingARunningGroupFlowReleasesItsGroup) {
  cTestWorld world;
  cCharaData data = cTestWorld::Definition();
  data.m_Flows.push_back(cFlowBuilder().Trigger(TRIGGER_ALWAYS).Group(4).Cmd(WaitCmd(9)));
  data.m_Flows.push_back(IdFlow(2));
  cCharaBase& chara = world.AddChara(data);
  world.Frame();
  EXPECT_EQ(chara.m_GroupRunning[4], 1);
  chara.RemoveFlow(0);
  chara.RemoveFlow(5);  // no such flow: nothing
  EXPECT_EQ(FlowIds(chara), (std::vector<int>{2}));
  EXPECT_EQ(chara.m_bGroupEndedPending, 1);
  chara.RunFlowPass(0);
  EXPECT_EQ(chara.m_GroupRunning[4], 0);
}

TEST(FlowRemoveTest, TheRunningCharactersOwnFlowsAreRemovedAtTheEndOfItsPass) {
  cTestWorld world;
  cCharaData data = cTestWorld::Definition();
  data.m_Flows = {IdFlow(1), IdFlow(2)};
  cCharaBase& chara = world.AddChara(data);
  cCharaBase& other = world.AddChara(data);
  chara.FireTrigger(TRIGGER_DAMAGED);

  world.Scene().m_pCurChara = &chara;
  RequestFlowRemoval(other, 0);  // another character's: at once
  EXPECT_EQ(FlowIds(other), (std::vector<int>{2}));
  RequestFlowRemoval(chara, 0);  // its own: the state it may be stepping stays
  EXPECT_EQ(FlowIds(chara), (std::vector<int>{1, 2}));
  chara.RunFlowPass(0);
  EXPECT_EQ(cTestWorld::CommonVar(1), 1);
  EXPECT_EQ(FlowIds(chara), (std::vector<int>{2}));
}

// ---- the flow pass --------------------------------------------------------------------

TEST(FlowPassTest, InDeathModeOnlyTheDeathFlowsRun) {
  cTestWorld world;
  cCharaData data = cTestWorld::Definition();
  data.m_Flows = {IdFlow(1, TRIGGER_DAMAGED), IdFlow(2, TRIGGER_DEATH)};
  cCharaBase& chara = world.AddChara(data);
  chara.FireTrigger(TRIGGER_DAMAGED);
  chara.FireTrigger(TRIGGER_DEATH);
  chara.m_Hp = 0;
  EXPECT_EQ(chara.RunFlowPass(1), 0);
  EXPECT_EQ(cTestWorld::CommonVar(1), 0);
  EXPECT_EQ(cTestWorld::CommonVar(2), 1);
  EXPECT_EQ(chara.m_FlowStates[0].m_Running, 1);
}

TEST(FlowPassTest, AFlowThatKillsOrRemovesItsCharacterEndsTheUpdate) {
  struct cCase {
    const char* name;
    const char* code;
    int deathMode;
    int result;
    int laterRuns;
  };
  const std::vector<cCase> cases = {
      {"hp dropped to 0", "my.hp = 0", 0, 1, 0},
      {"hp 0 in death mode goes on", "my.hp = 0", 1, 0, 1},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.name);
    cTestWorld world;
    cCharaData data = cTestWorld::Definition();
    const int trigger = c.deathMode != 0 ? TRIGGER_DEATH : TRIGGER_DAMAGED;
    data.m_Flows.push_back(cFlowBuilder().Trigger(trigger).Cmd(CodeCmd(c.code)));
    data.m_Flows.push_back(IdFlow(1, trigger));
    cCharaBase& chara = world.AddChara(data);
    chara.FireTrigger(trigger);
    EXPECT_EQ(chara.RunFlowPass(c.deathMode), c.result);
    EXPECT_EQ(cTestWorld::CommonVar(1), c.laterRuns);
  }
  // A vanished character ends its update after the flow that removed it.
  cTestWorld world;
  cCharaData data = cTestWorld::Definition();
  data.m_Flows = {IdFlow(1), IdFlow(2)};
  cCharaBase& chara = world.AddChara(data);
  chara.FireTrigger(TRIGGER_DAMAGED);
  chara.m_bVanished = 1;
  EXPECT_EQ(chara.RunFlowPass(0), 1);
  EXPECT_EQ(cTestWorld::CommonVar(1), 1);
  EXPECT_EQ(cTestWorld::CommonVar(2), 0);
}

TEST(FlowPassTest, DeletionsPausesAndStopsForGood) {
  cTestWorld world;
  cCharaData data = cTestWorld::Definition();
  data.m_Flows = {IdFlow(1, TRIGGER_ALWAYS), IdFlow(2, TRIGGER_ALWAYS), IdFlow(3, TRIGGER_ALWAYS)};
  cCharaBase& chara = world.AddChara(data);
  chara.m_FlowStates[0].m_DeleteRequest = 1;
  chara.m_bDeletePending = 1;
  chara.m_FlowStates[1].Pause();
  chara.m_FlowStates[2].StopForever(chara);
  world.Frame();
  EXPECT_EQ(FlowIds(chara), (std::vector<int>{2, 3}));  // deleted at the end of the pass, after it ran
  EXPECT_EQ(cTestWorld::CommonVar(1), 1);
  EXPECT_EQ(cTestWorld::CommonVar(2), 0);  // paused: not started
  EXPECT_EQ(cTestWorld::CommonVar(3), 0);  // stopped for good
  chara.m_FlowStates[0].Resume();
  world.Frame();
  EXPECT_EQ(cTestWorld::CommonVar(2), 1);
  EXPECT_EQ(chara.m_bDeletePending, 0);
}

TEST(FlowPassTest, ARunningFlowWithoutCommandsIsStopped) {
  cTestWorld world;
  cCharaData data = cTestWorld::Definition();
  data.m_Flows.push_back(cFlowBuilder().Trigger(TRIGGER_DAMAGED).Group(2));
  cCharaBase& chara = world.AddChara(data);
  chara.FireTrigger(TRIGGER_DAMAGED);
  EXPECT_EQ(chara.m_FlowStates[0].m_Running, 1);
  chara.RunFlowPass(0);
  EXPECT_EQ(chara.m_FlowStates[0].m_Running, 0);
}

TEST(FlowPassTest, ACommandTypeOutsideTheTableRunsNothing) {
  cTestWorld world;
  cCommand strange = WaitCmd(0);
  strange.m_nType = 77;
  cCommand negative = WaitCmd(0);
  negative.m_nType = -3;
  cCharaData data = cTestWorld::Definition();
  data.m_Flows.push_back(cFlowBuilder().Trigger(TRIGGER_DAMAGED).Cmd(strange).Cmd(negative).Cmd(CodeCmd("C1 = 1")));
  cCharaBase& chara = world.AddChara(data);
  chara.FireTrigger(TRIGGER_DAMAGED);
  for (int step = 0; step < 4; ++step) chara.RunFlowPass(0);
  EXPECT_EQ(cTestWorld::CommonVar(1), 1);
  cCommand item = cCmdBuilder::Item(0);
  item.m_nType = 30;
  EXPECT_EQ(RunItemCommand(chara, item), 0);
}

TEST(FlowPassTest, AGroupFlowStartedForAnotherCharacterClaimsThatCharactersGroup) {
  // A flow started on a target (as the flow operation does) raises the
  // target's group switches, not those of the character that runs.
  cTestWorld world;
  cCharaData data = cTestWorld::Definition();
  data.m_Flows.push_back(cFlowBuilder().Trigger(TRIGGER_ALWAYS).Group(6).Cmd(WaitCmd(1)));
  cCharaBase& target = world.AddChara(data);
  cCharaBase& runner = world.AddChara();
  world.Scene().m_pCurChara = &runner;
  StartFlow(target.m_FlowStates[0], target);
  EXPECT_EQ(target.m_GroupRunning[6], 1);
  EXPECT_EQ(runner.m_GroupRunning[6], 0);
  target.m_FlowStates[0].Stop(target);
  EXPECT_EQ(target.m_GroupEnded[6], 1);
  EXPECT_EQ(runner.m_GroupEnded[6], 0);
}

}  // namespace
