#pragma once
// The definitions of the three text styles (cells of 10, 16 and 32 dots) and
// of their digit strips. The fonts are made from them at start-up; the
// start-up may first replace every face by the system data's font choice.

#include <array>
#include <cstdint>
#include <string>

#include "graphics/SurfaceDef.h"

struct FONTDEF {
  std::string szFaceName;       // CP932
  std::int32_t nWidth = 0;      // font width (0: the face's own)
  std::int32_t nHeight = 0;     // font height
  std::int32_t nCellWidth = 0;  // one character cell
  std::int32_t nCellHeight = 0;
  std::uint32_t dwColor = 0;        // text colour (palette number)
  std::int32_t nBoxSurface = 0;     // box pattern (row of the fixed surface table)
  std::int32_t nFrame = 0;          // frame thickness
  std::uint32_t dwFrameColor = 0;   // frame colour (palette number)
  std::int32_t nSymbolSurface = 0;  // symbol sheet (row of the fixed surface table)
  std::int32_t nCacheMode = 0;      // glyph caches: 0 none, 2 as the System.ini keys decide
};

inline constexpr int kFontCount = 3;

// The three font definitions. Defined with every global object in
// app/Globals.cpp.
extern std::array<FONTDEF, kFontCount> g_FontDef;
// One per font: an empty file name, colour-keyed, everything else 0.
extern std::array<DDSURFACEDEF, kFontCount> g_DigitSurfaceDef;

// The definitions as they are at process start.
std::array<FONTDEF, kFontCount> MakeFontDefinitions();
