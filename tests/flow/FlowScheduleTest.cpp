// The step schedule of a flow: when each command starts, how often it runs
// and when the flow ends, at one and at three sub-steps per frame; the
// trigger-21 flows; the animation cues.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/Database.h"
#include "flow/FlowRuntime.h"
#include "flow/FlowStep.h"
#include "support/FlowBuilder.h"
#include "support/TestWorld.h"

namespace {

// Command i of a schedule adds 1 to common variable i + 1 each time it runs.
struct cScheduledCmd {
  int tenths;
  bool noWait;
};

struct cScheduleResult {
  std::vector<int> firstRunAt;
  std::vector<int> runs;
  int endAt = -1;
};

cScheduleResult RunSchedule(const std::vector<cScheduledCmd>& commands, int subSteps) {
  cTestWorld world({.subSteps = subSteps});
  cFlowBuilder flow;
  flow.Trigger(TRIGGER_DAMAGED);
  for (std::size_t i = 0; i < commands.size(); ++i) {
    cCmdBuilder command = CodeCmd("C" + std::to_string(i + 1) + " = C" + std::to_string(i + 1) + " + 1");
    command.Duration(commands[i].tenths);
    if (commands[i].noWait) command.NoWait();
    flow.Cmd(command);
  }
  cCharaData data = cTestWorld::Definition();
  data.m_Flows.push_back(flow);
  cCharaBase& chara = world.AddChara(data);

  cScheduleResult result;
  result.firstRunAt.assign(commands.size(), -1);
  result.runs.assign(commands.size(), 0);
  chara.FireTrigger(TRIGGER_DAMAGED);
  for (int step = 1; step <= 200 && chara.m_FlowStates[0].m_Running != 0; ++step) {
    chara.RunFlowPass(0);
    for (std::size_t i = 0; i < commands.size(); ++i) {
      const int runs = cTestWorld::CommonVar(static_cast<int>(i) + 1);
      if (runs > 0 && result.firstRunAt[i] < 0) result.firstRunAt[i] = step;
      result.runs[i] = runs;
    }
    if (chara.m_FlowStates[0].m_Running == 0) result.endAt = step;
  }
  return result;
}

class FlowScheduleTest : public ::testing::TestWithParam<int> {};

TEST_P(FlowScheduleTest, CommandsStartRunAndEndOnTheirSubSteps) {
  const int subSteps = GetParam();
  const int T = 6 * subSteps;  // sub-steps of a tenth of a second
  struct cCase {
    const char* name;
    std::vector<cScheduledCmd> commands;
    std::vector<int> firstRunAt;
    std::vector<int> runs;
    int endAt;
  };
  const std::vector<cCase> cases = {
      // The no-wait command starts with the command after it and is cut off
      // when the last command finishes.
      {"wait, no-wait, wait", {{1, false}, {2, true}, {1, false}}, {1, T + 1, T + 1}, {T, T, T}, 2 * T},
      // A no-wait command last: the flow ends when it finishes.
      {"wait, wait, no-wait last", {{1, false}, {1, false}, {1, true}}, {1, T + 1, 2 * T + 1}, {T, T, T}, 3 * T},
      // A duration of 0 runs once and ends in the same sub-step.
      {"one command of duration 0", {{0, false}}, {1}, {1}, 1},
      {"no-wait, then a waiting duration 0", {{1, true}, {0, false}}, {1, 1}, {1, 1}, 1},
      // Each waiting command of duration 0 takes a sub-step of its own.
      {"two waiting duration 0, then a wait", {{0, false}, {0, false}, {1, false}}, {1, 2, 3}, {1, 1, T}, T + 2},
      // No-wait commands of duration 0 all run in the first sub-step.
      {"two no-wait duration 0, then a wait", {{0, true}, {0, true}, {1, false}}, {1, 1, 1}, {1, 1, T}, T},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.name);
    const cScheduleResult result = RunSchedule(c.commands, subSteps);
    EXPECT_EQ(result.firstRunAt, c.firstRunAt);
    EXPECT_EQ(result.runs, c.runs);
    EXPECT_EQ(result.endAt, c.endAt);
  }
}

