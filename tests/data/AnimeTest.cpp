#include "data/Anime.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordRoundTrip.h"
#include "support/ByteBuilder.h"

namespace {

using recordtest::ReadRecordBytes;
using recordtest::RoundTrip;
using testsupport::ByteBuilder;
using testsupport::I16;
using testsupport::I32;
using testsupport::U8;

// One cAnime record of a file at `version` with a single frame.
void AppendAnime(ByteBuilder& b, int version, const std::string& name) {
  if (version >= 55) b.Record({I16(3), U8(9), I16(-4)}, {name});
  else b.Record({}, {name});
  b.U32(1).Record({I32(7), I32(2), I32(0)}, {});
}

std::vector<std::string> StateNames(const cAnimeSet& set) {
  std::vector<std::string> names;
  for (const cAnime& state : set.m_States) names.push_back(state.m_strName);
  return names;
}

TEST(Anime, DefaultsMatchTheEditorsNewEntries) {
  const cAnime anime;
  ASSERT_EQ(anime.m_Frames.size(), 1u);
  EXPECT_EQ(anime.m_Frames[0].m_nDuration, 1);
  EXPECT_EQ(anime.m_nSpareByte, 1);

  const cAnimeSet set;
  EXPECT_EQ(set.m_nInvincibleRow, 4);
  EXPECT_EQ(set.m_nBlockCharaRow, 8);
  EXPECT_EQ(set.m_nFlyingRow, 0);
  // "立ち" in CP932.
  EXPECT_EQ(StateNames(set), (std::vector<std::string>{"\x97\xA7\x82\xBF", "立ち移動", "飛行", "飛行移動"}));
}

TEST(Anime, RecordsKeepTheirMemberCounts) {
  cAnimeFrameData frame;
  cAnime anime;
  cAnimeSet set;
  EXPECT_EQ(frame.CountMembers(DATA_VERSION), 3);
  EXPECT_EQ(anime.CountMembers(DATA_VERSION), 3);
  EXPECT_EQ(anime.CountMembers(54), 0);
  EXPECT_EQ(anime.CountStrings(DATA_VERSION), 1);
  EXPECT_EQ(set.CountMembers(DATA_VERSION), 3);
  EXPECT_EQ(set.CountMembers(118), 2);
}

TEST(Anime, SetRoundTripKeepsEveryValue) {
  cAnimeSet set;
  set.m_strName = "勇者";
  set.m_nInvincibleRow = 11;
  set.m_nBlockCharaRow = -2;
  set.m_nFlyingRow = 5;
  set.m_States.resize(6);
  set.m_States[5].m_strName = "extra";
  set.m_States[5].m_nSpareWord = -300;
  set.m_States[5].m_nSpareByte = 200;
  set.m_States[5].m_nSpareWord2 = 12345;
  set.m_States[5].m_Frames = {cAnimeFrameData(4, 3, 1), cAnimeFrameData(-1, 0, 0), cAnimeFrameData(9, 12, 0)};

  const cAnimeSet back = RoundTrip(set);
  EXPECT_EQ(back.m_strName, set.m_strName);
  EXPECT_EQ(back.m_nInvincibleRow, 11);
  EXPECT_EQ(back.m_nBlockCharaRow, -2);
  EXPECT_EQ(back.m_nFlyingRow, 5);
  ASSERT_EQ(back.m_States.size(), 6u);
  const cAnime& state = back.m_States[5];
  EXPECT_EQ(state.m_strName, "extra");
  EXPECT_EQ(state.m_nSpareWord, -300);
  EXPECT_EQ(state.m_nSpareByte, 200);
  EXPECT_EQ(state.m_nSpareWord2, 12345);
  ASSERT_EQ(state.m_Frames.size(), 3u);
  EXPECT_EQ(state.m_Frames[0].m_nPattern, 4);
  EXPECT_EQ(state.m_Frames[0].m_nLock, 1);
  EXPECT_EQ(state.m_Frames[1].m_nPattern, -1);
  EXPECT_EQ(state.m_Frames[2].m_nDuration, 12);
}

TEST(Anime, AnimationsBeforeVersion55KeepTheSpareDefaults) {
  ByteBuilder b;
  AppendAnime(b, 54, "old");
  cAnime anime;
  ReadRecordBytes(anime, b.Bytes(), 54);
  EXPECT_EQ(anime.m_strName, "old");
  EXPECT_EQ(anime.m_nSpareByte, 1);
  EXPECT_EQ(anime.m_nSpareWord, 0);
  ASSERT_EQ(anime.m_Frames.size(), 1u);
  EXPECT_EQ(anime.m_Frames[0].m_nPattern, 7);

  ByteBuilder current;
  AppendAnime(current, 55, "new");
  ReadRecordBytes(anime, current.Bytes(), 55);
  EXPECT_EQ(anime.m_nSpareWord, 3);
  EXPECT_EQ(anime.m_nSpareByte, 9);
  EXPECT_EQ(anime.m_nSpareWord2, -4);
}

struct SetUpgradeCase {
  int version;
  std::vector<std::string> fileStates;
  std::vector<std::string> expected;
  int expectedFlyingRow;
};

TEST(Anime, SetUpgradesGiveFourStatesWithTheFlyingNames) {
  const std::string fly = "飛行", flyMove = "飛行移動";
  const SetUpgradeCase cases[] = {
      // Older than 119: exactly four states, older than 128: flying states named.
      {118, {"a", "b"}, {"a", "b", fly, flyMove}, 0},
      {118, {"a", "b", "c", "d", "e", "f"}, {"a", "b", fly, flyMove}, 0},
      {119, {"a", "b", "c", "d", "e"}, {"a", "b", fly, flyMove}, 6},
      {127, {"a", "b", "c"}, {"a", "b", fly, flyMove}, 6},
      // From 128 on the states stay as stored...
      {128, {"a", "b", "c", "d", "e"}, {"a", "b", "c", "d", "e"}, 6},
      // ...except that a set never has fewer than the four states characters use.
      {DATA_VERSION, {"a", "b"}, {"a", "b", "", ""}, 6},
  };
  for (const SetUpgradeCase& c : cases) {
    ByteBuilder b;
    if (c.version >= 119) b.Record({I32(1), I32(2), I32(6)}, {"set"});
    else b.Record({I32(1), I32(2)}, {"set"});
    b.U32(static_cast<std::uint32_t>(c.fileStates.size()));
    for (const std::string& name : c.fileStates) AppendAnime(b, c.version, name);

    cAnimeSet set;
    ReadRecordBytes(set, b.Bytes(), c.version);
    EXPECT_EQ(StateNames(set), c.expected) << "version " << c.version;
    EXPECT_EQ(set.m_nFlyingRow, c.expectedFlyingRow) << "version " << c.version;
    EXPECT_EQ(set.m_nInvincibleRow, 1);
  }
}

}  // namespace
