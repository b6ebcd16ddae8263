// The arrange command, the parameter table it is limited by, and the loop
// unrolling.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/RecordTestSupport.h"
#include "flow/Arrange.h"
#include "flow/CmdParamDesc.h"
#include "flow/StatusOperation.h"
#include "support/FlowBuilder.h"
#include "support/TestWorld.h"
#include "world/FlowServices.h"

namespace {

// An arrange: change parameter `param` of the next command of `type` by
// `op` with variable `operand` of `source`.
cCmdBuilder ArrangeCmd(int type, int param, int op, int source, int operand) {
  return std::move(cCmdBuilder(FLOW_CMD_ARRANGE).Params({type, param, op, source, operand}));
}

// A shot command of 10 shots, formation "落雷" (kind 3), motion "ウェーブ" (8).
cCmdBuilder ShotCmd() {
  cCmdBuilder shot(FLOW_CMD_SHOT);
  shot.Shot().m_nCount = 10;
  shot.Shot().m_nFormation = 3;
  shot.Shot().m_nMotion = 8;
  return shot;
}

// Runs a flow of `commands` once, from its trigger to its end, on a fresh
// character; the character.
cCharaBase& RunOnce(cTestWorld& world, const std::vector<cCommand>& commands) {
  cFlowBuilder flow;
  flow.Trigger(TRIGGER_DAMAGED);
  for (const cCommand& command : commands) flow.Cmd(command);
  cCharaData data = cTestWorld::Definition();
  data.m_Flows.push_back(flow);
  cCharaBase& chara = world.AddChara(data);
  chara.FireTrigger(TRIGGER_DAMAGED);
  for (int step = 0; step < 100 && chara.m_FlowStates[0].m_Running != 0; ++step) chara.RunFlowPass(0);
  return chara;
}

const cEdShot& ShotOf(cCharaBase& chara, int command) { return *chara.m_Data.m_Flows[0].m_Commands[command].m_Shot; }

TEST(ParamTableTest, StartUpBuildsFortyTypesAndTheListedRows) {
  kCmdParamDesc.clear();
  BuildCmdParamDesc();
  ASSERT_EQ(kCmdParamDesc.size(), 40u);
  struct cCase {
    int type;
    std::size_t rows;
  };
  for (const cCase& c : std::vector<cCase>{{0, 0},  {2, 6},  {3, 0},  {5, 6},  {6, 6},  {11, 29}, {12, 4},
                                           {13, 6}, {14, 8}, {15, 7}, {17, 5}, {19, 5}, {20, 6},  {21, 3},
                                           {22, 2}, {24, 1}, {26, 2}, {29, 5}, {32, 6}, {33, 4},  {34, 1},
                                           {37, 0}, {39, 0}}) {
    SCOPED_TRACE(c.type);
    EXPECT_EQ(kCmdParamDesc[c.type].size(), c.rows);
  }
  EXPECT_EQ(kCmdParamDesc[11][5].m_Label, "発射数");
  EXPECT_EQ(kCmdParamDesc[11][5].m_Min, 1);
  EXPECT_EQ(kCmdParamDesc[11][5].m_Max, 127);
  // Built twice, it stays as it is.
  BuildCmdParamDesc();
  EXPECT_EQ(kCmdParamDesc[11].size(), 29u);
}

TEST(ArrangeTest, AnArrangeChangesTheNextCommandOfItsTypeWithinTheLimits) {
  struct cCase {
    const char* name;
    int param;
    int op;
    int32_t operand;
    int32_t (*read)(const cEdShot&);
    int32_t expected;
  };
  const auto count = [](const cEdShot& shot) { return int32_t{shot.m_nCount}; };
  const std::vector<cCase> cases = {
      {"10 + 500 shots is 127", 5, STATUS_OP_ADD, 500, count, 127},
      {"10 - 500 shots is 1", 5, STATUS_OP_SUB, 500, count, 1},
      {"10 shots x 3", 5, STATUS_OP_MUL, 3, count, 30},
      {"10 shots / 0 stays", 5, STATUS_OP_DIV, 0, count, 10},
      {"150 % of 10 shots", 5, STATUS_OP_PERCENT, 150, count, 15},
      {"an unknown operation", 5, 17, 3, count, 10},
      // "落雷" allows 1 .. 50 columns (its parameter 2).
      {"formation value 2 by the formation table", 3, STATUS_OP_SET, 80,
       [](const cEdShot& shot) { return int32_t{shot.m_nFormationParams[1]}; }, 50},
      // "ウェーブ" allows a start angle 0 .. 359 (its parameter 3).
      {"motion value 3 by the motion table", 17, STATUS_OP_SET, 400,
       [](const cEdShot& shot) { return int32_t{shot.m_nMotionParams[2]}; }, 359},
      {"power", 27, STATUS_OP_SET, -5000000, [](const cEdShot& shot) { return shot.m_nPower; }, -999999},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.name);
    cTestWorld world;
    cTestWorld::CommonVar(3) = c.operand;
    cCharaBase& chara = RunOnce(world, {ArrangeCmd(FLOW_CMD_SHOT, c.param, c.op, 0, 3), ShotCmd()});
    EXPECT_EQ(c.read(ShotOf(chara, 1)), c.expected);
  }
}

