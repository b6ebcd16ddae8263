#include "world/GameScene.h"

#include <string>

#include "core/FrameTimer.h"
#include "core/Log.h"
#include "core/MainWindow.h"
#include "core/ProcessFlags.h"
#include "core/SceneManager.h"
#include "core/SoundRequest.h"
#include "core/Thread.h"
#include "data/OptionData.h"
#include "data/Progress.h"
#include "data/StageData.h"
#include "data/SystemData.h"
#include "graphics/BitmapLoad.h"
#include "graphics/Blit.h"
#include "graphics/Distortion.h"
#include "graphics/DrawContext.h"
#include "graphics/DrawNumber.h"
#include "graphics/Fade.h"
#include "graphics/Palette.h"
#include "graphics/Surface.h"
#include "graphics/SurfaceFill.h"
#include "graphics/SurfaceTable.h"
#include "platform/Clock.h"
#include "platform/KeySource.h"
#include "platform/MessageCore.h"
#include "platform/VirtualKeys.h"
#include "world/Chara.h"
#include "world/CharaDraw.h"
#include "world/Formation.h"
#include "world/Hero.h"
#include "world/Item.h"
#include "world/KeyConfig.h"
#include "world/KeyInput.h"
#include "world/MenuCursor.h"
#include "world/ModalLoop.h"
#include "world/Ranking.h"
#include "world/ReplayFile.h"
#include "world/ReplayInput.h"
#include "world/RunStart.h"
#include "world/SceneDraw.h"
#include "world/Shot.h"
#include "world/Spawn.h"
#include "world/StageClear.h"
#include "world/StageGraphics.h"
#include "world/SystemSounds.h"

namespace {

// A replay whose file recorded the lives its attempt began with.
bool ReplayHoldsStartLives() { return IsReplayPlaying() && g_ReplayRec.HoldsStartLives(); }

// What the stage clear asks of the running scene.
cStageClearHooks SceneStageClearHooks() {
  cStageClearHooks hooks;
  hooks.m_pPlayTime = [](const cGameScene& scene) { return scene.m_nPlayTime; };
  hooks.m_pCloseRequested = [](const cGameScene& scene) { return scene.CloseRequested(); };
  hooks.m_pRankingLoop = [](cGameScene& scene) { return scene.RankingLoop(); };
  return hooks;
}

}  // namespace

bool IsReplayPlaying() { return g_SceneManager.m_nTitleChoice == kTitleChoiceReplay; }

