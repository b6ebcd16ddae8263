#pragma once
// Font: one of the three text styles every text of the player is drawn in,
// g_Font[0..2], with cells of 10, 16 and 32 dots.
//
// Text is CP932 and ends at its first NUL byte (or the end of the view): a
// lead byte followed by a trail byte is one double-byte character, any other
// byte one single-byte character (a lead byte at the very end stands alone).
// Every character takes one cell of the font, whatever its glyph's width;
// '\n' starts the next line one cell lower at the left edge. While the font's
// symbols are on and its symbol sheet exists, the letters 'a' to 'z' are not
// drawn as letters: each shows cell (letter - 'a') of the symbol sheet, a row
// of 26 cells of the font's cell size. The space and the full-width space,
// control bytes, 0x7F and bytes that are no character draw nothing but take
// their cell; byte 0x5C draws as the font draws it (a yen sign with the IPA
// fonts).
//
// Where a glyph sits in its cell: a double-byte glyph at the cell's top-left,
// a single-byte glyph at (cell width / 8, cell height / 16 - 1) from it, that
// is (+1, -1), (+2, 0) and (+4, +1) for cells of 10, 16 and 32; with the
// centre flag, every glyph the font engine draws is centred in its cell by
// its advance and line height.
//
// The two back ends draw text differently, as a player sees it:
//   Direct3D    glyphs are anti-aliased and blended over the destination; a
//               destination that is not a video render target gets the text
//               composed in the font's Work surface first and copied keyed
//   DirectDraw  glyphs are one-bit (no blended edges: colour-keyed surfaces
//               must not get edge colours), composed in Work and blitted with
//               the colour key; symbols are drawn onto the destination after
// With a glyph cache (cache mode non-zero, FastFont.h) characters are
// blitted from the cache sheets instead of being rendered each time.
//
// Fonts are made by CreateFonts at start-up, live until UnInitGame, and are
// drawn by one thread at a time (the frame's thread, or the thread that
// waits for it); the display restore of the main thread runs while that
// thread waits for it.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/PrintfFormat.h"
#include "graphics/FastFont.h"
#include "graphics/FontDef.h"
#include "graphics/Surface.h"
#include "platform/FontEngine.h"

// A measured text: the widest line and all lines, in dots.
struct sTextSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
  friend bool operator==(const sTextSize&, const sTextSize&) = default;
};

class Font {
 public:
  Font() = default;
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  // Makes the font: the face at `height` from the font engine, the Work
  // surface (screen-sized, colour-keyed), the listing in the font list, and,
  // with a non-zero cache mode and cell sizes, the two glyph caches filled
  // with their characters. The device colour is taken from the palette now.
  // False when the face or a surface cannot be made: the reason goes to the
  // report (and the debug log) and the main window is asked to close.
  bool Create(const std::string& face, int width, int height, int cellW, int cellH, std::uint32_t colour,
              DDSURFACEDATA* lpBox, int frame, std::uint32_t frameColour, DDSURFACEDATA* lpSymbol, int cacheMode);
  // Frees the face, the caches and Work; the font stays listed and can be
  // made again. A font never made does nothing.
  void Release();
  // Back to the state of a font never made (releases first).
  void Reset();
  // After lost video memory: Direct3D re-renders each cache whose sheet came
  // back empty (bLost), DirectDraw restores Work and every sheet and
  // re-renders the caches; a cache keeps its characters in the same cells.
  void Restore();

  // Fills the half cache with codes 16 to 255, and the full cache with the
  // default set (restore false) or with the characters it holds (restore
  // true), each rendered by the font engine with symbols off.
  void PrerenderHalf();
  void PrerenderFull(bool restore);

  // Draws the text with its top-left at (x, y).
  void Draw(DDSURFACEDATA* lpDst, int x, int y, std::string_view text);
  // The window box of the font's style: the box pattern's top-left width x
  // height with a frame outside it. An x (y) of 10000 centres the box on the
  // box pattern's own width (height), not the destination's.
  void DrawBox(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight);
  // A box with the text in it at (x + margin, y). A width of 0 becomes
  // margin + the text's width, a height of 0 the text's height; 10000 as in
  // DrawBox.
  void DrawInBox(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, std::string_view text, int margin);
  // Width: the most characters on one line x the cell width; height: the
  // number of lines x the cell height. A final '\n' starts no line of its
  // own; an empty text measures 0 x 0.
  sTextSize MeasureFixed(std::string_view text) const;

