// data\WorldMap.dat: the world map with its cell kinds, grid and nodes.

#include "data/WorldMap.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return fuzzsupport::FuzzRecordFile<cWorldMap>(data, size);
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  cWorldMap map;
  std::vector<std::vector<std::uint8_t>> seeds;
  seeds.push_back(map.MakeFileBytes());

  map.SetSize(33, 3);
  map.m_Grid[map.CellIndex(32, 2)] = 4;
  cWorldNode node;
  node.m_nX = 5;
  node.m_nY = 1;
  node.m_Stages[0].m_strStageFile = "stage-1.stg4_781";
  node.m_Stages.push_back(cWorldStage());
  map.m_Nodes.push_back(node);
  for (int version : {208, 209, 758, DATA_VERSION}) seeds.push_back(map.MakeFileBytes(version));
  return seeds;
}
