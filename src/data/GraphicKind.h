#pragma once
// The graphic kinds that block, character and item definitions are drawn
// from, and the renumbering of the shot sheet in older data files.

// Which sheet a definition's graphic index (and row) points into.
enum eGraphicKind : int {
  GRAPHIC_BLOCK = 0,          // the block sheet
  GRAPHIC_CHARA = 1,          // the character sheets
  GRAPHIC_ITEM = 2,           // the item sheet
  GRAPHIC_SHOT = 3,           // the shot sheet
  GRAPHIC_BMP_CHARA_EXC = 4,  // a special character bitmap (database entry)
};

// Files before this version numbered the shot sheet's cells from 0; later ones
// from 1 (cell 0 is "none"). Readers of blocks, characters and items shift
// shot-sheet graphics of older files up by one, up to the last cell.
inline constexpr int kShotGraphicShiftVersion = 219;
inline constexpr int kLastShotGraphic = 119;
