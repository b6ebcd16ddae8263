#include "data/BlockData.h"

#include "data/DefinitionList.h"

namespace {

// The fewest bytes a block takes in a file: the two record counts, the cell
// position and the two list counts.
constexpr std::size_t kMinBlockBytes = 4 + 4 + 4 + 4 + 4;

}  // namespace

cBlockData::cBlockData() { Reset(); }

void cBlockData::Reset() {
  Clear();
  m_nContact = BLOCK_CONTACT_SOLID;
  m_InheritFlags.assign(BLOCK_GROUP_COUNT, 0);
  m_nPassValue = kNoPassThrough;
  m_nGraphic = 0;
}

void cBlockData::ResetToNone() {
  Reset();
  m_nCellX = 0;
  m_nCellY = 0;
  m_Conds.clear();
}

void cBlockData::RegisterMembers(int) {
  ClearMembers();
  RegisterByte(m_nInheritSource);
  RegisterShort(m_nInheritIndex);
  RegisterByte(m_nCondRule);
  RegisterByte(m_bCondLatch);
  RegisterShort(m_nGraphic);
  RegisterByte(m_nGraphicKind);
  RegisterShort(m_nGraphicRow);
  RegisterByte(m_bFront);
  RegisterByte(m_bHidden);
  RegisterByte(m_nMarkShown);
  RegisterShort(m_nMark);
  RegisterByte(m_nContact);
  RegisterByte(m_nPassValue);
  RegisterByte(m_nFootEffect);
  RegisterInt(m_nFootValue);
  RegisterByte(m_nItemPalette);
  RegisterShort(m_nItemIndex);
  RegisterByte(m_bFixed);
  RegisterString(m_strName);
}

bool cBlockData::Read(cByteReader& in, const cPaletteContext& palettes) {
  if (!ReadRecordAndCell(in)) return false;
  if (!ReadValueList(in, m_InheritFlags)) return false;
  if (!ReadCondVector(in, m_Conds)) return false;
  ShiftOldShotGraphic(in.Version());
  return ResolveAfterRead(in, palettes);
}

void cBlockData::Write(cByteWriter& out, const cPaletteContext& palettes) {
  if (out.Version() == DATA_VERSION) Validate(palettes);
  WriteRecordAndCell(out);
  WriteValueList(out, m_InheritFlags);
  WriteRecordList(out, m_Conds);
}

void cBlockData::Validate(const cPaletteContext& palettes) {
  ValidateInheritReference(palettes);
  if (m_nGraphic == 0) {
    m_nContact = BLOCK_CONTACT_NONE;
    m_bFixed = 0;
  }
}

void cBlockData::ValidateItemRef(const cPaletteContext& palettes) {
  if (m_nItemPalette != PALETTE_COMMON && m_nItemPalette != PALETTE_STAGE) return;
  const cPaletteView* view = palettes.Select(m_nItemPalette);
  if (!IsPaletteIndexInRange(m_nItemIndex, view->ItemCount())) {
    m_nItemPalette = PALETTE_NONE;
    m_nItemIndex = 0;
  }
}

void cBlockData::CopyGroup(int nGroup, const cBlockData& source) {
  switch (nGroup) {
    case BLOCK_GROUP_NAME: m_strName = source.m_strName; break;
    case BLOCK_GROUP_CONDITIONS:
      m_Conds = source.m_Conds;
      m_nCondRule = source.m_nCondRule;
      m_bCondLatch = source.m_bCondLatch;
      break;
    case BLOCK_GROUP_GRAPHIC:
      m_nGraphicKind = source.m_nGraphicKind;
      m_nGraphic = source.m_nGraphic;
      m_nGraphicRow = source.m_nGraphicRow;
      break;
    case BLOCK_GROUP_FRONT: m_bFront = source.m_bFront; break;
    case BLOCK_GROUP_HIDDEN: m_bHidden = source.m_bHidden; break;
    case BLOCK_GROUP_MARK:
      m_nMarkShown = source.m_nMarkShown;
      m_nMark = source.m_nMark;
      break;
    case BLOCK_GROUP_CONTACT: m_nContact = source.m_nContact; break;
    case BLOCK_GROUP_PASS: m_nPassValue = source.m_nPassValue; break;
    case BLOCK_GROUP_FOOT:
      m_nFootEffect = source.m_nFootEffect;
      m_nFootValue = source.m_nFootValue;
      break;
    case BLOCK_GROUP_ITEM:
      m_nItemPalette = source.m_nItemPalette;
      m_nItemIndex = source.m_nItemIndex;
      break;
    case BLOCK_GROUP_FIXED: m_bFixed = source.m_bFixed; break;
    default: break;
  }
}

bool ReadBlockVector(cByteReader& in, cSafeVector<cBlockData>& blocks, const cPaletteContext& palettes) {
  return ReadDefinitionList(in, blocks, palettes, &cPaletteView::m_pBlocks, &cPaletteView::m_nPendingBlocks,
                            kMinBlockBytes);
}

void WriteBlockVector(cByteWriter& out, cSafeVector<cBlockData>& blocks, const cPaletteContext& palettes) {
  WriteDefinitionList(out, blocks, palettes);
}

bool ReadCondVector(cByteReader& in, cSafeVector<cCond>& conds) { return ReadRecordList(in, conds); }
