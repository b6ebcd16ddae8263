#pragma once
// cStageArea: one removal area of a stage. An object that goes further beyond
// a side of the screen than that side's margin (in 32-dot map cells) is outside
// the area, and the play step removes it. A stage keeps five of them (see
// cStageData::m_Areas).

#include <cstdint>

#include "data/DataRecord.h"

// Files older than this hold only the left flag and the four margins.
inline constexpr int kStageAreaSidesVersion = 125;

class cStageArea : public cDataRecord {
 public:
  cStageArea() { Clear(); }

  void RegisterMembers(int nVersion) override;

  // All eight values, in file order.
  void Set(int32_t bLeft, int32_t bRight, int32_t bTop, int32_t bBottom, int32_t nLeftMargin, int32_t nRightMargin,
           int32_t nTopMargin, int32_t nBottomMargin);

  // True when an object with the rectangle (left, top, right, bottom), in
  // world dots, lies outside this area with the camera at (cx, cy) on a
  // 640 by 480 screen. An object on the screen is never outside; beyond the
  // stage's area limits (nAreaLimitX / nAreaLimitY, the stage's m_AreaLimitX
  // and m_AreaLimitY) or at or left of / above world dot 0 it always is.
  // Positions are whole dots (truncated by the caller).
  bool IsOutside(int nCameraX, int nCameraY, int nLeft, int nTop, int nRight, int nBottom, int nAreaLimitX,
                 int nAreaLimitY) const;

  int32_t m_bLeft = 0;
  int32_t m_bRight = 0;
  int32_t m_bTop = 0;
  int32_t m_bBottom = 0;
  int32_t m_nLeftMargin = 0;
  int32_t m_nRightMargin = 0;
  int32_t m_nTopMargin = 0;
  int32_t m_nBottomMargin = 0;
};
