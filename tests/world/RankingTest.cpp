// The ranking boards: placement and insertion, the ranking file (round trip,
// old versions, damaged, forged and oversized files, paths), and the number
// and time texts of the board and results drawing.

#include "world/Ranking.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#include "WorldTestSupport.h"
#include "core/SceneManager.h"

namespace {

cRankBoard MakeBoard(int higherWins, const std::vector<std::int32_t>& values) {
  cRankBoard board;
  board.m_bHigherWins = higherWins;
  for (std::size_t i = 0; i < values.size(); ++i) board.m_Entries[static_cast<int>(i)] = cRankEntry(1, "p", values[i]);
  return board;
}

std::vector<std::int32_t> Values(const cRankBoard& board) {
  std::vector<std::int32_t> values;
  for (const cRankEntry& entry : board.m_Entries) values.push_back(entry.m_bUsed != 0 ? entry.m_nValue : -1);
  return values;
}

// Bytes of a ranking file in the record form, board by board, so a test can
// write versions and counts the player never writes.
struct cRankFileBytes {
  cByteWriter out;
  explicit cRankFileBytes(std::uint32_t version, std::uint32_t boards) {
    out.WriteU32(version);
    out.WriteU32(0);
    out.WriteU32(0);
    out.WriteU32(boards);
  }
  // A board claiming `entries` rows and holding `written` of them (all by default).
  void Board(std::int32_t order, std::uint32_t entries, std::int32_t firstValue = 0, std::uint32_t written = ~0u) {
    out.WriteU32(1);
    out.WriteI32(order);
    out.WriteU32(0);
    out.WriteU32(entries);
    for (std::uint32_t i = 0; i < std::min(entries, written); ++i) {
      out.WriteU32(2);
      out.WriteI32(1);
      out.WriteI32(firstValue + static_cast<std::int32_t>(i));
      out.WriteU32(1);
      out.WriteString("abc");
    }
  }
  std::vector<std::uint8_t> Bytes() const { return out.Bytes(); }
};

class RankingTest : public worldtest::cWorldFixture {
 protected:
  void SetUp() override {
    cWorldFixture::SetUp();
    g_RankFile.Reset();
  }
  void TearDown() override {
    g_RankFile.Reset();
    g_SceneManager.m_nPlayMode = 0;
    cWorldFixture::TearDown();
  }

  // The working folder as start-up leaves it: the ranking folders exist.
  void EnterGameFolder() {
    EnterTempFolder();
    for (const char* folder : {"user_data/story", "user_data/challenge", "user_data/free"}) {
      std::filesystem::create_directories(folder);
    }
  }

  static void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
  }
};

TEST_F(RankingTest, PlacementFollowsOrderAndTiesGoBelow) {
  std::vector<std::int32_t> full(kRankEntryCount, 500);
  full.back() = 100;
  struct Case {
    const char* name;
    cRankBoard board;
    std::int32_t value;
    int rank;
  };
  const Case cases[] = {
      {"empty board: place 1", MakeBoard(1, {}), 42, 0},
      {"full higher-wins board: equal to the last does not enter", MakeBoard(1, full), 100, -1},
      {"full higher-wins board: above the last takes place 20", MakeBoard(1, full), 101, 19},
      {"lower-wins: between the two takes place 2", MakeBoard(0, {3000, 4000}), 3500, 1},
      {"lower-wins: a tie goes below the one there", MakeBoard(0, {3000, 4000}), 3000, 1},
      {"lower-wins: a better time takes place 1", MakeBoard(0, {3000, 4000}), 2999, 0},
      {"higher-wins: below every used entry takes the first empty", MakeBoard(1, {9, 8}), 1, 2},
  };
  for (const Case& c : cases) EXPECT_EQ(c.board.FindRank(c.value), c.rank) << c.name;
}

TEST_F(RankingTest, InsertKeepsTwentyRowsAndDropsTheLast) {
  std::vector<std::int32_t> full(kRankEntryCount);
  for (int i = 0; i < kRankEntryCount; ++i) full[i] = 1000 - i * 10;  // 1000 .. 810
  cRankBoard board = MakeBoard(1, full);

  EXPECT_EQ(board.Insert("new", 805), -1);
  EXPECT_EQ(Values(board), full);

  EXPECT_EQ(board.Insert("new", 995), 1);
  ASSERT_EQ(board.m_Entries.size(), static_cast<std::size_t>(kRankEntryCount));
  EXPECT_EQ(board.m_Entries[1].m_strName, "new");
  EXPECT_EQ(board.m_Entries[1].m_nValue, 995);
  EXPECT_EQ(board.m_Entries[2].m_nValue, 990);
  EXPECT_EQ(board.m_Entries[kRankEntryCount - 1].m_nValue, 820);  // 810 fell off
}

