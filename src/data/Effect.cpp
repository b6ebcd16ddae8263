#include "data/Effect.h"

#include "data/Picture.h"

void cEffectFrame::RegisterMembers(int) {
  ClearMembers();
  RegisterInt(m_nPattern);
  RegisterInt(m_nDuration);
}

void cEffect::Reset() {
  Clear();
  m_nCellWidth = 32;
  m_nCellHeight = 32;
  m_nSpare = 0;
  m_Frames.clear();
}

void cEffect::RegisterMembers(int nVersion) {
  ClearMembers();
  if (nVersion >= kDatabaseValueVersion) RegisterInt(m_nValue);
  RegisterInt(m_nCellWidth);
  RegisterInt(m_nCellHeight);
  RegisterInt(m_nSpare);
  RegisterString(m_strName);
  RegisterString(m_strFile);
}

bool cEffect::Read(cByteReader& in) {
  if (!cDataRecord::Read(in)) return false;
  if (!ReadRecordList(in, m_Frames)) return false;
  if (in.Version() < kDatabaseValueResetVersion) m_nValue = 0;
  return true;
}

void cEffect::Write(cByteWriter& out) {
  cDataRecord::Write(out);
  WriteRecordList(out, m_Frames);
}
