// A stage's background layer: its file form across versions 60, 61 and 62, and
// the scrolling arithmetic the drawing uses.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "RecordRoundTrip.h"
#include "data/BgLayer.h"
#include "support/ByteBuilder.h"

namespace {

using testsupport::ByteBuilder;

TEST(BgLayerTest, DefaultsAreShownColour16AndFactorsOfATenth) {
  const cBgLayer layer;
  EXPECT_EQ(layer.m_bShown, 1);
  EXPECT_EQ(layer.m_nColour, 16);
  EXPECT_DOUBLE_EQ(layer.m_dFactorX, 0.1);
  EXPECT_DOUBLE_EQ(layer.m_dFactorY, 0.1);
  EXPECT_EQ(layer.m_bAutoX, 0);
  EXPECT_TRUE(layer.m_strPicture.empty());
}

// One layer as files of each version hold it: plain colour 1, colour 40 and
// front 1 in every version, and what each version adds around them.
struct cLayerVersionCase {
  const char* name;
  int version;
  std::vector<std::uint8_t> bytes;
  int32_t shown;
  double factorX, factorY;
  int32_t autoY;
  double offsetX, offsetY;
};

std::vector<cLayerVersionCase> LayerVersionCases() {
  return {
      {"60: no shown flag, two old i32 factors dropped (defaults kept), no offsets", 60,
       ByteBuilder().U32(5).I32(1).I32(40).I32(1).I32(77).I32(88).U32(1).Str("sky.bmp"), 1, 0.1, 0.1, 0, 0.0, 0.0},
      {"61: factors and auto flags, two i32 in the offsets' place dropped", 61,
       ByteBuilder().U32(9).I32(1).I32(40).I32(1).F64(0.5).F64(2.0).I32(1).I32(1).I32(123).I32(456).U32(1).Str(
           "sky.bmp"),
       1, 0.5, 2.0, 1, 0.0, 0.0},
      {"62: every member", 62,
       ByteBuilder().U32(10).I32(0).I32(1).I32(40).I32(1).F64(0.25).F64(0.75).I32(0).I32(1).F64(3.5).F64(4.5).U32(
           1).Str("sky.bmp"),
       0, 0.25, 0.75, 1, 3.5, 4.5},
  };
}

TEST(BgLayerTest, EachVersionReadsItsOwnMembers) {
  for (const cLayerVersionCase& c : LayerVersionCases()) {
    SCOPED_TRACE(c.name);
    cBgLayer layer;
    recordtest::ReadRecordBytes(layer, c.bytes, c.version);
    EXPECT_EQ(layer.m_bShown, c.shown);
    EXPECT_EQ(layer.m_bPlainColour, 1);
    EXPECT_EQ(layer.m_nColour, 40);
    EXPECT_EQ(layer.m_bFront, 1);
    EXPECT_DOUBLE_EQ(layer.m_dFactorX, c.factorX);
    EXPECT_DOUBLE_EQ(layer.m_dFactorY, c.factorY);
    EXPECT_EQ(layer.m_bAutoY, c.autoY);
    EXPECT_DOUBLE_EQ(layer.m_dOffsetX, c.offsetX);
    EXPECT_DOUBLE_EQ(layer.m_dOffsetY, c.offsetY);
    EXPECT_EQ(layer.m_strPicture, "sky.bmp");
  }
}

TEST(BgLayerTest, CurrentFormIsWhatTheWriterWrites) {
  const cLayerVersionCase current = LayerVersionCases().back();
  cBgLayer layer;
  recordtest::ReadRecordBytes(layer, current.bytes, DATA_VERSION);
  EXPECT_EQ(recordtest::RecordBytes(layer), current.bytes);
}

TEST(BgLayerTest, OlderVersionsWriteWhatTheyRead) {
  cBgLayer layer;
  layer.m_nColour = 9;
  layer.m_strPicture = "x.bmp";
  for (int version : {60, 61, 62}) {
    cByteWriter out(version);
    layer.Write(out);
    cBgLayer back;
    recordtest::ReadRecordBytes(back, out.Bytes(), version);
    EXPECT_EQ(back.m_nColour, 9) << version;
    EXPECT_EQ(back.m_strPicture, "x.bmp") << version;
  }
}

TEST(BgLayerTest, AutoScrollMovesByTheFactorAndWrapsAtThePictureSize) {
  cBgLayer layer;
  layer.m_bAutoX = 1;
  layer.m_dFactorX = 2.0;
  layer.m_bAutoY = 1;
  layer.m_dFactorY = -3.0;
  layer.AdvanceAutoScroll(64, 48);
  EXPECT_DOUBLE_EQ(layer.m_dOffsetX, 62.0);  // 0 - 2 wraps to 62
  EXPECT_DOUBLE_EQ(layer.m_dOffsetY, 3.0);
  for (int i = 0; i < 15; ++i) layer.AdvanceAutoScroll(64, 48);
  EXPECT_DOUBLE_EQ(layer.m_dOffsetY, 0.0);  // 48 wraps to 0
  EXPECT_DOUBLE_EQ(layer.m_dOffsetX, 32.0);

  cBgLayer still;
  still.AdvanceAutoScroll(64, 48);
  EXPECT_DOUBLE_EQ(still.m_dOffsetX, 0.0);
}

TEST(BgLayerTest, PictureOffsetsFollowTheCamera) {
  cBgLayer layer;
  layer.m_dFactorX = 0.5;
  layer.m_dFactorY = 0.5;
  // Horizontally the camera is rounded to whole dots, vertically truncated.
  EXPECT_EQ(layer.GetPictureOffsetX(420.6), 50);  // (421 - 320) x 0.5
  EXPECT_EQ(layer.GetPictureOffsetY(420.6), 50);  // (420 - 320) x 0.5
  layer.m_bAutoX = 1;
  layer.m_dOffsetX = 10.0;
  EXPECT_EQ(layer.GetPictureOffsetX(420.6), 110);  // 420.6 + 10 - 320
}

}  // namespace
