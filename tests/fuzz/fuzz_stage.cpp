// data\stg4\*.stg4_NNN: a stage with its palette, placements, layers and
// variable names, and the trailer of current files.

#include "data/StageData.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return fuzzsupport::FuzzRecordFile<cStageData>(data, size);
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  cStageData stage;
  std::vector<std::vector<std::uint8_t>> seeds;
  seeds.push_back(stage.MakeFileBytes());

  stage.m_Width = 30;
  stage.m_Height = 15;
  stage.m_PaletteBlocks.resize(3);
  stage.m_PaletteBlocks[2].m_nGraphic = 4;
  cBlockData block;
  block.m_nGraphic = 1;
  block.m_nInheritSource = PALETTE_STAGE;
  block.m_nInheritIndex = 2;
  block.m_InheritFlags[BLOCK_GROUP_GRAPHIC] = 1;
  stage.m_PlacedBlocks.assign(3, block);
  cCharaData hero;
  hero.m_nOperator = CHARA_BY_PLAYER;
  hero.m_nGraphic = 1;
  hero.m_Flows.resize(1);
  stage.m_PlacedCharas.push_back(hero);
  stage.m_PlacedItems.resize(1);
  stage.m_BgLayers.resize(2);
  stage.m_VarNames.resize(4);
  for (int version : {60, 124, 154, 172, 173, 199, 224, 753, DATA_VERSION}) {
    seeds.push_back(stage.MakeFileBytes(version));
  }
  return seeds;
}
