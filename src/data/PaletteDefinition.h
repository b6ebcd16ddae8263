#pragma once
// cPaletteDefinition: what the block, character and item definitions have in
// common. Each is an entry of the common or of a stage palette, or a placement
// on a stage, and a placement may take property groups from a palette entry
// (inheritance): the inherit source names the palette (1 common, 2 stage), the
// inherit index its entry, and one flag per group says which groups are taken.
//
// `T` is the definition itself (cBlockData, cCharaData, cItemData); it has the
// members m_nInheritSource, m_nInheritIndex, m_InheritFlags, m_nGraphicKind and
// m_nGraphic, the operations Read, Write and Validate with a cPaletteContext,
// and CopyGroup. `GroupCount` is its number of inheritance groups; `List`,
// `Entry` and `Count` pick its list out of a cPaletteView.
//
// The base adds no data and no virtual operation: a definition's layout and
// record form are its own.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "core/SafeVector.h"
#include "data/DataRecord.h"
#include "data/GraphicKind.h"
#include "data/PaletteContext.h"

template <class T, int GroupCount, const cSafeVector<T>* cPaletteView::*List,
          const T* (cPaletteView::*Entry)(int) const, int (cPaletteView::*Count)() const>
class cPaletteDefinition : public cDataRecord {
 public:
  // The record base's operations treat the definition as standing on its own:
  // cPaletteContext::Standalone().
  bool Read(cByteReader& in) override { return Self().Read(in, cPaletteContext::Standalone()); }
  void Write(cByteWriter& out) override { Self().Write(out, cPaletteContext::Standalone()); }

  // Copies the flagged groups, in group order, from the palette entry named by
  // the inherit source and index. Index 0 or source 0: nothing. An index
  // beyond the named list: the source becomes 0 (the index stays) and nothing
  // is copied; a list that is not known is left alone. Flags beyond the
  // definition's groups come only from damaged files: they name no group and
  // are ignored.
  void ApplyInherit(const cPaletteContext& palettes) {
    T& self = Self();
    if (self.m_nInheritIndex == 0 || self.m_nInheritSource == PALETTE_NONE) return;
    const cPaletteView* view = palettes.Select(self.m_nInheritSource);
    if (view == nullptr || view->*List == nullptr) return;
    const T* entry = (view->*Entry)(self.m_nInheritIndex);
    if (entry == nullptr) {
      self.m_nInheritSource = PALETTE_NONE;
      return;
    }
    if (entry == &self) return;  // a palette entry read in place, naming itself
    const std::size_t groups = std::min<std::size_t>(self.m_InheritFlags.size(), GroupCount);
    for (std::size_t group = 0; group < groups; ++group) {
      if (self.m_InheritFlags[group] != 0) self.CopyGroup(static_cast<int>(group), *entry);
    }
  }

 protected:
  // The first repair of every Validate: an inherit reference beyond its list
  // loses source and index.
  void ValidateInheritReference(const cPaletteContext& palettes) {
    T& self = Self();
    if (self.m_nInheritSource != PALETTE_COMMON && self.m_nInheritSource != PALETTE_STAGE) return;
    const cPaletteView* view = palettes.Select(self.m_nInheritSource);
    if (!IsPaletteIndexInRange(self.m_nInheritIndex, (view->*Count)())) {
      self.m_nInheritSource = PALETTE_NONE;
      self.m_nInheritIndex = 0;
    }
  }

  // Files before version 219 counted the shot sheet from 0.
  void ShiftOldShotGraphic(int nVersion) {
    T& self = Self();
    if (nVersion < kShotGraphicShiftVersion && self.m_nGraphicKind == GRAPHIC_SHOT) {
      self.m_nGraphic = static_cast<std::int16_t>(std::min(self.m_nGraphic + 1, kLastShotGraphic));
    }
  }

  // The file form's head: the record form, then i16 cell x and i16 cell y.
  bool ReadRecordAndCell(cByteReader& in) {
    if (!cDataRecord::Read(in)) return false;
    Self().m_nCellX = in.ReadI16();
    Self().m_nCellY = in.ReadI16();
    return true;
  }
  void WriteRecordAndCell(cByteWriter& out) {
    cDataRecord::Write(out);
    out.WriteI16(Self().m_nCellX);
    out.WriteI16(Self().m_nCellY);
  }

  // The end of every read: inheritance and repairs with the palettes the
  // definition was read with.
  bool ResolveAfterRead(cByteReader& in, const cPaletteContext& palettes) {
    ApplyInherit(palettes);
    Self().Validate(palettes);
    return !in.Failed();
  }

 private:
  T& Self() { return static_cast<T&>(*this); }
};
