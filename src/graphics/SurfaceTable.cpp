#include "graphics/SurfaceTable.h"

#include "core/ErrorBox.h"
#include "core/Log.h"
#include "graphics/BitmapLoad.h"
#include "graphics/DrawContext.h"

void LinkMirrorSurfaces() {
  for (int row = 0; row < kSurfaceTableRows; ++row) {
    const int source = SurfaceCopySourceRow(row);
    g_SurfaceData[row].lpPrimary = source >= 0 ? &g_SurfaceData[source] : nullptr;
  }
}

bool DDCreateSurfaceTable(DDSURFACEDATA* lpSurfaces, const int* rows, int count) {
  if (!lpSurfaces || !rows) return true;
  // Rows made from one file (a sheet, its mirror, their system-memory copies)
  // read it once.
  const cBitmapReadOnce readOnce;
  for (int i = 0; i < count; ++i) {
    const int row = rows[i];
    if (row < 0 || row >= kSurfaceTableRows) {
      LogPrintf("DDCreateSurfaceTable Err row = %d", row);
      continue;
    }
    DDSURFACEDATA* sd = &lpSurfaces[row];
    const DDSURFACEDEF& def = g_SurfaceDef[row];
    DDReleaseSurface(sd);
    // Only "E" makes an empty surface here; a row whose name was left empty
    // is a bitmap that cannot be loaded (the empty name counts as "E" only
    // when a lost surface is made again).
    if (def.szFile != kEmptySurfaceFile) {
      const int result = DDCreateSurfaceFromFile(sd, def.szFile, def.nKey, g_DrawLayer.nBpp, def.dwDDMemory,
                                                 def.dtMemoryType, def.bCopy, def.bPalMap, def.nMirrorW, def.nMirrorH,
                                                 0);
      if (!DDSurfaceErrorMessage(result) && !def.bOptional) {
        ErrorBoxf("%s の読み込みに失敗！", def.szFile.c_str());
        return false;
      }
    } else if (!DDCreateSurface(sd, def.nWidth, def.nHeight, def.nKey, def.dwDDMemory, def.dtMemoryType, def.bCopy,
                                0) &&
               !def.bOptional) {
      OutOfMemoryExit();
      return false;
    }
  }
  return true;
}
