#include "graphics/FontDef.h"

std::array<FONTDEF, kFontCount> MakeFontDefinitions() {
  const char* const kFace = "ＭＳ ゴシック";
  //                 face   w  h   cell w, h  colour box frame colour symbols cache
  return {{
      {kFace, 0, 9, 10, 10, 241, SURF_WINDOW, 1, 240, SURF_SYMBOL, 2},
      {kFace, 0, 16, 16, 16, 241, SURF_WINDOW, 1, 240, SURF_SYMBOL, 2},
      {kFace, 0, 30, 32, 32, 241, SURF_WINDOW, 1, 240, SURF_SYMBOL, 0},
  }};
}

namespace {

std::array<DDSURFACEDEF, kFontCount> MakeDigitSurfaceDefinitions() {
  std::array<DDSURFACEDEF, kFontCount> defs;
  for (DDSURFACEDEF& def : defs) def.Set("", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  return defs;
}

}  // namespace

std::array<DDSURFACEDEF, kFontCount> g_DigitSurfaceDef = MakeDigitSurfaceDefinitions();
