// The map menu, the stage select and the options: saving into slots and the
// auto-save switch, the stage list and its stage files, and editing options.

#include <gtest/gtest.h>

#include "SceneTestSupport.h"
#include "data/OptionData.h"
#include "data/Progress.h"
#include "data/StorySlots.h"
#include "scene/MapMenuScene.h"
#include "scene/OptionScene.h"
#include "scene/StageSelectScene.h"

namespace scenetest {
namespace {

// ---- map menu ------------------------------------------------------------------

class MapMenuSceneTest : public cSceneFixture {
 protected:
  void SetUp() override {
    cSceneFixture::SetUp();
    Start(false);
    g_SceneManager.m_nCurScene = SCENE_MAP_MENU;
    ASSERT_TRUE(RunToStep(1));
  }
  cMapMenuScene* Menu() { return static_cast<cMapMenuScene*>(g_SceneManager.Scene(SCENE_MAP_MENU)); }
  void ChooseEntry(int row) {
    for (int i = 0; i < row; ++i) Press(kDown);
    Tap(kDecide);
  }
};

TEST_F(MapMenuSceneTest, SaveWithoutASlotStartsOnTheFirstSlotAndWritesTheChosenOne) {
  ChooseEntry(MAP_MENU_SAVE);
  ASSERT_EQ(Menu()->m_nStep, 2);
  Frame();
  EXPECT_EQ(g_MenuCursor.m_pCurrent->m_Row, 0);
  EXPECT_EQ(Menu()->m_nSlotTop, 0);
  Press(kDown);
  Press(kDown);
  Tap(kDecide);  // the prompt opens on "やっぱりやめる"
  ASSERT_EQ(Menu()->m_nSubStep, 2);
  Tap(kDecide);
  EXPECT_FALSE(Exists("user_data/story/Story03.dat"));
  Tap(kDecide);
  Press(kUp);
  Tap(kDecide);
  EXPECT_TRUE(Exists("user_data/story/Story03.dat"));
  EXPECT_EQ(g_Progress.m_nStorySlot, 2);
  EXPECT_EQ(g_StorySlots[2].m_bUsed, 1);
  EXPECT_EQ(Menu()->m_nSubStep, 1);  // back on the slot list
  Tap(kCancel);
  EXPECT_EQ(Menu()->m_nStep, 1);
}

TEST_F(MapMenuSceneTest, SaveOpensOnTheLastSlotScrolledToTheTop) {
  g_Progress.m_nStorySlot = 40;
  ChooseEntry(MAP_MENU_SAVE);
  Frame();
  EXPECT_EQ(g_MenuCursor.m_pCurrent->m_Row, 40);
  EXPECT_EQ(Menu()->m_nSlotTop, 40);
  g_MenuCursor.Reset();
  g_Progress.m_nStorySlot = 95;
  Tap(kCancel);
  ChooseEntry(MAP_MENU_SAVE);
  Frame();
  EXPECT_EQ(g_MenuCursor.m_pCurrent->m_Row, 95);
  EXPECT_EQ(Menu()->m_nSlotTop, kStorySlotCount - 10);  // as far as the list allows
}

TEST_F(MapMenuSceneTest, AutoSaveNeedsASlotFirst) {
  ChooseEntry(MAP_MENU_AUTO_SAVE);
  Frame();
  EXPECT_EQ(Menu()->m_nSubStep, 2);  // the notice
  Tap(kDecide);
  EXPECT_EQ(Menu()->m_nStep, 1);
  EXPECT_EQ(g_Progress.m_bAutoSave, 0);

  g_Progress.m_nStorySlot = 7;
  EXPECT_EQ(g_MenuCursor.m_pCurrent->m_Row, MAP_MENU_AUTO_SAVE);  // the menu row came back
  Tap(kDecide);
  Frame();
  EXPECT_EQ(g_MenuCursor.m_pCurrent->m_Row, 1);  // off
  Press(kUp);
  Tap(kDecide);
  EXPECT_EQ(g_Progress.m_bAutoSave, 1);
  EXPECT_TRUE(Exists("user_data/story/Story08.dat"));
}

TEST_F(MapMenuSceneTest, ReturnToTitleStartsOnCancelAndCancelInTheMenuGoesBackToTheMap) {
  ChooseEntry(MAP_MENU_TITLE);
  Frame();
  EXPECT_EQ(g_MenuCursor.m_pCurrent->m_Row, 1);
  Tap(kDecide);
  EXPECT_EQ(Menu()->m_nStep, 1);
  Tap(kCancel);
  EXPECT_EQ(g_SceneManager.m_nNextScene, SCENE_WORLD_MAP);
  ASSERT_TRUE(RunToScene(SCENE_WORLD_MAP));
  EXPECT_EQ(g_SceneManager.m_nPrevScene, SCENE_MAP_MENU);
  EXPECT_EQ(Menu()->m_nStep, -1);
}

// ---- stage select -------------------------------------------------------------

TEST(StageSelectNameTest, NumbersTakeTwoDigitsOrMore) {
  EXPECT_EQ(MakeStageSelectFileName(7), "data\\stg4\\c07-1.stg4");
  EXPECT_EQ(MakeStageSelectFileName(100), "data\\stg4\\c100-1.stg4");
}

class StageSelectSceneTest : public cSceneFixture {
 protected:
  void SetUp() override {
    cSceneFixture::SetUp();
    Start(true);
    g_SceneManager.m_nCurScene = SCENE_STAGE_SELECT;
    g_SceneManager.m_nPlayMode = PLAY_MODE_CHALLENGE;
  }
  cStageSelectScene* Select() { return static_cast<cStageSelectScene*>(g_SceneManager.Scene(SCENE_STAGE_SELECT)); }
};

TEST_F(StageSelectSceneTest, OneOpenStageKeepsTheCursor) {
  g_System.m_bAllStages = 0;
  ASSERT_TRUE(RunToStep(1));
  EXPECT_EQ(Select()->m_nRows, 1);
  Press(kDown);
  Press(kRight);
  EXPECT_EQ(g_MenuCursor.m_pCurrent->m_Row, 0);
}

TEST_F(StageSelectSceneTest, FortyStagesScrollByOneAndPageByNine) {
  g_System.m_bAllStages = 1;
  g_System.m_nStageCount = 40;
  ASSERT_TRUE(RunToStep(1));
  for (int i = 0; i < 10; ++i) Press(kDown);
  EXPECT_EQ(g_MenuCursor.m_pCurrent->m_Row, 10);
  EXPECT_EQ(Select()->m_nTop, 1);
  Press(kRight);
  EXPECT_EQ(g_MenuCursor.m_pCurrent->m_Row, 19);
  EXPECT_EQ(Select()->m_nTop, 10);
  EXPECT_EQ(g_Progress.m_strStageName, "data\\stg4\\c20.");
}

TEST_F(StageSelectSceneTest, AMissingStageFileIsRefusedAndTheListStays) {
  ASSERT_TRUE(RunToStep(1));
  Tap(kDecide);
  EXPECT_EQ(Select()->m_nStep, 1);
  ASSERT_FALSE(m_Boxes.empty());
  EXPECT_NE(m_Boxes.back().text.find("c01-1.stg4"), std::string::npos);
}

TEST_F(StageSelectSceneTest, CancelReturnsToTheTitleAndTheCursorIsKeptForTheNextVisit) {
  g_System.m_bAllStages = 1;
  g_SceneManager.m_nStageCursor[0] = 14;
  g_SceneManager.m_nStageCursor[1] = 8;
  ASSERT_TRUE(RunToStep(1));
  EXPECT_EQ(g_MenuCursor.m_pCurrent->m_Row, 14);
  EXPECT_EQ(Select()->m_nTop, 8);
  Tap(kCancel);
  ASSERT_TRUE(RunToScene(SCENE_TITLE));
  EXPECT_EQ(g_SceneManager.m_nPrevScene, SCENE_STAGE_SELECT);
}

// ---- options ----------------------------------------------------------------------

struct sStepCase {
  int value;
  std::uint16_t keys;
  int low, high, want;
};

class OptionStepTable : public ::testing::TestWithParam<sStepCase> {};

TEST_P(OptionStepTable, UpAddsDownSubtractsAndTheValueWraps) {
  const sStepCase& c = GetParam();
  EXPECT_EQ(StepOptionValue(c.value, c.keys, c.low, c.high), c.want);
}

INSTANTIATE_TEST_SUITE_P(Table, OptionStepTable,
                         ::testing::Values(sStepCase{23, kUp, 0, 23, 0}, sStepCase{0, kDown, 0, 23, 23},
                                           sStepCase{10, kUp, 0, 10, 0}, sStepCase{5, kUp | kDown, 0, 10, 5},
                                           sStepCase{0, kUp | kDown, 0, 0, 0}, sStepCase{1, kLeft, 0, 1, 1},
                                           sStepCase{3, kDown, 0, 3, 2}));

TEST(OptionRangeTest, OnlyTheFourValueOptionsHaveARange) {
  int32_t* value = nullptr;
  int32_t low = -1, high = -1;
  const int highs[] = {23, 1, 10, 3};
  for (int option = OPTION_COLOUR_SET; option <= OPTION_RANK_MODE; ++option) {
    ASSERT_TRUE(OptionValueRange(option, value, low, high)) << option;
    EXPECT_NE(value, nullptr);
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, highs[option]);
  }
  EXPECT_FALSE(OptionValueRange(OPTION_RANK_NAME, value, low, high));
  EXPECT_FALSE(OptionValueRange(OPTION_BACK, value, low, high));
  EXPECT_FALSE(OptionValueRange(9, value, low, high));
}

class OptionSceneTest : public cSceneFixture {
 protected:
  void SetUp() override {
    cSceneFixture::SetUp();
    Start(false);
    g_SceneManager.m_nCurScene = SCENE_OPTION;
    ASSERT_TRUE(RunToStep(1));
  }
  cOptionScene* Options() { return static_cast<cOptionScene*>(g_SceneManager.Scene(SCENE_OPTION)); }
  void Edit(int row) {
    for (int i = 0; i < row; ++i) Press(kDown);
    Tap(kDecide);
  }
};

TEST_F(OptionSceneTest, VolumeWrapsAndCancelRestoresTheOldLevel) {
  g_OptionData.m_nSeVolume = 10;
  Edit(OPTION_SE_VOLUME);
  ASSERT_EQ(Options()->m_nSubStep, 2);
  Press(kUp);
  EXPECT_EQ(g_OptionData.m_nSeVolume, 0);
  Press(kUp);
  EXPECT_EQ(g_OptionData.m_nSeVolume, 1);
  Tap(kCancel);
  EXPECT_EQ(g_OptionData.m_nSeVolume, 10);
  EXPECT_EQ(Options()->m_nSubStep, 1);
  EXPECT_EQ(g_MenuCursor.m_pCurrent->m_Row, OPTION_SE_VOLUME);  // the row stays
}

TEST_F(OptionSceneTest, DecideKeepsTheNewValueAndLeavingSavesTheOptions) {
  Edit(OPTION_RANK_MODE);
  Press(kDown);
  Tap(kDecide);
  EXPECT_EQ(g_OptionData.m_nRankMode, 3);
  Tap(kCancel);
  ASSERT_TRUE(RunToScene(SCENE_TITLE));
  ASSERT_TRUE(Exists("user_data/Option.dat"));
  cOptionData saved;
  ASSERT_TRUE(saved.Load("user_data\\Option.dat"));
  EXPECT_EQ(saved.m_nRankMode, 3);
}

TEST_F(OptionSceneTest, TheBackEntryAlsoSaves) {
  g_OptionData.m_nColourSet = 9;
  Edit(OPTION_BACK);
  ASSERT_TRUE(RunToScene(SCENE_TITLE));
  cOptionData saved;
  ASSERT_TRUE(saved.Load("user_data\\Option.dat"));
  EXPECT_EQ(saved.m_nColourSet, 9);
}

TEST_F(OptionSceneTest, MusicSwitchedOffMakesTheNextSceneAskForItsTuneAgain) {
  g_SceneManager.m_nSceneBgm = 3;
  Edit(OPTION_MUSIC);
  Press(kUp);
  Tap(kDecide);
  EXPECT_EQ(g_OptionData.m_bMusic, 0);
  Tap(kCancel);
  ASSERT_TRUE(RunToScene(SCENE_TITLE));
  // The manager was off already (no music in tests): nothing changed.
  EXPECT_EQ(g_SceneManager.m_nSceneBgm, 3);
  g_OptionData.m_bMusic = 1;
  UpdateTitleBgm();
  EXPECT_EQ(g_SceneManager.m_nSceneBgm, 0);
}

}  // namespace
}  // namespace scenetest
