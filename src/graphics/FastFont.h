#pragma once
// FastFont: a glyph cache of one font. Characters are rendered once into the
// cells of a colour-keyed sheet and drawn afterwards as blits of their cell.
//
// Two kinds per font:
//   half (kind 0)  16 x 16 cells; cell (code % 16, code / 16) holds the
//                  single byte `code`, for every code from 16 to 255
//   full (kind 1)  double-byte characters in insertion order: cell i at column
//                  i % columns, row i / columns; filled with a default set at
//                  creation, then with each new character on its first use
//                  until every cell is taken
//
// The sheet is made once at its full size and never grows: a full cache adds
// nothing more, and the font then draws those characters itself every time.

#include <array>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "graphics/Surface.h"

// One cached character: its bytes (a terminating zero after them), its cell
// index and the cell's top-left on the sheet.
struct FASTFONTGLYPH {
  std::array<char, 4> text{};
  std::int32_t index = 0;
  std::int32_t x = 0;
  std::int32_t y = 0;
};

class FastFont {
 public:
  static constexpr int kHalf = 0;
  static constexpr int kFull = 1;

  // Makes the sheet (columns x cell width by rows x cell height, colour-keyed,
  // a video-memory render target); with no sheet the cache holds nothing.
  FastFont(int kind, int cellW, int cellH, int columns, int rows);
  ~FastFont();
  FastFont(const FastFont&) = delete;
  FastFont& operator=(const FastFont&) = delete;

  bool HasSheet() const { return m_Sheet.HasSurface(); }

  // Appends the character at the front of `text` (its first one or two bytes)
  // in the next free cell and returns true; false when every cell is taken.
  // Nothing is drawn: the caller renders the character into its cell.
  bool AddGlyph(std::string_view text);
  // Blits the cell of the single byte `code` to (x, y); 1 when drawn.
  int DrawCell(DDSURFACEDATA* lpDst, int x, int y, std::uint8_t code, std::uint32_t dwFlags);
  // Blits the cell of the character at the front of `text` (its first two
  // bytes; the first match in insertion order) to (x, y) and returns true;
  // false, drawing nothing, when it is not cached.
  bool DrawGlyph(DDSURFACEDATA* lpDst, int x, int y, std::string_view text, std::uint32_t dwFlags);
  // The cached character of the first two bytes of `text`, or null.
  const FASTFONTGLYPH* FindGlyph(std::string_view text) const;

  std::int32_t m_nKind = kHalf;
  std::int32_t m_nCellW = 0;
  std::int32_t m_nCellH = 0;
  std::int32_t m_nColumns = 0;
  std::int32_t m_nRows = 0;
  std::int32_t m_nCapacity = 0;  // columns x rows; 0 without a sheet
  DDSURFACEDATA m_Sheet;
  std::vector<FASTFONTGLYPH> m_Glyphs;  // in insertion order
  std::int32_t m_nCount = 0;            // cells in use

 private:
  // The first entry of each two-byte key, for the look-up.
  std::unordered_map<std::uint16_t, std::int32_t> m_FirstOfKey;
};
