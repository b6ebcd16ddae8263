// The play step, frame by frame on a small stage with the flow interpreter:
// a character that vanishes itself and what pointed at it, the hero's death
// in the frame that caused it, and a series of stage files played through.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "WorldTestSupport.h"
#include "core/AtomicFile.h"
#include "core/ProcessFlags.h"
#include "core/SceneManager.h"
#include "data/CharaData.h"
#include "data/Database.h"
#include "data/Command.h"
#include "data/EdShot.h"
#include "data/Flow.h"
#include "data/ItemData.h"
#include "data/PaletteContext.h"
#include "doubles/FakeFlowServices.h"
#include "world/FlowState.h"
#include "support/FlowBuilder.h"
#include "support/WorldFakes.h"
#include "world/Chara.h"
#include "world/Damage.h"
#include "world/Formation.h"
#include "world/Hero.h"
#include "world/Item.h"
#include "world/Shot.h"
#include "world/Spawn.h"
#include "world/StageClear.h"

namespace {

constexpr int kSoundHeroDies = 8;
constexpr int kHeroColumn = 4;
constexpr int kHeroRow = 10;  // on the floor of row 11
constexpr int kEnemyFaction = 2;

// "消滅" on the running character itself.
cCommand VanishCmd() { return cCmdBuilder(FLOW_CMD_STATUS2).Params({0, 0, 0}); }

// A computer-operated character at stage cell (column, row) on the enemy's
// side, with `flows`.
cCharaData Enemy(int column, int row, std::initializer_list<cFlow> flows = {}) {
  cCharaData enemy;
  enemy.m_nOperator = CHARA_BY_COMPUTER;
  enemy.m_nGraphic = 2;
  enemy.m_nMhp = 5;
  enemy.m_nPassNumber = kEnemyFaction;
  enemy.m_nCellX = static_cast<int16_t>(column);
  enemy.m_nCellY = static_cast<int16_t>(row);
  enemy.m_nCarriedItem = -1;
  for (const cFlow& flow : flows) enemy.m_Flows.push_back(flow);
  return enemy;
}

bool Links(const cCharaBase& holder, const cCharaBase* chara) {
  return std::any_of(holder.m_CharaLinks.begin(), holder.m_CharaLinks.end(),
                     [chara](const cCharaLink& link) { return link.m_pChara == chara; });
}

cChara* CharaByKey(int32_t key) { return g_CharaList.FindByKey(key); }

class PlayStepTest : public worldtest::cWorldFixture {
 protected:
  void SetUp() override {
    cWorldFixture::SetUp();
    g_TestPlay = 0;
    g_SceneManager.m_nTitleChoice = 0;
    g_SceneManager.m_nPlayMode = 0;
    g_GameScene = &m_Scene;
  }
  void TearDown() override {
    g_SceneManager.m_nTitleChoice = 0;
    g_SceneManager.m_nPlayMode = 0;
    cWorldFixture::TearDown();
  }

  static cStageData MakeStage() { return HeroOnAFloor(kHeroColumn, kHeroRow); }

  // Sets `stage` up as the stage played, in the play phase.
  void Start(const cStageData& stage) {
    g_Stage = stage;
    g_StageInitial = stage;
    m_Scene.SetStage(0, 1);
    m_Scene.SetPhase(PHASE_PLAY);
  }

  void Frame() { m_Scene.Update(); }

  static int Count(const std::vector<int>& sounds, int sound) {
    return static_cast<int>(std::count(sounds.begin(), sounds.end(), sound));
  }

