#include "flow/FlowState.h"

// Stepping and stopping a flow belong to the flow runtime; until it is built
// a flow has nothing to run and never counts as running.

int cFlowState::Step() { return 1; }

int cFlowState::Stop(cCharaBase&) {
  if (m_Running == 0) return 0;
  m_Running = 0;
  return 1;
}
