// The end of a cleared stage: totals and extra lives, the ranking check and
// entry, the next file of a series, and where each kind of run goes next.

#include "world/StageClear.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "WorldTestSupport.h"
#include "core/AppMessages.h"
#include "core/MainWindow.h"
#include "core/ProcessFlags.h"
#include "core/RequestFlags.h"
#include "core/SceneManager.h"
#include "data/OptionData.h"
#include "platform/MessageCore.h"
#include "world/Hero.h"
#include "world/Message.h"

namespace {

std::vector<int> g_Sounds;
int g_PauseLoops = 0;
int g_RankingLoops = 0;
bool g_CloseAfterPause = false;
std::vector<UINT> g_Posted;

int g_NameDialogs = 0;

// The main window: records the sounds; its name dialog writes "new" into the
// game scene's entered name.
LRESULT RecordingProc(HWND, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_APP_PLAY_SOUND) {
    g_Sounds.push_back(static_cast<int>(wParam));
  } else if (message == WM_APP_NAME_ENTRY) {
    ++g_NameDialogs;
    EXPECT_EQ(g_GameScene->m_StageClear.m_strEnteredName, "old") << "the dialog starts from the player's name";
    g_GameScene->m_StageClear.m_strEnteredName = "new";
    g_NameEntryDone = 1;
  } else {
    g_Posted.push_back(message);
  }
  return 0;
}

// A game scene whose modal pause loop only counts its runs.
class cExtraLifeWaitScene : public cGameScene {
 public:
  int PauseLoop() override {
    ++g_PauseLoops;
    EXPECT_EQ(m_GameWait.m_Kind, GAME_WAIT_EXTRA_LIFE);
    EXPECT_EQ(m_GameWait.m_Frames, 30);
    EXPECT_EQ(m_Messages.size(), 1u) << "the extra-life icon is up while the wait runs";
    if (!m_Messages.empty()) {
      EXPECT_EQ(m_Messages.back()->m_Kind, MESSAGE_FIXED_ICON);
      EXPECT_EQ(m_Messages.back()->m_PosMode, 4);
      EXPECT_EQ(m_Messages.back()->m_FollowKey, Player[0].m_Key);
    }
    return 1;
  }
};

class StageClearTest : public worldtest::cWorldFixture {
 protected:
  void SetUp() override {
    cWorldFixture::SetUp();
    g_Sounds.clear();
    g_Posted.clear();
    g_PauseLoops = g_RankingLoops = g_NameDialogs = 0;
    g_CloseAfterPause = false;
    m_Window = plat::CreateWindowHandle(&RecordingProc);
    g_hMainWnd = m_Window;
    g_AppActive = 1;
    g_TestPlay = 0;
    g_LaunchedByEditor = 0;
    g_RankFile.Reset();
    g_OptionData = cOptionData();
    g_SceneManager.m_nPlayMode = PLAY_MODE_STORY;
    g_SceneManager.m_nTitleChoice = 0;
    g_SceneManager.m_bRanking = 1;
    for (cRankGenreSet& set : g_System.m_RankGenreSets) {
      set.m_bRankingOn = 1;
      set.m_Genres.assign(kRankBoardCount, 1);
    }
    g_Stage.m_RankFlags.assign(kRankBoardCount, 1);
    g_GameScene = &m_Scene;
    Player.assign(1, cHero());
    Player[0].m_Key = 5;

    cStageClearHooks hooks;
    hooks.m_pPlayTime = [](const cGameScene&) { return std::int32_t{4500}; };
    hooks.m_pCloseRequested = [](const cGameScene&) { return g_CloseAfterPause && g_PauseLoops > 0; };
    hooks.m_pRankingLoop = [](cGameScene&) {
      ++g_RankingLoops;
      return 1;
    };
    SetStageClearHooks(hooks);
  }

