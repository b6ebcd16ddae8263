#include "world/CharaBase.h"

#include "flow/FlowState.h"

namespace {

// Moves a position so that the graphic's centre on screen, as the last
// UpdateRect left it (screen edge plus half the size), lands on `target`.
void MoveCentreTo(double& position, int screenEdge, int size, int target) {
  const int centre = screenEdge + (size >> 1);
  if (centre < target) {
    position += static_cast<double>(int64_t{target} - centre);
  } else {
    position -= static_cast<double>(int64_t{centre} - target);
  }
}

void StopMovement(cCmdState* moveState) {
  if (moveState == nullptr) return;
  for (int32_t& value : moveState->m_Accumulated) value = 0;
}

}  // namespace

void cCharaBase::SetCenter(int x, int y) {
  SetCenterX(x);
  SetCenterY(y);
}

void cCharaBase::SetCenterStop(int x, int y, cCmdState* moveState) {
  SetCenter(x, y);
  StopMovement(moveState);
}

void cCharaBase::SetCenterX(int x) {
  MoveCentreTo(m_X, m_ScrLeft, m_GfxW, x);
  ConstrainX();
}

void cCharaBase::SetCenterXStop(int x, cCmdState* moveState) {
  SetCenterX(x);
  StopMovement(moveState);
}

void cCharaBase::SetCenterY(int y) {
  MoveCentreTo(m_Y, m_ScrTop, m_GfxH, y);
  ConstrainY();
}

void cCharaBase::SetCenterYStop(int y, cCmdState* moveState) {
  SetCenterY(y);
  StopMovement(moveState);
}
