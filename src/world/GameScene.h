#pragma once
// cGameScene: the in-game scene (scene type 4): a loaded stage set up, played
// frame by frame in its phases and drawn. g_GameScene points at it while it
// exists.
//
// Phases (cScene::m_nStep): -1 until Init ran, then
//   0 fade-in, 1 ready caption, 2 play, 3 pause menu, 4 stage clear,
//   5 retry prompt, 6 game over, 7 fade-out.
// The scene's sub-state inside a phase is cScene::m_nSubStep (SubState()); the
// scene's own m_nSubStep is the sub-step of the frame being simulated (1 to
// the stage's sub-steps inside a frame, 0 outside one), which the game objects
// and the flows read.
//
// Where the work lives: the phases, Init and the modal loops in
// GameScene.cpp; the play step (one frame of phase 2) in GamePlay.cpp; stage
// set-up (SetStage) in StageSetup.cpp; the spawning of placed and summoned
// objects in Spawn.h; the stage drawing (Draw) with the drawing.
//
// Threads: the scene runs on the game thread. PauseLoop and RankingLoop run
// on thPause and thWorker1 while the game thread blocks until they end, so
// one thread at a time touches the world. The close request is the only
// member another thread writes (the main window's close handler).

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "core/SafeVector.h"
#include "core/Scene.h"
#include "data/Cmd.h"
#include "world/GameWait.h"
#include "world/SceneDrawState.h"
#include "world/SceneDrawState.h"
#include "world/ScrollAxis.h"
#include "world/StageClearState.h"
#include "world/StageClearState.h"

class cCharaBase;
class cChara;
class cShot;
struct cFlowState;
struct cCmdState;

inline constexpr int kStageVarSlots = 1000;
inline constexpr int kGroupListCount = 8;     // character and shot group lists, by pass-through number
inline constexpr int kWakeGroupCount = 60;
inline constexpr int kReadyCaptionFrames = 79;
inline constexpr int kClearCaptionEnd = 200;  // the stage-clear counter at which the phase may be left
inline constexpr int kCloseQuitDelayMs = 2000;

// Title choices the scene reads: a stage file opened from the title, and a
// replay being played back.
inline constexpr int kTitleChoiceStageFile = 3;
inline constexpr int kTitleChoiceReplay = 4;
// True while a replay is played back (the keys come from g_ReplayRec).
bool IsReplayPlaying();

inline constexpr int kNoTimeLimitSeconds = 999;

// The step result a flow command leaves for the play step.
enum eStepResult : int {
  STEP_RESULT_NONE = 0,
  STEP_RESULT_STAGE_CLEAR = 1,
  STEP_RESULT_STOP = 2,  // the hero died: the attempt ends
};

enum eGamePhase : int {
  PHASE_NONE = -1,
  PHASE_FADE_IN = 0,
  PHASE_READY = 1,
  PHASE_PLAY = 2,
  PHASE_PAUSE = 3,
  PHASE_STAGE_CLEAR = 4,
  PHASE_RETRY = 5,
  PHASE_GAME_OVER = 6,
  PHASE_FADE_OUT = 7,
};

// The pause menu's entries, by list index.
enum ePauseEntry : int {
  PAUSE_TO_TITLE = 0,
  PAUSE_RESUME = 1,
  PAUSE_RESTART = 2,
  PAUSE_TO_MAP = 3,
  kPauseEntryCount = 4,
};

// Where the pause menu, the retry prompt and the ranking board stand.
struct cPromptPos {
  int32_t x = 0;
  int32_t y = 0;
};
enum ePromptKind : int { PROMPT_PAUSE = 0, PROMPT_RETRY = 1, PROMPT_RANKING = 2 };
// Defined with every global object in app/Globals.cpp.
extern cPromptPos g_PromptPos[3];

class cGameScene : public cScene {
 public:
  cGameScene();
  ~cGameScene() override;

  // ---- the scene ----
  void Update() override;
  void Init() override;
  void FadeIn() override;
  void FadeOut() override;

  // The phases between fade-in and fade-out.
  void Ready();
  void Play();
  void Pause();
  void StageClear();
  void Retry();
  void GameOver();

  // The sub-state of the current phase.
  int& SubState() { return cScene::m_nSubStep; }
  int Phase() const { return m_nStep; }
  void SetPhase(int phase) { m_nStep = phase; }

  // The first entry into the stage from another scene: ResetCounters, the
  // first attempt's life (LoseLife), then a fresh SetStage.
  void EnterStage();
  // Fresh entry: the progress record's run counters, the scene's counters,
  // the replays (unless one is played back) and the ranking file. A replay
  // keeps the lives and the carried start position its file recorded.
  void ResetCounters();
  // Takes the life the attempt uses: 1 when one was there (test play and
  // infinite lives always), 0 when none is left.
  int LoseLife();
  // Stage set-up (StageSetup.cpp).
  void SetStage(int restart, int fresh);

  // ---- the play step (GamePlay.cpp) ----
  int CheckPauseKey();
  void TickPlayTime();
  int TickTimeLimit(int delta);
  void ActivateNearObjects();
  // Removal of a character: unlinked from the others, out of its group list
  // and out of the character list.
  void RemoveChara(cChara& chara);
  // Forgets the current character, flow and command when they belong to
  // `chara`, which is about to be destroyed.
  void ForgetCurrentOf(const cCharaBase& chara);
  void AddToGroup(cCharaBase& chara);
  void RemoveFromGroup(const cCharaBase& chara);
  // Drops from the group lists every character that left the stage by a
  // removal that did not go through RemoveChara (the death checks).
  void PruneGroups();

