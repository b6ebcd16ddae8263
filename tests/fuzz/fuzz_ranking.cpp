// The ranking files of the stages ("user_data\<mode>\<stage>rkg").

#include "fuzz/FuzzSupport.h"
#include "world/Ranking.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return fuzzsupport::FuzzRecordFile<cRankFile>(data, size);
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  std::vector<std::vector<std::uint8_t>> seeds;
  cRankFile file;
  seeds.push_back(file.MakeFileBytes());
  file.m_Boards[0].Insert("abc", 12000);
  file.m_Boards[0].Insert("de", 9000);
  file.m_Boards[2].Insert("f", 4599);
  file.m_Boards[4].Insert("\x82\xa0\x82\xa2", -3);
  seeds.push_back(file.MakeFileBytes());
  seeds.push_back(file.MakeFileBytes(150));
  return seeds;
}
