// The pictures that are not object sheets: the palette bitmap, the window
// pattern, the status bar, the title picture and its menu strips, the
// accessory icons and gauges, the font symbols, the captions and digits, the
// world map's cells and node symbols, and the eight background pictures.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "SampleArt.h"
#include "SampleBitmaps.h"

namespace samplegame::art {

namespace {

constexpr int kScreenW = 640;
constexpr int kScreenH = 480;

// Top to bottom through the given colours, ordered-dithered between
// neighbouring steps so the bands blend.
void VerticalGradient(cCanvas& c, int x, int y, int w, int h, const std::vector<std::uint8_t>& steps) {
  static const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  const int last = static_cast<int>(steps.size()) - 1;
  for (int row = 0; row < h; ++row) {
    const int pos = h > 1 ? row * last * 16 / (h - 1) : 0;
    const int base = pos / 16, frac = pos % 16;
    for (int col = 0; col < w; ++col) {
      const bool next = base < last && kBayer[row % 4][col % 4] < frac;
      c.Set(x + col, y + row, steps[static_cast<std::size_t>(base + (next ? 1 : 0))]);
    }
  }
}

std::vector<std::uint8_t> SkySteps() {
  std::vector<std::uint8_t> steps;
  for (int i = 0; i < kSkySteps; ++i) steps.push_back(static_cast<std::uint8_t>(kSky + i));
  return steps;
}

// A height line that repeats every 640 dots (whole numbers of waves), so
// pictures tile side by side.
int WaveHeight(int x, int base, std::initializer_list<std::pair<int, int>> waves, double phase = 0.0) {
  double y = base;
  for (const auto& [cycles, amplitude] : waves)
    y += amplitude * std::sin(2 * std::numbers::pi * cycles * x / kScreenW + phase * cycles);
  return static_cast<int>(std::lround(y));
}

// Fills every column below its height line, with a lighter rim on top.
template <class tHeight>
void FillBelow(cCanvas& c, tHeight height, std::uint8_t body, std::uint8_t rim) {
  for (int x = 0; x < c.Width(); ++x) {
    const int top = height(x);
    c.FillRect(x, top, 1, c.Height() - top, body);
    c.FillRect(x, top, 1, 2, rim);
  }
}

void DrawCloud(cCanvas& c, int cx, int cy, int size) {
  c.FillEllipse(cx, cy + size / 3, size * 2, size / 2, Shade(HUE_GREY, 13));
  c.FillCircle(cx - size, cy, size * 2 / 3, kWhite);
  c.FillCircle(cx, cy - size / 3, size, kWhite);
  c.FillCircle(cx + size, cy, size * 3 / 4, kWhite);
  c.FillEllipse(cx, cy + size / 4, size * 2, size / 3, kWhite);
}

// Text with a thick dark border, for big captions.
void BorderedText(cCanvas& c, int x, int y, const char* text, int scale, std::uint8_t colour, int border) {
  for (int dy = -border; dy <= border; ++dy)
    for (int dx = -border; dx <= border; ++dx) c.Text(x + dx, y + dy, text, scale, kOutline);
  c.Text(x, y, text, scale, colour);
}

// A nearest-neighbour enlargement that leaves the transparent colour out,
// optionally turned to face right.
void BlitScaled(cCanvas& to, const cCanvas& from, int sx, int sy, int w, int h, int dx, int dy, int scale,
                bool mirror = false) {
  for (int y = 0; y < h * scale; ++y)
    for (int x = 0; x < w * scale; ++x) {
      const int fx = mirror ? w - 1 - x / scale : x / scale;
      const std::uint8_t colour = from.At(sx + fx, sy + y / scale);
      if (colour != kKey) to.Set(dx + x, dy + y, colour);
    }
}

// --- small figures ------------------------------------------------------

void DrawHeroHead(cCanvas& c, int x, int y) {
  c.FillCircle(x + 8, y + 9, 5, Shade(HUE_SKIN, 10));
  c.FillRect(x + 3, y + 3, 10, 3, Shade(HUE_RED, 8));
  c.FillRect(x + 1, y + 5, 6, 2, Shade(HUE_RED, 6));
  c.FillRect(x + 5, y + 8, 1, 2, kOutline);
  c.Outline(x, y, 16, 16, kKey, kOutline);
}

void DrawHeart(cCanvas& c, int x, int y) {
  c.FillCircle(x + 5, y + 6, 3, Shade(HUE_RED, 8));
  c.FillCircle(x + 10, y + 6, 3, Shade(HUE_RED, 8));
  c.FillTriangle(x + 2, y + 7, x + 13, y + 7, x + 8, y + 13, Shade(HUE_RED, 8));
  c.Set(x + 4, y + 5, Shade(HUE_RED, 14));
  c.Outline(x, y, 16, 16, kKey, kOutline);
}

void DrawCoin(cCanvas& c, int x, int y) {
  c.FillEllipse(x + 8, y + 8, 5, 6, Shade(HUE_YELLOW, 7));
  c.FillEllipse(x + 8, y + 8, 3, 4, Shade(HUE_YELLOW, 11));
  c.Outline(x, y, 16, 16, kKey, kOutline);
}

void DrawGem(cCanvas& c, int x, int y, eHue hue) {
  c.FillTriangle(x + 8, y + 2, x + 14, y + 8, x + 2, y + 8, Shade(hue, 11));
  c.FillTriangle(x + 2, y + 8, x + 14, y + 8, x + 8, y + 14, Shade(hue, 7));
  c.Outline(x, y, 16, 16, kKey, kOutline);
}

void DrawArrow(cCanvas& c, int x, int y, int size, std::uint8_t colour) {
  c.FillTriangle(x + size / 6, y + size / 8, x + size / 6, y + size - 1 - size / 8, x + size - 1 - size / 8,
                 y + size / 2, colour);
  c.Outline(x, y, size, size, kKey, kOutline);
}

// The walking figure of the world map, seen from the front or the back.
void DrawMapWalker(cCanvas& c, int x, int y, bool back, int frame) {
  const std::uint8_t skin = Shade(HUE_SKIN, 10), shirt = Shade(HUE_RED, 8);
  c.FillRect(x + 11, y + 23 - frame, 4, 6, Shade(HUE_BLUE, 6));
  c.FillRect(x + 17, y + 22 + frame, 4, 6, Shade(HUE_BLUE, 6));
  c.FillRect(x + 10, y + 28 - frame, 6, 3, Shade(HUE_BROWN, 4));
  c.FillRect(x + 16, y + 27 + frame, 6, 3, Shade(HUE_BROWN, 4));
  c.FillRect(x + 10, y + 14, 12, 9, shirt);
  c.FillRect(x + 7, y + 15, 3, 7, skin);
  c.FillRect(x + 22, y + 15, 3, 7, skin);
  c.FillCircle(x + 16, y + 9, 6, skin);
  c.FillRect(x + 10, y + 2, 13, 4, shirt);
  if (back) {
    c.FillRect(x + 11, y + 6, 11, 6, Shade(HUE_BROWN, 4));
  } else {
    c.FillRect(x + 13, y + 8, 1, 3, kOutline);
    c.FillRect(x + 18, y + 8, 1, 3, kOutline);
  }
  c.Outline(x, y, kCell, kCell, kKey, kOutline);
}

// One bar strip of the gauges: `colour` across columns 2 to 47 of rows
// `top` + margin to the strip's end, the rest transparent.
void GaugeStrip(cCanvas& c, int x, int y, int height, std::uint8_t colour, std::uint8_t shine) {
  const int margin = height > 4 ? 3 : 0;
  c.FillRect(x + (margin ? 2 : 0), y + margin, margin ? 46 : 50, height - 2 * margin, colour);
  if (height > 4) c.FillRect(x + 2, y + margin, 46, 1, shine);
}

// --- world map cells ----------------------------------------------------

void Meadow(cCanvas& c, int x, int y) {
  c.FillRect(x, y, kCell, kCell, Shade(HUE_GREEN, 8));
  for (int i = 0; i < 6; ++i) {
    const int tx = x + 2 + Scatter(i, 26), ty = y + 3 + Scatter(i + 20, 24);
    c.Set(tx, ty, Shade(HUE_GREEN, 5));
    c.Set(tx + 2, ty, Shade(HUE_GREEN, 5));
    c.Set(tx + 1, ty + 1, Shade(HUE_GREEN, 5));
  }
}

void Water(cCanvas& c, int x, int y, int group) {
  const std::uint8_t first = static_cast<std::uint8_t>(kCycleFirst + 4 * group);
  c.FillRect(x, y, kCell, kCell, static_cast<std::uint8_t>(first + 1));
  for (int i = 0; i < 5; ++i)
    c.FillRect(x + 2 + Scatter(i, 24), y + 3 + i * 6, 6, 1, static_cast<std::uint8_t>(first + (i % 2 ? 2 : 3)));
}

}  // namespace

cCanvas MakePaletteBitmap() {
  // Entry i at row 8 + i / 16, column i % 16; the top-left pixel is entry 0,
  // the transparent colour.
  cCanvas c(64, 32, kKey);
  for (int i = 0; i < 256; ++i) c.Set(i % 16, 8 + i / 16, static_cast<std::uint8_t>(i));
  return c;
}

cCanvas MakeDebugSheet() {
  cCanvas c(160, 16, kKey);
  for (int d = 0; d < 10; ++d) c.Text(d * 16 + 5, 3, std::string(1, static_cast<char>('0' + d)), 2, kWhite, kOutline);
  return c;
}

cCanvas MakeWindowPattern() {
  // Boxes take their top-left part: a blue that darkens downwards.
  cCanvas c(kScreenW, kScreenH);
  VerticalGradient(c, 0, 0, kScreenW, kScreenH,
                   {static_cast<std::uint8_t>(kNavy + 2), static_cast<std::uint8_t>(kNavy + 1), kNavy});
  return c;
}

cCanvas MakeStatusWindow() {
  cCanvas c(kScreenW, 20, static_cast<std::uint8_t>(kNavy + 1));
  c.FillRect(0, 0, kScreenW, 1, static_cast<std::uint8_t>(kNavy + 3));
  c.FillRect(0, 18, kScreenW, 2, kNavy);
  return c;
}

cCanvas MakeTitle() {
  cCanvas c(kScreenW, kScreenH);
  VerticalGradient(c, 0, 0, kScreenW, kScreenH, SkySteps());
  c.FillCircle(560, 200, 34, Shade(HUE_YELLOW, 13));
  c.FillCircle(560, 200, 26, Shade(HUE_YELLOW, 15));
  DrawCloud(c, 110, 190, 24);
  DrawCloud(c, 430, 220, 18);
  FillBelow(c, [](int x) { return WaveHeight(x, 320, {{2, 26}, {5, 10}}, 1.0); }, Shade(HUE_GREEN, 6),
            Shade(HUE_GREEN, 9));
  FillBelow(c, [](int x) { return WaveHeight(x, 370, {{3, 18}, {7, 6}}); }, Shade(HUE_GREEN, 8),
            Shade(HUE_GREEN, 11));

  const cCanvas blocks = MakeBlockSheet();
  for (int x = 0; x < kScreenW; x += kCell) c.Blit(blocks, 0, kCell, kCell, kCell, x, 416);
  c.FillRect(0, 448, kScreenW, 32, Shade(HUE_BROWN, 6));

  const cCanvas characters = MakeCharacterSheet();
  BlitScaled(c, characters, kCell, CHARA_ROW_HERO * kCell, kCell, kCell, 70, 320, 3, true);
  BlitScaled(c, characters, 0, CHARA_ROW_WALKER * kCell, kCell, kCell, 430, 320, 3);
  BlitScaled(c, characters, 0, CHARA_ROW_SHOOTER * kCell, kCell, kCell, 530, 320, 3);

  const char* title = "SAMPLE QUEST";
  BorderedText(c, (kScreenW - cCanvas::TextWidth(title, 10)) / 2, 56, title, 10, kGold, 4);
  return c;
}

cCanvas MakeGameModeStrips() {
  // One 32-dot strip a title menu entry, in the entries' list order: the
  // title scene's picture mode copies the strip of each entry it shows.
  static const char* const kLabels[] = {"NEW GAME", "CONTINUE", "CHALLENGE", "FREE PLAY",
                                        "REPLAY",   "OPTIONS",  "QUIT"};
  constexpr int kStripW = 256;
  cCanvas c(kStripW, kCell * 7, kKey);
  for (int i = 0; i < 7; ++i) {
    const int y = i * kCell;
    c.BevelRect(8, y + 2, kStripW - 16, kCell - 4, static_cast<std::uint8_t>(kNavy + 1), kFrame, kNavy);
    BorderedText(c, (kStripW - cCanvas::TextWidth(kLabels[i], 4)) / 2, y + 6, kLabels[i], 4, kWhite, 1);
  }
  return c;
}

cCanvas MakeAccessorySheet() {
  cCanvas c(128, 224, kKey);
  // Cursors: the title's 32-dot arrow, the menus' 16-dot arrow and pointer,
  // and the cleared mark of the stage list.
  DrawArrow(c, 0, 0, 32, kGold);
  DrawArrow(c, 64, 0, 16, kWhite);
  DrawArrow(c, 80, 0, 16, kGold);
  c.FillCircle(112, 16, 12, kGold);
  c.FillCircle(112, 16, 9, Shade(HUE_YELLOW, 13));
  for (int t = 0; t < 3; ++t) {
    c.Line(105, 15 + t, 110, 20 + t, Shade(HUE_GREEN, 5));
    c.Line(110, 20 + t, 119, 9 + t, Shade(HUE_GREEN, 5));
  }
  c.Outline(96, 0, 32, 32, kKey, kOutline);

  // Status icons: score, stage score, HP, SP, lives; the life icon and a
  // pointer of the world map and the ranking board.
  DrawCoin(c, 0, 32);
  DrawGem(c, 16, 32, HUE_BLUE);
  DrawHeart(c, 32, 32);
  DrawGem(c, 48, 32, HUE_TEAL);
  DrawHeroHead(c, 64, 32);
  DrawHeroHead(c, 0, 48);
  DrawArrow(c, 16, 48, 16, kWhite);

  // The world map walker: facing 0 front, 1 left, 2 right, 3 back; two frames.
  for (int frame = 0; frame < 2; ++frame) {
    const cCanvas side = MakeCharacterCell(CHARA_ROW_HERO, frame);
    DrawMapWalker(c, frame * kCell, 64, false, frame);
    c.Blit(side, 0, 0, kCell, kCell, 64 + frame * kCell, 64);
    BlitScaled(c, side, 0, 0, kCell, kCell, 64 + frame * kCell, 96, 1, true);
    DrawMapWalker(c, frame * kCell, 96, true, frame);
  }

  // Gauges of the status bar: frames (HP at 0, SP at 64), then bars, low
  // bars, lost and gained trails, 16 dots apart.
  for (int x : {0, 64}) {
    c.BevelRect(x, 128, 50, 16, kNavy, kFrame, static_cast<std::uint8_t>(kNavy + 3));
    c.FillRect(x + 2, 131, 46, 10, kShadow);
    const eHue hue = x == 0 ? HUE_GREEN : HUE_BLUE;
    GaugeStrip(c, x, 144, 16, Shade(hue, 9), Shade(hue, 13));
    GaugeStrip(c, x, 160, 16, Shade(HUE_RED, 9), Shade(HUE_RED, 13));
    GaugeStrip(c, x, 176, 16, kWhite, kWhite);
    GaugeStrip(c, x, 192, 16, Shade(HUE_YELLOW, 12), kWhite);
    // The same five strips, two dots high, for the gauges over characters.
    c.FillRect(x, 208, 50, 2, kShadow);
    GaugeStrip(c, x, 210, 2, Shade(hue, 10), 0);
    GaugeStrip(c, x, 212, 2, Shade(HUE_RED, 10), 0);
    GaugeStrip(c, x, 214, 2, kWhite, 0);
    GaugeStrip(c, x, 216, 2, Shade(HUE_YELLOW, 12), 0);
  }
  return c;
}

cCanvas MakeSymbolSheet() {
  // 26 cells of 16 dots in one row, for the letters 'a' to 'z' in texts: a
  // few pictures, then the capital letter in a small box.
  cCanvas c(26 * 16, 16, kKey);
  DrawHeart(c, 0, 0);
  DrawGem(c, 16, 0, HUE_BLUE);
  DrawCoin(c, 32, 0);
  DrawArrow(c, 48, 0, 16, kGold);
  for (int i = 4; i < 26; ++i) {
    c.BevelRect(i * 16 + 1, 1, 14, 14, static_cast<std::uint8_t>(kNavy + 2), kFrame, kNavy);
    c.Text(i * 16 + 5, 3, std::string(1, static_cast<char>('A' + i)), 2, kWhite);
  }
  return c;
}

cCanvas MakeWordSheet() {
  // Captions (STAGE, READY, REPLAY, CLEAR, GAME OVER) and two strips of
  // 32-dot digits: the stage number's at y 128, the time's at y 160.
  cCanvas c(320, 192, kKey);
  struct sCaption {
    int x, y, w;
    const char* text;
    std::uint8_t colour;
  };
  const sCaption captions[] = {{0, 0, 128, "STAGE", kWhite},       {160, 0, 80, "READY", kGold},
                               {0, 32, 128, "REPLAY", kWhite},     {0, 64, 128, "CLEAR", kGold},
                               {0, 96, 144, "GAME OVER", Shade(HUE_RED, 10)}};
  for (const sCaption& cap : captions)
    BorderedText(c, cap.x + (cap.w - cCanvas::TextWidth(cap.text, 4)) / 2, cap.y + 6, cap.text, 4, cap.colour, 1);
  for (int d = 0; d < 10; ++d) {
    const std::string digit(1, static_cast<char>('0' + d));
    BorderedText(c, d * 32 + 9, 128 + 4, digit.c_str(), 5, kGold, 1);
    BorderedText(c, d * 32 + 9, 160 + 4, digit.c_str(), 5, kWhite, 1);
  }
  return c;
}

cCanvas MakeWorldMapChips() {
  // Cell picture n at (n % 5 * 32, n / 5 * 32): 0 meadow, 1 sea, 2 forest,
  // 3 mountain, 4 sand, 5 road, 6 bridge, 7 flowers, 8 snow, 9 lava.
  cCanvas c(5 * kCell, 2 * kCell, kKey);
  auto at = [](int n) { return std::pair<int, int>{n % 5 * kCell, n / 5 * kCell}; };
  for (int n : {0, 2, 3, 7}) Meadow(c, at(n).first, at(n).second);
  Water(c, at(1).first, at(1).second, 0);
  {
    const auto [x, y] = at(2);
    c.FillRect(x + 14, y + 20, 4, 9, Shade(HUE_BROWN, 5));
    c.FillCircle(x + 16, y + 13, 9, Shade(HUE_GREEN, 5));
    c.FillCircle(x + 13, y + 10, 3, Shade(HUE_GREEN, 7));
  }
  {
    const auto [x, y] = at(3);
    c.FillTriangle(x + 1, y + 30, x + 30, y + 30, x + 16, y + 3, Shade(HUE_GREY, 9));
    c.FillTriangle(x + 16, y + 3, x + 30, y + 30, x + 16, y + 30, Shade(HUE_GREY, 6));
    c.FillTriangle(x + 11, y + 13, x + 21, y + 13, x + 16, y + 3, kWhite);
  }
  {
    const auto [x, y] = at(4);
    c.FillRect(x, y, kCell, kCell, Shade(HUE_YELLOW, 12));
    for (int i = 0; i < 8; ++i) c.Set(x + Scatter(i, 32), y + Scatter(i + 9, 32), Shade(HUE_ORANGE, 10));
  }
  {
    const auto [x, y] = at(5);
    c.FillRect(x, y, kCell, kCell, Shade(HUE_GREEN, 8));
    c.FillRect(x, y + 6, kCell, 20, Shade(HUE_BROWN, 11));
    for (int i = 0; i < 6; ++i) c.Set(x + Scatter(i, 32), y + 8 + Scatter(i + 3, 16), Shade(HUE_BROWN, 8));
  }
  {
    const auto [x, y] = at(6);
    Water(c, x, y, 0);
    for (int px = 0; px < kCell; px += 4) c.FillRect(x + px, y + 6, 3, 20, Shade(HUE_BROWN, 8));
  }
  {
    const auto [x, y] = at(7);
    for (int i = 0; i < 7; ++i)
      c.FillCircle(x + 3 + Scatter(i, 26), y + 3 + Scatter(i + 5, 26), 1,
                   i % 2 ? Shade(HUE_PINK, 11) : Shade(HUE_YELLOW, 13));
  }
  {
    const auto [x, y] = at(8);
    c.FillRect(x, y, kCell, kCell, kWhite);
    for (int i = 0; i < 8; ++i) c.Set(x + Scatter(i, 32), y + Scatter(i + 4, 32), Shade(HUE_BLUE, 13));
  }
  Water(c, at(9).first, at(9).second, 1);
  return c;
}

cCanvas MakeWorldEvents() {
  // Node symbol s at row s: column 0 before the stage is cleared, column 32
  // after; the last rows are a star and a closed gate.
  cCanvas c(2 * kCell, 8 * kCell, kKey);
  for (int s = 0; s < kWorldEndingSymbol; ++s) {
    const std::string number = std::to_string(s + 1);
    const int y = s * kCell;
    c.FillCircle(16, y + 16, 11, Shade(HUE_RED, 7));
    c.FillCircle(16, y + 16, 8, Shade(HUE_RED, 10));
    c.Text(13, y + 9, number, 3, kWhite);
    c.FillCircle(48, y + 16, 11, Shade(HUE_YELLOW, 8));
    c.FillCircle(48, y + 16, 8, Shade(HUE_YELLOW, 13));
    c.Text(45, y + 9, number, 3, kOutline);
  }
  for (int x : {0, kCell}) {
    const int star = kWorldEndingSymbol * kCell;
    const std::uint8_t face = x == 0 ? Shade(HUE_YELLOW, 11) : Shade(HUE_YELLOW, 14);
    c.FillTriangle(x + 16, star + 3, x + 6, star + 23, x + 26, star + 23, face);
    c.FillTriangle(x + 16, star + 29, x + 6, star + 9, x + 26, star + 9, face);
    const int y = kWorldGateSymbol * kCell;
    c.BevelRect(x + 5, y + 6, 22, 20, Shade(HUE_GREY, 8), Shade(HUE_GREY, 12), Shade(HUE_GREY, 4));
    for (int bar = 0; bar < 3; ++bar) c.FillRect(x + 9 + 6 * bar, y + 8, 2, 16, Shade(HUE_GREY, 3));
  }
  c.Outline(0, 0, c.Width(), c.Height(), kKey, kOutline);
  return c;
}

cCanvas MakeBackground(int n) {
  // Pictures 1, 3, 5 and 8 cover the whole screen (for the first layer);
  // 2, 4, 6 and 7 are transparent above their shapes (for layers in front).
  cCanvas c(kScreenW, kScreenH, kKey);
  switch (n) {
    case kSkyBackground:
      VerticalGradient(c, 0, 0, kScreenW, kScreenH, SkySteps());
      DrawCloud(c, 120, 90, 22);
      DrawCloud(c, 360, 150, 16);
      DrawCloud(c, 520, 70, 26);
      break;
    case kHillsBackground:
      FillBelow(c, [](int x) { return WaveHeight(x, 300, {{2, 30}, {5, 8}}); }, Shade(HUE_GREEN, 7),
                Shade(HUE_GREEN, 10));
      FillBelow(c, [](int x) { return WaveHeight(x, 380, {{3, 20}, {8, 5}}, 2.0); }, Shade(HUE_GREEN, 5),
                Shade(HUE_GREEN, 8));
      break;
    case kNightBackground:
      VerticalGradient(c, 0, 0, kScreenW, kScreenH, {kNight, static_cast<std::uint8_t>(kNight + 1),
                                                     static_cast<std::uint8_t>(kNight + 2)});
      for (int i = 0; i < 90; ++i)
        c.Set(Scatter(i, kScreenW), Scatter(i + 1000, 360), i % 3 ? kWhite : Shade(HUE_YELLOW, 13));
      c.FillCircle(500, 90, 28, Shade(HUE_YELLOW, 14));
      c.FillCircle(512, 82, 24, kNight);
      break;
    case kMountainBackground:
      FillBelow(
          c,
          [](int x) {
            // Tall peaks, and lower ones between them.
            const int period = 160, tall = x % period, low = (x + period / 2) % period;
            return std::min(220 + std::abs(tall - period / 2) * 2, 260 + std::abs(low - period / 2) * 2);
          },
          Shade(HUE_BLUE, 4), Shade(HUE_BLUE, 7));
      for (int x = 0; x < kScreenW; ++x)
        for (int y = 0; y < 270; ++y)
          if (c.At(x, y) != kKey) c.Set(x, y, kWhite);  // snow on the peaks
      break;
    case 5:  // sunset
      VerticalGradient(c, 0, 0, kScreenW, kScreenH,
                       {Shade(HUE_PURPLE, 5), Shade(HUE_PURPLE, 7), Shade(HUE_PINK, 8), Shade(HUE_RED, 9),
                        Shade(HUE_ORANGE, 10), Shade(HUE_ORANGE, 12), Shade(HUE_YELLOW, 13)});
      c.FillCircle(320, 430, 60, Shade(HUE_YELLOW, 14));
      break;
    case 6:  // a line of trees
      FillBelow(c, [](int x) { return WaveHeight(x, 330, {{16, 12}, {40, 5}}); }, Shade(HUE_GREEN, 3),
                Shade(HUE_GREEN, 5));
      break;
    case 7:  // clouds drifting in front
      DrawCloud(c, 100, 100, 30);
      DrawCloud(c, 330, 60, 22);
      DrawCloud(c, 540, 130, 34);
      break;
    default:  // a castle wall
      for (int row = 0; row * 16 < kScreenH; ++row)
        for (int x = (row % 2) * -16; x < kScreenW; x += 32)
          c.BevelRect(x, row * 16, 32, 16, Shade(HUE_GREY, 5), Shade(HUE_GREY, 7), Shade(HUE_GREY, 2));
      break;
  }
  return c;
}

}  // namespace samplegame::art
