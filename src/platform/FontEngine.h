#pragma once
// The font engine: the pictures of single characters of CP932 text in a named
// face at a given height, for the drawing layer's three text styles.
//
// Characters are given by their code: one byte (0x00-0xFF), or a lead byte
// and a trail byte as lead << 8 | trail. These show no ink: the space and the
// full-width space, control bytes below 0x20 and 0x7F, bytes that are no
// character on their own (a lead byte alone, 0x80, 0xA0, 0xFD-0xFF), pairs
// the code page leaves undefined and characters the face has no glyph for.
// Byte 0x5C is drawn as the face draws U+005C, 0x7E as the face draws
// U+007E: the IPA fonts, like the Japanese faces the games were made with,
// show a yen sign and an overline there.
//
// Geometry: a face opened at height H has a line H pixels high (ascent plus
// descent is H). A glyph picture is placed by its offset from the character's
// origin, the top-left of its line at the pen position: ink pixel (i, j)
// belongs at (origin x + left + i, origin y + top + j).
//
// Two engines:
//   CreateFreeTypeFontEngine()  FreeType with fontconfig over Debian's IPA
//                               fonts; the face name picks the file
//                               (IpaFontForFace)
//   cBoxFontEngine              for tests: solid boxes of known size
//
// Threads: any thread may open faces. One face is used by one thread at a
// time (the drawing layer draws text from one thread at a time); distinct
// faces are independent of each other.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// How the ink is rendered.
enum class eGlyphStyle : std::uint8_t {
  Smooth,  // anti-aliased: coverage 0..255, for text blended with its alpha
  Mono,    // one bit: every pixel 0 or 255, for text on colour-keyed
           // surfaces, whose edges must not blend
};

struct sGlyphImage {
  int left = 0;  // offset of the ink's top-left from the character's origin
  int top = 0;
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> coverage;  // width * height, top row first

  bool HasInk() const { return width > 0 && height > 0; }
  void Clear() {
    left = top = width = height = 0;
    coverage.clear();
  }
};

// The extent of one character as a line of text measures it.
struct sTextExtent {
  int width = 0;   // the advance to the next character
  int height = 0;  // the line height: the face's height
};

class cFontFace {
 public:
  virtual ~cFontFace() = default;

  // The height the face was opened at: the line height in pixels.
  virtual int Height() const = 0;
  // The ink of the character; false (and an image without ink) when it shows
  // none (see above).
  virtual bool Render(std::uint32_t code, eGlyphStyle style, sGlyphImage& image) = 0;
  // The advance and line height of the character; the advance is 0 for a code
  // that is no character.
  virtual sTextExtent Measure(std::uint32_t code) = 0;
};

class cFontEngine {
 public:
  virtual ~cFontEngine() = default;

  // The face named by the CP932 face name at the height in pixels (1 or
  // more). Null, with the reason in *error, when no font file can serve it.
  virtual std::unique_ptr<cFontFace> OpenFace(std::string_view faceName, int height, std::string* error) = 0;
};

// ---------------------------------------------------------------------------
// The IPA fonts and the face names of the game data

enum class eIpaFont : std::uint8_t {
  Gothic,   // IPAGothic: fixed-pitch Gothic
  PGothic,  // IPAPGothic: proportional Gothic
  Mincho,   // IPAMincho
};

// Which IPA font serves a face name, decided on the decoded name with
// full-width Latin letters and half-width katakana folded to their common
// forms and Latin letters compared without case:
//   a Mincho face ("明朝", "Mincho")                          -> Mincho
//   a proportional Gothic face: "P" right before the Gothic
//   word (ＭＳ Ｐゴシック, HGPｺﾞｼｯｸE), an "HGP" family, a "UI"
//   Gothic (MS UI Gothic), or メイリオ                          -> PGothic
//   any other name, Gothic or not                             -> Gothic
eIpaFont IpaFontForFace(std::string_view faceName);

// The fontconfig family name of the font ("IPAGothic", "IPAPGothic", "IPAMincho").
const char* IpaFamilyName(eIpaFont font);

// FreeType with fontconfig. A face is looked up by its IPA family; when that
// family is not installed, IPAGothic serves instead; when neither is, the face
// cannot be opened. Faces are scaled so that the font's Windows ascent plus
// descent (the hhea ascender and descender when the font has no OS/2 table)
// equals the height, with the baseline at the scaled ascent; glyphs are hinted
// and embedded bitmaps are used where the font has them at that size. Mono
// glyphs come from FreeType's one-bit rasteriser with the hinting made for
// it: thresholding the smooth coverage instead would drop the thin strokes
// of small glyphs, whose pixels are only partly covered.
std::unique_ptr<cFontEngine> CreateFreeTypeFontEngine();

// Solid boxes of known size, for tests of text layout. At height H a
// character that shows ink is a box at the origin (left 0, top 0), H pixels
// high, with coverage 255; it is H / 2 pixels wide for a single byte and H
// pixels wide for a pair, one pixel narrower when the code is odd. Its advance
// is the box width; a space or the full-width space advances as wide as a box
// of its code but shows no ink. Faces open at any height of 1 or more, whatever
// the name.
class cBoxFontEngine final : public cFontEngine {
 public:
  std::unique_ptr<cFontFace> OpenFace(std::string_view faceName, int height, std::string* error) override;

  // The box of a character at a height: its width (0 for a code that is no
  // character) and whether it shows ink.
  static int BoxWidth(std::uint32_t code, int height);
  static bool ShowsInk(std::uint32_t code);
};

}  // namespace plat
