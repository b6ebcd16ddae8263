#include "flow/FlowStep.h"

#include "core/ErrorBox.h"
#include "data/Flow.h"
#include "flow/Arrange.h"
#include "flow/FlowCommands.h"
#include "flow/FlowRuntime.h"
#include "world/CharaBase.h"
#include "world/FlowState.h"
#include "world/GameScene.h"

namespace {

// A message whose parameters 15 and 6 are both 0 continues into the message
// that follows it, and a command between them breaks the chain.
bool IsChainingMessage(const cCommand& command) {
  if (command.m_nSet != 0 || command.m_nType != FLOW_CMD_MESSAGE) return false;
  if (command.m_Params.size() <= 15) return false;
  return command.m_Params[15] == 0 && command.m_Params[6] == 0;
}

bool IsNoWait(const cCmdState& state) { return state.m_pCommand != nullptr && state.m_pCommand->m_bRunWithNext == 1; }

void SetCurrentFlowState(cFlowState* state) {
  if (g_GameScene != nullptr) g_GameScene->m_pCurFlowState = state;
}

// Every start of a command: remaining = duration; done and the work words
// cleared; unless the command is an arrange command, the pending arranges of
// `flow` applied to the command, then dropped.
void ResetCommand(cCmdState& state, cCharaBase& chara, cFlowState& flow) {
  state.m_Remaining = state.m_Duration;
  state.m_bDone = 0;
  state.m_bStarted = 0;
  state.m_StepCounter = 0;
  state.m_OffsetX = state.m_OffsetY = 0;
  state.m_Angle = 0;
  state.m_PhaseX = state.m_PhaseY = 0.0;
  state.m_PrevFacing = 0;
  state.m_TakenOff = 0;
  state.m_JumpVelocity = 0.0;
  state.m_Points.clear();
  for (int32_t& value : state.m_Accumulated) value = 0;
  if (state.m_pCommand == nullptr) return;
  const bool arrange = state.m_pCommand->m_nSet == 0 && state.m_pCommand->m_nType == FLOW_CMD_ARRANGE;
  if (!arrange) {
    ApplyFlowArranges(*state.m_pCommand, chara, flow);
    flow.m_Arranges.clear();
  }
}

// Runs the command's handler once for `chara` (the scene's current command
// state = `state`), then counts one sub-step off: 1 when the command has
// finished (remaining reached 0), else 0. A duration of 0 or 1 runs once.
int RunCommand(cCmdState& state, cCharaBase& chara) {
  if (g_GameScene != nullptr) g_GameScene->m_pCurCmdState = &state;
  DispatchFlowCommand(chara, state);
  const int64_t left = int64_t{state.m_Remaining} - 1;
  if (left > 0) {
    state.m_Remaining = static_cast<int32_t>(left);
    return 0;
  }
  state.m_Remaining = 0;
  return 1;
}

// The trigger-21 run of StartFlow.
void RunStageStartCommands(cFlowState& flow, cCharaBase& owner) {
  // Before the stage starts there is no time to wait: only the commands that
  // run with the next one and act at once (types 16 on) run, once each.
  SetCurrentFlowState(&flow);
  flow.m_Abort = 0;
  for (int i = 0; i < static_cast<int>(flow.m_CmdStates.size()); ++i) {
    cCmdState& state = flow.m_CmdStates[i];
    const cCommand* command = state.m_pCommand;
    if (command == nullptr || command->m_nSet != 0 || command->m_nType < FLOW_CMD_FLOW_OPERATION ||
        command->m_bRunWithNext != 1) {
      continue;
    }
    ResetCommand(state, owner, flow);
    if (RunCommand(state, owner) == 0) {
      DebugErrorBoxf("使用時間0なので、ここにくることはあり得ないはず！");
    }
    if (flow.m_Abort != 0) break;
    // The command may have changed the list; the index still names it.
    flow.m_CmdStates[i].m_bDone = 1;
  }
}

}  // namespace

void StartFlow(cFlowState& flow, cCharaBase& owner) {
  flow.m_Running = 1;
  flow.m_CurrentCmd = 0;
  flow.m_FrameCounter = 0;
  flow.m_MessageChain = 0;
  for (cCmdState& state : flow.m_CmdStates) state.m_bDone = 0;
  flow.m_StartedThisFrame = 1;
  ++flow.m_StartCount;
  if (flow.m_pFlow == nullptr) return;

  const int group = flow.GroupSwitch();
  // A flow stopped for ever is never stepped again: claiming its group would
  // keep the group's other always-running flows out for the rest of the stage.
  if (flow.m_pFlow->m_nTrigger == TRIGGER_ALWAYS && group != 0 && flow.m_StoppedForever == 0) {
    owner.m_GroupRunning[group] = 1;
    owner.m_GroupStarted[group] = 1;
    // A stop earlier in this pass (a restart stops first) marked the group
    // ended; the pass's end would free the group under the flow running again.
    owner.m_GroupEnded[group] = 0;
  }

  if (flow.m_pFlow->m_nTrigger != TRIGGER_STAGE_START || flow.m_CmdStates.empty()) return;
  // A command of this run that starts the flow again (itself, or through
  // another stage-start flow that starts it back) would run the list again
  // from inside itself, without end: the run already under way goes on.
  if (flow.m_bRunningAtStart != 0) return;
  flow.m_bRunningAtStart = 1;
  RunStageStartCommands(flow, owner);
  flow.m_bRunningAtStart = 0;
  flow.Stop(owner);
}

int StepFlow(cFlowState& flow, cCharaBase& owner) {
  SetCurrentFlowState(&flow);
  flow.m_Abort = 0;
  const int count = static_cast<int>(flow.m_CmdStates.size());
  // m_CurrentCmd is read and advanced in place: a command that stops, pauses
  // or restarts this flow returns at once, and what it left must stand.
  for (int i = 0; i <= flow.m_CurrentCmd; ++i) {
    if (i >= count || flow.m_CmdStates[i].m_bDone != 0) continue;
    cCmdState& state = flow.m_CmdStates[i];
    if (state.m_Remaining == 0) {
      ResetCommand(state, owner, flow);
      if (state.m_pCommand != nullptr && !IsChainingMessage(*state.m_pCommand) && !IsNoWait(state)) {
        flow.m_MessageChain = 0;
      }
    }
    const bool noWait = IsNoWait(state);
    const uint32_t run = flow.m_StartCount;
    const int finished = RunCommand(state, owner);
    // Started again by its own command: StartFlow has put the flow back on
    // its first command with nothing done, and it begins there on the next
    // pass.
    if (flow.m_StartCount != run) return 0;
    if (noWait) {
      if (finished != 0) {
        flow.m_CmdStates[i].m_bDone = 1;
        if (i + 1 >= count) return 1;
      }
      if (i == flow.m_CurrentCmd) ++flow.m_CurrentCmd;
      if (flow.m_Abort != 0) return 0;
      continue;
    }
    if (finished != 0) {
      cCmdState& done = flow.m_CmdStates[i];
      done.m_bDone = 1;
      if (done.m_pCommand != nullptr && IsChainingMessage(*done.m_pCommand)) flow.m_MessageChain = 1;
      if (i + 1 >= count) return 1;
      ++flow.m_CurrentCmd;
      break;
    }
    if (flow.m_Abort != 0) return 0;
  }
  if (count > 0 && flow.m_CmdStates[count - 1].m_bDone != 0) return 1;
  ++flow.m_FrameCounter;
  return 0;
}
