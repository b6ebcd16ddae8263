#pragma once
// cStageVarInfo: the name of one stage variable. A stage keeps one per stage
// variable; the player keeps and copies the names and never shows them.

#include <string>

#include "core/SafeVector.h"
#include "data/DataRecord.h"

class cStageVarInfo : public cDataRecord {
 public:
  cStageVarInfo() { Clear(); }

  void RegisterMembers(int nVersion) override;

  std::string m_strName;
};

// A stage's variable-name list: u32 n, then n names, each from a default one.
bool ReadStageVarInfoVector(cByteReader& in, cSafeVector<cStageVarInfo>& names);
void WriteStageVarInfoVector(cByteWriter& out, cSafeVector<cStageVarInfo>& names);