  void TearDown() override {
    SetStageClearHooks(cStageClearHooks{});
    g_hMainWnd = nullptr;
    plat::DestroyWindowHandle(m_Window);
    g_AppActive = 0;
    g_SceneManager.m_nPlayMode = 0;
    g_SceneManager.m_nTitleChoice = 0;
    g_SceneManager.m_bRanking = 0;
    g_RankFile.Reset();
    g_OptionData = cOptionData();
    g_TestPlay = 0;
    cWorldFixture::TearDown();
  }

  void EnterGameFolder() {
    EnterTempFolder();
    for (const char* folder : {"user_data/story", "user_data/challenge", "user_data/free", "data/stg4"}) {
      std::filesystem::create_directories(folder);
    }
  }

  static void Touch(const std::string& path) { std::ofstream(path) << "x"; }

  static int Count(const std::vector<int>& sounds, int slot) {
    return static_cast<int>(std::count(sounds.begin(), sounds.end(), slot));
  }

  cExtraLifeWaitScene m_Scene;
  HWND m_Window = nullptr;
};

TEST_F(StageClearTest, TotalsAddUpAndSaturate) {
  g_Progress.m_nLives = kInfiniteLives;
  g_Progress.m_nStageScore = 300;
  g_Progress.m_nScore = 1000;
  g_Progress.m_nTimeLeftTotal = 5;
  g_Progress.m_nClearTimeTotal = INT32_MAX - 10;
  g_Progress.m_nHpLeftTotal = INT32_MIN + 3;
  Player[0].m_Hp = -50;
  Player[0].m_Sp = 7;
  m_Scene.m_nTimeLeft = 40;

  AddClearTotals(m_Scene);
  EXPECT_EQ(g_Progress.m_nScore, 1300);
  EXPECT_EQ(g_Progress.m_nTimeLeftTotal, 45);
  EXPECT_EQ(g_Progress.m_nClearTimeTotal, INT32_MAX) << "a huge play time saturates";
  EXPECT_EQ(g_Progress.m_nHpLeftTotal, INT32_MIN) << "a negative total saturates";
  EXPECT_EQ(g_Progress.m_nSpLeftTotal, 7);

  m_Scene.m_bNoTimeLimit = 1;
  AddClearTotals(m_Scene);
  EXPECT_EQ(g_Progress.m_nTimeLeftTotal, 45) << "no time limit: no time left counts";
}

TEST_F(StageClearTest, ExtraLivesPerScoreStepCrossed) {
  struct Case {
    const char* name;
    std::int32_t lives;
    std::int32_t score;
    std::int32_t stageScore;
    std::int32_t step;
    int grants;
    std::int32_t livesAfter;
  };
  const Case cases[] = {
      {"three steps at once", 3, 900, 2500, 1000, 3, 6},
      {"no step crossed", 3, 100, 800, 1000, 0, 3},
      {"never above 99", 98, 0, 3000, 1000, 3, 99},
      {"lives above the limit are kept", 120, 0, 1000, 1000, 1, 120},
      {"infinite lives never grow", kInfiniteLives, 0, 5000, 1000, 0, kInfiniteLives},
      {"a step of 0 grants nothing", 3, 0, 5000, 0, 0, 3},
      {"a score step of 1 over a huge score grants at most 99", 0, 0, 2000000000, 1, 99, 99},
  };
  g_System.m_bExtraLives = 1;
  for (const Case& c : cases) {
    g_Sounds.clear();
    g_PauseLoops = 0;
    g_Progress.m_nLives = c.lives;
    g_Progress.m_nScore = c.score;
    g_Progress.m_nStageScore = c.stageScore;
    g_System.m_nExtraLifeScore = c.step;
    AddClearTotals(m_Scene);
    EXPECT_EQ(g_PauseLoops, c.grants) << c.name;
    EXPECT_EQ(Count(g_Sounds, 15), c.grants) << c.name;
    EXPECT_EQ(g_Progress.m_nLives, c.livesAfter) << c.name;
    EXPECT_TRUE(m_Scene.m_Messages.empty()) << c.name << ": every icon taken down";
  }
}