TEST(ArrangeTest, EntriesOfAnotherTypeOrBeyondTheRowsChangeNothingAndAreDropped) {
  cTestWorld world;
  cTestWorld::CommonVar(1) = 5;
  cCharaBase& chara = RunOnce(world, {
                                         ArrangeCmd(FLOW_CMD_SWORD, 0, STATUS_OP_SET, 0, 1),  // another type
                                         WaitCmd(0),                                           // takes and drops it
                                         ShotCmd(),
                                         ArrangeCmd(FLOW_CMD_SHOT, 29, STATUS_OP_SET, 0, 1),  // beyond the rows
                                         ShotCmd(),
                                         ArrangeCmd(FLOW_CMD_GROUND_TURN_MOVE, 0, STATUS_OP_SET, 0, 1),
                                         cCmdBuilder(FLOW_CMD_GROUND_TURN_MOVE),
                                     });
  EXPECT_EQ(ShotOf(chara, 2).m_nCount, 10);
  EXPECT_EQ(ShotOf(chara, 4).m_nCount, 10);
  EXPECT_TRUE(chara.m_FlowStates[0].m_Arranges.empty());
}

TEST(ArrangeTest, TwoArrangesInARowBothApplyInOrder) {
  cTestWorld world;
  cTestWorld::CommonVar(1) = 4;
  cTestWorld::CommonVar(2) = 3;
  cCharaBase& chara = RunOnce(world, {ArrangeCmd(FLOW_CMD_SHOT, 5, STATUS_OP_ADD, 0, 1),
                                      ArrangeCmd(FLOW_CMD_SHOT, 5, STATUS_OP_MUL, 0, 2), ShotCmd()});
  EXPECT_EQ(ShotOf(chara, 2).m_nCount, (10 + 4) * 3);
}

TEST(ArrangeTest, OperandsComeFromVariablesInTheirLists) {
  struct cCase {
    const char* name;
    int source;
    int number;
    bool applies;
  };
  const std::vector<cCase> cases = {
      {"common variable 2", 0, 2, true},
      {"common variable 0 is refused", 0, 0, false},
      {"common variable 1001 is beyond the list", 0, 1001, false},
      {"stage variable 3", 1, 3, true},
      {"own variable 4", 2, 4, true},
      {"own variable 9 is beyond the list", 2, 9, false},
      {"an unknown source", 7, 2, false},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.name);
    cTestWorld world;
    cTestWorld::CommonVar(0) = 2;
    cTestWorld::CommonVar(2) = 2;
    world.StageVar(3) = 2;
    cCharaData data = cTestWorld::Definition();
    cCommand shot = ShotCmd();
    cCharaBase& chara = world.AddChara(data);
    chara.m_Vars[4] = 2;
    cArrangeEntry entry{FLOW_CMD_SHOT, 5, STATUS_OP_ADD, c.source, c.number};
    ApplyArrange(shot, entry, chara);
    EXPECT_EQ(shot.m_Shot->m_nCount, c.applies ? 12 : 10);
  }
}

