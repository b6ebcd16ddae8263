#include "world/StageGraphics.h"

#include <string>

#include "core/ErrorBox.h"
#include "core/Log.h"
#include "data/BmpCharaExc.h"
#include "data/Database.h"
#include "data/Effect.h"
#include "data/SwordType.h"
#include "data/SystemData.h"
#include "graphics/BitmapLoad.h"
#include "graphics/Blit.h"
#include "graphics/DrawContext.h"
#include "graphics/GeometricEffects.h"
#include "graphics/Palette.h"
#include "graphics/SurfaceFill.h"
#include "graphics/SurfaceTable.h"
#include "world/GameScene.h"

bool IsDirect3D() { return lpDTCon != nullptr; }
bool IsPaletteMode() { return lpDTCon == nullptr && g_DrawLayer.nBpp == 8; }
DDSURFACEDATA* TableSurface(int row) { return &g_SurfaceData[static_cast<std::size_t>(row)]; }

DDSURFACEDATA* cImageSurfaces::Get(int entry, int which) {
  const long index = (static_cast<long>(entry) - 1) * 4 + which;
  if (entry < 1 || index >= static_cast<long>(m_Surfaces.size())) return nullptr;
  DDSURFACEDATA* sd = &m_Surfaces[static_cast<int>(index)];
  return sd->HasSurface() ? sd : nullptr;
}

void BuildShotSheets() {
  DDSURFACEDATA* sheets[2] = {TableSurface(SURF_SHOT_SHEET), TableSurface(SURF_SHOT_SHEET_MIRROR)};
  DDSURFACEDATA* sources[2] = {TableSurface(SURF_SHOT), TableSurface(SURF_SHOT_MIRROR)};
  for (int s = 0; s < 2; ++s) {
    DDFillSurfacePal(sheets[s], 0);
    for (int r = 0; r < 30; ++r) {
      for (int c = 0; c < 4; ++c) {
        DDBlt(sheets[s], 64 * c + 8, 32 * r + 8, 16, 16, sources[s], 32 * c, 16 * r, 1);
        DDBlt(sheets[s], 64 * c + 40, 32 * r + 8, 16, 16, sources[s], 32 * c + 16, 16 * r, 1);
      }
    }
    sheets[s]->bLost = 0;
  }
}

bool ShotSheetsLost() {
  return TableSurface(SURF_SHOT_SHEET)->bLost != 0 || TableSurface(SURF_SHOT_SHEET_MIRROR)->bLost != 0;
}

namespace {

// Four surfaces per entry from 1 on; a failed image is logged and the entry
// simply has none. As with the character sheets of the fixed table, the
// mirrored image and both system-memory copies are copy rows of the image:
// under Direct3D only the image owns a texture, and the mirrored ones turn
// each cell over as it is read from it.
template <class tEntry, class tFile, class tCells>
void LoadImages(cImageSurfaces& images, const cSafeVector<tEntry>& entries, tFile file, tCells cells,
                const char* failure) {
  DDReleaseSurfaceVector(images.m_Surfaces);
  images.m_Surfaces.clear();
  images.m_Defs.clear();
  const int count = static_cast<int>(entries.size());
  if (count <= 1) return;
  images.m_Surfaces.resize(static_cast<std::size_t>(count - 1) * 4);
  images.m_Defs.resize(static_cast<std::size_t>(count - 1) * 4);
  // The four surfaces of an entry read its file once.
  const cBitmapReadOnce readOnce;
  for (int e = 1; e < count; ++e) {
    const std::string name = file(entries[e]);
    const int mirrorW = cells(entries[e]);
    const int base = (e - 1) * 4;
    for (int k = 0; k < 4; ++k) {
      const bool mirrored = (k & 1) != 0;
      const bool systemCopy = k >= 2;
      images.m_Defs[base + k].Set(name, 1, systemCopy ? 1 : 0,
                                  systemCopy ? DTMEMORYTYPE_SYSTEM : DTMEMORYTYPE_VIDEO_RT, k != 0 ? 1 : 0, 0, 0,
                                  mirrored ? mirrorW : 0, 0, 0, 0);
    }
    bool failed = name.empty();
    for (int k = 0; k < 4 && !failed; ++k) {
      const DDSURFACEDEF& def = images.m_Defs[base + k];
      const int code = DDCreateSurfaceFromFile(&images.m_Surfaces[base + k], def.szFile, def.nKey, g_DrawLayer.nBpp,
                                               def.dwDDMemory, def.dtMemoryType, def.bCopy, 0, def.nMirrorW, 0, 0);
      failed = code != 0 && code != 1;
    }
    if (failed) {
      for (int k = 0; k < 4; ++k) DDReleaseSurface(&images.m_Surfaces[base + k]);
      LogPrintf(failure, name.c_str());
      continue;
    }
    for (int k = 1; k < 4; ++k) images.m_Surfaces[base + k].lpPrimary = &images.m_Surfaces[base];
  }
}

}  // namespace

