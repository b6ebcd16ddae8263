#include "world/MenuCursor.h"

#include "world/KeyInput.h"

cMenuCursor::cMenuCursor() : m_Levels(1) { Repoint(); }

cMenuCursor::cMenuCursor(const cMenuCursor& other) : m_Value(other.m_Value), m_Levels(other.m_Levels) { Repoint(); }

cMenuCursor& cMenuCursor::operator=(const cMenuCursor& other) {
  m_Value = other.m_Value;
  m_Levels = other.m_Levels;
  Repoint();
  return *this;
}

void cMenuCursor::Repoint() {
  const int count = static_cast<int>(m_Levels.size());
  m_pCurrent = count > 0 ? &m_Levels[count - 1] : nullptr;
  m_pParent = count > 1 ? &m_Levels[count - 2] : nullptr;
}

void cMenuCursor::Reset() {
  m_Levels.resize(1);
  m_Levels[0] = cMenuCursorPos{};
  m_Value = 0;
  Repoint();
}

void cMenuCursor::Push(int mode) {
  cMenuCursorPos level{};
  if (mode == PUSH_COPY && !m_Levels.empty()) level = m_Levels[static_cast<int>(m_Levels.size()) - 1];
  m_Levels.push_back(level);
  Repoint();
}

void cMenuCursor::Pop(int mode) {
  const int count = static_cast<int>(m_Levels.size());
  if (count < 2) return;
  const cMenuCursorPos popped = m_Levels[count - 1];
  m_Levels.pop_back();
  Repoint();
  if (mode == POP_ZERO) {
    *m_pCurrent = cMenuCursorPos{};
  } else if (mode == POP_CARRY) {
    *m_pCurrent = popped;
  }
}

namespace {

// An index moved past either end of a count comes round to the other end.
int32_t WrapIndex(int32_t index, int count) {
  if (index < 0) return count - 1;
  if (index >= count) return 0;
  return index;
}


}  // namespace

void cMenuCursor::MoveGrid(const cKeyInput& keys, int x0, int y0, int dx, int dy, int columns, int rows) {
  MoveGrid(keys.m_Dir, x0, y0, dx, dy, columns, rows);
}

void cMenuCursor::MoveGrid(uint16_t direction, int x0, int y0, int dx, int dy, int columns, int rows) {
  if (columns < 0 || rows < 0) return;
  cMenuCursorPos& level = *m_pCurrent;
  if (direction & kDirLeft) {
    --level.m_Column;
  } else if (direction & kDirRight) {
    ++level.m_Column;
  }
  if (direction & kDirUp) {
    --level.m_Row;
  } else if (direction & kDirDown) {
    ++level.m_Row;
  }
  level.m_Row = WrapIndex(level.m_Row, rows);
  level.m_Column = WrapIndex(level.m_Column, columns);
  level.m_X = x0 + dx * level.m_Column;
  level.m_Y = y0 + dy * level.m_Row;
}

void cMenuCursor::MoveList(const cKeyInput& keys, int vertical, int& top, int origin, int step, int fixed,
                           int pageRows, int total, int pageJumps) {
  MoveList(keys.m_Dir, vertical, top, origin, step, fixed, pageRows, total, pageJumps);
}

void cMenuCursor::MoveList(uint16_t direction, int vertical, int& top, int origin, int step, int fixed, int pageRows,
                           int total, int pageJumps) {
  cMenuCursorPos& level = *m_pCurrent;
  int32_t& index = vertical != 0 ? level.m_Row : level.m_Column;
  if (direction & kDirUp) {
    if (index - top < 1) --top;
    --index;
  } else if (direction & kDirDown) {
    if (index - top >= pageRows - 1) ++top;
    ++index;
  }
  const int last = total - pageRows;
  if (pageJumps != 0) {
    if (direction & kDirRight) {
      if (top == last) {
        index = total - 1;
      } else {
        top += pageRows - 1;
        index += pageRows - 1;
      }
    } else if (direction & kDirLeft) {
      if (top != 0) {
        top -= pageRows - 1;
        index -= pageRows - 1;
      } else {
        index = 0;
      }
    }
  }
  // An empty list keeps the item at 0, so a caller that checks the item
  // against its list before use never sees a negative one.
  if (index > total - 1) index = total - 1;
  if (index < 0) index = 0;
  if (top < 0) top = 0;
  if (top > (last < 0 ? 0 : last)) top = last < 0 ? 0 : last;
  const int along = origin + step * (index - top);
  if (vertical != 0) {
    level.m_X = fixed;
    level.m_Y = along;
  } else {
    level.m_X = along;
    level.m_Y = fixed;
  }
}
