#include "graphics/DigitSurface.h"

#include <algorithm>

#include "graphics/DrawContext.h"
#include "graphics/SurfaceFill.h"

namespace {

constexpr const char* kDigits = "0123456789";
constexpr int kDigitCount = 10;

}  // namespace

bool CreateDigitSurfaces(DDSURFACEDATA* strips, const DDSURFACEDEF* defs, int count, Font* fonts,
                         const FONTDEF* fontDefs) {
  for (int i = 0; i < count; ++i) {
    const DDSURFACEDEF& def = defs[i];
    DDCreateSurface(&strips[i], kDigitCount * fontDefs[i].nCellWidth, fontDefs[i].nCellHeight, def.nKey,
                    def.dwDDMemory, def.dtMemoryType, def.bCopy, 0);
    DrawDigitSurface(&strips[i], fonts[i]);
  }
  return true;
}

void DrawDigitSurface(DDSURFACEDATA* lpStrip, Font& font) {
  if (lpStrip == nullptr) return;
  DDFillRectPal(lpStrip, 0, 0, lpStrip->nWidth, lpStrip->nHeight, 0);
  font.Draw(lpStrip, 0, 0, kDigits);
}

bool RestoreDigitSurfaces(DDSURFACEDATA* strips, int count) {
  count = std::min(count, kFontCount);
  for (int i = 0; i < count; ++i) {
    DDSURFACEDATA& strip = strips[i];
    Font& font = g_Font[static_cast<std::size_t>(i)];
    if (lpDTCon) {
      // Made again empty by the device reset: drawn again here, as every
      // other owner redraws what it finds lost.
      if (!strip.bLost || !strip.HasSurface()) continue;
      DrawDigitSurface(&strip, font);
      strip.bLost = 0;
      continue;
    }
    if (!strip.lpDD || !strip.lpDD->bSurfaceLost) continue;
    strip.lpDD->bSurfaceLost = 0;
    if (strip.dwDDMemory == 0) DrawDigitSurface(&strip, font);
  }
  return true;
}
