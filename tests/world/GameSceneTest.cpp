// The game scene: stage set-up (what it places, with which keys, and the
// counters it starts from), the play step's clocks, the lives an attempt
// takes, the phases from fade-in to play, and the spawning of placed and
// summoned objects.

#include <gtest/gtest.h>

#include <vector>

#include "WorldTestSupport.h"
#include "core/SceneManager.h"
#include "core/ProcessFlags.h"
#include "core/FrameTimer.h"
#include "data/CharaData.h"
#include "data/ItemData.h"
#include "graphics/DrawLayerTestSupport.h"
#include "world/Chara.h"
#include "world/Hero.h"
#include "world/Item.h"
#include "world/KeyInput.h"
#include "world/MapGrid.h"
#include "world/Message.h"
#include "world/MenuCursor.h"
#include "world/Random.h"
#include "world/ReplayInput.h"
#include "world/RunStart.h"
#include "world/SceneDraw.h"
#include "world/Spawn.h"
#include "world/StageSetup.h"

namespace {

using worldtest::cWorldFixture;

// ---- rules of their own ---------------------------------------------------------

TEST(SubStepMaskTest, ContactChecksAreSpreadOverTheSubSteps) {
  struct sCase {
    int n, m;
    std::vector<int32_t> mask;
  } cases[] = {
      {3, 2, {1, 1, 0}},        // 1.5 apart: 0 and 1, and two were set
      {3, 0, {1, 1, 1}},        // no count: every sub-step
      {9, 4, {1, 0, 1, 0, 1, 0, 1, 0, 0}},
      {4, 3, {1, 1, 1, 0}},     // 0, 1.33, 2.67 -> 0, 1, 2
      {4, 2, {1, 0, 1, 0}},
      {5, 1, {1, 0, 0, 0, 0}},
      {2, 5, {1, 1}},           // more checks than sub-steps: every one
      {1, 1, {1}},
      {0, 0, {1}},              // a broken stage still runs one sub-step
  };
  for (const sCase& c : cases) {
    EXPECT_EQ(c.mask, BuildSubStepMask(c.n, c.m)) << c.n << " sub-steps, " << c.m << " checks";
  }
}

TEST(StageMusicTest, TheTuneAStageStartAsksFor) {
  struct sCase {
    int stageTune, keep, playing, fresh, request;
  } cases[] = {
      {5, 1, 5, 1, kNoMusicRequest},  // kept: the same tune plays on
      {0, 1, 0, 1, 0},                // kept silence is stopped again
      {5, 0, 5, 1, 5},                // not kept: a fresh start restarts the tune
      {5, 1, 3, 1, 5},
      {5, 0, 5, 0, kNoMusicRequest},  // a retry leaves the same tune alone
      {5, 0, 3, 0, 5},
  };
  for (const sCase& c : cases) {
    EXPECT_EQ(c.request, StageMusicRequest(c.stageTune, c.keep, c.playing, c.fresh))
        << c.stageTune << " " << c.keep << " " << c.playing << " " << c.fresh;
  }
}

// ---- the scene's clocks and lives ---------------------------------------------------

class GameSceneTest : public cWorldFixture {
 protected:
  void SetUp() override {
    cWorldFixture::SetUp();
    ResetFrameTimingForTests();
    g_TestPlay = 0;
  }
  void TearDown() override {
    g_TestPlay = 0;
    g_SceneManager.m_nTitleChoice = 0;
    cWorldFixture::TearDown();
  }

  // A stage of 20 x 15 cells with the hero at (2, 10) on a floor.
  void MakeStage() {
    g_Stage = cStageData();
    g_Stage.m_Width = 20;
    g_Stage.m_Height = 15;
    g_Stage.m_AreaLimitX = 20 * kCellDots;
    g_Stage.m_AreaLimitY = 15 * kCellDots;
    cCharaData hero;
    hero.m_nOperator = CHARA_BY_PLAYER;
    hero.m_nGraphic = 1;
    hero.m_nCellX = 2;
    hero.m_nCellY = 10;
    hero.m_nMhp = 3;
    g_Stage.m_PlacedCharas.push_back(hero);
    for (int x = 0; x < 20; ++x) {
      cBlockData block;
      block.m_nGraphic = 1;
      block.m_nCellX = static_cast<int16_t>(x);
      block.m_nCellY = 11;
      g_Stage.m_PlacedBlocks.push_back(block);
    }
    g_StageInitial = g_Stage;
  }