TEST_F(StageClearTest, CloseRequestStopsTheExtraLivesAndPostsClose) {
  g_System.m_bExtraLives = 1;
  g_System.m_nExtraLifeScore = 100;
  g_Progress.m_nLives = 2;
  g_Progress.m_nStageScore = 500;
  g_CloseAfterPause = true;
  AddClearTotals(m_Scene);
  EXPECT_EQ(g_PauseLoops, 1);
  EXPECT_EQ(g_Progress.m_nLives, 3) << "the life already granted stays";
  EXPECT_EQ(std::count(g_Posted.begin(), g_Posted.end(), static_cast<UINT>(WM_CLOSE)), 0)
      << "posted, not sent: the close message waits in the queue";
  MSG msg;
  bool closePosted = false;
  while (plat::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) closePosted |= msg.message == WM_CLOSE;
  EXPECT_TRUE(closePosted);
}

TEST_F(StageClearTest, ClearStageFindsRanksOnEnabledBoards) {
  g_Progress.m_nLives = kInfiniteLives;
  g_Progress.m_nStageScore = 500;
  g_Progress.m_nTimeLeftTotal = 10;
  Player[0].m_Hp = 3;
  g_RankFile.m_Boards[0].Insert("top", 900);
  for (int i = 0; i < kRankEntryCount; ++i) g_RankFile.m_Boards[3].Insert("hp", 50);  // full of 50s
  g_Stage.m_RankFlags[4] = 0;                                                        // the stage keeps no SP board
  g_System.m_RankGenreSets[PLAY_MODE_STORY].m_Genres[1] = 0;                         // the story ranks no time

  ClearStage(m_Scene);
  const cStageClearState& clear = m_Scene.m_StageClear;
  EXPECT_EQ(Count(g_Sounds, 14), 1);
  EXPECT_EQ(clear.m_Results[0], 500);
  EXPECT_EQ(clear.m_Results[2], 4500);
  EXPECT_EQ(clear.m_Results[3], 3);
  const std::int32_t ranks[] = {1, -1, 0, -1, -1};
  for (int i = 0; i < kRankBoardCount; ++i) EXPECT_EQ(clear.m_NewRanks[i], ranks[i]) << "board " << i;
  EXPECT_EQ(clear.m_bRankingQualifies, 1);
  EXPECT_EQ(clear.m_bRankingEntered, 0);
}

TEST_F(StageClearTest, ClearStageLeavesRankingOut) {
  struct Case {
    const char* name;
    int ranking;
    int editor;
    bool series;
    bool results;
  };
  const Case cases[] = {
      {"the play level keeps no ranking", 0, 0, false, false},
      {"the series goes on", 1, 0, true, false},
      {"started by the editor: results but no ranks", 1, 1, false, true},
  };
  for (const Case& c : cases) {
    SetUp();
    EnterGameFolder();
    g_Progress.m_nLives = kInfiniteLives;
    g_Progress.m_nStageScore = 70;
    g_SceneManager.m_bRanking = c.ranking;
    g_LaunchedByEditor = c.editor;
    if (c.series) {
      g_Progress.SetStageName("data\\stg4\\run-1.stg4", 0, 0, 0);
      m_Scene.m_StageClear.m_nNextStageNo = 2;
      Touch("data/stg4/run-2.stg4_781");
    }
    ClearStage(m_Scene);
    EXPECT_EQ(m_Scene.m_StageClear.m_bRankingQualifies, 0) << c.name;
    EXPECT_EQ(m_Scene.m_StageClear.m_Results[0], c.results ? 70 : 0) << c.name;
    for (std::int32_t rank : m_Scene.m_StageClear.m_NewRanks) EXPECT_EQ(rank, -1) << c.name;
    g_LaunchedByEditor = 0;
    TearDown();
  }
}

