#include "data/KeyCond.h"

#include "core/Log.h"

void cKeyCond::Reset() {
  Clear();
  // The keys are not registered members: Clear leaves them, and only the
  // length is set here (keys a shorter list lacks are not tested).
  m_Keys.resize(kKeyCondKeyCount, KEY_STATE_ANY);
}

void cKeyCond::RegisterMembers(int) {
  ClearMembers();
  RegisterByte(m_bFacingRelative);
  RegisterShort(m_nMinFrames);
  RegisterShort(m_nMaxFrames);
  RegisterByte(m_bAnyDuration);
  RegisterByte(m_nRule);
}

bool cKeyCond::Read(cByteReader& in) {
  if (!cDataRecord::Read(in)) return false;
  if (!ReadValueList(in, m_Keys)) return false;
  if (m_Keys.size() != kKeyCondKeyCount) {
    LogPrintf("cKeyCond : %d keys in the file, taken as %d", static_cast<int>(m_Keys.size()), kKeyCondKeyCount);
    m_Keys.resize(kKeyCondKeyCount, KEY_STATE_ANY);
  }
  return true;
}

void cKeyCond::Write(cByteWriter& out) {
  cDataRecord::Write(out);
  WriteValueList(out, m_Keys);
}
