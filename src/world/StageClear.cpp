#include "world/StageClear.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "core/Log.h"
#include "core/MainWindow.h"
#include "core/Numeric.h"
#include "core/PathUtil.h"
#include "core/ProcessFlags.h"
#include "core/SceneManager.h"
#include "core/SoundRequest.h"
#include "data/OptionData.h"
#include "data/Progress.h"
#include "data/StageData.h"
#include "data/SystemData.h"
#include "data/WorldMap.h"
#include "platform/MessageCore.h"
#include "world/GameScene.h"
#include "world/Hero.h"
#include "world/KeyInput.h"
#include "world/MainWindowRequest.h"
#include "world/Message.h"
#include "world/ReplayInput.h"
#include "world/SystemSounds.h"

static_assert(kStageResultCount == kRankBoardCount, "one result per ranking board");

namespace {

constexpr int kExtraLifeFrames = 30;
constexpr int kAboveHero = 4;     // message position: above the followed hero
constexpr int kMessageTimed = 2;  // message wait mode: a number of frames
constexpr int kRankBoardX = 184;
constexpr int kRankBoardY = 64;

// The world-map entry's after-clear action.
constexpr int kAfterClearNextLap = 1;
constexpr int kAfterClearTitle = 2;

cStageClearHooks g_Hooks;

int PlayMode() { return g_SceneManager.m_nPlayMode; }

bool PlayModeInRange(int mode) { return mode >= 0 && mode < kPlayModeCount; }

bool PlayLevelRanksGenre(int genre) {
  const int mode = PlayMode();
  if (!PlayModeInRange(mode) || mode >= static_cast<int>(g_System.m_RankGenreSets.size())) return false;
  const cRankGenreSet& set = g_System.m_RankGenreSets[mode];
  return genre < static_cast<int>(set.m_Genres.size()) && set.m_Genres[genre] != 0;
}

bool StageKeepsGenre(int genre) {
  return genre < static_cast<int>(g_Stage.m_RankFlags.size()) && g_Stage.m_RankFlags[genre] != 0;
}

std::int32_t AddSaturated(std::int32_t total, std::int64_t amount) {
  return ClampToI32(static_cast<std::int64_t>(total) + amount);
}

bool CloseRequested(const cGameScene& scene) {
  return g_Hooks.m_pCloseRequested != nullptr && g_Hooks.m_pCloseRequested(scene);
}

// The extra-life icon rising above the hero for the wait's 30 frames.
const cMessage* ShowExtraLifeIcon(cGameScene& scene) {
  cMessageSetup setup;
  setup.kind = MESSAGE_FIXED_ICON;
  setup.posMode = kAboveHero;
  const cHero* hero = StageHero();
  setup.followKey = hero != nullptr ? hero->m_Key : 0;
  setup.waitMode = kMessageTimed;
  setup.countdown = kExtraLifeFrames;
  setup.noSurface = 1;
  scene.m_Messages.push_back(std::make_unique<cMessage>(setup));
  return scene.m_Messages.back().get();
}

// Takes `message` out of the scene's list when it is still there (the
// drawing drops a message whose time ran out).
void RemoveMessage(cGameScene& scene, const cMessage* message) {
  tMessageList& messages = scene.m_Messages;
  const auto it = std::find_if(messages.begin(), messages.end(), [&](const auto& m) { return m.get() == message; });
  if (it == messages.end()) return;
  (*it)->ReleaseSurface();
  messages.erase(it);
}

// One extra life: the life (never past the limit, never taking any away),
// its sound, its message and the 30-frame wait. False when a close request
// ended it (the close message is posted).
bool GrantExtraLife(cGameScene& scene) {
  if (g_Progress.m_nLives < kLivesLimit) ++g_Progress.m_nLives;
  PlaySystemSound(kSoundExtraLife);
  const cMessage* icon = ShowExtraLifeIcon(scene);
  scene.m_GameWait.Set(GAME_WAIT_EXTRA_LIFE, 0, kExtraLifeFrames, 0);
  scene.PauseLoop();
  RemoveMessage(scene, icon);
  if (CloseRequested(scene)) {
    PostCloseToMainWindow();
    return false;
  }
  // The next life's message waits until the player is back.
  while (g_AppActive.load() == 0 && !CloseRequested(scene)) plat::Sleep(1);
  return true;
}

// The extra lives the score steps crossed by going from `oldTotal` to
// `newTotal` grant; never more than the lives limit.
std::int64_t ExtraLifeSteps(std::int32_t oldTotal, std::int32_t newTotal) {
  const std::int64_t step = g_System.m_nExtraLifeScore;
  if (step == 0) return 0;
  const std::int64_t steps = newTotal / step - oldTotal / step;
  return std::clamp<std::int64_t>(steps, 0, kLivesLimit);
}

void ClearReplayRecordings() {
  g_ReplayRec.Clear();
  g_ReplayPrev.Clear();
}

// The series goes on: the shown stage number becomes the next one and its
// file is loaded for play. False (the shown number then may have changed)
// when the run is no series, there is no next number, or its file is missing
// or does not load.
bool LoadNextOfSeries(const cGameScene& scene) {
  const std::int32_t next = scene.m_StageClear.m_nNextStageNo;
  if (g_Progress.m_bSeries == 0 || next == 0) return false;
  g_Progress.m_nSeriesNo = next;
  std::string path;
  if (!MakeNextStagePath(scene, path, next)) return false;
  if (LoadStageForPlay(path, false, &g_StageInitial) == 0) {
    ReportPrintf("%s : the next stage of the series did not load; the series ends here", path.c_str());
    return false;
  }
  ClearReplayRecordings();
  return true;
}

void StoreHeroStatus(const cGameScene& scene) {
  const cHero* hero = StageHero();
  if (hero == nullptr) return;
  const cCharaEffectPlayer& effect = hero->m_CharaEffect;
  g_Progress.StoreStatus(0, hero->m_Data, hero->m_Hp, hero->m_Sp, effect.m_nEffect, effect.m_bReverse != 0 ? 2 : 1,
                         effect.m_nStartValue, scene.m_nTimeLeft, g_Progress.m_nLives, g_Progress.m_nBgm);
}

int StoryNextStage(const cGameScene& scene, std::int32_t shownStage) {
  if (LoadNextOfSeries(scene)) return SCENE_GAME;
  cProgress& progress = g_Progress;
  if (progress.m_nStageNo >= 0 && progress.m_nStageNo < static_cast<int>(progress.m_StageFlags.size())) {
    progress.m_StageFlags[progress.m_nStageNo] = 1;
  }
  progress.RecordStageResult(progress.m_strStageName, progress.m_strResultKey, progress.m_bVariant,
                             progress.m_nVariantVar, progress.m_nVariantValue, progress.m_nScore);
  progress.m_nSeriesNo = shownStage;
  const int action = progress.m_pWorldStage != nullptr ? progress.m_pWorldStage->m_nAfterClear : 0;
  if (action == kAfterClearNextLap) {
    progress.StartNextLap(g_WorldMap);
    return SCENE_WORLD_MAP;
  }
  // The title scene puts its cursor on the title choice that started the run.
  if (action == kAfterClearTitle) return SCENE_TITLE;
  return SCENE_WORLD_MAP;
}

int ChallengeNextStage(const cGameScene& scene, std::int32_t shownStage) {
  if (LoadNextOfSeries(scene)) return SCENE_GAME;
  cProgress& progress = g_Progress;
  const int index = progress.m_nStageNo - 1;
  if (index >= 0 && index < static_cast<int>(progress.m_StageNumbers.size())) {
    cIntPair& entry = progress.m_StageNumbers[index];
    entry.m_nFirst = 1;
    if (entry.m_nSecond < progress.m_nScore) {
      progress.m_nTotal = AddSaturated(progress.m_nTotal, static_cast<std::int64_t>(progress.m_nScore) - entry.m_nSecond);
      entry.m_nSecond = progress.m_nScore;
    }
  }
  if (progress.m_nStageNo >= progress.m_nOpenStages) {
    progress.m_nOpenStages = std::min(progress.m_nStageNo + 1, g_System.m_nStageCount);
  }
  if (!progress.SaveChallenge()) LogPrintf("NextStage : the challenge file was not saved");
  progress.m_nSeriesNo = shownStage;
  return SCENE_STAGE_SELECT;
}

int StageFileNextStage(const cGameScene& scene, std::int32_t shownStage) {
  if (g_Progress.m_bSeries != 0 && g_TestPlay == 0) {
    if (LoadNextOfSeries(scene)) return SCENE_GAME;
    g_Progress.m_nSeriesNo = shownStage;
    return SCENE_TITLE;
  }
  // The fade-out loads the same stage file again.
  g_Progress.m_bHeroStartSet = 0;
  return SCENE_GAME;
}

}  // namespace

