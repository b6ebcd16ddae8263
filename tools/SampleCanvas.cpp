// Drawing helpers of the sample game's pixel art.

#include "SampleCanvas.h"

#include <algorithm>
#include <cstdlib>

namespace samplegame {

namespace {

// The 3 x 5 block font: five rows of three bits each, top row first, the
// leftmost pixel in the highest bit.
struct sGlyph {
  char ch;
  std::uint16_t rows[5];
};

constexpr sGlyph kGlyphs[] = {
    {'A', {2, 5, 7, 5, 5}}, {'B', {6, 5, 6, 5, 6}}, {'C', {3, 4, 4, 4, 3}}, {'D', {6, 5, 5, 5, 6}},
    {'E', {7, 4, 6, 4, 7}}, {'F', {7, 4, 6, 4, 4}}, {'G', {3, 4, 5, 5, 3}}, {'H', {5, 5, 7, 5, 5}},
    {'I', {7, 2, 2, 2, 7}}, {'J', {1, 1, 1, 5, 2}}, {'K', {5, 5, 6, 5, 5}}, {'L', {4, 4, 4, 4, 7}},
    {'M', {5, 7, 7, 5, 5}}, {'N', {6, 5, 5, 5, 5}}, {'O', {2, 5, 5, 5, 2}}, {'P', {6, 5, 6, 4, 4}},
    {'Q', {2, 5, 5, 6, 3}}, {'R', {6, 5, 6, 5, 5}}, {'S', {3, 4, 2, 1, 6}}, {'T', {7, 2, 2, 2, 2}},
    {'U', {5, 5, 5, 5, 7}}, {'V', {5, 5, 5, 5, 2}}, {'W', {5, 5, 7, 7, 5}}, {'X', {5, 5, 2, 5, 5}},
    {'Y', {5, 5, 2, 2, 2}}, {'Z', {7, 1, 2, 4, 7}}, {'0', {7, 5, 5, 5, 7}}, {'1', {2, 6, 2, 2, 7}},
    {'2', {6, 1, 2, 4, 7}}, {'3', {6, 1, 2, 1, 6}}, {'4', {5, 5, 7, 1, 1}}, {'5', {7, 4, 6, 1, 6}},
    {'6', {3, 4, 7, 5, 7}}, {'7', {7, 1, 2, 2, 2}}, {'8', {7, 5, 7, 5, 7}}, {'9', {7, 5, 7, 1, 6}},
    {'!', {2, 2, 2, 0, 2}}, {'?', {6, 1, 2, 0, 2}}, {'-', {0, 0, 7, 0, 0}}, {'.', {0, 0, 0, 0, 2}},
    {':', {0, 2, 0, 2, 0}}, {'x', {0, 5, 2, 5, 0}},
};

const sGlyph* FindGlyph(char ch) {
  for (const sGlyph& glyph : kGlyphs)
    if (glyph.ch == ch) return &glyph;
  return nullptr;
}

}  // namespace

cCanvas::cCanvas(int w, int h, std::uint8_t fill)
    : m_nWidth(w), m_nHeight(h), m_Pixels(static_cast<std::size_t>(w) * h, fill) {}

std::uint8_t cCanvas::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight) return 0;
  return m_Pixels[static_cast<std::size_t>(y) * m_nWidth + x];
}

void cCanvas::Set(int x, int y, std::uint8_t colour) {
  if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight) return;
  m_Pixels[static_cast<std::size_t>(y) * m_nWidth + x] = colour;
}

void cCanvas::FillRect(int x, int y, int w, int h, std::uint8_t colour) {
  const int x0 = std::max(x, 0), y0 = std::max(y, 0);
  const int x1 = std::min(x + w, m_nWidth), y1 = std::min(y + h, m_nHeight);
  for (int py = y0; py < y1; ++py)
    std::fill_n(m_Pixels.begin() + static_cast<std::ptrdiff_t>(py) * m_nWidth + x0, std::max(0, x1 - x0), colour);
}

void cCanvas::FrameRect(int x, int y, int w, int h, std::uint8_t colour) {
  FillRect(x, y, w, 1, colour);
  FillRect(x, y + h - 1, w, 1, colour);
  FillRect(x, y, 1, h, colour);
  FillRect(x + w - 1, y, 1, h, colour);
}

