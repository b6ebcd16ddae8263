// Where the ranking board and the results window put their texts, on both
// drawing paths, with the box font engine: values right-aligned on the
// widest first value, clear times as "MM:SS.hh", empty rows blank, and only
// the genres the stage and the play mode rank in the results.

#include <gtest/gtest.h>

#include "graphics/FontTestSupport.h"
#include "graphics/SurfaceFill.h"
#include "core/SceneManager.h"
#include "data/Progress.h"
#include "data/StageData.h"
#include "data/SystemData.h"
#include "world/Ranking.h"

namespace {

using drawtest::eRoad;
using fonttest::cFontLayer;

constexpr int kCell = 16;

// Whether any pixel of the rectangle holds the text colour.
bool InkIn(int x, int y, int w, int h) {
  plat::cPixelSurface& px = drawtest::PixelsOf(BackBuffer);
  for (int yy = y; yy < y + h; ++yy) {
    for (int xx = x; xx < x + w; ++xx) {
      if (drawtest::Rgb(px.GetPixel(xx, yy)) == fonttest::kTextRgb) return true;
    }
  }
  return false;
}

// The cell of row r (0 = caption) and text column c.
bool InkInCell(int column, int row) { return InkIn(column * kCell, row * kCell, kCell, kCell); }

class RankingDraw : public testing::TestWithParam<eRoad> {
 protected:
  void SetUp() override {
    m_Layer = std::make_unique<cFontLayer>(GetParam(), 640, 480);
    ASSERT_TRUE(m_Layer->Started());
    ASSERT_TRUE(cFontLayer::Make(g_Font[1], 16, kCell, 0));
    DDFillSurfacePal(&BackBuffer, fonttest::kBackColour);
    ResetSystemDataForTests();
    g_Stage = cStageData();
    g_SceneManager.m_nPlayMode = PLAY_MODE_STORY;
  }
  void TearDown() override {
    m_Layer.reset();
    ResetSystemDataForTests();
    g_Stage = cStageData();
    g_SceneManager.m_nPlayMode = 0;
  }

  std::unique_ptr<cFontLayer> m_Layer;
};

TEST_P(RankingDraw, BoardValuesAlignOnTheFirstValue) {
  cRankBoard board;
  board.m_bHigherWins = 1;
  board.Insert("abc", 12345);
  board.Insert("de", 987);
  board.Insert("f", 5);
  board.m_Entries[4] = cRankEntry(1, "g", 77);  // row 3 stays empty
  DrawRankBoard(board, &BackBuffer, 0, 0, 0, -1);

  // The first value has 5 digits: every value ends in column 5 + 8 = 13.
  for (int row : {1, 2, 3, 5}) {
    EXPECT_TRUE(InkInCell(13, row)) << "row " << row;
    EXPECT_FALSE(InkInCell(14, row)) << "row " << row;
    EXPECT_TRUE(InkInCell(1, row)) << "the place, row " << row;
    EXPECT_TRUE(InkInCell(4, row)) << "the name, row " << row;
  }
  EXPECT_TRUE(InkInCell(9, 1));
  EXPECT_FALSE(InkInCell(12, 3)) << "a one-digit value takes one cell";
  EXPECT_FALSE(InkIn(0, 4 * kCell, 270, kCell)) << "an empty row stays blank";
  EXPECT_FALSE(InkIn(0, 6 * kCell, 270, 14 * kCell)) << "no rows past the used ones";
}

TEST_P(RankingDraw, ClearTimesAreMinutesSecondsHundredths) {
  cRankBoard board;
  board.Insert("abc", 6000);
  DrawRankBoard(board, &BackBuffer, 0, 0, kRankGenreClearTime, -1);
  // "01:00.00" from column 9 on: eight cells.
  for (int column = 9; column < 17; ++column) EXPECT_TRUE(InkInCell(column, 1)) << column;
  EXPECT_FALSE(InkInCell(17, 1));
}

TEST_P(RankingDraw, ResultsShowTheGenresTheStageAndModeRank) {
  g_Stage.m_RankFlags = {1, 0, 1, 1, 0};
  g_System.m_RankGenreSets[PLAY_MODE_STORY].m_Genres = {1, 1, 1, 0, 1};
  const std::int32_t results[kRankBoardCount] = {123, 40, 6000, 9, 9};
  const std::int32_t none[kRankBoardCount] = {-1, -1, -1, -1, -1};
  DrawResultWindow(&BackBuffer, 0, 0, results, none);

  // Genres 0 and 2: two rows; the longest name ("クリア時間", 5 characters)
  // puts the values at column 5 + 2 = 7.
  EXPECT_TRUE(InkInCell(1, 0));
  EXPECT_TRUE(InkInCell(1, 1));
  EXPECT_FALSE(InkIn(0, 2 * kCell, 640, kCell)) << "a third row";
  EXPECT_TRUE(InkInCell(7, 0)) << "the score";
  EXPECT_TRUE(InkInCell(9, 0));
  EXPECT_FALSE(InkInCell(10, 0));
  EXPECT_TRUE(InkInCell(14, 1)) << "the clear time's eighth cell";
}

TEST_P(RankingDraw, NoResultsWindowWithoutAGenre) {
  g_Stage.m_RankFlags = {0, 0, 0, 0, 0};
  const std::int32_t results[kRankBoardCount] = {1, 2, 3, 4, 5};
  const std::int32_t ranks[kRankBoardCount] = {0, 0, 0, 0, 0};
  DrawResultWindow(&BackBuffer, 0, 0, results, ranks);
  EXPECT_FALSE(InkIn(0, 0, 640, 480));
}

INSTANTIATE_TEST_SUITE_P(Roads, RankingDraw, testing::Values(eRoad::Direct3D, eRoad::DirectDraw),
                         [](const testing::TestParamInfo<eRoad>& info) {
                           return std::string(info.param == eRoad::Direct3D ? "Direct3D" : "DirectDraw");
                         });

}  // namespace