namespace {

// The play level of a replay being played back, and the title choice that
// plays one.
constexpr int kPlayLevelChallenge = 1;

constexpr int kMenuRowDots = 16;
constexpr int kBackgroundCount = SURF_BACKGROUND_LAST - SURF_BACKGROUND_FIRST + 1;
constexpr int kRankingHintMessage = 28;  // "F3: enter the ranking" under the cleared stage
constexpr std::uint32_t kFadedOutColour = 16;
constexpr int kResultsX = 336;
constexpr int kResultsY = 224;

// "Word" captions: source x, y, width, height and where they are drawn.
struct cCaption {
  int sx, sy, w, h, x, y;
};
constexpr cCaption kReplayCaption{0, 32, 128, 32, 256, 224};
constexpr cCaption kStageCaption{0, 0, 128, 32, 256, 224};
constexpr cCaption kReadyCaption{160, 0, 80, 32, 280, 224};
constexpr cCaption kClearCaption{0, 64, 128, 32, 256, 192};
constexpr cCaption kGameOverCaption{0, 96, 144, 32, 248, 224};
constexpr int kStageDigitsX = 384;
constexpr int kStageDigitsSourceY = 128;
constexpr int kDigitDots = 32;

// The rows of the fixed surface table the game scene creates and releases:
// every sheet, the status bar, the captions, the backgrounds and the work
// surfaces; not the palette, the debug font or the menus' own pictures.
std::vector<int> SceneSurfaceRows() {
  std::vector<int> rows;
  for (int row = SURF_BLOCK; row < kSurfaceTableRows; ++row) {
    if (row == SURF_TITLE || row == SURF_GAME_MODE || row == SURF_WORLD_MAP_CHIP || row == SURF_WORLD_EVENT) continue;
    rows.push_back(row);
  }
  return rows;
}

void DrawCaption(const cCaption& caption) {
  DDBlt(&BackBuffer, caption.x, caption.y, caption.w, caption.h, &g_SurfaceData[SURF_WORD], caption.sx, caption.sy,
        1);
}

void DrawCursorArrow() {
  const cMenuCursorPos* cursor = g_MenuCursor.m_pCurrent;
  if (cursor == nullptr) return;
  DDBlt(&BackBuffer, cursor->m_X, cursor->m_Y, 16, 16, &g_SurfaceData[SURF_ACCESSORY], 64, 0, 1);
}

// Moves the cursor of a vertical list of `rows` rows whose first row stands at
// (x, y), with the cursor sound for a move; sets its draw position.
void MoveListCursor(int rows, int x, int y) {
  cMenuCursorPos* cursor = g_MenuCursor.m_pCurrent;
  if (cursor == nullptr || rows <= 0) return;
  const uint16_t dir = g_KeyInput[0].m_Dir;
  int row = cursor->m_Row;
  if (dir & kDirUp) --row;
  if (dir & kDirDown) ++row;
  if (row < 0) row = rows - 1;
  if (row >= rows) row = 0;
  if (row != cursor->m_Row) PlaySystemSound(kSoundCursor);
  cursor->m_Row = row;
  cursor->m_X = x;
  cursor->m_Y = y + row * kMenuRowDots;
}

bool StageNumberCleared(const cProgress& progress) {
  const int stage = progress.m_nStageNo;
  return stage >= 0 && stage < static_cast<int>(progress.m_StageFlags.size()) && progress.m_StageFlags[stage] != 0;
}

// Challenge stages are numbered from 1; their entries from 0.
bool ChallengeStageCleared(const cProgress& progress) {
  const int index = progress.m_nStageNo - 1;
  return index >= 0 && index < static_cast<int>(progress.m_StageNumbers.size()) &&
         progress.m_StageNumbers[index].m_nFirst != 0;
}

bool PlayLevelHasRankings() {
  const int level = g_SceneManager.m_nPlayMode;
  if (level < 0 || level >= static_cast<int>(g_System.m_RankGenreSets.size())) return false;
  return g_System.m_RankGenreSets[level].m_bRankingOn != 0;
}

}  // namespace

cGameScene::cGameScene()
    : m_CharaGroups(kGroupListCount),
      m_ShotGroups(kGroupListCount),
      m_StageVars(kStageVarSlots),
      m_WakeGroups(kWakeGroupCount),
      m_StageClear() {
  SetSteps({static_cast<Step>(&cGameScene::Ready), static_cast<Step>(&cGameScene::Play),
            static_cast<Step>(&cGameScene::Pause), static_cast<Step>(&cGameScene::StageClear),
            static_cast<Step>(&cGameScene::Retry), static_cast<Step>(&cGameScene::GameOver)});
  g_Progress.m_nBgm = 0;
  g_GameScene = this;
  SetSummonCreator(&SceneSummonCreator());
  SetStageClearHooks(SceneStageClearHooks());
}

cGameScene::~cGameScene() {
  if (m_bSurfacesMade != 0) {
    for (int row : SceneSurfaceRows()) DDReleaseSurface(&g_SurfaceData[row]);
  }
  if (g_GameScene == this) {
    g_GameScene = nullptr;
    SetSummonCreator(nullptr);
    SetStageClearHooks(cStageClearHooks{});
  }
}

void cGameScene::Update() {
  if (m_nStep == PHASE_NONE) {
    if (!CallCatchingText([this] { Init(); })) m_bInitFailed = 1;
    m_nStep = PHASE_FADE_IN;
  }
  // A scene that was never set up waits for the close it asked for.
  if (m_bInitFailed != 0) return;
  if (m_nStep >= 0 && m_nStep < static_cast<int>(m_Steps.size())) (this->*m_Steps[m_nStep])();
}

