#include "data/BmpCharaExc.h"

#include "data/Picture.h"

namespace {
constexpr int kBmpValueVersion = 152;
constexpr int kSizedCellsVersion = 172;
}  // namespace

cBmpCharaExc cBmpCharaExc::ListDefault() {
  cBmpCharaExc entry;
  entry.m_bSizedCells = 0;
  entry.m_nCellFactor = 2;
  return entry;
}

void cBmpCharaExc::RegisterMembers(int nVersion) {
  ClearMembers();
  if (nVersion >= kBmpValueVersion) RegisterInt(m_nValue);
  if (nVersion >= kSizedCellsVersion) {
    RegisterInt(m_bSizedCells);
    RegisterInt(m_nCellFactor);
  }
  RegisterString(m_strName);
  RegisterString(m_strFile);
}

bool cBmpCharaExc::Read(cByteReader& in) {
  if (!cDataRecord::Read(in)) return false;
  if (in.Version() < kDatabaseValueResetVersion) m_nValue = 0;
  return true;
}
