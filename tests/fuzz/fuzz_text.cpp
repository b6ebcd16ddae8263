// Texts drawn with the fonts: the walk over arbitrary bytes taken as CP932
// (stray lead bytes, a lead byte at the very end, control bytes, NUL bytes,
// lines of any length), through the glyph caches and through the font engine.

#include <cstdlib>
#include <memory>
#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "graphics/DrawContext.h"
#include "graphics/Font.h"
#include "graphics/Palette.h"
#include "platform/FontEngine.h"

namespace {

// One DirectDraw layer and three fonts for the whole run: 16-dot cells with
// glyph caches (which fill up as new characters come), 10-dot cells without,
// and 16-dot cells with symbols from a sheet.
struct sTextScene {
  plat::cBoxFontEngine engine;
  DDSURFACEDATA symbols;
  Font cached, uncached, symbolic;

  sTextScene() {
    DDInit(0, nullptr, 320, 240, 32, 0, 1, 1, 60, 0, nullptr, nullptr, 0, 0);
    DDSetTransmit(255, 0, 255);
    g_Palette[0] = {255, 0, 255, 0};
    g_Palette[241] = {250, 250, 250, 0};
    FontSetEngine(&engine);
    DDCreateSurface(&symbols, 26 * 16, 16, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0);
    cached.Create("fuzz", 0, 16, 16, 16, 241, nullptr, 1, 240, nullptr, 1);
    uncached.Create("fuzz", 0, 9, 10, 10, 241, nullptr, 1, 240, nullptr, 0);
    symbolic.Create("fuzz", 0, 16, 16, 16, 241, nullptr, 1, 240, &symbols, 0);
    symbolic.m_bCentre = 1;
  }
};

sTextScene& Scene() {
  static sTextScene* scene = new sTextScene();
  return *scene;
}

}  // namespace

// The first byte picks the font and the place (the text may start off the
// screen); the rest is the text, handed over with its exact length so that a
// read past its end is caught.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  sTextScene& scene = Scene();
  if (size == 0) return 0;
  Font* fonts[] = {&scene.cached, &scene.uncached, &scene.symbolic};
  Font& font = *fonts[data[0] % 3];
  const int x = (data[0] >> 2) * 8 - 64;
  const int y = (data[0] >> 5) * 40 - 40;
  const std::unique_ptr<char[]> bytes(new char[size - 1 + 1]);
  for (std::size_t i = 1; i < size; ++i) bytes[i - 1] = static_cast<char>(data[i]);
  const std::string_view text(bytes.get(), size - 1);

  font.Draw(&BackBuffer, x, y, text);
  font.DrawInBox(&BackBuffer, x, y, 0, 0, text, 4);
  const sTextSize measured = font.MeasureFixed(text);
  // No line is wider than one cell per byte, and no text has more lines
  // than bytes.
  if (measured.width > static_cast<std::int64_t>(text.size()) * font.m_nCellW) __builtin_trap();
  if (measured.height > static_cast<std::int64_t>(text.size()) * font.m_nCellH) __builtin_trap();
  if (TextLineLength(text) > static_cast<int>(text.size())) __builtin_trap();
  return 0;
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  const auto seed = [](std::uint8_t first, std::string_view text) {
    std::vector<std::uint8_t> bytes{first};
    bytes.insert(bytes.end(), text.begin(), text.end());
    return bytes;
  };
  return {
      seed(0x28, "AB\nD"),
      seed(0x2A, "\x82\xA0" "a\n\x81\x40 z"),     // a pair, a symbol letter, the full-width space
      seed(0x29, "\xB1\xB2\xB3\x01\x7F\x80\xA0\xFD"),  // half-width katakana, control and undefined bytes
      seed(0x00, "\x8A\xBF\x8E\x9A\x81"),        // two kanji and a lead byte at the end
      seed(0xFF, std::string_view("A\0\x82", 3)),  // a NUL ends the text
  };
}