INSTANTIATE_TEST_SUITE_P(SubSteps, FlowScheduleTest, ::testing::Values(1, 3));

TEST(FlowStartTest, AStageStartFlowRunsOnlyItsNoWaitCommandsFromType16OnceAndStops) {
  cTestWorld world;
  cCharaData data = cTestWorld::Definition();
  data.m_Flows.push_back(cFlowBuilder()
                             .Trigger(TRIGGER_STAGE_START)
                             .Cmd(CodeCmd("C1 = C1 + 1").NoWait())
                             .Cmd(cCmdBuilder(FLOW_CMD_SHOT).Duration(1))
                             .Cmd(CodeCmd("C2 = C2 + 1").Duration(1))
                             .Cmd(CodeCmd("C3 = C3 + 1").Duration(2).NoWait())
                             .Cmd(cCmdBuilder(FLOW_CMD_WAIT).NoWait()));
  cCharaBase& chara = world.AddChara(data);

  chara.FireTrigger(TRIGGER_STAGE_START);
  EXPECT_EQ(chara.m_FlowStates[0].m_Running, 0);
  EXPECT_EQ(cTestWorld::CommonVar(1), 1);
  EXPECT_EQ(cTestWorld::CommonVar(2), 0);  // a waiting command
  // A no-wait command that would take time still runs only once, and counts as done.
  EXPECT_EQ(cTestWorld::CommonVar(3), 1);
  EXPECT_EQ(chara.m_FlowStates[0].m_CmdStates[3].m_bDone, 1);
  world.Frame();
  EXPECT_EQ(cTestWorld::CommonVar(1), 1);
}

// ---- a flow operation on its own flow ---------------------------------------------

// A flow of group A of [C1 + 1, operation, C2 + 1] (or the operation last),
// the operation acting on "このフロー".
cFlow OwnOperationFlow(int trigger, int operation, bool noWait, bool last) {
  cCmdBuilder command(FLOW_CMD_FLOW_OPERATION);
  command.Params({operation, 0, 0, 0});
  if (noWait) command.NoWait();
  cFlowBuilder flow;
  flow.Trigger(trigger).Group(1).Cmd(CodeCmd("C1 = C1 + 1"));
  if (!last) flow.Cmd(command);
  flow.Cmd(CodeCmd("C2 = C2 + 1"));
  if (last) flow.Cmd(command);
  return flow.Build();
}

// The flow above, started once, stepped four sub-steps, resumed, stepped
// four more: what each counter and the flow came to. The operation takes no
// time, so every command runs once per sub-step it is reached.
TEST(FlowOwnOperationTest, PauseStopAndRestartLeaveTheFlowWhereTheySay) {
  enum { kStart = 0, kEnd = 1, kPause = 2, kForever = 5 };
  struct cCase {
    const char* name;
    int operation;
    bool noWait;
    bool last;
    int c1, c2, running;
  };
  const cCase cases[] = {
      // Paused on its second command: after the resume it goes on with the third and ends.
      {"pause, no wait", kPause, true, false, 1, 1, 0},
      {"pause, waiting", kPause, false, false, 1, 1, 0},
      {"pause, last", kPause, true, true, 1, 1, 0},
      {"end, no wait", kEnd, true, false, 1, 0, 0},
      {"end, waiting", kEnd, false, false, 1, 0, 0},
      {"end, last", kEnd, false, true, 1, 1, 0},
      // Stopped for good: the running flag stays, nothing runs any more.
      {"stop forever, no wait", kForever, true, false, 1, 0, 1},
      // Restarted: the next sub-step begins again with the first command.
      {"restart, no wait", kStart, true, false, 4, 0, 1},
      {"restart, waiting", kStart, false, false, 4, 0, 1},
      {"restart, no wait, last", kStart, true, true, 3, 3, 1},
      {"restart, waiting, last", kStart, false, true, 3, 3, 1},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.name);
    cTestWorld world;
    cCharaData data = cTestWorld::Definition();
    data.m_Flows.push_back(OwnOperationFlow(TRIGGER_BY_FLOW_OPERATION, c.operation, c.noWait, c.last));
    cCharaBase& chara = world.AddChara(data);
    cFlowState& state = chara.m_FlowStates[0];
    StartFlow(state, chara);
    for (int i = 0; i < 4; ++i) world.SubStep();
    state.Resume();
    for (int i = 0; i < 4; ++i) world.SubStep();
    EXPECT_EQ(cTestWorld::CommonVar(1), c.c1);
    EXPECT_EQ(cTestWorld::CommonVar(2), c.c2);
    EXPECT_EQ(state.m_Running, c.running);
    if (c.running == 0) {
      EXPECT_EQ(chara.m_GroupEnded[1], 0) << "its group is freed when it ends";
    }
  }
}

