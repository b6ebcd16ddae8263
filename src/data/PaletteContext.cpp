#include "data/PaletteContext.h"

#include "data/BlockData.h"
#include "data/CharaData.h"
#include "data/Database.h"
#include "data/ItemData.h"
#include "data/Palette.h"

namespace {

template <class T>
int ListCount(const cSafeVector<T>* pList, int nPending) {
  if (pList == nullptr) return kUnknownPaletteSize;
  const std::size_t count = pList->size() + static_cast<std::size_t>(nPending > 0 ? nPending : 0);
  return count >= static_cast<std::size_t>(kUnknownPaletteSize) ? kUnknownPaletteSize - 1 : static_cast<int>(count);
}

// Entries past the list's end but within the pending count are the class's
// fresh default, which no reader changes.
template <class T>
const T* ListEntry(const cSafeVector<T>* pList, int nPending, int index) {
  if (pList == nullptr) return nullptr;
  if (!IsPaletteIndexInRange(index, ListCount(pList, nPending))) return nullptr;
  const std::size_t at = static_cast<std::uint32_t>(index);
  if (at < pList->size()) return &(*pList)[at];
  static const T fresh{};
  return &fresh;
}

}  // namespace

cPaletteView cPaletteView::Of(const cSafeVector<cBlockData>* pBlocks, const cSafeVector<cCharaData>* pCharas,
                              const cSafeVector<cItemData>* pItems) {
  cPaletteView view;
  view.m_pBlocks = pBlocks;
  view.m_pCharas = pCharas;
  view.m_pItems = pItems;
  return view;
}

int cPaletteView::BlockCount() const { return ListCount(m_pBlocks, m_nPendingBlocks); }
int cPaletteView::CharaCount() const { return ListCount(m_pCharas, m_nPendingCharas); }
int cPaletteView::ItemCount() const { return ListCount(m_pItems, m_nPendingItems); }

const cBlockData* cPaletteView::Block(int index) const { return ListEntry(m_pBlocks, m_nPendingBlocks, index); }
const cCharaData* cPaletteView::Chara(int index) const { return ListEntry(m_pCharas, m_nPendingCharas, index); }
const cItemData* cPaletteView::Item(int index) const { return ListEntry(m_pItems, m_nPendingItems, index); }

const cPaletteView* cPaletteContext::Select(int nSource) const {
  if (nSource == PALETTE_COMMON) return &m_Common;
  if (nSource == PALETTE_STAGE) return &m_Stage;
  return nullptr;
}

cPaletteSizes cPaletteContext::Sizes() const {
  cPaletteSizes sizes;
  sizes.m_nCommonBlocks = m_Common.BlockCount();
  sizes.m_nCommonCharas = m_Common.CharaCount();
  sizes.m_nCommonItems = m_Common.ItemCount();
  sizes.m_nStageBlocks = m_Stage.BlockCount();
  sizes.m_nStageCharas = m_Stage.CharaCount();
  sizes.m_nStageItems = m_Stage.ItemCount();
  return sizes;
}

cPaletteContext cPaletteContext::Standalone() {
  cPaletteContext context;
  context.m_Common = g_CommonPalette.View();
  return context;
}