void cCanvas::BevelRect(int x, int y, int w, int h, std::uint8_t face, std::uint8_t light, std::uint8_t dark) {
  FillRect(x, y, w, h, face);
  FillRect(x, y, w, 1, light);
  FillRect(x, y, 1, h, light);
  FillRect(x, y + h - 1, w, 1, dark);
  FillRect(x + w - 1, y, 1, h, dark);
}

void cCanvas::FillCircle(int cx, int cy, int r, std::uint8_t colour) { FillEllipse(cx, cy, r, r, colour); }

void cCanvas::FillEllipse(int cx, int cy, int rx, int ry, std::uint8_t colour) {
  if (rx <= 0 || ry <= 0) {
    Set(cx, cy, colour);
    return;
  }
  // Pixel centres inside the ellipse, with half a pixel of slack so small
  // circles come out round rather than as diamonds.
  for (int dy = -ry; dy <= ry; ++dy)
    for (int dx = -rx; dx <= rx; ++dx) {
      const double nx = dx / (rx + 0.5), ny = dy / (ry + 0.5);
      if (nx * nx + ny * ny <= 1.0) Set(cx + dx, cy + dy, colour);
    }
}

void cCanvas::Line(int x0, int y0, int x1, int y1, std::uint8_t colour) {
  const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
  const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    Set(x0, y0, colour);
    if (x0 == x1 && y0 == y1) return;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
}

void cCanvas::FillTriangle(int x0, int y0, int x1, int y1, int x2, int y2, std::uint8_t colour) {
  const int minX = std::min({x0, x1, x2}), maxX = std::max({x0, x1, x2});
  const int minY = std::min({y0, y1, y2}), maxY = std::max({y0, y1, y2});
  auto edge = [](int ax, int ay, int bx, int by, int px, int py) {
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
  };
  for (int y = minY; y <= maxY; ++y)
    for (int x = minX; x <= maxX; ++x) {
      const int a = edge(x0, y0, x1, y1, x, y), b = edge(x1, y1, x2, y2, x, y), c = edge(x2, y2, x0, y0, x, y);
      if ((a >= 0 && b >= 0 && c >= 0) || (a <= 0 && b <= 0 && c <= 0)) Set(x, y, colour);
    }
}

void cCanvas::Outline(int x, int y, int w, int h, std::uint8_t background, std::uint8_t colour) {
  // Decide from a copy, so the outline does not grow from its own pixels.
  const cCanvas before = *this;
  for (int py = y; py < y + h; ++py)
    for (int px = x; px < x + w; ++px) {
      if (before.At(px, py) == background) continue;
      static const int kSteps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
      for (const auto& step : kSteps) {
        const int nx = px + step[0], ny = py + step[1];
        if (nx >= x && ny >= y && nx < x + w && ny < y + h && before.At(nx, ny) == background) Set(nx, ny, colour);
      }
    }
}

void cCanvas::Blit(const cCanvas& from, int sx, int sy, int w, int h, int dx, int dy, int skip) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::uint8_t colour = from.At(sx + x, sy + y);
      if (skip < 0 || colour != skip) Set(dx + x, dy + y, colour);
    }
}

void cCanvas::Recolour(int x, int y, int w, int h, const std::uint8_t (&table)[256]) {
  for (int py = y; py < y + h; ++py)
    for (int px = x; px < x + w; ++px)
      if (px >= 0 && py >= 0 && px < m_nWidth && py < m_nHeight) Set(px, py, table[At(px, py)]);
}

void cCanvas::Text(int x, int y, std::string_view text, int scale, std::uint8_t colour, int shadow) {
  if (shadow >= 0) Text(x + scale, y + scale, text, scale, static_cast<std::uint8_t>(shadow));
  for (char ch : text) {
    if (const sGlyph* glyph = FindGlyph(ch)) {
      for (int row = 0; row < 5; ++row)
        for (int col = 0; col < 3; ++col)
          if (glyph->rows[row] & (4 >> col)) FillRect(x + col * scale, y + row * scale, scale, scale, colour);
    }
    x += 4 * scale;
  }
}

int cCanvas::TextWidth(std::string_view text, int scale) {
  return text.empty() ? 0 : static_cast<int>(text.size()) * 4 * scale - scale;
}

}  // namespace samplegame
