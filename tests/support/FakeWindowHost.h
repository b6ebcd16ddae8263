#pragma once
// A window host for the window library's tests: a rectangle, a style and a
// mouse that the test sets, and the calls it receives (pointer moves too).

#include <string>
#include <vector>

#include "platform/WindowHost.h"

namespace testsupport {

class cFakeWindowHost final : public plat::cWindowHost {
 public:
  RECT GetWindowRect() const override { return m_Rect; }
  RECT GetClientRect() const override { return RECT{0, 0, m_Rect.right - m_Rect.left, m_Rect.bottom - m_Rect.top}; }
  void SetWindowPos(int x, int y, int width, int height) override {
    m_Rect = RECT{x, y, x + width, y + height};
    ++m_Moves;
  }
  std::uint32_t GetStyle() const override { return m_Style; }
  void SetStyle(std::uint32_t style) override { m_Style = style; }
  void Show(int showCommand) override { m_Shows.push_back(showCommand); }
  bool IsIconic() const override { return m_Iconic; }
  bool IsZoomed() const override { return m_Zoomed; }
  void SetTitle(const std::string& title) override { m_Title = title; }
  bool GetCursorPos(POINT* point) const override {
    if (!m_HasCursor) return false;
    *point = m_Cursor;
    return true;
  }
  bool IsButtonDown(int virtualKey) const override {
    return virtualKey == VK_LBUTTON ? m_LeftDown : virtualKey == VK_RBUTTON ? m_RightDown : false;
  }
  void SetCursorPos(int x, int y) override {
    m_Cursor = POINT{x, y};
    m_HasCursor = true;
    m_PointerMoves.push_back(m_Cursor);
  }

  RECT m_Rect{100, 100, 740, 580};
  std::uint32_t m_Style = 0;
  std::vector<int> m_Shows;
  int m_Moves = 0;
  bool m_Iconic = false;
  bool m_Zoomed = false;
  std::string m_Title;
  bool m_HasCursor = true;
  POINT m_Cursor{110, 110};  // screen coordinates
  bool m_LeftDown = false;
  bool m_RightDown = false;
  std::vector<POINT> m_PointerMoves;
};

}  // namespace testsupport
