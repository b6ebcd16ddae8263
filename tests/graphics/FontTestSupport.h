#pragma once
// Text tests on a running drawing layer with the box font engine: fonts of
// known glyph boxes, the text and frame colours set in the palette, and a
// comparison of all the ink on a surface with the rectangles a test expects.

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "DrawLayerTestSupport.h"
#include "graphics/Fade.h"
#include "graphics/Font.h"
#include "platform/FontEngine.h"

namespace fonttest {

using drawtest::eRoad;

inline constexpr std::uint32_t kTextColour = 241;
inline constexpr std::uint32_t kFrameColour = 240;
inline constexpr std::uint32_t kBackColour = 3;
inline constexpr std::uint32_t kTextRgb = 0xFAFAFA;
inline constexpr std::uint32_t kFrameRgb = 0xC8C800;
inline constexpr std::uint32_t kBackRgb = 0x142850;

struct sRect {
  int x = 0, y = 0, w = 0, h = 0;
};

// A started layer with the box engine and the palette colours of the tests;
// every font made during the test is released and unlisted at its end.
class cFontLayer {
 public:
  explicit cFontLayer(eRoad road, int width = 160, int height = 96, bool fullScreen = false, int bpp = 32)
      : m_Layer(road, width, height, fullScreen, bpp) {
    FontSetEngine(&m_Engine);
    g_Palette[0] = {drawtest::kKeyRed, drawtest::kKeyGreen, drawtest::kKeyBlue, 0};
    g_Palette[kBackColour] = {0x14, 0x28, 0x50, 0};
    g_Palette[kFrameColour] = {0xC8, 0xC8, 0x00, 0};
    g_Palette[kTextColour] = {0xFA, 0xFA, 0xFA, 0};
    g_PaletteWork = g_Palette;
  }
  ~cFontLayer() {
    ResetFontsForTests();
    ResetFadesForTests();
    FontSetEngine(nullptr);
    g_Palette = {};
    g_PaletteWork = {};
  }
  cFontLayer(const cFontLayer&) = delete;
  cFontLayer& operator=(const cFontLayer&) = delete;

  drawtest::cTestLayer& Layer() { return m_Layer; }
  bool Started() const { return m_Layer.Started(); }
  bool D3D() const { return m_Layer.D3D(); }

  // A font of the given engine height and cell, in the text colour, with the
  // frame colour and no box pattern or symbol sheet unless given.
  static bool Make(Font& font, int height, int cell, int cacheMode, DDSURFACEDATA* box = nullptr,
                   DDSURFACEDATA* symbols = nullptr) {
    return font.Create("テスト", 0, height, cell, cell, kTextColour, box, 1, kFrameColour, symbols, cacheMode);
  }

 private:
  drawtest::cTestLayer m_Layer;
  plat::cBoxFontEngine m_Engine;
};

// Compares the pixels of the given colour (red, green, blue) on the surface
// with the union of the rectangles; an empty string when they agree.
inline std::string CompareInk(DDSURFACEDATA& surface, std::uint32_t rgb, const std::vector<sRect>& rects) {
  plat::cPixelSurface& px = drawtest::PixelsOf(surface);
  std::ostringstream out;
  int mismatches = 0;
  for (int y = 0; y < px.Height(); ++y) {
    for (int x = 0; x < px.Width(); ++x) {
      bool expected = false;
      for (const sRect& r : rects) expected = expected || (x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h);
      const bool actual = drawtest::Rgb(px.GetPixel(x, y)) == rgb;
      if (expected != actual && mismatches++ < 8) {
        out << "(" << x << "," << y << ") " << (expected ? "has no ink" : "has stray ink") << "; ";
      }
    }
  }
  if (mismatches > 8) out << mismatches << " pixels in all";
  return out.str();
}

}  // namespace fonttest
