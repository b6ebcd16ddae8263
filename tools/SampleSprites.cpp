// The sheets the world draws its objects from: blocks, characters, shots,
// items and their small icons, marks, and the explosion effect. Each cell is
// drawn on its own small canvas (so nothing spills into its neighbours) and
// copied into its place on the sheet. Characters and shots face left: the
// drawing layer makes the right-facing sheets by mirroring each cell.

#include "SampleArt.h"

#include <iterator>

namespace samplegame::art {

namespace {

// Every 32 x 32 block, character, item and mark cell is found at column
// n / 15, row n % 15 of its sheet (items take two cells side by side).
constexpr int kCellsPerColumn = 15;

void PutCell(cCanvas& sheet, const cCanvas& cell, int x, int y) {
  sheet.Blit(cell, 0, 0, cell.Width(), cell.Height(), x, y);
}

// A dark line around the figure, so sprites stand out on any background.
void OutlineCell(cCanvas& cell) { cell.Outline(0, 0, cell.Width(), cell.Height(), kKey, kOutline); }

// --- blocks -------------------------------------------------------------

enum eBlockCell : int { BLOCK_CELL_GROUND = 1, BLOCK_CELL_BRICK, BLOCK_CELL_SPIKES, BLOCK_CELL_GOAL, BLOCK_CELL_STONE,
                        BLOCK_CELL_QUESTION };

cCanvas MakeGroundCell() {
  cCanvas cell(kCell, kCell, Shade(HUE_BROWN, 7));
  for (int i = 0; i < 24; ++i) {
    cell.Set(Scatter(i, 32), 8 + Scatter(i + 100, 24), Shade(HUE_BROWN, i % 2 ? 5 : 9));
  }
  cell.FillRect(0, 0, kCell, 6, Shade(HUE_GREEN, 8));
  cell.FillRect(0, 0, kCell, 1, Shade(HUE_GREEN, 12));
  cell.FillRect(0, 6, kCell, 1, Shade(HUE_GREEN, 5));
  // Tufts hanging over the edge; spaced so the cell tiles seamlessly.
  for (int x = 1; x < kCell; x += 4) cell.FillRect(x, 7, 2, 1 + (x / 4) % 2, Shade(HUE_GREEN, 5));
  return cell;
}

cCanvas MakeBrickCell() {
  cCanvas cell(kCell, kCell, Shade(HUE_GREY, 9));
  for (int row = 0; row < 4; ++row) {
    const int offset = row % 2 ? 8 : 0;
    for (int x = offset - 16; x < kCell; x += 16)
      cell.BevelRect(x + 1, row * 8 + 1, 15, 7, Shade(HUE_RED, 6), Shade(HUE_RED, 9), Shade(HUE_RED, 3));
  }
  return cell;
}

cCanvas MakeSpikesCell() {
  cCanvas cell(kCell, kCell, kKey);
  cell.FillRect(0, 27, kCell, 5, Shade(HUE_GREY, 5));
  cell.FillRect(0, 27, kCell, 1, Shade(HUE_GREY, 9));
  for (int i = 0; i < 4; ++i) {
    const int left = i * 8, apex = left + 4;
    cell.FillTriangle(left, 26, left + 7, 26, apex, 6, Shade(HUE_GREY, 12));
    cell.FillTriangle(apex, 26, left + 7, 26, apex, 6, Shade(HUE_GREY, 7));
  }
  OutlineCell(cell);
  return cell;
}

cCanvas MakeGoalBlockCell() {
  cCanvas cell(kCell, kCell, kWhite);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      if ((x + y) % 2) cell.FillRect(x * 8, y * 8, 8, 8, kBlack);
  cell.FrameRect(0, 0, kCell, kCell, Shade(HUE_GREY, 6));
  return cell;
}

cCanvas MakeStoneCell() {
  cCanvas cell(kCell, kCell);
  cell.BevelRect(0, 0, kCell, kCell, Shade(HUE_GREY, 8), Shade(HUE_GREY, 12), Shade(HUE_GREY, 4));
  cell.Line(6, 4, 12, 13, Shade(HUE_GREY, 5));
  cell.Line(12, 13, 9, 22, Shade(HUE_GREY, 5));
  cell.Line(22, 18, 27, 27, Shade(HUE_GREY, 5));
  return cell;
}

cCanvas MakeQuestionCell() {
  cCanvas cell(kCell, kCell);
  cell.BevelRect(0, 0, kCell, kCell, Shade(HUE_YELLOW, 9), Shade(HUE_YELLOW, 13), Shade(HUE_ORANGE, 5));
  cell.Text(10, 6, "?", 4, kWhite);
  return cell;
}

// --- characters ---------------------------------------------------------

cCanvas MakeHeroCell(int pose) {
  cCanvas c(kCell, kCell, kKey);
  const std::uint8_t trousers = Shade(HUE_BLUE, 6), shoes = Shade(HUE_BROWN, 4), skin = Shade(HUE_SKIN, 10);
  const std::uint8_t shirt = Shade(HUE_RED, 8);
  switch (pose) {
    case 1:  // stride
      c.FillRect(8, 23, 4, 6, trousers);
      c.FillRect(6, 29, 6, 3, shoes);
      c.FillRect(19, 23, 4, 6, trousers);
      c.FillRect(19, 29, 6, 3, shoes);
      break;
    case 2:  // legs passing
      c.FillRect(13, 23, 5, 6, trousers);
      c.FillRect(11, 29, 7, 3, shoes);
      break;
    case 3:  // jump: knees drawn up
      c.FillRect(9, 22, 5, 4, trousers);
      c.FillRect(7, 25, 5, 3, shoes);
      c.FillRect(18, 23, 4, 5, trousers);
      c.FillRect(18, 27, 6, 3, shoes);
      break;
    default:  // standing
      c.FillRect(11, 23, 4, 6, trousers);
      c.FillRect(9, 29, 6, 3, shoes);
      c.FillRect(17, 23, 4, 6, trousers);
      c.FillRect(16, 29, 6, 3, shoes);
      break;
  }
  c.FillRect(10, 14, 12, 9, shirt);
  c.FillRect(10, 14, 2, 9, Shade(HUE_RED, 11));
  c.FillRect(10, 21, 12, 2, Shade(HUE_BROWN, 4));
  static const int kArm[4][4] = {{8, 16, 3, 6}, {6, 15, 4, 4}, {20, 16, 3, 6}, {4, 13, 7, 3}};
  c.FillRect(kArm[pose][0], kArm[pose][1], kArm[pose][2], kArm[pose][3], skin);
  c.FillCircle(15, 9, 6, skin);
  c.FillRect(19, 6, 3, 5, Shade(HUE_BROWN, 4));  // hair at the back
  c.FillRect(9, 2, 13, 4, shirt);                 // cap
  c.FillRect(5, 5, 9, 2, Shade(HUE_RED, 6));      // its brim, ahead
  c.FillRect(11, 8, 1, 3, kOutline);              // eye
  OutlineCell(c);
  return c;
}

cCanvas MakeWalkerCell(int pose) {
  cCanvas c(kCell, kCell, kKey);
  static const int kFeet[4] = {0, 2, -2, 0};
  static const int kBob[4] = {0, 1, 0, -1};
  const int f = kFeet[pose], bob = kBob[pose];
  c.FillEllipse(10 + f, 29, 4, 2, Shade(HUE_GREEN, 3));
  c.FillEllipse(21 - f, 29, 4, 2, Shade(HUE_GREEN, 3));
  c.FillEllipse(16, 21 + bob, 13, 8, Shade(HUE_GREEN, 6));
  c.FillEllipse(15, 20 + bob, 11, 7, Shade(HUE_GREEN, 8));
  c.FillEllipse(18, 16 + bob, 5, 2, Shade(HUE_GREEN, 12));
  for (int eyeX : {8, 15}) {
    c.FillEllipse(eyeX, 19 + bob, 3, 4, kWhite);
    c.FillRect(eyeX - 2, 19 + bob, 2, 3, kOutline);
  }
  OutlineCell(c);
  return c;
}

cCanvas MakeShooterCell(int pose) {
  cCanvas c(kCell, kCell, kKey);
  c.FillRect(6, 27, 21, 4, Shade(HUE_GREY, 4));
  for (int wheel = 0; wheel < 3; ++wheel) {
    const int wx = 9 + wheel * 7;
    c.FillCircle(wx, 29, 2, Shade(HUE_GREY, 8));
    c.Set(wx + (pose % 2 ? 1 : -1), 29, Shade(HUE_GREY, 13));  // turning hub
  }
  c.FillEllipse(17, 20, 10, 8, Shade(HUE_PURPLE, 7));
  c.FillEllipse(14, 16, 4, 2, Shade(HUE_PURPLE, 11));
  const int recoil = pose == 3 ? 2 : 0;
  c.FillRect(1 + recoil, 18, 10, 5, Shade(HUE_GREY, 7));
  c.FillRect(1 + recoil, 17, 3, 7, Shade(HUE_GREY, 5));
  c.FillCircle(15, 14, 3, kWhite);
  c.FillRect(13, 13, 2, 3, Shade(HUE_RED, 8));
  OutlineCell(c);
  return c;
}

cCanvas MakeBossCell(int pose) {
  cCanvas c(kCell, kCell, kKey);
  static const int kFeet[4] = {0, 2, -2, 0};
  const int f = kFeet[pose];
  c.FillRect(6 + f, 28, 7, 4, Shade(HUE_RED, 4));
  c.FillRect(19 - f, 28, 7, 4, Shade(HUE_RED, 4));
  c.FillTriangle(5, 11, 11, 8, 3, 0, Shade(HUE_YELLOW, 12));
  c.FillTriangle(21, 8, 27, 11, 29, 0, Shade(HUE_YELLOW, 12));
  c.FillEllipse(16, 18, 13, 11, Shade(HUE_RED, 6));
  c.FillEllipse(14, 14, 7, 4, Shade(HUE_RED, 9));
  c.FillEllipse(17, 23, 8, 5, Shade(HUE_ORANGE, 11));
  for (int eyeX : {7, 17}) {
    c.FillRect(eyeX, 12, 6, 3, kWhite);
    c.FillRect(eyeX, 13, 2, 2, kOutline);
  }
  c.Line(6, 10, 12, 12, kOutline);
  c.Line(23, 10, 17, 12, kOutline);
  if (pose % 2) {  // roaring
    c.FillRect(7, 18, 11, 5, kOutline);
    for (int x = 8; x < 18; x += 3) c.Set(x, 18, kWhite);
  } else {
    c.FillRect(7, 20, 11, 2, kOutline);
  }
  OutlineCell(c);
  return c;
}

// While invincible a character shows its cells a few shades lighter.
void LightenCell(cCanvas& sheet, int x, int y) {
  std::uint8_t table[256];
  for (int i = 0; i < 256; ++i) table[i] = static_cast<std::uint8_t>(i);
  for (int hue = 0; hue < kHueCount; ++hue)
    for (int s = 0; s < 16; ++s) table[Shade(static_cast<eHue>(hue), s)] = Shade(static_cast<eHue>(hue), s + 4);
  sheet.Recolour(x, y, kCell, kCell, table);
}

// --- shots, items -------------------------------------------------------

cCanvas MakeShotCell(int graphic, int pattern) {
  cCanvas c(kShotCell, kShotCell, kKey);
  const int grow = pattern;  // the second pattern pulses a little larger
  switch (graphic) {
    case 1:  // the hero's spark, its tail behind it (to the right)
      c.FillRect(11, 7, 4, 2, Shade(HUE_ORANGE, 10));
      c.FillCircle(7, 8, 4 + grow, Shade(pattern ? HUE_ORANGE : HUE_YELLOW, 10));
      c.FillCircle(6, 7, 2, Shade(HUE_YELLOW, 14));
      break;
    case 2:  // the enemies' orb
      c.FillCircle(8, 8, 4 + grow, Shade(pattern ? HUE_RED : HUE_PURPLE, 8));
      c.FillCircle(7, 7, 2, Shade(HUE_PINK, 13));
      OutlineCell(c);
      break;
    default:  // an arrow
      c.Line(3, 8, 13, 8, Shade(HUE_BROWN, 8));
      c.FillTriangle(1, 8, 5, 5, 5, 11, Shade(HUE_GREY, 12));
      c.FillRect(12, 6 + pattern, 3, 1, kWhite);
      c.FillRect(12, 10 - pattern, 3, 1, kWhite);
      break;
  }
  return c;
}

enum eItemCell : int { ITEM_CELL_COIN = 1, ITEM_CELL_GOAL, ITEM_CELL_HEART };

void DrawHeart(cCanvas& c, int cx, int cy, int r, std::uint8_t colour, std::uint8_t shine) {
  c.FillCircle(cx - r, cy, r, colour);
  c.FillCircle(cx + r, cy, r, colour);
  c.FillTriangle(cx - 2 * r, cy + 1, cx + 2 * r, cy + 1, cx, cy + 2 * r + r / 2, colour);
  c.FillCircle(cx - r - 1, cy - 1, r / 3, shine);
}

void DrawFlag(cCanvas& c, int poleX, int top, int bottom, int cell, int wave) {
  c.FillRect(poleX, top, 2, bottom - top, Shade(HUE_GREY, 11));
  c.FillCircle(poleX + 1, top, 1, kGold);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) {
      const int dy = wave && x % 2 ? 1 : 0;
      c.FillRect(poleX + 2 + x * cell, top + 1 + y * cell + dy, cell, cell, (x + y) % 2 ? kBlack : kWhite);
    }
}

cCanvas MakeItemCell(int item, int frame) {
  cCanvas c(kCell, kCell, kKey);
  switch (item) {
    case ITEM_CELL_COIN: {
      const int rx = frame ? 4 : 9;  // the second frame is the coin turned
      c.FillEllipse(16, 16, rx, 11, Shade(HUE_YELLOW, 7));
      c.FillEllipse(16, 16, rx - 2, 9, Shade(HUE_YELLOW, 10));
      c.FillRect(16 - rx / 2, 10, 2, 8, Shade(HUE_YELLOW, 14));
      break;
    }
    case ITEM_CELL_GOAL:
      c.FillRect(5, 28, 12, 4, Shade(HUE_GREY, 6));
      DrawFlag(c, 9, 3, 28, 4, frame);
      break;
    default:
      DrawHeart(c, 16, 12, 6, Shade(HUE_RED, frame ? 10 : 8), Shade(HUE_RED, 14));
      break;
  }
  OutlineCell(c);
  return c;
}

cCanvas MakeItemIcon(int item) {
  cCanvas c(16, 16, kKey);
  switch (item) {
    case ITEM_CELL_COIN:
      c.FillEllipse(8, 8, 5, 6, Shade(HUE_YELLOW, 7));
      c.FillEllipse(8, 8, 3, 4, Shade(HUE_YELLOW, 11));
      break;
    case ITEM_CELL_GOAL:
      c.FillRect(2, 13, 6, 2, Shade(HUE_GREY, 6));
      DrawFlag(c, 4, 2, 13, 2, 0);
      break;
    default:
      DrawHeart(c, 8, 6, 3, Shade(HUE_RED, 8), Shade(HUE_RED, 14));
      break;
  }
  OutlineCell(c);
  return c;
}

}  // namespace

