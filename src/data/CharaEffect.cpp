#include "data/CharaEffect.h"

namespace {

constexpr int kCoarsenessVersion = 511;

// Parameter numbers counted from 1, as the effect tables name them.
void SetParam(int32_t (&params)[kEffectParamCount], int number, int32_t value) { params[number - 1] = value; }

}  // namespace

void cKindEffect::Reset() {
  Clear();
  m_nKind = 1;
}

void cKindEffect::RegisterMembers(int) {
  ClearMembers();
  RegisterInt(m_nKind);
  RegisterInt(m_Params);
  RegisterString(m_strName);
}

bool cCharaEffect::Read(cByteReader& in) {
  if (!cDataRecord::Read(in)) return false;
  if (in.Version() < kCoarsenessVersion) {
    if (m_nKind == 4 || m_nKind == 5) SetParam(m_Params, 5, 2);
    else if (m_nKind == 10) SetParam(m_Params, 4, 2);
  }
  return true;
}

bool cScrEffect::Read(cByteReader& in) {
  if (!cDataRecord::Read(in)) return false;
  if (in.Version() < kCoarsenessVersion) {
    if (m_nKind == 6) SetParam(m_Params, 5, 8);
    else if (m_nKind == 7) SetParam(m_Params, 5, 10);
    else if (m_nKind == 10) SetParam(m_Params, 4, 8);
  }
  return true;
}
