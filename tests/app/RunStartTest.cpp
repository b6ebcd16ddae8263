#include "world/RunStart.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "core/ProcessFlags.h"
#include "data/Progress.h"
#include "data/StageData.h"
#include "data/SystemData.h"
#include "data/WorldMap.h"

namespace {

class RunStartTest : public apptest::cAppFixture {
 protected:
  void SetUp() override {
    cAppFixture::SetUp();
    ResetSystemDataForTests();
    g_Progress.ResetFreeRun();
  }

  void TearDown() override {
    ResetSystemDataForTests();
    g_WorldMap = cWorldMap();
    g_Stage = cStageData();
    g_StageInitial = cStageData();
    g_Progress.ResetFreeRun();
    g_TestPlay = 0;
    cAppFixture::TearDown();
  }

  // Leaves traces of an earlier run in the progress record.
  static void DirtyProgress() {
    g_Progress.m_nScore = 1234;
    g_Progress.m_nStorySlot = 7;
    g_Progress.m_StageFlags[0] = 0;
    g_Progress.m_StageFlags[5] = 1;
    g_Progress.m_CommonVars[1000] = 9;
    g_Progress.m_strPlayerName = "zzz";
  }

  static void ExpectFreshRun() {
    EXPECT_EQ(0, g_Progress.m_nScore);
    EXPECT_EQ(-1, g_Progress.m_nStorySlot);
    EXPECT_EQ("aaa", g_Progress.m_strPlayerName);
    ASSERT_EQ(1000u, g_Progress.m_StageFlags.size());
    EXPECT_EQ(1, g_Progress.m_StageFlags[0]);
    EXPECT_EQ(0, g_Progress.m_StageFlags[5]);
    ASSERT_EQ(1001u, g_Progress.m_CommonVars.size());
    EXPECT_EQ(0, g_Progress.m_CommonVars[1000]);
  }
};

TEST_F(RunStartTest, NewStoryStartsOnTheWorldMapsStartCellWithTheLivesOfItsPlayMode) {
  struct Case {
    const char* name;
    int initialLives;
    int infinite;
    int livesAtStart;
    int lives;
  };
  const Case cases[] = {
      {"counted", 5, 0, 5, 4},
      {"infinite", 5, 1, kInfiniteLives, kInfiniteLives},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g_System.m_Lives[kPlayModeStory] = c.initialLives;
    g_System.m_InfiniteLives[kPlayModeStory] = c.infinite;
    g_WorldMap.m_nStartX = 3;
    g_WorldMap.m_nStartY = 2;
    DirtyProgress();
    g_Progress.m_nRound = 4;

    ResetStoryRun();

    ExpectFreshRun();
    EXPECT_EQ(3, g_Progress.m_nMapX);
    EXPECT_EQ(2, g_Progress.m_nMapY);
    EXPECT_EQ(0, g_Progress.m_nRound);
    EXPECT_EQ(c.livesAtStart, g_Progress.m_nLivesAtStart);
    EXPECT_EQ(c.lives, g_Progress.m_nLives);
  }
}

TEST_F(RunStartTest, StageFileStartsARunOnTheLoadedStage) {
  struct Case {
    const char* name;
    int testPlay;
    int infinite;
    int livesAtStart;
    int lives;
  };
  const Case cases[] = {
      {"counted", 0, 0, 3, 2},
      {"infinite in the play mode", 0, 1, kInfiniteLives, kInfiniteLives},
      {"test play", 1, 0, kInfiniteLives, kInfiniteLives},
  };
  WriteFile("data/stg4/run-1.stg4_781", apptest::StageFileWithHero("first"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g_System.m_Lives[kPlayModeStageFile] = 3;
    g_System.m_InfiniteLives[kPlayModeStageFile] = c.infinite;
    g_TestPlay = c.testPlay;
    g_Stage = cStageData();
    DirtyProgress();

    ASSERT_EQ(1, StartStageFromFile("data\\stg4\\run-1.stg4", true));

    ExpectFreshRun();
    EXPECT_EQ("first", g_Stage.m_Name);
    EXPECT_EQ("first", g_StageInitial.m_Name);
    EXPECT_EQ(1, g_Progress.m_nStageNo);
    EXPECT_EQ(1, g_Progress.m_nSeriesNo);
    EXPECT_EQ("data\\stg4\\run.", g_Progress.m_strStageName);
    EXPECT_EQ(c.livesAtStart, g_Progress.m_nLivesAtStart);
    EXPECT_EQ(c.lives, g_Progress.m_nLives);
  }
}

TEST_F(RunStartTest, StageFileThatCannotBeLoadedLeavesAFreshProgressAndTheStage) {
  g_Stage.m_Name = "playing";
  DirtyProgress();

  EXPECT_EQ(0, StartStageFromFile("data\\stg4\\missing.stg4", true));

  ExpectFreshRun();
  EXPECT_EQ("playing", g_Stage.m_Name);
}

}  // namespace
