// Text layout and drawing with the fonts: the walk over a text, the glyphs
// the font engine renders, the cached cells, symbols, boxes and measuring.

#include <algorithm>
#include <cstdarg>

#include "core/StringUtil.h"
#include "graphics/Blit.h"
#include "graphics/DrawContext.h"
#include "graphics/Font.h"
#include "graphics/Frame.h"
#include "graphics/Scene.h"
#include "graphics/SpriteBatch.h"
#include "graphics/SurfaceFill.h"
#include "graphics/TextWalk.h"
#include "platform/FontEngine.h"
#include "platform/SoftwareDevice.h"

namespace {

// The x or y that 10000 stands for: the box centred on the box pattern's size.
constexpr int kCentreCoordinate = 10000;

int CentredOnPattern(int coordinate, int patternSize, int size) {
  return coordinate == kCentreCoordinate ? (patternSize >> 1) - (size >> 1) : coordinate;
}

// The pixels a glyph may be rendered into: a DirectDraw surface that was lost
// takes nothing until it is restored.
plat::cPixelSurface* GlyphTarget(DDSURFACEDATA* lpSD) {
  if (lpSD == nullptr) return nullptr;
  if (lpDTCon) return lpSD->Pixels();
  if (!lpSD->lpDD || lpSD->lpDD->bSurfaceLost) return nullptr;
  return lpSD->lpDD->lpSurface.get();
}

void SetRestingTarget() {
  if (lpDTCon && lpDTCon->lpRestingTarget) DDSetRenderTarget(lpDTCon->lpRestingTarget);
}

}  // namespace

void Font::Draw(DDSURFACEDATA* lpDst, int x, int y, std::string_view text) {
  if (lpDst == nullptr) return;
  text = TextUpToNul(text);
  if (lpDTCon) {
    DrawDirect3D(lpDst, x, y, text);
  } else if (lpDDCon) {
    DrawDirectDraw(lpDst, x, y, text);
  }
}

void Font::DrawDirect3D(DDSURFACEDATA* lpDst, int x, int y, std::string_view text) {
  DDPrimarySurface(lpDst);
  DDMapBackBuffer(lpDst);
  if (!lpDst->lpDT) return;
  const bool ownPass = m_nCacheMode == 0;
  if (lpDst->lpDT->dtMemoryType == DTMEMORYTYPE_VIDEO_RT) {
    if (ownPass) {
      if (!DDBeginScene()) return;
      DDSetRenderTarget(lpDst);
    }
    RenderText(lpDst, x, y, lpDst, x, y, text, m_bSymbols);
    DrawSymbols(lpDst, x, y, text);
    if (ownPass) SetRestingTarget();
    return;
  }
  // Composed in Work, then copied with the colour key.
  const sTextSize size = MeasureFixed(text);
  DDFillRectPal(&Work, 0, 0, size.width, size.height, 0);
  if (ownPass) {
    if (!DDBeginScene()) return;
    DDSetRenderTarget(&Work);
  }
  RenderText(&Work, 0, 0, lpDst, x, y, text, m_bSymbols);
  DrawSymbols(&Work, 0, 0, text);
  if (ownPass) SetRestingTarget();
  DDBlt(lpDst, x, y, size.width, size.height, &Work, 0, 0, 1);
}

void Font::DrawDirectDraw(DDSURFACEDATA* lpDst, int x, int y, std::string_view text) {
  const sTextSize size = MeasureFixed(text);
  DDFillRectPal(&Work, 0, 0, size.width, size.height, 0);
  RenderText(&Work, 0, 0, lpDst, x, y, text, m_bSymbols);
  DDBlt(lpDst, x, y, size.width, size.height, &Work, 0, 0, 1);
  DrawSymbols(lpDst, x, y, text);
}

void Font::RenderText(DDSURFACEDATA* lpSurface, int x, int y, DDSURFACEDATA* lpDst, int dx, int dy,
                      std::string_view text, int bSymbols) {
  text = TextUpToNul(text);
  const bool symbolLetters = bSymbols != 0 && m_lpSymbol != nullptr && m_lpSymbol->HasSurface();
  DDBeginSpriteBatch(1);
  int column = 0;
  int line = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    const sTextChar c = TextCharAt(text, pos);
    if (c.IsDoubleByte()) {
      if (c.code != kFullWidthSpace) {
        DrawDoubleByte(lpSurface, x + column, y + line, lpDst, dx + column, dy + line, c.code, text.substr(pos, 2));
      }
      column += m_nCellW;
    } else if (c.code == '\n') {
      line += m_nCellH;
      column = 0;
    } else {
      const bool symbol = symbolLetters && c.code >= 'a' && c.code <= 'z';
      if (c.code != ' ' && !symbol) {
        if (m_nCacheMode != 0 && m_lpFastFont_Half) {
          m_lpFastFont_Half->DrawCell(lpDst, dx + column, dy + line, static_cast<std::uint8_t>(c.code), 1);
        } else {
          RenderGlyph(lpSurface, x + column, y + line, c.code);
        }
      }
      column += m_nCellW;
    }
    pos += c.length;
  }
  DDFlushSpriteBatch();
}

void Font::DrawDoubleByte(DDSURFACEDATA* lpSurface, int x, int y, DDSURFACEDATA* lpDst, int dx, int dy,
                          std::uint32_t code, std::string_view bytes) {
  FastFont* cache = m_nCacheMode != 0 ? m_lpFastFont_FullAdd.get() : nullptr;
  if (cache == nullptr) {
    RenderGlyph(lpSurface, x, y, code);
    return;
  }
  if (cache->DrawGlyph(lpDst, dx, dy, bytes, 1)) return;
  if (cache->AddGlyph(bytes)) {
    RenderAddedGlyph(*cache, code);
    cache->DrawGlyph(lpDst, dx, dy, bytes, 1);
    return;
  }
  // The cache is full: the font engine draws the character every time.
  RenderGlyph(lpSurface, x, y, code);
}

