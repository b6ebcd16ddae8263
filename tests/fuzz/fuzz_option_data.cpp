// user_data\Option.dat: the user options.

#include "data/OptionData.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return fuzzsupport::FuzzRecordFile<cOptionData>(data, size);
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  cOptionData options;
  std::vector<std::vector<std::uint8_t>> seeds;
  seeds.push_back(options.MakeFileBytes());
  options.m_nColourSet = 23;
  options.m_bMusic = 0;
  options.m_nSeVolume = 10;
  options.m_nRankMode = 3;
  options.m_strRankName = "xyz";
  seeds.push_back(options.MakeFileBytes());
  return seeds;
}