// The same operations on an always-running flow of group A, beside a rival
// always-running flow of group A listed before it (the rival's trigger is
// checked first). The flow is started by hand and claims the group; for four
// frames the rival may start only once the group is free. A restart stops and
// starts the flow in one pass: it keeps its group, which must not be freed at
// the end of the pass while the flow runs again.
TEST(FlowOwnOperationTest, ARestartedGroupFlowKeepsItsGroupAndAnEndedOneFreesIt) {
  enum { kStart = 0, kEnd = 1, kPause = 2 };
  struct cCase {
    const char* name;
    int operation;
    bool noWait;
    bool last;
    bool rivalRuns;
  };
  const cCase cases[] = {
      {"restart, no wait", kStart, true, false, false},
      {"restart, waiting", kStart, false, false, false},
      {"restart, no wait, last", kStart, true, true, false},
      {"restart, waiting, last", kStart, false, true, false},
      {"pause, waiting", kPause, false, false, false},
      {"end, waiting", kEnd, false, false, true},
      {"end, no wait, last", kEnd, true, true, true},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.name);
    cTestWorld world;
    cCharaData data = cTestWorld::Definition();
    data.m_Flows.push_back(cFlowBuilder().Trigger(TRIGGER_ALWAYS).Group(1).Cmd(CodeCmd("C3 = C3 + 1")));
    data.m_Flows.push_back(OwnOperationFlow(TRIGGER_ALWAYS, c.operation, c.noWait, c.last));
    cCharaBase& chara = world.AddChara(data);
    cFlowState& state = chara.m_FlowStates[1];
    StartFlow(state, chara);
    for (int i = 0; i < 4; ++i) world.Frame();
    EXPECT_EQ(cTestWorld::CommonVar(3) > 0, c.rivalRuns);
    if (!c.rivalRuns) {
      EXPECT_EQ(state.m_Running, 1);
      EXPECT_EQ(chara.m_GroupRunning[1], 1);
      EXPECT_EQ(chara.m_GroupEnded[1], 0);
    }
  }
}

// A stage-start flow that starts itself again from one of its commands runs
// its commands once, as any stage-start flow, and ends stopped.
TEST(FlowOwnOperationTest, AStageStartFlowStartingItselfRunsItsCommandsOnce) {
  cTestWorld world;
  cCharaData data = cTestWorld::Definition();
  data.m_Flows.push_back(cFlowBuilder()
                             .Trigger(TRIGGER_STAGE_START)
                             .Cmd(CodeCmd("C1 = C1 + 1").NoWait())
                             .Cmd(cCmdBuilder(FLOW_CMD_FLOW_OPERATION).Params({0, 0, 0, 0}).NoWait())
                             .Cmd(CodeCmd("C2 = C2 + 1").NoWait()));
  cCharaBase& chara = world.AddChara(data);
  chara.FireTrigger(TRIGGER_STAGE_START);
  EXPECT_EQ(cTestWorld::CommonVar(1), 1);
  EXPECT_EQ(cTestWorld::CommonVar(2), 0);  // the restart ends the run, as any operation on the flow
  EXPECT_EQ(chara.m_FlowStates[0].m_Running, 0);
}

