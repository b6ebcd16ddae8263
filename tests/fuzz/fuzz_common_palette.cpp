// data\CommonPalette.cplt4: the common palette's block, character and item
// definitions, with their conditions, flows and item commands.

#include "data/Palette.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return fuzzsupport::FuzzRecordFile<cPalette>(data, size);
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  cPalette palette;
  std::vector<std::vector<std::uint8_t>> seeds;
  seeds.push_back(palette.MakeFileBytes());

  palette.m_Blocks.resize(4);
  palette.m_Blocks[1].m_nGraphic = 3;
  palette.m_Blocks[1].m_nContact = BLOCK_CONTACT_DEADLY;
  palette.m_Blocks[2].m_nGraphic = 4;
  palette.m_Blocks[2].m_nInheritSource = PALETTE_COMMON;
  palette.m_Blocks[2].m_nInheritIndex = 1;
  palette.m_Blocks[2].m_InheritFlags[BLOCK_GROUP_CONTACT] = 1;
  palette.m_Blocks[3].m_nGraphic = 5;
  palette.m_Blocks[3].m_nItemPalette = PALETTE_COMMON;
  palette.m_Blocks[3].m_nItemIndex = 1;
  palette.m_Blocks[3].m_Conds.resize(1);
  palette.m_Blocks[3].m_Conds[0].m_nKind = COND_STAGE_VAR;

  palette.m_Charas.resize(3);
  palette.m_Charas[1].m_nGraphic = 2;
  palette.m_Charas[1].m_Conds.resize(1);
  palette.m_Charas[1].m_Flows.resize(1);
  palette.m_Charas[1].m_Flows[0].m_nTrigger = TRIGGER_DAMAGED;
  cCommand shot;
  shot.m_nType = FLOW_CMD_SHOT;
  shot.m_Shot.Create().m_nCount = 2;
  palette.m_Charas[1].m_Flows[0].m_Commands = {shot};
  palette.m_Charas[2].m_nInheritSource = PALETTE_COMMON;
  palette.m_Charas[2].m_nInheritIndex = 1;
  palette.m_Charas[2].m_InheritFlags.assign(CHARA_GROUP_COUNT, 1);

  palette.m_Items.resize(3);
  palette.m_Items[1].m_strName = "コイン";
  cCommand get;
  get.m_nSet = 1;
  get.m_nType = ITEM_CMD_ITEM_GET;
  get.m_Params = {0, 1};
  palette.m_Items[1].m_Commands = {get};
  palette.m_Items[2].m_nGraphicKind = GRAPHIC_SHOT;
  palette.m_Items[2].m_nGraphic = 7;

  // Written without the repairs of a current save, so the seeds still inherit.
  for (int version : {150, 200, 218, 284, DATA_VERSION}) {
    cByteWriter out(version);
    BeginDataWrite(out);
    out.WriteU32(0);
    out.WriteU32(0);
    cPaletteContext unknown;  // no palette known: nothing is repaired
    WriteBlockVector(out, palette.m_Blocks, unknown);
    WriteCharaVector(out, palette.m_Charas, unknown);
    WriteItemVector(out, palette.m_Items, unknown);
    seeds.push_back(out.TakeBytes());
  }
  return seeds;
}
