// The removal area of a stage: its file form across versions and the test that
// decides whether an object has left it.

#include <gtest/gtest.h>

#include "RecordRoundTrip.h"
#include "data/StageArea.h"
#include "support/ByteBuilder.h"

namespace {

using testsupport::ByteBuilder;

TEST(StageAreaTest, OlderThan125HoldsTheLeftFlagAndTheFourMargins) {
  ByteBuilder bytes;
  bytes.U32(5).I32(1).I32(2).I32(3).I32(4).I32(5).U32(0);
  cStageArea area;
  area.m_bRight = 7;  // a file without the flag leaves it alone
  recordtest::ReadRecordBytes(area, bytes, 124);
  EXPECT_EQ(area.m_bLeft, 1);
  EXPECT_EQ(area.m_nLeftMargin, 2);
  EXPECT_EQ(area.m_nRightMargin, 3);
  EXPECT_EQ(area.m_nTopMargin, 4);
  EXPECT_EQ(area.m_nBottomMargin, 5);
  EXPECT_EQ(area.m_bRight, 7);
  EXPECT_EQ(area.m_bTop, 0);
  EXPECT_EQ(area.m_bBottom, 0);
}

TEST(StageAreaTest, CurrentFormIsEightIntsInSetOrder) {
  cStageArea area;
  area.Set(1, 0, 1, 0, 2, 3, 4, 5);
  ByteBuilder expected;
  expected.U32(8).I32(1).I32(0).I32(1).I32(0).I32(2).I32(3).I32(4).I32(5).U32(0);
  EXPECT_EQ(recordtest::RecordBytes(area), expected.Bytes());
  const cStageArea back = recordtest::RoundTrip(area);
  EXPECT_EQ(back.m_nBottomMargin, 5);
  EXPECT_EQ(back.m_bTop, 1);
}

struct cAreaCase {
  const char* name;
  int flags;  // left, right, top, bottom as bits 1, 2, 4, 8
  int margin;
  int left, top, right, bottom;
  bool outside;
};

// Camera at (1000, 1000): the screen covers x 1000..1639 and y 1000..1479;
// the stage's area limits are 5000 (objects reaching 5639 are outside).
const cAreaCase kAreaCases[] = {
    {"on screen is never outside", 15, 0, 1100, 1100, 1131, 1131, false},
    {"left of the screen, left side on", 1, 0, 900, 1100, 999, 1131, true},
    {"left of the screen within the margin", 1, 1, 900, 1100, 969, 1131, false},
    {"left of the screen beyond the margin", 1, 1, 900, 1100, 968, 1131, true},
    {"left of the screen, left side off", 2, 0, 900, 1100, 999, 1131, false},
    {"right of the screen, right side on", 2, 0, 1640, 1100, 1700, 1131, true},
    {"right of the screen within the margin", 2, 2, 1703, 1100, 1740, 1131, false},
    {"below the screen, bottom side on", 8, 0, 1100, 1480, 1131, 1511, true},
    {"above the screen, top side on", 4, 0, 1100, 900, 1131, 999, true},
    {"above the screen, top side off", 8, 0, 1100, 900, 1131, 999, false},
    {"at world dot 0 whatever the flags", 0, 0, 0, 1100, 31, 1131, true},
    {"beyond the horizontal area limit", 0, 0, 5600, 1100, 5639, 1131, true},
    {"beyond the vertical area limit", 0, 0, 1100, 5600, 1131, 5639, true},
    {"off screen, no flags, inside the limits", 0, 0, 3000, 3000, 3031, 3031, false},
};

TEST(StageAreaTest, OutsideTest) {
  for (const cAreaCase& c : kAreaCases) {
    cStageArea area;
    area.Set(c.flags & 1, (c.flags >> 1) & 1, (c.flags >> 2) & 1, (c.flags >> 3) & 1, c.margin, c.margin, c.margin,
             c.margin);
    EXPECT_EQ(area.IsOutside(1000, 1000, c.left, c.top, c.right, c.bottom, 5000, 5000), c.outside) << c.name;
  }
}

TEST(StageAreaTest, HugeMarginsDoNotOverflow) {
  cStageArea area;
  area.Set(1, 1, 1, 1, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX);
  EXPECT_FALSE(area.IsOutside(1000, 1000, 3000, 3000, 3031, 3031, 5000, 5000));
}

}  // namespace
