#pragma once
// The run-time state of the flows a character runs. A flow's record (cFlow)
// stays unchanged while it runs (an arrange changes a command's parameters,
// on purpose); what changes lives here: one cFlowState per installed flow, in
// the order of the character's flows (state i always belongs to flow i), and
// one cCmdState per command of that flow.
//
// Time inside a flow is counted in sub-steps: a running flow is stepped once
// per sub-step of the stage (S = g_Stage.m_SubSteps), and a command authored
// in tenths of a second lasts 6 x S sub-steps per tenth.
//
// Life of a flow state (the character owns it, the interpreter builds it,
// flow/FlowRuntime.h):
//
//   idle --StartFlow--> running --StepFlow returns 1 / Stop--> idle (restartable)
//                         |  Pause / Resume: a paused flow is not stepped,
//                         |  shows no cues, and no trigger starts it
//                         '--StopForever--> stopped forever (final)
//
// A trigger-21 flow ("before the stage starts") runs inside StartFlow and is
// stopped again before StartFlow returns. A delete request removes the state
// at the end of the character's flow pass.
//
// These records belong to the world, which holds them in its characters; the
// interpreter (src/flow) runs them. Starting and stepping a flow run its
// commands, so they live with the interpreter (flow/FlowStep.h); stopping
// and pausing only change the record and the owner's group switches, so
// they are members here. Who runs what: the world's character update runs
// the flow pass once per sub-step through FlowServices() (FlowServices.h);
// the interpreter's trigger logic starts flows and its command handlers read
// and write their command state. The game scene's current character, flow
// state and command state (GameScene.h) name the command that runs, for the
// handlers that reach their flow through them.

#include <cstdint>

#include "core/SafeVector.h"

class cFlow;
class cCommand;
class cKeyCond;
class cCharaBase;
struct cFlowState;

// One pending arrange: the five parameters of an arrange command, copied when
// it runs and applied to the next command that starts (flow/Arrange.h).
struct cArrangeEntry {
  int32_t m_nTargetType = 0;  // flow-command type; item command t counts as t + 15
  int32_t m_nParam = 0;       // row of that type's parameter table (flow/CmdParamDesc.h)
  int32_t m_nOperation = 0;   // eStatusOp (flow/StatusOperation.h)
  int32_t m_nSource = 0;      // 0 common variable, 1 stage variable, 2 own character variable
  int32_t m_nOperand = 0;     // the variable's number

  friend bool operator==(const cArrangeEntry&, const cArrangeEntry&) = default;
};

// An animation a command of the flow asks for, scheduled at installation so
// that its wind-up (the frames before its first locked frame) ends when the
// command starts.
struct cFlowAnimeCue {
  int32_t m_nStart = 0;      // flow frame counter at which the animation starts
  int32_t m_nStartCopy = 0;  // the same value
  int32_t m_nAnime = 0;      // Anime database index
  int32_t m_nSkip = 0;       // frames of the animation skipped at its start
  int32_t m_nWindUp = 0;     // frames before its first locked frame (what is left of them)
  int32_t m_nHold = 0;       // the command's duration in frames (tenths x 6)
  int32_t m_bHoldEnabled = 0;  // 0 for the sword and jump commands: the locked frame keeps its length
};

// A point a homing move recorded, to head for it later.
struct cMovePoint {
  double m_X = 0.0;
  double m_Y = 0.0;
};

// One command of an installed flow.
//
// Installation sets the command pointer, the duration, and for a command with
// movement parameters the speed, the maximum speed, the movement kind and the
// direction choice; the command type's state initialiser (kCmdStateInits,
// flow/FlowCommands.h) then prepares the rest. Every start of the command
// (flow/FlowStep.cpp) sets remaining = duration and clears the done flag and
// the work words marked "cleared at each start"; vx, vy and the facing code
// survive a restart. The handlers own the meaning of the work words.
struct cCmdState {
  cCommand* m_pCommand = nullptr;
  int32_t m_bDone = 0;  // finished in the current run of the flow
  // Sub-steps the command lasts (the movement set-up may rewrite it), and
  // sub-steps left: 0 = not started.
  int32_t m_Duration = 0;
  int32_t m_Remaining = 0;