  // The modal pause loop the game-wait, message, effect and picture commands
  // and the extra-life message run with m_GameWait filled: started on thPause
  // while the game thread waits. 1 when it ended, 0 when a close request was
  // pending.
  virtual int PauseLoop();
  // The ranking board of the stage clear, on thWorker1 the same way.
  virtual int RankingLoop();
  // Rebuilds the darkness and light surfaces after the hero's light radius
  // changed.
  virtual void PrepareLightSurfaces();
  // The shot sheets and the database images, made when the scene starts.
  void MakeStageImages();

  // The close request of the main window, set from the window thread.
  void RequestClose() { m_bCloseRequest.store(1); }
  bool CloseRequested() const { return m_bCloseRequest.load() != 0; }

  // ---- members ----
  int32_t m_nSavedPhase = 0;
  int32_t m_nSavedSubState = 0;
  // eStepResult, set by flow commands during a sub-step.
  int32_t m_nStepResult = STEP_RESULT_NONE;
  // The camera: the view's left and top edge in world dots, with the limits
  // and geometry of each axis.
  cScrollAxis m_ScrollX;
  cScrollAxis m_ScrollY;
  // Characters and shots by pass-through number (group).
  std::vector<std::vector<cCharaBase*>> m_CharaGroups;
  std::vector<std::vector<cShot*>> m_ShotGroups;
  // The wait the modal pause loop runs.
  cGameWait m_GameWait;
  std::atomic<int> m_bCloseRequest{0};
  // The command being executed: the trigger logic sets the character, a
  // flow's step its state, a command's run the command state; the character
  // update clears all three after its flow pass.
  cCharaBase* m_pCurChara = nullptr;
  cFlowState* m_pCurFlowState = nullptr;
  cCmdState* m_pCurCmdState = nullptr;
  void ClearCurrent() {
    m_pCurChara = nullptr;
    m_pCurFlowState = nullptr;
    m_pCurCmdState = nullptr;
  }
  int32_t m_bMessageFlag = 0;
  int32_t m_nHeroCount = 0;
  // The sub-step of the frame being run: 1 to the stage's sub-steps inside a
  // frame, 0 outside one.
  int32_t m_nSubStep = 0;
  int32_t m_nSubStepCounter = 0;
  // One entry per sub-step of a frame: 1 where the contact tests run.
  cSafeVector<int32_t> m_SubStepMask;
  // Seconds of the time limit (999 when the stage has none), and 1 when the
  // stage has none.
  int32_t m_nTimeLeft = 0;
  int32_t m_bNoTimeLimit = 0;
  int32_t m_nPlayFrames = 0;
  int32_t m_nPlayTime = 0;  // hundredths of a second
  int32_t m_nPhaseCounter = 0;
  int32_t m_nPhaseCounter2 = 0;
  uint32_t m_nSeed = 0;
  // Set while button 1 must be released before the buttons count again.
  int32_t m_bDecideLock = 0;
  // Set when a character's hit points may have dropped to 0 outside its own
  // update; the play step then runs the death checks.
  int32_t m_bHpCheck = 0;
  // The stage variables of the stage being played.
  cSafeVector<int32_t> m_StageVars;
  cSafeVector<uint8_t> m_WakeGroups;
  int32_t m_nCharaKeyCounter = 0;
  int32_t m_nItemKeyCounter = 0;
  int32_t m_nSpareKeyCounter = 0;
  // Characters, block characters and items leave outside their removal area.
  int32_t m_bRemoveCharas = 0;
  int32_t m_bRemoveBlockCharas = 0;
  int32_t m_bRemoveItems = 0;
  // Cells toggled by the block summon being run.
  std::vector<int32_t> m_ToggledCells;
  // Frames played since set-up.
  int32_t m_nFrameCounter = 0;
  int32_t m_bStatusBar = 0;
  tCmdList m_PauseMenu;
  // Init failed (a thrown text or surfaces that could not be made): the
  // close is on its way and no phase runs on a scene that was not set up.
  int32_t m_bInitFailed = 0;
  // The scene made its surfaces (Init) and releases them when it goes.
  int32_t m_bSurfacesMade = 0;

  // The stage clear's state: next stage, results, ranks (world/StageClear.h).
  cStageClearState m_StageClear;

  // ---- the stage drawing's state (GameSceneDraw.cpp) ----
  // Composes one frame of the stage on the back buffer: `whole` 1 draws the
  // field even in the pause phase; `frozen` 1 only draws (objects, effects,
  // messages and pictures do not advance); `timeSound` 1 lets the time
  // display sound its warning; `hint` 1 draws the test-play hint line.
  void Draw(int whole, int frozen, int timeSound, int hint);
  cSceneDrawState m_Draw;
  // Effects (cEffectPlayer), pictures, messages, the screen effect and the
  // screen colour the commands start and the drawing plays.
  tEffectList m_Effects;
  tPictureList m_Pictures;
  tMessageList m_Messages;
  cScrEffectPlayer m_ScrEffect;
  cScreenColor m_ScreenColor;
  // Set while the stage-clear messages run: message, effect and picture
  // commands do nothing.
  int32_t m_bMessageLock = 0;
  // Set by the first message of an item pickup, so only it sounds.
  int32_t m_bItemMessage = 0;

 private:
  void BuildPauseMenu();
  int ServeReplayKeys();
  void FilterMenuKeys();
};

// The game scene while it exists, else null. Defined with every global object
// in app/Globals.cpp.
extern cGameScene* g_GameScene;

// The camera's scroll position; 0 without a game scene.
inline double CameraX() { return g_GameScene != nullptr ? g_GameScene->m_ScrollX.m_Position : 0.0; }
inline double CameraY() { return g_GameScene != nullptr ? g_GameScene->m_ScrollY.m_Position : 0.0; }
