#pragma once
// Chara effects (CharaEffect.dat, applied to a character's image) and screen
// effects (ScrEffect.dat). Both are a kind and five parameters whose meaning
// depends on the kind; kind 0 is no effect.

#include <cstdint>
#include <string>

#include "data/DataRecord.h"

inline constexpr int kEffectParamCount = 5;

// The members both effect records share.
class cKindEffect : public cDataRecord {
 public:
  cKindEffect() { Reset(); }
  // Kind 1, parameters 0.
  void Reset();

  void RegisterMembers(int nVersion) override;

  std::string m_strName;
  int32_t m_nKind = 1;
  // Parameters 1 to 5 at indexes 0 to 4, stored as one block.
  int32_t m_Params[kEffectParamCount] = {};
};

class cCharaEffect : public cKindEffect {
 public:
  // Files older than 511 lack the wave and circle coarseness: kinds 4 and 5
  // get parameter 5 = 2, kind 10 parameter 4 = 2.
  bool Read(cByteReader& in) override;
};

class cScrEffect : public cKindEffect {
 public:
  // Files older than 511: kind 6 gets parameter 5 = 8, kind 7 parameter 5 =
  // 10, kind 10 parameter 4 = 8.
  bool Read(cByteReader& in) override;
};