void Font::RenderGlyph(DDSURFACEDATA* lpSurface, int x, int y, std::uint32_t code, bool centre) {
  if (!m_lpFace) return;
  plat::cPixelSurface* target = GlyphTarget(lpSurface);
  if (target == nullptr) return;
  const plat::eGlyphStyle style = lpDTCon ? plat::eGlyphStyle::Smooth : plat::eGlyphStyle::Mono;
  plat::sGlyphImage image;
  if (!m_lpFace->Render(code, style, image)) return;

  if (centre && m_bCentre) {
    const plat::sTextExtent extent = m_lpFace->Measure(code);
    x += (m_nCellW >> 1) - (extent.width >> 1);
    y += (m_nCellH >> 1) - (extent.height >> 1);
  } else if (code <= 0xFF) {
    x += m_nCellW >> 3;
    y += (m_nCellH >> 4) - 1;
  }

  if (lpDTCon) {
    plat::DrawCoverage(*target, x + image.left, y + image.top, image.coverage.data(), image.width, image.height,
                       image.width, m_dwDeviceColor, plat::eCoverageMode::Blend);
    return;
  }
  // GDI-style text on DirectDraw: the colour's pixel value (at 8 bits the
  // palette entry itself), written where the one-bit glyph has ink.
  const std::uint32_t value = g_DrawLayer.nBpp == 8 ? m_dwColor
                                                   : (m_dwDeviceColor & 0xFFu) << 16 | (m_dwDeviceColor & 0xFF00u) |
                                                         (m_dwDeviceColor >> 16 & 0xFFu);
  plat::DrawCoverage(*target, x + image.left, y + image.top, image.coverage.data(), image.width, image.height,
                     image.width, value, plat::eCoverageMode::Threshold);
}

void Font::DrawSymbols(DDSURFACEDATA* lpDst, int x, int y, std::string_view text) {
  if (m_bSymbols == 0 || m_lpSymbol == nullptr || !m_lpSymbol->HasSurface() || m_nCellW == 0) return;
  text = TextUpToNul(text);
  DDBeginSpriteBatch(0);
  int column = 0;
  int line = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    const sTextChar c = TextCharAt(text, pos);
    if (!c.IsDoubleByte() && c.code == '\n') {
      line += m_nCellH;
      column = 0;
    } else {
      if (!c.IsDoubleByte() && c.code >= 'a' && c.code <= 'z') {
        DDBlt(lpDst, x + column, y + line, m_nCellW, m_nCellH, m_lpSymbol, m_nCellW * static_cast<int>(c.code - 'a'),
              0, 1);
      }
      column += m_nCellW;
    }
    pos += c.length;
  }
  DDFlushSpriteBatch();
}

sTextSize Font::MeasureFixed(std::string_view text) const {
  text = TextUpToNul(text);
  sTextSize size;
  int chars = 0;
  int lines = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    // A line starts at every byte that follows a '\n' (never a trail byte).
    if (pos == 0 || text[pos - 1] == '\n') ++lines;
    const sTextChar c = TextCharAt(text, pos);
    if (!c.IsDoubleByte() && c.code == '\n') {
      chars = 0;
    } else {
      ++chars;
      size.width = std::max(size.width, chars * m_nCellW);
    }
    pos += c.length;
  }
  size.height = lines * m_nCellH;
  return size;
}

void Font::DrawBox(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight) {
  const int patternW = m_lpBox ? m_lpBox->nWidth : 0;
  const int patternH = m_lpBox ? m_lpBox->nHeight : 0;
  DDDrawBox(lpDst, CentredOnPattern(x, patternW, nWidth), CentredOnPattern(y, patternH, nHeight), nWidth, nHeight,
            m_lpBox, m_nFrame, m_dwFrameColor);
}

void Font::DrawInBox(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, std::string_view text, int margin) {
  if (nWidth == 0 || nHeight == 0) {
    const sTextSize size = MeasureFixed(text);
    if (nWidth == 0) nWidth = margin + size.width;
    if (nHeight == 0) nHeight = size.height;
  }
  const int patternW = m_lpBox ? m_lpBox->nWidth : 0;
  const int patternH = m_lpBox ? m_lpBox->nHeight : 0;
  x = CentredOnPattern(x, patternW, nWidth);
  y = CentredOnPattern(y, patternH, nHeight);
  DDDrawBox(lpDst, x, y, nWidth, nHeight, m_lpBox, m_nFrame, m_dwFrameColor);
  Draw(lpDst, x + margin, y, text);
}

void FontPrintf(Font& font, DDSURFACEDATA* lpDst, int x, int y, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::string text = FormatStringV(format, args);
  va_end(args);
  font.Draw(lpDst, x, y, CutAtCharBoundary(text, kFontPrintfLimit));
}

void FontPrintfInBox(Font& font, DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, const char* format,
                     ...) {
  va_list args;
  va_start(args, format);
  const std::string text = FormatStringV(format, args);
  va_end(args);
  font.DrawInBox(lpDst, x, y, nWidth, nHeight, CutAtCharBoundary(text, kFontPrintfInBoxLimit), 0);
}

int TextLineLength(std::string_view text) {
  const std::size_t end = text.find_first_of(std::string_view("\n\0", 2));
  return static_cast<int>(end == std::string_view::npos ? text.size() : end);
}
