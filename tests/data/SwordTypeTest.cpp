#include "data/SwordType.h"

#include <gtest/gtest.h>

#include "RecordRoundTrip.h"
#include "support/ByteBuilder.h"

namespace {

using recordtest::ReadRecordBytes;
using recordtest::RoundTrip;
using testsupport::ByteBuilder;
using testsupport::I32;

TEST(SwordType, DefaultIsOneStepOfDurationOne) {
  const cSwordType sword;
  ASSERT_EQ(sword.m_Steps.size(), 1u);
  EXPECT_EQ(sword.m_Steps[0].m_nDuration, 1);
  EXPECT_EQ(sword.m_Steps[0].m_bMirrorX, 1);
  EXPECT_EQ(sword.m_Steps[0].m_bMirrorY, 0);
  EXPECT_EQ(cSwordStep().CountMembers(DATA_VERSION), 10);
  EXPECT_EQ(cSwordStep().CountMembers(137), 8);
}

TEST(SwordType, RoundTripKeepsEveryValue) {
  cSwordType sword;
  sword.m_strName = "剣";
  sword.m_nValue = 2;
  sword.m_strImage = "a.bmp";
  sword.m_strImage2 = "b.bmp";
  sword.m_Steps.resize(2);
  cSwordStep& step = sword.m_Steps[1];
  step.m_nOffsetX = -5;
  step.m_nOffsetY = 6;
  step.m_bMirrorX = 0;
  step.m_bMirrorY = 1;
  step.m_nPosition = SWORD_POS_BELOW;
  step.m_nSpare = 8;
  step.m_nSpare2 = 9;
  step.m_nWidth = 40;
  step.m_nHeight = 12;
  step.m_nDuration = 3;
  const cSwordType back = RoundTrip(sword);
  EXPECT_EQ(back.m_strName, sword.m_strName);
  EXPECT_EQ(back.m_nValue, 2);
  EXPECT_EQ(back.m_strImage2, "b.bmp");
  ASSERT_EQ(back.m_Steps.size(), 2u);
  const cSwordStep& s = back.m_Steps[1];
  EXPECT_EQ(s.m_nOffsetX, -5);
  EXPECT_EQ(s.m_nOffsetY, 6);
  EXPECT_EQ(s.m_bMirrorX, 0);
  EXPECT_EQ(s.m_bMirrorY, 1);
  EXPECT_EQ(s.m_nPosition, SWORD_POS_BELOW);
  EXPECT_EQ(s.m_nSpare, 8);
  EXPECT_EQ(s.m_nSpare2, 9);
  EXPECT_EQ(s.m_nWidth, 40);
  EXPECT_EQ(s.m_nHeight, 12);
  EXPECT_EQ(s.m_nDuration, 3);
}

TEST(SwordType, UpgradesByVersion) {
  struct Case {
    int version;
    int expectedValue;
    int expectedMirrorX;
  };
  // Mirror flags are stored from 138 (older steps mirror x), the value from
  // 151 and it is reset below 153.
  const Case cases[] = {{137, 0, 1}, {138, 0, 0}, {150, 0, 0}, {152, 0, 0}, {153, 4, 0}};
  for (const Case& c : cases) {
    ByteBuilder b;
    if (c.version >= 151) b.Record({I32(4)}, {"s", "i1", "i2"});
    else b.Record({}, {"s", "i1", "i2"});
    b.U32(1);
    if (c.version >= 138)
      b.Record({I32(1), I32(2), I32(0), I32(1), I32(2), I32(0), I32(0), I32(30), I32(20), I32(5)}, {});
    else
      b.Record({I32(1), I32(2), I32(2), I32(0), I32(0), I32(30), I32(20), I32(5)}, {});
    cSwordType sword;
    ReadRecordBytes(sword, b.Bytes(), c.version);
    EXPECT_EQ(sword.m_nValue, c.expectedValue) << "version " << c.version;
    ASSERT_EQ(sword.m_Steps.size(), 1u);
    const cSwordStep& step = sword.m_Steps[0];
    EXPECT_EQ(step.m_bMirrorX, c.expectedMirrorX) << "version " << c.version;
    EXPECT_EQ(step.m_nPosition, 2) << "version " << c.version;
    EXPECT_EQ(step.m_nWidth, 30);
    EXPECT_EQ(step.m_nDuration, 5);
  }
}

}  // namespace
