#include "flow/FlowState.h"

#include "core/ErrorBox.h"
#include "data/Flow.h"
#include "flow/Arrange.h"
#include "flow/FlowCommands.h"
#include "flow/FlowRuntime.h"
#include "world/CharaBase.h"
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

// The group switches of a flow's group, when the flow has a group the
// switches can hold.
int FlowGroup(const cFlowState& state) {
  if (state.m_pFlow == nullptr) return 0;
  const int group = state.m_pFlow->m_nGroup;
  return group < kFlowGroupCount ? group : 0;
}

void ReleaseGroup(const cFlowState& state, cCharaBase& owner) {
  const int group = FlowGroup(state);
  if (group == 0) return;
  owner.m_GroupEnded[group] = 1;
  owner.m_bGroupEndedPending = 1;
}

}  // namespace

// ---- cCmdState -------------------------------------------------------------------

void cCmdState::Reset(cCharaBase& chara, cFlowState& flow) {
  m_Remaining = m_Duration;
  m_bDone = 0;
  m_bStarted = 0;
  m_StepCounter = 0;
  m_OffsetX = m_OffsetY = 0;
  m_Angle = 0;
  m_PhaseX = m_PhaseY = 0.0;
  m_PrevFacing = 0;
  m_TakenOff = 0;
  m_JumpVelocity = 0.0;
  m_Points.clear();
  for (int32_t& value : m_Accumulated) value = 0;
  if (m_pCommand == nullptr) return;
  const bool arrange = m_pCommand->m_nSet == 0 && m_pCommand->m_nType == FLOW_CMD_ARRANGE;
  if (!arrange) {
    ApplyFlowArranges(*m_pCommand, chara, flow);
    flow.m_Arranges.clear();
  }
}

int cCmdState::Run(cCharaBase& chara) {
  if (g_GameScene != nullptr) g_GameScene->m_pCurCmdState = this;
  DispatchFlowCommand(chara, *this);
  const int64_t left = int64_t{m_Remaining} - 1;
  if (left > 0) {
    m_Remaining = static_cast<int32_t>(left);
    return 0;
  }
  m_Remaining = 0;
  return 1;
}

// ---- cFlowState ------------------------------------------------------------------

void cFlowState::Start(cCharaBase& owner) {
  m_Running = 1;
  m_CurrentCmd = 0;
  m_FrameCounter = 0;
  m_MessageChain = 0;
  for (cCmdState& state : m_CmdStates) state.m_bDone = 0;
  m_StartedThisFrame = 1;
  ++m_StartCount;
  if (m_pFlow == nullptr) return;

  const int group = FlowGroup(*this);
  if (m_pFlow->m_nTrigger == TRIGGER_ALWAYS && group != 0) {
    owner.m_GroupRunning[group] = 1;
    owner.m_GroupStarted[group] = 1;
  }

  if (m_pFlow->m_nTrigger != TRIGGER_STAGE_START || m_CmdStates.empty()) return;
  // A command of this run that starts the flow again (itself, or through
  // another stage-start flow that starts it back) would run the list again
  // from inside itself, without end: the run already under way goes on.
  if (m_bRunningAtStart != 0) return;
  m_bRunningAtStart = 1;
  RunStageStartCommands(owner);
  m_bRunningAtStart = 0;
  Stop(owner);
}

void cFlowState::RunStageStartCommands(cCharaBase& owner) {
  // Before the stage starts there is no time to wait: only the commands that
  // run with the next one and act at once (types 16 on) run, once each.
  SetCurrentFlowState(this);
  m_Abort = 0;
  for (int i = 0; i < static_cast<int>(m_CmdStates.size()); ++i) {
    cCmdState& state = m_CmdStates[i];
    const cCommand* command = state.m_pCommand;
    if (command == nullptr || command->m_nSet != 0 || command->m_nType < FLOW_CMD_FLOW_OPERATION ||
        command->m_bRunWithNext != 1) {
      continue;
    }
    state.Reset(owner, *this);
    if (state.Run(owner) == 0) {
      DebugErrorBoxf("使用時間0なので、ここにくることはあり得ないはず！");
    }
    if (m_Abort != 0) break;
    // Run may have changed the list; the index still names this command.
    m_CmdStates[i].m_bDone = 1;
  }
}

int cFlowState::Step(cCharaBase& owner) {
  SetCurrentFlowState(this);
  m_Abort = 0;
  const int count = static_cast<int>(m_CmdStates.size());
  // m_CurrentCmd is read and advanced in place: a command that stops, pauses
  // or restarts this flow returns at once, and what it left must stand.
  for (int i = 0; i <= m_CurrentCmd; ++i) {
    if (i >= count || m_CmdStates[i].m_bDone != 0) continue;
    cCmdState& state = m_CmdStates[i];
    if (state.m_Remaining == 0) {
      state.Reset(owner, *this);
      if (state.m_pCommand != nullptr && !IsChainingMessage(*state.m_pCommand) && !IsNoWait(state)) {
        m_MessageChain = 0;
      }
    }
    const bool noWait = IsNoWait(state);
    const uint32_t run = m_StartCount;
    const int finished = state.Run(owner);
    // Started again by its own command: Start has put the flow back on its
    // first command with nothing done, and it begins there on the next pass.
    if (m_StartCount != run) return 0;
    if (noWait) {
      if (finished != 0) {
        m_CmdStates[i].m_bDone = 1;
        if (i + 1 >= count) return 1;
      }
      if (i == m_CurrentCmd) ++m_CurrentCmd;
      if (m_Abort != 0) return 0;
      continue;
    }
    if (finished != 0) {
      cCmdState& done = m_CmdStates[i];
      done.m_bDone = 1;
      if (done.m_pCommand != nullptr && IsChainingMessage(*done.m_pCommand)) m_MessageChain = 1;
      if (i + 1 >= count) return 1;
      ++m_CurrentCmd;
      break;
    }
    if (m_Abort != 0) return 0;
  }
  if (count > 0 && m_CmdStates[count - 1].m_bDone != 0) return 1;
  ++m_FrameCounter;
  return 0;
}

int cFlowState::Stop(cCharaBase& owner) {
  if (m_Running == 0) return 0;
  m_Running = 0;
  m_Arranges.clear();
  for (cCmdState& state : m_CmdStates) state.m_Remaining = 0;
  ReleaseGroup(*this, owner);
  return 1;
}

void cFlowState::StopForever(cCharaBase& owner) {
  m_StoppedForever = 1;
  if (m_Running == 0) return;
  for (cCmdState& state : m_CmdStates) state.m_Remaining = 0;
  ReleaseGroup(*this, owner);
}
