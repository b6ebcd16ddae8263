// Stage set-up: the playing field of the current stage built from g_Stage
// and the stage as loaded (g_StageInitial), in a fixed order that the
// replays rely on: the lists emptied, the stage restored, the replay and the
// seed, the music, the camera and the map grid, the hero, the characters and
// items, the counters, and the start trigger.

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "core/AppMessages.h"
#include "core/ErrorBox.h"
#include "core/FrameTimer.h"
#include "core/Log.h"
#include "core/MainWindow.h"
#include "core/ProcessFlags.h"
#include "core/SceneManager.h"
#include "data/Progress.h"
#include "data/StageData.h"
#include "data/SystemData.h"
#include "graphics/DrawContext.h"
#include "graphics/Palette.h"
#include "platform/Clock.h"
#include "platform/MessageCore.h"
#include "world/Chara.h"
#include "world/Contact.h"
#include "world/GameScene.h"
#include "world/Hero.h"
#include "world/Item.h"
#include "world/KeyInput.h"
#include "world/MapGrid.h"
#include "world/MenuCursor.h"
#include "world/Random.h"
#include "world/ReplayInput.h"
#include "world/Shot.h"
#include "world/Spawn.h"
#include "world/StageGraphics.h"
#include "world/StageSetup.h"

namespace {

constexpr int kStageMusicRequest = 4;
constexpr int kStartTrigger = 21;
constexpr int kHeroStatusSlot = 0;

bool AreaHasSide(const cStageArea& area) {
  return area.m_bLeft != 0 || area.m_bRight != 0 || area.m_bTop != 0 || area.m_bBottom != 0;
}

}  // namespace

void RequestStageBgm(int tune, int loop) {
  g_Progress.m_bBgmLoop = loop;
  const HWND window = g_hMainWnd.load();
  if (window != nullptr) plat::SendMessage(window, WM_APP_MUSIC, kStageMusicRequest, tune);
}

int StageMusicRequest(int stageTune, int keepMusic, int playingTune, int fresh) {
  if (fresh != 0 && keepMusic != 0 && playingTune == stageTune) return stageTune != 0 ? kNoMusicRequest : 0;
  if (fresh == 0 && playingTune == stageTune) return kNoMusicRequest;
  return stageTune;
}

std::vector<int32_t> BuildSubStepMask(int subSteps, int contactChecks) {
  const int n = std::max(1, subSteps);
  if (contactChecks <= 0) return std::vector<int32_t>(n, 1);
  std::vector<int32_t> mask(n, 0);
  const double step = static_cast<double>(n) / contactChecks;
  int set = 0;
  for (int k = 0;; ++k) {
    const int at = static_cast<int>(std::floor(k * step));
    if (at >= n) break;
    if (mask[at] == 0) ++set;
    mask[at] = 1;
  }
  if (set < contactChecks) mask[n - 1] = 1;
  return mask;
}

