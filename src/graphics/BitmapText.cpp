#include "graphics/BitmapText.h"

#include <cstdarg>
#include <string>

#include "core/StringUtil.h"
#include "graphics/Blit.h"
#include "graphics/DrawContext.h"
#include "graphics/SpriteBatch.h"

sBitmapTextCell BitmapTextCell(std::uint8_t c) {
  int row = c >> 4;
  if (c >= 0xA6 && c <= 0xBF) {
    row -= 10;
  } else if (c >= 0xC0 && c <= 0xDD) {
    row -= 4;
  }
  return sBitmapTextCell{c & 15, row};
}

void DDDrawBitmapText(DDSURFACEDATA* lpDst, int x, int y, int cellW, int cellH, DDSURFACEDATA* lpSheet,
                      const char* text) {
  if (text == nullptr) return;
  DDBeginSpriteBatch(0);
  int column = 0;
  for (const char* p = text; *p != '\0'; ++p) {
    const auto c = static_cast<std::uint8_t>(*p);
    if (c == '\n') {
      y += cellH;
      column = 0;
      continue;
    }
    const sBitmapTextCell cell = BitmapTextCell(c);
    DDBlt(lpDst, x + column, y, cellW, cellH, lpSheet, cell.column * cellW, cell.row * cellH, 1);
    column += cellW;
    if (cellW > 0 && column >= g_DrawLayer.nWidth) {
      // The continued line starts where the text started, as after '\n'.
      y += cellH;
      column = 0;
    }
  }
  DDFlushSpriteBatch();
}

void DDDrawBitmapTextf(DDSURFACEDATA* lpDst, int x, int y, int cellW, int cellH, DDSURFACEDATA* lpSheet,
                       const char* format, ...) {
  if (format == nullptr) return;
  va_list args;
  va_start(args, format);
  const std::string text = FormatStringV(format, args);
  va_end(args);
  DDDrawBitmapText(lpDst, x, y, cellW, cellH, lpSheet, text.c_str());
}
