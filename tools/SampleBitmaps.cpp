// The game palette, the list of the game's pictures with their file names,
// and writing them into the working folder.

#include "SampleBitmaps.h"

#include <algorithm>

#include "SampleArt.h"
#include "SampleBlendTable.h"
#include "graphics/SurfaceDef.h"
#include "platform/BmpDecoder.h"

namespace samplegame {

namespace {

using namespace art;

plat::sPaletteEntry Rgb(int r, int g, int b) {
  return {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b), 0};
}

// Shade s of a ramp: black rising to the colour at shade 10, then towards
// white.
plat::sPaletteEntry RampShade(plat::sPaletteEntry colour, int s) {
  auto channel = [s](int c) {
    if (s <= 10) return c * (2 + s) / 12;
    return c + (255 - c) * (s - 10) / 6;
  };
  return Rgb(channel(colour.red), channel(colour.green), channel(colour.blue));
}

// The row file a picture belongs to, as the fixed surface table names it.
std::string TableFile(int row) { return MakeFixedSurfaceTable()[static_cast<std::size_t>(row)].szFile; }

cSampleBitmap Encode(const std::string& path, const cCanvas& canvas, const plat::DisplayPalette& palette) {
  return {path, plat::EncodeBmp8(canvas.Width(), canvas.Height(), canvas.Pixels(), palette)};
}

}  // namespace

plat::DisplayPalette MakeGamePalette() {
  plat::DisplayPalette p{};
  p[kKey] = Rgb(255, 0, 255);
  for (int i = 1; i < 16; ++i) p[i] = Rgb((i - 1) * 255 / 14, (i - 1) * 255 / 14, (i - 1) * 255 / 14);

  p[kBlack] = Rgb(0, 0, 0);
  p[kNight] = Rgb(8, 10, 36);
  p[kNight + 1] = Rgb(18, 24, 64);
  p[kNight + 2] = Rgb(34, 44, 100);
  for (int i = 0; i < kSkySteps; ++i)
    p[kSky + i] = Rgb(64 + 132 * i / (kSkySteps - 1), 132 + 94 * i / (kSkySteps - 1), 228 + 27 * i / (kSkySteps - 1));

  static const plat::sPaletteEntry kHues[kHueCount] = {
      Rgb(200, 200, 200), Rgb(220, 50, 40),  Rgb(240, 140, 30), Rgb(240, 210, 40), Rgb(60, 180, 60),  Rgb(40, 180, 170),
      Rgb(50, 100, 220),  Rgb(140, 70, 200), Rgb(230, 90, 160), Rgb(150, 95, 50),  Rgb(240, 190, 150)};
  for (int hue = 0; hue < kHueCount; ++hue)
    for (int s = 0; s < 16; ++s) p[Shade(static_cast<eHue>(hue), s)] = RampShade(kHues[hue], s);

  // Eight groups of four that palette cycling turns: water, lava, then
  // shimmering versions of the other colours.
  static const plat::sPaletteEntry kCycles[8] = {Rgb(40, 110, 220), Rgb(230, 80, 20),   Rgb(60, 200, 90),
                                                  Rgb(240, 220, 70), Rgb(150, 210, 250), Rgb(160, 80, 220),
                                                  Rgb(240, 110, 170), Rgb(220, 220, 220)};
  static const int kPulse[4] = {7, 9, 11, 9};
  for (int group = 0; group < 8; ++group)
    for (int i = 0; i < 4; ++i) p[kCycleFirst + 4 * group + i] = RampShade(kCycles[group], kPulse[i]);

  p[kFrame] = Rgb(230, 230, 240);
  p[kText] = Rgb(255, 255, 255);
  p[kNavy] = Rgb(16, 24, 64);
  p[kNavy + 1] = Rgb(28, 40, 96);
  p[kNavy + 2] = Rgb(44, 60, 132);
  p[kNavy + 3] = Rgb(80, 104, 180);
  p[246] = Rgb(0, 0, 0);
  p[kShadow] = Rgb(32, 32, 32);
  p[kGold] = Rgb(255, 214, 64);
  p[kRed] = Rgb(224, 48, 48);
  p[kGreen] = Rgb(64, 200, 96);
  p[kOutline] = Rgb(20, 16, 28);
  p[252] = Rgb(96, 96, 96);
  p[253] = Rgb(160, 160, 160);
  p[254] = Rgb(208, 208, 208);
  p[kWhite] = Rgb(255, 255, 255);
  return p;
}

std::string BackgroundFileName(int n) { return TableFile(SURF_BACKGROUND_FIRST + std::clamp(n, 1, 8) - 1); }

std::vector<cSampleBitmap> MakeSampleBitmaps() {
  const plat::DisplayPalette palette = MakeGamePalette();
  std::vector<cSampleBitmap> files;
  auto add = [&](const std::string& path, const cCanvas& canvas) { files.push_back(Encode(path, canvas, palette)); };

  add(TableFile(SURF_PALETTE), MakePaletteBitmap());
  add(TableFile(SURF_DEBUG), MakeDebugSheet());
  add(TableFile(SURF_BLOCK), MakeBlockSheet());
  add(TableFile(SURF_CHARACTER1), MakeCharacterSheet());
  add(TableFile(SURF_SHOT), MakeShotSheet());
  add(TableFile(SURF_ITEM), MakeItemSheet());
  add(TableFile(SURF_ITEM_MINI), MakeItemMiniSheet());
  add(TableFile(SURF_MARK), MakeMarkSheet());
  add(TableFile(SURF_WINDOW), MakeWindowPattern());
  add(TableFile(SURF_STATUS_WINDOW), MakeStatusWindow());
  add(TableFile(SURF_TITLE), MakeTitle());
  add(TableFile(SURF_GAME_MODE), MakeGameModeStrips());
  add(TableFile(SURF_ACCESSORY), MakeAccessorySheet());
  add(TableFile(SURF_SYMBOL), MakeSymbolSheet());
  add(TableFile(SURF_WORD), MakeWordSheet());
  add(TableFile(SURF_WORLD_MAP_CHIP), MakeWorldMapChips());
  add(TableFile(SURF_WORLD_EVENT), MakeWorldEvents());
  for (int n = 1; n <= 8; ++n) add(BackgroundFileName(n), MakeBackground(n));
  // The image of the database's explosion effect (MakeDatabase).
  add("bmp\\Effect\\Explosion.bmp", MakeExplosionEffect());
  // The image of the database's picture.
  add("bmp\\Picture\\Sign.bmp", MakeSignPicture());
  // Not a picture: the 8-bit mode's blend table of palette set 0.
  files.push_back({"bmp\\hbt\\hbt00.dat", MakeBlendTable(palette)});
  return files;
}

bool WriteSampleBitmaps(const std::filesystem::path& workingFolder, std::string& error) {
  return WriteSampleFiles(workingFolder, MakeSampleBitmaps(), error);
}

}  // namespace samplegame
