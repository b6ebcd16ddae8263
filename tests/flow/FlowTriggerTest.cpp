// Which flows a trigger starts: the per-frame guards under the compatibility
// switches, groups, the flow-ID filter, the object a trigger comes with, and
// the key sequences.

#include <gtest/gtest.h>

#include <vector>

#include "flow/FlowTriggers.h"
#include "support/FlowBuilder.h"
#include "support/TestWorld.h"

namespace {

// A common-variable condition: common variable `index` equals `value`.
cCond CommonVarIs(int index, int value) {
  cCond cond;
  cond.m_nKind = COND_COMMON_VAR;
  cond.m_nIndex = static_cast<int16_t>(index);
  cond.m_nValue = value;
  cond.m_nCompare = 0;
  return cond;
}

// Drives frames of three sub-steps by hand: the frame's flag clearing, then
// per sub-step trigger 0 and the flow pass. `before(subStep)` runs before
// each sub-step (counted from 1); the sub-steps at which common variable 1
// grew are returned.
template <class tBefore>
std::vector<int> RunSubSteps(cCharaBase& chara, int count, tBefore before) {
  std::vector<int> grew;
  for (int step = 1; step <= count; ++step) {
    if ((step - 1) % g_Stage.m_SubSteps == 0) chara.ClearFlowFlags();
    before(step);
    const int was = cTestWorld::CommonVar(1);
    chara.FireTrigger(TRIGGER_ALWAYS);
    chara.RunFlowPass(0);
    if (cTestWorld::CommonVar(1) != was) grew.push_back(step);
  }
  return grew;
}

struct cSwitches {
  int retrigger;   // the trigger switch of data before 525
  int earlyGuard;  // the trigger switch of data before 744
};

// A character running `flow` under the two trigger switches.
cCharaBase& SwitchedChara(cTestWorld& world, cSwitches switches, const cFlow& flow) {
  g_System.m_bTriggerSwitchA = switches.retrigger;
  g_System.m_bTriggerSwitchB = switches.earlyGuard;
  cCharaData data = cTestWorld::Definition();
  data.m_Flows.push_back(flow);
  return world.AddChara(data);
}

TEST(FlowTriggerTest, AFlowThatEndsMidFrameStartsAgainAsTheGuardsAllow) {
  // Started at sub-step 1, the flow ends at sub-step 19, the first of a frame
  // of three sub-steps.
  struct cCase {
    cSwitches switches;
    int restartAt;
  };
  const std::vector<cCase> cases = {
      {{0, 0}, 20},  // the late guard saw the flow running, so it may start again this frame
      {{0, 1}, 22},  // the early guard marked it at sub-step 19: next frame
      {{1, 0}, 20},  // no guard
      {{1, 1}, 20},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.switches.retrigger << c.switches.earlyGuard);
    cTestWorld world({.subSteps = 3});
    cCharaBase& chara = SwitchedChara(
        world, c.switches,
        cFlowBuilder().Trigger(TRIGGER_ALWAYS).Cmd(CodeCmd("C1 = C1 + 1").NoWait()).Cmd(WaitCmd(1)).Cmd(WaitCmd(0)));
    const std::vector<int> starts = RunSubSteps(chara, 24, [](int) {});
    ASSERT_GE(starts.size(), 2u);
    EXPECT_EQ(starts[0], 1);
    EXPECT_EQ(starts[1], c.restartAt);
  }
}

TEST(FlowTriggerTest, AFlowWhoseConditionsFailedIsNotTriedAgainInTheSameFrameUnderAGuard) {
  struct cCase {
    cSwitches switches;
    int startAt;
  };
  const std::vector<cCase> cases = {
      {{0, 0}, 4},  // failed at sub-step 1: the next frame
      {{0, 1}, 4},
      {{1, 0}, 2},  // no guard: as soon as the condition holds
      {{1, 1}, 2},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.switches.retrigger << c.switches.earlyGuard);
    cTestWorld world({.subSteps = 3});
    cCharaBase& chara = SwitchedChara(
        world, c.switches,
        cFlowBuilder().Trigger(TRIGGER_ALWAYS).Cond(CommonVarIs(5, 1)).Cmd(CodeCmd("C1 = C1 + 1").Duration(5)));
    const std::vector<int> starts = RunSubSteps(chara, 6, [](int step) {
      if (step == 2) cTestWorld::CommonVar(5) = 1;
    });
    ASSERT_FALSE(starts.empty());
    EXPECT_EQ(starts[0], c.startAt);
  }
}

TEST(FlowTriggerTest, AFlowStartsAtMostOnceAFrameEvenWithoutGuards) {
  cTestWorld world({.subSteps = 3});
  cCharaBase& chara =
      SwitchedChara(world, {1, 0}, cFlowBuilder().Trigger(TRIGGER_ALWAYS).Cmd(CodeCmd("C1 = C1 + 1")));
  EXPECT_EQ(RunSubSteps(chara, 6, [](int) {}), (std::vector<int>{1, 4}));
}

