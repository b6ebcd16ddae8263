#include "app/Globals.h"

#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "dialog/BootData.h"
#include "core/Scene.h"
#include "core/SceneManager.h"
#include "scene/TitleScene.h"
#include "app/Startup.h"
#include "app/SystemIni.h"
#include "app/WindowData.h"

namespace {

int g_Deleted = 0;

class cCountedScene : public cScene {
 public:
  ~cCountedScene() override { ++g_Deleted; }
};

class GlobalsTest : public apptest::cAppFixture {};

TEST_F(GlobalsTest, ResetPutsTheShellBackToItsStartState) {
  cSceneManager::SetFactory([](int) -> cScene* { return new cCountedScene; });
  g_SceneManager.ChangeScene(SCENE_MAP_MENU);
  g_SceneManager.m_nCurScene = 4;
  g_SceneManager.m_nNextScene = 3;
  g_SceneManager.m_nPrevScene = 2;
  g_SceneManager.m_nTitleChoice = 6;
  g_SceneManager.m_nPlayMode = 3;
  g_SceneManager.m_nStageCursor[0] = 7;
  g_SceneManager.m_nStageCursor[1] = 8;
  g_SceneManager.m_bRanking = 1;
  g_SceneManager.m_nFps = 60;
  g_SceneManager.m_nFadeStep = 10;
  g_SceneManager.m_nSceneBgm = 5;
  for (int i = 0; i < 20; ++i) AddFrameTime(9);
  g_Fps = 60;
  g_FrameMs = 3;
  g_bDDBlitPresent = 1;
  g_BootData.m_nDrawMode = 0;
  g_BootData.m_bNoShow = 1;
  g_WindowData.Set(1, 2, 3, 4, 5);
  g_SystemIni.m_nDirect3D = 9;
  g_SystemIni.m_strFreeStage = "x.stg4";
  g_Random.Seed(77);
  g_TestPlay = 1;
  g_AnimeScripts.resize(3);
  g_EffectScripts.resize(2);
  g_Deleted = 0;

  ResetAppGlobalsForTests();

  EXPECT_EQ(1, g_Deleted);
  for (int type = 0; type < kSceneTypeCount; ++type) EXPECT_EQ(nullptr, g_SceneManager.Scene(type));
  EXPECT_EQ(0, g_SceneManager.m_nCurScene);
  EXPECT_EQ(0, g_SceneManager.m_nNextScene);
  EXPECT_EQ(0, g_SceneManager.m_nPrevScene);
  EXPECT_EQ(0, g_SceneManager.m_nTitleChoice);
  EXPECT_EQ(0, g_SceneManager.m_nPlayMode);
  EXPECT_EQ(0, g_SceneManager.m_nStageCursor[0]);
  EXPECT_EQ(0, g_SceneManager.m_nStageCursor[1]);
  EXPECT_EQ(0, g_SceneManager.m_bRanking);
  EXPECT_EQ(0, g_SceneManager.m_nFps);
  EXPECT_EQ(0, g_SceneManager.m_nFadeStep);
  EXPECT_EQ(0, g_SceneManager.m_nSceneBgm);
  EXPECT_EQ(0, g_FrameTimeIndex);
  EXPECT_EQ(0, g_FrameTimeAverage);
  for (int ms : g_FrameTimeRing) EXPECT_EQ(0, ms);
  EXPECT_EQ(0, g_Fps);
  EXPECT_EQ(0, g_FrameMs);
  EXPECT_EQ(0, g_bDDBlitPresent);
  EXPECT_EQ(1, g_BootData.m_nDrawMode);
  EXPECT_EQ(0, g_BootData.m_bNoShow);
  EXPECT_EQ(0, g_WindowData.m_nX);
  EXPECT_EQ(0, g_WindowData.m_bMaximised);
  EXPECT_EQ(0, g_SystemIni.m_nDirect3D);
  EXPECT_EQ("", g_SystemIni.m_strFreeStage);
  EXPECT_EQ(1u, g_Random.State());
  EXPECT_EQ(0, g_TestPlay);
  EXPECT_TRUE(g_AnimeScripts.empty());
  EXPECT_TRUE(g_EffectScripts.empty());

  // The player's own factory is back: the test's scene is gone and the
  // title is the player's own.
  g_SceneManager.ChangeScene(SCENE_TITLE);
  EXPECT_NE(nullptr, dynamic_cast<cTitleScene*>(g_SceneManager.Scene(SCENE_TITLE)));
  EXPECT_EQ(1, g_Deleted);
  g_SceneManager.DeleteScenes();
}

}  // namespace
