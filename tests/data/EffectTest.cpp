#include "data/Effect.h"

#include <gtest/gtest.h>

#include "RecordRoundTrip.h"
#include "support/ByteBuilder.h"

namespace {

using recordtest::ReadRecordBytes;
using recordtest::RecordBytes;
using recordtest::RoundTrip;
using testsupport::ByteBuilder;
using testsupport::I32;

TEST(Effect, DefaultsAndLayout) {
  cEffect effect;
  EXPECT_EQ(effect.m_nCellWidth, 32);
  EXPECT_EQ(effect.m_nCellHeight, 32);
  EXPECT_TRUE(effect.m_Frames.empty());
  effect.m_strName = "hit";
  effect.m_strFile = "e.bmp";
  effect.m_nValue = 1;
  effect.m_Frames = {cEffectFrame(3, 2)};
  // value, cell width, cell height, spare; the two strings; the frame list.
  const auto expected = ByteBuilder()
                            .Record({I32(1), I32(32), I32(32), I32(0)}, {"hit", "e.bmp"})
                            .U32(1)
                            .Record({I32(3), I32(2)}, {})
                            .Bytes();
  EXPECT_EQ(RecordBytes(effect), expected);
}

TEST(Effect, RoundTripKeepsEveryValue) {
  cEffect effect;
  effect.m_strName = "爆発";
  effect.m_nValue = 6;
  effect.m_strFile = "bomb.bmp";
  effect.m_nCellWidth = 64;
  effect.m_nCellHeight = 48;
  effect.m_nSpare = -1;
  effect.m_Frames = {cEffectFrame(0, 1), cEffectFrame(1, 2), cEffectFrame(2, 3)};
  const cEffect back = RoundTrip(effect);
  EXPECT_EQ(back.m_strName, effect.m_strName);
  EXPECT_EQ(back.m_nValue, 6);
  EXPECT_EQ(back.m_nCellWidth, 64);
  EXPECT_EQ(back.m_nCellHeight, 48);
  EXPECT_EQ(back.m_nSpare, -1);
  ASSERT_EQ(back.m_Frames.size(), 3u);
  EXPECT_EQ(back.m_Frames[2].m_nPattern, 2);
  EXPECT_EQ(back.m_Frames[2].m_nDuration, 3);
}

TEST(Effect, ValueIsStoredFrom151AndResetBelow153) {
  struct Case {
    int version;
    int expected;
  };
  const Case cases[] = {{150, 0}, {152, 0}, {153, 8}};
  for (const Case& c : cases) {
    ByteBuilder b;
    if (c.version >= 151) b.Record({I32(8), I32(16), I32(24), I32(0)}, {"n", "f"});
    else b.Record({I32(16), I32(24), I32(0)}, {"n", "f"});
    b.U32(0);
    cEffect effect;
    ReadRecordBytes(effect, b.Bytes(), c.version);
    EXPECT_EQ(effect.m_nValue, c.expected) << "version " << c.version;
    EXPECT_EQ(effect.m_nCellWidth, 16) << "version " << c.version;
    EXPECT_EQ(effect.m_nCellHeight, 24) << "version " << c.version;
  }
}

}  // namespace
