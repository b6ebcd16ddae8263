// Flows: the stored form and its version gates, the trigger upgrades, the memo,
// and the purge of flows flagged for removal (kept for the editor and by the
// keep-flows switch).

#include "data/Flow.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/ProcessFlags.h"
#include "data/FlowTestSupport.h"
#include "support/ByteBuilder.h"

namespace {

using flowtest::Bytes;
using flowtest::cFlowDataTest;
using flowtest::ReadAt;
using flowtest::Reload;
using flowtest::WriteAt;

class FlowFile : public cFlowDataTest {};

TEST_F(FlowFile, TriggerUpgradesInOrder) {
  struct Case {
    int version;
    uint8_t trigger;
    uint8_t group;
    uint8_t expectedTrigger;
    uint8_t expectedGroup;
  };
  const Case cases[] = {
      {100, 11, 0, 14, 0},  // 12 at 131, 14 at 164, untouched at 762
      {131, 11, 0, 14, 0},  {132, 11, 0, 13, 0}, {132, 10, 0, 12, 0}, {163, 4, 0, 4, 0},
      {160, 3, 5, 3, 0},    // a group only for the always trigger
      {160, 0, 5, 0, 5},    {163, 3, 5, 3, 5},   {164, 5, 0, 5, 0},
      {700, 18, 0, 21, 0},  // "ステージ開始前"
      {700, 17, 0, 17, 0},  {761, 19, 0, 22, 0}, {762, 18, 0, 18, 0}, {780, 18, 0, 18, 0},
      {100, 254, 0, 255, 0},  // damaged triggers do not wrap into valid ones
  };
  for (const Case& c : cases) {
    cFlow flow;
    flow.m_nTrigger = c.trigger;
    flow.m_nGroup = c.group;
    const cFlow loaded = Reload(flow, c.version);
    EXPECT_EQ(loaded.m_nTrigger, c.expectedTrigger) << "version " << c.version << " trigger " << int(c.trigger);
    EXPECT_EQ(loaded.m_nGroup, c.expectedGroup) << "version " << c.version << " trigger " << int(c.trigger);
  }
}

TEST_F(FlowFile, MembersAndStringsPresentByVersion) {
  cFlow flow;
  struct Case {
    int version;
    int members;
    int strings;
  };
  for (const Case c : {Case{675, 8, 0}, Case{676, 8, 1}, Case{762, 9, 1}, Case{767, 10, 1}, Case{DATA_VERSION, 10, 1}}) {
    EXPECT_EQ(flow.CountMembers(c.version), c.members) << c.version;
    EXPECT_EQ(flow.CountStrings(c.version), c.strings) << c.version;
  }
}

TEST_F(FlowFile, WithOtherAndTargetSlotExistFromTheirVersions) {
  cFlow flow;
  flow.m_bWithOther = 1;
  flow.m_nTargetSlot = 2;
  const cFlow at761 = Reload(flow, 761);
  EXPECT_EQ(at761.m_bWithOther, 0);
  EXPECT_EQ(at761.m_nTargetSlot, 0);
  const cFlow at766 = Reload(flow, 766);
  EXPECT_EQ(at766.m_bWithOther, 1);
  EXPECT_EQ(at766.m_nTargetSlot, 0);
  const cFlow current = Reload(flow, DATA_VERSION);
  EXPECT_EQ(current.m_nTargetSlot, 2);
}

TEST_F(FlowFile, TheMemoIsEmptiedOnReadingAndWrittenEmpty) {
  cFlow flow;
  flow.m_strMemo = "メモ";
  flow.m_nFlowId = 4;
  cFlow loaded = Reload(flow, DATA_VERSION);
  EXPECT_EQ(loaded.m_strMemo, "");
  EXPECT_EQ(loaded.m_nFlowId, 4);
  using testsupport::U8;
  const Bytes expected = testsupport::ByteBuilder()
                             .Record({U8(4), U8(0), U8(0), U8(0), U8(0), U8(0), U8(0), U8(0), U8(3), U8(0)}, {""})
                             .U32(0)
                             .U32(0)
                             .U32(0)
                             .Bytes();
  EXPECT_EQ(WriteAt(loaded), expected);
}

TEST_F(FlowFile, AFreshFlowHasKeyTolerance3AndKeepsItThroughAFile) {
  cFlow fresh;
  EXPECT_EQ(fresh.m_nKeyTolerance, 3);
  EXPECT_TRUE(fresh.m_Conds.empty() && fresh.m_KeyConds.empty() && fresh.m_Commands.empty());
  EXPECT_EQ(Reload(fresh, DATA_VERSION).m_nKeyTolerance, 3);
  // A list read from a file starts every element from a fresh flow.
  cSafeVector<cFlow> flows(2);
  cByteWriter out;
  WriteFlowVector(out, flows);
  cByteReader in(out.Bytes());
  cSafeVector<cFlow> loaded;
  ASSERT_TRUE(ReadFlowVector(in, loaded));
  ASSERT_EQ(loaded.size(), 2u);
  EXPECT_EQ(loaded[1].m_nKeyTolerance, 3);
}

TEST_F(FlowFile, ListsRoundTrip) {
  cFlow flow;
  flow.m_nFlowId = 26;
  flow.m_nGroup = 1;
  flow.m_nCondRule = 1;
  flow.m_bCondLatch = 1;
  flow.m_nTrigger = TRIGGER_BY_FLOW_OPERATION;
  flow.m_bWithOther = 1;
  flow.m_nTargetSlot = 3;
  flow.m_nKeyTolerance = 9;
  flow.m_bKeyContinuous = 1;
  flow.m_Conds.resize(2);
  flow.m_Conds[1].m_nKind = COND_STATUS;
  flow.m_Conds[1].m_nRightIndex = -5;
  flow.m_KeyConds.resize(1);
  flow.m_KeyConds[0].m_Keys[18] = KEY_STATE_RELEASED;
  flow.m_Commands.resize(3);
  flow.m_Commands[2].m_nType = FLOW_CMD_TURN;
  flow.m_Commands[2].m_Params.assign(1, 11);
  const Bytes written = WriteAt(flow);
  cFlow loaded;
  ASSERT_TRUE(ReadAt(written, DATA_VERSION, loaded));
  EXPECT_EQ(loaded.m_nFlowId, 26);
  EXPECT_EQ(loaded.m_nTrigger, TRIGGER_BY_FLOW_OPERATION);
  EXPECT_EQ(loaded.m_nTargetSlot, 3);
  EXPECT_EQ(loaded.m_nKeyTolerance, 9);
  ASSERT_EQ(loaded.m_Conds.size(), 2u);
  EXPECT_EQ(loaded.m_Conds[1].m_nRightIndex, -5);
  ASSERT_EQ(loaded.m_KeyConds.size(), 1u);
  EXPECT_EQ(loaded.m_KeyConds[0].m_Keys[18], KEY_STATE_RELEASED);
  ASSERT_EQ(loaded.m_Commands.size(), 3u);
  EXPECT_EQ(loaded.m_Commands[2].m_Params[0], 11);
  EXPECT_EQ(WriteAt(loaded), written);
}

TEST_F(FlowFile, ACopyOwnsItsCommands) {
  cFlow flow;
  flow.m_Commands.resize(1);
  flow.m_Commands[0].m_Shot.Create().m_nCount = 4;
  cFlow copy(flow);
  copy.m_Commands[0].m_Shot->m_nCount = 9;
  EXPECT_EQ(flow.m_Commands[0].m_Shot->m_nCount, 4);
}

// ---- purge of flagged flows ----------------------------------------------------------

cSafeVector<cFlow> FlowsFlagged(std::initializer_list<int> flags) {
  cSafeVector<cFlow> flows;
  int id = 1;
  for (int flag : flags) {
    cFlow flow;
    flow.m_nFlowId = static_cast<uint8_t>(id++);
    flow.m_bRemoveAtLoad = static_cast<uint8_t>(flag);
    flows.push_back(flow);
  }
  return flows;
}

std::vector<int> IdsOf(const cSafeVector<cFlow>& flows) {
  std::vector<int> ids;
  for (const cFlow& flow : flows) ids.push_back(flow.m_nFlowId);
  return ids;
}

TEST_F(FlowFile, PurgeKeepsTheUnflaggedInOrder) {
  cSafeVector<cFlow> flows = FlowsFlagged({1, 0, 1, 0});
  PurgeFlaggedFlows(flows);
  EXPECT_EQ(IdsOf(flows), (std::vector<int>{2, 4}));
  cSafeVector<cFlow> any = FlowsFlagged({0, 7, 0});
  PurgeFlaggedFlows(any);
  EXPECT_EQ(IdsOf(any), (std::vector<int>{1, 3}));
}

// A change-flow command holding flows flagged 1, 0, 1, 0, as read from a file.
std::vector<int> FlowIdsAfterReading() {
  cCommand command;
  command.m_nSet = 1;
  command.m_nType = ITEM_CMD_CHANGE_FLOW;
  command.m_Params.assign(2, 0);
  command.m_Flows = FlowsFlagged({1, 0, 1, 0});
  return IdsOf(Reload(command, DATA_VERSION).m_Flows);
}

TEST_F(FlowFile, ReadingACommandPurgesItsFlaggedFlows) { EXPECT_EQ(FlowIdsAfterReading(), (std::vector<int>{2, 4})); }

TEST_F(FlowFile, FlaggedFlowsStayForTheEditor) {
  g_LaunchedByEditor = 1;
  EXPECT_TRUE(KeepFlaggedFlows());
  EXPECT_EQ(FlowIdsAfterReading(), (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(FlowFile, FlaggedFlowsStayWhileTheKeepFlowsSwitchIsSet) {
  SetKeepFlowsQuery([] { return true; });
  EXPECT_EQ(FlowIdsAfterReading(), (std::vector<int>{1, 2, 3, 4}));
  SetKeepFlowsQuery([] { return false; });
  EXPECT_EQ(FlowIdsAfterReading(), (std::vector<int>{2, 4}));
}

}  // namespace