  cCharaData Enemy(int column, int row, int extraCopies) {
    cCharaData enemy;
    enemy.m_nOperator = CHARA_BY_COMPUTER;
    enemy.m_nGraphic = 2;
    enemy.m_nCellX = static_cast<int16_t>(column);
    enemy.m_nCellY = static_cast<int16_t>(row);
    enemy.m_nExtraCopies = static_cast<uint8_t>(extraCopies);
    enemy.m_nCopyXStep = 32;
    enemy.m_nCarriedItem = -1;
    return enemy;
  }

  std::vector<int32_t> CharaKeys() const {
    std::vector<int32_t> keys;
    for (const cChara& chara : g_CharaList) keys.push_back(chara.m_Key);
    return keys;
  }

  cGameScene m_Scene;
};

TEST_F(GameSceneTest, PlayTimeCountsHundredthsAndStopsAtItsCeiling) {
  m_Scene.TickPlayTime();
  EXPECT_EQ(1, m_Scene.m_nPlayFrames);
  EXPECT_EQ(1, m_Scene.m_nPlayTime);  // 100 / 60
  for (int i = 0; i < 59; ++i) m_Scene.TickPlayTime();
  EXPECT_EQ(100, m_Scene.m_nPlayTime);

  m_Scene.m_nPlayFrames = 359999;
  m_Scene.m_nPlayTime = 599998;
  m_Scene.TickPlayTime();
  EXPECT_EQ(599999, m_Scene.m_nPlayTime);
  m_Scene.TickPlayTime();  // at the ceiling nothing moves any more
  EXPECT_EQ(360000, m_Scene.m_nPlayFrames);
  EXPECT_EQ(599999, m_Scene.m_nPlayTime);
}

TEST_F(GameSceneTest, TheTimeLimitTicksOncePerSixtyFramesAndSaturates) {
  m_Scene.m_nTimeLeft = 1;
  int frames = 0;
  while (m_Scene.TickTimeLimit(-1) == 0 && frames < 1000) ++frames;
  EXPECT_EQ(59, frames);  // time 1 is up on the 60th frame
  EXPECT_EQ(0, m_Scene.m_nTimeLeft);

  ResetFrameTimingForTests();
  m_Scene.m_nTimeLeft = 998;
  for (int i = 0; i < 120; ++i) EXPECT_EQ(0, m_Scene.TickTimeLimit(+5));
  EXPECT_EQ(999, m_Scene.m_nTimeLeft);  // 1000 or more shows 999

  ResetFrameTimingForTests();
  m_Scene.m_nTimeLeft = INT32_MIN + 1;
  for (int i = 0; i < 59; ++i) m_Scene.TickTimeLimit(-5);
  EXPECT_EQ(1, m_Scene.TickTimeLimit(-5));  // a huge negative count is time up, not a wrap
  EXPECT_EQ(0, m_Scene.m_nTimeLeft);

  m_Scene.m_bNoTimeLimit = 1;
  m_Scene.m_nTimeLeft = 1;
  for (int i = 0; i < 600; ++i) EXPECT_EQ(0, m_Scene.TickTimeLimit(-1));
  EXPECT_EQ(1, m_Scene.m_nTimeLeft);
}

TEST_F(GameSceneTest, AnAttemptTakesALifeUnlessLivesAreEndless) {
  struct sCase {
    int testPlay, lives, result, livesAfter;
  } cases[] = {
      {0, 3, 1, 2}, {0, 1, 1, 0}, {0, 0, 0, 0}, {0, -4, 0, -4}, {0, kInfiniteLives, 1, kInfiniteLives},
      {1, 0, 1, 0},  // test play never runs out
  };
  for (const sCase& c : cases) {
    g_TestPlay = c.testPlay;
    g_Progress.m_nLives = c.lives;
    EXPECT_EQ(c.result, m_Scene.LoseLife()) << c.lives;
    EXPECT_EQ(c.livesAfter, g_Progress.m_nLives) << c.lives;
  }
}

// ---- stage set-up -----------------------------------------------------------------------

TEST_F(GameSceneTest, SetStagePlacesTheHeroCharactersAndItemsWithFreshKeys) {
  MakeStage();
  g_Stage.m_PlacedCharas.push_back(Enemy(5, 10, 3));   // four copies in a row
  g_Stage.m_PlacedCharas.push_back(Enemy(19, 10, 2));  // the copies right of the stage are dropped
  cItemData coin;
  coin.m_nGraphic = 1;
  coin.m_nCellX = 8;
  coin.m_nCellY = 10;
  g_Stage.m_PlacedItems.push_back(coin);
  cItemData carried = coin;
  carried.m_nCellX = 12;
  g_Stage.m_PlacedItems.push_back(carried);
  cCharaData carrier = Enemy(12, 10, 0);
  carrier.m_nCarriedItem = 1;
  g_Stage.m_PlacedCharas.push_back(carrier);
  g_StageInitial = g_Stage;
  g_GameScene = &m_Scene;

  m_Scene.SetStage(0, 1);

  ASSERT_EQ(1u, Player.size());
  const cHero& hero = Player[0];
  EXPECT_EQ(0, hero.m_Key);
  EXPECT_EQ((2 + kMapMarginCells) * kCellDots, static_cast<int>(hero.m_X) - hero.m_BaseDrawOffX);
  // Hero 0, the four copies 1-4, the one copy inside the stage 5, the carrier 6.
  EXPECT_EQ((std::vector<int32_t>{1, 2, 3, 4, 5, 6}), CharaKeys());
  // Item 0 is the carried one's key (taken while the carrier was made);
  // only the free coin lies on the map.
  ASSERT_EQ(1, g_ItemList.Count());
  EXPECT_EQ(1, g_ItemList.begin()->m_Key);
  EXPECT_EQ(7, m_Scene.m_nCharaKeyCounter);
  EXPECT_EQ(2, m_Scene.m_nItemKeyCounter);
  // Every object is in the group of its pass-through number.
  size_t grouped = 0;
  for (const auto& group : m_Scene.m_CharaGroups) grouped += group.size();
  EXPECT_EQ(7u, grouped);
}

TEST_F(GameSceneTest, SetStageStartsTheCountersAndTheTimeLimit) {
  MakeStage();
  g_Stage.m_TimeLimitOn = 1;
  g_Stage.m_TimeLimit = 90;
  g_Stage.m_HitLevel = 3;
  g_Stage.m_ContactChecks = 2;
  g_StageInitial = g_Stage;
  g_GameScene = &m_Scene;
  m_Scene.m_nStepResult = STEP_RESULT_STOP;
  m_Scene.m_nPlayTime = 500;
  m_Scene.m_nFrameCounter = 40;

  m_Scene.SetStage(0, 1);

  EXPECT_EQ(90, m_Scene.m_nTimeLeft);
  EXPECT_EQ(0, m_Scene.m_bNoTimeLimit);
  EXPECT_EQ(STEP_RESULT_NONE, m_Scene.m_nStepResult);
  EXPECT_EQ(0, m_Scene.m_nPlayTime);
  EXPECT_EQ(0, m_Scene.m_nFrameCounter);
  EXPECT_EQ((std::vector<int32_t>{1, 1, 0}), std::vector<int32_t>(m_Scene.m_SubStepMask.begin(),
                                                                    m_Scene.m_SubStepMask.end()));

  g_Stage.m_TimeLimitOn = 0;
  g_StageInitial = g_Stage;
  m_Scene.SetStage(1, 0);
  EXPECT_EQ(kNoTimeLimitSeconds, m_Scene.m_nTimeLeft);
  EXPECT_EQ(1, m_Scene.m_bNoTimeLimit);
}

// The stage's frame rate becomes the scene's as it is stored; 0 (or a
// damaged negative rate) runs without a frame limit.
TEST_F(GameSceneTest, SetStageRunsTheStageAtItsOwnFrameRate) {
  for (int fps : {30, 60, 120, 0, -5}) {
    SCOPED_TRACE(fps);
    MakeStage();
    g_Stage.m_Fps = fps;
    g_StageInitial = g_Stage;
    g_GameScene = &m_Scene;
    m_Scene.SetStage(0, 1);
    EXPECT_EQ(g_SceneManager.m_nFps, fps);
    if (fps <= 0) {
      for (int frame = 0; frame < 3; ++frame) EXPECT_TRUE(FrameLimiter(g_SceneManager.m_nFps));
    }
  }
}

// A restart shows nothing of the attempt before: its messages (whose
// surfaces the set-up gives back), effects, pictures, screen effect and
// screen colour are gone, and the next frame draws without them.
TEST_F(GameSceneTest, ARestartLeavesNothingOfTheAttemptBeforeOnTheScreen) {
  drawtest::cTestLayer layer(drawtest::eRoad::Direct3D, 640, 480);
  ASSERT_TRUE(layer.Started());
  MakeStage();
  g_GameScene = &m_Scene;
  m_Scene.SetStage(0, 1);
  cMessageSetup text;
  text.text = "hello";
  m_Scene.m_Messages.push_back(std::make_shared<cMessage>(text));
  ASSERT_NE(m_Scene.m_Messages.back()->m_lpSD, nullptr);
  m_Scene.m_Effects.emplace_back();
  m_Scene.m_Pictures.emplace_back();
  m_Scene.m_ScrEffect.m_nEffect = 1;
  m_Scene.m_ScreenColor.Set(255, 0, 0, 50, 0, 10, 0, 0);
  m_Scene.m_ScreenColor.m_nLevel = 100;

  m_Scene.SetStage(1, 0);
  EXPECT_TRUE(m_Scene.m_Messages.empty());
  EXPECT_TRUE(m_Scene.m_Effects.empty());
  EXPECT_TRUE(m_Scene.m_Pictures.empty());
  EXPECT_EQ(0, m_Scene.m_ScrEffect.m_nEffect);
  EXPECT_EQ(0, m_Scene.m_ScreenColor.m_bRunning);
  EXPECT_EQ(0, m_Scene.m_ScreenColor.m_bPending);
  EXPECT_EQ(255, m_Scene.m_ScreenColor.Level());
  EXPECT_EQ(255, m_Scene.m_ScreenColor.m_nPrevLevel);
  m_Scene.Draw(1, 0, 0, 0);
}

TEST_F(GameSceneTest, ARestartPutsTheStageBackAsLoadedAndKeepsTheSeedWithoutRecording) {
  MakeStage();
  g_GameScene = &m_Scene;
  g_System.m_bReplay = 0;
  m_Scene.m_nSeed = 1234;
  m_Scene.SetStage(0, 1);
  const uint32_t first = g_Random.State();
  EXPECT_EQ(1234u, first);
  RandomRange(0, 100);
  g_Stage.m_Gravity = 9.0;  // changed while playing
  m_Scene.SetStage(1, 0);
  EXPECT_EQ(first, g_Random.State());
  EXPECT_EQ(g_StageInitial.m_Gravity, g_Stage.m_Gravity);
}

// An attempt that began where the stage clear before it put the hero: its
// replay's progress carries that start. Every pass of the replay starts the
// hero there, facing as carried: the first (the scene's fresh entry, which
// clears the counters) as well as the restarts, which read the file again.
// A replay plays its attempt as it began: the carried start position and the
// lives its file recorded, on the first pass as on every restart. A file too
// old to record them starts as a fresh entry does, whatever the progress held
// before it was opened.
TEST_F(GameSceneTest, EveryPassOfAReplayStartsAsItsAttemptDid) {
  constexpr int kOwnCellX = 2;  // MakeStage's hero, facing left
  constexpr int kCarriedCellX = 7;
  struct sCase {
    int version;
    int cellX, facing;  // where every pass starts
    int firstLives, restartLives;
  } cases[] = {
      {172, kOwnCellX, 0, 3, 3},       // no progress record: the running one, reset as a fresh entry
      {600, kOwnCellX, 0, 1, 1},       // lives recorded, no carried start yet
      {677, kOwnCellX, 0, 1, 1},
      {678, kCarriedCellX, 0, 1, 1},   // the carried start, without its facing
      {DATA_VERSION, kCarriedCellX, 1, 1, 1},
  };
  EnterTempFolder();
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.version);
    MakeStage();
    cProgress atStart;  // an attempt after two lost lives, from a carried start
    atStart.m_nLivesAtStart = 3;
    atStart.m_nLives = 1;
    atStart.m_bHeroStartSet = 1;
    atStart.m_nHeroStartX = kCarriedCellX;
    atStart.m_nHeroStartY = 9;
    atStart.m_nHeroStartFacing = 1;
    cReplayInput recording;
    recording.m_Seed = 99;
    cByteWriter out(c.version);
    BeginDataWrite(out);
    g_Stage.SaveForReplay(out, g_StageInitial);
    recording.Write(out);
    if (c.version >= 173) atStart.Write(out);
    const char* const path = "user_data\\rpl4\\attempt.rpl4_781";
    ASSERT_TRUE(SaveDataFile(path, out.TakeBytes()));

