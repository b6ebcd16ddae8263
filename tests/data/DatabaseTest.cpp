#include "data/Database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "RecordRoundTrip.h"
#include "SampleGame.h"
#include "RecordTestSupport.h"
#include "platform/MessageBox.h"
#include "support/ByteBuilder.h"

namespace {

namespace fs = std::filesystem;
using recordtest::DatabaseFileBytes;
using testsupport::ByteBuilder;
using testsupport::I32;

// The file bytes of list `index` (load order) of a database.
std::vector<std::uint8_t> ListFileBytes(cDatabase& db, int index) { return samplegame::DatabaseFileBytes(db, index); }

// Everything a database holds, as bytes, to tell whether it changed.
std::vector<std::uint8_t> Fingerprint(cDatabase& db) {
  std::vector<std::uint8_t> all;
  for (int i = 0; i < kDatabaseFileCount; ++i) {
    const auto bytes = ListFileBytes(db, i);
    all.insert(all.end(), bytes.begin(), bytes.end());
  }
  for (const auto& bytes : {DatabaseFileBytes(db.m_RunCharaEffects), DatabaseFileBytes(db.m_RunScrEffects)})
    all.insert(all.end(), bytes.begin(), bytes.end());
  return all;
}

// Three entries in every list, each named after its file and position, and
// effect entries of kind 5 (so the loader's kind-0 fix of entry 0 shows).
cDatabase MakeSource() {
  cDatabase db;
  auto name = [](int file, int i) { return std::string(kDatabaseFileNames[file]) + "#" + std::to_string(i); };
  db.m_AnimeSets.resize(3);
  db.m_Animes.resize(3);
  db.m_BmpCharaExcs.resize(3);
  db.m_SwordTypes.resize(3);
  db.m_Effects.resize(3);
  db.m_CharaEffects.resize(3);
  db.m_ScrEffects.resize(3);
  db.m_Pictures.resize(3);
  db.m_Sounds.resize(3);
  db.m_Bgms.resize(3);
  for (int i = 0; i < 3; ++i) {
    db.m_AnimeSets[i].m_strName = name(0, i);
    db.m_Animes[i].m_strName = name(1, i);
    db.m_BmpCharaExcs[i].m_strName = name(2, i);
    db.m_SwordTypes[i].m_strName = name(3, i);
    db.m_Effects[i].m_strName = name(4, i);
    db.m_CharaEffects[i].m_strName = name(5, i);
    db.m_CharaEffects[i].m_nKind = 5;
    db.m_ScrEffects[i].m_strName = name(6, i);
    db.m_ScrEffects[i].m_nKind = 5;
    db.m_Pictures[i].m_strName = name(7, i);
    db.m_Sounds[i].m_strName = name(8, i);
    db.m_Bgms[i].m_strName = name(9, i);
  }
  return db;
}

class DatabaseLoad : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories("data/database");
    plat::SetMessageBoxSink([this](const std::string& text, const std::string&, UINT) {
      m_Boxes.push_back(text);
      return IDOK;
    });
    WriteAll();
  }
  void TearDown() override { plat::SetMessageBoxSink({}); }

  static fs::path FilePath(int index) { return fs::path("data/database") / kDatabaseFileNames[index]; }
  static std::string ProgramPath(int index) { return std::string("data\\database\\") + kDatabaseFileNames[index]; }
  static std::string FailureBox(int index) { return ProgramPath(index) + " のロードに失敗！"; }

  void WriteAll() {
    for (int i = 0; i < kDatabaseFileCount; ++i) recordtest::WriteFileBytes(FilePath(i), ListFileBytes(m_Source, i));
  }

  recordtest::cTempFolder m_Folder;
  cDatabase m_Source = MakeSource();
  std::vector<std::string> m_Boxes;
};

// N and M of the record form of every database record at the current
// version: the files the editor writes must read back unchanged.
TEST(Database, RecordsKeepTheirDescriptorCounts) {
  struct Case {
    const char* name;
    cDataRecord* record;
    int members, strings;
  };
  cAnimeSet set;
  cAnime anime;
  cAnimeFrameData frame;
  cBmpCharaExc bmp;
  cSwordType sword;
  cSwordStep step;
  cEffect effect;
  cEffectFrame effectFrame;
  cCharaEffect charaEffect;
  cScrEffect scrEffect;
  cPicture picture;
  cSound sound;
  cBgm bgm;
  cDatabase db;
  const Case cases[] = {
      {"cAnimeSet", &set, 3, 1},          {"cAnime", &anime, 3, 1},         {"cAnimeFrameData", &frame, 3, 0},
      {"cBmpCharaExc", &bmp, 3, 2},       {"cSwordType", &sword, 1, 3},     {"cSwordStep", &step, 10, 0},
      {"cEffect", &effect, 4, 2},         {"cEffectFrame", &effectFrame, 2, 0},
      {"cCharaEffect", &charaEffect, 2, 1}, {"cScrEffect", &scrEffect, 2, 1}, {"cPicture", &picture, 1, 2},
      {"cSound", &sound, 1, 2},           {"cBgm", &bgm, 1, 2},             {"cDatabase", &db, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.record->CountMembers(DATA_VERSION), c.members) << c.name;
    EXPECT_EQ(c.record->CountStrings(DATA_VERSION), c.strings) << c.name;
  }
}

