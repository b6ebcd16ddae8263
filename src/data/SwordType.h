#pragma once
// Sword types (SwordType.dat): the frames of a sword swing and its images.

#include <cstdint>
#include <string>

#include "core/SafeVector.h"
#include "data/DataRecord.h"

// Where a sword step stands relative to its owner.
enum eSwordPosition : int {
  SWORD_POS_FRONT = 0,
  SWORD_POS_BACK = 1,
  SWORD_POS_ABOVE = 2,
  SWORD_POS_BELOW = 3,
};

// One frame of a sword swing. The two spare values are carried for the editor.
class cSwordStep : public cDataRecord {
 public:
  // A new step mirrors its x offset.
  cSwordStep() { Reset(); }
  void Reset();

  void RegisterMembers(int nVersion) override;

  int32_t m_nOffsetX = 0;
  int32_t m_nOffsetY = 0;
  // 1: the offset is negated when the owner faces the other way.
  int32_t m_bMirrorX = 1;
  int32_t m_bMirrorY = 0;
  int32_t m_nPosition = SWORD_POS_FRONT;
  int32_t m_nSpare = 0;
  int32_t m_nSpare2 = 0;
  int32_t m_nWidth = 0;
  int32_t m_nHeight = 0;
  // Tenths of a second.
  int32_t m_nDuration = 0;
};

class cSwordType : public cDataRecord {
 public:
  // One step of duration 1.
  cSwordType() { Reset(); }
  void Reset();

  void RegisterMembers(int nVersion) override;
  bool Read(cByteReader& in) override;
  void Write(cByteWriter& out) override;

  std::string m_strName;
  int32_t m_nValue = 0;
  std::string m_strImage;
  std::string m_strImage2;
  cSafeVector<cSwordStep> m_Steps;
};
