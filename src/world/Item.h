#pragma once
// cItem: an item on the stage: a placed item of the stage file, a summoned
// item, the temporary item of an item block, or the item a character carries
// and drops when it dies. It is a game object with its own full copy of its
// definition (cItemData), from which its picture, size, scale, pickup
// behaviour, message, sound and command list come.
//
// Items on the map live in g_ItemList, whose elements never move
// (ObjList.h); a carried item lives inside its character (cChara::m_Item).
//
// An item's box is the stage's item box centred in its 32-dot cell; it flies
// through blocks and shows a fixed two-pattern animation.

#include <cstdint>

#include "data/ItemData.h"
#include "world/GameObj.h"
#include "world/ObjList.h"

class cItem : public cGameObj {
 public:
  cItem() = default;
  cItem(const cItem&) = default;
  cItem& operator=(const cItem&) = default;
  ~cItem() override = default;

  // Sets the item up from `definition` (a scale of 0 counts as 1): its own
  // copy of it, the base object (the stage's item box, the fixed animation,
  // flying through blocks), and its command list unrolled. A carried item is
  // active at once and keeps scale 1; an item on the map takes its scale.
  void Init(int key, const cItemData& definition, int carried);
  // Puts the box on stage cell (column, row), re-anchored for the scale, then
  // kept inside the grid on both axes.
  void PlaceOnGrid(int column, int row);
  // Keeps the item's footing when its scale changes.
  void ReanchorY(int newScale, int oldScale) override;

  // ---- members, in order ----
  cItemData m_Data;
  int32_t m_bCarried = 0;  // held by a character
};

// The items on the map of the running stage. Defined with every global
// object in app/Globals.cpp.
extern cObjList<cItem> g_ItemList;
