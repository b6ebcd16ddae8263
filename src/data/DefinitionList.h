#pragma once
// The list readers and writers shared by the block, character and item
// definitions (private to those records; include their headers instead).
//
// A list is u32 n, then n definitions. Each starts as a fresh definition at the
// end of the list and reads itself in place, so that a definition inheriting
// from the very list being read (a palette entry naming another entry of its
// own palette) finds the entries read so far, itself, and fresh defaults for
// the n - i - 1 entries the file announced but that are still to come, which
// the view's pending count stands for. Nothing is allocated ahead for the
// entries announced: a count that cannot fit in the bytes left is refused.

#include <cstddef>
#include <cstdint>

#include "core/SafeVector.h"
#include "data/DataRecord.h"
#include "data/PaletteContext.h"

template <class T>
bool ReadDefinitionList(cByteReader& in, cSafeVector<T>& list, const cPaletteContext& palettes,
                        const cSafeVector<T>* cPaletteView::*pList, int cPaletteView::*pPending,
                        std::size_t minElementBytes) {
  list.clear();
  const std::uint32_t count = in.ReadCount(minElementBytes);
  if (in.Failed()) return false;
  if (!in.EnterNested()) return false;
  cPaletteContext context = palettes;
  const bool bCommonIsList = context.m_Common.*pList == &list;
  const bool bStageIsList = context.m_Stage.*pList == &list;
  const T fresh{};
  bool bRead = true;
  for (std::uint32_t i = 0; i < count; ++i) {
    const int pending = static_cast<int>(count - i - 1);
    if (bCommonIsList) context.m_Common.*pPending = pending;
    if (bStageIsList) context.m_Stage.*pPending = pending;
    list.push_back(fresh);
    if (!list.back().Read(in, context)) {
      list.pop_back();
      bRead = false;
      break;
    }
  }
  in.LeaveNested();
  return bRead && !in.Failed();
}

template <class T>
void WriteDefinitionList(cByteWriter& out, cSafeVector<T>& list, const cPaletteContext& palettes) {
  out.WriteU32(static_cast<std::uint32_t>(list.size()));
  for (T& element : list) element.Write(out, palettes);
}