namespace {

// The messages, effects and screen colour go with the object lists. The
// messages go before the surfaces they draw from, so a restart never draws a
// message whose surface is gone.
void ClearPresentation(cGameScene& scene) {
  scene.m_Messages.clear();
  scene.m_Effects.clear();
  scene.m_ScrEffect.Clear();
  scene.m_ScreenColor = cScreenColor();
  ReleasePictures();
  ReleaseMessageSurfaces();
}

// Every object list empty. On a restart the stage's changeable parts come
// back as loaded (a replay first reloads its own copy of the stage).
void EmptyStage(cGameScene& scene, int restart) {
  scene.m_nFrameCounter = 0;
  ClearShots();
  scene.m_ShotGroups.assign(kGroupListCount, {});
  scene.m_CharaGroups.assign(kGroupListCount, {});
  g_CharaList.Clear();
  g_ItemList.Clear();
  ClearPresentation(scene);
  if (restart == 0) return;
  if (IsReplayPlaying()) {
    if (g_ReplayRec.LoadFile(g_Stage.m_Path, g_Stage, g_StageInitial, g_Progress) == 0) PostCloseToMainWindow();
  }
  g_Stage.CopyStartParts(g_StageInitial);
}

// A replay plays from its recorded seed and its first input; a new recording
// keeps the previous one (for the replay save) and takes a seed from the
// clock; otherwise the scene keeps the seed it had. Every random number of
// the stage follows from here.
void ChooseSeed(cGameScene& scene) {
  if (IsReplayPlaying()) {
    g_ReplayRec.m_DirPos = 0;
    g_ReplayRec.m_ButtonPos = 0;
    g_ReplayRec.m_DirPlayed = 0;
    g_ReplayRec.m_ButtonPlayed = 0;
    scene.m_nSeed = static_cast<uint32_t>(g_ReplayRec.m_Seed);
  } else if (g_System.m_bReplay != 0) {
    g_ReplayPrevProgress = g_ReplayRecProgress;
    g_ReplayRecProgress = g_Progress;
    g_ReplayPrev = g_ReplayRec;
    g_ReplayRec.Clear();
    scene.m_nSeed = plat::TimeGetTime();
    g_ReplayRec.m_Seed = static_cast<int32_t>(scene.m_nSeed);
  }
  g_Random.Seed(scene.m_nSeed);
}

// The stage's tune, unless the one playing may go on (StageMusicRequest).
void ChooseMusic(int fresh) {
  const int request = StageMusicRequest(g_Stage.m_Bgm, g_Stage.m_BgmKeepOnRetry, g_Progress.m_nBgm, fresh);
  if (request != kNoMusicRequest) RequestStageBgm(request, g_Stage.m_BgmLoop);
}

// Both scroll axes from the stage's size, automatic scroll and scroll limits.
void SetUpCamera(cGameScene& scene) {
  const cStageData& stage = g_Stage;
  cScrollAxis& x = scene.m_ScrollX;
  x.SetMap(SCROLL_AXIS_X, stage.m_Width, stage.m_AreaLimitX);
  x.SetSpeed(stage.m_AutoScrollX, stage.m_AutoScrollSpeedX);
  x.SetBounds(stage.m_ScrollLimitLeft, stage.m_ScrollLimitRight, stage.m_ScrollLimitLeftOn,
              stage.m_ScrollLimitRightOn);
  cScrollAxis& y = scene.m_ScrollY;
  y.SetMap(SCROLL_AXIS_Y, stage.m_Height, stage.m_AreaLimitY);
  y.SetSpeed(stage.m_AutoScrollY, stage.m_AutoScrollSpeedY);
  y.SetBounds(stage.m_ScrollLimitTop, stage.m_ScrollLimitBottom, stage.m_ScrollLimitTopOn,
              stage.m_ScrollLimitBottomOn);
  // The removal areas and the camera fit the grid only when the area limit
  // plus one screen is the grid's extent; a stage that says otherwise lets
  // objects travel past the grid's margins, which the log should show.
  for (const cScrollAxis* axis : {&x, &y}) {
    if (int64_t{axis->m_Extent} != int64_t{axis->m_CellCount} * kCellDots) {
      LogPrintf("SetStage: area limit %d of axis %d does not fit the grid of %d cells", axis->m_Extent - kScreenWidth,
                axis->m_Axis, axis->m_CellCount);
    }
  }
}

// The one hero, from the stage's hero placement, and the camera centred on it.
void PlaceHero(cGameScene& scene) {
  scene.m_nHeroCount = 1;
  Player.assign(1, cHero());
  LogPuts("A");
  const int heroIndex = g_Stage.FindHero();
  if (heroIndex < 0) throw "主人公が配置されていません！";
  cCharaData& placement = g_Stage.m_PlacedCharas[heroIndex];
  cProgress& progress = g_Progress;
  if (progress.m_bHeroStartSet != 0) placement.m_nFacing = static_cast<std::uint8_t>(progress.m_nHeroStartFacing);
  cHero& hero = Player[0];
  hero.InitForStage(scene.m_nCharaKeyCounter++, placement, CellCentre(placement.m_nCellX),
                    CellCentre(placement.m_nCellY), nullptr);
  if (progress.m_bHeroStartSet != 0) {
    placement.m_nCellX = static_cast<std::int16_t>(progress.m_nHeroStartX);
    placement.m_nCellY = static_cast<std::int16_t>(progress.m_nHeroStartY);
  }
  hero.SetCell(placement.m_nCellX, placement.m_nCellY);
  const double dx = placement.GetCopyOffsetX(0, hero.m_Facing);
  const double dy = placement.GetCopyOffsetY(0, hero.m_Facing);
  hero.m_X += dx;
  hero.m_Right += dx;
  hero.m_Y += dy;
  hero.m_Bottom += dy;
  if (g_Stage.m_RestoreStatus != 0) progress.RestoreHpSp(kHeroStatusSlot, hero.m_Hp, hero.m_Sp);
  // Animation 2 (standing in the air) or 0 of the hero's own set.
  hero.m_Anime.SetAnime(hero.m_Flying != 0 ? 2 : 0, 1);

  LogPuts("B");
  scene.m_ScrollX.m_Position = static_cast<int>(hero.m_X) - 320 + hero.m_BoxW / 2;
  scene.m_ScrollY.m_Position = static_cast<int>(hero.m_Y) - 240 + hero.m_BoxH / 2;
  scene.m_ScrollX.Clamp();
  scene.m_ScrollY.Clamp();
  hero.UpdateScreenRect();
  if (hero.m_Data.m_nLightShape != 0) scene.PrepareLightSurfaces();
}

// Every computer-operated placement, with the item it carries;
// then every item placement no character carries.
void PlaceCharactersAndItems(cGameScene& scene) {
  const int itemCount = static_cast<int>(g_Stage.m_PlacedItems.size());
  std::vector<uint8_t> taken(itemCount, 0);
  for (const cCharaData& placement : g_Stage.m_PlacedCharas) {
    if (placement.m_nOperator == CHARA_BY_PLAYER) continue;
    const int carried = placement.m_nCarriedItem;
    if (carried < 0 || carried >= itemCount) {
      SpawnCharacters(placement.m_nCellX, placement.m_nCellY, scene.m_nCharaKeyCounter, placement, nullptr);
      continue;
    }
    cItem item;
    item.Init(scene.m_nItemKeyCounter++, g_Stage.m_PlacedItems[carried], 1);
    SpawnCharacters(placement.m_nCellX, placement.m_nCellY, scene.m_nCharaKeyCounter, placement, &item);
    taken[carried] = 1;
  }
  for (int i = 0; i < itemCount; ++i) {
    if (taken[i] != 0) continue;
    const cItemData& placement = g_Stage.m_PlacedItems[i];
    SpawnItem(placement.m_nCellX, placement.m_nCellY, scene.m_nItemKeyCounter, placement);
  }
}

// Trigger 21 on the hero and on the characters that are awake (or
// on every character with the system data's start-all switch). A character
// its start flows deleted or killed leaves the stage.
void FireStartTrigger(cGameScene& scene) {
  const bool all = g_System.m_bStartAllSwitch != 0;
  if (!all) scene.ActivateNearObjects();
  if (cHero* hero = StageHero()) hero->FireTrigger(kStartTrigger);
  for (cChara& chara : g_CharaList) {
    if (!all && chara.m_Active == 0) continue;
    chara.FireTrigger(kStartTrigger);
    if (chara.m_bVanished != 0) {
      scene.RemoveChara(chara);
    } else if (chara.m_Hp <= 0) {
      KillAndCheck(chara);
      scene.RemoveChara(chara);
    }
  }
}

void ResetRunCounters(cGameScene& scene) {
  scene.m_nStepResult = STEP_RESULT_NONE;
  scene.m_nPhaseCounter = 0;
  scene.m_nPhaseCounter2 = 0;
  if (g_Stage.m_TimeLimitOn != 0) {
    scene.m_nTimeLeft = g_Stage.m_TimeLimit;
    scene.m_bNoTimeLimit = 0;
  } else {
    scene.m_nTimeLeft = kNoTimeLimitSeconds;
    scene.m_bNoTimeLimit = 1;
  }
  scene.m_nPlayFrames = 0;
  scene.m_nPlayTime = 0;
  std::fill(scene.m_WakeGroups.begin(), scene.m_WakeGroups.end(), uint8_t{0});
  scene.m_StageClear.m_nNextStageNo = 0;
  scene.m_nSubStep = 0;
  scene.m_nSubStepCounter = 0;
  g_Progress.m_nStageScore = 0;
  if (IsReplayPlaying() || (g_TestPlay != 0 && g_LaunchedByEditor.load() != 0)) g_Progress.ClearStageCounters();
  g_Progress.SaveStageStart();
}

}  // namespace

