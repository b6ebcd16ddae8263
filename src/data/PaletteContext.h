#pragma once
// The palettes a block, character or item definition resolves its palette
// references against while it is read, validated or written: the common
// palette and the stage palette of the stage the definition belongs to, and
// the database its database references are checked against.
//
// A definition never looks these up by itself: whoever reads or checks a
// definition says which palettes it belongs with. A stage being read passes
// its own (not yet finished) palette lists, so reading one stage never looks
// at another stage's palette, whichever stage happens to be playing.

#include <cstdint>

#include "core/SafeVector.h"
#include "data/PaletteSizes.h"

class cBlockData;
class cCharaData;
class cItemData;
class cDatabase;
extern cDatabase g_Database;

// Palette selectors as the definitions store them (inherit source, item palette).
enum ePaletteSource : int {
  PALETTE_NONE = 0,
  PALETTE_COMMON = 1,
  PALETTE_STAGE = 2,
};

// The entry count reported for a list that is not known (see cPaletteView).
inline constexpr int kUnknownPaletteSize = 0x7FFFFFFF;

// The three definition lists of one palette: the common palette's or a
// stage's own. A null list means that palette is not known where the view is
// used: references into it are not followed, and only references that can be
// in no list at all (negative indexes) are repaired.
//
// While a list is being read its entries are added one by one; the entries the
// file announced but that are not read yet count as fresh default definitions
// (the m_nPending counts, set by the list readers).
struct cPaletteView {
  const cSafeVector<cBlockData>* m_pBlocks = nullptr;
  const cSafeVector<cCharaData>* m_pCharas = nullptr;
  const cSafeVector<cItemData>* m_pItems = nullptr;
  int m_nPendingBlocks = 0;
  int m_nPendingCharas = 0;
  int m_nPendingItems = 0;

  // A view of three lists (any of them may be null).
  static cPaletteView Of(const cSafeVector<cBlockData>* pBlocks, const cSafeVector<cCharaData>* pCharas,
                         const cSafeVector<cItemData>* pItems);

  // Entry counts; kUnknownPaletteSize for a list that is not known.
  int BlockCount() const;
  int CharaCount() const;
  int ItemCount() const;

  // The entry at `index`, compared unsigned (a negative index is out of
  // range); null when the index is out of range or the list is not known. A
  // pending entry is a fresh default definition.
  const cBlockData* Block(int index) const;
  const cCharaData* Chara(int index) const;
  const cItemData* Item(int index) const;
};

// The palettes and the database a definition is read, repaired or written with.
struct cPaletteContext {
  cPaletteView m_Common;
  cPaletteView m_Stage;
  const cDatabase* m_pDatabase = &g_Database;

  // The view a stored palette selector names: 1 common, 2 stage; null for
  // any other value.
  const cPaletteView* Select(int nSource) const;

  // The six list sizes for the commands' palette-reference repairs.
  cPaletteSizes Sizes() const;

  const cDatabase& Database() const { return *m_pDatabase; }

  // A definition on its own, outside any stage: the common palette is
  // g_CommonPalette, the stage palette is not known, the database g_Database.
  static cPaletteContext Standalone();
};

// True when `index` addresses an entry of a list of `count` entries; indexes
// are compared unsigned, so a negative index never does.
inline bool IsPaletteIndexInRange(int index, int count) {
  return count > 0 && static_cast<std::uint32_t>(index) < static_cast<std::uint32_t>(count);
}
