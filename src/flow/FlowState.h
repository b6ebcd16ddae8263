#pragma once
// The run-time state of the flows a character runs. A flow's record (cFlow)
// stays unchanged while it runs; what changes lives here: one cFlowState per
// installed flow, in the order of the character's flows, and one cCmdState per
// command of that flow.
//
// These are the members the game world reads and writes; the flow runtime adds
// its own bookkeeping and implements the operations declared here.

#include <cstdint>

#include "core/SafeVector.h"

class cFlow;
class cCommand;
class cKeyCond;
class cCharaBase;

// One command of a running flow.
struct cCmdState {
  cCommand* m_pCommand = nullptr;
  // Sub-steps the command lasts, and sub-steps left (0 ends the command).
  int32_t m_Duration = 0;
  int32_t m_Remaining = 0;
  int32_t m_Elapsed = 0;
  // The initial velocity of a jump, or the angular speed of a circle move.
  double m_Speed = 0.0;
  int32_t m_HomingTurn = 0;
  int32_t m_Radius = 0;
  int32_t m_StartAngle = 0;
  int32_t m_EndAngle = 0;
  uint8_t m_Direction = 0;
  int32_t m_TakenOff = 0;
  double m_JumpVelocity = 0.0;
  // Movement accumulated by the command, x first; the stop variants of the
  // game object's centre setters zero all four.
  int32_t m_Accumulated[4] = {0, 0, 0, 0};
};

// One installed flow of a character.
struct cFlowState {
  cFlow* m_pFlow = nullptr;
  int32_t m_Running = 0;
  int32_t m_Paused = 0;
  int32_t m_StoppedForever = 0;
  int32_t m_DeleteRequest = 0;
  // Per-frame guards, cleared once a frame by cCharaBase::ClearFlowFlags.
  int32_t m_TriggeredThisFrame = 0;
  int32_t m_StartedThisFrame = 0;
  // The first direction key slot held when the flow started: 0 none, 1 to 9.
  int32_t m_TriggerKeySlot = 0;
  // 1 once the flow's conditions have held (kept while its latch option is
  // on: the conditions then count as holding for good).
  uint8_t m_CondLatched = 0;
  // A running flow whose command list is empty is stopped.
  cSafeVector<cCmdState> m_CmdStates;
  // The flow's key conditions; the hero's jump reads the last one.
  cSafeVector<cKeyCond*> m_KeyConds;

  // Runs one sub-step of the current command or commands; 1 when the flow's
  // last command is done.
  int Step();
  // Stops a running flow and raises its group's ended switch on the
  // character; 0 when the flow was not running.
  int Stop(cCharaBase& chara);
};
