// The world map: which stage entry of a node applies, when it counts as
// cleared or passable, and the scene walking over a small map: walls and
// impassable cells, blocking stages, the prompt, the map menu and the way
// back from a stage.

#include <gtest/gtest.h>

#include <climits>

#include "SceneTestSupport.h"
#include "data/Progress.h"
#include "data/WorldMap.h"
#include "scene/WorldMapScene.h"

namespace scenetest {
namespace {

struct sCompareCase {
  int comparison, value, operand;
  bool passes;
};

class WorldConditionTable : public ::testing::TestWithParam<sCompareCase> {};

TEST_P(WorldConditionTable, ComparesTheVariableWithTheOperand) {
  const sCompareCase& c = GetParam();
  EXPECT_EQ(CompareWorldCondition(c.comparison, c.value, c.operand), c.passes)
      << "comparison " << c.comparison << " of " << c.value << " with " << c.operand;
}

INSTANTIATE_TEST_SUITE_P(
    Table, WorldConditionTable,
    ::testing::Values(sCompareCase{0, 5, 5, true}, sCompareCase{0, 4, 5, false}, sCompareCase{1, 4, 5, true},
                      sCompareCase{1, 5, 5, false}, sCompareCase{2, 5, 5, true}, sCompareCase{2, 4, 5, false},
                      sCompareCase{3, 5, 5, true}, sCompareCase{3, 6, 5, false}, sCompareCase{4, 6, 5, true},
                      sCompareCase{4, 5, 5, false}, sCompareCase{5, 4, 5, true}, sCompareCase{5, 5, 5, false},
                      sCompareCase{6, 12, 4, true}, sCompareCase{6, -12, 4, true}, sCompareCase{6, 13, 4, false},
                      sCompareCase{6, 13, 0, true}, sCompareCase{6, INT_MIN, 2, true},
                      sCompareCase{7, 13, 4, true}, sCompareCase{7, 12, 4, false}, sCompareCase{7, 13, 0, false},
                      sCompareCase{8, 0, 0, false}, sCompareCase{-1, 0, 0, false}));

TEST(WorldStageRulesTest, FirstApplicableEntryOfTheNodeIsItsCurrentEntry) {
  cProgress progress;
  cWorldNode node;
  node.m_Stages.resize(3);
  node.m_Stages[0].m_nNeedFlag = 5;          // needs flag 5
  node.m_Stages[1].m_nCondVar = 10;          // needs common variable 10 >= 3
  node.m_Stages[1].m_nCondOp = 2;
  node.m_Stages[1].m_nCondValue = 3;
  node.m_Stages[2].m_nNeedTotal = 100;       // needs a best total of 100
  EXPECT_EQ(SelectWorldStage(&node, progress), nullptr);
  progress.m_nTotal = 100;
  EXPECT_EQ(SelectWorldStage(&node, progress), &node.m_Stages[2]);
  progress.m_CommonVars[10] = 3;
  EXPECT_EQ(SelectWorldStage(&node, progress), &node.m_Stages[1]);
  progress.m_StageFlags[5] = 1;
  EXPECT_EQ(SelectWorldStage(&node, progress), &node.m_Stages[0]);
  EXPECT_EQ(SelectWorldStage(nullptr, progress), nullptr);
}

TEST(WorldStageRulesTest, FlagsAndVariablesPastTheRecordCountAsZero) {
  cProgress progress;
  cWorldStage entry;
  entry.m_nNeedFlag = 5000;
  EXPECT_FALSE(WorldStageApplies(entry, progress));
  entry.m_nNeedFlag = 0;
  entry.m_nCondVar = -3;
  entry.m_nCondOp = 0;
  entry.m_nCondValue = 0;
  EXPECT_TRUE(WorldStageApplies(entry, progress));
  entry.m_nClearFlag = 70000;
  EXPECT_FALSE(IsWorldStageCleared(entry, progress));
}

TEST(WorldStageRulesTest, ClearedAndPassable) {
  cProgress progress;
  cWorldStage entry;
  entry.m_nClearFlag = 4;
  EXPECT_FALSE(IsWorldStageCleared(entry, progress));
  EXPECT_FALSE(IsWorldStagePassable(entry, progress));
  entry.m_bPassThrough = 1;
  EXPECT_TRUE(IsWorldStagePassable(entry, progress));
  entry.m_bPassThrough = 0;
  progress.m_StageFlags[4] = 1;
  EXPECT_TRUE(IsWorldStageCleared(entry, progress));
  EXPECT_TRUE(IsWorldStagePassable(entry, progress));
}

// A 12 by 10 map: cell kind 0 open, kind 1 impassable at (6, 5); a wall node
// at (4, 5), a pass-through stage at (5, 4), a blocking stage at (5, 6).
class WorldMapSceneTest : public cSceneRoadTest {
 protected:
  void SetUp() override {
    cSceneFixture::SetUp();
    Start(GetParam());
    g_WorldMap.SetSize(12, 10);
    g_WorldMap.m_CellKinds.resize(2);
    g_WorldMap.m_CellKinds[0].m_bImpassable = 0;
    g_WorldMap.m_CellKinds[0].m_nChip = 1;
    g_WorldMap.m_CellKinds[1].m_bImpassable = 1;
    g_WorldMap.m_CellKinds[1].m_nChip = 7;
    g_WorldMap.m_Grid[g_WorldMap.CellIndex(6, 5)] = 1;
    g_WorldMap.m_nStartX = 5;
    g_WorldMap.m_nStartY = 5;
    g_WorldMap.m_bBackPicture = 1;
    g_WorldMap.m_strBackPicture = "bmp\\WorldBack.bmp";
    AddNode(4, 5, WORLD_STAGE_WALL, 0, 0, "");
    AddNode(5, 4, WORLD_STAGE_STAGE, 11, 1, "はし");
    AddNode(5, 6, WORLD_STAGE_STAGE, 12, 0, "とりで");
    g_Progress.m_nMapX = 5;
    g_Progress.m_nMapY = 5;
    g_SceneManager.m_nCurScene = SCENE_WORLD_MAP;
    g_SceneManager.m_nPrevScene = SCENE_TITLE;
  }
  void AddNode(int x, int y, int kind, int clearFlag, int passThrough, const char* title) {
    cWorldNode node;
    node.m_nX = x;
    node.m_nY = y;
    node.m_Stages[0].m_nKind = kind;
    node.m_Stages[0].m_nClearFlag = clearFlag;
    node.m_Stages[0].m_bPassThrough = passThrough;
    node.m_Stages[0].m_nSymbol = 1;
    node.m_Stages[0].m_strTitle = title;
    node.m_Stages[0].m_strStageFile = "data\\stg4\\missing.stg4";
    g_WorldMap.m_Nodes.push_back(node);
  }
  cWorldMapScene* Map() { return static_cast<cWorldMapScene*>(g_SceneManager.Scene(SCENE_WORLD_MAP)); }
  int Column() const { return g_MenuCursor.m_pCurrent->m_Column; }
  int RowOf() const { return g_MenuCursor.m_pCurrent->m_Row; }
};

TEST_P(WorldMapSceneTest, RefusedMovesTurnTheFigureOnly) {
  ASSERT_TRUE(RunToStep(1));
  Press(kLeft);  // the wall node
  EXPECT_EQ(Column(), 5);
  EXPECT_EQ(Map()->m_nFacing, 2);
  Press(kRight);  // the impassable cell
  EXPECT_EQ(Column(), 5);
  EXPECT_EQ(Map()->m_nFacing, 3);
  Press(kUp);  // the pass-through stage
  EXPECT_EQ(RowOf(), 4);
  EXPECT_EQ(Map()->m_nScrollY, 4 - 7);
  EXPECT_EQ(g_Progress.m_nPrevMapY, 5);
  EXPECT_EQ(Map()->m_nStep, 1);  // no prompt on a pass-through stage
}

TEST_P(WorldMapSceneTest, ABlockingStageOpensThePromptAndRefusingSendsTheFigureBack) {
  ASSERT_TRUE(RunToStep(1));
  Press(kDown);
  ASSERT_EQ(Map()->m_nStep, 2);
  EXPECT_EQ(g_Progress.m_nMapY, 6);
  Frame();  // the prompt loads the stage: it is missing
  ASSERT_FALSE(m_Boxes.empty());
  EXPECT_NE(m_Boxes.back().text.find("missing.stg4"), std::string::npos);
  EXPECT_EQ(g_MenuCursor.m_pCurrent->m_Row, 1);  // "やっぱりやめる" first
  Tap(kDecide);
  EXPECT_EQ(Map()->m_nStep, 1);
  EXPECT_EQ(g_MenuCursor.Depth(), 1);
  EXPECT_EQ(RowOf(), 5);  // back where it came from
  EXPECT_EQ(Map()->m_nScrollY, 5 - 7);
}

TEST_P(WorldMapSceneTest, DecidingOnAClearedStageWithoutReplayDoesNothing) {
  g_Progress.m_StageFlags[11] = 1;
  ASSERT_TRUE(RunToStep(1));
  Press(kUp);
  Tap(kDecide);
  EXPECT_EQ(Map()->m_nStep, 1);
  g_WorldMap.m_Nodes[1].m_Stages[0].m_bReplay = 1;
  Tap(kDecide);
  EXPECT_EQ(Map()->m_nStep, 2);
}

TEST_P(WorldMapSceneTest, CancelOpensTheMapMenuAndComingBackDoesNotStartABlockingStage) {
  ASSERT_TRUE(RunToStep(1));
  Press(kRight, 0);
  Tap(kCancel);
  EXPECT_EQ(g_SceneManager.m_nNextScene, SCENE_MAP_MENU);
  ASSERT_TRUE(RunToScene(SCENE_MAP_MENU));
  ASSERT_TRUE(RunToStep(1));  // the map menu
  // Back from the map menu while standing on the blocking stage.
  g_Progress.m_nMapY = 6;
  Tap(kCancel);
  ASSERT_TRUE(RunToScene(SCENE_WORLD_MAP));
  ASSERT_TRUE(RunToStep(1));
  EXPECT_EQ(RowOf(), 6);
  EXPECT_TRUE(m_Boxes.empty());
}

TEST_P(WorldMapSceneTest, BackToMapFromAStagePutsTheFigureOnItsPreviousCell) {
  g_Progress.m_nMapY = 6;
  g_Progress.m_nPrevMapX = 5;
  g_Progress.m_nPrevMapY = 5;
  g_Progress.m_bBackToMap = 1;
  g_SceneManager.m_nPrevScene = SCENE_GAME;
  ASSERT_TRUE(RunToStep(1));
  EXPECT_EQ(RowOf(), 5);
  EXPECT_EQ(g_Progress.m_bBackToMap, 0);
  EXPECT_TRUE(m_Boxes.empty());
}

TEST_P(WorldMapSceneTest, ABlockingStageUnderTheFigureStartsAfterTheFadeIn) {
  g_Progress.m_nMapY = 6;
  ASSERT_FALSE(RunToStep(1, 15));
  // Its file is missing: the box, and the player is asked to close.
  ASSERT_FALSE(m_Boxes.empty());
  EXPECT_NE(m_Boxes.back().text.find("missing.stg4"), std::string::npos);
}

TEST_P(WorldMapSceneTest, PositionOffTheMapStartsAtTheStartCell) {
  g_Progress.m_nMapX = 400;
  g_Progress.m_nMapY = -3;
  ASSERT_TRUE(RunToStep(1));
  EXPECT_EQ(Column(), 5);
  EXPECT_EQ(RowOf(), 5);
}

TEST_P(WorldMapSceneTest, AutoSaveAfterAStageWritesTheSlot) {
  g_Progress.m_bAutoSave = 1;
  g_Progress.m_nStorySlot = 4;
  g_SceneManager.m_nPrevScene = SCENE_GAME;
  Frame();
  EXPECT_TRUE(Exists("user_data/story/Story05.dat"));
}

INSTANTIATE_TEST_SUITE_P(Roads, WorldMapSceneTest, ::testing::Bool(), RoadName);

}  // namespace
}  // namespace scenetest