TEST(FlowTriggerTest, AGroupRunsOneAlwaysFlowAtATimeAndIsFreedWhenItsFlowEnds) {
  cTestWorld world;
  cCharaData data = cTestWorld::Definition();
  // Flow 0 of group A runs for a tenth (6 sub-steps); flow 1 of group A
  // counts its starts in C2.
  data.m_Flows.push_back(
      cFlowBuilder().Trigger(TRIGGER_ALWAYS).Group(1).Cmd(CodeCmd("C1 = C1 + 1").NoWait()).Cmd(WaitCmd(1)));
  data.m_Flows.push_back(cFlowBuilder().Trigger(TRIGGER_ALWAYS).Group(1).Cmd(CodeCmd("C2 = C2 + 1")));
  cCharaBase& chara = world.AddChara(data);

  world.Frame();  // flow 0 starts; flow 1 is refused: the group started this frame
  EXPECT_EQ(cTestWorld::CommonVar(1), 1);
  EXPECT_EQ(cTestWorld::CommonVar(2), 0);
  for (int frame = 2; frame <= 6; ++frame) world.Frame();  // flow 0 ends in frame 6
  EXPECT_EQ(cTestWorld::CommonVar(2), 0);
  EXPECT_EQ(chara.m_GroupRunning[1], 0);  // freed at the end of the pass
  world.Frame();                          // both could start: flow 0 is first
  EXPECT_EQ(cTestWorld::CommonVar(1), 2);
  EXPECT_EQ(cTestWorld::CommonVar(2), 0);
}

TEST(FlowTriggerTest, AFlowIdFilterStartsOnlyTheFlowsOfThatId) {
  cTestWorld world;
  cCharaData data = cTestWorld::Definition();
  data.m_Flows.push_back(cFlowBuilder().Trigger(TRIGGER_ATTACK_DAMAGED).Id(1).Cmd(CodeCmd("C1 = C1 + 1")));
  data.m_Flows.push_back(cFlowBuilder().Trigger(TRIGGER_ATTACK_DAMAGED).Id(2).Cmd(CodeCmd("C2 = C2 + 1")));
  cCharaBase& chara = world.AddChara(data);
  cCharaBase& victim = world.AddChara();

  chara.FireFlowTrigger(TRIGGER_ATTACK_DAMAGED, &victim, 2);
  chara.RunFlowPass(0);
  EXPECT_EQ(cTestWorld::CommonVar(1), 0);
  EXPECT_EQ(cTestWorld::CommonVar(2), 1);

  chara.ClearFlowFlags();
  chara.FireFlowTrigger(TRIGGER_ATTACK_DAMAGED, &victim, 0);
  chara.RunFlowPass(0);
  EXPECT_EQ(cTestWorld::CommonVar(1), 1);
  EXPECT_EQ(cTestWorld::CommonVar(2), 2);
}

TEST(FlowTriggerTest, TheOtherObjectStaysInTheTargetSlotOnlyWhenTheFlowStarts) {
  cTestWorld world;
  cCharaData data = cTestWorld::Definition();
  // The flow puts the attacker in target slot 2 and asks whether that
  // target's HP is 5.
  cCond targetHp;
  targetHp.m_nKind = COND_STATUS;
  targetHp.m_nObject = 2;  // "ターゲット2"
  targetHp.m_nItem = 1;    // HP
  targetHp.m_nValue = 5;
  data.m_Flows.push_back(
      cFlowBuilder().Trigger(TRIGGER_DAMAGED).WithOther(1).Cond(targetHp).Cmd(CodeCmd("C1 = C1 + 1")));
  cCharaBase& chara = world.AddChara(data);
  cCharaBase& before = world.AddChara();
  cCharaBase& attacker = world.AddChara();
  chara.SetTarget(1, &before, 1);

  attacker.m_Hp = 4;
  chara.FireFlowTrigger(TRIGGER_DAMAGED, &attacker, 0);
  EXPECT_EQ(chara.m_FlowStates[0].m_Running, 0);
  EXPECT_EQ(chara.Target(1), &before);
  EXPECT_TRUE(attacker.m_CharaLinks.empty());
  EXPECT_EQ(before.m_CharaLinks.size(), 1u);

  chara.ClearFlowFlags();
  attacker.m_Hp = 5;
  chara.FireFlowTrigger(TRIGGER_DAMAGED, &attacker, 0);
  EXPECT_EQ(chara.m_FlowStates[0].m_Running, 1);
  EXPECT_EQ(chara.Target(1), &attacker);
  EXPECT_EQ(attacker.m_CharaLinks, (cSafeVector<cCharaLink>{{&chara, 1}}));
  EXPECT_TRUE(before.m_CharaLinks.empty());
}

