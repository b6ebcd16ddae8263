#pragma once
// cMenuCursor: the one cursor every menu moves (the title, world map, map
// menu, stage select and options, and the game scene's pause and retry
// menus): a stack of cursor levels, so that a sub-menu can open over a menu
// and give the parent's position back when it closes. The menus read its
// current level's draw position to place the cursor image.
//
// It lives with the game world, the lowest subsystem that moves it; the menu
// operations (pushing and popping levels, grid and list movement) join it
// with the menu scenes. Game thread only.

#include <cstdint>

#include "core/SafeVector.h"

// One cursor level.
struct cMenuCursorPos {
  int32_t m_Column = 0;  // grid column, or the item of a horizontal list
  int32_t m_Row = 0;     // grid row, or the item of a vertical list
  int32_t m_X = 0;       // draw position of the cursor, dots
  int32_t m_Y = 0;
};

class cMenuCursor {
 public:
  // One zero level, current; no parent.
  cMenuCursor();
  // Copies re-point their level pointers into their own levels.
  cMenuCursor(const cMenuCursor& other);
  cMenuCursor& operator=(const cMenuCursor& other);

  // Exactly one level again (a zero level added when there is none, every
  // level above the first removed), all four values 0, current; no parent;
  // the cursor's value 0. Every menu calls it when it starts and when it hands
  // over; the game scene at its set-up and at every stage start.
  void Reset();

  // The top level, which every movement works on, and the level below it
  // (null with one level).
  cMenuCursorPos* m_pCurrent = nullptr;
  cMenuCursorPos* m_pParent = nullptr;
  int32_t m_Value = 0;
  cSafeVector<cMenuCursorPos> m_Levels;

 private:
  void Repoint();
};

// The menus' cursor. Defined with every global object in app/Globals.cpp.
extern cMenuCursor g_MenuCursor;
