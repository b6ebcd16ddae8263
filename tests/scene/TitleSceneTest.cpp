// The title scene: its rows and remembered choice, what each choice starts,
// and the story-slot list.

#include <gtest/gtest.h>

#include "SceneTestSupport.h"
#include "data/Progress.h"
#include "data/StorySlots.h"
#include "data/SystemData.h"
#include "scene/TitleScene.h"

namespace scenetest {
namespace {

class TitleSceneTest : public cSceneFixture {
 protected:
  void SetUp() override {
    cSceneFixture::SetUp();
    Start(true);
  }
  cTitleScene* Title() { return static_cast<cTitleScene*>(g_SceneManager.Scene(SCENE_TITLE)); }
  // Runs to the menu step with the cursor on `row` and decides there.
  void DecideRow(int row) {
    ASSERT_TRUE(RunToStep(1)) << "the menu never came";
    for (int i = 0; i < 8 && g_MenuCursor.m_pCurrent->m_Row != row; ++i) Press(kDown);
    ASSERT_EQ(g_MenuCursor.m_pCurrent->m_Row, row);
    Tap(kDecide);
  }
};

struct sRowsCase {
  const char* name;
  unsigned enabledMask;  // bit n: title entry n enabled
  int rememberedChoice;
  std::vector<int> rows;
  int cursorRow;
};

class TitleRows : public TitleSceneTest, public ::testing::WithParamInterface<sRowsCase> {};

TEST_P(TitleRows, ShowsTheEnabledEntriesAndStartsOnTheLastChoice) {
  const sRowsCase& c = GetParam();
  for (int i = 0; i < kTitleMenuCount; ++i) g_System.m_TitleMenu[i].m_bEnabled = (c.enabledMask >> i) & 1;
  g_SceneManager.m_nTitleChoice = c.rememberedChoice;
  Frame();
  ASSERT_NE(Title(), nullptr);
  ASSERT_EQ(Title()->m_nCmdCount, static_cast<int>(c.rows.size()));
  for (std::size_t i = 0; i < c.rows.size(); ++i) EXPECT_EQ(Title()->m_CmdIndex[i], c.rows[i]) << i;
  EXPECT_EQ(g_MenuCursor.m_pCurrent->m_Row, c.cursorRow);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TitleRows,
    ::testing::Values(sRowsCase{"AllEnabled", 0x7F, 4, {0, 1, 2, 3, 4, 5, 6}, 4},
                      sRowsCase{"DisabledEntriesAreLeftOut", 0x61, 5, {0, 5, 6}, 1},
                      sRowsCase{"NoneEnabledShowsEntryZero", 0x00, 0, {0}, 0},
                      sRowsCase{"RememberedChoiceHiddenKeepsItsNumberAsRow", 0x03, 1, {0, 1}, 1},
                      sRowsCase{"RememberedChoicePastTheRows", 0x03, 5, {0, 1}, 5}),
    [](const ::testing::TestParamInfo<sRowsCase>& info) { return info.param.name; });

TEST_F(TitleSceneTest, RowPastTheMenuWrapsToTheTopOnTheFirstMove) {
  for (int i = 2; i < kTitleMenuCount; ++i) g_System.m_TitleMenu[i].m_bEnabled = 0;
  g_SceneManager.m_nTitleChoice = 5;
  ASSERT_TRUE(RunToStep(1));
  Press(kDown);
  EXPECT_EQ(g_MenuCursor.m_pCurrent->m_Row, 0);
}

TEST_F(TitleSceneTest, NewStoryResetsTheRunAndFadesToTheWorldMap) {
  g_WorldMap.m_nStartX = 3;
  g_WorldMap.m_nStartY = 4;
  g_System.m_Lives[PLAY_MODE_STORY] = 3;
  g_System.m_InfiniteLives[PLAY_MODE_STORY] = 0;
  g_Progress.m_nScore = 777;
  DecideRow(0);
  EXPECT_EQ(g_SceneManager.m_nTitleChoice, TITLE_NEW_STORY);
  EXPECT_EQ(g_SceneManager.m_nPlayMode, PLAY_MODE_STORY);
  EXPECT_EQ(g_Progress.m_nScore, 0);
  EXPECT_EQ(g_Progress.m_nMapX, 3);
  EXPECT_EQ(g_Progress.m_nMapY, 4);
  EXPECT_EQ(g_Progress.m_nLivesAtStart, 3);
  EXPECT_EQ(g_Progress.m_nLives, 2);
  ASSERT_TRUE(RunToScene(SCENE_WORLD_MAP));
  EXPECT_EQ(g_SceneManager.m_nPrevScene, SCENE_TITLE);
}

TEST_F(TitleSceneTest, AllEntriesDisabledDecidingActsAsNewStory) {
  for (cCmd& entry : g_System.m_TitleMenu) entry.m_bEnabled = 0;
  DecideRow(0);
  EXPECT_EQ(g_SceneManager.m_nNextScene, SCENE_WORLD_MAP);
  EXPECT_EQ(Title()->m_nStep, 3);
}

TEST_F(TitleSceneTest, ChallengeWithoutSavedProgressSizesTheStageResults) {
  g_System.m_nStageCount = 12;
  g_Progress.m_nOpenStages = 7;
  DecideRow(2);
  EXPECT_EQ(g_SceneManager.m_nPlayMode, PLAY_MODE_CHALLENGE);
  EXPECT_EQ(g_Progress.m_nOpenStages, 1);
  EXPECT_EQ(g_Progress.m_StageNumbers.size(), 12u);
  EXPECT_TRUE(RunToScene(SCENE_STAGE_SELECT));
}

TEST_F(TitleSceneTest, RankingFlagFollowsThePlayModeOfTheChoice) {
  g_System.m_RankGenreSets[PLAY_MODE_STORY].m_bRankingOn = 1;
  g_System.m_RankGenreSets[PLAY_MODE_CHALLENGE].m_bRankingOn = 0;
  DecideRow(0);
  EXPECT_EQ(g_SceneManager.m_bRanking, 1);
  ASSERT_TRUE(RunToScene(SCENE_WORLD_MAP));
  Frame();  // the world map replaces the title
  g_SceneManager.m_nCurScene = SCENE_TITLE;
  DecideRow(2);
  EXPECT_EQ(g_SceneManager.m_bRanking, 0);
}

TEST_F(TitleSceneTest, FreePlayWithoutAMainWindowStaysInTheMenu) {
  // No window answers the stage-file request: nothing was chosen.
  DecideRow(3);
  EXPECT_EQ(g_SceneManager.m_nPlayMode, PLAY_MODE_FREE);
  EXPECT_EQ(Title()->m_nStep, 1);
  Frame();
  EXPECT_EQ(g_SceneManager.m_nCurScene, SCENE_TITLE);
}

TEST_F(TitleSceneTest, QuitLeavesTheMenuWhereItIs) {
  DecideRow(6);
  EXPECT_EQ(Title()->m_nStep, 1);
  EXPECT_EQ(g_SceneManager.m_nTitleChoice, TITLE_QUIT);
}

TEST_F(TitleSceneTest, OptionsAndBackMakeAFreshTitle) {
  DecideRow(5);
  ASSERT_TRUE(RunToScene(SCENE_OPTION));
  ASSERT_TRUE(RunToStep(1));
  Tap(kCancel);
  ASSERT_TRUE(RunToScene(SCENE_TITLE));
  Frame();
  ASSERT_NE(Title(), nullptr);
  EXPECT_EQ(g_MenuCursor.m_pCurrent->m_Row, 5);  // back on the options row
}

TEST_F(TitleSceneTest, ContinueLoadsAUsedSlotAndRefusesAnEmptyOne) {
  cProgress saved;
  saved.m_nMapX = 6;
  saved.m_nScore = 4321;
  ASSERT_TRUE(saved.SaveStory(2));
  DecideRow(1);
  ASSERT_EQ(Title()->m_nStep, 2);
  Frame();  // the list scans the slots
  Tap(kDecide);  // slot 1: empty
  EXPECT_EQ(Title()->m_nStep, 2);
  Press(kDown);
  Press(kDown);
  Tap(kDecide);
  EXPECT_EQ(g_Progress.m_nScore, 4321);
  EXPECT_EQ(g_Progress.m_nMapX, 6);
  EXPECT_EQ(g_SceneManager.m_nNextScene, SCENE_WORLD_MAP);
  EXPECT_EQ(Title()->m_nStep, 3);
}

TEST_F(TitleSceneTest, DamagedSlotIsReportedAndTheListStays) {
  WriteFile("user_data/story/Story01.dat", {1, 2, 3});
  g_Progress.m_nScore = 55;
  DecideRow(1);
  Frame();
  ASSERT_EQ(g_StorySlots[0].m_bUsed, 1);  // the list shows it taken
  Tap(kDecide);
  EXPECT_EQ(Title()->m_nStep, 2);
  EXPECT_EQ(g_Progress.m_nScore, 55);
  ASSERT_FALSE(m_Boxes.empty());
  EXPECT_NE(m_Boxes.back().text.find("Story01.dat"), std::string::npos);
}

TEST_F(TitleSceneTest, SlotListScrollsAndCancelBringsTheMenuRowBack) {
  DecideRow(1);
  Frame();
  for (int i = 0; i < 12; ++i) Press(kDown);
  EXPECT_EQ(g_MenuCursor.m_pCurrent->m_Row, 12);
  EXPECT_EQ(Title()->m_nSlotTop, 3);
  Press(kRight);
  EXPECT_EQ(g_MenuCursor.m_pCurrent->m_Row, 21);
  for (int i = 0; i < 20; ++i) Press(kRight);
  EXPECT_EQ(g_MenuCursor.m_pCurrent->m_Row, kStorySlotCount - 1);  // never past the list
  Tap(kCancel);
  EXPECT_EQ(Title()->m_nStep, 1);
  EXPECT_EQ(g_MenuCursor.Depth(), 1);
  EXPECT_EQ(g_MenuCursor.m_pCurrent->m_Row, 1);
}

}  // namespace
}  // namespace scenetest
