#include "data/Palette.h"

#include <algorithm>

#include "data/PathTable.h"

namespace {

template <class T>
void PadList(cSafeVector<T>& list) {
  while (list.size() < static_cast<std::size_t>(kMinPaletteEntries)) list.push_back(T());
}

template <class T>
void ClearFlags(cSafeVector<T>& list) {
  for (T& entry : list) std::fill(entry.m_InheritFlags.begin(), entry.m_InheritFlags.end(), 0);
}

}  // namespace

cPalette::cPalette() {
  m_Blocks.resize(1);
  m_Charas.resize(1);
  m_Items.resize(1);
}

void cPalette::RegisterMembers(int) { ClearMembers(); }

bool cPalette::Read(cByteReader& in, const cPaletteView& stage) {
  if (!cDataRecord::Read(in)) return false;
  const cPaletteContext context = ContextWith(stage);
  if (!ReadBlockVector(in, m_Blocks, context)) return false;
  if (!ReadCharaVector(in, m_Charas, context)) return false;
  if (!ReadItemVector(in, m_Items, context)) return false;
  ResetNoneEntries(m_Blocks, m_Charas, m_Items);
  ClearInheritFlags(m_Blocks, m_Charas, m_Items);
  Validate(stage);
  return !in.Failed();
}

bool cPalette::Read(cByteReader& in) { return Read(in, EmptyStagePaletteView()); }

void cPalette::Write(cByteWriter& out, const cPaletteView& stage) {
  if (out.Version() == DATA_VERSION) Validate(stage);
  cDataRecord::Write(out);
  const cPaletteContext context = ContextWith(stage);
  WriteBlockVector(out, m_Blocks, context);
  WriteCharaVector(out, m_Charas, context);
  WriteItemVector(out, m_Items, context);
}

void cPalette::Write(cByteWriter& out) { Write(out, EmptyStagePaletteView()); }

void cPalette::Validate(const cPaletteView& stage) {
  PadPaletteLists(m_Blocks, m_Charas, m_Items);
  const cPaletteContext context = ContextWith(stage);
  RepairDefinitions(m_Blocks, context);
  RepairDefinitions(m_Charas, context);
  RepairDefinitions(m_Items, context);
}

cPaletteView cPalette::View() const { return cPaletteView::Of(&m_Blocks, &m_Charas, &m_Items); }

cPaletteContext cPalette::ContextWith(const cPaletteView& stage) const {
  cPaletteContext context;
  context.m_Common = View();
  context.m_Stage = stage;
  return context;
}

const cPaletteView& EmptyStagePaletteView() {
  static const cPalette empty;
  static const cPaletteView view = empty.View();
  return view;
}

void ResetNoneEntries(cSafeVector<cBlockData>& blocks, cSafeVector<cCharaData>& charas,
                      cSafeVector<cItemData>& items) {
  if (!blocks.empty()) blocks[0].ResetToNone();
  if (!charas.empty()) charas[0].ResetToNone();
  if (!items.empty()) items[0].ResetToNone();
}

void ClearInheritFlags(cSafeVector<cBlockData>& blocks, cSafeVector<cCharaData>& charas,
                       cSafeVector<cItemData>& items) {
  ClearFlags(blocks);
  ClearFlags(charas);
  ClearFlags(items);
}

void PadPaletteLists(cSafeVector<cBlockData>& blocks, cSafeVector<cCharaData>& charas,
                     cSafeVector<cItemData>& items) {
  PadList(blocks);
  PadList(charas);
  PadList(items);
}

void RepairDefinitions(cSafeVector<cBlockData>& blocks, const cPaletteContext& palettes) {
  for (cBlockData& block : blocks) {
    block.Validate(palettes);
    block.ValidateItemRef(palettes);
  }
}

void RepairDefinitions(cSafeVector<cCharaData>& charas, const cPaletteContext& palettes) {
  for (cCharaData& chara : charas) {
    chara.Validate(palettes);
    chara.ValidateShotRefs(palettes);
  }
}

void RepairDefinitions(cSafeVector<cItemData>& items, const cPaletteContext& palettes) {
  for (cItemData& item : items) {
    item.Validate(palettes);
    item.ValidateShotRefs(palettes);
  }
}

bool LoadCommonPalette(std::string_view path) { return cDataRecord::LoadFile(g_CommonPalette, path); }

bool LoadCommonPalette() { return LoadCommonPalette(g_PathTable[PATH_COMMON_PALETTE]); }

bool SaveCommonPalette(std::string_view path) { return g_CommonPalette.SaveFile(path); }

void ResetCommonPaletteForTests() { g_CommonPalette = cPalette(); }
