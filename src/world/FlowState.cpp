#include "world/FlowState.h"

#include "data/Flow.h"
#include "world/CharaBase.h"

namespace {

void ReleaseGroup(const cFlowState& state, cCharaBase& owner) {
  const int group = state.GroupSwitch();
  if (group == 0) return;
  owner.m_GroupEnded[group] = 1;
  owner.m_bGroupEndedPending = 1;
}

}  // namespace

int cFlowState::GroupSwitch() const {
  if (m_pFlow == nullptr) return 0;
  const int group = m_pFlow->m_nGroup;
  return group < kFlowGroupCount ? group : 0;
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
