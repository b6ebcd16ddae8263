#pragma once
// The game palette, the one transparent colour of the run, and the flash
// colours.
//
// Every game draws with one palette of 256 colours loaded from
// "bmp\plt\Palette.bmp" and with one transparent colour, set once at start-up.
// Palette numbers 0 to 255 are how scenes and stage data name colours; under
// Direct3D number 0 means transparent.

#include <array>
#include <cstdint>
#include <string>

#include "graphics/Surface.h"
#include "platform/PixelSurface.h"

// {red, green, blue, flags}. Flags are 255 when read from a colour table under
// Direct3D, 1 or 2 under 8-bit DirectDraw.
using DDPALETTE = plat::DisplayPalette;

extern DDPALETTE g_Palette;
// A copy of g_Palette made at each load; palette effects change it, and at 8
// bits per pixel it is what the display shows once applied.
extern DDPALETTE g_PaletteWork;

// Fills the palette from the bitmap: an 8-bit bitmap's colour table (Direct3D,
// or 8-bit DirectDraw, which also hands all 256 entries to the display), then
// at 16 bits and more the 16 x 16 colour swatch of the picture
// (DDSetPalette_UnPal). False only when the bitmap cannot be loaded.
bool DDLoadPaletteFromFile(DDPALETTE& palette, const std::string& file);

// Reads the palette from the pixels of rows 8 to 23, columns 0 to 15 of the
// surface (entry i at row 8 + i / 16, column i % 16): under Direct3D only
// pixels with a non-zero alpha (entry = red, green, blue, alpha); under
// DirectDraw at 32 bits every pixel (red, green, blue, fourth byte). Pixels
// outside the surface leave their entries alone. Returns 1.
int DDSetPalette_UnPal(DDPALETTE& palette, DDSURFACEDATA* lpSD);

// The transparent colour is the file's top-left pixel. 1 on success; 0 when
// the file cannot be made into a surface or locked. Under DirectDraw the
// 16-bit conversion colour starts as that colour too.
int DDSetTransmit(const std::string& file);
// At 16 bits per pixel: bitmap pixels of this colour become the transparent
// colour as bitmaps are loaded (the start-up gives the system data's colour
// here). Under DirectDraw the pixels that already hold the colour-key value
// move one blue step away from it, so that only these are transparent; under
// Direct3D it is the texture loader's colour key.
void DDSetTransmitConversion(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
// The transparent colour given as bytes. Direct3D: the context's transparent
// values (the opaque transparent colour 0xFF000000 | rgb; transparent texels
// hold 0). DirectDraw at 32 bits: the colour-key pixel value rgb.
void DDSetTransmit(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

// The colour value of palette number dwPalNum in the form the running road
// wants: Direct3D 0 for number 0 (transparent) and 0xFF000000 | rgb
// otherwise; DirectDraw rgb at 32 bits; the number itself at 8 bits. Numbers
// above 255 give 0 (Direct3D also writes a debug-log line).
std::uint32_t PalNumToRGB(std::uint32_t dwPalNum);

// A diffuse colour and a texture colour operation for a blit.
struct DDBLENDPARAM {
  std::uint32_t dwColor = 0xFFFFFFFF;  // ARGB
  std::uint32_t dwColorOp = 4;         // modulate; 7 add, 10 subtract
};

// Entry n (1 to 9) is what a character drawn with flash kind n blends with
// under Direct3D; entry 0 is not used.
extern std::array<DDBLENDPARAM, 10> g_FlashColors;

// Once per frame (game scene and menu scenes). Direct3D: every flash entry
// takes the colour of its pulse value, then the pulse moves by flashStep
// between 0 and 255. DirectDraw at 8 bits with paletteCycling set: every 6th
// call the eight groups of four entries 208..239 of g_PaletteWork turn by one
// and the display gets those 32 entries. flashStep and paletteCycling come
// from the system data.
void AnimatePalette(int flashStep, int paletteCycling);

// Starts the pulses, the phase of entry 9 and the cycling count again, as at
// process start (tests only).
void ResetPaletteAnimationForTests();
