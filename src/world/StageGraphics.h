#pragma once
// The surfaces stage drawing needs beyond the fixed surface table, and the
// drawing layer's state the world's drawers ask about.
//
//   shot sheets        rows 63 and 64 of the fixed table (256 x 960): every
//                      16 x 16 shot cell of "Shot" (row 20) and its mirror
//                      (row 21) centred in a 32 x 32 cell
//   database images    special bitmaps, swords, effects: four surfaces per
//                      entry from 1 on (entry e at 4 (e - 1)): the image, the
//                      image mirrored by cells, and a system-memory copy of
//                      each; the last three are linked to the image, which
//                      alone owns a texture under Direct3D
//   darkness / light   rows 65 and 66, re-made at the hero's light size
//   pictures           one surface per shown picture (g_PictureSurfaces)
//   message windows    the pool every text window takes its surface from
//
// Game-thread only, like all drawing.

#include <cstdint>

#include "graphics/Surface.h"
#include "graphics/SurfaceDef.h"

inline constexpr int SURF_SHOT_SHEET = 63;
inline constexpr int SURF_SHOT_SHEET_MIRROR = 64;
inline constexpr int SURF_DARKNESS = 65;
inline constexpr int SURF_LIGHT = 66;
inline constexpr int SURF_WORK = 67;  // the screen-colour and effect work surface
inline constexpr int SURF_WORK2 = 68;
inline constexpr int SURF_BIG_WORK_D3D = 69;
inline constexpr int SURF_BIG_WORK_DD = 70;

// The database image surfaces, four per entry from 1 on, with definitions.
struct cImageSurfaces {
  DDSurfaceVector m_Surfaces;
  DDSurfaceDefVector m_Defs;
  // Surface `which` (0 image, 1 mirrored, 2 copy, 3 mirrored copy) of entry
  // `entry`; null when the entry has none.
  DDSURFACEDATA* Get(int entry, int which);
};

extern cImageSurfaces g_SpecialBmpImages;
extern cImageSurfaces g_SwordImages;
extern cImageSurfaces g_EffectImages;
// Shown pictures' surfaces and the message-window pool.
extern DDSurfaceList g_PictureSurfaces;
extern DDSurfaceDefList g_PictureSurfaceDefs;
extern DDSurfaceList g_MsgSurfaces;
extern DDSurfaceDefList g_MsgSurfaceDefs;

// True under Direct3D; false under DirectDraw.
bool IsDirect3D();
// True under 8-bit DirectDraw (palette effects instead of tints).
bool IsPaletteMode();
// The surface of fixed-table row `row`.
DDSURFACEDATA* TableSurface(int row);

// Fills both shot sheets from the shot bitmap and its mirror.
void BuildShotSheets();
// True when either shot sheet was lost (and needs BuildShotSheets).
bool ShotSheetsLost();
void LoadSpecialBmps();
void LoadSwordImages();
void LoadEffectImages();
// Darkness of (1280 + 2r) x (960 + 2r) with the light cut out of its centre
// for a hero's light of `radius` dots and `shape`; false when a surface could
// not be made (the out-of-memory box has been shown and the window closes).
bool PrepareLightSurfaces(int radius, int shape);
// True when the darkness or the light surface came back from a display loss
// without its contents (and needs PrepareLightSurfaces).
bool LightSurfacesLost();
void ReleasePictures();
void ReleaseMessageSurfaces();
// Releases every surface above (process end, tests).
void ReleaseStageGraphics();