TEST(Database, ResetGivesTheNoneEntriesAndFirstEntries) {
  const cDatabase db;
  EXPECT_EQ(db.m_AnimeSets.size(), 1u);
  ASSERT_EQ(db.m_Animes.size(), 2u);
  EXPECT_EQ(db.m_Animes[0].m_strName, "なし");
  EXPECT_EQ(db.m_Animes[1].m_strName, "アクションA");
  EXPECT_EQ(db.m_SwordTypes.size(), 1u);
  for (std::size_t size : {db.m_BmpCharaExcs.size(), db.m_Effects.size(), db.m_CharaEffects.size(),
                           db.m_ScrEffects.size(), db.m_Pictures.size(), db.m_Sounds.size(), db.m_Bgms.size()})
    EXPECT_EQ(size, 2u);
  EXPECT_TRUE(db.m_RunCharaEffects.empty());
  EXPECT_TRUE(db.m_RunScrEffects.empty());
}

TEST_F(DatabaseLoad, LoadsEveryFileFromThePathTable) {
  cDatabase db;
  ASSERT_TRUE(db.Load());
  EXPECT_TRUE(m_Boxes.empty());
  EXPECT_EQ(db.m_AnimeSets[2].m_strName, "AnimeSet.dat#2");
  EXPECT_EQ(db.m_Animes[1].m_strName, "Anime.dat#1");
  EXPECT_EQ(db.m_BmpCharaExcs[2].m_strName, "Bmp_CharaExc.dat#2");
  EXPECT_EQ(db.m_SwordTypes[2].m_strName, "SwordType.dat#2");
  EXPECT_EQ(db.m_Effects[2].m_strName, "Effect.dat#2");
  EXPECT_EQ(db.m_Pictures[2].m_strName, "Picture.dat#2");
  EXPECT_EQ(db.m_Sounds[2].m_strName, "Sound.dat#2");
  EXPECT_EQ(db.m_Bgms[2].m_strName, "Bgm.dat#2");
  ASSERT_EQ(db.m_CharaEffects.size(), 3u);
  ASSERT_EQ(db.m_ScrEffects.size(), 3u);
  // Entry 0 of the effect lists is no effect, whatever the file says.
  EXPECT_EQ(db.m_CharaEffects[0].m_nKind, 0);
  EXPECT_EQ(db.m_ScrEffects[0].m_nKind, 0);
  EXPECT_EQ(db.m_CharaEffects[1].m_nKind, 5);
  EXPECT_EQ(db.m_ScrEffects[2].m_nKind, 5);

  db.FillRunTimeEffectLists();
  ASSERT_EQ(db.m_RunCharaEffects.size(), 3u);
  ASSERT_EQ(db.m_RunScrEffects.size(), 3u);
  EXPECT_EQ(db.m_RunCharaEffects[1].m_strName, "CharaEffect.dat#1");
  EXPECT_EQ(db.m_RunScrEffects[0].m_nKind, 0);
}

TEST_F(DatabaseLoad, FilesLoadInTheirFixedOrder) {
  // With files k to 9 missing, the one reported must be k: every file is read
  // before all the files that follow it.
  for (int k = 0; k < kDatabaseFileCount; ++k) {
    WriteAll();
    for (int i = k; i < kDatabaseFileCount; ++i) fs::remove(FilePath(i));
    m_Boxes.clear();
    cDatabase db;
    EXPECT_FALSE(db.LoadFrom("data\\database\\"));
    ASSERT_EQ(m_Boxes.size(), 1u) << "file " << k;
    EXPECT_EQ(m_Boxes[0], FailureBox(k));
  }
}

