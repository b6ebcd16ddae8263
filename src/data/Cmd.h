#pragma once
// cCmd: one line of a menu (a label and whether the line is offered), and the
// choice-list window built from a list of them.
//
// Every menu of the game (the title, map and option menus of the system data,
// the pause menu and the other choice windows of the game scene) is a
// cSafeVector<cCmd>, stored as a record list. Disabled entries stay in the
// list, so a list position always means the same choice, but they are neither
// drawn nor selectable: a menu cursor moves over the enabled entries only, and
// GetCmdNum turns the cursor row back into the list position.
//
// The window: one row of 16 dots per enabled entry, as wide as the longest
// enabled label plus one 16-dot column on the left for the cursor arrow (which
// the caller draws). The window is drawn through a cCmdWindowPainter: on a
// surface, the painter over the 16-dot font's window box (Font::DrawBox) and
// its text (Font::Draw).

#include <cstdint>
#include <string>
#include <vector>

#include "core/SafeVector.h"
#include "data/DataRecord.h"
#include "graphics/Surface.h"

class cCmd;
using tCmdList = cSafeVector<cCmd>;

// Size of one row and of one character column of the window, in dots (the
// 16-dot font's cell).
inline constexpr int kCmdCellDots = 16;

// Where the choice-list window and its labels go. `visible` is false when no
// enabled entry has a label of at least one character: then nothing is drawn.
struct cCmdWindowLayout {
  struct cLabel {
    int x = 0;
    int y = 0;
    std::string text;
  };
  bool visible = false;
  int boxX = 0;
  int boxY = 0;
  int boxWidth = 0;
  int boxHeight = 0;
  std::vector<cLabel> labels;  // one per enabled entry, top to bottom
};

// What the choice-list window needs of the drawing side: the window box of the
// 16-dot font and a line of text in that font.
class cCmdWindowPainter {
 public:
  virtual ~cCmdWindowPainter() = default;
  virtual void DrawWindowBox(int x, int y, int width, int height) = 0;
  virtual void DrawLabel(int x, int y, const std::string& text) = 0;
};

class cCmd : public cDataRecord {
 public:
  // A fresh entry: enabled, with an empty label.
  cCmd() { Reset(); }
  cCmd(std::int32_t enabled, std::string label) : m_bEnabled(enabled), m_strLabel(std::move(label)) {}
  void Reset() {
    Clear();
    m_bEnabled = 1;
  }

  // The same two members in every data version.
  void RegisterMembers(int nVersion) override;

  // ---- operations on a menu ----

  // The number of enabled entries.
  static int CountEnabled(const tCmdList& menu);
  // The list position of the row-th enabled entry (rows from 0). A row with no
  // such entry (negative, too large, or a menu without enabled entries) asks
  // for the debug box "cCmd::GetCmdNum 番号が不正です！" and gives 0.
  static int GetCmdNum(int row, const tCmdList& menu);
  // The length in characters of the longest enabled label (a double-byte
  // character counts once).
  static int LongestLabel(const tCmdList& menu);
  // The left edge that centres the window on x: x - ((L + 1) x 16) / 2 with L
  // the longest enabled label, or x itself when L is 0.
  static int GetCenterX(int x, const tCmdList& menu);
  // The window at (x, y): (L + 1) x 16 by n x 16 dots for n enabled entries,
  // the j-th enabled label at (x + 16, y + 16 j).
  static cCmdWindowLayout GetWindowLayout(int x, int y, const tCmdList& menu);
  // Draws the window: nothing when L is 0; otherwise the box, then the labels.
  static void Draw(cCmdWindowPainter& painter, int x, int y, const tCmdList& menu);
  // The same onto a surface, with the 16-dot font (g_Font[1]).
  static void Draw(DDSURFACEDATA* lpDst, int x, int y, const tCmdList& menu);

  std::int32_t m_bEnabled = 1;
  std::string m_strLabel;
};
