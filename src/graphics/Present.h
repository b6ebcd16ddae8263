#pragma once
// The end of every frame and the recovery from lost video memory.
//
// Direct3D presents the device's back buffer (DDEndFrame); DirectDraw blits
// BackBuffer into the window (DDPresentWindow) or flips it to the screen
// (DDPresentFullScreen). The software device never loses its memory, so the
// loss paths run only when a loss is simulated (DDSimulateDeviceLoss); they
// are kept so that the owners' redraw logic (bLost) works as it must after a
// real display change.
//
// After a loss, surfaces come back as follows:
//   Direct3D    every texture not in system memory is made again: file
//               surfaces from their file, empty ones cleared with bLost = 1;
//               system-memory textures keep their contents.
//   DirectDraw  every lost surface is restored: video-memory surfaces with a
//               file are reloaded from it, empty ones get bLost = 1;
//               system-memory surfaces keep their contents.
// Either way the fonts draw their glyph caches again (Font::Restore), and
// the digit strips are drawn again (RestoreDigitSurfaces: the DirectDraw
// frame calls it, the Direct3D restore does).

#include "graphics/Surface.h"

// Direct3D: flushes the virtual back buffer, waits for the frame's due time
// when vertical sync is off, closes the scene and presents; with vertical
// sync on, the present returns at the display's next vertical blank (the
// blanks follow the refresh rate on the millisecond clock). 0 when the device
// is lost (in full screen the window is minimised), else 1; 1 without a
// Direct3D context.
int DDEndFrame(int fps, int a, int b);

// DirectDraw in a window: waits for the display's vertical blank (unless
// waitVerticalBlank is 0, when the stage runs faster than 60 frames per
// second), then BackBuffer is blitted over the whole primary surface, which
// is the window's client area wherever the window stands, and shown.
bool DDPresentWindow(int waitVerticalBlank);
// DirectDraw full screen: a blit of BackBuffer's top-left 640 x 480 to the primary, or a
// flip at the display's vertical blank (BackBuffer and the primary trade
// places).
bool DDPresentFullScreen(int blitInsteadOfFlip);

// DirectDraw: true when the primary surface reports that it was lost.
bool DDIsPrimaryLost();
// DirectDraw: restores the primary, BackBuffer and the fixed surfaces (see
// above), gives the display the working palette again at 8 bits and restores
// the fonts. True.
bool DDRestore();
// A lost DirectDraw surface restored; false when its bitmap cannot be copied again.
bool RestoreOneSurface(DDSURFACEDATA* lpSD);
// Every surface of the container; false at the first that cannot be restored.
bool RestoreSurface(DDSurfaceVector& surfaces);
bool RestoreSurface(DDSurfaceList& surfaces);

// Direct3D, on the main thread: resets the device, makes every texture of
// g_TextureList again and draws the fonts' caches and digit strips again. 1 when done; 0 when the device is not ready to be reset
// (everything stays released and the next failed present asks again).
int DDRestoreSurface();

// Test hook: the display loses its video memory. Direct3D: the device is lost
// from now on; readyToReset tells whether it can already be reset (otherwise
// the restore fails until a later call says so). DirectDraw: every surface in
// video memory (and the primary) reports that it is lost and its contents are
// gone.
void DDSimulateDeviceLoss(bool readyToReset = true);
