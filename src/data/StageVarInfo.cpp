#include "data/StageVarInfo.h"

void cStageVarInfo::RegisterMembers(int) {
  ClearMembers();
  RegisterString(m_strName);
}

bool ReadStageVarInfoVector(cByteReader& in, cSafeVector<cStageVarInfo>& names) { return ReadRecordList(in, names); }

void WriteStageVarInfoVector(cByteWriter& out, cSafeVector<cStageVarInfo>& names) { WriteRecordList(out, names); }