void cGameScene::Init() {
  m_StageClear.ResetRanking();
  // The stage start makes several surfaces from one file (the size check of a
  // background and its load, a sheet and its mirrored and system-memory rows):
  // each file is read and decoded once for all of them.
  const cBitmapReadOnce readOnce;

  for (int layer = 0; layer < kBackgroundCount; ++layer) {
    DDSURFACEDEF& def = g_SurfaceDef[SURF_BACKGROUND_FIRST + layer];
    def.szFile.clear();
    if (layer >= static_cast<int>(g_Stage.m_BgLayers.size())) continue;
    const cBgLayer& bg = g_Stage.m_BgLayers[layer];
    if (bg.m_bPlainColour != 0 || bg.m_strPicture.empty()) continue;
    def.szFile = bg.m_strPicture;
    if (lpDDCon != nullptr) {
      std::uint32_t larger = 0;
      DDIsBitmapLarger(&larger, def.szFile, kScreenWidth, kScreenHeight);
      def.dwDDMemory = larger != 0 ? 1 : 0;
    }
  }

  if (g_SceneManager.m_nPrevScene != SCENE_GAME) {
    const std::vector<int> rows = SceneSurfaceRows();
    m_bSurfacesMade = 1;
    if (!DDCreateSurfaceTable(g_SurfaceData.data(), rows.data(), static_cast<int>(rows.size()))) {
      PostCloseToMainWindow();
      m_bInitFailed = 1;
      return;
    }
    MakeStageImages();
    EnterStage();
  } else {
    int backgrounds[kBackgroundCount];
    for (int i = 0; i < kBackgroundCount; ++i) backgrounds[i] = SURF_BACKGROUND_FIRST + i;
    m_bSurfacesMade = 1;
    if (!DDCreateSurfaceTable(g_SurfaceData.data(), backgrounds, kBackgroundCount)) {
      PostCloseToMainWindow();
      m_bInitFailed = 1;
      return;
    }
    SetStage(1, 1);
  }
  g_MenuCursor.Reset();
  SubState() = 0;
}

// The images the stage drawing needs beyond the surface table: the shot
// sheets and the special-bitmap, sword and effect images of the databases.
void cGameScene::MakeStageImages() {
  SelectDrawSurfaces();
  BuildShotSheets();
  LoadSpecialBmps();
  LoadSwordImages();
  LoadEffectImages();
}

void cGameScene::PrepareLightSurfaces() {
  const cHero* hero = StageHero();
  if (hero != nullptr) ::PrepareLightSurfaces(hero->m_nLightRadius, hero->m_Data.m_nLightShape);
}

bool IsPausePhase(const cGameScene& scene) { return scene.Phase() == PHASE_PAUSE; }

// The hero's death animation has ended: a replay starts over; otherwise a
// life goes, and the stage restarts, asks whether to retry, or the game is over.
void HeroDeathEnded(cGameScene& scene) {
  cProgress& progress = g_Progress;
  const int playMode = g_SceneManager.m_nPlayMode;
  scene.SubState() = 0;
  if (IsReplayPlaying()) {
    progress.RestoreStageStart(true, playMode, g_TestPlay != 0);
    scene.SetStage(1, 1);
    scene.SetPhase(PHASE_READY);
    return;
  }
  if (scene.LoseLife() == 0) {
    scene.SetPhase(PHASE_GAME_OVER);
    return;
  }
  if (g_Stage.m_RestoreStatus != 0) progress.ResetCarryFlags();
  const int32_t lives = progress.m_nLives;
  progress.RestoreStageStart(true, playMode, g_TestPlay != 0);
  progress.m_nLives = lives;
  if (playMode == kPlayModeStory && g_System.m_bRetryPrompt != 0) {
    scene.SetPhase(PHASE_RETRY);
    return;
  }
  scene.SetStage(1, 0);
  scene.SetPhase(PHASE_READY);
}