TEST(FlowTriggerTest, AStartedFlowRecordsTheHeldDirectionSlot) {
  cTestWorld world;
  cCharaData data = cTestWorld::Definition();
  data.m_Flows.push_back(cFlowBuilder().Trigger(TRIGGER_DAMAGED).Cmd(WaitCmd(1)));
  cCharaBase& chara = world.AddChara(data);
  cTestWorld::PressKeys(kDirRight | kDirUp, 0);
  chara.FireTrigger(TRIGGER_DAMAGED);
  EXPECT_EQ(chara.m_FlowStates[0].m_TriggerKeySlot, 7);  // right and up
}

// ---- key sequences ---------------------------------------------------------------

// Keys of the key conditions: direction slots 0 to 9, button slots from 10
// (10 is "no button", 11 button 1, 12 button 2).
constexpr int kKeyLeft = 1;
constexpr int kKeyRight = 2;
constexpr int kKeyDown = 4;
constexpr int kKeyButton1 = 11;
constexpr int kKeyButton2 = 12;
constexpr uint16_t kButton1 = 1;
constexpr uint16_t kButton2 = 2;

struct cInput {
  uint16_t directions;
  uint16_t buttons;
  int frames;
};

// Whether a flow with the key conditions `conds` fires after the inputs.
bool SequenceFires(const std::vector<cKeyCond>& conds, int tolerance, const std::vector<cInput>& inputs,
                   int facing = 1, int looseOrder = 0) {
  cTestWorld world;
  g_System.m_bConditionSwitch = looseOrder;
  cFlowBuilder flow;
  flow.Trigger(TRIGGER_DAMAGED).KeyTolerance(tolerance).Cmd(WaitCmd(1));
  for (const cKeyCond& cond : conds) flow.Key(cond);
  cCharaData data = cTestWorld::Definition();
  data.m_Flows.push_back(flow);
  cCharaBase& chara = world.AddChara(data);
  chara.m_Facing = facing;
  for (const cInput& input : inputs) cTestWorld::HoldKeys(input.directions, input.buttons, input.frames);
  return KeyConditionsHold(chara, chara.m_FlowStates[0]);
}

TEST(KeySequenceTest, SequencesMatchWithinTheirTolerance) {
  const cKeyCond down = KeyCondOf({{kKeyDown, KEY_STATE_PRESSED}});
  const cKeyCond right = KeyCondOf({{kKeyRight, KEY_STATE_PRESSED}});
  struct cCase {
    const char* name;
    int tolerance;
    std::vector<cInput> inputs;
    bool fires;
  };
  const std::vector<cCase> cases = {
      {"down then right", 0, {{0, 0, 2}, {kDirDown, 0, 3}, {kDirRight, 0, 1}}, true},
      {"right alone", 3, {{0, 0, 5}, {kDirRight, 0, 1}}, false},
      {"a gap of 2 frames, tolerance 0", 0, {{kDirDown, 0, 3}, {0, 0, 2}, {kDirRight, 0, 1}}, false},
      {"a gap of 2 frames, tolerance 3", 3, {{kDirDown, 0, 3}, {0, 0, 2}, {kDirRight, 0, 1}}, true},
      {"a gap of 4 frames, tolerance 3", 3, {{kDirDown, 0, 3}, {0, 0, 4}, {kDirRight, 0, 1}}, false},
      {"the newest released", 3, {{kDirDown, 0, 3}, {kDirRight, 0, 1}, {0, 0, 1}}, false},
      {"in the wrong order", 3, {{kDirRight, 0, 3}, {kDirDown, 0, 1}}, false},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SequenceFires({down, right}, c.tolerance, c.inputs), c.fires);
  }
}

TEST(KeySequenceTest, HeldFramesRulesAndRelease) {
  struct cCase {
    const char* name;
    cKeyCond cond;
    std::vector<cInput> inputs;
    bool fires;
  };
  const cKeyCond twoToFour = KeyCondOf({{kKeyButton1, KEY_STATE_PRESSED}}, 0, 2, 4);
  const std::vector<cCase> cases = {
      {"held 1 of 2..4 frames", twoToFour, {{0, kButton1, 1}}, false},
      {"held 3 of 2..4 frames", twoToFour, {{0, kButton1, 3}}, true},
      {"held 5 of 2..4 frames", twoToFour, {{0, kButton1, 5}}, false},
      {"released", KeyCondOf({{kKeyButton1, KEY_STATE_RELEASED}}), {{0, kButton1, 2}, {0, 0, 1}}, true},
      {"released while held", KeyCondOf({{kKeyButton1, KEY_STATE_RELEASED}}), {{0, kButton1, 2}}, false},
      {"rule 0, one of two held", KeyCondOf({{kKeyButton1, 1}, {kKeyButton2, 1}}, 0), {{0, kButton1, 1}}, false},
      {"rule 1, one of two held", KeyCondOf({{kKeyButton1, 1}, {kKeyButton2, 1}}, 1), {{0, kButton1, 1}}, true},
      {"rule 2, one of two held", KeyCondOf({{kKeyButton1, 1}, {kKeyButton2, 1}}, 2), {{0, kButton1, 1}}, true},
      {"rule 2, both held", KeyCondOf({{kKeyButton1, 1}, {kKeyButton2, 1}}, 2), {{0, kButton1 | kButton2, 1}},
       false},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SequenceFires({c.cond}, 3, c.inputs), c.fires);
  }
}

