#pragma once
// cItemData: one item definition: how it is drawn, whether and how often it can
// be taken, the sound and message of a pickup, when it comes into play, and
// the item and system commands (set 1) that run when the player character
// picks it up.
//
// The same record is an entry of the common or of a stage palette, an item
// placed on a stage (with its map cell), and the definition copied into every
// item object on the stage. A placed item may take any of 13 property groups
// from a palette entry instead of its own values (inheritance), as blocks do.
//
// File form: the record form (17 plain members, then the name), then i16 cell
// x, i16 cell y, u32 n and n flag bytes, u32 n and n conditions, u32 n and n
// commands. No member depends on the data version.
//
// Palette references are resolved against the palettes the caller passes
// (cPaletteContext). The overrides of the record base without one treat the
// item as standing on its own: cPaletteContext::Standalone().

#include <cstdint>
#include <string>

#include "core/SafeVector.h"
#include "data/Command.h"
#include "data/Condition.h"
#include "data/DataRecord.h"
#include "data/GraphicKind.h"
#include "data/PaletteContext.h"
#include "data/PaletteDefinition.h"

// Inheritance groups of an item; the flag list has one entry per group.
enum eItemInheritGroup : int {
  ITEM_GROUP_NAME = 0,
  ITEM_GROUP_CONDITIONS = 1,  // appearance conditions, rule, latch
  ITEM_GROUP_SPARE_A = 2,
  ITEM_GROUP_SPARE_B = 3,
  ITEM_GROUP_GRAPHIC = 4,     // graphic kind, index, row
  ITEM_GROUP_Z = 5,
  ITEM_GROUP_TRANSPARENT = 6,
  ITEM_GROUP_MARK = 7,        // mark shown, mark
  ITEM_GROUP_SCALE = 8,
  ITEM_GROUP_TAKE_MODE = 9,
  ITEM_GROUP_GET_MESSAGE = 10,
  ITEM_GROUP_SOUND = 11,
  ITEM_GROUP_COMMANDS = 12,   // the whole command list, copied deep
  ITEM_GROUP_COUNT = 13,
};

// How often an item can be taken.
enum eItemTakeMode : int {
  ITEM_TAKE_ONCE = 0,     // "1回だけ取れる"
  ITEM_TAKE_ALWAYS = 1,   // "何回でも取れる"
  ITEM_TAKE_NEVER = 2,    // "取れない"
};

class cItemData : public cPaletteDefinition<cItemData, ITEM_GROUP_COUNT, &cPaletteView::m_pItems,
                                             &cPaletteView::Item, &cPaletteView::ItemCount> {
 public:
  using cPaletteDefinition::Read;
  using cPaletteDefinition::Write;

  // Registered at DATA_VERSION, with the defaults of Reset.
  cItemData();

  // Clear; thirteen zero inheritance flags (the list becomes exactly thirteen
  // long); graphic kind 2 (item sheet), graphic index 0, item-get message 1,
  // scale 1, z 6. The cell position, conditions and commands are not touched.
  void Reset();
  // Everything as a fresh item has it: Reset, cell 0, no conditions, no
  // commands. What entry 0 of a palette list (the "none" item) is made.
  void ResetToNone();

  void RegisterMembers(int nVersion) override;

  // The item's file form; the shot-sheet shift of files before version 219;
  // then ApplyInherit and Validate with the given palettes.
  bool Read(cByteReader& in, const cPaletteContext& palettes);
  // Validate with the given palettes, then the file form. Older versions are
  // written only as test fixtures, exactly as the record holds them.
  void Write(cByteWriter& out, const cPaletteContext& palettes);

  // ApplyInherit (cPaletteDefinition) copies the flagged groups of the 13.
  // An inherit reference beyond its list loses source and index; a scale below
  // 1 (as a signed byte) becomes 1; a sound beyond the Sound database becomes
  // 0; every command is validated against the database.
  void Validate(const cPaletteContext& palettes);
  // The commands' palette references (item-get, summons, shot hit items),
  // repaired against the palettes' sizes.
  void ValidateShotRefs(const cPaletteContext& palettes);

  // Copies one inheritance group from `source` into this item.
  void CopyGroup(int nGroup, const cItemData& source);

  // Registered members, in file order.
  std::uint8_t m_nInheritSource = 0;  // ePaletteSource
  std::int16_t m_nInheritIndex = 0;   // 0: no inheritance
  std::uint8_t m_nAppearRule = 0;     // 0 every appearance condition must hold, 1 any one
  std::uint8_t m_bAppearLatch = 0;    // 1: once they held, they hold for good
  std::int16_t m_nSpareA = 0;         // stored, copied and inherited only
  std::int16_t m_nSpareB = 0;
  std::int16_t m_nGraphic = 0;
  std::uint8_t m_nGraphicKind = 2;    // eGraphicKind
  std::int16_t m_nGraphicRow = 0;
  std::uint8_t m_nZ = 6;              // draw layer 0-7
  std::uint8_t m_bTransparent = 0;    // 1: not drawn
  std::uint8_t m_bMarkShown = 0;
  std::int16_t m_nMark = 0;           // mark cell 0-119
  std::uint8_t m_bGetMessage = 1;     // 1: a pickup shows a message with the item's graphic
  std::uint8_t m_nTakeMode = 0;       // eItemTakeMode
  std::uint8_t m_nScale = 1;          // 1-10
  std::int16_t m_nSound = 0;          // Sound database index played on pickup; 0 none
  std::string m_strName;

  // Appended after the record form.
  std::int16_t m_nCellX = 0;  // map cell of a placement, without the grid margin
  std::int16_t m_nCellY = 0;
  cSafeVector<std::uint8_t> m_InheritFlags;  // one per eItemInheritGroup
  cSafeVector<cCond> m_Conds;                // appearance conditions
  cSafeVector<cCommand> m_Commands;          // set 1, run on pickup
};

// A list of item definitions, read and written as ReadBlockVector does blocks.
bool ReadItemVector(cByteReader& in, cSafeVector<cItemData>& items, const cPaletteContext& palettes);
void WriteItemVector(cByteWriter& out, cSafeVector<cItemData>& items, const cPaletteContext& palettes);

// The item definition at `nIndex` of the item list of palette `nPalette` (1
// common, 2 stage); null when the index (taken unsigned) is beyond the list,
// the palette is neither 1 nor 2, or its list is not known.
const cItemData* GetPaletteItem(const cPaletteContext& palettes, int nPalette, std::int16_t nIndex);
