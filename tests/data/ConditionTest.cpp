// Conditions and condition lists: the stored form of each version, the upgrade
// steps, and the version gate of a condition list's conditions.

#include "data/Condition.h"

#include <gtest/gtest.h>

#include "data/FlowTestSupport.h"
#include "support/ByteBuilder.h"

namespace {

using flowtest::Bytes;
using flowtest::ReadAt;
using flowtest::Reload;
using flowtest::WriteAt;
using testsupport::ByteBuilder;
using testsupport::I16;
using testsupport::I32;
using testsupport::U8;

TEST(ConditionForm, MembersPresentByVersion) {
  cCond cond;
  EXPECT_EQ(cond.CountMembers(42), 6);   // kind, value, two dropped i16, comparison, shape
  EXPECT_EQ(cond.CountMembers(109), 7);  // and the clamp
  EXPECT_EQ(cond.CountMembers(110), 17);
  EXPECT_EQ(cond.CountMembers(DATA_VERSION), 17);
  EXPECT_EQ(cond.CountStrings(DATA_VERSION), 0);
}

TEST(ConditionForm, AConditionOfVersion100DropsItsTwoOldValues) {
  const Bytes bytes =
      ByteBuilder().Record({U8(1), I32(-70), I16(0x1111), I16(0x2222), U8(3), U8(1), U8(6)}, {}).Bytes();
  cCond cond;
  ASSERT_TRUE(ReadAt(bytes, 100, cond));
  EXPECT_EQ(cond.m_nKind, COND_COMMON_VAR);
  EXPECT_EQ(cond.m_nValue, -70);
  EXPECT_EQ(cond.m_nCompare, 3);
  EXPECT_EQ(cond.m_bClamp, 1);
  EXPECT_EQ(cond.m_nShape, 6);
  EXPECT_EQ(cond.m_nIndex, 0);
  EXPECT_EQ(cond.m_nRightIndex, 0);
  EXPECT_EQ(cond.m_nRandMax, 0);
}

TEST(ConditionForm, AConditionOfVersion42HasNoClamp) {
  const Bytes bytes = ByteBuilder().Record({U8(2), I32(5), I16(1), I16(2), U8(4), U8(5)}, {}).Bytes();
  cCond cond;
  ASSERT_TRUE(ReadAt(bytes, 42, cond));
  EXPECT_EQ(cond.m_nCompare, 4);
  EXPECT_EQ(cond.m_bClamp, 0);
  EXPECT_EQ(cond.m_nShape, 5);
}

TEST(ConditionForm, EveryMemberRoundTrips) {
  cCond cond;
  cond.m_nKind = COND_STATUS;
  cond.m_nValue = -999999;
  cond.m_nRandMin = -3;
  cond.m_nRandMax = 300000;
  cond.m_nObject = 5;
  cond.m_nItem = 14;
  cond.m_nLeftKind = 1;
  cond.m_nLeftVarKind = 1;
  cond.m_nIndex = -2;
  cond.m_nRightKind = 3;
  cond.m_nRightObject = 4;
  cond.m_nRightItem = 9;
  cond.m_nRightVarKind = 1;
  cond.m_nRightIndex = 999;
  cond.m_nCompare = 7;
  cond.m_bClamp = 1;
  cond.m_nShape = 6;
  cCond loaded = Reload(cond, DATA_VERSION);
  EXPECT_EQ(WriteAt(loaded), WriteAt(cond));
  EXPECT_EQ(loaded.m_nRandMax, 300000);
  EXPECT_EQ(loaded.m_nIndex, -2);
  EXPECT_EQ(loaded.m_nRightIndex, 999);
  EXPECT_EQ(loaded.m_nShape, 6);
}

struct cCondUpgradeCase {
  const char* what;
  int version;
  cCond in;
  cCond expected;
};

cCond Cond(uint8_t kind, std::initializer_list<std::pair<const char*, int>> values) {
  cCond c;
  c.m_nKind = kind;
  for (const auto& [name, value] : values) {
    const std::string n = name;
    if (n == "object") c.m_nObject = static_cast<uint8_t>(value);
    else if (n == "item") c.m_nItem = static_cast<uint8_t>(value);
    else if (n == "left") c.m_nLeftKind = static_cast<uint8_t>(value);
    else if (n == "right") c.m_nRightKind = static_cast<uint8_t>(value);
    else if (n == "rightObject") c.m_nRightObject = static_cast<uint8_t>(value);
    else if (n == "rightItem") c.m_nRightItem = static_cast<uint8_t>(value);
    else if (n == "compare") c.m_nCompare = static_cast<uint8_t>(value);
    else ADD_FAILURE() << "unknown member " << n;
  }
  return c;
}

TEST(ConditionUpgrade, EveryStepInOrder) {
  const cCondUpgradeCase cases[] = {
      {"150: kind 5 becomes the distance condition, object 0", 150, Cond(5, {{"object", 3}}),
       Cond(7, {{"object", 0}, {"right", 1}, {"rightObject", 1}})},
      {"159: kind 6 becomes 8", 159, Cond(6, {}), Cond(8, {})},
      {"159: kind 4 stays", 159, Cond(4, {{"item", 3}}), Cond(4, {{"item", 3}})},
      {"160: on a block asked the other way round", 160, Cond(6, {{"item", 2}, {"compare", 0}}),
       Cond(6, {{"item", 2}, {"compare", 1}})},
      {"160: other states keep their comparison", 160, Cond(6, {{"item", 1}, {"compare", 0}}),
       Cond(6, {{"item", 1}, {"compare", 0}})},
      {"167: status item 10 moves at 168 and 203", 167, Cond(4, {{"item", 10}}), Cond(4, {{"item", 12}})},
      {"167: a system status stays (then object 5)", 167, Cond(4, {{"object", 2}, {"item", 10}}),
       Cond(4, {{"object", 5}, {"item", 10}})},
      {"167: a variable left side stays", 167, Cond(4, {{"left", 1}, {"item", 10}}), Cond(4, {{"left", 1}, {"item", 10}})},
      {"202: right status item 5 moves", 202, Cond(4, {{"right", 2}, {"rightItem", 5}}),
       Cond(4, {{"right", 2}, {"rightItem", 6}})},
      {"202: a constant right side stays", 202, Cond(4, {{"right", 0}, {"rightItem", 5}}),
       Cond(4, {{"right", 0}, {"rightItem", 5}})},
      {"209: state value 6 moves", 209, Cond(5, {{"item", 6}}), Cond(5, {{"item", 7}})},
      {"209: the system's switches stay", 209, Cond(5, {{"object", 2}, {"item", 6}}),
       Cond(5, {{"object", 5}, {"item", 6}})},
      {"656: distance measured to the player", 656, Cond(7, {{"object", 3}, {"right", 1}, {"rightObject", 1}}),
       Cond(7, {{"object", 0}, {"right", 1}, {"rightObject", 1}})},
      {"657: distance object stays", 657, Cond(7, {{"object", 3}, {"right", 1}, {"rightObject", 1}}),
       Cond(7, {{"object", 3}, {"right", 1}, {"rightObject", 1}})},
      {"744: distance left kind 0", 744, Cond(7, {{"left", 1}}), Cond(7, {{"right", 1}, {"rightObject", 1}})},
      {"745: distance right side", 745, Cond(7, {{"left", 1}}), Cond(7, {{"left", 1}, {"right", 1}, {"rightObject", 1}})},
      {"766: four target slots", 766, Cond(4, {{"object", 2}, {"rightObject", 3}}),
       Cond(4, {{"object", 5}, {"rightObject", 6}})},
      {"766: self and the first slot stay", 766, Cond(5, {{"object", 1}, {"rightObject", 0}}),
       Cond(5, {{"object", 1}, {"rightObject", 0}})},
      {"766: other kinds keep their objects", 766, Cond(6, {{"object", 2}}), Cond(6, {{"object", 2}})},
      {"767: nothing moves", 767, Cond(4, {{"object", 2}}), Cond(4, {{"object", 2}})},
  };
  for (cCondUpgradeCase c : cases) {
    SCOPED_TRACE(c.what);
    const cCond loaded = Reload(c.in, c.version);
    EXPECT_EQ(loaded.m_nKind, c.expected.m_nKind);
    EXPECT_EQ(loaded.m_nObject, c.expected.m_nObject);
    EXPECT_EQ(loaded.m_nItem, c.expected.m_nItem);
    EXPECT_EQ(loaded.m_nLeftKind, c.expected.m_nLeftKind);
    EXPECT_EQ(loaded.m_nRightKind, c.expected.m_nRightKind);
    EXPECT_EQ(loaded.m_nRightObject, c.expected.m_nRightObject);
    EXPECT_EQ(loaded.m_nRightItem, c.expected.m_nRightItem);
    EXPECT_EQ(loaded.m_nCompare, c.expected.m_nCompare);
  }
}

TEST(ConditionUpgrade, ObjectsNearTheTopDoNotWrap) {
  cCond cond = Cond(4, {{"object", 254}, {"rightObject", 253}});
  const cCond loaded = Reload(cond, 766);
  EXPECT_EQ(loaded.m_nObject, 255);
  EXPECT_EQ(loaded.m_nRightObject, 255);
}

TEST(ConditionUpgrade, ItemsAtTheTopDoNotWrap) {
  // Shifted twice (at 168 and at 203), item 255 and right item 254 stay at
  // 255 rather than wrapping round to a valid status.
  cCond status = Cond(4, {{"item", 255}, {"right", 2}, {"rightItem", 254}});
  const cCond loadedStatus = Reload(status, 167);
  EXPECT_EQ(loadedStatus.m_nItem, 255);
  EXPECT_EQ(loadedStatus.m_nRightItem, 255);
  cCond state = Cond(5, {{"item", 255}});
  EXPECT_EQ(Reload(state, 209).m_nItem, 255);
}

// ---- condition lists ---------------------------------------------------------------

cCondList ListOfTwo() {
  cCondList list;
  list.m_bEnabled = 1;
  list.m_nRule = 1;
  list.m_Conds.resize(2);
  list.m_Conds[0].m_nKind = COND_DISTANCE;
  list.m_Conds[1].m_nValue = 42;
  return list;
}

TEST(ConditionList, FilesUpTo765HoldOnlyTheTwoSwitches) {
  cCondList list = ListOfTwo();
  const Bytes at765 = WriteAt(list, 765);
  EXPECT_EQ(at765, ByteBuilder().Record({U8(1), U8(1)}, {}).Bytes());
  cCondList loaded;
  ASSERT_TRUE(ReadAt(at765, 765, loaded));
  EXPECT_EQ(loaded.m_bEnabled, 1);
  EXPECT_EQ(loaded.m_nRule, 1);
  EXPECT_TRUE(loaded.m_Conds.empty());
}

TEST(ConditionList, From766TheConditionsFollow) {
  cCondList list = ListOfTwo();
  for (int version : {766, DATA_VERSION}) {
    const cCondList loaded = Reload(list, version);
    ASSERT_EQ(loaded.m_Conds.size(), 2u) << version;
    EXPECT_EQ(loaded.m_Conds[0].m_nKind, COND_DISTANCE);
    EXPECT_EQ(loaded.m_Conds[1].m_nValue, 42);
  }
}

TEST(ConditionList, AFreshListIsOffAndEmpty) {
  cCondList fresh;
  EXPECT_EQ(fresh.m_bEnabled, 0);
  EXPECT_EQ(fresh.m_nRule, 0);
  EXPECT_TRUE(fresh.m_Conds.empty());
  EXPECT_EQ(fresh.CountMembers(DATA_VERSION), 2);
}

}  // namespace
