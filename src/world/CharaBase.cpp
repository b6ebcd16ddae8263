#include "world/CharaBase.h"

#include "flow/FlowState.h"

namespace {

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
  // The graphic's centre on screen as the last UpdateRect left it.
  const int centre = m_ScrLeft + (m_GfxW >> 1);
  if (centre < x) {
    m_X += static_cast<double>(int64_t{x} - centre);
  } else {
    m_X -= static_cast<double>(int64_t{centre} - x);
  }
  ConstrainX();
}

void cCharaBase::SetCenterXStop(int x, cCmdState* moveState) {
  SetCenterX(x);
  StopMovement(moveState);
}

void cCharaBase::SetCenterY(int y) {
  const int centre = m_ScrTop + (m_GfxH >> 1);
  if (centre < y) {
    m_Y += static_cast<double>(int64_t{y} - centre);
  } else {
    m_Y -= static_cast<double>(int64_t{centre} - y);
  }
  ConstrainY();
}

void cCharaBase::SetCenterYStop(int y, cCmdState* moveState) {
  SetCenterY(y);
  StopMovement(moveState);
}