  cSoundLog m_Sounds;
};

// ---- a character that vanishes itself ------------------------------------------

// A summoned character whose own flow vanishes it leaves through the one
// removal: the hero's links, its summoner's child link, another character's
// target slot, its shots' owner and the scene's current character no longer
// name it, so the summoner's removal afterwards touches nothing freed.
TEST_F(PlayStepTest, ACharacterThatVanishesItselfInPlayLeavesNoLinkBehind) {
  cStageData stage = MakeStage();
  stage.m_PlacedCharas.push_back(Enemy(8, kHeroRow));   // the summoner
  stage.m_PlacedCharas.push_back(Enemy(10, kHeroRow));  // a character aiming at it
  Start(stage);
  cChara* summoner = CharaByKey(1);
  cChara* watcher = CharaByKey(2);
  ASSERT_NE(summoner, nullptr);
  ASSERT_NE(watcher, nullptr);

  cCharaData minion = Enemy(0, 0, {cFlowBuilder().Trigger(TRIGGER_ALWAYS).Cmd(VanishCmd())});
  cCharaSummon summon;
  summon.definition = &minion;
  summon.summoner = summoner;
  const cSummonPlace place{(6 + kMapMarginCells) * kCellDots + 16.0, (5 + kMapMarginCells) * kCellDots + 16.0, 0,
                           kEnemyFaction, 0};
  cChara* vanishing = CreateSummonedChara(summon, place);
  ASSERT_NE(vanishing, nullptr);
  watcher->SetTarget(1, vanishing, 1);
  cEdShot settings;
  settings.m_nCount = 1;
  settings.m_nFormation = FORMATION_EXPLOSION;
  settings.m_bPassBlocks = 1;
  cCmdState state;
  FireShot(g_ShotList, *vanishing, state, settings);
  ASSERT_EQ(g_ShotList.m_Shots.Count(), 1);
  cShot& shot = *g_ShotList.m_Shots.begin();
  ASSERT_EQ(shot.m_Owner, vanishing);
  cHero& hero = Player[0];
  ASSERT_TRUE(Links(hero, vanishing));
  ASSERT_TRUE(Links(*summoner, vanishing));

  Frame();

  EXPECT_FALSE(g_CharaList.Contains(vanishing));
  EXPECT_FALSE(Links(hero, vanishing)) << "the hero's link list";
  EXPECT_FALSE(Links(*summoner, vanishing)) << "the summoner's child link";
  EXPECT_EQ(watcher->m_Targets[1], nullptr) << "another character's target slot";
  EXPECT_EQ(shot.m_Owner, nullptr) << "its shot's owner";
  EXPECT_NE(m_Scene.m_pCurChara, vanishing);
  for (const auto& group : m_Scene.m_CharaGroups) {
    EXPECT_EQ(std::count(group.begin(), group.end(), vanishing), 0);
  }
  // Its summoner's removal unlinks its children: nothing of the vanished one
  // is left to reach.
  m_Scene.RemoveChara(*summoner);
}

// A flow that vanishes its own character returns before it clears the
// scene's current flow and command. When the hero then takes an item block's
// item in the same sub-step, the item's "アニメの実行" runs outside any flow
// and must tag its animation as such (-1), not read the freed flow state.
TEST_F(PlayStepTest, AnItemRunAfterASelfVanishingFlowReadsNoFreedFlow) {
  g_AnimeScripts.resize(2);
  g_AnimeScripts[1].push_back(cAnimeFrame{0, 6, 0});
  cStageData stage = MakeStage();
  stage.m_HitLevel = 1;  // one sub-step: the vanishing flow runs just before the item block
  cItemData item;
  item.m_nGraphic = 1;
  item.m_Commands.push_back(cCmdBuilder::Item(FLOW_CMD_ANIME - kItemToFlowCmdOffset).Params({1}));
  stage.m_PaletteItems.assign(1, cItemData());
  stage.m_PaletteItems.push_back(item);
  for (cBlockData& block : stage.m_PlacedBlocks) {
    block.m_nItemPalette = PALETTE_STAGE;
    block.m_nItemIndex = 1;
  }
  Start(stage);
  for (int i = 0; i < 5; ++i) Frame();
  cHero& hero = Player[0];
  const cCharaData minion = Enemy(0, 0, {cFlowBuilder().Trigger(TRIGGER_ALWAYS).Cmd(VanishCmd())});
  bool taken = false;
  for (int frame = 0; frame < 60 && !taken; ++frame) {
    hero.m_AnimeList.clear();
    hero.m_nItemBlockTimer = 0;
    cCharaSummon summon;
    summon.definition = &minion;
    const cSummonPlace place{(8 + kMapMarginCells) * kCellDots + 16.0,
                             (kHeroRow + kMapMarginCells) * kCellDots + 16.0, 0, kEnemyFaction, 0};
    ASSERT_NE(CreateSummonedChara(summon, place), nullptr);
    Frame();
    ASSERT_EQ(g_CharaList.Count(), 0);
    if (hero.m_AnimeList.empty()) continue;
    taken = true;
    EXPECT_EQ(hero.m_AnimeList.front().m_AnimeKey, -1) << "frame " << frame;
  }
  EXPECT_TRUE(taken) << "the hero never took the item block's item";
}

// A character whose start flows took the hero as their target and vanished
// it leaves set-up without the hero keeping a link to it.
TEST_F(PlayStepTest, ACharacterThatVanishesItselfAtSetUpLeavesNoLinkBehind) {
  cFakeFlowServices flows;
  flows.m_OnTrigger = [](cCharaBase& chara, int trigger) {
    if (trigger != TRIGGER_STAGE_START || chara.m_Operator != OBJ_BY_COMPUTER) return;
    chara.SetTarget(0, StageHero(), 1);
    chara.m_bVanished = 1;
  };
  cStageData stage = MakeStage();
  stage.m_PlacedCharas.push_back(Enemy(7, kHeroRow));
  Start(stage);

  EXPECT_EQ(g_CharaList.Count(), 0);
  const cHero& hero = Player[0];
  EXPECT_TRUE(hero.m_CharaLinks.empty()) << hero.m_CharaLinks.size() << " links left";
}

// ---- the hero's death, in the frame that caused it -----------------------------

// A shot, a body, a pickup and an item block that take the hero's last hit
// points each end the frame with the hero dead (system sound 8 once): its
// flows do not run again and nothing heals it back before it dies.
TEST_F(PlayStepTest, AnyDeadlyContactKillsTheHeroInTheSameFrame) {
  const auto killingItem = [] {
    cItemData item;
    item.m_nGraphic = 1;
    item.m_Commands.push_back(cCmdBuilder::Item(FLOW_CMD_STATUS2 - kItemToFlowCmdOffset).Params({0, 0, 0}));
    return item;
  };
  struct sCase {
    const char* source;
    void (*prepare)(cStageData& stage, const cItemData& item);
  } cases[] = {
      {"a shot",
       [](cStageData& stage, const cItemData&) {
         cCmdBuilder shot(FLOW_CMD_SHOT);
         shot.Shot().m_nCount = 1;
         shot.Shot().m_nFormation = FORMATION_EXPLOSION;
         shot.Shot().m_nPower = 10;
         shot.Shot().m_bPassBlocks = 1;
         stage.m_PlacedCharas.push_back(
             Enemy(kHeroColumn, kHeroRow, {cFlowBuilder().Trigger(TRIGGER_ALWAYS).Cmd(shot)}));
       }},
      {"a body",
       [](cStageData& stage, const cItemData&) {
         cCharaData enemy = Enemy(kHeroColumn, kHeroRow);
         enemy.m_nPower = 10;
         stage.m_PlacedCharas.push_back(enemy);
       }},
      {"a pickup",
       [](cStageData& stage, const cItemData& item) {
         cItemData placed = item;
         placed.m_nCellX = kHeroColumn;
         placed.m_nCellY = kHeroRow;
         stage.m_PlacedItems.push_back(placed);
       }},
      {"an item block",
       [](cStageData& stage, const cItemData& item) {
         stage.m_PaletteItems.assign(1, cItemData());
         stage.m_PaletteItems.push_back(item);
         for (cBlockData& block : stage.m_PlacedBlocks) {
           block.m_nItemPalette = PALETTE_STAGE;
           block.m_nItemIndex = 1;
         }
       }},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.source);
    cStageData stage = MakeStage();
    c.prepare(stage, killingItem());
    Start(stage);
    m_Sounds.Clear();
    const cHero& hero = Player[0];
    for (int frame = 0; frame < 3 && hero.m_bDead == 0; ++frame) Frame();
    EXPECT_EQ(hero.m_bDead, 1);
    EXPECT_EQ(Count(m_Sounds.Sounds(), kSoundHeroDies), 1);
    EXPECT_EQ(m_Scene.Phase(), PHASE_PLAY) << "its death runs in the following frames";
  }
}

