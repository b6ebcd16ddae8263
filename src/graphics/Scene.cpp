#include "graphics/Scene.h"

#include "core/Log.h"
#include "graphics/DrawContext.h"

bool DDBeginScene() {
  if (!lpDTCon || !g_DrawLayer.bDevice) return false;
  lpDTCon->bInScene = 1;
  return true;
}

void DDEndScene() {
  if (!lpDTCon || !g_DrawLayer.bDevice || !lpDTCon->bInScene) return;
  lpDTCon->bInScene = 0;
}

bool DDSetRenderTarget(DDSURFACEDATA* lpSD) {
  if (!lpSD || !lpSD->lpDT || !lpSD->lpDT->bRenderTarget) return false;
  if (!g_DrawLayer.bDevice || !lpSD->lpDT->lpSurface) {
    // No level-0 surface to bind (released for a reset, or never made).
    constexpr unsigned kInvalidCall = 0x8876086Cu;
    ReportPrintfLog("SetRenderTarget Err %x (%s)", kInvalidCall, lpSD->szFile.c_str());
    return false;
  }
  g_DrawLayer.lpRenderTarget = lpSD;
  return true;
}
