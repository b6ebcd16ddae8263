#pragma once
// A small 8-bit drawing surface for the sample game's pixel art: every pixel
// is a number of the game palette, so a picture is written as an 8-bit bitmap
// with the game palette as its colour table and reads the same at every depth.

#include <cstdint>
#include <string_view>
#include <vector>

namespace samplegame {

class cCanvas {
 public:
  // A w x h picture filled with `fill`.
  cCanvas(int w, int h, std::uint8_t fill = 0);

  int Width() const { return m_nWidth; }
  int Height() const { return m_nHeight; }
  const std::vector<std::uint8_t>& Pixels() const { return m_Pixels; }
  std::uint8_t At(int x, int y) const;

  // Every drawing call clips to the picture.
  void Set(int x, int y, std::uint8_t colour);
  void FillRect(int x, int y, int w, int h, std::uint8_t colour);
  void FrameRect(int x, int y, int w, int h, std::uint8_t colour);
  // A box lit from the top left: light top and left edges, dark bottom and
  // right edges, `face` inside.
  void BevelRect(int x, int y, int w, int h, std::uint8_t face, std::uint8_t light, std::uint8_t dark);
  void FillCircle(int cx, int cy, int r, std::uint8_t colour);
  void FillEllipse(int cx, int cy, int rx, int ry, std::uint8_t colour);
  void Line(int x0, int y0, int x1, int y1, std::uint8_t colour);
  // A filled triangle (any winding).
  void FillTriangle(int x0, int y0, int x1, int y1, int x2, int y2, std::uint8_t colour);
  // Every pixel of `region` that is not `background` gets `colour` on those of
  // its four neighbours that are `background`: an outline around a figure.
  void Outline(int x, int y, int w, int h, std::uint8_t background, std::uint8_t colour);
  // Copies a w x h block from another canvas; pixels equal to `skip` are left
  // out unless skip is negative.
  void Blit(const cCanvas& from, int sx, int sy, int w, int h, int dx, int dy, int skip = -1);
  // Replaces colours in a block through a 256-entry table.
  void Recolour(int x, int y, int w, int h, const std::uint8_t (&table)[256]);

  // Text in a 3 x 5 block font scaled by `scale` (capital letters, digits and
  // a few signs; anything else leaves a blank), with an optional drop shadow
  // one scale step down and right (shadow < 0: none).
  void Text(int x, int y, std::string_view text, int scale, std::uint8_t colour, int shadow = -1);
  // The width `Text` takes for the text.
  static int TextWidth(std::string_view text, int scale);

 private:
  int m_nWidth;
  int m_nHeight;
  std::vector<std::uint8_t> m_Pixels;
};

}  // namespace samplegame
