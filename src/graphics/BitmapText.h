#pragma once
// Text drawn from a bitmap font sheet: 16 columns of cells, one cell per
// byte. ASCII 0x20 to 0x7F sits in rows 2 to 7, the half-width katakana
// 0xA6 to 0xBF in rows 0 and 1 and 0xC0 to 0xDD in rows 8 and 9; any other
// byte takes the cell at row (byte >> 4). Under Direct3D one text is one
// sprite batch in queueing order; batches do not nest, so a text must not be
// drawn while the caller's own batch is open.

#include <cstdint>

#include "core/PrintfFormat.h"
#include "graphics/Surface.h"

// The sheet cell (column, row) of one byte.
struct sBitmapTextCell {
  int column = 0;
  int row = 0;
};
sBitmapTextCell BitmapTextCell(std::uint8_t c);

// Draws the text with its top-left at (x, y), cells keyed. '\n' starts the
// next line at x; a line that reaches the screen width continues on the next
// line at x as well.
void DDDrawBitmapText(DDSURFACEDATA* lpDst, int x, int y, int cellW, int cellH, DDSURFACEDATA* lpSheet,
                      const char* text);
// The same with a printf-formatted text.
void DDDrawBitmapTextf(DDSURFACEDATA* lpDst, int x, int y, int cellW, int cellH, DDSURFACEDATA* lpSheet,
                       const char* format, ...) KESTROVA_PRINTF_FORMAT(7, 8);
