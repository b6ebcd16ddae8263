#pragma once
// Animated effects (Effect.dat): an image cut into cells of one size, and the
// frames that play them.

#include <cstdint>
#include <string>

#include "core/SafeVector.h"
#include "data/DataRecord.h"

// One frame of an effect: the cell to show and for how long.
class cEffectFrame : public cDataRecord {
 public:
  cEffectFrame() = default;
  cEffectFrame(int32_t nPattern, int32_t nDuration) : m_nPattern(nPattern), m_nDuration(nDuration) {}

  void RegisterMembers(int nVersion) override;

  int32_t m_nPattern = 0;
  // Tenths of a second.
  int32_t m_nDuration = 0;
};

class cEffect : public cDataRecord {
 public:
  // Cells of 32 by 32 dots.
  cEffect() { Reset(); }
  void Reset();

  void RegisterMembers(int nVersion) override;
  bool Read(cByteReader& in) override;
  void Write(cByteWriter& out) override;

  std::string m_strName;
  int32_t m_nValue = 0;
  // The effect image.
  std::string m_strFile;
  int32_t m_nCellWidth = 32;
  int32_t m_nCellHeight = 32;
  int32_t m_nSpare = 0;
  cSafeVector<cEffectFrame> m_Frames;
};
