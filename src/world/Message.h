#pragma once
// cMessage: one message shown on the stage: a text window (the message
// command, item messages, the extra-life message) or a small rising icon.
// The scene keeps them in m_Messages; the stage drawing calls Update on each
// every frame and removes a message once Update reports it finished. A text
// window renders its text once into a surface of the message pool
// (g_MsgSurfaces, StageGraphics.h) and blits that surface each frame.
//
// Text escapes (ExpandMessageVars): '#' then the variable number with 'C'/'c'
// (common) or 'S'/'s' (stage) among its digits, optionally '_' followed by a
// minimum digit count, 'P' (a sign before the value) and 'Z' (keep leading
// zeros); any other byte ends the escape, a '.' ends it and is part of it.
//   common variable 5 = 42:  "#C5."  -> "42"     "#C5_4." -> "  42"
//                            "#C5_4Z." -> "0042"
//   stage variable 3 = 7:    "#S3_3P." -> "+  7"
// An escape without C or S, without a number or with a number outside
// 1..1000 stays as written. Double-byte characters are never split.
//
// Position modes (m_PosMode): 0 centred on the view; 1/4 above, 2/5 below,
// 3/6 centred on the followed character; 7 screen cell; 8 world cell.

#include <cstdint>
#include <functional>
#include <string>

#include "graphics/Surface.h"

enum eMessageKind : int32_t {
  MESSAGE_TEXT = 1,
  MESSAGE_KIND_ICON = 2,   // a graphic-kind icon (DrawKindIcon)
  MESSAGE_FIXED_ICON = 3,  // the 16 x 16 cell at (0, 48) of "Accessory"
};

// The 24 values of a message, in the order of cMessage::Set.
struct cMessageSetup {
  int32_t kind = MESSAGE_TEXT;
  std::string text;
  int32_t iconA = 0, iconB = 0, iconC = 0;
  int32_t posMode = 0;
  int32_t cellX = 0, cellY = 0;
  int32_t offX = 0, offY = 0;
  int32_t keepOnScreen = 0;
  int32_t fixedPos = 0;
  int32_t waitMode = 0;
  int32_t countdown = 0;
  int32_t countWhenFrozen = 0;
  int32_t followKey = 0;
  int32_t noOpening = 0;
  int32_t expand = 0;
  int32_t refresh = 0;
  int32_t refreshInterval = 0;
  int32_t boxStyle = 0;
  int32_t hasId = 0;
  int32_t id = 0;
  int32_t noSurface = 0;
};

class cMessage {
 public:
  cMessage() = default;
  explicit cMessage(const cMessageSetup& setup) { Set(setup); }
  ~cMessage() = default;
  cMessage(const cMessage&) = delete;
  cMessage& operator=(const cMessage&) = delete;

  void Set(const cMessageSetup& setup);
  // Takes a window surface of the message's size from the pool at `index`
  // (appended at the pool's size, else inserted there after releasing the
  // old one). A failure posts the close message.
  void CreateSurface(int index);
  // Draws m_Text into the window surface.
  void Render(DDSURFACEDATA* surface);
  // Once per drawn frame: ages, refreshes, places and draws the message; 1
  // when it has finished (its surface is then back in the pool).
  int Update(DDSURFACEDATA* target, int frozen);
  // Gives the window surface back to the pool.
  void ReleaseSurface();
  // This frame's top-left on the screen (anchored and kept on the screen as
  // asked); false when a text window's followed character is gone.
  bool ScreenPosition(int& x, int& y);

  // ---- members, in order ----
  DDSURFACEDATA* m_lpSD = nullptr;
  int32_t m_SurfaceEntry = -1;
  int32_t m_Kind = MESSAGE_TEXT;
  std::string m_Text;
  std::string m_Source;
  int32_t m_IconA = 0, m_IconB = 0, m_IconC = 0;
  int32_t m_ExpandVars = 0;
  int32_t m_Refresh = 0;
  int32_t m_RefreshInterval = 0;
  int32_t m_BoxStyle = 0;
  int32_t m_PosMode = 0;
  int32_t m_CellX = 0, m_CellY = 0;
  int32_t m_OffX = 0, m_OffY = 0;
  int32_t m_Width = 0, m_Height = 0;
  int32_t m_KeepOnScreen = 0;
  int32_t m_WaitMode = 0;
  int32_t m_FixedPos = 0;
  int32_t m_Latched = 0;
  int32_t m_LatchX = 0, m_LatchY = 0;
  int32_t m_HasId = 0;
  int32_t m_Id = 0;
  int32_t m_FollowKey = 0;
  int32_t m_Countdown = 0;
  int32_t m_CountWhenFrozen = 0;
  int32_t m_OpenAnim = 0;
  double m_OpenProgress = 0.0;

 private:
  // The screen position of this frame; false when the followed character is
  // gone.
  bool Place(int& x, int& y);
  void Refresh();
  void Draw(DDSURFACEDATA* target, int x, int y);
};

// Reads variable `number` of kind 'C' or 'S' for the escapes.
using tMessageVarReader = std::function<int32_t(char kind, int number)>;

// Expands the '#' escapes of `text` in place, reading through `reader`.
void ExpandMessageVars(std::string& text, const tMessageVarReader& reader);
// The same with the common variables of g_Progress and the stage variables
// of the game scene (an index outside a table is reported and entry 0 used).
void ExpandMessageVars(std::string& text);
// The window size for a text in the message font: the widest line and the
// lines' height, each + 2.
void MeasureText(const std::string& text, int32_t& width, int32_t& height);
// The font messages are written with (the 16-dot font).
class Font;
Font& MessageFont();
