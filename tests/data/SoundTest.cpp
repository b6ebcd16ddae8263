#include "data/Sound.h"

#include <gtest/gtest.h>

#include "RecordRoundTrip.h"
#include "support/ByteBuilder.h"

namespace {

using recordtest::ReadRecordBytes;
using recordtest::RecordBytes;
using recordtest::RoundTrip;
using testsupport::ByteBuilder;
using testsupport::I32;

TEST(Sound, StoresNameAndFileAfterItsValue) {
  cSound sound;
  sound.m_strName = "jump";
  sound.m_strFile = "se.wav";
  sound.m_nValue = 5;
  EXPECT_EQ(RecordBytes(sound), ByteBuilder().Record({I32(5)}, {"jump", "se.wav"}).Bytes());
  const cSound back = RoundTrip(sound);
  EXPECT_EQ(back.m_strName, "jump");
  EXPECT_EQ(back.m_strFile, "se.wav");
  EXPECT_EQ(back.m_nValue, 5);
}

TEST(Sound, ValueIsStoredFrom151AndResetBelow153) {
  struct Case {
    int version;
    bool stored;
    int expected;
  };
  const Case cases[] = {{150, false, 0}, {152, true, 0}, {153, true, 9}};
  for (const Case& c : cases) {
    ByteBuilder b;
    if (c.stored) b.Record({I32(9)}, {"n", "f.wav"});
    else b.Record({}, {"n", "f.wav"});
    cSound sound;
    ReadRecordBytes(sound, b.Bytes(), c.version);
    EXPECT_EQ(sound.m_nValue, c.expected) << "version " << c.version;
    EXPECT_EQ(sound.m_strFile, "f.wav");
  }
}

}  // namespace