TEST(ArrangeTest, ParametersLiveWhereTheirTypeKeepsThem) {
  cTestWorld world;
  cCharaBase& chara = world.AddChara();
  cTestWorld::CommonVar(1) = 7;
  const auto set = [&](cCommand& command, int type, int param) {
    ApplyArrange(command, cArrangeEntry{type, param, STATUS_OP_SET, 0, 1}, chara);
  };
  // Movement fields.
  cCmdBuilder straight(FLOW_CMD_STRAIGHT_MOVE);
  straight.Move();
  cCommand move = straight;
  set(move, FLOW_CMD_STRAIGHT_MOVE, 3);
  EXPECT_EQ(move.m_Move->m_nTargetOffsetY, 7);
  // Integer parameters by their map: stage clear 2 is parameter 7.
  cCommand clear = cCmdBuilder(FLOW_CMD_STAGE_CLEAR);
  set(clear, FLOW_CMD_STAGE_CLEAR, 2);
  EXPECT_EQ(clear.m_Params[7], 7);
  // The picture's number 0 reaches nothing.
  cCommand picture = cCmdBuilder(FLOW_CMD_PICTURE);
  set(picture, FLOW_CMD_PICTURE, 0);
  EXPECT_EQ(picture.m_Params, cSafeVector<int32_t>(15, 0));
  // An item command of type t counts as type t + 15.
  cCommand itemMessage = cCmdBuilder::Item(FLOW_CMD_MESSAGE - kItemToFlowCmdOffset);
  set(itemMessage, FLOW_CMD_MESSAGE, 0);
  EXPECT_EQ(itemMessage.m_Params[13], 7);
  // A command without its shot parameters is left alone.
  cCommand bare = cCmdBuilder(FLOW_CMD_SHOT);
  set(bare, FLOW_CMD_SHOT, 5);
  EXPECT_TRUE(bare.m_Shot.IsEmpty());
}

TEST(ArrangeTest, ArrangedValuesStayForLaterRunsOfTheCommand) {
  cTestWorld world;
  cTestWorld::CommonVar(1) = 5;
  cCharaData data = cTestWorld::Definition();
  data.m_Flows.push_back(
      cFlowBuilder().Trigger(TRIGGER_DAMAGED).Cmd(ArrangeCmd(FLOW_CMD_SHOT, 5, STATUS_OP_ADD, 0, 1)).Cmd(ShotCmd()));
  cCharaBase& chara = world.AddChara(data);
  for (int run = 0; run < 2; ++run) {
    chara.ClearFlowFlags();
    chara.FireTrigger(TRIGGER_DAMAGED);
    for (int step = 0; step < 10 && chara.m_FlowStates[0].m_Running != 0; ++step) chara.RunFlowPass(0);
  }
  EXPECT_EQ(ShotOf(chara, 1).m_nCount, 20);
}

TEST(ArrangeTest, ItemCommandsQueueOnTheHeroForItsNextCommand) {
  cTestWorld world;
  cHero& hero = world.AddHero();
  cTestWorld::CommonVar(1) = 4;
  cCommand arrange = cCmdBuilder::Item(FLOW_CMD_ARRANGE - kItemToFlowCmdOffset)
                         .Params({FLOW_CMD_SET_TARGET, 1, STATUS_OP_SET, 0, 1});
  cCommand target = cCmdBuilder::Item(FLOW_CMD_SET_TARGET - kItemToFlowCmdOffset);
  EXPECT_EQ(FlowServices().RunItemCommand(hero, arrange), 0);
  ASSERT_EQ(hero.m_Arranges.size(), 1u);
  FlowServices().ApplyHeroArranges(target, hero);
  EXPECT_EQ(target.m_Params[10], 4);
}

// ---- loops -----------------------------------------------------------------------------

cCommand Marked(int mark) { return CodeCmd("C" + std::to_string(mark)); }
cCommand LoopCmd(int repeat, int block) { return cCmdBuilder(FLOW_CMD_LOOP).Params({repeat, block}); }