cCanvas MakeCharacterCell(eCharaRow who, int pose) {
  switch (who) {
    case CHARA_ROW_WALKER: return MakeWalkerCell(pose);
    case CHARA_ROW_SHOOTER: return MakeShooterCell(pose);
    case CHARA_ROW_BOSS: return MakeBossCell(pose);
    default: return MakeHeroCell(pose);
  }
}

cCanvas MakeBlockSheet() {
  cCanvas sheet(8 * kCell, kCellsPerColumn * kCell, kKey);
  auto put = [&](int n, const cCanvas& cell) {
    PutCell(sheet, cell, n / kCellsPerColumn * kCell, n % kCellsPerColumn * kCell);
  };
  put(BLOCK_CELL_GROUND, MakeGroundCell());
  put(BLOCK_CELL_BRICK, MakeBrickCell());
  put(BLOCK_CELL_SPIKES, MakeSpikesCell());
  put(BLOCK_CELL_GOAL, MakeGoalBlockCell());
  put(BLOCK_CELL_STONE, MakeStoneCell());
  put(BLOCK_CELL_QUESTION, MakeQuestionCell());
  return sheet;
}

cCanvas MakeCharacterSheet() {
  // 20 cells across (the right half is what a row offset of 20 or more reads
  // through the mirrored sheet), 15 rows; row 0 holds the cell shown for a
  // character whose cell lies outside the sheet.
  cCanvas sheet(20 * kCell, kCellsPerColumn * kCell, kKey);
  cCanvas unknown(kCell, kCell, kKey);
  unknown.BevelRect(4, 4, 24, 24, Shade(HUE_GREY, 8), Shade(HUE_GREY, 12), Shade(HUE_GREY, 4));
  unknown.Text(10, 6, "?", 4, kWhite);
  PutCell(sheet, unknown, 0, 0);
  for (int who = CHARA_ROW_HERO; who <= CHARA_ROW_BOSS; ++who)
    for (int pose = 0; pose < 4; ++pose) {
      const cCanvas cell = MakeCharacterCell(static_cast<eCharaRow>(who), pose);
      PutCell(sheet, cell, pose * kCell, who * kCell);
      PutCell(sheet, cell, (pose + kInvincibleColumns) * kCell, who * kCell);
      LightenCell(sheet, (pose + kInvincibleColumns) * kCell, who * kCell);
    }
  return sheet;
}