    // What the player's progress held before the replay was opened.
    g_Progress.m_nLivesAtStart = 5;
    g_Progress.m_nLives = 0;
    g_Progress.m_bHeroStartSet = 1;
    g_Progress.m_nHeroStartX = 12;
    g_Progress.m_nHeroStartY = 3;
    ASSERT_EQ(1, g_ReplayRec.LoadFile(path, g_Stage, g_StageInitial, g_Progress));
    if (c.version < 173) g_Progress.m_nLivesAtStart = 4;
    g_SceneManager.m_nTitleChoice = kTitleChoiceReplay;
    g_GameScene = &m_Scene;
    const auto expectStart = [&c](const char* pass, int lives) {
      SCOPED_TRACE(pass);
      ASSERT_EQ(1u, Player.size());
      const cHero& hero = Player[0];
      EXPECT_EQ((c.cellX + kMapMarginCells) * kCellDots, static_cast<int>(hero.m_X) - hero.m_BaseDrawOffX);
      EXPECT_EQ(c.facing, hero.m_Facing);
      EXPECT_EQ(lives, g_Progress.m_nLives);
    };
    m_Scene.EnterStage();
    expectStart("first pass", c.firstLives);
    const double firstY = Player[0].m_Y;

    m_Scene.SetStage(1, 1);
    expectStart("restart", c.restartLives);
    EXPECT_EQ(firstY, Player[0].m_Y);
  }
}