std::string Texts(const cSafeVector<cCommand>& commands) {
  std::string texts;
  for (const cCommand& command : commands) {
    texts += command.m_nType == FLOW_CMD_LOOP ? std::string("L") : command.m_strText.substr(1);
    texts += ' ';
  }
  return texts;
}

TEST(LoopTest, LoopsRepeatTheBlockThatFollowsThem) {
  struct cCase {
    const char* name;
    std::vector<cCommand> commands;
    const char* expanded;
  };
  const std::vector<cCase> cases = {
      {"3 x 2", {Marked(0), LoopCmd(3, 2), Marked(1), Marked(2), Marked(3)}, "0 1 2 1 2 1 2 3 "},
      {"a block past the end", {LoopCmd(2, 5), Marked(1), Marked(2)}, "1 2 1 2 "},
      {"repeat 0 keeps one block", {LoopCmd(0, 1), Marked(1)}, "1 "},
      {"a negative repeat keeps one block", {LoopCmd(-4, 1), Marked(1)}, "1 "},
      {"a negative block drops only the loop", {LoopCmd(3, -1), Marked(1)}, "1 "},
      {"a loop at the end", {Marked(1), LoopCmd(3, 1)}, "1 "},
      {"nested", {LoopCmd(2, 3), Marked(1), LoopCmd(2, 1), Marked(2), Marked(3)}, "1 2 2 1 2 2 3 "},
      // An inner loop takes its block from the list as it stands: in the
      // first copy its block is the next copy's first command.
      {"a loop at the end of a block", {LoopCmd(2, 2), Marked(1), LoopCmd(2, 1), Marked(2)}, "1 1 1 2 2 "},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.name);
    cSafeVector<cCommand> commands(c.commands.begin(), c.commands.end());
    ExpandLoopCommands(commands);
    EXPECT_EQ(Texts(commands), c.expanded);
    // The same as unrolling the first loop again and again.
    cSafeVector<cCommand> stepwise(c.commands.begin(), c.commands.end());
    while (ExpandFirstLoop(stepwise) != 0) {
    }
    EXPECT_EQ(Texts(stepwise), c.expanded);
  }
}

TEST(LoopTest, ItemListsLoopWithTheirOwnLoopType) {
  cSafeVector<cCommand> commands = {cCmdBuilder::Item(24).Params({2, 1}), Marked(1)};
  ExpandLoopCommands(commands);
  EXPECT_EQ(Texts(commands), "1 1 ");
}

TEST(LoopTest, UnrollingStopsAtTheCap) {
  cSafeVector<cCommand> huge = {LoopCmd(INT32_MAX, 2), Marked(1), Marked(2), Marked(3)};
  ExpandLoopCommands(huge);
  // Whole blocks up to the cap, then the command after the block.
  EXPECT_EQ(huge.size(), static_cast<std::size_t>(kMaxExpandedCommands) - 1);
  EXPECT_EQ(huge.back().m_strText, "C3");

  // Nested loops multiply: the cap holds them too.
  cSafeVector<cCommand> nested = {LoopCmd(300, 2), LoopCmd(300, 1), Marked(1), Marked(2)};
  ExpandLoopCommands(nested);
  EXPECT_LE(nested.size(), static_cast<std::size_t>(kMaxExpandedCommands));
  EXPECT_EQ(nested.back().m_strText, "C2");
}

// The lines of the report that tell of a cut loop expansion.
int LoopCutLines() {
  const std::string report = recordtest::ReportText();
  int lines = 0;
  for (std::size_t at = report.find("loop expansion"); at != std::string::npos;
       at = report.find("loop expansion", at + 1)) {
    ++lines;
  }
  return lines;
}