// ---- animation cues ---------------------------------------------------------------

class FlowCueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Animation 1: 2 and 1 tenths unlocked, then a locked frame of 3 tenths:
    // a wind-up of 18 frames.
    cAnime anime;
    anime.m_Frames.clear();
    anime.m_Frames.emplace_back(5, 2, 0);
    anime.m_Frames.emplace_back(6, 1, 0);
    anime.m_Frames.emplace_back(7, 3, 1);
    g_Database.m_Animes.resize(1);
    g_Database.m_Animes.push_back(anime);
    BuildAnimeScripts(g_AnimeScripts);
  }
  void TearDown() override {
    g_Database = cDatabase();
    g_AnimeScripts.clear();
  }
};

TEST_F(FlowCueTest, TheWindUpEndsWhenItsCommandStarts) {
  for (int subSteps : {1, 3}) {
    SCOPED_TRACE(subSteps);
    const int T = 6 * subSteps;
    struct cCase {
      std::vector<int> waits;  // tenths of the waiting commands before the animated one
      int start, skip, windUp;
    };
    const std::vector<cCase> cases = {
        // Enough time before the command: the wind-up of 18 frames starts
        // 18 frames before it.
        {{2, 2}, 4 * T - 18 * subSteps, 0, 18},
        // Not enough: the animation starts with the flow, the frames that
        // would lie before it skipped (18 - 12 = 6).
        {{1, 1}, 0, 6, 12},
        // On the first command the whole wind-up is skipped.
        {{}, 0, 18, 0},
    };
    for (const cCase& c : cases) {
      cTestWorld world({.subSteps = subSteps});
      cFlowBuilder flow;
      for (int tenths : c.waits) flow.Cmd(WaitCmd(tenths));
      flow.Cmd(WaitCmd(5).Anime(1));
      cCharaData data = cTestWorld::Definition();
      data.m_Flows.push_back(flow);
      cCharaBase& chara = world.AddChara(data);
      ASSERT_EQ(chara.m_FlowStates[0].m_Cues.size(), 1u);
      const cFlowAnimeCue& cue = chara.m_FlowStates[0].m_Cues[0];
      EXPECT_EQ(cue.m_nStart, c.start);
      EXPECT_EQ(cue.m_nSkip, c.skip);
      EXPECT_EQ(cue.m_nWindUp, c.windUp);
      EXPECT_EQ(cue.m_nHold, 30);
      EXPECT_EQ(cue.m_bHoldEnabled, 1);
    }
  }
}

TEST_F(FlowCueTest, ACueOnTheFirstCommandShowsTheLockedFrameAtOnceAndHoldsItForTheCommand) {
  cTestWorld world;
  cCharaData data = cTestWorld::Definition();
  data.m_Flows.push_back(cFlowBuilder().Trigger(TRIGGER_DAMAGED).Cmd(WaitCmd(5).Anime(1)).Cmd(WaitCmd(1)));
  cCharaBase& chara = world.AddChara(data);

  chara.FireTrigger(TRIGGER_DAMAGED);
  chara.RunFlowPass(0);
  ASSERT_EQ(chara.m_AnimeList.size(), 1u);
  const cAnimePlayback& entry = chara.m_AnimeList[0];
  EXPECT_EQ(entry.m_Player.GetPattern(), 7);
  // The locked frame lasts its 18 frames and the command's 30 - 1 more.
  EXPECT_EQ(entry.m_Player.Animes()[0][2].m_nDuration, 18 + 29);
  EXPECT_EQ(entry.m_AnimeKey, chara.m_FlowStates[0].m_FlowKey);
  EXPECT_EQ(entry.m_ExtraTime, 30);

  // Removing the flow removes its animations.
  chara.RemoveFlow(0);
  EXPECT_TRUE(chara.m_AnimeList.empty());
}

