#include "data/StageArea.h"

#include <cstdint>

namespace {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr int kCellDots = 32;

}  // namespace

void cStageArea::RegisterMembers(int nVersion) {
  ClearMembers();
  RegisterInt(m_bLeft);
  if (nVersion >= kStageAreaSidesVersion) {
    RegisterInt(m_bRight);
    RegisterInt(m_bTop);
    RegisterInt(m_bBottom);
  }
  RegisterInt(m_nLeftMargin);
  RegisterInt(m_nRightMargin);
  RegisterInt(m_nTopMargin);
  RegisterInt(m_nBottomMargin);
}

void cStageArea::Set(int32_t bLeft, int32_t bRight, int32_t bTop, int32_t bBottom, int32_t nLeftMargin,
                     int32_t nRightMargin, int32_t nTopMargin, int32_t nBottomMargin) {
  m_bLeft = bLeft;
  m_bRight = bRight;
  m_bTop = bTop;
  m_bBottom = bBottom;
  m_nLeftMargin = nLeftMargin;
  m_nRightMargin = nRightMargin;
  m_nTopMargin = nTopMargin;
  m_nBottomMargin = nBottomMargin;
}

bool cStageArea::IsOutside(int nCameraX, int nCameraY, int nLeft, int nTop, int nRight, int nBottom, int nAreaLimitX,
                           int nAreaLimitY) const {
  // Margins come from the file: the sums are taken in 64 bits so that no
  // stored value can overflow them.
  const int64_t cx = nCameraX;
  const int64_t cy = nCameraY;
  const bool bOnScreen = nRight >= cx && nLeft < cx + kScreenWidth && nBottom >= cy && nTop < cy + kScreenHeight;
  if (bOnScreen) return false;
  if (m_bLeft && cx - int64_t{kCellDots} * m_nLeftMargin >= nRight) return true;
  if (m_bRight && cx + int64_t{kCellDots} * m_nRightMargin + kScreenWidth <= nLeft) return true;
  if (m_bBottom && cy + int64_t{kCellDots} * m_nBottomMargin + kScreenHeight <= nTop) return true;
  if (m_bTop && cy - int64_t{kCellDots} * m_nTopMargin >= nBottom) return true;
  if (nLeft <= 0 || nRight >= int64_t{nAreaLimitX} + 639) return true;
  if (nTop <= 0 || nBottom >= int64_t{nAreaLimitY} + 639) return true;
  return false;
}