void cStageClearState::ResetRanking() {
  m_bRankingQualifies = 0;
  std::fill(std::begin(m_NewRanks), std::end(m_NewRanks), -1);
  std::fill(std::begin(m_Results), std::end(m_Results), 0);
  m_strEnteredName.clear();
  m_bRankingEntered = 0;
}

void SetStageClearHooks(const cStageClearHooks& hooks) { g_Hooks = hooks; }

const cStageClearHooks& StageClearHooks() { return g_Hooks; }

void ClearStage(cGameScene& scene) {
  PlaySystemSound(kSoundStageClear);
  AddClearTotals(scene);

  cStageClearState& clear = scene.m_StageClear;
  clear.m_bRankingEntered = 0;
  clear.m_bRankingQualifies = 0;
  std::fill(std::begin(clear.m_NewRanks), std::end(clear.m_NewRanks), -1);
  if (g_TestPlay == 0) {
    if (g_SceneManager.m_bRanking == 0) return;
    if (!IsLastOfSeries(scene, clear.m_nNextStageNo)) return;
  }

  const cProgress& progress = g_Progress;
  clear.m_Results[0] = progress.m_nScore;
  clear.m_Results[1] = progress.m_nTimeLeftTotal;
  clear.m_Results[2] = progress.m_nClearTimeTotal;
  clear.m_Results[3] = progress.m_nHpLeftTotal;
  clear.m_Results[4] = progress.m_nSpLeftTotal;
  if (g_LaunchedByEditor.load() != 0) return;

  for (int board = 0; board < kRankBoardCount; ++board) {
    if (!PlayLevelRanksGenre(board) || !StageKeepsGenre(board)) continue;
    if (board >= static_cast<int>(g_RankFile.m_Boards.size())) continue;
    clear.m_NewRanks[board] = g_RankFile.m_Boards[board].FindRank(clear.m_Results[board]);
    if (clear.m_NewRanks[board] != -1) clear.m_bRankingQualifies = 1;
  }
}

