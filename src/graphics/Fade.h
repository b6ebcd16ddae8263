#pragma once
// Fades and palette effects.
//
// A fade runs an angle between 0 and 90 degrees by a step per call; what is
// shown is the sine of the angle, so it starts and ends gently. A fade-out
// runs from 90 down to 0, a fade-in from 0 up to 90; the call that finds its
// angle already at the end returns true and puts the angle back to its start,
// so the next fade of that kind starts afresh. With a step of 9 degrees a fade
// draws 90, 81, ..., 9, 0 (or 0 .. 90) and returns true on the eleventh call.
// A scene that stops calling a fade early leaves its angle where it was.
// Each back end keeps its own two angles.
//
// How a fade shows:
//   Direct3D            a black quad over BackBuffer with alpha
//                       255 - trunc(sin(angle) x 255); the colour is not used
//   DirectDraw 8 bits   the palette entries first..last blended toward the
//                       colour (DDBlendPalette, level trunc(sin(angle) x 256))
//                       and handed to the display
//   DirectDraw 32 bits  BackBuffer is saved into FadeBuffer when the fade
//                       starts; every call then writes the saved frame blended
//                       toward the colour into BackBuffer. So the whole fade
//                       shows the frame of its start, whatever is drawn since.
//
// Palettes are 256 entries {red, green, blue, flags} (DDPALETTE).

#include <cstdint>

#include "graphics/Palette.h"
#include "graphics/Surface.h"

// One step of the fade-out; true on the call that completes it. With skip the
// fade jumps to its end: the call draws the final state and returns true.
// Direct3D returns false, the angle unmoved, when the scene or render target
// cannot be set.
bool DDFadeOut(DDPALETTE& work, int first, int last, int red, int green, int blue, double step,
               const DDPALETTE& source, int skip);
// The same from the colour to the picture.
bool DDFadeIn(DDPALETTE& work, int first, int last, int red, int green, int blue, double step,
              const DDPALETTE& source, int skip);

// Entries first..last of the work palette become the source entries blended
// toward the colour: (colour x (256 - level) + level x source) >> 8 per
// component, flags 1. Level 256 keeps the source, 0 gives the colour; levels
// outside 0..256 count as the nearest end. The range is cut to 0..255;
// nothing happens when first > last.
void DDBlendPalette(DDPALETTE& work, int first, int last, int level, int red, int green, int blue,
                    const DDPALETTE& source);

// At 8, 16 and 32 bits per pixel: the work palette becomes the source, then
// its entries first..last turn by count places: direction 0 moves every
// entry up (the last count entries wrap to the start of the range), 1 moves
// them down (the first count wrap to the end); any other direction only
// copies. The range is cut to 0..255; the count is taken modulo its length.
void DDRotatePalette(DDPALETTE& work, int first, int last, int count, int direction, const DDPALETTE& source);

// DirectDraw: every pixel of the destination's requested size becomes the
// same pixel of the source blended toward the colour, per component as in
// DDBlendPalette; the fourth byte is left alone. At 8 bits nothing changes.
// Pixels outside either surface are left out. Under Direct3D it only writes
// "D3DではDDFade_UnPalは未対応" to the debug log. Returns 1.
int DDFade_UnPal(DDSURFACEDATA* lpDst, int level, int red, int green, int blue, DDSURFACEDATA* lpSrc);

// The four fade angles as at process start (tests only).
void ResetFadesForTests();