// A flow stopped for good keeps its running flag and its frame counter: a cue
// at that frame must not start its animation again on every pass. (The one
// the first pass started goes with the stop, which removes the flow's
// animations.)
TEST_F(FlowCueTest, AFlowStoppedForGoodStartsNoMoreAnimations) {
  cTestWorld world;
  cCharaData data = cTestWorld::Definition();
  data.m_Flows.push_back(cFlowBuilder()
                             .Trigger(TRIGGER_DAMAGED)
                             .Cmd(cCmdBuilder(FLOW_CMD_FLOW_OPERATION).Params({5, 0, 0, 0}).NoWait())
                             .Cmd(WaitCmd(5).Anime(1)));
  cCharaBase& chara = world.AddChara(data);
  ASSERT_EQ(chara.m_FlowStates[0].m_Cues.size(), 1u);
  chara.FireTrigger(TRIGGER_DAMAGED);
  for (int pass = 0; pass < 50; ++pass) chara.RunFlowPass(0);
  EXPECT_EQ(chara.m_FlowStates[0].m_StoppedForever, 1);
  EXPECT_TRUE(chara.m_AnimeList.empty());
}

TEST_F(FlowCueTest, TheSwordAndJumpCommandsKeepTheLockedFrameAsItIs) {
  cTestWorld world;
  cCharaData data = cTestWorld::Definition();
  data.m_Flows.push_back(
      cFlowBuilder().Trigger(TRIGGER_DAMAGED).Cmd(cCmdBuilder(FLOW_CMD_SWORD).Duration(5).Anime(1)));
  cCharaBase& chara = world.AddChara(data);
  EXPECT_EQ(chara.m_FlowStates[0].m_Cues[0].m_bHoldEnabled, 0);
  chara.FireTrigger(TRIGGER_DAMAGED);
  chara.RunFlowPass(0);
  ASSERT_EQ(chara.m_AnimeList.size(), 1u);
  EXPECT_EQ(chara.m_AnimeList[0].m_Player.Animes()[0][2].m_nDuration, 18);
}

}  // namespace

namespace {

// An always-running flow of group A (ID 5) stopped for ever, while running or
// before it ever ran, then restarted by "開始" by ID from another flow, beside
// a rival always-running flow of group A: the restarted flow is never stepped
// again, so it must not hold the group, and the rival keeps running.
TEST(FlowOwnOperationTest, ARestartedFlowStoppedForEverLeavesItsGroupFree) {
  for (const bool wasRunning : {true, false}) {
    SCOPED_TRACE(wasRunning ? "stopped for ever while running" : "stopped for ever before it ran");
    cTestWorld world;
    cCharaData data = cTestWorld::Definition();
    data.m_Flows.push_back(cFlowBuilder().Trigger(TRIGGER_ALWAYS).Group(1).Cmd(CodeCmd("C3 = C3 + 1")));
    data.m_Flows.push_back(
        cFlowBuilder().Trigger(TRIGGER_ALWAYS).Group(1).Id(5).Cmd(CodeCmd("C1 = C1 + 1").Duration(100)));
    data.m_Flows.push_back(cFlowBuilder().Trigger(TRIGGER_BY_FLOW_OPERATION).Cmd(
        cCmdBuilder(FLOW_CMD_FLOW_OPERATION).Params({0, 2, 5, 0})));
    cCharaBase& chara = world.AddChara(data);
    if (wasRunning) StartFlow(chara.m_FlowStates[1], chara);
    chara.m_FlowStates[1].StopForever(chara);
    world.Frame();
    StartFlow(chara.m_FlowStates[2], chara);
    world.Frame();
    const int rivalRuns = cTestWorld::CommonVar(3);
    for (int i = 0; i < 4; ++i) world.Frame();
    EXPECT_EQ(cTestWorld::CommonVar(3), rivalRuns + 4);
    EXPECT_EQ(chara.m_GroupRunning[1], 0);
    EXPECT_EQ(cTestWorld::CommonVar(1), 0) << "the flow stopped for ever runs no more";
  }
}

}  // namespace