TEST_F(DatabaseLoad, OneBadFileFailsTheWholeLoadAndChangesNothing) {
  enum Damage { Missing, Truncated, NewerVersion, HugeCount };
  for (int k = 0; k < kDatabaseFileCount; ++k) {
    for (Damage damage : {Missing, Truncated, NewerVersion, HugeCount}) {
      WriteAll();
      std::vector<std::uint8_t> bytes = ListFileBytes(m_Source, k);
      switch (damage) {
        case Missing: fs::remove(FilePath(k)); break;
        case Truncated: bytes.pop_back(); break;
        case NewerVersion: bytes[0] = 0x0E; break;  // 782
        case HugeCount: bytes[4] = bytes[5] = bytes[6] = bytes[7] = 0xFF; break;
      }
      if (damage != Missing) recordtest::WriteFileBytes(FilePath(k), bytes);

      const std::vector<std::uint8_t> before = Fingerprint(g_Database);
      m_Boxes.clear();
      EXPECT_FALSE(g_Database.Load()) << "file " << k << " damage " << damage;
      EXPECT_EQ(Fingerprint(g_Database), before) << "file " << k << " damage " << damage;
      ASSERT_EQ(m_Boxes.size(), 1u);
      EXPECT_EQ(m_Boxes[0], FailureBox(k));
    }
  }
}

TEST_F(DatabaseLoad, EmptyListsGetTheirNoneAndFirstEntries) {
  for (int i = 0; i < kDatabaseFileCount; ++i)
    recordtest::WriteFileBytes(FilePath(i), ByteBuilder().U32(DATA_VERSION).U32(0).Bytes());
  cDatabase db;
  ASSERT_TRUE(db.LoadFrom("data\\database\\"));
  // Animation sets and sword types are repaired to 0, everything else to 1.
  const std::size_t expected[kDatabaseFileCount] = {1, 2, 2, 1, 2, 2, 2, 2, 2, 2};
  const std::size_t sizes[kDatabaseFileCount] = {
      db.m_AnimeSets.size(),    db.m_Animes.size(),     db.m_BmpCharaExcs.size(), db.m_SwordTypes.size(),
      db.m_Effects.size(),      db.m_CharaEffects.size(), db.m_ScrEffects.size(),   db.m_Pictures.size(),
      db.m_Sounds.size(),       db.m_Bgms.size()};
  for (int i = 0; i < kDatabaseFileCount; ++i) EXPECT_EQ(sizes[i], expected[i]) << kDatabaseFileNames[i];
  EXPECT_EQ(db.m_CharaEffects[0].m_nKind, 0);
  EXPECT_EQ(db.m_ScrEffects[0].m_nKind, 0);
  EXPECT_EQ(db.m_CharaEffects[1].m_nKind, 1);
  EXPECT_NE(recordtest::ReportText().find("filled up to 2"), std::string::npos);
}

TEST_F(DatabaseLoad, OldBitmapEntriesGetSquareCellFactorTwo) {
  ByteBuilder file;
  file.U32(171).U32(2);
  for (int i = 0; i < 2; ++i) file.Record({I32(7)}, {"bmp", "f.bmp"});
  recordtest::WriteFileBytes(FilePath(2), file.Bytes());
  cDatabase db;
  ASSERT_TRUE(db.LoadFrom("data\\database\\"));
  ASSERT_EQ(db.m_BmpCharaExcs.size(), 2u);
  for (const cBmpCharaExc& bmp : db.m_BmpCharaExcs) {
    EXPECT_EQ(bmp.m_bSizedCells, 0);
    EXPECT_EQ(bmp.m_nCellFactor, 2);
    EXPECT_EQ(bmp.m_nValue, 7);
  }
}

TEST_F(DatabaseLoad, StringsLoseTheirCarriageReturns) {
  const bool saved = g_StripCR;
  g_StripCR = true;
  m_Source.m_Sounds[1].m_strFile = "a\r\nb.wav";
  WriteAll();
  cDatabase db;
  ASSERT_TRUE(db.LoadFrom("data\\database\\"));
  EXPECT_EQ(db.m_Sounds[1].m_strFile, "a\nb.wav");
  g_StripCR = saved;
}

TEST_F(DatabaseLoad, EveryTruncationOfAFileIsRefused) {
  // An animation set file holds the deepest nesting: sets, states, frames.
  m_Source.m_AnimeSets[1].m_States[2].m_Frames.resize(3);
  const std::vector<std::uint8_t> whole = ListFileBytes(m_Source, 0);
  cDatabase db;
  const std::vector<std::uint8_t> before = Fingerprint(db);
  for (std::size_t length = 0; length < whole.size(); ++length) {
    recordtest::WriteFileBytes(FilePath(0),
                               std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<long>(length)));
    EXPECT_FALSE(db.LoadFrom("data\\database\\")) << "length " << length;
  }
  EXPECT_EQ(Fingerprint(db), before);
  recordtest::WriteFileBytes(FilePath(0), whole);
  EXPECT_TRUE(db.LoadFrom("data\\database\\"));
}

