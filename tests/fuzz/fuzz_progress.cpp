// The progress record: the story save slots, Challenge.dat and the tail of a
// replay file.

#include "data/Progress.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return fuzzsupport::FuzzRecordFile<cProgress>(data, size);
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  cProgress progress;
  std::vector<std::vector<std::uint8_t>> seeds;
  seeds.push_back(progress.MakeFileBytes());

  progress.SetStageName("stage-1.stg4_781", 1, 12, 34);
  progress.RecordStageResult(progress.m_strStageName, progress.m_strResultKey, 1, 12, 34, 500);
  progress.m_StageNumbers.assign(40, cIntPair(1, 20));
  progress.m_CarryFlags[0] = 1;
  progress.m_Statuses[0].m_Chara.m_Flows.push_back(cFlow());
  progress.m_nMapX = 3;
  progress.m_SaveTime = cSaveTime{2012, 4, 5, 27, 9, 5, 0, 0};
  for (int version : {160, 500, 753, 758, DATA_VERSION}) seeds.push_back(progress.MakeFileBytes(version));
  return seeds;
}
