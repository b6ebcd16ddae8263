// The name of a stage variable: one string, in every version.

#include <gtest/gtest.h>

#include "RecordRoundTrip.h"
#include "data/StageVarInfo.h"
#include "support/ByteBuilder.h"

namespace {

TEST(StageVarInfoTest, IsOneStringAndNoPlainMembers) {
  cStageVarInfo name;
  name.m_strName = "残り時間";
  testsupport::ByteBuilder expected;
  expected.U32(0).U32(1).Str("残り時間");
  EXPECT_EQ(recordtest::RecordBytes(name), expected.Bytes());
  EXPECT_EQ(recordtest::RoundTrip(name).m_strName, "残り時間");
}

TEST(StageVarInfoTest, ListReadsEachNameFromADefaultOne) {
  cSafeVector<cStageVarInfo> names(2);
  names[1].m_strName = "b";
  cByteWriter out;
  WriteStageVarInfoVector(out, names);
  cByteReader in(out.Bytes());
  cSafeVector<cStageVarInfo> back(5);
  ASSERT_TRUE(ReadStageVarInfoVector(in, back));
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0].m_strName, "");
  EXPECT_EQ(back[1].m_strName, "b");
}

}  // namespace
