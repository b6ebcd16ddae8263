#include "data/Picture.h"

#include <gtest/gtest.h>

#include "RecordRoundTrip.h"
#include "support/ByteBuilder.h"

namespace {

using recordtest::ReadRecordBytes;
using recordtest::RoundTrip;
using testsupport::ByteBuilder;
using testsupport::I32;

TEST(Picture, RoundTripKeepsEveryValue) {
  cPicture picture;
  picture.m_strName = "背景";
  picture.m_nValue = -17;
  picture.m_strFile = "bmp\\back.bmp";
  const cPicture back = RoundTrip(picture);
  EXPECT_EQ(back.m_strName, picture.m_strName);
  EXPECT_EQ(back.m_nValue, -17);
  EXPECT_EQ(back.m_strFile, picture.m_strFile);

  cBgm bgm;
  bgm.m_strFile = "bgm\\Stage.ogg";
  bgm.m_nValue = 3;
  const cBgm bgmBack = RoundTrip(bgm);
  EXPECT_EQ(bgmBack.m_strFile, bgm.m_strFile);
  EXPECT_EQ(bgmBack.m_nValue, 3);
}

struct ValueCase {
  int version;
  bool stored;
  int expected;
};

// The value member is stored from 151 and reset for files older than 153.
const ValueCase kValueCases[] = {{150, false, 0}, {151, true, 0}, {152, true, 0}, {153, true, 7}, {DATA_VERSION, true, 7}};

TEST(Picture, ValueIsStoredFrom151AndResetBelow153) {
  for (const ValueCase& c : kValueCases) {
    ByteBuilder b;
    if (c.stored) b.Record({I32(7)}, {"name", "file"});
    else b.Record({}, {"name", "file"});
    cPicture picture;
    ReadRecordBytes(picture, b.Bytes(), c.version);
    EXPECT_EQ(picture.m_nValue, c.expected) << "version " << c.version;
    EXPECT_EQ(picture.m_strFile, "file");
    cBgm bgm;
    ReadRecordBytes(bgm, b.Bytes(), c.version);
    EXPECT_EQ(bgm.m_nValue, c.expected) << "version " << c.version;
  }
}

}  // namespace