TEST(KeySequenceTest, FacingRelativeDirectionsAreMirroredForALeftFacingCharacter) {
  cKeyCond forward = KeyCondOf({{kKeyRight, KEY_STATE_PRESSED}});
  forward.m_bFacingRelative = 1;
  const std::vector<cInput> pressLeft = {{kDirLeft, 0, 1}};
  EXPECT_TRUE(SequenceFires({forward}, 0, pressLeft, 0));
  EXPECT_FALSE(SequenceFires({forward}, 0, pressLeft, 1));
  forward.m_bFacingRelative = 0;
  EXPECT_FALSE(SequenceFires({forward}, 0, pressLeft, 0));
}

TEST(KeySequenceTest, AnOlderKeyMatchingOnlyWithTheNewerOneCountsUnderTheLooseOrderSwitch) {
  // Both buttons went down together: button 1 matches only one frame newer
  // than where button 2's run began, where button 2 matches too.
  const cKeyCond first = KeyCondOf({{kKeyButton1, KEY_STATE_PRESSED}});
  const cKeyCond second = KeyCondOf({{kKeyButton2, KEY_STATE_PRESSED}});
  const std::vector<cInput> together = {{0, 0, 3}, {0, kButton1 | kButton2, 2}};
  EXPECT_FALSE(SequenceFires({first, second}, 3, together));
  EXPECT_TRUE(SequenceFires({first, second}, 3, together, 1, 1));
  // Pressed a frame apart, the order is clear either way.
  const std::vector<cInput> apart = {{0, 0, 3}, {0, kButton1, 1}, {0, kButton1 | kButton2, 1}};
  EXPECT_TRUE(SequenceFires({first, second}, 3, apart));
}

TEST(KeySequenceTest, ASequenceFiresOncePerCompletionUnlessHeld) {
  for (int hold : {0, 1}) {
    SCOPED_TRACE(hold);
    cTestWorld world;
    cFlowBuilder flow;
    flow.Trigger(TRIGGER_ALWAYS).Key(KeyCondOf({{kKeyButton1, KEY_STATE_PRESSED}})).Cmd(CodeCmd("C1 = C1 + 1"));
    if (hold != 0) flow.KeyHold();
    cCharaData data = cTestWorld::Definition();
    data.m_Flows.push_back(flow);
    world.AddChara(data);
    for (int frame = 0; frame < 3; ++frame) {
      cTestWorld::PressKeys(0, kButton1);
      world.Frame();
    }
    EXPECT_EQ(cTestWorld::CommonVar(1), hold != 0 ? 3 : 1);
    cTestWorld::PressKeys(0, 0);
    world.Frame();
    cTestWorld::PressKeys(0, kButton1);
    world.Frame();
    EXPECT_EQ(cTestWorld::CommonVar(1), hold != 0 ? 4 : 2);
  }
}

TEST(KeySequenceTest, AGroupFlowHeldBackByTheLatchFreesItsGroup) {
  cTestWorld world;
  cCharaData data = cTestWorld::Definition();
  data.m_Flows.push_back(cFlowBuilder()
                             .Trigger(TRIGGER_ALWAYS)
                             .Group(2)
                             .Key(KeyCondOf({{kKeyButton1, KEY_STATE_PRESSED}}))
                             .Cmd(CodeCmd("C1 = C1 + 1")));
  cCharaBase& chara = world.AddChara(data);
  cTestWorld::PressKeys(0, kButton1);
  world.Frame();
  cTestWorld::PressKeys(0, kButton1);
  chara.ClearFlowFlags();
  chara.FireTrigger(TRIGGER_ALWAYS);
  EXPECT_EQ(chara.m_GroupEnded[2], 1);
  EXPECT_EQ(chara.m_bGroupEndedPending, 1);
  chara.RunFlowPass(0);
  EXPECT_EQ(chara.m_GroupRunning[2], 0);
}

}  // namespace
