#include "data/ItemData.h"

#include "data/Database.h"
#include "data/DefinitionList.h"

namespace {

// The fewest bytes an item takes in a file: the two record counts, the cell
// position and the three list counts.
constexpr std::size_t kMinItemBytes = 4 + 4 + 4 + 4 + 4 + 4;

}  // namespace

cItemData::cItemData() { Reset(); }

void cItemData::Reset() {
  Clear();
  m_InheritFlags.assign(ITEM_GROUP_COUNT, 0);
  m_nGraphicKind = GRAPHIC_ITEM;
  m_nGraphic = 0;
  m_bGetMessage = 1;
  m_nScale = 1;
  m_nZ = 6;
}

void cItemData::ResetToNone() {
  Reset();
  m_nCellX = 0;
  m_nCellY = 0;
  m_Conds.clear();
  m_Commands.clear();
}

void cItemData::RegisterMembers(int) {
  ClearMembers();
  RegisterByte(m_nInheritSource);
  RegisterShort(m_nInheritIndex);
  RegisterByte(m_nAppearRule);
  RegisterByte(m_bAppearLatch);
  RegisterShort(m_nSpareA);
  RegisterShort(m_nSpareB);
  RegisterShort(m_nGraphic);
  RegisterByte(m_nGraphicKind);
  RegisterShort(m_nGraphicRow);
  RegisterByte(m_nZ);
  RegisterByte(m_bTransparent);
  RegisterByte(m_bMarkShown);
  RegisterShort(m_nMark);
  RegisterByte(m_bGetMessage);
  RegisterByte(m_nTakeMode);
  RegisterByte(m_nScale);
  RegisterShort(m_nSound);
  RegisterString(m_strName);
}

bool cItemData::Read(cByteReader& in, const cPaletteContext& palettes) {
  if (!ReadRecordAndCell(in)) return false;
  if (!ReadValueList(in, m_InheritFlags)) return false;
  if (!ReadRecordList(in, m_Conds)) return false;
  if (!ReadCommandVector(in, m_Commands)) return false;
  ShiftOldShotGraphic(in.Version());
  return ResolveAfterRead(in, palettes);
}

void cItemData::Write(cByteWriter& out, const cPaletteContext& palettes) {
  if (out.Version() == DATA_VERSION) Validate(palettes);
  WriteRecordAndCell(out);
  WriteValueList(out, m_InheritFlags);
  WriteRecordList(out, m_Conds);
  WriteCommandVector(out, m_Commands);
}

void cItemData::Validate(const cPaletteContext& palettes) {
  ValidateInheritReference(palettes);
  if (static_cast<std::int8_t>(m_nScale) < 1) m_nScale = 1;
  const cDatabase& database = palettes.Database();
  if (!IsInList(m_nSound, database.m_Sounds.size())) m_nSound = 0;
  for (cCommand& command : m_Commands) command.Validate(database);
}

void cItemData::ValidateShotRefs(const cPaletteContext& palettes) {
  const cPaletteSizes sizes = palettes.Sizes();
  for (cCommand& command : m_Commands) command.ValidateShotRefs(sizes);
}

void cItemData::CopyGroup(int nGroup, const cItemData& source) {
  switch (nGroup) {
    case ITEM_GROUP_NAME: m_strName = source.m_strName; break;
    case ITEM_GROUP_CONDITIONS:
      m_Conds = source.m_Conds;
      m_nAppearRule = source.m_nAppearRule;
      m_bAppearLatch = source.m_bAppearLatch;
      break;
    case ITEM_GROUP_SPARE_A: m_nSpareA = source.m_nSpareA; break;
    case ITEM_GROUP_SPARE_B: m_nSpareB = source.m_nSpareB; break;
    case ITEM_GROUP_GRAPHIC:
      m_nGraphicKind = source.m_nGraphicKind;
      m_nGraphic = source.m_nGraphic;
      m_nGraphicRow = source.m_nGraphicRow;
      break;
    case ITEM_GROUP_Z: m_nZ = source.m_nZ; break;
    case ITEM_GROUP_TRANSPARENT: m_bTransparent = source.m_bTransparent; break;
    case ITEM_GROUP_MARK:
      m_bMarkShown = source.m_bMarkShown;
      m_nMark = source.m_nMark;
      break;
    case ITEM_GROUP_SCALE: m_nScale = source.m_nScale; break;
    case ITEM_GROUP_TAKE_MODE: m_nTakeMode = source.m_nTakeMode; break;
    case ITEM_GROUP_GET_MESSAGE: m_bGetMessage = source.m_bGetMessage; break;
    case ITEM_GROUP_SOUND: m_nSound = source.m_nSound; break;
    case ITEM_GROUP_COMMANDS: m_Commands = source.m_Commands; break;  // cCommand copies are deep
    default: break;
  }
}

bool ReadItemVector(cByteReader& in, cSafeVector<cItemData>& items, const cPaletteContext& palettes) {
  return ReadDefinitionList(in, items, palettes, &cPaletteView::m_pItems, &cPaletteView::m_nPendingItems,
                            kMinItemBytes);
}

void WriteItemVector(cByteWriter& out, cSafeVector<cItemData>& items, const cPaletteContext& palettes) {
  WriteDefinitionList(out, items, palettes);
}

const cItemData* GetPaletteItem(const cPaletteContext& palettes, int nPalette, std::int16_t nIndex) {
  const cPaletteView* view = palettes.Select(nPalette);
  return view == nullptr ? nullptr : view->Item(nIndex);
}
