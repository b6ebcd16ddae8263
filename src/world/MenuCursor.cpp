#include "world/MenuCursor.h"

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