TEST_F(StageClearTest, EnterRankingAsksTheNameByModeAndSavesOnce) {
  struct Case {
    int rankMode;
    const char* name;
  };
  for (const Case& c : {Case{0, "new"}, Case{1, "opt"}, Case{2, "new"}, Case{3, "opt"}}) {
    SetUp();
    EnterGameFolder();
    g_OptionData.m_nRankMode = c.rankMode;
    g_OptionData.m_strRankName = "opt";
    g_Progress.m_strPlayerName = "old";
    g_Progress.SetStageName("data\\stg4\\one.stg4", 0, 0, 0);
    g_Progress.m_nLives = kInfiniteLives;
    g_Progress.m_nStageScore = 10;
    ClearStage(m_Scene);
    ASSERT_EQ(m_Scene.m_StageClear.m_bRankingQualifies, 1);

    EnterRanking(m_Scene);
    EnterRanking(m_Scene);  // once only
    EXPECT_EQ(g_RankingLoops, 1) << c.rankMode;
    EXPECT_EQ(g_NameDialogs, c.rankMode % 2 == 0 ? 1 : 0) << c.rankMode;
    EXPECT_EQ(Count(g_Sounds, 16), 1) << c.rankMode;
    EXPECT_EQ(m_Scene.m_StageClear.m_strEnteredName, c.name) << c.rankMode;
    EXPECT_EQ(g_Progress.m_strPlayerName, c.rankMode % 2 == 0 ? "new" : "old") << c.rankMode;

    cRankFile saved;
    ASSERT_TRUE(LoadRanking(saved, PLAY_MODE_STORY, "data\\stg4\\one.", 0, 0, 0)) << c.rankMode;
    EXPECT_EQ(saved.m_Boards[0].m_Entries[0].m_strName, c.name) << c.rankMode;
    EXPECT_EQ(saved.m_Boards[0].m_Entries[0].m_nValue, 10) << c.rankMode;
    EXPECT_EQ(saved.m_Boards[2].m_Entries[0].m_nValue, 4500) << c.rankMode;
    TearDown();
  }
}

TEST_F(StageClearTest, NextStagePathOfASeries) {
  EnterGameFolder();
  g_Progress.SetStageName("data\\stg4\\run-1.stg4", 0, 0, 0);
  Touch("data/stg4/run-3.stg4_100");
  Touch("data/stg4/run-3.stg4_781");
  Touch("data/stg4/boss.stg4_500");
  std::string path;
  EXPECT_TRUE(MakeNextStagePath(m_Scene, path, 3));
  EXPECT_EQ(path, "data\\stg4\\run-3.stg4_781");
  EXPECT_FALSE(IsLastOfSeries(m_Scene, 3));
  EXPECT_FALSE(MakeNextStagePath(m_Scene, path, 4));
  EXPECT_EQ(path, "");
  EXPECT_TRUE(IsLastOfSeries(m_Scene, 4));
  EXPECT_FALSE(MakeNextStagePath(m_Scene, path, 0));

  m_Scene.m_StageClear.m_strNextStageName = "data\\stg4\\boss.stg4";
  EXPECT_TRUE(MakeNextStagePath(m_Scene, path, 9));
  EXPECT_EQ(path, "data\\stg4\\boss.stg4_500");

  g_Progress.SetStageName("data\\stg4\\single.stg4", 0, 0, 0);
  EXPECT_FALSE(MakeNextStagePath(m_Scene, path, 3)) << "not a series";
}