void AddClearTotals(cGameScene& scene) {
  cProgress& progress = g_Progress;
  const std::int32_t oldScore = progress.m_nScore;
  progress.m_nScore = AddSaturated(progress.m_nScore, progress.m_nStageScore);
  if (scene.m_bNoTimeLimit == 0) progress.m_nTimeLeftTotal = AddSaturated(progress.m_nTimeLeftTotal, scene.m_nTimeLeft);
  const std::int32_t playTime = g_Hooks.m_pPlayTime != nullptr ? g_Hooks.m_pPlayTime(scene) : 0;
  progress.m_nClearTimeTotal = AddSaturated(progress.m_nClearTimeTotal, playTime);
  if (const cHero* hero = StageHero()) {
    progress.m_nHpLeftTotal = AddSaturated(progress.m_nHpLeftTotal, hero->m_Hp);
    progress.m_nSpLeftTotal = AddSaturated(progress.m_nSpLeftTotal, hero->m_Sp);
  }

  if (progress.m_nLives == kInfiniteLives || g_System.m_bExtraLives == 0) return;
  const std::int64_t steps = ExtraLifeSteps(oldScore, progress.m_nScore);
  for (std::int64_t i = 0; i < steps; ++i) {
    if (!GrantExtraLife(scene)) return;
  }
}

