#pragma once
// cItem: an item on the stage. What is declared here is what the appearance
// conditions need: the item's own copy of its definition. The item itself is
// built on top of it.

#include "data/ItemData.h"
#include "world/GameObj.h"

class cItem : public cGameObj {
 public:
  cItemData m_Data;
};
