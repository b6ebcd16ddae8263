#include "data/Cmd.h"

#include <algorithm>

#include "core/ErrorBox.h"
#include "core/StringUtil.h"
#include "graphics/Font.h"

void cCmd::RegisterMembers(int) {
  ClearMembers();
  RegisterInt(m_bEnabled);
  RegisterString(m_strLabel);
}

int cCmd::CountEnabled(const tCmdList& menu) {
  return static_cast<int>(std::count_if(menu.begin(), menu.end(), [](const cCmd& c) { return c.m_bEnabled != 0; }));
}

int cCmd::GetCmdNum(int row, const tCmdList& menu) {
  int seen = 0;
  for (std::size_t pos = 0; pos < menu.size(); ++pos) {
    if (menu.at(pos).m_bEnabled == 0) continue;
    if (seen == row) return static_cast<int>(pos);
    ++seen;
  }
  DebugErrorBoxf("cCmd::GetCmdNum 番号が不正です！");
  return 0;
}

int cCmd::LongestLabel(const tCmdList& menu) {
  int longest = 0;
  for (const cCmd& entry : menu) {
    if (entry.m_bEnabled != 0) longest = std::max(longest, CountChars(entry.m_strLabel.c_str()));
  }
  return longest;
}

int cCmd::GetCenterX(int x, const tCmdList& menu) {
  const int longest = LongestLabel(menu);
  if (longest <= 0) return x;
  return x - ((longest + 1) * kCmdCellDots) / 2;
}

cCmdWindowLayout cCmd::GetWindowLayout(int x, int y, const tCmdList& menu) {
  cCmdWindowLayout layout;
  const int longest = LongestLabel(menu);
  if (longest <= 0) return layout;
  layout.visible = true;
  layout.boxX = x;
  layout.boxY = y;
  layout.boxWidth = (longest + 1) * kCmdCellDots;
  layout.boxHeight = CountEnabled(menu) * kCmdCellDots;
  int row = 0;
  for (const cCmd& entry : menu) {
    if (entry.m_bEnabled == 0) continue;
    layout.labels.push_back({x + kCmdCellDots, y + row * kCmdCellDots, entry.m_strLabel});
    ++row;
  }
  return layout;
}

namespace {

// The choice window in the 16-dot font.
class cFontPainter final : public cCmdWindowPainter {
 public:
  explicit cFontPainter(DDSURFACEDATA* lpDst) : m_lpDst(lpDst) {}
  void DrawWindowBox(int x, int y, int width, int height) override { g_Font[1].DrawBox(m_lpDst, x, y, width, height); }
  void DrawLabel(int x, int y, const std::string& text) override { g_Font[1].Draw(m_lpDst, x, y, text); }

 private:
  DDSURFACEDATA* m_lpDst;
};

}  // namespace

void cCmd::Draw(DDSURFACEDATA* lpDst, int x, int y, const tCmdList& menu) {
  cFontPainter painter(lpDst);
  Draw(painter, x, y, menu);
}

void cCmd::Draw(cCmdWindowPainter& painter, int x, int y, const tCmdList& menu) {
  const cCmdWindowLayout layout = GetWindowLayout(x, y, menu);
  if (!layout.visible) return;
  painter.DrawWindowBox(layout.boxX, layout.boxY, layout.boxWidth, layout.boxHeight);
  for (const cCmdWindowLayout::cLabel& label : layout.labels) painter.DrawLabel(label.x, label.y, label.text);
}