void EnterRanking(cGameScene& scene) {
  cStageClearState& clear = scene.m_StageClear;
  if (g_SceneManager.m_bRanking == 0 || clear.m_bRankingQualifies == 0 || clear.m_bRankingEntered != 0) return;

  const int rankMode = g_OptionData.m_nRankMode;
  if (rankMode == 0 || rankMode == 2) {
    // The name dialog edits the entered name in place; a dialog that could
    // not be shown leaves the player's name.
    clear.m_strEnteredName = g_Progress.m_strPlayerName;
    RequestNameEntry();
    g_Progress.m_strPlayerName = clear.m_strEnteredName;
  } else {
    clear.m_strEnteredName = g_OptionData.m_strRankName;
  }

  PlaySystemSound(kSoundRankEntry);
  for (int board = 0; board < kRankBoardCount && board < static_cast<int>(g_RankFile.m_Boards.size()); ++board) {
    if (clear.m_NewRanks[board] == -1) continue;
    g_RankFile.m_Boards[board].Insert(clear.m_strEnteredName, clear.m_Results[board]);
  }
  const cProgress& progress = g_Progress;
  if (!SaveRanking(g_RankFile, PlayMode(), progress.m_strStageName, progress.m_bVariant, progress.m_nVariantVar,
                   progress.m_nVariantValue)) {
    LogPrintf("EnterRanking : the ranking file of %s was not saved", progress.m_strStageName.c_str());
  }
  clear.m_bRankingEntered = 1;

  if (g_Hooks.m_pRankingLoop != nullptr) g_Hooks.m_pRankingLoop(scene);
}

bool MakeNextStagePath(const cGameScene& scene, std::string& out, int n) {
  out.clear();
  if (g_Progress.m_bSeries == 0 || n == 0) return false;
  const std::string& nextName = scene.m_StageClear.m_strNextStageName;
  const bool named = !nextName.empty();
  std::string base = named ? nextName : g_Progress.m_strStageName;
  RemoveExtension(base);
  const std::string wanted = named ? base + ".stg4" : base + "-" + std::to_string(n) + ".stg4";
  if (FindLastNumberedFile(out, wanted, "stg4")) return true;
  out.clear();
  return false;
}

bool IsLastOfSeries(const cGameScene& scene, int n) {
  std::string path;
  return !MakeNextStagePath(scene, path, n);
}

int NextStage(cGameScene& scene) {
  if (g_Stage.m_StoreStatus != 0) StoreHeroStatus(scene);
  const std::int32_t shownStage = g_Progress.m_nSeriesNo;
  switch (g_SceneManager.m_nTitleChoice) {
    case 0:
    case 1:
      return StoryNextStage(scene, shownStage);
    case 2:
      return ChallengeNextStage(scene, shownStage);
    case 3:
      return StageFileNextStage(scene, shownStage);
    case 4:
      // The replay plays again from the stage's start.
      g_Progress.RestoreStageStart(true, PlayMode(), g_TestPlay != 0);
      return SCENE_GAME;
    default:
      return SCENE_STAGE_SELECT;
  }
}

// ---- the ranking display --------------------------------------------------------------------

void BeginRankingDisplay() { g_Progress.StepRankGenre(PlayMode(), 0); }

bool StepRankingDisplay(std::uint32_t buttons) {
  if ((buttons & kButtonDecide) != 0) {
    PlaySystemSound(kSoundDecide);
    return true;
  }
  const int mode = PlayMode();
  if ((buttons & kButtonGenre) != 0 && PlayModeInRange(mode) && g_System.CountRankGenres(mode) >= 2) {
    PlaySystemSound(kSoundRankGenre);
    g_Progress.StepRankGenre(mode, 1);
  }
  return false;
}

void DrawRankingDisplay(const cGameScene& scene, DDSURFACEDATA* lpDst) {
  const int genre = g_Progress.m_nRankGenre;
  if (genre < 0 || genre >= kRankBoardCount) return;
  g_RankFile.DrawBoard(lpDst, kRankBoardX, kRankBoardY, genre, scene.m_StageClear.m_NewRanks[genre]);
}
