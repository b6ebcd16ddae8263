// cScreenColor: the tint the change-screen-colour command lays over the frame.

#include "graphics/ColourEffects.h"
#include "graphics/DrawContext.h"
#include "graphics/Fade.h"
#include "graphics/Palette.h"
#include "graphics/SurfaceFill.h"
#include "world/SceneDrawState.h"
#include "world/StageGraphics.h"

void cScreenColor::Set(int red, int green, int blue, int percent, int returnToPrevious, int duration, int blink,
                       int repeats) {
  if (returnToPrevious != 0) {
    if (IsDirect3D() && m_bRunning == 0) return;
    if (IsPaletteMode() && m_bPending == 0) return;
  }
  m_PrevRed = m_Red;
  m_PrevGreen = m_Green;
  m_PrevBlue = m_Blue;
  m_nPrevPercent = m_nPercent;
  m_nPrevLevel = m_nLevel;
  m_Red = static_cast<uint8_t>(red);
  m_Green = static_cast<uint8_t>(green);
  m_Blue = static_cast<uint8_t>(blue);
  m_nPercent = percent;
  m_bReturn = returnToPrevious;
  m_nDuration = duration * 6;
  m_bBlink = blink;
  m_nRepeats = repeats;
  m_bRunning = 1;
  m_nCounter = 0;
  m_nRepeatCounter = 0;
  if (returnToPrevious == 0) {
    m_nLevel = 0;
    m_bPending = 1;
  } else {
    m_Red = m_PrevRed;
    m_Green = m_PrevGreen;
    m_Blue = m_PrevBlue;
    m_nPercent = m_nPrevPercent;
    m_nLevel = m_nPrevLevel;
  }
}

// This frame's level and colour, from the counter.
void cScreenColor::ComputeLevel(uint8_t& red, uint8_t& green, uint8_t& blue) {
  const double fraction = m_nDuration > 0 ? static_cast<double>(m_nCounter) / m_nDuration : 1.0;
  if (m_bReturn != 0) {
    m_nLevel = m_nDuration > 0 ? static_cast<int>(fraction * (255 - m_nPrevLevel) + m_nPrevLevel) : 255;
    red = m_PrevRed;
    green = m_PrevGreen;
    blue = m_PrevBlue;
  } else {
    m_nLevel = static_cast<int>(255 - fraction * m_nPercent * 2.55);
    red = m_Red;
    green = m_Green;
    blue = m_Blue;
  }
  if (m_nLevel < 0) m_nLevel = 0;
  if (m_nLevel > 255) m_nLevel = 255;
}

void cScreenColor::DrawTint(uint8_t red, uint8_t green, uint8_t blue) {
  if (m_nLevel >= 255) return;
  DDSURFACEDATA* frame = &BackBuffer;
  if (DDMapBackBuffer(frame) == 0) {
    DDChangeColor(&BackBuffer, 0, 0, 640, 480, m_nLevel, red, green, blue);
    return;
  }
  // While a screen effect runs the frame is in the virtual back buffer, a
  // texture: the colour change would take the frame as its own texture and
  // multiply it by the colour. The colour is laid over it as a constant
  // instead, with the same transparency. The work surface is still left
  // holding the colour: the next frame's effect copies the frame into it by
  // its alpha, so where the frame is not opaque (the edges of text) what the
  // work surface held shows through.
  DDFillRectRGB(TableSurface(SURF_WORK), 0, 0, 640, 480, 0xFF000000u | red << 16 | green << 8 | blue);
  DDLayColor(&BackBuffer, 0, 0, 640, 480, m_nLevel, red, green, blue);
}

void cScreenColor::ApplyPalette(uint8_t red, uint8_t green, uint8_t blue) {
  // DDBlendPalette counts 256 as the source kept; the level runs to 255.
  const int level = m_nLevel >= 255 ? 256 : m_nLevel;
  DDBlendPalette(g_PaletteWork, 0, 255, level, red, green, blue, g_Palette);
  DDSetPaletteEntries(0, 256, g_PaletteWork.data());
}

void cScreenColor::Draw(int frozen) {
  if (m_bRunning == 0) return;
  if (!IsDirect3D() && !IsPaletteMode()) {
    m_bRunning = 0;
    return;
  }
  if (IsPaletteMode() && frozen != 0) return;
  uint8_t red, green, blue;
  // The frame on which the counter has reached the duration shows the level
  // of the whole duration; a plain change or a return ends on it.
  const bool reached = m_nCounter >= m_nDuration;
  if (!IsDirect3D() || !reached || m_bBlink != 0 || m_bReturn != 0)
    ComputeLevel(red, green, blue);
  else {
    // Direct3D's plain mode holds its full level after the duration.
    m_nLevel = static_cast<int>(255 - m_nPercent * 2.55);
    if (m_nLevel < 0) m_nLevel = 0;
    red = m_Red;
    green = m_Green;
    blue = m_Blue;
  }
  if (IsDirect3D())
    DrawTint(red, green, blue);
  else
    ApplyPalette(red, green, blue);
  if (frozen != 0) return;
  if (m_bBlink != 0) {
    AdvanceBlink();
    return;
  }
  if (!reached) {
    ++m_nCounter;
    return;
  }
  if (m_bReturn != 0 || !IsDirect3D()) {
    m_bRunning = 0;
    if (m_bReturn != 0) m_bPending = 0;
  } else if (m_nPercent == 0) {
    m_bRunning = 0;
  }
}

// A blink shows the loaded colours again as its counter reaches the duration,
// and starts over until its repeats are done.
void cScreenColor::AdvanceBlink() {
  if (m_nCounter < m_nDuration) ++m_nCounter;
  if (m_nCounter < m_nDuration) return;
  if (IsPaletteMode()) DDSetPaletteEntries(0, 256, g_Palette.data());
  m_nCounter = 0;
  if (++m_nRepeatCounter >= m_nRepeats) m_bRunning = 0;
}