// ---- a series of stages --------------------------------------------------------

// Four files of one series, each cleared by its only character's flow ("次の
// ステージへ"): the shown stage number goes 1, 2, 3, 4, each file is the one
// played, and after the last the run leaves for the title with 4 shown.
TEST_F(PlayStepTest, ASeriesOfFourStageFilesAdvancesOneByOne) {
  EnterTempFolder();
  std::filesystem::create_directories("data/stg4");
  for (int n = 1; n <= 4; ++n) {
    cStageData stage = MakeStage();
    stage.m_PlacedCharas[0].m_nCellX = static_cast<int16_t>(n);  // tells the files apart
    cCmdBuilder clear(FLOW_CMD_STAGE_CLEAR);
    stage.m_PlacedCharas.push_back(Enemy(12, kHeroRow, {cFlowBuilder().Trigger(TRIGGER_ALWAYS).Cmd(clear)}));
    const std::vector<std::uint8_t> bytes = stage.MakeFileBytes();
    ASSERT_TRUE(WriteFileAtomic("data\\stg4\\run-" + std::to_string(n) + ".stg4_781", bytes.data(), bytes.size()));
  }
  g_SceneManager.m_nTitleChoice = 3;
  g_SceneManager.m_nPlayMode = 2;
  ASSERT_EQ(LoadStageForPlay("data\\stg4\\run-1.stg4", true, &g_StageInitial), 1);
  g_Progress.SetStageName(g_Stage.m_Path, 0, 0, 0);
  g_Progress.m_nStageNo = 1;
  g_Progress.m_nSeriesNo = 1;

  m_Scene.SetStage(0, 1);
  std::vector<int> shown, heroColumns;
  int next = SCENE_GAME;
  for (int stage = 0; stage < 5 && next == SCENE_GAME; ++stage) {
    m_Scene.SetPhase(PHASE_PLAY);
    shown.push_back(g_Progress.m_nSeriesNo);
    heroColumns.push_back(static_cast<int>(Player[0].m_X) / kCellDots - kMapMarginCells);
    for (int frame = 0; frame < 5 && m_Scene.Phase() == PHASE_PLAY; ++frame) Frame();
    ASSERT_EQ(m_Scene.Phase(), PHASE_STAGE_CLEAR);
    next = NextStage(m_Scene);
    if (next == SCENE_GAME) m_Scene.SetStage(1, 1);
  }
  EXPECT_EQ(shown, (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(heroColumns, (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(next, SCENE_TITLE);
  EXPECT_EQ(g_Progress.m_nSeriesNo, 4) << "restored after the missing fifth file";
}

}  // namespace
