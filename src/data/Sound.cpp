#include "data/Sound.h"

#include "data/Picture.h"

void cSound::RegisterMembers(int nVersion) {
  ClearMembers();
  if (nVersion >= kDatabaseValueVersion) RegisterInt(m_nValue);
  RegisterString(m_strName);
  RegisterString(m_strFile);
}

bool cSound::Read(cByteReader& in) {
  if (!cDataRecord::Read(in)) return false;
  if (in.Version() < kDatabaseValueResetVersion) m_nValue = 0;
  return true;
}