void cGameScene::ResetCounters() {
  cProgress& progress = g_Progress;
  if (!IsReplayPlaying() && progress.m_bVariant != 0) {
    const int var = progress.m_nVariantVar;
    if (var >= 0 && var < static_cast<int>(progress.m_CommonVars.size())) {
      progress.m_CommonVars[var] = progress.m_nVariantValue;
    }
  }
  progress.m_nStageScore = 0;
  if (!ReplayHoldsStartLives()) progress.m_nLives = progress.m_nLivesAtStart;
  progress.m_nScore = 0;
  progress.m_nTimeLeftTotal = 0;
  progress.m_nClearTimeTotal = 0;
  progress.m_nHpLeftTotal = 0;
  progress.m_nSpLeftTotal = 0;
  // A replay's progress is the one its attempt began with: a start carried
  // from the stage clear before belongs to it, and every pass of the replay
  // (the restarts read it from the file again) must start there. A file too
  // old to record one never started at a carried position; what the running
  // progress held before the replay must not leak into it.
  if (!(IsReplayPlaying() && g_ReplayRec.HoldsCarriedStart())) progress.m_bHeroStartSet = 0;

  m_ScrollX.m_Position = 0.0;
  m_ScrollY.m_Position = 0.0;
  SubState() = 0;
  m_nPhaseCounter = 0;
  m_nPhaseCounter2 = 0;
  m_bDecideLock = 0;
  m_nTimeLeft = 0;
  m_StageClear.m_bRankingEntered = 0;
  if (!IsReplayPlaying()) {
    g_ReplayRec.Clear();
    g_ReplayPrev.Clear();
  }
  if (g_TestPlay != 0) progress.m_nSeriesNo = 1;
  if (PlayLevelHasRankings()) {
    LoadRanking(g_RankFile, g_SceneManager.m_nPlayMode, progress.m_strStageName, progress.m_bVariant,
                progress.m_nVariantVar, progress.m_nVariantValue);
  }
}

void cGameScene::EnterStage() {
  ResetCounters();
  // A replay's file holds the lives its attempt began with, that attempt's
  // life already taken: its first pass plays with them, as its restarts do.
  if (!ReplayHoldsStartLives()) LoseLife();
  SetStage(0, 1);
}

int cGameScene::LoseLife() {
  if (g_TestPlay != 0) return 1;
  cProgress& progress = g_Progress;
  if (progress.m_nLives == kInfiniteLives) return 1;
  if (progress.m_nLives <= 0) return 0;
  --progress.m_nLives;
  return 1;
}

// ---- phases -------------------------------------------------------------------

void cGameScene::FadeIn() {
  Draw(0, 1, 0, 1);
  if (DDFadeIn(g_PaletteWork, 0, 255, 0, 0, 0, g_SceneManager.m_nFadeStep, g_Palette, 0)) m_nStep = PHASE_READY;
}

void cGameScene::Ready() {
  Draw(0, 1, 0, 1);
  const bool editorTestPlay = g_TestPlay != 0 && g_LaunchedByEditor.load() != 0;
  if (!editorTestPlay) {
    if (IsReplayPlaying()) {
      if (m_nPhaseCounter < kReadyCaptionFrames) {
        ++m_nPhaseCounter;
        DrawCaption(kReplayCaption);
        return;
      }
    } else if (g_Stage.m_ShowStageCaption != 0) {
      if (m_nPhaseCounter < kReadyCaptionFrames) {
        ++m_nPhaseCounter;
        DrawCaption(kStageCaption);
        DDDrawNumber(&BackBuffer, kStageDigitsX, kStageCaption.y, kDigitDots, kDigitDots, &g_SurfaceData[SURF_WORD], 0,
                     kStageDigitsSourceY, 1, g_Progress.m_nSeriesNo, 1, 0);
        return;
      }
    } else if (g_Stage.m_ShowReadyCaption != 0) {
      if (m_nPhaseCounter2 < kReadyCaptionFrames) {
        ++m_nPhaseCounter2;
        DrawCaption(kReadyCaption);
        return;
      }
    }
  }
  if (cHero* hero = StageHero()) hero->m_Anime.SetAnime(hero->m_Flying != 0 ? 2 : 0, 1);
  m_nPhaseCounter = 0;
  m_nStep = PHASE_PLAY;
}

int cGameScene::ServeReplayKeys() { return RequestReplaySave(IsReplayPlaying()); }

void cGameScene::FilterMenuKeys() {
  cKeyInput& keys = g_KeyInput[0];
  keys.PressOnce(0);
  keys.RepeatDirections();
}

