#include "graphics/FastFont.h"

#include "graphics/Blit.h"

namespace {

// The look-up key of a character: its first two bytes.
std::uint16_t KeyOf(std::string_view text) {
  const auto first = text.empty() ? 0u : static_cast<unsigned char>(text[0]);
  const auto second = text.size() < 2 || first == 0 ? 0u : static_cast<unsigned char>(text[1]);
  return static_cast<std::uint16_t>(first << 8 | second);
}

}  // namespace

FastFont::FastFont(int kind, int cellW, int cellH, int columns, int rows)
    : m_nKind(kind), m_nCellW(cellW), m_nCellH(cellH), m_nColumns(columns), m_nRows(rows) {
  if (cellW > 0 && cellH > 0 && columns > 0 && rows > 0 &&
      DDCreateSurface(&m_Sheet, columns * cellW, rows * cellH, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0)) {
    m_nCapacity = columns * rows;
  }
}

FastFont::~FastFont() { DDReleaseSurface(&m_Sheet); }

bool FastFont::AddGlyph(std::string_view text) {
  if (m_nCount >= m_nCapacity) return false;
  FASTFONTGLYPH glyph;
  for (std::size_t i = 0; i < 2 && i < text.size() && text[i] != '\0'; ++i) glyph.text[i] = text[i];
  glyph.index = m_nCount;
  glyph.x = (m_nCount % m_nColumns) * m_nCellW;
  glyph.y = (m_nCount / m_nColumns) * m_nCellH;
  m_FirstOfKey.try_emplace(KeyOf(text), static_cast<std::int32_t>(m_Glyphs.size()));
  m_Glyphs.push_back(glyph);
  ++m_nCount;
  return true;
}

int FastFont::DrawCell(DDSURFACEDATA* lpDst, int x, int y, std::uint8_t code, std::uint32_t dwFlags) {
  if (m_nColumns <= 0) return 0;
  const int column = code % m_nColumns;
  const int row = code / m_nColumns;
  return DDBlt(lpDst, x, y, m_nCellW, m_nCellH, &m_Sheet, column * m_nCellW, row * m_nCellH, dwFlags);
}

bool FastFont::DrawGlyph(DDSURFACEDATA* lpDst, int x, int y, std::string_view text, std::uint32_t dwFlags) {
  const FASTFONTGLYPH* glyph = FindGlyph(text);
  if (glyph == nullptr) return false;
  DDBlt(lpDst, x, y, m_nCellW, m_nCellH, &m_Sheet, glyph->x, glyph->y, dwFlags);
  return true;
}

const FASTFONTGLYPH* FastFont::FindGlyph(std::string_view text) const {
  const auto it = m_FirstOfKey.find(KeyOf(text));
  return it == m_FirstOfKey.end() ? nullptr : &m_Glyphs[static_cast<std::size_t>(it->second)];
}