// ---- spawning ------------------------------------------------------------------------

TEST_F(GameSceneTest, ASummonedCharacterInsideABlockIsRemovedAtOnce) {
  MakeStage();
  g_GameScene = &m_Scene;
  m_Scene.SetStage(0, 1);
  const int before = g_CharaList.Count();
  cCharaData minion = Enemy(0, 0, 0);
  cCharaSummon summon;
  summon.definition = &minion;
  summon.lifetimeTenths = 5;
  cSummonPlace inFloor{(5 + kMapMarginCells) * kCellDots + 16.0, (11 + kMapMarginCells) * kCellDots + 16.0, 0, 1, 0};
  EXPECT_EQ(nullptr, CreateSummonedChara(summon, inFloor));
  EXPECT_EQ(before, g_CharaList.Count());

  cSummonPlace inAir{(5 + kMapMarginCells) * kCellDots + 16.0, (6 + kMapMarginCells) * kCellDots + 16.0, 1, 1, 0};
  const int key = m_Scene.m_nCharaKeyCounter;
  cChara* made = CreateSummonedChara(summon, inAir);
  ASSERT_NE(nullptr, made);
  EXPECT_EQ(key, made->m_Key);
  EXPECT_EQ(5 * g_Stage.SubStepsAtLeastOne() * 6, made->m_Life);
  EXPECT_EQ(key + 1, m_Scene.m_nCharaKeyCounter);
}