// A loop whose one-command block is another loop hands that loop on, and the
// list never grows: such a pair is dropped and the unrolling goes on with what
// follows; a chain that never ends in some other way stops after the bound on
// unrolled loops, the loops left dropped. Either list is reported once.
TEST(LoopTest, LoopChainsThatNeverGrowEndWithOneLineInTheReport) {
  recordtest::cTempFolder folder;
  struct cCase {
    const char* name;
    std::vector<cCommand> commands;
    const char* expanded;
    int reported;
  };
  const std::vector<cCase> cases = {
      {"a loop over a loop", {LoopCmd(2, 1), LoopCmd(2, 1), Marked(1)}, "1 ", 1},
      {"a chain of three after a command",
       {Marked(1), LoopCmd(3, 1), LoopCmd(2, 1), LoopCmd(2, 1), Marked(2), Marked(3)},
       "1 2 3 ",
       1},
      // A loop repeated once hands nothing on: this chain ends by itself.
      {"a loop over a loop of one", {LoopCmd(2, 1), LoopCmd(1, 1), Marked(1)}, "1 ", 0},
      {"a loop after the chain", {LoopCmd(2, 1), LoopCmd(2, 1), Marked(1), LoopCmd(2, 1), Marked(2)}, "1 2 2 ", 1},
      // A block past the end of the list is cut to what is left: one loop.
      {"a chain at the end", {Marked(1), LoopCmd(2, 4), LoopCmd(2, 3)}, "1 ", 1},
      // [loop 2 x 2, loop 2 x 2, skipped loop, 1] comes back to
      // [loop 2 x 2, skipped loop, loop 2 x 2, skipped loop, 1] every two loops.
      {"a chain of two steps", {LoopCmd(2, 2), LoopCmd(2, 2), LoopCmd(0, 0), Marked(1)}, "1 ", 1},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.name);
    const int before = LoopCutLines();
    cSafeVector<cCommand> commands(c.commands.begin(), c.commands.end());
    ExpandLoopCommands(commands);
    EXPECT_EQ(Texts(commands), c.expanded);
    EXPECT_EQ(LoopCutLines() - before, c.reported);
  }
}

TEST(LoopTest, InstallingAFlowWithALoopChainPlaysWhatIsLeftAndNamesTheFlow) {
  recordtest::cTempFolder folder;
  cTestWorld world;
  cCharaData data = cTestWorld::Definition();
  data.m_nCid = 12;
  data.m_Flows.push_back(cFlowBuilder().Trigger(TRIGGER_DAMAGED).Cmd(CodeCmd("C2 = 1")));
  data.m_Flows.push_back(cFlowBuilder()
                             .Trigger(TRIGGER_DAMAGED)
                             .Id(7)
                             .Cmd(LoopCmd(2, 1))
                             .Cmd(LoopCmd(2, 1))
                             .Cmd(CodeCmd("C1 = C1 + 1")));
  cCharaBase& chara = world.AddChara(data);
  chara.FireTrigger(TRIGGER_DAMAGED);
  for (int step = 0; step < 5; ++step) chara.RunFlowPass(0);
  EXPECT_EQ(cTestWorld::CommonVar(1), 1);
  const std::string report = recordtest::ReportText();
  EXPECT_NE(report.find("flow 1 (ID 7) of character 12"), std::string::npos) << report;
  EXPECT_EQ(LoopCutLines(), 1);

  // More copies of the character (or summons of it, or the stage loaded
  // anew) unroll the same list from the same data: the one line stands for
  // them all.
  for (int copy = 0; copy < 3; ++copy) world.AddChara(data);
  EXPECT_EQ(LoopCutLines(), 1);
  // Another character with the same flow has a line of its own.
  data.m_nCid = 13;
  world.AddChara(data);
  EXPECT_EQ(LoopCutLines(), 2);
}

TEST(LoopTest, InstallingAFlowUnrollsItsLoops) {
  cTestWorld world;
  cCharaData data = cTestWorld::Definition();
  data.m_Flows.push_back(
      cFlowBuilder().Trigger(TRIGGER_DAMAGED).Cmd(LoopCmd(3, 1)).Cmd(CodeCmd("C1 = C1 + 1")).Build());
  cCharaBase& chara = world.AddChara(data);
  EXPECT_EQ(chara.m_Data.m_Flows[0].m_Commands.size(), 3u);
  EXPECT_EQ(chara.m_FlowStates[0].m_CmdStates.size(), 3u);
  chara.FireTrigger(TRIGGER_DAMAGED);
  for (int step = 0; step < 5; ++step) chara.RunFlowPass(0);
  EXPECT_EQ(cTestWorld::CommonVar(1), 3);
}

}  // namespace
