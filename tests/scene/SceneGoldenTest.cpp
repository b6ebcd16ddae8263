// Golden frames of the five menu scenes on both drawing roads: each scene is
// run until its fade-in is over and one frame of its own step is presented.
// On a mismatch the frame is written as a bitmap beside the test program.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "SceneTestSupport.h"
#include "data/Progress.h"
#include "data/StorySlots.h"
#include "data/WorldMap.h"
#include "graphics/FrameChecksum.h"

namespace scenetest {
namespace {

struct sGoldenCase {
  const char* name;
  int scene;
  bool direct3D;
  std::uint32_t checksum;
};

class SceneGolden : public cSceneFixture, public ::testing::WithParamInterface<sGoldenCase> {
 protected:
  // A small world to show: a stage node with a title and a best result
  // beside the figure, lives, a saved slot and a total.
  static void PrepareWorld() {
    g_WorldMap.m_Grid.assign(g_WorldMap.m_Grid.size(), 5);
    cWorldNode node;
    node.m_nX = g_WorldMap.m_nStartX;
    node.m_nY = g_WorldMap.m_nStartY;
    node.m_Stages[0].m_nClearFlag = 1;
    node.m_Stages[0].m_bPassThrough = 1;
    node.m_Stages[0].m_strTitle = "ステージ1";
    node.m_Stages[0].m_strStageFile = "data\\stg4\\c01-1.stg4";
    g_WorldMap.m_Nodes.push_back(node);
    g_Progress.m_nMapX = g_WorldMap.m_nStartX;
    g_Progress.m_nMapY = g_WorldMap.m_nStartY;
    g_Progress.m_nLives = 3;
    g_Progress.RecordStageResult("data\\stg4\\c01.", "data\\stg4\\c01.", 0, 0, 0, 1200);
    g_System.m_bMapShowBest = 1;
    g_System.m_bMenuShowTotal = 1;
    g_System.m_bAllStages = 1;
    g_System.m_nStageCount = 3;
  }
};

TEST_P(SceneGolden, MatchesItsFrame) {
  const sGoldenCase& c = GetParam();
  Start(c.direct3D);
  PrepareWorld();
  g_SceneManager.m_nCurScene = c.scene;
  ASSERT_TRUE(RunToStep(1));
  Frame();
  g_SceneManager.Present();
  drawtest::ExpectGoldenFrame(m_Presenter, c.checksum, std::string("scene_") + c.name);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, SceneGolden,
    ::testing::Values(sGoldenCase{"TitleDirect3D", SCENE_TITLE, true, 0x18d9bf0f}, sGoldenCase{"TitleDirectDraw", SCENE_TITLE, false, 0x93491f53},
                      sGoldenCase{"WorldMapDirect3D", SCENE_WORLD_MAP, true, 0x823a65fd},
                      sGoldenCase{"WorldMapDirectDraw", SCENE_WORLD_MAP, false, 0x668edefa},
                      sGoldenCase{"MapMenuDirect3D", SCENE_MAP_MENU, true, 0xbc745797},
                      sGoldenCase{"MapMenuDirectDraw", SCENE_MAP_MENU, false, 0xa50044cf},
                      sGoldenCase{"StageSelectDirect3D", SCENE_STAGE_SELECT, true, 0xab7d0338},
                      sGoldenCase{"StageSelectDirectDraw", SCENE_STAGE_SELECT, false, 0xafa72d60},
                      sGoldenCase{"OptionsDirect3D", SCENE_OPTION, true, 0xf0c02003},
                      sGoldenCase{"OptionsDirectDraw", SCENE_OPTION, false, 0xdc73f0b3}),
    [](const ::testing::TestParamInfo<sGoldenCase>& info) { return info.param.name; });

}  // namespace
}  // namespace scenetest
