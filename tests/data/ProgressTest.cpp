#include "data/Progress.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>
#include <vector>

#include "FileLimitSupport.h"
#include "RecordRoundTrip.h"
#include "RecordTestSupport.h"
#include "core/SafeAccess.h"
#include "data/Database.h"
#include "data/PathTable.h"
#include "data/StageData.h"
#include "data/StorySlots.h"
#include "data/SystemData.h"
#include "data/WorldMap.h"
#include "support/ByteBuilder.h"

namespace {

namespace fs = std::filesystem;

// Every test starts from the defaults of the globals the progress record reads.
class ProgressTest : public ::testing::Test {
 protected:
  ProgressTest() { ResetGlobals(); }
  ~ProgressTest() override { ResetGlobals(); }

  static void ResetGlobals() {
    ResetSystemDataForTests();
    g_WorldMap.Reset();
    ResetStorySlots(g_StorySlots);
    ClearFatalPendingForTests();
  }

  // A record with something in every part.
  static cProgress FilledProgress() {
    cProgress p;
    p.m_bStatusStored = 1;
    p.m_nMapX = 3;
    p.m_nMapY = 4;
    p.m_nRound = 2;
    p.SetStageName("stage-1.stg4_781", 1, 12, 34);
    p.m_nStageNo = 7;
    p.m_nLivesAtStart = 5;
    p.m_nLives = 4;
    p.m_nScore = 1234;
    p.m_nTimeLeftTotal = 11;
    p.m_nHpLeftTotal = 22;
    p.m_nBgm = 1;
    p.m_bBgmLoop = 1;
    p.m_nFacing = 2;
    p.m_nPrevMapX = 2;
    p.m_nPrevMapY = 4;
    p.m_nOpenStages = 3;
    p.m_nStorySlot = 6;
    p.m_bAutoSave = 1;
    p.m_nRankGenre = 3;
    p.m_bHeroStartSet = 1;
    p.m_nHeroStartX = 8;
    p.m_nHeroStartFacing = 1;
    p.m_strPlayerName = "bob";
    p.m_SaveTime = cSaveTime{2012, 4, 5, 27, 9, 5, 30, 500};
    p.m_CarryFlags[13] = 1;
    p.m_Statuses[0].m_nHp = 9;
    p.m_Statuses[0].m_Chara.m_nMhp = 50;
    p.RecordStageResult("stage.", "stage_c012_34.", 1, 12, 34, 300);
    p.RecordStageResult("other.", "other.", 0, 0, 0, 40);
    p.m_StageFlags[999] = 1;
    p.m_CommonVars[1000] = -5;
    return p;
  }
};

// ---- reset and record form -------------------------------------------------------

TEST_F(ProgressTest, FreshRecordIsTheStartOfARun) {
  cProgress p;
  p.m_nScore = 5;
  p.m_CommonVars.resize(3);
  p.m_StageFlags[0] = 0;
  p.m_Results.push_back(cStageResult());
  p.m_nStorySlot = 4;
  p.ResetFreeRun();

  ASSERT_EQ(p.m_StageFlags.size(), 1000u);
  EXPECT_EQ(p.m_StageFlags[0], 1);
  for (int i = 1; i < 1000; ++i) ASSERT_EQ(p.m_StageFlags[i], 0) << i;
  ASSERT_EQ(p.m_CommonVars.size(), 1001u);
  EXPECT_EQ(p.m_CommonVars[1000], 0);
  EXPECT_EQ(p.m_CarryFlags, cSafeVector<std::int32_t>(25, 0));
  EXPECT_EQ(p.m_Statuses.size(), 1u);
  EXPECT_TRUE(p.m_Results.empty());
  EXPECT_TRUE(p.m_StageNumbers.empty());
  EXPECT_EQ(p.m_nOpenStages, 1);
  EXPECT_EQ(p.m_nStorySlot, -1);
  EXPECT_EQ(p.m_nScore, 0);
  EXPECT_EQ(p.m_strPlayerName, "aaa");
}

TEST_F(ProgressTest, MemberCountsFollowTheVersionGates) {
  // N and M of the record form pin the file layout of each version.
  struct Case {
    int version, members, strings;
  };
  const Case cases[] = {
      {165, 20, 2}, {166, 21, 2}, {169, 22, 2}, {182, 24, 2}, {190, 25, 2}, {191, 27, 2},
      {194, 28, 2}, {678, 31, 2}, {679, 32, 2}, {724, 32, 3}, {758, 35, 3}, {781, 35, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    cProgress p;
    EXPECT_EQ(p.CountMembers(c.version), c.members);
    EXPECT_EQ(p.CountStrings(c.version), c.strings);
  }
}

TEST_F(ProgressTest, FileRoundTripKeepsEveryPart) {
  cProgress p = FilledProgress();
  const cWorldStage entered;
  p.m_pWorldStage = &entered;
  const std::vector<std::uint8_t> bytes = p.MakeFileBytes();

  cProgress back;
  ASSERT_TRUE(cDataRecord::LoadFromBytes(back, bytes));
  EXPECT_EQ(back.MakeFileBytes(), bytes);
  EXPECT_EQ(back.m_SaveTime, (cSaveTime{2012, 4, 5, 27, 9, 5, 30, 500}));
  EXPECT_EQ(back.m_strStageName, "stage.");
  EXPECT_EQ(back.m_strResultKey, "stage_c012_34.");
  EXPECT_EQ(back.m_nVariantValue, 34);
  EXPECT_EQ(back.m_strPlayerName, "bob");
  EXPECT_EQ(back.m_nHeroStartFacing, 1);
  EXPECT_EQ(back.m_CarryFlags[13], 1);
  EXPECT_EQ(back.m_Statuses[0].m_nHp, 9);
  EXPECT_EQ(back.m_Statuses[0].m_Chara.m_nMhp, 50);
  EXPECT_EQ(back.GetStageResult("stage_c012_34."), 300);
  EXPECT_EQ(back.m_nTotal, 340);
  EXPECT_EQ(back.m_StageFlags[999], 1);
  EXPECT_EQ(back.m_CommonVars[1000], -5);
  EXPECT_EQ(back.m_StageNumbers.size(), 40u);  // the system data's stage-number count
  // The run-time reference is never stored: its slot after the version word,
  // N and three members holds zeros.
  for (std::size_t i = 20; i < 24; ++i) EXPECT_EQ(bytes[i], 0) << i;
  EXPECT_EQ(back.m_pWorldStage, nullptr);
}

// The header of a current file, member by member in its file order, each with
// a value of its own (in range, so that Normalize keeps it); the slot of the
// current map stage is read and dropped, and written as 0.
TEST_F(ProgressTest, HeaderMembersAreStoredInTheirFileOrder) {
  using testsupport::ByteBuilder;
  struct Member {
    std::int32_t value;
    std::int32_t cProgress::*field;  // null: the current map stage
  };
  const Member members[] = {
      {101, &cProgress::m_bStatusStored}, {3, &cProgress::m_nMapX},          {7, &cProgress::m_nMapY},
      {0x5A5A, nullptr},                 {105, &cProgress::m_nRound},        {106, &cProgress::m_bVariant},
      {107, &cProgress::m_nVariantVar},  {108, &cProgress::m_nVariantValue}, {109, &cProgress::m_nStageNo},
      {110, &cProgress::m_nSeriesNo},    {111, &cProgress::m_nLivesAtStart}, {112, &cProgress::m_nLives},
      {113, &cProgress::m_nStageScore},  {114, &cProgress::m_nScore},        {115, &cProgress::m_nTotal},
      {116, &cProgress::m_nTimeLeftTotal}, {117, &cProgress::m_nClearTimeTotal},
      {118, &cProgress::m_nHpLeftTotal}, {119, &cProgress::m_nSpLeftTotal},  {120, &cProgress::m_bSeries},
      {1, &cProgress::m_nBgm},           {122, &cProgress::m_bBgmLoop},      {2, &cProgress::m_nFacing},
      {124, &cProgress::m_bBackToMap},   {5, &cProgress::m_nPrevMapX},       {6, &cProgress::m_nPrevMapY},
      {27, &cProgress::m_nOpenStages},   {28, &cProgress::m_nStorySlot},     {129, &cProgress::m_bAutoSave},
      {130, &cProgress::m_bShowRanking}, {4, &cProgress::m_nRankGenre},      {132, &cProgress::m_bHeroStartSet},
      {133, &cProgress::m_nHeroStartX},  {134, &cProgress::m_nHeroStartY},  {135, &cProgress::m_nHeroStartFacing},
  };
  const auto header = [&](bool written) {
    ByteBuilder bytes;
    bytes.U32(DATA_VERSION).U32(std::size(members));
    for (const Member& m : members) bytes.I32(written && m.field == nullptr ? 0 : m.value);
    bytes.U32(3).Str("stage.").Str("key.").Str("bob");
    for (std::uint16_t word : {2012, 4, 5, 27, 9, 5, 30, 500}) bytes.U16(word);
    return bytes;
  };
  ByteBuilder file = header(false);
  for (int list = 0; list < 6; ++list) file.U32(0);  // carry flags, statuses, results, numbers, flags, variables

  cProgress p;
  ASSERT_TRUE(cDataRecord::LoadFromBytes(p, file.Bytes()));
  for (const Member& m : members) {
    if (m.field != nullptr) {
      EXPECT_EQ(p.*(m.field), m.value) << m.value;
    }
  }
  EXPECT_EQ(p.m_strStageName, "stage.");
  EXPECT_EQ(p.m_strResultKey, "key.");
  EXPECT_EQ(p.m_strPlayerName, "bob");
  EXPECT_EQ(p.m_SaveTime, (cSaveTime{2012, 4, 5, 27, 9, 5, 30, 500}));

  const std::vector<std::uint8_t> expected = header(true).Bytes();
  const std::vector<std::uint8_t> written = p.MakeFileBytes();
  ASSERT_GE(written.size(), expected.size());
  EXPECT_EQ(std::vector<std::uint8_t>(written.begin(), written.begin() + static_cast<std::ptrdiff_t>(expected.size())),
            expected);
}

TEST_F(ProgressTest, OlderFilesAreUpgraded) {
  // The record read into still holds values the older file lacks; the upgrades
  // must overwrite them.
  cProgress source = FilledProgress();
  source.m_bBgmLoop = 0;
  source.m_bBackToMap = 1;
  source.m_CommonVars[999] = 77;

  struct Case {
    int version;
    int bgmLoop, autoSave, hpTotal, facing, backToMap, prevX;
    int carryFlag0;
    std::size_t commonVars;
  };
  const Case cases[] = {
      {160, 1, 0, 0, 0, 0, 0, 1, 1000},  {168, 0, 0, 0, 0, 0, 0, 1, 1000},
      {181, 0, 1, 0, 0, 0, 0, 1, 1000},  {193, 0, 1, 22, 0, 1, 2, 1, 1000},
      {500, 0, 1, 22, 2, 1, 2, 1, 1000}, {753, 0, 1, 22, 2, 1, 2, 0, 1000},
      {754, 0, 1, 22, 2, 1, 2, 0, 1001}, {DATA_VERSION, 0, 1, 22, 2, 1, 2, 0, 1001},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    cProgress target;
    target.m_bBgmLoop = 0;
    target.m_bAutoSave = 1;
    target.m_nHpLeftTotal = 99;
    target.m_nFacing = 3;
    target.m_bBackToMap = 1;
    target.m_nPrevMapX = 5;
    ASSERT_TRUE(cDataRecord::LoadFromBytes(target, source.MakeFileBytes(c.version)));
    EXPECT_EQ(target.m_bBgmLoop, c.bgmLoop);
    EXPECT_EQ(target.m_bAutoSave, c.autoSave);
    EXPECT_EQ(target.m_nHpLeftTotal, c.hpTotal);
    EXPECT_EQ(target.m_nFacing, c.facing);
    EXPECT_EQ(target.m_bBackToMap, c.backToMap);
    EXPECT_EQ(target.m_nPrevMapX, c.prevX);
    ASSERT_EQ(target.m_CarryFlags.size(), 25u);
    EXPECT_EQ(target.m_CarryFlags[0], c.carryFlag0);
    EXPECT_EQ(target.m_CarryFlags[24], c.carryFlag0);
    EXPECT_EQ(target.m_CommonVars.size(), c.commonVars);
    EXPECT_EQ(target.m_CommonVars[999], 77);
    if (c.version < 754) {
      EXPECT_EQ(target.m_SavedCommonVars, cSafeVector<std::int32_t>(1000, 0));
    }
  }
}

TEST_F(ProgressTest, UpgradedRecordSavedAgainReadsBackTheSame) {
  // A loader that accepts a file must never write one that reads differently.
  for (int version : {160, 500, 753, 754, DATA_VERSION}) {
    SCOPED_TRACE(version);
    cProgress source = FilledProgress();
    cProgress first;
    ASSERT_TRUE(cDataRecord::LoadFromBytes(first, source.MakeFileBytes(version)));
    const std::vector<std::uint8_t> written = first.MakeFileBytes();
    cProgress second;
    ASSERT_TRUE(cDataRecord::LoadFromBytes(second, written));
    EXPECT_EQ(second.MakeFileBytes(), written);
    EXPECT_EQ(second.m_CommonVars.size(), version < 754 ? 1000u : 1001u);
  }
}

TEST_F(ProgressTest, ResultsOfOldFilesTakeTheStageNameAsKey) {
  cProgress source;
  source.RecordStageResult("abc.", "abc_c001_2.", 1, 1, 2, 70);
  cProgress back;
  ASSERT_TRUE(cDataRecord::LoadFromBytes(back, source.MakeFileBytes(758)));
  ASSERT_EQ(back.m_Results.size(), 1u);
  EXPECT_EQ(back.m_Results[0].m_strKey, "abc.");
  EXPECT_EQ(back.m_Results[0].m_bVariant, 0);
  EXPECT_EQ(back.m_Results[0].m_nBestScore, 70);
}

TEST_F(ProgressTest, ListsTheGameIndexesAreBroughtToTheirSizes) {
  cProgress source;
  source.m_CarryFlags.resize(3);
  source.m_Statuses.clear();
  source.m_StageFlags.resize(5);
  source.m_CommonVars.assign(2000, 1);
  cProgress shortVars;
  shortVars.m_CommonVars.resize(999);
  cProgress backShort;
  ASSERT_TRUE(cDataRecord::LoadFromBytes(backShort, shortVars.MakeFileBytes()));
  EXPECT_EQ(backShort.m_CommonVars.size(), 1001u);
  cProgress back;
  ASSERT_TRUE(cDataRecord::LoadFromBytes(back, source.MakeFileBytes()));
  EXPECT_EQ(back.m_CarryFlags.size(), 25u);
  EXPECT_EQ(back.m_Statuses.size(), 1u);
  EXPECT_EQ(back.m_StageFlags.size(), 1000u);
  EXPECT_EQ(back.m_StageFlags[0], 1);
  EXPECT_EQ(back.m_CommonVars.size(), 1001u);
}

TEST_F(ProgressTest, NormalizeKeepsEveryTableIndexInRange) {
  struct Case {
    const char* what;
    void (*damage)(cProgress&);
    bool (*check)(const cProgress&);
  };
  const Case cases[] = {
      {"map x at the width", [](cProgress& p) { p.m_nMapX = 20; },
       [](const cProgress& p) { return p.m_nMapX == 9; }},
      {"map y at the height", [](cProgress& p) { p.m_nMapY = 15; },
       [](const cProgress& p) { return p.m_nMapY == 7; }},
      {"negative map cell", [](cProgress& p) { p.m_nMapX = -1; p.m_nMapY = -40; },
       [](const cProgress& p) { return p.m_nMapX == 9 && p.m_nMapY == 7; }},
      {"last cell stays", [](cProgress& p) { p.m_nMapX = 19; p.m_nMapY = 14; },
       [](const cProgress& p) { return p.m_nMapX == 19 && p.m_nMapY == 14; }},
      {"previous cell off the map", [](cProgress& p) { p.m_nMapX = 2; p.m_nPrevMapX = 99; },
       [](const cProgress& p) { return p.m_nPrevMapX == 2; }},
      {"music beyond the Bgm database", [](cProgress& p) { p.m_nBgm = static_cast<int>(g_Database.m_Bgms.size()); },
       [](const cProgress& p) { return p.m_nBgm == 0; }},
      {"negative music", [](cProgress& p) { p.m_nBgm = -3; }, [](const cProgress& p) { return p.m_nBgm == 0; }},
      {"stored music", [](cProgress& p) { p.m_Statuses[0].m_nBgm = 1000; },
       [](const cProgress& p) { return p.m_Statuses[0].m_nBgm == 0; }},
      {"slot 99", [](cProgress& p) { p.m_nStorySlot = 99; }, [](const cProgress& p) { return p.m_nStorySlot == -1; }},
      {"slot 98 stays", [](cProgress& p) { p.m_nStorySlot = 98; },
       [](const cProgress& p) { return p.m_nStorySlot == 98; }},
      {"genre 5", [](cProgress& p) { p.m_nRankGenre = 5; }, [](const cProgress& p) { return p.m_nRankGenre == 0; }},
      {"facing 4", [](cProgress& p) { p.m_nFacing = 4; }, [](const cProgress& p) { return p.m_nFacing == 0; }},
      {"variant variable", [](cProgress& p) { p.m_nVariantVar = 1001; },
       [](const cProgress& p) { return p.m_nVariantVar == 0; }},
      {"lives", [](cProgress& p) { p.m_nLives = -2; p.m_nLivesAtStart = 1000000; },
       [](const cProgress& p) { return p.m_nLives == 0 && p.m_nLivesAtStart == 999999; }},
      {"stages opened above the count", [](cProgress& p) { p.m_nOpenStages = 41; },
       [](const cProgress& p) { return p.m_nOpenStages == 40; }},
      {"stage-number results", [](cProgress& p) { p.m_StageNumbers.assign(50, cIntPair(1, 2)); },
       [](const cProgress& p) { return p.m_StageNumbers.size() == 40u && p.m_StageNumbers[39].m_nSecond == 2; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    cProgress p;
    c.damage(p);
    cProgress back;
    ASSERT_TRUE(cDataRecord::LoadFromBytes(back, p.MakeFileBytes()));
    EXPECT_TRUE(c.check(back));
    EXPECT_TRUE(c.check(p)) << "writing normalizes the record too";
  }
}

TEST_F(ProgressTest, EveryTruncatedFileIsRefusedAndChangesNothing) {
  cProgress saved = FilledProgress();
  const std::vector<std::uint8_t> bytes = saved.MakeFileBytes();
  cProgress target;
  target.m_nScore = 42;
  const std::vector<std::uint8_t> before = target.MakeFileBytes();
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    ASSERT_FALSE(cDataRecord::LoadFromBytes(target, std::span(bytes.data(), size))) << size;
  }
  EXPECT_EQ(target.MakeFileBytes(), before);
}

TEST_F(ProgressTest, HugeListCountsAreRefused) {
  // A count no file could hold, in place of the carry-flag count after the
  // registered part and the save time.
  cProgress saved;
  std::vector<std::uint8_t> bytes = saved.MakeFileBytes();
  cProgress probe;
  cByteWriter head;
  BeginDataWrite(head);
  probe.cDataRecord::Write(head);
  const std::size_t carryCount = head.Bytes().size() + 16;
  for (int i = 0; i < 4; ++i) bytes[carryCount + i] = 0xFF;
  cProgress target;
  EXPECT_FALSE(cDataRecord::LoadFromBytes(target, bytes));
}

// ---- stage names and results ----------------------------------------------------------

TEST_F(ProgressTest, StageNameIsCutAfterItsBase) {
  struct Case {
    const char* name;
    int variant, var, value;
    const char* stage;
    const char* key;
    int series;
  };
  const Case cases[] = {
      {"stage-1.stg4", 0, 0, 0, "stage.", "stage.", 1},
      {"a-12.stg4", 0, 0, 0, "a.", "a.", 1},  // "-12" counts as the first of a series
      {"x.y.stg4", 0, 0, 0, "x.y.", "x.y.", 0},
      {"abc", 0, 0, 0, "", "", 0},
      {"", 0, 0, 0, "", "", 0},
      {"data\\stg4\\w-2.stg4_781", 0, 0, 0, "data\\stg4\\w-2.", "data\\stg4\\w-2.", 0},
      {"abc.stg4", 1, 12, 34, "abc.", "abc_c012_34.", 0},
      {"abc-1.stg4", 1, 5, -3, "abc.", "abc_c005_-3.", 1},
      {"abc.stg4", 0, 12, 34, "abc.", "abc.", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cProgress p;
    p.m_bSeries = 1;
    p.SetStageName(c.name, c.variant, c.var, c.value);
    EXPECT_EQ(p.m_strStageName, c.stage);
    EXPECT_EQ(p.m_strResultKey, c.key);
    EXPECT_EQ(p.m_bSeries, c.series);
    EXPECT_EQ(p.m_bVariant, c.variant);
    EXPECT_EQ(p.m_nVariantVar, c.var);
  }
}

TEST_F(ProgressTest, DerivedStageNameKeepsTheDot) {
  struct Case {
    const char* key;
    int variant, var, value;
    const char* derived;
  };
  const Case cases[] = {
      {"abc.", 1, 5, 3, "abc_c005_3."},
      {"abc", 1, 5, 3, "abc_c005_3"},
      {"", 1, 1000, 0, "_c1000_0"},
      {"abc.", 0, 5, 3, "abc."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    std::string key = c.key;
    MakeDerivedStageName(key, c.variant, c.var, c.value);
    EXPECT_EQ(key, c.derived);
  }
}

TEST_F(ProgressTest, BestResultsKeepTheHighestScoreAndTheTotal) {
  cProgress p;
  p.RecordStageResult("abc.", "abc.", 0, 0, 0, 500);
  EXPECT_EQ(p.m_nTotal, 500);
  p.RecordStageResult("abc.", "abc.", 0, 0, 0, 300);
  EXPECT_EQ(p.GetStageResult("abc."), 500);
  EXPECT_EQ(p.m_nTotal, 500);
  p.RecordStageResult("abc.", "abc.", 0, 0, 0, 700);
  EXPECT_EQ(p.GetStageResult("abc."), 700);
  EXPECT_EQ(p.m_nTotal, 700);
  p.RecordStageResult("abc.", "abc_c001_1.", 1, 1, 1, 50);
  EXPECT_EQ(p.m_Results.size(), 2u);
  EXPECT_EQ(p.m_nTotal, 750);
  EXPECT_EQ(p.GetStageResult("ABC."), 0);  // keys compare byte for byte
  EXPECT_EQ(p.GetStageResult("none."), 0);

  p.RecordStageResult("big.", "big.", 0, 0, 0, INT_MAX);
  EXPECT_EQ(p.m_nTotal, INT_MAX);  // the total saturates instead of wrapping
}

TEST_F(ProgressTest, TotalCountsOnlyStagesStillOnTheMap) {
  cWorldMap map;
  cWorldNode node;
  node.m_Stages[0].m_strStageFile = "a-1.stg4_781";
  cWorldStage variant;
  variant.m_strStageFile = "b.stg4";
  variant.m_bVariant = 1;
  variant.m_nVariant1 = 2;
  variant.m_nVariant2 = 3;
  node.m_Stages.push_back(variant);
  map.m_Nodes.push_back(node);

  cProgress p;
  p.RecordStageResult("a.", "a.", 0, 0, 0, 100);
  p.RecordStageResult("b.", "b_c002_3.", 1, 2, 3, 50);
  p.RecordStageResult("b.", "b_c002_4.", 1, 2, 4, 7);  // another variant: not on the map
  p.RecordStageResult("c.", "c.", 0, 0, 0, 1000);      // removed from the map
  EXPECT_EQ(p.m_nTotal, 1157);
  p.RecalcTotal(map);
  EXPECT_EQ(p.m_nTotal, 150);
  EXPECT_EQ(p.m_Results.size(), 4u);
}

TEST_F(ProgressTest, RankGenreStepsOverTheEnabledGenres) {
  g_System.m_RankGenreSets[PLAY_MODE_STORY].m_Genres = {1, 0, 0, 1, 0};
  g_System.m_RankGenreSets[PLAY_MODE_CHALLENGE].m_Genres = {0, 0, 0, 0, 0};
  struct Case {
    int mode, from, steps, to;
  };
  const Case cases[] = {
      {0, 0, 1, 3}, {0, 3, 1, 0}, {0, 0, -1, 3}, {0, 3, -1, 0}, {0, 1, 0, 3}, {0, 3, 0, 3},
      {0, 1, 1, 3},  // from a disabled genre one step lands on the next enabled one
      {0, 0, 4, 0}, {0, 0, INT_MAX, 3}, {0, 0, INT_MIN, 0}, {0, 7, 0, 0},
      {1, 2, 1, 2},  // nothing enabled: nothing changes
      {9, 2, 1, 2},  // no such play mode
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.mode << " " << c.from << " " << c.steps);
    cProgress p;
    p.m_nRankGenre = c.from;
    p.StepRankGenre(c.mode, c.steps);
    EXPECT_EQ(p.m_nRankGenre, c.to);
  }
}

// ---- lives, stage start, carried status ----------------------------------------------------

TEST_F(ProgressTest, LoadedLivesFollowThePlayMode) {
  g_System.m_InfiniteLives = {0, 1, 0, 0};
  g_System.m_Lives = {5, 6, 7, 99};
  struct Case {
    int mode, lives, start, expectLives, expectStart;
  };
  const Case cases[] = {
      {PLAY_MODE_STORY, 999999, 999999, 5, 999999},  // infinite lives saved, finite now
      {PLAY_MODE_STORY, 3, 4, 3, 4},
      {PLAY_MODE_CHALLENGE, 3, 4, 999999, 999999},
      {PLAY_MODE_FREE, 999999, 2, 7, 2},
      {17, 999999, 1, 0, 1},  // a play mode without an entry: no initial lives
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    cProgress p;
    p.m_nLives = c.lives;
    p.m_nLivesAtStart = c.start;
    p.ApplyLoadedLives(c.mode);
    EXPECT_EQ(p.m_nLives, c.expectLives);
    EXPECT_EQ(p.m_nLivesAtStart, c.expectStart);
  }
}

TEST_F(ProgressTest, LeavingOrRetryingAStageRestoresItsStart) {
  g_System.m_bStoryReload = 0;
  g_System.m_bChallengeReload = 1;
  g_System.m_bFreeReload = 0;
  g_System.m_bTestReload = 1;
  struct Case {
    bool retry;
    int mode;
    bool test;
    bool varsBack, livesBack;
  };
  const Case cases[] = {
      {true, PLAY_MODE_STORY, false, true, true},
      {false, PLAY_MODE_STORY, false, false, false},
      {false, PLAY_MODE_CHALLENGE, false, true, false},
      {false, PLAY_MODE_FREE, false, false, false},
      {false, PLAY_MODE_FREE, true, true, false},  // test play has its own flag
      {false, PLAY_MODE_REPLAY, false, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.retry << " " << c.mode << " " << c.test);
    cProgress p;
    p.m_CommonVars[3] = 10;
    p.m_nLives = 4;
    p.m_nScore = 100;
    p.SaveStageStart();
    p.m_CommonVars[3] = 11;
    p.m_nLives = 3;
    p.m_nScore = 250;
    p.RestoreStageStart(c.retry, c.mode, c.test);
    EXPECT_EQ(p.m_CommonVars[3], c.varsBack ? 10 : 11);
    EXPECT_EQ(p.m_nLives, c.livesBack ? 4 : 3);
    EXPECT_EQ(p.m_nScore, 100);
  }
}

TEST_F(ProgressTest, RestoreBeforeAnyStageStartKeepsTheVariables) {
  cProgress p;
  p.m_CommonVars[5] = 8;
  p.RestoreStageStart(true, PLAY_MODE_STORY, false);
  ASSERT_EQ(p.m_CommonVars.size(), 1001u);
  EXPECT_EQ(p.m_CommonVars[5], 8);
}

class CarryOverTest : public ProgressTest {
 protected:
  static cCharaData Hero() {
    cCharaData c;
    c.m_nGraphic = 0;  // restored as 1
    c.m_nGraphicKind = 2;
    c.m_nGraphicRow = 3;
    c.m_nAnimeSet = 4;
    c.m_nZ = 6;
    c.m_nScale = 2;
    c.m_nSight = 12;
    c.m_nMhp = 300;
    c.m_nMsp = 30;
    c.m_nPower = 77;
    c.m_nImp = -5;
    c.m_nImpd = 9;
    c.m_nStop = 44;
    c.m_nDef = 8;
    c.m_Flows.push_back(cFlow());
    return c;
  }
};

TEST_F(CarryOverTest, DefaultGroupsCarryIntoTheNextStage) {
  // The default carry-over: groups 0, 1, 13, 14, 16, 17, 19, 20, 21.
  cProgress p;
  p.StoreStatus(0, Hero(), 80, 20, 3, 1, 2, 150, 6, 1);
  EXPECT_EQ(p.m_bStatusStored, 1);
  const std::vector<int> carried = {0, 1, 13, 14, 16, 17, 19, 20, 21};
  for (int k = 0; k < 25; ++k)
    EXPECT_EQ(p.m_CarryFlags[k], std::count(carried.begin(), carried.end(), k) ? 1 : 0) << k;

  cCharaData next;
  cStageData stage;
  stage.m_TimeLimit = 200;
  stage.m_Bgm = 0;
  p.m_nLives = 2;
  p.RestoreStatus(0, next, stage);
  EXPECT_EQ(next.m_nGraphic, 1);
  EXPECT_EQ(next.m_nGraphicKind, 2);
  EXPECT_EQ(next.m_nGraphicRow, 3);
  EXPECT_EQ(next.m_nAnimeSet, 4);
  EXPECT_EQ(next.m_nMhp, 300);
  EXPECT_EQ(next.m_nMsp, 30);
  EXPECT_EQ(next.m_nPower, 77);
  EXPECT_EQ(next.m_nImp, -5);
  EXPECT_EQ(next.m_nImpd, 9);
  EXPECT_EQ(next.m_nStop, 44);
  EXPECT_EQ(next.m_Flows.size(), 1u);
  const cCharaData fresh;
  EXPECT_EQ(next.m_nZ, fresh.m_nZ);        // group 2 is not carried
  EXPECT_EQ(next.m_nScale, fresh.m_nScale);  // group 8
  EXPECT_EQ(next.m_nDef, fresh.m_nDef);      // group 18
  EXPECT_EQ(stage.m_TimeLimit, 200);
  EXPECT_EQ(p.m_nLives, 2);

  int hp = -1, sp = -1;
  p.RestoreHpSp(0, hp, sp);
  EXPECT_EQ(hp, -1);
  EXPECT_EQ(sp, -1);
}

TEST_F(CarryOverTest, RunValuesCarryAndALostLifeDropsTheResetGroups) {
  for (int k : {4, 11, 12, 22, 23, 24}) g_System.m_CarryOver[k] = 1;
  cProgress p;
  p.StoreStatus(0, Hero(), 80, 20, 3, 1, 2, 150, 6, 1);

  cCharaData next;
  cStageData stage;
  p.m_nLives = 0;
  p.RestoreStatus(0, next, stage);
  EXPECT_EQ(next.m_nSpawnEffect, 3);
  EXPECT_EQ(next.m_nSpawnEffectList, 1);
  EXPECT_EQ(next.m_nSpawnEffectValue, 2);
  EXPECT_EQ(stage.m_TimeLimit, 150);
  EXPECT_EQ(stage.m_Bgm, 1);
  EXPECT_EQ(p.m_nLives, 6);

  int hp = 0, sp = 0;
  p.RestoreHpSp(0, hp, sp);
  EXPECT_EQ(hp, 80);
  EXPECT_EQ(sp, 20);

  p.ResetCarryFlags();  // default reset list: groups 11 and 12
  EXPECT_EQ(p.m_CarryFlags[11], 0);
  EXPECT_EQ(p.m_CarryFlags[12], 0);
  EXPECT_EQ(p.m_CarryFlags[22], 1);
  hp = sp = -1;
  p.RestoreHpSp(0, hp, sp);
  EXPECT_EQ(hp, -1);
  EXPECT_EQ(sp, -1);
}

TEST_F(CarryOverTest, NothingIsRestoredBeforeAStoreOrForAnUnknownSlot) {
  cProgress p;
  cCharaData next;
  next.m_nMhp = 12;
  cStageData stage;
  p.RestoreStatus(0, next, stage);
  EXPECT_EQ(next.m_nMhp, 12);

  p.StoreStatus(0, Hero(), 1, 1, 0, 0, 0, 0, 0, 0);
  p.RestoreStatus(1, next, stage);
  p.RestoreStatus(-1, next, stage);
  EXPECT_EQ(next.m_nMhp, 12);

  // A second hero gets a status of its own; an absurd slot stores nothing.
  p.StoreStatus(2, Hero(), 1, 1, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(p.m_Statuses.size(), 3u);
  p.StoreStatus(-1, Hero(), 1, 1, 0, 0, 0, 0, 0, 0);
  p.StoreStatus(1 << 20, Hero(), 1, 1, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(p.m_Statuses.size(), 3u);
}

TEST_F(ProgressTest, NextLapClearsTheStageFlagsAndCountersClear) {
  cProgress p;
  p.m_StageFlags[5] = 1;
  p.m_nMapX = 1;
  p.StartNextLap(g_WorldMap);
  EXPECT_EQ(p.m_nRound, 1);
  EXPECT_EQ(p.m_StageFlags, cSafeVector<std::int32_t>(1000, 0));
  EXPECT_EQ(p.m_nMapX, g_WorldMap.m_nStartX);
  EXPECT_EQ(p.m_nMapY, g_WorldMap.m_nStartY);

  p.m_nScore = p.m_nTimeLeftTotal = p.m_nClearTimeTotal = p.m_nHpLeftTotal = p.m_nSpLeftTotal = 9;
  p.m_nTotal = 9;
  p.ClearStageCounters();
  EXPECT_EQ(p.m_nScore + p.m_nTimeLeftTotal + p.m_nClearTimeTotal + p.m_nHpLeftTotal + p.m_nSpLeftTotal, 0);
  EXPECT_EQ(p.m_nTotal, 9);
}

// ---- save files ---------------------------------------------------------------------------

class ProgressFileTest : public ProgressTest {
 protected:
  ProgressFileTest() {
    fs::create_directories(m_Folder.Path() / "user_data" / "story");
    fs::create_directories(m_Folder.Path() / "user_data" / "challenge");
  }
  fs::path StoryFile(int number) const {
    char name[32];
    std::snprintf(name, sizeof name, "Story%02d.dat", number);
    return m_Folder.Path() / "user_data" / "story" / name;
  }
  fs::path ChallengeFile() const { return m_Folder.Path() / "user_data" / "challenge" / "Challenge.dat"; }

  recordtest::cTempFolder m_Folder;
};

TEST_F(ProgressFileTest, StorySaveAndLoadRoundTrip) {
  cProgress p = FilledProgress();
  ASSERT_TRUE(p.SaveStory(4));
  EXPECT_TRUE(fs::exists(StoryFile(5)));
  EXPECT_EQ(g_StorySlots[4].m_bUsed, 1);
  EXPECT_EQ(g_StorySlots[4].m_SaveTime, p.m_SaveTime);
  EXPECT_NE(p.m_SaveTime.m_wYear, 2012);  // the time of this save
  EXPECT_EQ(g_StorySlots[3].m_bUsed, 0);

  g_System.m_InfiniteLives[PLAY_MODE_STORY] = 0;
  cProgress loaded;
  ASSERT_TRUE(loaded.LoadStory(4));
  EXPECT_EQ(loaded.m_strPlayerName, "bob");
  EXPECT_EQ(loaded.m_nLives, 4);
  EXPECT_EQ(loaded.m_SaveTime, p.m_SaveTime);
  EXPECT_EQ(loaded.MakeFileBytes(), p.MakeFileBytes());

  // With infinite lives in the story both lives values become infinite.
  g_System.m_InfiniteLives[PLAY_MODE_STORY] = 1;
  ASSERT_TRUE(loaded.LoadStory(4));
  EXPECT_EQ(loaded.m_nLives, 999999);
  EXPECT_EQ(loaded.m_nLivesAtStart, 999999);
}

TEST_F(ProgressFileTest, ChallengeSaveAndLoadRoundTrip) {
  g_System.m_InfiniteLives[PLAY_MODE_CHALLENGE] = 0;
  cProgress p = FilledProgress();
  p.m_nLives = 999999;
  p.m_StageNumbers.assign(40, cIntPair(1, 500));
  ASSERT_TRUE(p.SaveChallenge());
  EXPECT_TRUE(fs::exists(ChallengeFile()));

  cProgress loaded;
  ASSERT_TRUE(loaded.LoadChallenge());
  EXPECT_EQ(loaded.m_StageNumbers[39].m_nSecond, 500);
  EXPECT_EQ(loaded.m_nLives, 5);  // the challenge's initial lives
  EXPECT_EQ(loaded.m_strResultKey, "stage_c012_34.");
}

TEST_F(ProgressFileTest, MissingChallengeFileLoadsNothingQuietly) {
  cProgress p;
  p.m_nScore = 17;
  EXPECT_FALSE(p.LoadChallenge());
  EXPECT_EQ(p.m_nScore, 17);
  EXPECT_EQ(recordtest::ReportText(), "");
}

TEST_F(ProgressFileTest, MissingOrDamagedStoryIsReportedAndNotLoaded) {
  cProgress p = FilledProgress();
  const std::vector<std::uint8_t> before = p.MakeFileBytes();

  EXPECT_FALSE(p.LoadStory(0));
  EXPECT_NE(recordtest::ReportText().find("Story01.dat"), std::string::npos);
  EXPECT_EQ(p.MakeFileBytes(), before);

  cProgress other;
  std::vector<std::uint8_t> bytes = other.MakeFileBytes();
  bytes.resize(bytes.size() - 1);
  recordtest::WriteFileBytes(StoryFile(2), bytes);
  EXPECT_FALSE(p.LoadStory(1));
  EXPECT_NE(recordtest::ReportText().find("Story02.dat"), std::string::npos);
  EXPECT_EQ(p.MakeFileBytes(), before);

  recordtest::WriteFileBytes(ChallengeFile(), bytes);
  EXPECT_FALSE(p.LoadChallenge());
  EXPECT_NE(recordtest::ReportText().find("Challenge.dat"), std::string::npos);
  EXPECT_EQ(p.MakeFileBytes(), before);

  for (int slot : {-1, 99}) {
    EXPECT_FALSE(p.LoadStory(slot));
    EXPECT_FALSE(p.SaveStory(slot));
  }
}

TEST_F(ProgressFileTest, FailedStorySaveKeepsTheOldFileAndTheHeader) {
  cProgress old;
  old.m_strPlayerName = "old";
  ASSERT_TRUE(old.SaveStory(0));
  const std::vector<std::uint8_t> before = recordtest::ReadFileBytes(StoryFile(1));
  ResetStorySlots(g_StorySlots);

  cProgress p = FilledProgress();
  const cSaveTime timeBefore = p.m_SaveTime;
  bool saved = true;
  {
    // Room for the report line, not for the save.
    recordtest::cFileSizeLimit limit(before.size() / 2);
    saved = p.SaveStory(0);
  }
  EXPECT_FALSE(saved);
  EXPECT_EQ(recordtest::ReadFileBytes(StoryFile(1)), before);
  EXPECT_EQ(g_StorySlots[0].m_bUsed, 0);
  EXPECT_EQ(p.m_SaveTime, timeBefore);
  EXPECT_NE(recordtest::ReportText().find("Story01.dat"), std::string::npos);

  bool challengeSaved = true;
  ASSERT_TRUE(old.SaveChallenge());
  {
    recordtest::cFileSizeLimit limit(before.size() / 2);
    challengeSaved = p.SaveChallenge();
  }
  EXPECT_FALSE(challengeSaved);
  cProgress loaded;
  ASSERT_TRUE(loaded.LoadChallenge());
  EXPECT_EQ(loaded.m_strPlayerName, "old");
}

TEST_F(ProgressFileTest, SavesAreRefusedAfterACheckedContainerFailed) {
  cProgress old;
  ASSERT_TRUE(old.SaveStory(3));
  const std::vector<std::uint8_t> before = recordtest::ReadFileBytes(StoryFile(4));
  ResetStorySlots(g_StorySlots);

  cSafeVector<int> list;
  (void)list[1];
  ASSERT_TRUE(IsFatalPending());
  cProgress p = FilledProgress();
  EXPECT_FALSE(p.SaveStory(3));
  EXPECT_FALSE(p.SaveChallenge());
  EXPECT_EQ(recordtest::ReadFileBytes(StoryFile(4)), before);
  EXPECT_FALSE(fs::exists(ChallengeFile()));
  EXPECT_EQ(g_StorySlots[3].m_bUsed, 0);
  EXPECT_NE(recordtest::ReportText().find("refused"), std::string::npos);
}

}  // namespace