TEST_F(RankingTest, FileRoundTripsThroughTheAtomicWriter) {
  EnterGameFolder();
  g_RankFile.m_Boards[0].Insert("ab", 1200);
  g_RankFile.m_Boards[2].Insert("cd", 4321);
  ASSERT_TRUE(SaveRanking(g_RankFile, PLAY_MODE_CHALLENGE, "data\\stg4\\boss.", 0, 0, 0));
  EXPECT_TRUE(std::filesystem::exists("user_data/challenge/boss.rkg"));

  cRankFile loaded;
  loaded.m_Boards[0].Insert("zz", 1);
  ASSERT_TRUE(LoadRanking(loaded, PLAY_MODE_CHALLENGE, "data\\stg4\\boss.", 0, 0, 0));
  EXPECT_EQ(loaded.MakeFileBytes(), g_RankFile.MakeFileBytes());
  EXPECT_EQ(loaded.m_Boards[2].m_Entries[0].m_strName, "cd");
}

TEST_F(RankingTest, PathsByPlayModeAndVariant) {
  struct Case {
    int mode;
    int variant;
    const char* expected;  // "" = no ranking file
  };
  const Case cases[] = {
      {PLAY_MODE_STORY, 0, "user_data\\story\\abc.rkg"},
      {PLAY_MODE_STORY, 1, "user_data\\story\\abc_c005_3.rkg"},
      {PLAY_MODE_CHALLENGE, 1, "user_data\\challenge\\abc.rkg"},
      {PLAY_MODE_FREE, 0, "user_data\\free\\abc.rkg"},
      {PLAY_MODE_REPLAY, 0, ""},
      {-1, 0, ""},
  };
  for (const Case& c : cases) {
    std::string path = "stale";
    EXPECT_EQ(MakeRankingPath(path, c.mode, "data\\stg4\\abc.", c.variant, 5, 3), *c.expected != '\0') << c.mode;
    EXPECT_EQ(path, c.expected) << c.mode << " variant " << c.variant;
  }
}

TEST_F(RankingTest, NoRankingFileForReplaysLoadsEmptyAndSavesNothing) {
  EnterGameFolder();
  g_RankFile.m_Boards[0].Insert("ab", 5);
  EXPECT_FALSE(LoadRanking(g_RankFile, PLAY_MODE_REPLAY, "abc.", 0, 0, 0));
  EXPECT_EQ(g_RankFile.MakeFileBytes(), cRankFile().MakeFileBytes());
  EXPECT_FALSE(SaveRanking(g_RankFile, PLAY_MODE_REPLAY, "abc.", 0, 0, 0));
}

TEST_F(RankingTest, OldFilesBecomeFiveBoardsWithTheirOrders) {
  cRankFileBytes file(150, 3);
  file.Board(1, 20, 10);
  file.Board(1, 20);
  file.Board(0, 20);
  cRankFile loaded;
  ASSERT_TRUE(cDataRecord::LoadFromBytes(loaded, file.Bytes()));
  ASSERT_EQ(loaded.m_Boards.size(), static_cast<std::size_t>(kRankBoardCount));
  const std::int32_t orders[] = {1, 1, 0, 1, 1};
  for (int i = 0; i < kRankBoardCount; ++i) EXPECT_EQ(loaded.m_Boards[i].m_bHigherWins, orders[i]) << i;
  EXPECT_EQ(loaded.m_Boards[0].m_Entries[0].m_nValue, 10);
  EXPECT_EQ(loaded.m_Boards[3].m_Entries[0].m_bUsed, 0);
}

TEST_F(RankingTest, FilesAreBroughtToFiveBoardsOfTwentyRows) {
  struct Case {
    const char* name;
    std::uint32_t boards;
    std::uint32_t entries;
    std::int32_t order;
  };
  const Case cases[] = {
      {"seven boards of 25 rows", 7, 25, 1},
      {"two boards of 3 rows", 2, 3, 1},
      {"an order flag other than 0 or 1", 5, 20, 7},
  };
  for (const Case& c : cases) {
    cRankFileBytes file(DATA_VERSION, c.boards);
    for (std::uint32_t b = 0; b < c.boards; ++b) file.Board(c.order, c.entries);
    cRankFile loaded;
    ASSERT_TRUE(cDataRecord::LoadFromBytes(loaded, file.Bytes())) << c.name;
    ASSERT_EQ(loaded.m_Boards.size(), static_cast<std::size_t>(kRankBoardCount)) << c.name;
    for (const cRankBoard& board : loaded.m_Boards) {
      EXPECT_EQ(board.m_Entries.size(), static_cast<std::size_t>(kRankEntryCount)) << c.name;
      EXPECT_TRUE(board.m_bHigherWins == 0 || board.m_bHigherWins == 1) << c.name;
    }
    // Boards the file lacked keep their genre's order.
    if (c.boards < 3) {
      EXPECT_EQ(loaded.m_Boards[2].m_bHigherWins, 0) << c.name;
    }
  }
}

