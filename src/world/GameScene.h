#pragma once
// cGameScene: the in-game scene (scene type 4): a loaded stage set up, played
// frame by frame in its phases and drawn. g_GameScene points at it while it
// exists.
//
// What is declared here is the part of the scene the game objects, the map
// grid and the appearance conditions read: the camera's two scroll axes, the
// stage variables and the wait record. The scene itself (its place among the
// scenes, its phases, stage set-up, the play step and the drawing) is built
// on top of it.

#include <cstdint>

#include "core/SafeVector.h"
#include "world/GameWait.h"
#include "world/ScrollAxis.h"

inline constexpr int kStageVarSlots = 1000;

class cGameScene {
 public:
  cGameScene() : m_StageVars(kStageVarSlots) {}
  virtual ~cGameScene() = default;

  // The camera: the view's left and top edge in world dots, with the limits
  // and geometry of each axis.
  cScrollAxis m_ScrollX;
  cScrollAxis m_ScrollY;
  // The stage variables of the stage being played.
  cSafeVector<int32_t> m_StageVars;
  // The wait the modal pause loop runs.
  cGameWait m_GameWait;
};

// The game scene while it exists, else null. Defined with every global object
// in app/Globals.cpp.
extern cGameScene* g_GameScene;
