#include "world/ScrollAxis.h"

#include <algorithm>
#include <limits>

#include "core/Numeric.h"
#include "data/StageData.h"

int BitLength(int64_t value) {
  int bits = 0;
  while (value > 0) {
    value >>= 1;
    ++bits;
  }
  return bits;
}

void cScrollAxis::SetMap(int axis, int mapCells, int extentValue) {
  m_Axis = axis;
  m_ScreenSize = axis == SCROLL_AXIS_X ? kScreenWidth : kScreenHeight;
  m_Margin = kMapMarginCells;
  m_AreaStart = kMapMarginCells * kCellDots;
  // Sizes come from the stage file: every sum is taken in 64 bits.
  const int64_t cells = int64_t{mapCells} + 2 * kMapMarginCells;
  m_CellCount = ClampToI32(cells);
  m_AreaEnd = ClampToI32(std::max<int64_t>(0, (cells - kMapMarginCells) * kCellDots));
  m_Extent = ClampToI32(int64_t{extentValue} + kScreenWidth);
  if (axis == SCROLL_AXIS_X) {
    m_RowBits = BitLength(int64_t{mapCells} + 2 * kMapMarginCells - 1);
    m_RowStride = m_RowBits < 31 ? (1 << m_RowBits) : std::numeric_limits<int32_t>::max();
  } else {
    m_RowBits = 0;
    m_RowStride = m_CellCount;
  }
}

void cScrollAxis::Clamp() {
  const double farthest = static_cast<double>(int64_t{m_Max} - m_ScreenSize);
  m_AtLimit = 0;
  if (m_Position < m_Min) {
    m_Position = m_Min;
    m_AtLimit = 1;
  } else if (m_Position + m_ScreenSize >= m_Max) {
    m_Position = std::max(farthest, static_cast<double>(m_Min));
    m_AtLimit = 1;
  }
}

void cScrollAxis::Advance() {
  m_Position += m_Speed;
  Clamp();
}

void cScrollAxis::SetSpeed(int on, int n) {
  if (on == 0) {
    m_Speed = 0.0;
    m_Moving = 0;
    return;
  }
  // A stage always has at least one sub-step; the guard keeps a broken one
  // from dividing by zero.
  const double subSteps = g_Stage.SubStepsAtLeastOneF();
  m_Speed = n * 0.1 / subSteps;
  m_Moving = 1;
}

void cScrollAxis::SetBounds(int a, int b, int lowOn, int highOn) {
  m_Min = lowOn != 0 ? ClampToI32(int64_t{m_AreaStart} + int64_t{a} * kCellDots) : m_AreaStart;
  if (highOn != 0) {
    m_Max = std::max(m_Min, ClampToI32(int64_t{m_AreaStart} + (int64_t{b} + 1) * kCellDots));
  } else {
    m_Max = m_AreaEnd;
  }
}