TEST_F(RankingTest, TruncatedLyingAndOversizedFilesAreRefusedAndReset) {
  EnterGameFolder();
  cRankFile good;
  good.m_Boards[1].Insert("abc", 77);
  const std::vector<std::uint8_t> bytes = good.MakeFileBytes();

  std::vector<std::uint8_t> truncated(bytes.begin(), bytes.end() - 3);
  cRankFileBytes lyingBoards(DATA_VERSION, 1000000);
  lyingBoards.Board(1, 20);
  cRankFileBytes lyingEntries(DATA_VERSION, 5);
  lyingEntries.Board(1, 0xFFFFFFF0u, 0, 2);
  std::vector<std::uint8_t> newer = bytes;
  newer[0] = 0x0F;  // version 783
  newer[1] = 0x03;
  std::vector<std::uint8_t> oversized = bytes;
  oversized.resize(kMaxRankFileBytes + 1, 0);

  const std::pair<const char*, std::vector<std::uint8_t>> cases[] = {
      {"truncated", truncated},       {"a board count beyond the file", lyingBoards.Bytes()},
      {"an entry count beyond the file", lyingEntries.Bytes()}, {"a newer version", newer},
      {"oversized", oversized},
  };
  for (const auto& [name, data] : cases) {
    WriteFile("user_data/free/abc.rkg", data);
    g_RankFile.m_Boards[0].Insert("old", 1);
    EXPECT_FALSE(LoadRanking(g_RankFile, PLAY_MODE_FREE, "abc.", 0, 0, 0)) << name;
    EXPECT_EQ(g_RankFile.MakeFileBytes(), cRankFile().MakeFileBytes()) << name;
  }

  // The same bytes, whole, load.
  WriteFile("user_data/free/abc.rkg", bytes);
  EXPECT_TRUE(LoadRanking(g_RankFile, PLAY_MODE_FREE, "abc.", 0, 0, 0));
  EXPECT_EQ(g_RankFile.m_Boards[1].m_Entries[0].m_nValue, 77);
}

TEST_F(RankingTest, FailedSaveIsNeverReportedAsSuccess) {
  EnterGameFolder();
  // A folder where the file should go cannot be replaced by the writer.
  std::filesystem::create_directories("user_data/story/abc.rkg/inside");
  g_RankFile.m_Boards[0].Insert("ab", 5);
  EXPECT_FALSE(SaveRanking(g_RankFile, PLAY_MODE_STORY, "abc.", 0, 0, 0));
  EXPECT_TRUE(std::filesystem::is_directory("user_data/story/abc.rkg/inside"));
}

TEST_F(RankingTest, NumberAndTimeTexts) {
  struct DigitsCase {
    std::int64_t value;
    int digits;
  };
  for (const DigitsCase& c : {DigitsCase{999999, 6}, {-10, 2}, {0, 1}, {9, 1}, {10, 2},
                              {INT32_MIN, 10}, {99999999999LL, 10}}) {
    EXPECT_EQ(CountDigits(c.value), c.digits) << c.value;
  }

  struct NumberCase {
    std::int64_t value;
    int width;
    bool zeros;
    bool plus;
    const char* text;
  };
  const NumberCase numbers[] = {
      {-5, 3, false, false, "-  5"}, {7, 3, true, true, "+007"}, {0, 3, false, false, "  0"},
      {1234, 2, false, false, "1234"}, {42, 0, true, false, "42"}, {INT32_MIN, 1, false, false, "-2147483648"},
  };
  for (const NumberCase& c : numbers) EXPECT_EQ(FormatNumber(c.value, c.width, c.zeros, c.plus), c.text) << c.value;

  struct TimeCase {
    std::int64_t hundredths;
    const char* text;
  };
  const TimeCase times[] = {
      {5999, "00:59.99"}, {6000, "01:00.00"}, {0, "00:00.00"}, {599999, "99:59.99"},
      {600000, "100:00.00"}, {-1, "00:00.00"}, {INT32_MIN, "00:00.00"},
  };
  for (const TimeCase& c : times) EXPECT_EQ(FormatTime(c.hundredths), c.text) << c.hundredths;
}

}  // namespace