void cGameScene::BuildPauseMenu() {
  m_PauseMenu.clear();
  for (int entry = 0; entry < kPauseEntryCount; ++entry) {
    const int message = MSG_PAUSE_FIRST + entry;
    std::string label =
        message < static_cast<int>(g_System.m_Messages.size()) ? g_System.m_Messages[message] : std::string();
    m_PauseMenu.push_back(cCmd(1, std::move(label)));
  }
  switch (g_SceneManager.m_nPlayMode) {
    case 0:
      if (!(g_System.m_bStoryRetry != 0 && StageNumberCleared(g_Progress))) m_PauseMenu[PAUSE_RESTART].m_bEnabled = 0;
      if (!(g_System.m_bStoryBackToMap != 0 && StageNumberCleared(g_Progress))) {
        m_PauseMenu[PAUSE_TO_MAP].m_bEnabled = 0;
      }
      break;
    case kPlayLevelChallenge:
      if (!(g_System.m_bChallengeRetry != 0 && ChallengeStageCleared(g_Progress))) {
        m_PauseMenu[PAUSE_RESTART].m_bEnabled = 0;
      }
      m_PauseMenu[PAUSE_TO_MAP].m_bEnabled = 0;
      break;
    default:
      m_PauseMenu[PAUSE_TO_MAP].m_bEnabled = 0;
      break;
  }
}

void cGameScene::Pause() {
  if (ServeReplayKeys() != 0) return;
  BuildPauseMenu();
  if (SubState() == 0) {
    if (g_MenuCursor.m_pCurrent) g_MenuCursor.m_pCurrent->m_Row = 1;
    SubState() = 1;
  }
  FilterMenuKeys();
  cPromptPos& pos = g_PromptPos[PROMPT_PAUSE];
  pos.x = cCmd::GetCenterX(320, m_PauseMenu);
  MoveListCursor(cCmd::CountEnabled(m_PauseMenu), pos.x, pos.y);

  const uint16_t buttons = g_KeyInput[0].m_Buttons;
  if (buttons & kButtonDecide) {
    const int row = g_MenuCursor.m_pCurrent ? g_MenuCursor.m_pCurrent->m_Row : 0;
    switch (cCmd::GetCmdNum(row, m_PauseMenu)) {
      case PAUSE_TO_TITLE:
        PlaySystemSound(kSoundDecide);
        m_nStep = PHASE_FADE_OUT;
        if (g_TestPlay != 0) {
          PostCloseToMainWindow();
        } else {
          g_SceneManager.m_nNextScene = SCENE_TITLE;
          if (g_MenuCursor.m_pCurrent) g_MenuCursor.m_pCurrent->m_Row = g_SceneManager.m_nTitleChoice;
        }
        return;
      case PAUSE_RESUME:
        PlaySystemSound(kSoundDecide);
        m_bDecideLock = 1;
        m_nStep = m_nSavedPhase;
        SubState() = m_nSavedSubState;
        return;
      case PAUSE_RESTART:
        PlaySystemSound(kSoundDecide);
        m_bDecideLock = 1;
        g_Progress.RestoreStageStart(true, g_SceneManager.m_nPlayMode, g_TestPlay != 0);
        SetStage(1, 0);
        m_nStep = PHASE_READY;
        SubState() = 0;
        return;
      case PAUSE_TO_MAP:
        PlaySystemSound(kSoundDecide);
        m_bDecideLock = 1;
        g_Progress.RestoreStageStart(false, g_SceneManager.m_nPlayMode, g_TestPlay != 0);
        g_Progress.m_bBackToMap = 1;
        g_SceneManager.m_nNextScene = SCENE_WORLD_MAP;
        SubState() = 0;
        m_nStep = PHASE_FADE_OUT;
        return;
      default:
        break;
    }
  }
  if (buttons & kButtonCancel) {
    PlaySystemSound(kSoundCancel);
    m_bDecideLock = 1;
    m_nStep = m_nSavedPhase;
    SubState() = m_nSavedSubState;
    return;
  }
  Draw(0, 1, 0, 1);
  cCmd::Draw(&BackBuffer, pos.x, pos.y, m_PauseMenu);
  DrawCursorArrow();
}