TEST_F(GameSceneTest, BlockSummonsToggleOnceEraseAndLeaveProtectedCellsAlone) {
  MakeStage();
  g_GameScene = &m_Scene;
  m_Scene.SetStage(0, 1);
  cBlockData wall;
  wall.m_nGraphic = 3;
  const auto cellAt = [](int column, int row) -> cMapCell& {
    return g_MapGrid[MapCellIndex(column + kMapMarginCells, row + kMapMarginCells, g_GameScene->m_ScrollX.m_RowBits)];
  };
  const auto place = [](int column, int row) {
    return std::pair<double, double>{(column + kMapMarginCells) * kCellDots, (row + kMapMarginCells) * kCellDots};
  };

  // Toggle twice in one command: the empty cell gets the block once.
  cBlockSummon toggle{&wall, BLOCK_SUMMON_TOGGLE, 0, 0};
  auto [x, y] = place(7, 5);
  PlaceSummonedBlocks(x, y, toggle);
  PlaceSummonedBlocks(x, y, toggle);
  EXPECT_EQ(3, cellAt(7, 5).m_nGraphic);
  // The next command toggles it off again.
  m_Scene.m_ToggledCells.clear();
  PlaceSummonedBlocks(x, y, toggle);
  EXPECT_EQ(0, cellAt(7, 5).m_nGraphic);

  // Erasing a floor cell; a placed (fixed) floor cell stays.
  auto [fx, fy] = place(9, 11);
  PlaceSummonedBlocks(fx, fy, cBlockSummon{&wall, BLOCK_SUMMON_ERASE, 0, 0});
  EXPECT_EQ(0, cellAt(9, 11).m_nGraphic);
  cellAt(10, 11).m_bFixed = 1;
  auto [gx, gy] = place(10, 11);
  PlaceSummonedBlocks(gx, gy, cBlockSummon{&wall, BLOCK_SUMMON_ERASE, 0, 0});
  EXPECT_EQ(1, cellAt(10, 11).m_nGraphic);

  // A block that would cover the hero is undone with the not-on-the-hero switch,
  // and covers it (giving it a crush grace) without it.
  const cHero& hero = Player[0];
  const int column = static_cast<int>(hero.m_X) / kCellDots - kMapMarginCells;
  const int row = static_cast<int>(hero.m_Y) / kCellDots - kMapMarginCells;
  auto [hx, hy] = place(column, row);
  PlaceSummonedBlocks(hx, hy, cBlockSummon{&wall, BLOCK_SUMMON_PLACE, 1, 0});
  EXPECT_EQ(0, cellAt(column, row).m_nGraphic);
  EXPECT_EQ(2, hero.m_nCrushGrace);
  PlaceSummonedBlocks(hx, hy, cBlockSummon{&wall, BLOCK_SUMMON_PLACE, 0, 0});
  EXPECT_EQ(3, cellAt(column, row).m_nGraphic);
}