  // ---- movement values set at installation ----
  uint8_t m_nMoveKind = 0;  // the movement's kind byte
  // The direction choice, or a circle move's rotation choice.
  uint8_t m_Direction = 0;
  // Speed in dots (a circle: degrees) per sub-step, or the time value of the
  // time conversion; a jump's initial velocity once prepared.
  double m_Speed = 0.0;
  // With inertia: the most the inertial speed may reach, dots per sub-step.
  double m_MaxSpeed = 0.0;
  // A circle's radius in dots x S, or a homing move's re-aim interval in
  // sub-steps.
  int32_t m_Radius = 0;
  // A circle's start and end angles in degrees x S.
  int32_t m_StartAngle = 0;
  int32_t m_EndAngle = 0;

  // ---- handler work, kept across restarts ----
  double m_VX = 0.0;
  double m_VY = 0.0;
  int32_t m_FacingCode = 0;  // 0 leave, 1 face left, 2 face right

  // ---- handler work, cleared at each start ----
  int32_t m_bStarted = 0;     // the command's first step is done
  int32_t m_StepCounter = 0;  // steps counted by the handler (some wrap at 6 x S)
  int32_t m_OffsetX = 0;      // the target-point offset, dots
  int32_t m_OffsetY = 0;
  int32_t m_Angle = 0;        // degrees
  double m_PhaseX = 0.0;      // a circle's phases, degrees x S
  double m_PhaseY = 0.0;
  int32_t m_PrevFacing = 0;   // the facing after a straight move's last step
  int32_t m_TakenOff = 0;     // a jump has left the ground
  double m_JumpVelocity = 0.0;
  cSafeVector<cMovePoint> m_Points;
  // Movement accumulated by the command, x first; the stop variants of the
  // game object's centre setters zero all four.
  int32_t m_Accumulated[4] = {0, 0, 0, 0};
};

// One installed flow of a character.
struct cFlowState {
  int32_t m_FlowIndex = 0;  // position in the character's flow list (rewritten by every relink)
  // Unique within the character (drawn from its flow-key counter); tags the
  // animations this flow starts, so removing the flow removes them.
  int32_t m_FlowKey = 0;
  cFlow* m_pFlow = nullptr;
  // 1 once the flow's conditions have held (with the flow's latch option the
  // conditions then count as holding for good).
  uint8_t m_CondLatched = 0;
  // The flow's key conditions, in order; the hero's jump reads the last one.
  cSafeVector<cKeyCond*> m_KeyConds;
  // 1 when the key sequence matched at the last check (the hold option).
  int32_t m_KeyMatched = 0;
  // 1 while a key sequence that already fired keeps matching, so holding the
  // last key does not fire it again.
  int32_t m_KeyEdgeLatch = 0;
  // One per command, in command order. A running flow whose list is empty is
  // stopped by the flow pass.
  cSafeVector<cCmdState> m_CmdStates;
  cSafeVector<cFlowAnimeCue> m_Cues;
  int32_t m_Running = 0;
  int32_t m_Paused = 0;
  int32_t m_StoppedForever = 0;
  int32_t m_DeleteRequest = 0;
  int32_t m_CurrentCmd = 0;    // the first command not yet passed
  int32_t m_FrameCounter = 0;  // sub-steps run since the start
  // The first direction key slot held when the flow started: 0 none, 1 to 9.
  int32_t m_TriggerKeySlot = 0;
  // Per-frame guards, cleared once a frame by cCharaBase::ClearFlowFlags.
  int32_t m_TriggeredThisFrame = 0;
  int32_t m_StartedThisFrame = 0;
  // 1 right after a message that continues into the next message finished;
  // the message command reads it.
  int32_t m_MessageChain = 0;
  // Set by a handler that changed the flow list or stopped this flow: the
  // step ends at once.
  int32_t m_Abort = 0;
  cSafeVector<cArrangeEntry> m_Arranges;
  // Counts the starts (wrapping), so that a step sees when the command it
  // ran started the flow again.
  uint32_t m_StartCount = 0;
  // 1 while a trigger-21 flow runs its commands inside StartFlow.
  int32_t m_bRunningAtStart = 0;

  // The flow's group, when the owner's group switches can hold it; else 0.
  int GroupSwitch() const;
  // 0 when the flow was not running. Otherwise: not running, pending arranges
  // dropped, every remaining time 0, and for a flow in a group the owner's
  // group ended switch and group-ended-pending flag raised; 1.
  int Stop(cCharaBase& owner);
  void Pause() { m_Paused = 1; }
  void Resume() { m_Paused = 0; }
  // Stopped for good: the flow pass skips it from now on. A running flow keeps
  // its running flag, but its commands' times end and its group is released
  // as by Stop.
  void StopForever(cCharaBase& owner);
};
