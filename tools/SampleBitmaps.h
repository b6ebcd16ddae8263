#pragma once
// The sample game's pictures: the game palette bitmap, every bitmap the
// drawing layer's fixed surface table loads, the background pictures and the
// effect image of the database, all drawn in code as small pixel art.
//
// They belong to the player's working folder, not to data\: the bitmaps go
// below bmp\ (bmp\plt\Palette.bmp, bmp\Block.bmp, ...), the backgrounds under
// the names of the background rows of the table, beside bmp\.
//
// Every picture is an 8-bit bitmap with the game palette as its colour table,
// so it reads the same at 8 bits (palette numbers) and at 32 bits. Palette
// number 0 is the transparent colour (the palette bitmap's top-left pixel):
// keyed sheets leave their empty parts in it, and opaque pictures never use it.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "SampleFiles.h"
#include "platform/PixelSurface.h"

namespace samplegame {

// One picture: its program path relative to the working folder ("bmp\Block.bmp")
// and its bytes.
using cSampleBitmap = cSampleFile;

// The game palette (flags 0). Entry 0 is the transparent colour; 16 is black
// (the empty screen), 20 the sky blue of a plain sky, 240 the frame colour and
// 241 the text colour of the fonts; 16 to 207 are twelve ramps of 16 shades
// and 208 to 239 eight groups of four for palette cycling.
plat::DisplayPalette MakeGamePalette();

// The file name of background picture n (1 to 8), as the background rows of
// the surface table name it; a stage layer showing that picture uses it too.
std::string BackgroundFileName(int n);
inline constexpr int kSkyBackground = 1;
inline constexpr int kHillsBackground = 2;
inline constexpr int kNightBackground = 3;
inline constexpr int kMountainBackground = 4;

// Every picture of the game, and the 8-bit mode's blend table of palette set
// 0 (bmp\hbt\hbt00.dat, SampleBlendTable.h).
std::vector<cSampleBitmap> MakeSampleBitmaps();

// Writes the pictures below the Linux folder `workingFolder` (folders are
// created; files already there are replaced). False, with the reason in
// `error`, when a folder or a file could not be written.
bool WriteSampleBitmaps(const std::filesystem::path& workingFolder, std::string& error);

}  // namespace samplegame
