#pragma once
// cBlockData: one map block definition: how it is drawn, whether and how it
// blocks characters, what it does to the hero standing on it, the item it
// applies while stood on, and the conditions under which it exists.
//
// The same record is an entry of the common or of a stage palette, a block
// placed on a stage (with its map cell), and the first part of every cell of
// the map grid. A placed block may take any of eleven property groups from a
// palette entry instead of its own values (inheritance): the inherit source
// names the palette (1 common, 2 stage), the inherit index its entry, and one
// flag per group says which groups are taken.
//
// File form: the record form (18 plain members, then the name), then i16 cell
// x, i16 cell y, u32 n and n flag bytes, u32 n and n conditions. No member
// depends on the data version.
//
// Palette references are resolved against the palettes the caller passes
// (cPaletteContext). The overrides of the record base without one treat the
// block as standing on its own: cPaletteContext::Standalone().

#include <cstdint>
#include <string>

#include "core/SafeVector.h"
#include "data/Condition.h"
#include "data/DataRecord.h"
#include "data/GraphicKind.h"
#include "data/PaletteContext.h"
#include "data/PaletteDefinition.h"

// Inheritance groups of a block; the flag list has one entry per group.
enum eBlockInheritGroup : int {
  BLOCK_GROUP_NAME = 0,        // name
  BLOCK_GROUP_CONDITIONS = 1,  // conditions, condition rule, condition latch
  BLOCK_GROUP_GRAPHIC = 2,     // graphic kind, index, row
  BLOCK_GROUP_FRONT = 3,
  BLOCK_GROUP_HIDDEN = 4,
  BLOCK_GROUP_MARK = 5,        // mark shown, mark
  BLOCK_GROUP_CONTACT = 6,
  BLOCK_GROUP_PASS = 7,        // pass-through value
  BLOCK_GROUP_FOOT = 8,        // foot effect and its value
  BLOCK_GROUP_ITEM = 9,        // item palette and index
  BLOCK_GROUP_FIXED = 10,
  BLOCK_GROUP_COUNT = 11,
};

// Block contact values.
enum eBlockContact : int {
  BLOCK_CONTACT_NONE = 0,   // characters pass
  BLOCK_CONTACT_SOLID = 1,
  BLOCK_CONTACT_DEADLY = 2, // solid, and a player-operated character touching it dies
};

// Effects on the hero standing on a block.
enum eFootEffect : int {
  FOOT_NONE = 0,
  FOOT_JUMP = 1,           // jump of height X half blocks
  FOOT_NO_JUMP = 2,
  FOOT_SPEED = 3,          // movement speed X per cent
  FOOT_PUSH_LEFT = 4,      // pushed left at speed X
  FOOT_PUSH_RIGHT = 5,     // pushed right at speed X
};

// The pass-through value that lets no character through.
inline constexpr std::uint8_t kNoPassThrough = 255;

class cBlockData : public cPaletteDefinition<cBlockData, BLOCK_GROUP_COUNT, &cPaletteView::m_pBlocks,
                                              &cPaletteView::Block, &cPaletteView::BlockCount> {
 public:
  using cPaletteDefinition::Read;
  using cPaletteDefinition::Write;

  // Registered at DATA_VERSION, with the defaults of Reset.
  cBlockData();

  // Clear; contact 1; eleven zero inheritance flags (the list becomes exactly
  // eleven long); pass-through value 255; graphic index 0. The cell position
  // and the conditions are not touched.
  void Reset();
  // Everything as a fresh block has it: Reset, cell 0, no conditions. What
  // entry 0 of a palette list (the "none" block) is made.
  void ResetToNone();

  void RegisterMembers(int nVersion) override;

  // The block's file form; the shot-sheet shift of files before version 219;
  // then ApplyInherit and Validate with the given palettes.
  bool Read(cByteReader& in, const cPaletteContext& palettes);
  // Validate with the given palettes, then the file form. Older versions are
  // written only as test fixtures, exactly as the record holds them.
  void Write(cByteWriter& out, const cPaletteContext& palettes);

  // ApplyInherit (cPaletteDefinition) copies the flagged groups of the eleven.
  // An inherit reference beyond its list loses source and index; a block
  // without graphic (index 0) is neither solid nor fixed.
  void Validate(const cPaletteContext& palettes);
  // An item reference beyond its list loses palette and index.
  void ValidateItemRef(const cPaletteContext& palettes);

  // Copies one inheritance group from `source` into this block.
  void CopyGroup(int nGroup, const cBlockData& source);

  // Registered members, in file order.
  std::uint8_t m_nInheritSource = 0;  // ePaletteSource
  std::int16_t m_nInheritIndex = 0;   // 0: no inheritance
  std::uint8_t m_nCondRule = 0;       // 0 every condition must hold, 1 any one
  std::uint8_t m_bCondLatch = 0;      // 1: once the conditions held, the block stays
  std::int16_t m_nGraphic = 0;        // 0: no block (never drawn)
  std::uint8_t m_nGraphicKind = 0;    // eGraphicKind
  std::int16_t m_nGraphicRow = 0;     // row in the character sheets, frame in the special bitmap
  std::uint8_t m_bFront = 0;          // 1: drawn in front of the characters
  std::uint8_t m_bHidden = 0;         // 1: never drawn (still solid)
  std::uint8_t m_nMarkShown = 0;      // 1 a mark cell is drawn over it; 0 and 2 (editor only) none
  std::int16_t m_nMark = 0;           // mark cell, 15 to a column
  std::uint8_t m_nContact = BLOCK_CONTACT_SOLID;  // eBlockContact
  std::uint8_t m_nPassValue = kNoPassThrough;     // characters of this pass-through number pass
  std::uint8_t m_nFootEffect = 0;     // eFootEffect
  std::int32_t m_nFootValue = 0;      // X of the foot effect
  std::uint8_t m_nItemPalette = 0;    // ePaletteSource: item applied while stood on
  std::int16_t m_nItemIndex = 0;
  std::uint8_t m_bFixed = 0;          // 1: block summons neither replace nor erase the cell
  std::string m_strName;

  // Appended after the record form.
  std::int16_t m_nCellX = 0;  // map cell of a placement, without the grid margin
  std::int16_t m_nCellY = 0;
  cSafeVector<std::uint8_t> m_InheritFlags;  // one per eBlockInheritGroup; nonzero = inherited
  cSafeVector<cCond> m_Conds;                // the block exists while they hold
};

// A list of block definitions: u32 n, then n blocks, each starting as a fresh
// block and read in its place at the end of the list. `palettes` may name the
// very list being read: a block that inherits from an entry of it finds the
// entries read so far, itself, and fresh defaults for the entries still to
// come. On failure the list holds the blocks read so far.
bool ReadBlockVector(cByteReader& in, cSafeVector<cBlockData>& blocks, const cPaletteContext& palettes);
void WriteBlockVector(cByteWriter& out, cSafeVector<cBlockData>& blocks, const cPaletteContext& palettes);

// A list of conditions: u32 n, then n conditions, each from a fresh condition.
bool ReadCondVector(cByteReader& in, cSafeVector<cCond>& conds);