  // The walk that draws a text: characters the font engine renders go to
  // `lpSurface` at (x, y) plus their cell, cached ones are blitted to `lpDst`
  // at (dx, dy) plus their cell. One sprite batch (sorting mode).
  void RenderText(DDSURFACEDATA* lpSurface, int x, int y, DDSURFACEDATA* lpDst, int dx, int dy,
                  std::string_view text, int bSymbols);
  // One character (a byte, or lead << 8 | trail) rendered by the font engine
  // into its cell at (x, y); `centre` allows the centre flag to apply.
  void RenderGlyph(DDSURFACEDATA* lpSurface, int x, int y, std::uint32_t code, bool centre = true);
  // The symbol cells of the letters 'a' to 'z' of the text (one sprite batch,
  // queueing order).
  void DrawSymbols(DDSURFACEDATA* lpDst, int x, int y, std::string_view text);

  bool IsCreated() const { return m_lpFace != nullptr; }
  // Glyphs held by the full cache (0 without one).
  int FullCacheCount() const { return m_lpFastFont_FullAdd ? m_lpFastFont_FullAdd->m_nCount : 0; }

  std::uint32_t m_dwSerial = 0;
  std::unique_ptr<plat::cFontFace> m_lpFace;  // the face the font engine renders with
  std::string m_strFace;                      // CP932 face name
  std::int32_t m_nWidth = 0;                  // as handed to the font engine (0: the face's own)
  std::int32_t m_nHeight = 0;
  std::int32_t m_nCellW = 0;                  // the advance of every character
  std::int32_t m_nCellH = 0;                  // the line height
  std::uint32_t m_dwColor = 0;                // text colour: palette number
  // The text colour for the running back end: ARGB under Direct3D, a colour
  // value with red in the low byte under DirectDraw.
  std::uint32_t m_dwDeviceColor = 0;
  std::int32_t m_bCentre = 0;                 // centre glyphs in their cells
  DDSURFACEDATA Work;                         // where text is composed
  DDSURFACEDATA* m_lpBox = nullptr;           // box pattern ("bmp\Window.bmp")
  std::int32_t m_nFrame = 0;
  std::uint32_t m_dwFrameColor = 0;           // palette number
  DDSURFACEDATA* m_lpSymbol = nullptr;        // symbol sheet ("bmp\Symbol.bmp")
  std::int32_t m_bSymbols = 0;                // letters 'a' to 'z' show symbols
  std::int32_t m_nCacheMode = 0;              // 0: no glyph caches
  std::unique_ptr<FastFont> m_lpFastFont_Half;
  std::unique_ptr<FastFont> m_lpFastFont_FullAdd;

 private:
  void ReleaseCaches();
  bool MakeCaches();
  // Renders each character of the list into its cell of the cache, in order.
  void RenderCells(FastFont& cache, const std::vector<std::uint32_t>& codes);
  // The full cache's new cell for a character on its first use.
  void RenderAddedGlyph(FastFont& cache, std::uint32_t code);
  void DrawDirect3D(DDSURFACEDATA* lpDst, int x, int y, std::string_view text);
  void DrawDirectDraw(DDSURFACEDATA* lpDst, int x, int y, std::string_view text);
  void DrawDoubleByte(DDSURFACEDATA* lpSurface, int x, int y, DDSURFACEDATA* lpDst, int dx, int dy,
                      std::uint32_t code, std::string_view bytes);
};

// The three fonts. Defined with every global object in app/Globals.cpp.
extern std::array<Font, kFontCount> g_Font;

// Every font made so far, in creation order; the restores walk it.
const std::vector<Font*>& FontList();

// Font::Create for each of `count` definitions, with the fixed surfaces of
// their box and symbol rows. False at the first font that cannot be made.
bool CreateFonts(Font* fonts, const FONTDEF* defs, int count);

// Font::Restore for every listed font.
void RestoreFonts();

// The text formatted (cut to 255 bytes, then 511 for the box form, on a
// character boundary) and drawn with Font::Draw, or Font::DrawInBox with
// margin 0.
void FontPrintf(Font& font, DDSURFACEDATA* lpDst, int x, int y, const char* format, ...) KESTROVA_PRINTF_FORMAT(5, 6);
void FontPrintfInBox(Font& font, DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, const char* format, ...)
    KESTROVA_PRINTF_FORMAT(7, 8);

// The longest text FontPrintf and FontPrintfInBox draw, in bytes.
inline constexpr std::size_t kFontPrintfLimit = 255;
inline constexpr std::size_t kFontPrintfInBoxLimit = 511;

// The number of bytes up to the first '\n', NUL or the end.
int TextLineLength(std::string_view text);

// The 256 double-byte characters the full cache holds from the start (CP932).
extern const char* const kFullCacheDefaultSet;

// The font engine fonts are made with. Install one before fonts are made
// (tests install a box engine); without one the FreeType engine serves. The
// caller keeps ownership; nullptr goes back to the FreeType engine.
void FontSetEngine(plat::cFontEngine* engine);
plat::cFontEngine& FontEngine();

// Releases every font and digit strip, empties the font list and puts the
// font definitions back as at process start (tests only).
void ResetFontsForTests();
