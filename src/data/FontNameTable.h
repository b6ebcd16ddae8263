#pragma once
// The face names the system data's font choice selects from: 122 names, then
// "". Start-up replaces the face of every font definition by
// FontNameTable[g_System.m_nFontFace].

#include <array>

inline constexpr int kFontNameCount = 122;
inline constexpr int kDefaultFontFaceIndex = 60;  // "ＭＳ Ｐゴシック"

extern const std::array<const char*, kFontNameCount + 1> FontNameTable;

// The face of a font choice; a choice outside 0..121 gives the default face
// ("ＭＳ Ｐゴシック", 60).
const char* FontFaceName(int fontFace);