void cGameScene::StageClear() {
  const bool autoAdvance = g_Stage.m_AutoAdvance != 0;
  const int rankMode = g_OptionData.m_nRankMode;
  if (!autoAdvance) {
    if (CheckPauseKey() != 0) {
      SubState() = 0;
      m_nStep = PHASE_PAUSE;
      return;
    }
    ServeReplayKeys();
    if ((rankMode == 0 || rankMode == 1) && plat::IsKeyHeld(plat::VK_F3)) EnterRanking(*this);
  }
  if (SubState() == 0) {
    m_nPhaseCounter = 0;
    SubState() = 1;
  }
  FilterMenuKeys();

  bool leave = false;
  if (autoAdvance) {
    leave = m_nPhaseCounter >= kClearCaptionEnd;
  } else if ((g_KeyInput[0].m_Buttons & kButtonDecide) && m_nPhaseCounter >= kClearCaptionEnd) {
    if (m_StageClear.m_bRankingQualifies != 0 && (rankMode == 2 || rankMode == 3)) {
      EnterRanking(*this);
    } else {
      PlaySystemSound(kSoundDecide);
    }
    leave = true;
  }
  if (leave) {
    g_SceneManager.m_nNextScene = NextStage(*this);
    m_nPhaseCounter = 0;
    SubState() = 0;
    m_nStep = PHASE_FADE_OUT;
    return;
  }

  bool newRank = false;
  for (int rank : m_StageClear.m_NewRanks) newRank = newRank || rank >= 0;
  if (!autoAdvance && m_StageClear.m_bRankingEntered == 0 && newRank && (rankMode == 0 || rankMode == 1)) {
    Draw(0, 1, 0, 0);
    const int message = kRankingHintMessage;
    if (message < static_cast<int>(g_System.m_Messages.size())) DrawHintText(g_System.m_Messages[message]);
  } else {
    Draw(0, 1, 0, 1);
  }

  if (g_Stage.m_ShowClearCaption != 0) {
    m_nPhaseCounter += 4;
    if (m_nPhaseCounter < 100) {
      DDSplit(&BackBuffer, kClearCaption.x, kClearCaption.y, kClearCaption.w, kClearCaption.h, 4,
              100 - m_nPhaseCounter, &g_SurfaceData[SURF_WORD], kClearCaption.sx, kClearCaption.sy, 1, 0);
    } else {
      DrawCaption(kClearCaption);
    }
  } else {
    m_nPhaseCounter = kClearCaptionEnd;
  }
  if (m_nPhaseCounter >= kClearCaptionEnd && PlayLevelHasRankings() && !autoAdvance) {
    DrawResultWindow(&BackBuffer, kResultsX, kResultsY, m_StageClear.m_Results, m_StageClear.m_NewRanks);
  }
}

void cGameScene::Retry() {
  if (ServeReplayKeys() != 0) return;
  if (SubState() == 0) {
    if (g_MenuCursor.m_pCurrent) g_MenuCursor.m_pCurrent->m_Row = 0;
    SubState() = 1;
  }
  FilterMenuKeys();
  tCmdList prompt;
  for (int message : {MSG_RETRY, MSG_BACK_TO_MAP}) {
    prompt.push_back(cCmd(1, message < static_cast<int>(g_System.m_Messages.size()) ? g_System.m_Messages[message]
                                                                                      : std::string()));
  }
  cPromptPos& pos = g_PromptPos[PROMPT_RETRY];
  pos.x = cCmd::GetCenterX(320, prompt);
  MoveListCursor(2, pos.x, pos.y);
  if (g_KeyInput[0].m_Buttons & kButtonDecide) {
    PlaySystemSound(kSoundDecide);
    if ((g_MenuCursor.m_pCurrent ? g_MenuCursor.m_pCurrent->m_Row : 0) == 0) {
      SetStage(1, 0);
      m_nStep = PHASE_READY;
    } else {
      g_Progress.m_bBackToMap = 1;
      g_SceneManager.m_nNextScene = SCENE_WORLD_MAP;
      SubState() = 0;
      m_nStep = PHASE_FADE_OUT;
    }
    return;
  }
  Draw(0, 1, 0, 1);
  cCmd::Draw(&BackBuffer, pos.x, pos.y, prompt);
  DrawCursorArrow();
}

void cGameScene::GameOver() {
  if (CheckPauseKey() != 0) {
    SubState() = 0;
    m_nStep = PHASE_PAUSE;
    return;
  }
  if (ServeReplayKeys() != 0) return;
  if (g_KeyInput[0].m_Buttons & kButtonDecide) {
    PlaySystemSound(kSoundDecide);
    g_SceneManager.m_nNextScene = SCENE_TITLE;
    m_nStep = PHASE_FADE_OUT;
    return;
  }
  Draw(0, 1, 0, 1);
  if (g_Stage.m_ShowGameOverCaption != 0) DrawCaption(kGameOverCaption);
}

