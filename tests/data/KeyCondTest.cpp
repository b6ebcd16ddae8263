// Key conditions: the stored form, and key lists of other lengths than 19 from
// damaged files, which must never leave the matcher a list it could overrun.

#include "data/KeyCond.h"

#include <gtest/gtest.h>

#include "data/FlowTestSupport.h"
#include "support/ByteBuilder.h"

namespace {

using flowtest::Bytes;
using flowtest::ReadAt;
using flowtest::RefusedAt;
using flowtest::Reload;
using testsupport::ByteBuilder;
using testsupport::I16;
using testsupport::U8;

TEST(KeyCondForm, AFreshKeyConditionTestsNoKey) {
  cKeyCond fresh;
  ASSERT_EQ(fresh.m_Keys.size(), 19u);
  for (uint8_t key : fresh.m_Keys) EXPECT_EQ(key, KEY_STATE_ANY);
  EXPECT_EQ(fresh.CountMembers(DATA_VERSION), 5);
}

TEST(KeyCondForm, ResetClearsTheMembersAndOnlySizesTheKeyList) {
  struct Case {
    int keys;
    int expectedPressed;  // keys 0 .. expectedPressed-1 keep their state
  };
  for (const Case& c : {Case{2, 2}, Case{19, 19}, Case{25, 19}, Case{0, 0}}) {
    cKeyCond cond;
    cond.m_Keys.assign(static_cast<std::size_t>(c.keys), KEY_STATE_PRESSED);
    cond.m_nRule = 2;
    cond.m_nMaxFrames = 30;
    cond.Reset();
    EXPECT_EQ(cond.m_nRule, 0) << c.keys;
    EXPECT_EQ(cond.m_nMaxFrames, 0) << c.keys;
    ASSERT_EQ(cond.m_Keys.size(), 19u) << c.keys;
    for (int i = 0; i < 19; ++i)
      EXPECT_EQ(cond.m_Keys[i], i < c.expectedPressed ? KEY_STATE_PRESSED : KEY_STATE_ANY) << c.keys << " " << i;
  }
}

TEST(KeyCondForm, RoundTripsWithTheKeysAfterTheRecord) {
  cKeyCond cond;
  cond.m_bFacingRelative = 1;
  cond.m_nMinFrames = -2;
  cond.m_nMaxFrames = 600;
  cond.m_bAnyDuration = 1;
  cond.m_nRule = 2;
  cond.m_Keys[0] = KEY_STATE_PRESSED;
  cond.m_Keys[18] = KEY_STATE_RELEASED;
  ByteBuilder expected;
  expected.Record({U8(1), I16(-2), I16(600), U8(1), U8(2)}, {}).U32(19).U8(1);
  for (int i = 1; i < 18; ++i) expected.U8(0);
  expected.U8(2);
  EXPECT_EQ(flowtest::WriteAt(cond), expected.Bytes());

  const cKeyCond loaded = Reload(cond, DATA_VERSION);
  EXPECT_EQ(loaded.m_nMinFrames, -2);
  EXPECT_EQ(loaded.m_nMaxFrames, 600);
  EXPECT_EQ(loaded.m_nRule, 2);
  EXPECT_EQ(loaded.m_Keys[18], KEY_STATE_RELEASED);
}

TEST(KeyCondForm, KeyListsOfOtherLengthsEndUp19Long) {
  for (uint32_t count : {0u, 5u, 25u}) {
    ByteBuilder bytes;
    bytes.Record({U8(0), I16(1), I16(2), U8(0), U8(0)}, {}).U32(count);
    for (uint32_t i = 0; i < count; ++i) bytes.U8(KEY_STATE_PRESSED);
    cKeyCond cond;
    ASSERT_TRUE(ReadAt(bytes.Bytes(), DATA_VERSION, cond)) << count;
    ASSERT_EQ(cond.m_Keys.size(), 19u) << count;
    for (uint32_t i = 0; i < 19; ++i) {
      EXPECT_EQ(cond.m_Keys[static_cast<int>(i)], i < count ? KEY_STATE_PRESSED : KEY_STATE_ANY) << count << " " << i;
    }
  }
}

TEST(KeyCondForm, AKeyCountBeyondTheFileIsRefused) {
  const Bytes bytes = ByteBuilder().Record({U8(0), I16(1), I16(2), U8(0), U8(0)}, {}).U32(0xFFFFFFF0).U8(1).Bytes();
  EXPECT_TRUE(RefusedAt<cKeyCond>(bytes, DATA_VERSION));
}

}  // namespace