void cGameScene::SetStage(int restart, int fresh) {
  LogPuts("In SetStage");
  try {
    EmptyStage(*this, restart);
    ChooseSeed(*this);
    if (g_Stage.m_RestoreStatus != 0) {
      const int heroIndex = g_Stage.FindHero();
      if (heroIndex >= 0) g_Progress.RestoreStatus(kHeroStatusSlot, g_Stage.m_PlacedCharas[heroIndex], g_Stage);
    }
    ChooseMusic(fresh);

    g_SceneManager.m_nSceneBgm = 0;
    m_nCharaKeyCounter = 0;
    m_nItemKeyCounter = 0;
    m_nSpareKeyCounter = 0;
    g_Stage.ApplyHitLevel(g_Stage.m_HitLevel);

    SetUpCamera(*this);
    if (!BuildMapGrid(g_Stage)) throw "ステージが大きすぎます！";
    PlaceHero(*this);

    m_StageVars.assign(kStageVarSlots, 0);
    LogPuts("10");
    PlaceCharactersAndItems(*this);
    LogPuts("11");
    LogPuts("12");
    LogPuts("C");
    LogPuts("D");
    m_CharaGroups.assign(kGroupListCount, {});
    for (cHero& hero : Player) AddToGroup(hero);
    for (cChara& chara : g_CharaList) AddToGroup(chara);

    m_bRemoveCharas = AreaHasSide(g_Stage.m_Areas[STAGE_AREA_CHARAS]) ? 1 : 0;
    m_bRemoveBlockCharas = AreaHasSide(g_Stage.m_Areas[STAGE_AREA_BLOCK_CHARAS]) ? 1 : 0;
    m_bRemoveItems = AreaHasSide(g_Stage.m_Areas[STAGE_AREA_ITEMS]) ? 1 : 0;

    const std::vector<int32_t> mask = BuildSubStepMask(g_Stage.SubStepsAtLeastOne(), g_Stage.m_ContactChecks);
    m_SubStepMask.assign(mask.begin(), mask.end());
    ResetRunCounters(*this);

    for (cKeyInput& keys : g_KeyInput) {
      keys.ResetRings();
      keys.ResetHistories();
    }
    g_MenuCursor.Reset();
    FrameSkip(0, 0);

    for (cBgLayer& layer : g_Stage.m_BgLayers) {
      layer.m_dOffsetX = 0.0;
      layer.m_dOffsetY = 0.0;
    }
    if (lpDDCon != nullptr && g_DrawLayer.nBpp == 8) g_PaletteWork = g_Palette;
    // A rate of 0 or less runs the stage without a frame limit: the frame
    // gates let every frame through.
    g_SceneManager.m_nFps = g_Stage.m_Fps;

    for (cHero& hero : Player) hero.InstallFlows(hero.m_Data.m_Flows, 0, -1);
    for (cChara& chara : g_CharaList) chara.InstallFlows(chara.m_Data.m_Flows, 0, -1);
    FireStartTrigger(*this);
    ActivateNearObjects();
    m_bStatusBar = g_Stage.m_ShowHud;
    DDSetVirtualBackBuffer(0);
  } catch (const std::bad_alloc&) {
    ErrorBox("メモリ不足により、ステージの初期設定に失敗しました！");
    PostCloseToMainWindow();
  }
  LogPuts("Out SetStage");
}