// ---- the phases ------------------------------------------------------------------

TEST_F(GameSceneTest, FromFadeInThroughTheReadyCaptionToPlay) {
  MakeStage();
  g_Stage.m_ShowReadyCaption = 1;
  g_StageInitial = g_Stage;
  g_GameScene = &m_Scene;
  m_Scene.SetStage(0, 1);
  m_Scene.SetPhase(PHASE_READY);
  int frames = 0;
  while (m_Scene.Phase() == PHASE_READY && frames < 1000) {
    m_Scene.Update();
    ++frames;
  }
  EXPECT_EQ(80, frames);  // 79 frames of the caption, then the step into play
  EXPECT_EQ(PHASE_PLAY, m_Scene.Phase());

  // A pause from play and back with the cancel button.
  m_Keys.SetKey(plat::VK_SPACE, true);
  m_Scene.Update();
  EXPECT_EQ(PHASE_PAUSE, m_Scene.Phase());
  EXPECT_EQ(PHASE_PLAY, m_Scene.m_nSavedPhase);
  m_Keys.SetKey(plat::VK_SPACE, false);
  g_KeyInput[0].m_Buttons = 2;
  m_Scene.Update();
  EXPECT_EQ(PHASE_PLAY, m_Scene.Phase());
  EXPECT_EQ(1, m_Scene.m_bDecideLock);
}

