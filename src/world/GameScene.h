#pragma once
// cGameScene: the in-game scene (scene type 4): a loaded stage set up, played
// frame by frame in its phases and drawn. g_GameScene points at it while it
// exists.
//
// What is declared here is the part of the scene the game objects, the map
// grid, the appearance conditions and the flow interpreter read and write:
// the camera's two scroll axes, the stage variables, the wait record, the
// command being executed, the step result, the time left and the death-check
// request; and the two services of the scene that flow commands ask for (the
// modal pause loop and the light surfaces). The scene itself (its place among
// the scenes, its phases, stage set-up, the play step and the drawing) is
// built on top of it.

#include <cstdint>

#include "core/SafeVector.h"
#include "world/GameWait.h"
#include "world/ScrollAxis.h"
#include "world/StageClearState.h"
#include "world/SceneDrawState.h"

class cCharaBase;
struct cFlowState;
struct cCmdState;

inline constexpr int kStageVarSlots = 1000;

// The step result a flow command leaves for the play step.
enum eStepResult : int {
  STEP_RESULT_NONE = 0,
  STEP_RESULT_STAGE_CLEAR = 1,
  STEP_RESULT_STOP = 2,  // the hero died: the attempt ends
};

class cGameScene {
 public:
  cGameScene() : m_StageVars(kStageVarSlots) {}
  virtual ~cGameScene() = default;

  // The modal loop the game-wait, message, effect and picture commands run
  // with m_GameWait filled, while the game waits: 1 when it ended, 0 when it
  // did not start because a close request is pending. Returns at once until
  // the scene's own loop is built.
  virtual int PauseLoop() { return 1; }
  // Rebuilds the darkness and light surfaces after the hero's light radius
  // changed. Nothing until the stage drawing is built.
  virtual void PrepareLightSurfaces() {}

  // The camera: the view's left and top edge in world dots, with the limits
  // and geometry of each axis.
  cScrollAxis m_ScrollX;
  cScrollAxis m_ScrollY;
  // The stage variables of the stage being played.
  cSafeVector<int32_t> m_StageVars;
  // The wait the modal pause loop runs.
  cGameWait m_GameWait;
  // eStepResult, set by flow commands during a sub-step.
  int32_t m_nStepResult = STEP_RESULT_NONE;
  // The sub-step of the frame being run: 1 to the stage's sub-steps inside a
  // frame, 0 outside one.
  int32_t m_nSubStep = 0;
  // The command being executed: the trigger logic sets the character, a
  // flow's step its state, a command's run the command state; the character
  // update clears all three after its flow pass.
  cCharaBase* m_pCurChara = nullptr;
  cFlowState* m_pCurFlowState = nullptr;
  cCmdState* m_pCurCmdState = nullptr;
  // Seconds of the time limit (999 when the stage has none), and 1 when the
  // stage has none.
  int32_t m_nTimeLeft = 0;
  int32_t m_bNoTimeLimit = 0;
  // Set when a character's hit points may have dropped to 0 outside its own
  // update; the play step then runs the death checks.
  int32_t m_bHpCheck = 0;

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
};

// The game scene while it exists, else null. Defined with every global object
// in app/Globals.cpp.
extern cGameScene* g_GameScene;
