#pragma once
// The flow runtime: installing a character's flows (unrolling their loops,
// setting up each command's time and movement, scheduling the animations the
// commands ask for), removing and copying them, the animation cues, and the
// flow pass that the character update runs once per sub-step.
//
// The flow pass, in this order (RunFlowPass):
//   1. the animation cues whose frame has come (RunFlowAnimeCues);
//   2. every flow state in order: skipped unless running; a running flow
//      with no commands is stopped; skipped when paused or stopped forever,
//      and in death mode unless its trigger is 3 ("死亡した時"); stepped, and
//      stopped when its last command finished. After each stepped flow the
//      pass ends at once (result 1) when the character vanished, or, outside
//      death mode, when the flow's trigger is not 3 and hp is 0 or less;
//   3. the scene's current character, flow state and command state cleared;
//   4. the hero applies the change-flow commands queued meanwhile;
//   5. the flow states that asked to be deleted are removed;
//   6. every group whose ended switch is set is freed (running and ended
//      switches cleared).
// The per-frame flags are cleared apart, once a frame
// (cCharaBase::ClearFlowFlags).
//
// Everything here runs on the thread that runs game logic.

#include <cstdint>

#include "core/SafeVector.h"

class cCharaBase;
class cCommand;
class cFlow;
struct cCmdState;
struct cFlowState;

// The stage's sub-steps per frame S (at least 1), and 6 x S: the sub-steps of
// a tenth of a second.
int FlowSubSteps();
int FlowTicksPerTenth();

// The flow operations of cCharaBase (world/FlowServices.h tells them).
int InstallFlows(cCharaBase& chara, cSafeVector<cFlow>& flows, int addMode, int position);
// Stops state `index` (Stop), removes the animations tagged with its flow
// key, erases the flow and its state, and relinks. An index outside the list
// changes nothing.
void RemoveFlow(cCharaBase& chara, int index);
// RemoveFlow for the flow operation: at once for a character whose flows are
// not running, but for the scene's current character (whose flow state is
// being stepped) a delete request that its flow pass serves at its end.
void RequestFlowRemoval(cCharaBase& chara, int index);
// ID 1 or more: removes (as RemoveFlow) every flow of that ID (flows of ID 0
// never match); the index of the first removed, or -1 when none matched.
// ID 0: stops every state, removes every state and flow and the whole
// animation playback list; 0.
int RemoveFlowsById(cCharaBase& chara, int flowId);
// Replaces the character's states by a copy of `states`, relinked to the
// character's own flows.
void CopyFlowStates(cCharaBase& chara, const cSafeVector<cFlowState>& states);
void RunFlowAnimeCues(cCharaBase& chara);
int RunFlowPass(cCharaBase& chara, int deathMode);

// Calls the handler of the command's type (kFlowCmdHandlers) for the
// character; a type outside the table does nothing.
void DispatchFlowCommand(cCharaBase& chara, cCmdState& state);

// The time conversion of a movement command, for copy number `copy`:
// distance d = base + copy x step (the base alone when the step is 0), in
// dots, or half blocks of 16 dots unless the movement's unit byte is 1. Time
// mode 1: speed = d / duration (d when there is no duration). Time mode 2:
// duration = d / speed truncated (unchanged for speed 0; made positive unless
// the system data's negative-move-time switch is set). Other modes, and a
// command without movement parameters, change nothing.
void ConvertMoveTime(cCmdState& state, const cCommand& command, int copy);

// State initialisers of the movement commands (kCmdStateInits): the timed
// moves convert their time when their time mode is not 0; the homing move
// first takes its re-aim interval ((sluggishness + step x copy) x S
// sub-steps).
void PrepareTimedMove(cCmdState& state, cCharaBase& chara);
void PrepareHomingMove(cCmdState& state, cCharaBase& chara);