cCanvas MakeShotSheet() {
  // 30 rows of 16-dot cells; graphic g is row g % 30, its two patterns side
  // by side from column 2 * (g / 30).
  cCanvas sheet(8 * kShotCell, 30 * kShotCell, kKey);
  for (int graphic = 1; graphic <= 3; ++graphic)
    for (int pattern = 0; pattern < 2; ++pattern)
      PutCell(sheet, MakeShotCell(graphic, pattern), pattern * kShotCell, graphic * kShotCell);
  return sheet;
}

cCanvas MakeItemSheet() {
  // Item n at column n / 15 (64 dots wide: two frames), row n % 15.
  cCanvas sheet(8 * 2 * kCell, kCellsPerColumn * kCell, kKey);
  for (int item = ITEM_CELL_COIN; item <= ITEM_CELL_HEART; ++item)
    for (int frame = 0; frame < 2; ++frame) PutCell(sheet, MakeItemCell(item, frame), frame * kCell, item * kCell);
  return sheet;
}

cCanvas MakeItemMiniSheet() {
  // The 16 x 16 icon of item n at (n / 15 * 32, n % 15 * 16).
  cCanvas sheet(8 * kCell, kCellsPerColumn * 16, kKey);
  for (int item = ITEM_CELL_COIN; item <= ITEM_CELL_HEART; ++item) PutCell(sheet, MakeItemIcon(item), 0, item * 16);
  return sheet;
}

