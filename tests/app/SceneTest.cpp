#include "core/Scene.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "doubles/MainWindowRecorder.h"

namespace {

// A scene with two steps of its own that records what runs.
class cStepScene : public cScene {
 public:
  cStepScene() { SetSteps({static_cast<Step>(&cStepScene::Menu), static_cast<Step>(&cStepScene::Wait)}); }
  void Init() override {
    m_Trace.push_back("Init");
    if (m_pThrow) throw m_pThrow;
  }
  void FadeIn() override {
    m_Trace.push_back("FadeIn");
    m_nStep = 1;
  }
  void FadeOut() override { m_Trace.push_back("FadeOut"); }
  void Menu() {
    m_Trace.push_back("Menu");
    m_nStep = 2;
  }
  void Wait() {
    m_Trace.push_back("Wait");
    m_nStep = 3;
  }

  std::vector<std::string> m_Trace;
  const char* m_pThrow = nullptr;
};

class SceneTest : public apptest::cAppFixture {};

TEST_F(SceneTest, FirstUpdateInitialisesThenRunsStepsInTableOrder) {
  cStepScene scene;
  EXPECT_EQ(-1, scene.m_nStep);
  ASSERT_EQ(4u, scene.m_Steps.size());
  for (int frame = 0; frame < 4; ++frame) scene.RunSteps();
  EXPECT_EQ((std::vector<std::string>{"Init", "FadeIn", "Menu", "Wait", "FadeOut"}), scene.m_Trace);
}

TEST_F(SceneTest, InitRunsOnlyOnce) {
  cStepScene scene;
  scene.RunSteps();
  scene.m_nStep = 0;
  scene.RunSteps();
  EXPECT_EQ((std::vector<std::string>{"Init", "FadeIn", "FadeIn"}), scene.m_Trace);
}

TEST_F(SceneTest, TextThrownByInitClosesTheWindowAndStepZeroStillRuns) {
  cMainWindowRecorder window;
  cStepScene scene;
  scene.m_pThrow = "タイトル画像の読み込みに失敗";
  scene.RunSteps();
  EXPECT_EQ((std::vector<std::string>{"Init", "FadeIn"}), scene.m_Trace);
  EXPECT_EQ(1, scene.m_nStep);
  window.DispatchPosted();
  EXPECT_EQ(1u, window.MessagesOf(WM_CLOSE).size());
  const std::vector<std::string> report = ReadLines("Report_Game.txt");
  ASSERT_FALSE(report.empty());
  EXPECT_EQ("タイトル画像の読み込みに失敗", report.back());
}

TEST_F(SceneTest, StepOutsideTheTableRunsNothing) {
  cStepScene scene;
  scene.m_nStep = 4;
  scene.RunSteps();
  scene.m_nStep = -2;
  scene.RunSteps();
  EXPECT_TRUE(scene.m_Trace.empty());
}

TEST_F(SceneTest, BaseSceneDoesNothing) {
  cScene scene;
  scene.RunSteps();  // Init of the base; no steps
  EXPECT_EQ(0, scene.m_nStep);
  scene.SetSteps({});
  ASSERT_EQ(2u, scene.m_Steps.size());
  scene.RunSteps();
  scene.m_nStep = 1;
  scene.RunSteps();
}

TEST_F(SceneTest, CallCatchingTextTakesEveryKindOfText) {
  cMainWindowRecorder window;
  EXPECT_TRUE(CallCatchingText([] {}));
  EXPECT_FALSE(CallCatchingText([] { throw "a"; }));
  EXPECT_FALSE(CallCatchingText([] { throw std::string("b"); }));
  EXPECT_FALSE(CallCatchingText([] { throw std::runtime_error("c"); }));
  EXPECT_FALSE(CallCatchingText([] { throw static_cast<const char*>(nullptr); }));
  window.DispatchPosted();
  EXPECT_EQ(4u, window.MessagesOf(WM_CLOSE).size());
  const std::vector<std::string> report = ReadLines("Report_Game.txt");
  ASSERT_GE(report.size(), 4u);
  EXPECT_EQ((std::vector<std::string>{"a", "b", "c", ""}), std::vector<std::string>(report.end() - 4, report.end()));
}

}  // namespace
