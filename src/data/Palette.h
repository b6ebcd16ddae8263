#pragma once
// cPalette: the block, character and item definitions a game's stages draw on.
// The common palette, shared by every stage, is g_CommonPalette, loaded once
// at start-up from "data\CommonPalette.cplt4"; each stage keeps its own stage
// palette as three lists of the same kind inside the stage record.
//
// After construction and after every Read or Write:
//   - each list has at least 2 entries;
//   - entry 0 of each list is the "none" definition with its class defaults,
//     whatever the file held for it;
//   - no entry inherits: every inheritance flag is 0 (the flag lists keep
//     their length). Entries apply their inheritance once while they are read.
//
// File "data\CommonPalette.cplt4": u32 data version; u32 0, u32 0 (the
// palette has no members of its own); u32 n and n blocks; u32 n and n
// characters; u32 n and n items.

#include <string_view>

#include "core/SafeVector.h"
#include "data/BlockData.h"
#include "data/CharaData.h"
#include "data/DataRecord.h"
#include "data/ItemData.h"
#include "data/PaletteContext.h"

// The fewest entries a palette list (common or stage) holds after repairs.
inline constexpr int kMinPaletteEntries = 2;

class cPalette : public cDataRecord {
 public:
  // One default entry in each list.
  cPalette();

  // The palette has no members of its own: nothing is registered.
  void RegisterMembers(int nVersion) override;

  // The three lists, read with this palette as the common palette (an entry
  // that inherits from the common palette copies from what this palette's
  // list holds at that moment) and `stage` as the stage palette; entry 0 of
  // each list reset; every inheritance flag cleared; Validate.
  bool Read(cByteReader& in, const cPaletteView& stage);
  // Read with the stage palette of a stage that has nothing loaded (one "none"
  // entry per list): the common palette is read at start-up, before any stage.
  bool Read(cByteReader& in) override;
  // Validate, then the file form.
  void Write(cByteWriter& out, const cPaletteView& stage);
  void Write(cByteWriter& out) override;

  // Pads each list to kMinPaletteEntries with fresh entries, then validates
  // every entry against this palette as the common palette and `stage`.
  void Validate(const cPaletteView& stage);

  // A view of this palette's three lists.
  cPaletteView View() const;
  // The context for this palette's own entries: this palette as the common
  // palette, `stage` as the stage palette, g_Database.
  cPaletteContext ContextWith(const cPaletteView& stage) const;

  cSafeVector<cBlockData> m_Blocks;
  cSafeVector<cCharaData> m_Charas;
  cSafeVector<cItemData> m_Items;
};

// The stage palette of a stage that has nothing loaded: one "none" entry in
// each list.
const cPaletteView& EmptyStagePaletteView();

// Makes entry 0 of each non-empty list the "none" definition of its class and
// clears every inheritance flag of every entry (the lists keep their length).
// The stage record applies the first to its own palette lists too.
void ResetNoneEntries(cSafeVector<cBlockData>& blocks, cSafeVector<cCharaData>& charas,
                      cSafeVector<cItemData>& items);
void ClearInheritFlags(cSafeVector<cBlockData>& blocks, cSafeVector<cCharaData>& charas,
                       cSafeVector<cItemData>& items);

// Pads each list to kMinPaletteEntries with fresh entries. Shared with the
// stage palette.
void PadPaletteLists(cSafeVector<cBlockData>& blocks, cSafeVector<cCharaData>& charas,
                     cSafeVector<cItemData>& items);

// Validate, then the palette references (a block's item reference, the shot
// references of characters and items), for every definition of the list, in
// list order. Shared with the stage's palette and placement lists.
void RepairDefinitions(cSafeVector<cBlockData>& blocks, const cPaletteContext& palettes);
void RepairDefinitions(cSafeVector<cCharaData>& charas, const cPaletteContext& palettes);
void RepairDefinitions(cSafeVector<cItemData>& items, const cPaletteContext& palettes);

// The common palette of the running game. Defined with every global object
// in app/Globals.cpp.
extern cPalette g_CommonPalette;

// Loads the common palette file ("data\CommonPalette.cplt4" by default) into
// g_CommonPalette: read into a temporary and swapped in only when the whole
// file read cleanly. False, with g_CommonPalette unchanged, when the file is
// missing (no report line: start-up reports it in its own words) or damaged
// (a report line names the damage).
bool LoadCommonPalette(std::string_view path);
bool LoadCommonPalette();
// Writes g_CommonPalette atomically; false, with a report line, on failure.
bool SaveCommonPalette(std::string_view path);

// Restores g_CommonPalette to a freshly constructed palette (tests).
void ResetCommonPaletteForTests();