cCanvas MakeMarkSheet() {
  // Speech-bubble marks shown over characters: mark t at column t / 15, row t % 15.
  static const char* const kMarks[] = {"!", "?", "x", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
  cCanvas sheet(8 * kCell, kCellsPerColumn * kCell, kKey);
  for (int t = 0; t < static_cast<int>(std::size(kMarks)); ++t) {
    cCanvas c(kCell, kCell, kKey);
    c.FillCircle(16, 13, 11, kWhite);
    c.FillTriangle(11, 20, 19, 20, 9, 30, kWhite);
    OutlineCell(c);
    c.Text(12, 6, kMarks[t], 3, t == 0 ? Shade(HUE_RED, 8) : kOutline);
    PutCell(sheet, c, t / kCellsPerColumn * kCell, t % kCellsPerColumn * kCell);
  }
  return sheet;
}

cCanvas MakeExplosionEffect() {
  // Four 32-dot frames in a row: a flash, a fireball, its fading ring, smoke.
  cCanvas sheet(4 * kCell, kCell, kKey);
  sheet.FillCircle(16, 16, 6, Shade(HUE_YELLOW, 12));
  sheet.FillCircle(16, 16, 3, kWhite);
  sheet.FillCircle(48, 16, 11, Shade(HUE_ORANGE, 10));
  sheet.FillCircle(48, 16, 7, Shade(HUE_YELLOW, 12));
  sheet.FillCircle(80, 16, 14, Shade(HUE_RED, 8));
  sheet.FillCircle(80, 16, 10, Shade(HUE_ORANGE, 11));
  sheet.FillCircle(80, 16, 6, kKey);
  for (int puff = 0; puff < 5; ++puff)
    sheet.FillCircle(104 + Scatter(puff, 16), 8 + Scatter(puff + 7, 16), 4 + puff % 3, Shade(HUE_GREY, 7 + puff % 3));
  return sheet;
}

cCanvas MakeSignPicture() {
  cCanvas sign(96, 80, kKey);
  sign.FillRect(44, 40, 8, 40, Shade(HUE_BROWN, 6));
  sign.BevelRect(4, 4, 88, 44, Shade(HUE_BROWN, 10), Shade(HUE_BROWN, 13), Shade(HUE_BROWN, 5));
  sign.FrameRect(4, 4, 88, 44, kOutline);
  // An arrow pointing on to the right.
  sign.FillRect(20, 22, 40, 8, kWhite);
  sign.FillTriangle(60, 14, 60, 37, 76, 26, kWhite);
  return sign;
}

}  // namespace samplegame::art