// The end of the hero's death animation: a life goes, and the stage restarts
// at once, asks whether to retry (stories with the prompt on), or the game is
// over; a test play never runs out of lives.
TEST_F(GameSceneTest, TheEndOfTheHerosDeathLeadsToReadyRetryOrGameOver) {
  struct sCase {
    int playMode;
    int retryPrompt;
    int testPlay;
    int lives;
    int phase;
    int livesAfter;
  } cases[] = {
      {kPlayModeStory, 0, 0, 3, PHASE_READY, 2}, {kPlayModeStory, 1, 0, 3, PHASE_RETRY, 2},
      {kPlayModeStory, 1, 0, 0, PHASE_GAME_OVER, 0}, {1, 1, 0, 1, PHASE_READY, 0},
      {1, 0, 0, 0, PHASE_GAME_OVER, 0}, {2, 0, 1, 0, PHASE_READY, 0},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.playMode << " prompt " << c.retryPrompt << " test play "
                                    << c.testPlay << " lives " << c.lives);
    MakeStage();
    g_GameScene = &m_Scene;
    g_SceneManager.m_nPlayMode = c.playMode;
    g_System.m_bRetryPrompt = c.retryPrompt;
    g_TestPlay = c.testPlay;
    m_Scene.SetStage(0, 1);
    m_Scene.SetPhase(PHASE_PLAY);
    g_Progress.m_nLives = c.lives;
    HeroDeathEnded(m_Scene);
    EXPECT_EQ(c.phase, m_Scene.Phase());
    EXPECT_EQ(c.livesAfter, g_Progress.m_nLives);
  }
  g_SceneManager.m_nPlayMode = 0;
  g_System.m_bRetryPrompt = 0;
}

// The retry prompt's two rows and the game over's decide: the stage again,
// back to the map, or the title, each through the fade-out.
TEST_F(GameSceneTest, TheRetryPromptAndGameOverLeadOnByTheDecideKey) {
  struct sCase {
    int phase;
    int row;
    int nextPhase;
    int nextScene;
  } cases[] = {
      {PHASE_RETRY, 0, PHASE_READY, -1},
      {PHASE_RETRY, 1, PHASE_FADE_OUT, SCENE_WORLD_MAP},
      {PHASE_GAME_OVER, 0, PHASE_FADE_OUT, SCENE_TITLE},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "phase " << c.phase << " row " << c.row);
    MakeStage();
    g_GameScene = &m_Scene;
    m_Scene.SetStage(0, 1);
    m_Scene.SetPhase(c.phase);
    g_SceneManager.m_nNextScene = -1;
    m_Scene.Update();  // the prompt's first frame puts its cursor on the first row
    ASSERT_EQ(c.phase, m_Scene.Phase());
    if (g_MenuCursor.m_pCurrent != nullptr) g_MenuCursor.m_pCurrent->m_Row = c.row;
    g_KeyInput[0].m_Buttons = 1;
    m_Scene.Update();
    g_KeyInput[0].m_Buttons = 0;
    EXPECT_EQ(c.nextPhase, m_Scene.Phase());
    EXPECT_EQ(c.nextScene, g_SceneManager.m_nNextScene);
  }
}

}  // namespace
