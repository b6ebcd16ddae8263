#include "data/SwordType.h"

#include "data/Picture.h"

namespace {
constexpr int kSwordMirrorVersion = 138;
}  // namespace

void cSwordStep::Reset() {
  Clear();
  m_bMirrorX = 1;
}

void cSwordStep::RegisterMembers(int nVersion) {
  ClearMembers();
  RegisterInt(m_nOffsetX);
  RegisterInt(m_nOffsetY);
  if (nVersion >= kSwordMirrorVersion) {
    RegisterInt(m_bMirrorX);
    RegisterInt(m_bMirrorY);
  }
  RegisterInt(m_nPosition);
  RegisterInt(m_nSpare);
  RegisterInt(m_nSpare2);
  RegisterInt(m_nWidth);
  RegisterInt(m_nHeight);
  RegisterInt(m_nDuration);
}

void cSwordType::Reset() {
  Clear();
  m_Steps.assign(1, cSwordStep());
  m_Steps[0].m_nDuration = 1;
}

void cSwordType::RegisterMembers(int nVersion) {
  ClearMembers();
  if (nVersion >= kDatabaseValueVersion) RegisterInt(m_nValue);
  RegisterString(m_strName);
  RegisterString(m_strImage);
  RegisterString(m_strImage2);
}

bool cSwordType::Read(cByteReader& in) {
  if (!cDataRecord::Read(in)) return false;
  if (!ReadRecordList(in, m_Steps)) return false;
  if (in.Version() < kDatabaseValueResetVersion) m_nValue = 0;
  return true;
}

void cSwordType::Write(cByteWriter& out) {
  cDataRecord::Write(out);
  WriteRecordList(out, m_Steps);
}
