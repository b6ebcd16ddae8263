// One stage frame drawn whole (cGameScene::Draw): a tiled background, the
// 21 x 16 blocks of the view, the hero, 100 characters on the screen (half of
// them with a wave chara effect), an effect, the status bar and the time, on
// both drawing roads. Beside it, as the reference of the same run: one
// 640 x 480 copy of a screen-sized surface to the back buffer, the least a
// frame's drawing costs.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "data/CharaEffect.h"
#include "data/Database.h"
#include "data/Effect.h"
#include "data/StageData.h"
#include "data/SystemData.h"
#include "graphics/Blit.h"
#include "graphics/DrawContext.h"
#include "graphics/Palette.h"
#include "graphics/SurfaceTable.h"
#include "platform/Presenter.h"
#include "world/Chara.h"
#include "world/CharaDraw.h"
#include "world/CharaEffectPlayer.h"
#include "world/GameScene.h"
#include "world/Hero.h"
#include "world/MapGrid.h"
#include "world/StageGraphics.h"
#include "world/WorldGlobals.h"

namespace {

void MakeSheet(int row, int width, int height) {
  DDSURFACEDATA& sd = g_SurfaceData[static_cast<std::size_t>(row)];
  DDCreateSurface(&sd, width, height, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0);
  plat::cPixelSurface* px = sd.Pixels();
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int cx = x % 32 - 16, cy = y % 32 - 16;
      px->SetPixel(x, y, cx * cx + cy * cy < 200 ? 0xFF000000u | static_cast<std::uint32_t>(x * 3 + y) : 0u);
    }
}

// The layer, the surfaces and a populated stage; torn down at the end.
class cStageFrame {
 public:
  explicit cStageFrame(int direct3D) {
    DDResetLayerForTests();
    DDSetPresenter(&m_Presenter);
    DDInit(direct3D, nullptr, 640, 480, 32, 1, 1, 1, 60, 0, nullptr, nullptr, 0, 0);
    DDSetTransmit(255, 0, 255);
    for (int r : {2, 3, 4, 5, 22, 23}) MakeSheet(r, 256, 480);
    MakeSheet(SURF_MARK, 32, 480);
    MakeSheet(SURF_ACCESSORY, 128, 224);
    MakeSheet(SURF_STATUS_WINDOW, 640, 20);
    MakeSheet(SURF_WORD, 320, 192);
    MakeSheet(SURF_BACKGROUND_FIRST, 128, 128);
    for (int r : {SURF_SHOT_SHEET, SURF_SHOT_SHEET_MIRROR}) MakeSheet(r, 256, 960);
    for (int r : {SURF_WORK, SURF_WORK2}) MakeSheet(r, 640, 480);
    MakeSheet(SURF_BIG_WORK_DD, 1024, 1024);
    LinkMirrorSurfaces();
    SelectDrawSurfaces();

    g_Database.m_CharaEffects.resize(2);
    g_Database.m_CharaEffects[0].m_nKind = 0;
    cCharaEffect& wave = g_Database.m_CharaEffects[1];
    wave.m_nKind = 4;
    wave.m_Params[0] = 10;
    wave.m_Params[1] = 4;
    wave.m_Params[2] = 8;
    wave.m_Params[3] = 2;
    wave.m_Params[4] = 2;
    g_Database.m_Effects.resize(2);
    g_Database.m_Effects[1].m_Frames.push_back(cEffectFrame(0, 5));
    BuildEffectScripts(g_EffectScripts);
    BuildEffectTemplates();

    g_Stage.m_Width = 40;
    g_Stage.m_Height = 30;
    g_Stage.m_BgLayers.resize(8);
    g_Stage.m_BgLayers[0].m_bShown = 1;
    g_Stage.m_BgLayers[0].m_dFactorX = 0.5;
    g_Stage.m_TimeLimitOn = 1;
    m_Scene.m_ScrollX.SetMap(0, 40, (40 + 20) * 32 - 640);
    m_Scene.m_ScrollY.SetMap(1, 30, (30 + 20) * 32 - 640);
    m_Scene.m_ScrollX.m_Position = 320;
    m_Scene.m_ScrollY.m_Position = 320;
    m_Scene.m_nTimeLeft = 300;
    g_GameScene = &m_Scene;
    BuildMapGrid(g_Stage);
    for (int i = 0; i < static_cast<int>(g_MapGrid.size()); i += 3)
      g_MapGrid[i].m_nGraphic = static_cast<int16_t>(1 + i % 20);
    for (int i = 0; i < 5; ++i) g_System.m_HudItems[i].m_bShown = 1;

    cCharaData heroData;
    heroData.m_nOperator = CHARA_BY_PLAYER;
    heroData.m_nGraphic = 1;
    Player.resize(1);
    Player[0].InitForStage(1, heroData, 0, 0, nullptr);
    Player[0].m_X = 620;
    Player[0].m_Y = 620;
    for (int i = 0; i < 100; ++i) {
      cCharaData data;
      data.m_nGraphic = static_cast<int16_t>(i % 15);
      cChara& chara = g_CharaList.Emplace();
      chara.Init(2 + i, data, nullptr, 0, 0, 0, nullptr);
      chara.m_X = 330 + (i % 10) * 60;
      chara.m_Y = 350 + (i / 10) * 40;
      chara.m_OnScreen = 1;
      if (i % 2 == 0) chara.m_CharaEffect.Start(1, 0, 1);
    }
    m_Scene.m_Effects.emplace_back(1, 500, 500, 32, 32, 1);
  }
  ~cStageFrame() {
    g_GameScene = nullptr;
    ReleaseStageGraphics();
    for (DDSURFACEDATA& sd : g_SurfaceData) DDReleaseSurface(&sd);
    ResetWorldGlobalsForTests();
    DDResetLayerForTests();
    DDSetPresenter(nullptr);
  }
  cStageFrame(const cStageFrame&) = delete;
  cStageFrame& operator=(const cStageFrame&) = delete;

  cGameScene m_Scene;
  plat::cNullPresenter m_Presenter;
};

void BM_StageFrame(benchmark::State& state) {
  cStageFrame frame(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    frame.m_Scene.Draw(1, 0, 0, 0);
    benchmark::ClobberMemory();
  }
  state.SetLabel(state.range(0) != 0 ? "Direct3D" : "DirectDraw");
}

void BM_ScreenCopyReference(benchmark::State& state) {
  cStageFrame frame(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    DDBlt(&BackBuffer, 0, 0, 640, 480, TableSurface(SURF_WORK), 0, 0, 0);
    benchmark::ClobberMemory();
  }
  state.SetLabel(state.range(0) != 0 ? "Direct3D" : "DirectDraw");
}

BENCHMARK(BM_StageFrame)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScreenCopyReference)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