TEST(DatabaseFile, ReadsOneListFromMemoryOrLeavesItAlone) {
  recordtest::cTempFolder folder;  // the refusal's report line goes there
  cDatabase source = MakeSource();
  cDatabase db;
  const std::vector<std::uint8_t> bytes = ListFileBytes(source, 8);
  ASSERT_TRUE(ReadDatabaseFile(db, 8, bytes, "Sound.dat"));
  ASSERT_EQ(db.m_Sounds.size(), 3u);
  EXPECT_EQ(db.m_Sounds[2].m_strName, "Sound.dat#2");

  const std::vector<std::uint8_t> cut(bytes.begin(), bytes.end() - 1);
  EXPECT_FALSE(ReadDatabaseFile(db, 9, cut, "Bgm.dat"));
  EXPECT_EQ(db.m_Bgms.size(), 2u);
  EXPECT_NE(recordtest::ReportText().find("Bgm.dat"), std::string::npos);
  EXPECT_FALSE(ReadDatabaseFile(db, 10, bytes, "none"));
}

// ---- compiled tables ----------------------------------------------------------

TEST(DatabaseScripts, AnimationsCompileToFramesWithAStickyLock) {
  cDatabase db;
  db.m_Animes[0].m_Frames = {cAnimeFrameData(3, 5, 0), cAnimeFrameData(4, 2, 0)};
  db.m_Animes[1].m_Frames = {cAnimeFrameData(10, 2, 0), cAnimeFrameData(11, 3, 1), cAnimeFrameData(12, 1, 0)};
  db.m_Animes.resize(3);
  db.m_Animes[2].m_Frames.clear();
  cFrameScriptTable scripts(7);  // a stale table is replaced, not extended
  BuildAnimeScripts(scripts, db);
  ASSERT_EQ(scripts.size(), 3u);
  EXPECT_EQ(scripts[0], (cFrameScript{{3, 0, 1}, {4, 0, 1}, {kAnimePatternLoop, 0, 1}}));
  EXPECT_EQ(scripts[1], (cFrameScript{{10, 12, 0}, {11, 18, 1}, {12, 6, 1}, {kAnimePatternEnd, 0, 0}}));
  EXPECT_EQ(scripts[2], (cFrameScript{{kAnimePatternEnd, 0, 0}}));
}

TEST(DatabaseScripts, DurationsFromDamagedFilesDoNotOverflow) {
  cDatabase db;
  db.m_Animes[1].m_Frames = {cAnimeFrameData(0, std::numeric_limits<int32_t>::max(), 0),
                             cAnimeFrameData(0, std::numeric_limits<int32_t>::min(), 0)};
  cFrameScriptTable scripts;
  BuildAnimeScripts(scripts, db);
  EXPECT_EQ(scripts[1][0].m_nDuration, std::numeric_limits<int32_t>::max());
  EXPECT_EQ(scripts[1][1].m_nDuration, std::numeric_limits<int32_t>::min());
}

TEST(DatabaseScripts, EffectsCompileWithoutLocks) {
  cDatabase db;
  db.m_Effects[0].m_Frames = {cEffectFrame(1, 4)};
  db.m_Effects[1].m_Frames = {cEffectFrame(0, 1), cEffectFrame(1, 2)};
  cFrameScriptTable scripts;
  BuildEffectScripts(scripts, db);
  ASSERT_EQ(scripts.size(), 2u);
  EXPECT_EQ(scripts[0], (cFrameScript{{1, 0, 1}, {kAnimePatternLoop, 0, 1}}));
  EXPECT_EQ(scripts[1], (cFrameScript{{0, 6, 0}, {1, 12, 0}, {kAnimePatternEnd, 0, 0}}));
}

// Stands in for the world's effect players: records how it was initialised.
struct cRecordingPlayer {
  int index = -1;
  int reverse = -1;
  int initCalls = 0;
  void Init(int i, int r) {
    index = i;
    reverse = r;
    ++initCalls;
  }
};

TEST(DatabaseScripts, EffectTemplatesAreBuiltForwardAndReverse) {
  cDatabase db;
  db.m_CharaEffects.resize(3);
  db.m_ScrEffects.resize(4);
  cSafeVector<cRecordingPlayer> forward(5), reverse;
  BuildCharaEffectTables(forward, reverse, db);
  ASSERT_EQ(forward.size(), 3u);
  ASSERT_EQ(reverse.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(forward[i].index, i);
    EXPECT_EQ(forward[i].reverse, 0);
    EXPECT_EQ(forward[i].initCalls, 1);
    EXPECT_EQ(reverse[i].index, i);
    EXPECT_EQ(reverse[i].reverse, 1);
  }
  cSafeVector<cRecordingPlayer> scrForward, scrReverse;
  BuildScrEffectTables(scrForward, scrReverse, db);
  ASSERT_EQ(scrForward.size(), 4u);
  EXPECT_EQ(scrReverse[3].index, 3);
  EXPECT_EQ(scrReverse[3].reverse, 1);
}

}  // namespace
