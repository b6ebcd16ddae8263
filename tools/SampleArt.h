#pragma once
// The sample game's pixel art, picture by picture (SampleSprites.cpp: the
// sheets the world draws its objects from; SampleScreens.cpp: screens, status
// display, captions, world map and backgrounds), and the palette numbers they
// paint with (the palette itself is MakeGamePalette in SampleBitmaps.h).

#include <algorithm>
#include <cstdint>

#include "SampleCanvas.h"

namespace samplegame::art {

// Palette numbers.
inline constexpr std::uint8_t kKey = 0;  // the transparent colour
inline constexpr std::uint8_t kBlack = 16;
inline constexpr std::uint8_t kNight = 17;  // 17 to 19: night sky, darkest first
inline constexpr std::uint8_t kSky = 20;    // 20 to 31: day sky, from high up to the horizon
inline constexpr int kSkySteps = 12;
inline constexpr std::uint8_t kCycleFirst = 208;  // eight groups of four turned by palette cycling
inline constexpr std::uint8_t kFrame = 240;
inline constexpr std::uint8_t kText = 241;
inline constexpr std::uint8_t kNavy = 242;  // 242 to 245: window blues, darkest first
inline constexpr std::uint8_t kShadow = 247;
inline constexpr std::uint8_t kGold = 248;
inline constexpr std::uint8_t kRed = 249;
inline constexpr std::uint8_t kGreen = 250;
inline constexpr std::uint8_t kOutline = 251;
inline constexpr std::uint8_t kWhite = 255;

// The ramps of entries 32 to 207: 16 shades each, 0 darkest, 10 the colour
// itself, 15 nearly white.
enum eHue : int {
  HUE_GREY,
  HUE_RED,
  HUE_ORANGE,
  HUE_YELLOW,
  HUE_GREEN,
  HUE_TEAL,
  HUE_BLUE,
  HUE_PURPLE,
  HUE_PINK,
  HUE_BROWN,
  HUE_SKIN,
  kHueCount
};
inline constexpr std::uint8_t Shade(eHue hue, int shade) {
  return static_cast<std::uint8_t>(32 + 16 * hue + std::clamp(shade, 0, 15));
}

// Cell sizes the world reads the sheets with.
// A scatter of 0 to modulo - 1 over i, the same on every run.
inline int Scatter(int i, int modulo) { return static_cast<int>((static_cast<unsigned>(i) * 2654435761u) >> 16) % modulo; }

inline constexpr int kCell = 32;      // blocks, characters, items, marks
inline constexpr int kShotCell = 16;  // the shot sheet

// Rows of the character sheet (graphic index of a character; its cells run
// to the right: 0 to 2 walking, 3 jumping, 4 to 7 the same while invincible).
enum eCharaRow : int { CHARA_ROW_HERO = 1, CHARA_ROW_WALKER, CHARA_ROW_SHOOTER, CHARA_ROW_BOSS };
inline constexpr int kInvincibleColumns = 4;

// The sheets (SampleSprites.cpp).
cCanvas MakeBlockSheet();
cCanvas MakeCharacterSheet();
cCanvas MakeShotSheet();
cCanvas MakeItemSheet();
cCanvas MakeItemMiniSheet();
cCanvas MakeMarkSheet();
cCanvas MakeExplosionEffect();
// The database's picture: a signboard on a post, 96 x 80, keyed around.
cCanvas MakeSignPicture();
// One 32 x 32 character cell, facing left (`pose` as the sheet's columns 0 to
// 3), on the transparent colour.
cCanvas MakeCharacterCell(eCharaRow who, int pose);

// Screens and the rest (SampleScreens.cpp).
cCanvas MakePaletteBitmap();
cCanvas MakeDebugSheet();
cCanvas MakeWindowPattern();
cCanvas MakeStatusWindow();
cCanvas MakeTitle();
// The title menu's entry pictures: seven 256 x 32 strips, one under the other.
cCanvas MakeGameModeStrips();
cCanvas MakeAccessorySheet();
cCanvas MakeSymbolSheet();
cCanvas MakeWordSheet();
cCanvas MakeWorldMapChips();
// The world map's node symbols: rows 0 to 5 numbered, then a star (the
// ending) and a closed gate.
inline constexpr int kWorldEndingSymbol = 6;
inline constexpr int kWorldGateSymbol = 7;
cCanvas MakeWorldEvents();
// Background picture n (1 to 8), 640 x 480.
cCanvas MakeBackground(int n);

}  // namespace samplegame::art
