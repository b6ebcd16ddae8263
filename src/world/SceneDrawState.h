#pragma once
// The types of the game scene's drawing state (GameScene.h holds one of
// each): the lists of running effects, pictures and messages, and the
// screen colour. Kept apart so GameScene.h stays a short list of members.

#include <cstdint>
#include <list>
#include <memory>

#include "world/EffectPlayer.h"
#include "world/Message.h"
#include "world/PicturePlayer.h"
#include "world/ScrEffectPlayer.h"

using tEffectList = std::list<cEffectPlayer>;
using tPictureList = std::list<cPicturePlayer>;
// Messages hold surfaces of the pool: they do not move once made. Shared, so
// a command waiting on its message keeps it alive and can tell whether it is
// still listed when the wait is over.
using tMessageList = std::list<std::shared_ptr<cMessage>>;

// cScreenColor: the change-screen-colour command's tint of the whole frame
// (Direct3D: a full-screen tint; 8-bit DirectDraw: the palette blended toward
// the colour; other DirectDraw depths: nothing). Level 255 is no tint.
class cScreenColor {
 public:
  // The command's eight values: red, green, blue, percent, return to the
  // previous colour, duration in tenths of a second, blink, repeats.
  void Set(int red, int green, int blue, int percent, int returnToPrevious, int duration, int blink, int repeats);
  // Draws (or applies) this frame's tint; advances unless frozen.
  void Draw(int frozen);
  // The tint level this frame: 255 none, 0 the full colour.
  int Level() const { return m_nLevel; }

  // ---- members, in order ----
  int32_t m_bPending = 0;
  uint8_t m_Red = 0, m_Green = 0, m_Blue = 0;
  int32_t m_nPercent = 0;
  int32_t m_bReturn = 0;
  int32_t m_nDuration = 0;  // frames
  int32_t m_bBlink = 0;
  int32_t m_nRepeats = 0;
  int32_t m_bRunning = 0;
  int32_t m_nCounter = 0;
  int32_t m_nRepeatCounter = 0;
  int32_t m_nLevel = 255;
  uint8_t m_PrevRed = 0, m_PrevGreen = 0, m_PrevBlue = 0;
  int32_t m_nPrevPercent = 0;
  int32_t m_nPrevLevel = 255;

 private:
  void ComputeLevel(uint8_t& red, uint8_t& green, uint8_t& blue);
  void DrawTint(uint8_t red, uint8_t green, uint8_t blue);
  void ApplyPalette(uint8_t red, uint8_t green, uint8_t blue);
  void AdvanceBlink();
};

// Per-frame values the stage drawing keeps between frames.
struct cSceneDrawState {
  // The colour phase of the range displays (0..31).
  int32_t m_nRangePhase = 0;
  // The big work surface and the work surface of the character drawers.
  int32_t m_bSurfacesSelected = 0;
};