void LoadSpecialBmps() {
  LoadImages(
      g_SpecialBmpImages, g_Database.m_BmpCharaExcs, [](const cBmpCharaExc& e) { return e.m_strFile; },
      [](const cBmpCharaExc& e) { return e.m_bSizedCells != 0 && e.m_nCellFactor > 0 ? e.m_nCellFactor * 32 : 32; },
      "専用bmp %s 読み込み失敗！");
}

void LoadSwordImages() {
  LoadImages(
      g_SwordImages, g_Database.m_SwordTypes, [](const cSwordType& e) { return e.m_strImage; },
      [](const cSwordType&) { return 32; }, "ソード %s 読み込み失敗！");
}

void LoadEffectImages() {
  LoadImages(
      g_EffectImages, g_Database.m_Effects, [](const cEffect& e) { return e.m_strFile; },
      [](const cEffect& e) { return e.m_nCellWidth > 0 ? e.m_nCellWidth : 32; }, "エフェクト %s 読み込み失敗！");
}

bool PrepareLightSurfaces(int radius, int shape) {
  DDSURFACEDATA* darkness = TableSurface(SURF_DARKNESS);
  DDSURFACEDATA* light = TableSurface(SURF_LIGHT);
  DDReleaseSurface(darkness);
  DDReleaseSurface(light);
  // Drawn anew here, whatever a display loss left.
  darkness->bLost = 0;
  light->bLost = 0;
  if (radius < 0) radius = 0;
  const int d = radius * 2;
  if (!DDCreateSurface(darkness, 1280 + d, 960 + d, 1, 0, DTMEMORYTYPE_VIDEO_NORT, 0, 0)) {
    OutOfMemoryExit();
    return false;
  }
  DDFillSurfacePal(darkness, 16);
  if (radius == 0) return true;
  const int cx = (1280 + d) / 2, cy = (960 + d) / 2;
  if (shape != 1 && shape != 2) {
    DDFillRectPal(darkness, cx - radius, cy - radius, d, d, 0);
    return true;
  }
  if (!DDCreateSurface(light, d, d, 1, 0, DTMEMORYTYPE_VIDEO_NORT, 0, 0)) {
    OutOfMemoryExit();
    return false;
  }
  if (g_System.m_bTransparent != 0)
    DDFillSurfaceRGB(light, (uint32_t{g_System.m_nTransparentRed} << 16) |
                                (uint32_t{g_System.m_nTransparentGreen} << 8) | g_System.m_nTransparentBlue);
  else
    DDFillSurfacePal(light, 0);
  DDCircleWindow(darkness, cx, cy, radius, radius, radius, 1, light, radius, radius, 0);
  return true;
}

bool LightSurfacesLost() {
  for (const int row : {SURF_DARKNESS, SURF_LIGHT}) {
    const DDSURFACEDATA* sd = TableSurface(row);
    if (sd->HasSurface() && sd->bLost != 0) return true;
  }
  return false;
}

void ReleasePictures() {
  DDReleaseSurfaceList(g_PictureSurfaces);
  g_PictureSurfaces.clear();
  g_PictureSurfaceDefs.clear();
  if (g_GameScene != nullptr) g_GameScene->m_Pictures.clear();
}

void ReleaseMessageSurfaces() {
  DDReleaseSurfaceList(g_MsgSurfaces);
  g_MsgSurfaces.clear();
  g_MsgSurfaceDefs.clear();
}

void ReleaseStageGraphics() {
  for (cImageSurfaces* images : {&g_SpecialBmpImages, &g_SwordImages, &g_EffectImages}) {
    DDReleaseSurfaceVector(images->m_Surfaces);
    images->m_Surfaces.clear();
    images->m_Defs.clear();
  }
  ReleasePictures();
  ReleaseMessageSurfaces();
}
