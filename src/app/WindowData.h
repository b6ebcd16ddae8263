#pragma once
// cWindowData: the main window's placement, kept in "user_data\Window.dat"
// between runs (window mode only). Five 32-bit members at every data version:
// x and y of the window's top-left corner on the screen, the client width and
// height, and whether the window was maximised.

#include <cstdint>

#include "data/DataRecord.h"

class cWindowData : public cDataRecord {
 public:
  cWindowData() { Clear(); }

  void RegisterMembers(int nVersion) override;
  // The record, then x and y brought onto the screen: each is clamped to
  // 0 .. the full-screen width / height (width and height stay as stored).
  bool Read(cByteReader& in) override;

  void Set(int x, int y, int width, int height, int maximised);

  std::int32_t m_nX = 0;
  std::int32_t m_nY = 0;
  std::int32_t m_nWidth = 0;
  std::int32_t m_nHeight = 0;
  std::int32_t m_bMaximised = 0;
};

// Defined with the other global objects.
extern cWindowData g_WindowData;