void cGameScene::FadeOut() {
  Draw(0, 1, 0, 1);
  if (!DDFadeOut(g_PaletteWork, 0, 255, 0, 0, 0, g_SceneManager.m_nFadeStep, g_Palette, 0)) return;
  DDFillSurfacePal(&BackBuffer, kFadedOutColour);
  if (g_SceneManager.m_nTitleChoice == kTitleChoiceStageFile && g_Progress.m_bSeries == 0) {
    if (StartStageFromFile(g_Stage.m_Path, false) == 0) PostCloseToMainWindow();
  }
  g_SceneManager.m_nFps = kTargetFps;
  g_SceneManager.m_nCurScene = g_SceneManager.m_nNextScene;
  g_SceneManager.m_nPrevScene = SCENE_GAME;
  m_nStep = PHASE_NONE;
}

// ---- the modal loops --------------------------------------------------------------

namespace {

// One frame of a modal loop's pacing: the frame gate, lost surfaces, and the
// keys polled into `keys`. False when the surfaces cannot be restored.
bool ModalFrameStart(cKeyInput& keys) {
  WaitNextFrame();
  if (!lpDTCon && !g_SceneManager.RestoreSurfaces()) {
    PostCloseToMainWindow();
    return false;
  }
  if (g_KeyConfig.m_UseConfig != 0) {
    keys.PollConfigured(kJoystickRetryFrames);
  } else {
    keys.PollDefault(0, kPollJoystick | kPollKeyboard, kJoystickRetryFrames);
  }
  keys.UpdateRings();
  return true;
}

// Counts one frame of the wait record with the keys of this frame; true when
// the wait is over.
bool SpendWait(cGameWait& wait, const cKeyInput& keys, uint16_t previousButtons, int32_t& decideLock) {
  if (wait.m_StartDelay > 0) {
    --wait.m_StartDelay;
    return false;
  }
  if (wait.m_WaitForKey != 0) {
    const bool pressed = (keys.m_Buttons & kButtonDecide) != 0 && (previousButtons & kButtonDecide) == 0;
    if (!pressed) return false;
    PlaySystemSound(wait.m_Kind == GAME_WAIT_MESSAGE ? kSoundMessageEnd : kSoundDecide);
    decideLock = 1;
    return true;
  }
  --wait.m_Frames;
  return wait.m_Frames < 0;
}

int RunPauseLoop(cGameScene& scene) {
  if (scene.CloseRequested()) return 0;
  cKeyInput keys = g_KeyInput[0];
  keys.ResetHistories();
  keys.m_Dir = 0;
  keys.m_Buttons = 0;
  cModalLoopPump pump;
  uint16_t previousButtons = 0;
  for (;;) {
    const eModalPoll poll = pump.Poll(scene.CloseRequested());
    if (poll == eModalPoll::kQuit) break;
    if (poll == eModalPoll::kIdle) continue;
    if (!ModalFrameStart(keys)) break;
    const uint16_t rawButtons = keys.m_Buttons;
    keys.PressOnce(0);
    if (RequestReplaySave(IsReplayPlaying()) != 0) {
      previousButtons = rawButtons;
      continue;
    }
    const bool over = SpendWait(scene.m_GameWait, keys, previousButtons, scene.m_bDecideLock);
    previousButtons = rawButtons;
    if (over) break;
    scene.Draw(0, 1, 0, 1);
    g_SceneManager.Present();
  }
  return 1;
}

int RunRankingLoop(cGameScene& scene) {
  BeginRankingDisplay();
  cModalLoopPump pump;
  cKeyInput& keys = g_KeyInput[0];
  for (;;) {
    const eModalPoll poll = pump.Poll(scene.CloseRequested());
    if (poll == eModalPoll::kQuit) break;
    if (poll == eModalPoll::kIdle) continue;
    if (!ModalFrameStart(keys)) break;
    keys.PressOnce(0);
    keys.RepeatDirections();
    if (StepRankingDisplay(keys.m_Buttons)) break;
    scene.Draw(0, 1, 0, 1);
    DrawRankingDisplay(scene, &BackBuffer);
    g_SceneManager.Present();
  }
  return 1;
}

}  // namespace

int cGameScene::PauseLoop() {
  return RunModalLoop(thPause, [this] { return RunPauseLoop(*this); });
}

int cGameScene::RankingLoop() {
  return RunModalLoop(thWorker1, [this] { return RunRankingLoop(*this); });
}
