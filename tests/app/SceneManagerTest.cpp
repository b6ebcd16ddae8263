#include "core/SceneManager.h"

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "core/Scene.h"
#include "app/SystemIni.h"
#include "doubles/MainWindowRecorder.h"
#include "core/AppMessages.h"
#include "graphics/DrawContext.h"
#include "graphics/FontTestSupport.h"
#include "graphics/Present.h"
#include "graphics/SurfaceFill.h"
#include "graphics/SurfaceTable.h"
#include "platform/KeySource.h"
#include "world/KeyConfig.h"
#include "world/KeyInput.h"
#include "world/StageGraphics.h"

namespace {

// What the test scenes did, in order: "new 0", "delete 3", "update 5", ...
std::vector<std::string> g_Trace;
// The type whose construction throws a text, and whose update does.
int g_ThrowOnCreate = -1;
int g_ThrowOnUpdate = -1;

class cTestScene : public cScene {
 public:
  explicit cTestScene(int type) : m_nType(type) {
    if (type == g_ThrowOnCreate) throw "シーンを作れません";
    g_Trace.push_back("new " + std::to_string(type));
  }
  ~cTestScene() override { g_Trace.push_back("delete " + std::to_string(m_nType)); }
  void Update() override {
    g_Trace.push_back("update " + std::to_string(m_nType));
    if (m_nType == g_ThrowOnUpdate) throw std::string("更新に失敗");
  }
  int m_nType;
};

cScene* TestFactory(int type) { return new cTestScene(type); }
// A player in which only the title and the options have scene classes.
cScene* PartialFactory(int type) { return type == 0 || type == 5 ? new cTestScene(type) : nullptr; }
cScene* FailingFactory(int) { throw std::bad_alloc(); }

class SceneManagerTest : public apptest::cAppFixture {
 protected:
  void SetUp() override {
    cAppFixture::SetUp();
    g_Trace.clear();
    g_ThrowOnCreate = -1;
    g_ThrowOnUpdate = -1;
    cSceneManager::SetFactory(&TestFactory);
    g_SystemIni.m_nShowFps = 0;
  }
  void TearDown() override {
    g_SceneManager.DeleteScenes();
    cAppFixture::TearDown();
  }

  // Fills every slot and forgets the creations.
  void CreateAll() {
    g_SceneManager.m_pTitle = new cTestScene(0);
    g_SceneManager.m_pWorldMap = new cTestScene(1);
    g_SceneManager.m_pMapMenu = new cTestScene(2);
    g_SceneManager.m_pStageSelect = new cTestScene(3);
    g_SceneManager.m_pGame = new cTestScene(4);
    g_SceneManager.m_pOption = new cTestScene(5);
    g_Trace.clear();
  }

