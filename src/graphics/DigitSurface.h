#pragma once
// The digit strips: "0123456789" drawn in each font, ten cells in one row,
// for numbers drawn with DDDrawNumber in the fonts' style.

#include <array>

#include "graphics/Font.h"
#include "graphics/FontDef.h"
#include "graphics/Surface.h"

// One strip per font. Defined with every global object in app/Globals.cpp.
extern std::array<DDSURFACEDATA, kFontCount> g_DigitSD;

// For each of `count` rows: a strip of 10 x cell width by cell height of the
// font definition, made with the digit definition's colour key and memory,
// then drawn with the font. True.
bool CreateDigitSurfaces(DDSURFACEDATA* strips, const DDSURFACEDEF* defs, int count, Font* fonts,
                         const FONTDEF* fontDefs);

// Clears the strip to palette colour 0 (transparent) and draws the digits at
// its top-left with the font.
void DrawDigitSurface(DDSURFACEDATA* lpStrip, Font& font);

// After lost video memory, strip i is drawn again with g_Font[i]: under
// DirectDraw a lost strip is restored (and drawn again when it is in video
// memory); under Direct3D a strip made again empty (bLost) is drawn again and
// its bLost cleared. True.
bool RestoreDigitSurfaces(DDSURFACEDATA* strips, int count);