TEST_F(StageClearTest, NextStageByTitleChoice) {
  EnterGameFolder();
  g_System.m_nStageCount = 5;

  // Story without a series: the stage's flag, its result, the world map.
  g_SceneManager.m_nTitleChoice = 0;
  g_Progress.SetStageName("data\\stg4\\one.stg4", 0, 0, 0);
  g_Progress.m_nStageNo = 7;
  g_Progress.m_nSeriesNo = 1;
  g_Progress.m_nScore = 400;
  EXPECT_EQ(NextStage(m_Scene), SCENE_WORLD_MAP);
  EXPECT_EQ(g_Progress.m_StageFlags[7], 1);
  EXPECT_EQ(g_Progress.GetStageResult(g_Progress.m_strResultKey), 400);

  // A series whose next file is missing falls back the same way, its shown number restored.
  g_Progress.SetStageName("data\\stg4\\run-1.stg4", 0, 0, 0);
  m_Scene.m_StageClear.m_nNextStageNo = 2;
  EXPECT_EQ(NextStage(m_Scene), SCENE_WORLD_MAP);
  EXPECT_EQ(g_Progress.m_nSeriesNo, 1);

  // Challenge: the entry cleared, the best kept, the next stage number opened, the file saved.
  g_SceneManager.m_nTitleChoice = 2;
  g_Progress.m_bSeries = 0;
  g_Progress.m_StageNumbers.assign(5, cIntPair(0, 100));
  g_Progress.m_nStageNo = 2;
  g_Progress.m_nOpenStages = 2;
  g_Progress.m_nTotal = 1000;
  EXPECT_EQ(NextStage(m_Scene), SCENE_STAGE_SELECT);
  EXPECT_EQ(g_Progress.m_StageNumbers[1].m_nFirst, 1);
  EXPECT_EQ(g_Progress.m_StageNumbers[1].m_nSecond, 400);
  EXPECT_EQ(g_Progress.m_nTotal, 1300);
  EXPECT_EQ(g_Progress.m_nOpenStages, 3);
  EXPECT_TRUE(std::filesystem::exists("user_data/challenge/Challenge.dat"));
  g_Progress.m_nStageNo = 5;
  g_Progress.m_nOpenStages = 5;
  NextStage(m_Scene);
  EXPECT_EQ(g_Progress.m_nOpenStages, 5) << "never past the stage count";

  // A stage file: outside a series (or in a test play) the same stage again, the carried start off.
  g_SceneManager.m_nTitleChoice = 3;
  g_Progress.m_bHeroStartSet = 1;
  EXPECT_EQ(NextStage(m_Scene), SCENE_GAME);
  EXPECT_EQ(g_Progress.m_bHeroStartSet, 0);
  g_Progress.SetStageName("data\\stg4\\run-1.stg4", 0, 0, 0);
  EXPECT_EQ(NextStage(m_Scene), SCENE_TITLE) << "the last of a series ends at the title";
  g_TestPlay = 1;
  EXPECT_EQ(NextStage(m_Scene), SCENE_GAME) << "a test play reloads its own file";

  // A replay plays again from the saved start with its lives.
  g_TestPlay = 0;
  g_SceneManager.m_nTitleChoice = 4;
  g_Progress.m_nSavedLives = 4;
  g_Progress.m_nLives = 1;
  EXPECT_EQ(NextStage(m_Scene), SCENE_GAME);
  EXPECT_EQ(g_Progress.m_nLives, 4);
}

TEST_F(StageClearTest, RankingDisplayStepsTheGenreAndEndsOnDecide) {
  g_System.m_RankGenreSets[PLAY_MODE_STORY].m_Genres = {0, 1, 0, 1, 0};
  g_Progress.m_nRankGenre = 0;
  BeginRankingDisplay();
  EXPECT_EQ(g_Progress.m_nRankGenre, 1);
  EXPECT_FALSE(StepRankingDisplay(8));
  EXPECT_EQ(g_Progress.m_nRankGenre, 3);
  EXPECT_FALSE(StepRankingDisplay(0));
  EXPECT_TRUE(StepRankingDisplay(1));
  EXPECT_EQ(g_Sounds, (std::vector<int>{6, 1}));

  g_System.m_RankGenreSets[PLAY_MODE_STORY].m_Genres = {0, 1, 0, 0, 0};
  EXPECT_FALSE(StepRankingDisplay(8));
  EXPECT_EQ(g_Progress.m_nRankGenre, 3) << "one genre: nothing to switch to";
}

}  // namespace