  static int TypeOf(const cScene* scene) { return static_cast<const cTestScene*>(scene)->m_nType; }
};

TEST_F(SceneManagerTest, FirstFrameCreatesTheTitleAndUpdatesIt) {
  EXPECT_EQ(1, g_SceneManager.Frame());
  EXPECT_EQ((std::vector<std::string>{"new 0", "update 0"}), g_Trace);
  ASSERT_NE(nullptr, g_SceneManager.Scene(SCENE_TITLE));
  EXPECT_EQ(g_SceneManager.m_pTitle, g_SceneManager.Scene(SCENE_TITLE));
}

TEST_F(SceneManagerTest, EachTypeLivesInItsOwnSlot) {
  for (int type = 0; type < kSceneTypeCount; ++type) {
    g_SceneManager.ChangeScene(type);
    ASSERT_NE(nullptr, g_SceneManager.Scene(type));
    EXPECT_EQ(type, TypeOf(g_SceneManager.Scene(type)));
  }
  EXPECT_EQ(g_SceneManager.m_pGame, g_SceneManager.Scene(SCENE_GAME));
  EXPECT_EQ(g_SceneManager.m_pOption, g_SceneManager.Scene(SCENE_OPTION));
  EXPECT_EQ(nullptr, g_SceneManager.Scene(-1));
  EXPECT_EQ(nullptr, g_SceneManager.Scene(6));
}

TEST_F(SceneManagerTest, SwitchingAwayAndBackMakesAFreshScene) {
  g_SceneManager.Frame();
  cScene* firstTitle = g_SceneManager.Scene(SCENE_TITLE);
  firstTitle->m_nStep = 3;

  g_SceneManager.m_nCurScene = SCENE_OPTION;
  g_SceneManager.Frame();
  EXPECT_EQ(nullptr, g_SceneManager.Scene(SCENE_TITLE));

  g_SceneManager.m_nCurScene = SCENE_TITLE;
  g_SceneManager.Frame();
  EXPECT_EQ((std::vector<std::string>{"new 0", "update 0", "delete 0", "new 5", "update 5", "delete 5", "new 0",
                                      "update 0"}),
            g_Trace);
  EXPECT_EQ(-1, g_SceneManager.Scene(SCENE_TITLE)->m_nStep);
}

TEST_F(SceneManagerTest, SameTypeKeepsItsScene) {
  g_SceneManager.ChangeScene(SCENE_STAGE_SELECT);
  cScene* scene = g_SceneManager.Scene(SCENE_STAGE_SELECT);
  g_SceneManager.ChangeScene(SCENE_STAGE_SELECT);
  EXPECT_EQ(scene, g_SceneManager.Scene(SCENE_STAGE_SELECT));
  EXPECT_EQ((std::vector<std::string>{"new 3"}), g_Trace);
}

TEST_F(SceneManagerTest, SwitchDeletesTheOthersInItsOrder) {
  CreateAll();
  g_SceneManager.ChangeScene(SCENE_GAME);
  EXPECT_EQ((std::vector<std::string>{"delete 0", "delete 2", "delete 1", "delete 3", "delete 5"}), g_Trace);
  EXPECT_NE(nullptr, g_SceneManager.m_pGame);
}

TEST_F(SceneManagerTest, TypeOutsideTheRangeOnlyDeletes) {
  CreateAll();
  g_SceneManager.ChangeScene(6);
  EXPECT_EQ((std::vector<std::string>{"delete 0", "delete 2", "delete 1", "delete 3", "delete 4", "delete 5"}),
            g_Trace);
  for (int type = 0; type < kSceneTypeCount; ++type) EXPECT_EQ(nullptr, g_SceneManager.Scene(type));

  g_Trace.clear();
  g_SceneManager.m_nCurScene = -1;
  EXPECT_EQ(1, g_SceneManager.Frame());
  EXPECT_TRUE(g_Trace.empty());
}

TEST_F(SceneManagerTest, DeleteScenesEmptiesEverySlotInItsOrder) {
  CreateAll();
  g_SceneManager.DeleteScenes();
  EXPECT_EQ((std::vector<std::string>{"delete 0", "delete 1", "delete 2", "delete 3", "delete 5", "delete 4"}),
            g_Trace);
  for (int type = 0; type < kSceneTypeCount; ++type) EXPECT_EQ(nullptr, g_SceneManager.Scene(type));
  g_SceneManager.DeleteScenes();  // nothing left: nothing happens
  EXPECT_EQ(6u, g_Trace.size());
}

TEST_F(SceneManagerTest, TypeWithoutASceneClassRunsAClearedFrame) {
  cSceneManager::SetFactory(&PartialFactory);
  ASSERT_TRUE(StartDrawingLayer(false, 1));
  g_SceneManager.m_nFps = 0;
  g_Palette[16] = {0x12, 0x34, 0x56, 0};
  g_SceneManager.m_nCurScene = SCENE_GAME;
  EXPECT_EQ(1, g_SceneManager.Frame());
  EXPECT_EQ(nullptr, g_SceneManager.Scene(SCENE_GAME));
  EXPECT_TRUE(g_Trace.empty());
  ASSERT_NE(nullptr, BackBuffer.Pixels());
  EXPECT_EQ(0x123456u, BackBuffer.Pixels()->GetPixel(320, 240) & 0xFFFFFFu);

  g_SceneManager.m_nCurScene = SCENE_OPTION;
  EXPECT_EQ(1, g_SceneManager.Frame());
  EXPECT_EQ((std::vector<std::string>{"new 5", "update 5"}), g_Trace);
}

TEST_F(SceneManagerTest, TextThrownByASceneOnCreationClosesTheWindowAndTheFrameGoesOn) {
  cMainWindowRecorder window;
  g_ThrowOnCreate = SCENE_TITLE;
  EXPECT_EQ(1, g_SceneManager.Frame());
  EXPECT_EQ(nullptr, g_SceneManager.Scene(SCENE_TITLE));
  window.DispatchPosted();
  EXPECT_EQ(1u, window.MessagesOf(WM_CLOSE).size());
  EXPECT_EQ("シーンを作れません", ReadLines("Report_Game.txt").back());
}

TEST_F(SceneManagerTest, TextThrownByAnUpdateClosesTheWindowAndTheFrameGoesOn) {
  cMainWindowRecorder window;
  g_ThrowOnUpdate = SCENE_TITLE;
  EXPECT_EQ(1, g_SceneManager.Frame());
  EXPECT_EQ(1, g_SceneManager.Frame());
  EXPECT_EQ((std::vector<std::string>{"new 0", "update 0", "update 0"}), g_Trace);
  window.DispatchPosted();
  EXPECT_EQ(2u, window.MessagesOf(WM_CLOSE).size());
  EXPECT_EQ("更新に失敗", ReadLines("Report_Game.txt").back());
}

TEST_F(SceneManagerTest, SceneThatCannotBeAllocatedShowsTheMemoryBoxAndCloses) {
  cMainWindowRecorder window;
  cSceneManager::SetFactory(&FailingFactory);
  EXPECT_EQ(1, g_SceneManager.Frame());
  EXPECT_EQ(nullptr, g_SceneManager.Scene(SCENE_TITLE));
  ASSERT_EQ(1u, m_Boxes.size());
  EXPECT_EQ("メモリが不足しています！", m_Boxes[0].text);
  window.DispatchPosted();
  EXPECT_EQ(1u, window.MessagesOf(WM_CLOSE).size());
}

// ---- presentation and lost surfaces ------------------------------------------

TEST_F(SceneManagerTest, LostDirect3DDeviceInAWindowAsksTheMainWindowToRestore) {
  cMainWindowRecorder window;
  ASSERT_TRUE(StartDrawingLayer(true, 1));
  g_SceneManager.m_nFps = kTargetFps;
  EXPECT_EQ(1, g_SceneManager.Frame());
  EXPECT_TRUE(window.MessagesOf(WM_APP_RESTORE_DISPLAY).empty());
  DDSimulateDeviceLoss(true);
  EXPECT_EQ(1, g_SceneManager.Frame());
  const auto sent = window.MessagesOf(WM_APP_RESTORE_DISPLAY);
  ASSERT_EQ(1u, sent.size());
  EXPECT_FALSE(sent[0].posted);
}

TEST_F(SceneManagerTest, LostDirectDrawSurfacesAreRestoredBeforeTheUpdate) {
  ASSERT_TRUE(StartDrawingLayer(false, 1));
  g_SceneManager.m_nFps = 0;
  DDSimulateDeviceLoss();
  ASSERT_TRUE(DDIsPrimaryLost());
  EXPECT_EQ(1, g_SceneManager.Frame());
  EXPECT_FALSE(DDIsPrimaryLost());
  EXPECT_EQ((std::vector<std::string>{"new 0", "update 0"}), g_Trace);
}

// The game scene's own containers lose their video memory with the display:
// the frame's restore brings each back, empty surfaces marked for their
// owners to draw again (messages render anew, the stage drawing rebuilds).
TEST_F(SceneManagerTest, LostSceneSurfacesAreRestoredForTheirOwners) {
  ASSERT_TRUE(StartDrawingLayer(false, 1));
  g_SceneManager.m_nFps = 0;
  std::vector<DDSURFACEDATA*> surfaces;
  for (cImageSurfaces* images : {&g_SpecialBmpImages, &g_EffectImages, &g_SwordImages}) {
    images->m_Surfaces.resize(1);
    surfaces.push_back(&images->m_Surfaces[0]);
  }
  surfaces.push_back(&g_PictureSurfaces.emplace_back());
  surfaces.push_back(&g_MsgSurfaces.emplace_back());
  for (DDSURFACEDATA* sd : surfaces) ASSERT_TRUE(DDCreateSurface(sd, 32, 32, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
  ASSERT_TRUE(PrepareLightSurfaces(8, 1));
  EXPECT_FALSE(LightSurfacesLost());

  DDSimulateDeviceLoss();
  EXPECT_EQ(1, g_SceneManager.Frame());
  for (DDSURFACEDATA* sd : surfaces) {
    EXPECT_EQ(0u, sd->lpDD->bSurfaceLost) << sd - surfaces[0];
    EXPECT_EQ(1, sd->bLost);
  }
  EXPECT_TRUE(LightSurfacesLost()) << "the stage drawing makes the darkness again";
  ASSERT_TRUE(PrepareLightSurfaces(8, 1));
  EXPECT_FALSE(LightSurfacesLost());
  ReleaseStageGraphics();
}

TEST_F(SceneManagerTest, FullScreenDirectDrawFlipsOrBlitsAsStartUpChose) {
  ASSERT_TRUE(DDInit(0, nullptr, 640, 480, 32, 1, 0, 1, 60, 1, g_SurfaceData.data(), g_SurfaceDef.data(),
                     kSurfaceTableRows, 0));
  g_SceneManager.m_nFps = 0;
  for (const int blit : {0, 1}) {
    SCOPED_TRACE(blit);
    g_bDDBlitPresent = blit;
    const plat::cPixelSurface* before = BackBuffer.Pixels();
    g_SceneManager.Present();
    EXPECT_EQ(blit == 1, before == BackBuffer.Pixels());
  }
}

// ---- pacing ----------------------------------------------------------------

class SceneManagerPacing : public SceneManagerTest {
 protected:
  void SetUp() override {
    SceneManagerTest::SetUp();
    plat::SetTimeSource(&m_Clock);
    g_SceneManager.m_nFps = kTargetFps;
    // A display that does not tell its refresh rate: presenting has no
    // vertical blank to wait for, so the clock shows the frame pacing alone.
    DDSetDisplayRefreshRate(0);
  }
  // Runs frames and returns the milliseconds the clock moved during each.
  std::vector<std::uint32_t> RunFrames(int count) {
    std::vector<std::uint32_t> steps;
    for (int i = 0; i < count; ++i) {
      const std::uint32_t before = m_Clock.NowMs();
      EXPECT_EQ(1, g_SceneManager.Frame());
      steps.push_back(m_Clock.NowMs() - before);
    }
    return steps;
  }
  plat::cManualClock m_Clock{5000};
};

TEST_F(SceneManagerPacing, DirectDrawWaitsSixteenMillisecondsBetweenFrames) {
  ASSERT_TRUE(StartDrawingLayer(false, 1));
  ASSERT_EQ(nullptr, lpDTCon);
  EXPECT_EQ((std::vector<std::uint32_t>{0, 16, 16, 16, 16}), RunFrames(5));
}

TEST_F(SceneManagerPacing, DirectDrawFrameThatTookLongerDoesNotWait) {
  ASSERT_TRUE(StartDrawingLayer(false, 1));
  RunFrames(1);
  m_Clock.Advance(40);
  EXPECT_EQ((std::vector<std::uint32_t>{0, 16}), RunFrames(2));
}

TEST_F(SceneManagerPacing, WithoutABackEndTheDirectDrawGateStillPaces) {
  EXPECT_EQ((std::vector<std::uint32_t>{0, 16, 16}), RunFrames(3));
}

TEST_F(SceneManagerPacing, Direct3DWithoutVSyncPacesInPresentationAtSixtyASecond) {
  ASSERT_TRUE(StartDrawingLayer(true, 0));
  ASSERT_NE(nullptr, lpDTCon);
  // Frame k of a second is due 1000 * k / 60 ms after its first frame,
  // waited for in whole milliseconds.
  const std::vector<std::uint32_t> steps = RunFrames(60);
  EXPECT_EQ(0u, steps[0]);
  std::uint32_t total = 0;
  for (std::size_t k = 1; k < steps.size(); ++k) {
    EXPECT_GE(steps[k], 16u) << k;
    EXPECT_LE(steps[k], 17u) << k;
    total += steps[k];
  }
  EXPECT_EQ(984u, total);  // 59 frames of 16.67 ms
}

TEST_F(SceneManagerPacing, Direct3DWithVSyncWaitsForNothingButThePresentation) {
  // Vertical sync needs a 60 Hz display; the frame adds no gate of its own,
  // so no frame takes longer than one refresh of the display.
  DDSetDisplayRefreshRate(60);
  ASSERT_TRUE(StartDrawingLayer(true, 1));
  ASSERT_NE(nullptr, lpDTCon);
  ASSERT_EQ(1, g_DrawLayer.bVSync);
  for (const std::uint32_t step : RunFrames(5)) EXPECT_LE(step, 17u);
}

TEST_F(SceneManagerPacing, WaitNextFrameReturnsAtOnceUnderDirect3D) {
  ASSERT_TRUE(StartDrawingLayer(true, 1));
  for (int i = 0; i < 3; ++i) WaitNextFrame();
  EXPECT_EQ(5000u, m_Clock.NowMs());
}

// ---- frame-rate overlay ----------------------------------------------------

TEST(FrameRateOverlay, TextHasTwoCharacterFields) {
  EXPECT_EQ("FPS60( 0)", FormatFpsText(60, 0));
  EXPECT_EQ("FPS 9(16)", FormatFpsText(9, 16));
  EXPECT_EQ("FPS120(100)", FormatFpsText(120, 100));
}

TEST_F(SceneManagerTest, AverageStaysZeroForTheFirstSixteenFramesThenUsesTheRing) {
  for (int i = 0; i < 15; ++i) EXPECT_EQ(0, AddFrameTime(i + 1));
  EXPECT_EQ((1 + 16) * 16 / 2 / 16, AddFrameTime(16));  // 136 / 16 = 8
  for (int i = 0; i < 15; ++i) EXPECT_EQ(8, AddFrameTime(5));
  EXPECT_EQ((15 * 5 + 37) / 16, AddFrameTime(37));  // 112 / 16 = 7
}

TEST_F(SceneManagerTest, FramePublishesItsFiguresAndFillsTheRingOnlyWhenShown) {
  plat::cManualClock clock(100);
  plat::SetTimeSource(&clock);
  g_SceneManager.m_nFps = 0;
  g_SceneManager.Frame();
  EXPECT_EQ(0, g_FrameTimeIndex);
  g_SystemIni.m_nShowFps = 1;
  g_SceneManager.Frame();
  EXPECT_EQ(1, g_FrameTimeIndex);
  g_SystemIni.m_nShowFps = 2;
  g_SceneManager.Frame();
  EXPECT_EQ(2, g_FrameTimeIndex);
  EXPECT_EQ(0, g_FrameMs);
}

// The frame-rate text: setting 1 in the medium font's box at (495, 463),
// setting 2 in the small font at (549, 469) without a box.
TEST_F(SceneManagerTest, FrameRateTextIsDrawnWithTheFonts) {
  for (drawtest::eRoad road : {drawtest::eRoad::Direct3D, drawtest::eRoad::DirectDraw}) {
    fonttest::cFontLayer layer(road, 640, 480);
    ASSERT_TRUE(layer.Started());
    plat::cManualClock clock(100);
    plat::SetTimeSource(&clock);
    drawtest::MakeFilledSurface(g_SurfaceData[SURF_WINDOW], 640, 480, (layer.D3D() ? 0xFF000000u : 0u) | 0x302850u);
    const std::array<FONTDEF, kFontCount> defs = MakeFontDefinitions();
    ASSERT_TRUE(CreateFonts(g_Font.data(), defs.data(), kFontCount));
    g_SceneManager.m_nFps = 0;
    const auto rgbAt = [](int x, int y) { return drawtest::Rgb(drawtest::PixelAt(BackBuffer, x, y)); };

    g_SystemIni.m_nShowFps = 1;
    DDFillSurfacePal(&BackBuffer, fonttest::kBackColour);
    g_SceneManager.Frame();
    EXPECT_EQ(fonttest::kFrameRgb, rgbAt(494, 462));
    EXPECT_EQ(fonttest::kTextRgb, rgbAt(497, 463));  // "F", 2 dots into its cell

    g_SystemIni.m_nShowFps = 2;
    DDFillSurfacePal(&BackBuffer, fonttest::kBackColour);
    g_SceneManager.Frame();
    EXPECT_EQ(fonttest::kBackRgb, rgbAt(494, 462));
    EXPECT_EQ(fonttest::kTextRgb, rgbAt(550, 470));  // "F", 1 dot into its cell

    plat::SetTimeSource(nullptr);
    DDReleaseSurface(&g_SurfaceData[SURF_WINDOW]);
  }
}

// ---- PulseValue ------------------------------------------------------------

TEST(PulseValue, SwingsBetweenTheBounds) {
  struct Case {
    int value, direction, step, low, high;
    int wantValue, wantDirection, wantResult;
  };
  const Case cases[] = {
      {250, 0, 10, 0, 255, 250, 1, 0},  // would reach the high bound: turns
      {240, 0, 10, 0, 255, 250, 0, 0},
      {245, 0, 10, 0, 255, 245, 1, 0},  // exactly the bound turns too
      {20, 1, 10, 0, 255, 10, 1, 0},
      {10, 1, 10, 0, 255, 10, 0, 1},    // reaching the low bound completes a swing
      {5, 1, 10, 0, 255, 5, 0, 1},
  };
  for (const Case& c : cases) {
    int value = c.value;
    int direction = c.direction;
    EXPECT_EQ(c.wantResult, PulseValue(value, direction, c.step, c.low, c.high)) << c.value;
    EXPECT_EQ(c.wantValue, value) << c.value;
    EXPECT_EQ(c.wantDirection, direction) << c.value;
  }
  int value = 250;
  int direction = 0;
  PulseValue(value, direction, 10, 0, 255);
  PulseValue(value, direction, 10, 0, 255);
  EXPECT_EQ(240, value);
}

TEST_F(SceneManagerTest, EveryFramePollsDeviceZeroByTheConfigurationInUse) {
  plat::cScriptedKeySource keys;
  plat::SetKeySource(&keys);
  DefaultKeyConfig(g_KeyConfig);
  g_KeyConfig.m_Entries[4].m_Code = plat::VK_SPACE;
  keys.SetKey(plat::VK_SPACE, true);
  keys.SetKey('Z', true);
  keys.SetKey(plat::VK_DOWN, true);

  g_SceneManager.Frame();
  EXPECT_EQ(kDirDown, g_KeyInput[0].m_Dir);
  EXPECT_EQ(0x1, g_KeyInput[0].m_Buttons);  // Z, the fixed mapping's button 1

  g_KeyConfig.m_UseConfig = 1;
  keys.SetKey('Z', false);
  g_SceneManager.Frame();
  EXPECT_EQ(0x1, g_KeyInput[0].m_Buttons);  // Space, the configured button 1
  keys.SetKey(plat::VK_SPACE, false);
  g_SceneManager.Frame();
  EXPECT_EQ(0, g_KeyInput[0].m_Buttons);
  plat::SetKeySource(nullptr);
}

}  // namespace
