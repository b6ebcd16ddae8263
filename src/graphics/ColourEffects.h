#pragma once
// Colour effects: a source rectangle drawn with its colours changed, or a
// colour laid over a whole surface.
//
//   DDTint         pulled toward one palette colour by a level (the character
//                  effect "色変化"; at 8 bits also the stand-in for blur)
//   DDAlphaBlt     drawn with a constant transparency (the screen colour)
//   DDTranslucent  DDAlphaBlt at half transparency (the character effect "半透明")
//   DDChangeColor  a colour laid over the whole destination (Direct3D only)
//   DDLayColor     a constant colour laid over a rectangle (Direct3D only)
//
// Under Direct3D the tint and the alpha blit draw one textured quad when the
// destination is a render target and the source does not live in system
// memory; otherwise, and always under DirectDraw, they work on locked pixels
// (PixelAccess.h). The two ways differ on screen, and both are kept:
//   - the tint's strength per level is 128/80/48/16 out of 255 on the quad,
//     128/64/32/16 on Direct3D pixels, and on DirectDraw "halve the distance
//     to the tint colour" repeated level times (8 bits: through g_BlendTable);
//   - the alpha blit honours nAlpha only on the quad; every pixel road draws
//     the half mix of source and destination.
//
// Flags: 1 leaves the destination alone where the source is transparent
// (PixelAccess.h), 0 uses every source pixel. The quads blend by the texels'
// alpha whatever the flags. Results: true after drawing or when there is
// nothing to draw (also when the Direct3D scene or render target cannot be
// set), false when a surface cannot be locked.

#include <cstdint>

#include "graphics/BlendTable.h"
#include "graphics/Palette.h"
#include "graphics/Surface.h"

// Draws the source rectangle at (x, y) tinted toward palette[colorIndex & 255]
// (callers pass g_PaletteWork). A level of 0 draws nothing on either road; a
// negative level draws nothing under Direct3D and copies the source unmixed
// under DirectDraw. The blend-table argument is not read: 8 bits mix through
// g_BlendTable, which is also what callers pass.
bool DDTint(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, DDSURFACEDATA* lpSrc, int sx, int sy,
            std::uint32_t dwFlags, const DDPALETTE& palette, const DDBLENDTABLE& blendTable,
            std::uint32_t colorIndex, int level);

// Draws the source rectangle at (x, y) with transparency nAlpha: 0 opaque,
// 255 invisible (the quad's alpha is the complement of nAlpha's low byte).
// The pixel roads ignore nAlpha and draw the half mix; at 8 bits the mix is
// blendTable[destination * 256 + source], a destination index 0 takes the
// source unmixed and, with flags 1, a source index 0 is skipped.
bool DDAlphaBlt(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, DDSURFACEDATA* lpSrc, int sx, int sy,
                std::uint32_t dwFlags, const DDBLENDTABLE& blendTable, std::uint32_t nAlpha);

// DDAlphaBlt with nAlpha 128.
bool DDTranslucent(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, DDSURFACEDATA* lpSrc, int sx, int sy,
                   std::uint32_t dwFlags, const DDBLENDTABLE& blendTable);

// Direct3D: lays the colour (red, green, blue) with transparency nAlpha over
// the whole destination, whatever the rectangle says: the destination is
// modulated by the colour and blended over itself; BackBuffer, which has no
// texture, simply gets the colour laid over it. DirectDraw: writes that it is
// not supported to the debug log and draws nothing. Always 1.
int DDChangeColor(DDSURFACEDATA* lpDstSD, int x, int y, int nWidth, int nHeight, int nAlpha, std::uint8_t bRed,
                  std::uint8_t bGreen, std::uint8_t bBlue);

// Direct3D: lays the colour (red, green, blue) with transparency nAlpha (0
// opaque, 255 invisible) over the rectangle of the destination, which may be
// BackBuffer mapped to the virtual back buffer: the pixels of the colour
// filled into an opaque surface and drawn over the rectangle by DDAlphaBlt,
// in one pass over the destination and without the surface. DirectDraw: draws
// nothing.
void DDLayColor(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, int nAlpha, std::uint8_t bRed,
                std::uint8_t bGreen, std::uint8_t bBlue);
