#include "data/BmpCharaExc.h"

#include <gtest/gtest.h>

#include <vector>

#include "RecordRoundTrip.h"
#include "support/ByteBuilder.h"

namespace {

using recordtest::ReadRecordBytes;
using recordtest::RoundTrip;
using testsupport::ByteBuilder;
using testsupport::I32;

TEST(BmpCharaExc, RoundTripKeepsEveryValue) {
  cBmpCharaExc bmp;
  bmp.m_strName = "boss";
  bmp.m_nValue = 4;
  bmp.m_strFile = "bmp\\boss.bmp";
  bmp.m_bSizedCells = 1;
  bmp.m_nCellFactor = 4;
  const cBmpCharaExc back = RoundTrip(bmp);
  EXPECT_EQ(back.m_strName, "boss");
  EXPECT_EQ(back.m_nValue, 4);
  EXPECT_EQ(back.m_strFile, "bmp\\boss.bmp");
  EXPECT_EQ(back.m_bSizedCells, 1);
  EXPECT_EQ(back.m_nCellFactor, 4);
}

TEST(BmpCharaExc, UpgradesByVersion) {
  struct Case {
    int version;
    std::vector<int> stored;  // the members the file holds at that version
    int value, sized, factor;
  };
  const Case cases[] = {
      {151, {}, 0, 0, 2},
      {152, {5}, 0, 0, 2},        // value stored from 152, reset below 153
      {153, {5}, 5, 0, 2},
      {171, {5}, 5, 0, 2},        // cells as the list's default element has them
      {172, {5, 1, 3}, 5, 1, 3},
  };
  for (const Case& c : cases) {
    ByteBuilder b;
    b.U32(static_cast<std::uint32_t>(c.stored.size()));
    for (int v : c.stored) b.I32(v);
    b.U32(2).Str("n").Str("f.bmp");
    cBmpCharaExc bmp = cBmpCharaExc::ListDefault();
    bmp.m_nValue = 99;
    ReadRecordBytes(bmp, b.Bytes(), c.version);
    EXPECT_EQ(bmp.m_nValue, c.value) << "version " << c.version;
    EXPECT_EQ(bmp.m_bSizedCells, c.sized) << "version " << c.version;
    EXPECT_EQ(bmp.m_nCellFactor, c.factor) << "version " << c.version;
  }
}

TEST(BmpCharaExc, ConstructorClearsButTheListDefaultHasFactorTwo) {
  EXPECT_EQ(cBmpCharaExc().m_nCellFactor, 0);
  EXPECT_EQ(cBmpCharaExc::ListDefault().m_nCellFactor, 2);
  EXPECT_EQ(cBmpCharaExc::ListDefault().m_bSizedCells, 0);
}

}  // namespace
