// The per-frame flash colours of Direct3D and the palette cycling of 8-bit
// DirectDraw (AnimatePalette, declared in Palette.h).

#include "graphics/DrawContext.h"
#include "graphics/Fade.h"
#include "graphics/Palette.h"

namespace {

// One pulse: a value running up and down between 0 and 255.
struct sPulse {
  int value = 0;
  bool falling = false;

  // Moves by the step; returns true when a fall ended, which completes a cycle.
  bool Step(int step) {
    if (step <= 0) return false;  // a pulse without a step stands still
    if (!falling) {
      if (value + step < 255) value += step;
      else falling = true;
      return false;
    }
    if (value - step > 0) {
      value -= step;
      return false;
    }
    falling = false;
    return true;
  }
};

std::array<sPulse, 10> g_Pulses{};  // entries 1 to 9
int g_RainbowPhase = 0;             // the colour of entry 9: red, green, blue, yellow
int g_CycleCount = 0;

std::uint32_t Argb(int red, int green, int blue) {
  return 0xFF000000u | static_cast<std::uint32_t>(red) << 16 | static_cast<std::uint32_t>(green) << 8 |
         static_cast<std::uint32_t>(blue);
}

DDBLENDPARAM FlashColour(int entry, int v) {
  switch (entry) {
    case 1: return {Argb(v, v, v), D3DTOP_ADD};
    case 2: return {Argb(v, v, v), D3DTOP_SUBTRACT};
    case 3: return {Argb(v, 0, 0), D3DTOP_ADD};
    case 4: return {Argb(0, v, 0), D3DTOP_ADD};
    case 5: return {Argb(0, 0, v), D3DTOP_ADD};
    case 6: return {Argb(v, v, 0), D3DTOP_ADD};
    case 7: return {Argb(v, 0, v / 4), D3DTOP_ADD};
    case 8: return {Argb(v / 4, 0, v), D3DTOP_ADD};
    default:
      switch (g_RainbowPhase) {
        case 0: return {Argb(v, 0, 0), D3DTOP_ADD};
        case 1: return {Argb(0, v, 0), D3DTOP_ADD};
        case 2: return {Argb(0, 0, v), D3DTOP_ADD};
        default: return {Argb(v, v, 0), D3DTOP_ADD};
      }
  }
}

}  // namespace

void AnimatePalette(int flashStep, int paletteCycling) {
  if (lpDTCon) {
    for (int entry = 1; entry <= 9; ++entry) {
      g_FlashColors[entry] = FlashColour(entry, g_Pulses[entry].value);
      const bool cycleDone = g_Pulses[entry].Step(flashStep);
      if (entry == 9 && cycleDone) g_RainbowPhase = (g_RainbowPhase + 1) % 4;
    }
    return;
  }
  if (g_DrawLayer.nBpp != 8 || !paletteCycling) return;
  if (++g_CycleCount < 6) return;
  g_CycleCount = 0;
  for (int first = 208; first < 240; first += 4) DDRotatePalette(g_PaletteWork, first, first + 3, 1, 1, g_PaletteWork);
  DDSetPaletteEntries(208, 32, &g_PaletteWork[208]);
}

void ResetPaletteAnimationForTests() {
  g_Pulses = {};
  g_RainbowPhase = 0;
  g_CycleCount = 0;
  g_FlashColors = {};
}
