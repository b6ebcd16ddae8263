#pragma once
// cMenuCursor: the one cursor every menu moves (the title, world map, map
// menu, stage select and options, and the game scene's pause and retry
// menus): a stack of cursor levels, so that a sub-menu can open over a menu
// and give the parent's position back when it closes. The menus read its
// current level's draw position to place the cursor image.
//
// It lives with the game world, the lowest subsystem that moves it (the
// game scene's menus). Game thread only.

#include <cstdint>

#include "core/SafeVector.h"

class cKeyInput;

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

  // How Push starts the new level: zero, or a copy of the level below.
  enum ePushMode : int { PUSH_ZERO = 0, PUSH_COPY = 1 };
  // How Pop leaves the level that comes back: zeroed, as it was, or holding
  // the values of the level popped off it.
  enum ePopMode : int { POP_ZERO = 0, POP_KEEP = 1, POP_CARRY = 2 };

  // Adds a level on top and makes it current (PUSH_COPY with a level below:
  // a copy of it; any other mode: zero).
  void Push(int mode);
  // Removes the top level; nothing with a single level. The level that comes
  // back is current, set as the mode says.
  void Pop(int mode);

  // Wrap-around grid movement of the current level: left/right move the
  // column, up/down the row (a diagonal both), each wrapping round its count;
  // then the draw position is (x0 + dx column, y0 + dy row). Nothing at all
  // when a count is negative.
  void MoveGrid(const cKeyInput& keys, int x0, int y0, int dx, int dy, int columns, int rows);
  void MoveGrid(uint16_t direction, int x0, int y0, int dx, int dy, int columns, int rows);

  // Scrolling list movement of the current level: up and down move the item
  // (the row when `vertical`, else the column), scrolling `top` (the first
  // item shown, kept by the caller) so the item stays among the `pageRows`
  // shown; with `pageJumps` right and left jump a page less one item. The
  // item ends inside 0..total - 1 (0 for an empty list) and `top` inside
  // 0..total - pageRows. The draw position is origin + step x (item - top)
  // along the list and `fixed` across it.
  void MoveList(const cKeyInput& keys, int vertical, int& top, int origin, int step, int fixed, int pageRows,
                int total, int pageJumps);
  void MoveList(uint16_t direction, int vertical, int& top, int origin, int step, int fixed, int pageRows, int total,
                int pageJumps);

  // The number of levels on the stack.
  int Depth() const { return static_cast<int>(m_Levels.size()); }

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
