#include "graphics/Present.h"

#include "core/FrameTimer.h"
#include "core/Log.h"
#include "graphics/BitmapLoad.h"
#include "graphics/Blit.h"
#include "graphics/DigitSurface.h"
#include "graphics/DrawContext.h"
#include "graphics/Font.h"
#include "graphics/Palette.h"
#include "graphics/Scene.h"
#include "platform/Clock.h"
#include "platform/MessageCore.h"
#include "platform/Presenter.h"
#include "platform/SoftwareDevice.h"

namespace {

// What the display shows at 8 bits: the DirectDraw palette.
const plat::DisplayPalette* DisplayPaletteFor(const plat::cPixelSurface& frame) {
  return frame.Depth() == plat::ePixelDepth::Indexed8 ? &g_DrawLayer.ddPalette : nullptr;
}

bool PresentPrimary() {
  plat::cPixelSurface* primary = Primary.lpDD ? Primary.lpDD->lpSurface.get() : nullptr;
  if (!primary) return false;
  return DDGetPresenter()->Present(*primary, DisplayPaletteFor(*primary));
}

bool SurfaceUsable(const DDSURFACEDATA& sd) { return sd.lpDD && sd.lpDD->lpSurface && !sd.lpDD->bSurfaceLost; }

void RestoreDirectDrawRecord(DDDATA& dd) { dd.bSurfaceLost = 0; }

// A restored fixed row in video memory gets its contents back: a bitmap is
// copied again, an empty surface is left to its owner.
void RestoreFixedRow(DDSURFACEDATA& sd) {
  if (!sd.lpDD || !sd.lpDD->bSurfaceLost) return;
  RestoreDirectDrawRecord(*sd.lpDD);
  if (sd.dwDDMemory != 0) return;
  if (!IsEmptySurfaceFile(sd.szFile)) {
    DDReloadBitmap(&sd, g_DrawLayer.nBpp);
  } else {
    sd.bLost = 1;
  }
}

// Direct3D: a surface made again after a reset, from its file or empty.
void RecreateAfterReset(DDSURFACEDATA& sd) {
  if (!sd.lpDT) return;
  const DTDATA& dt = *sd.lpDT;
  const std::uint32_t copy = sd.lpPrimary ? 1 : 0;
  if (!IsEmptySurfaceFile(sd.szFile)) {
    const int result = DDCreateSurfaceFromFile(&sd, sd.szFile, static_cast<int>(dt.bColorKey), g_DrawLayer.nBpp,
                                               sd.dwDDMemory, dt.dtMemoryType, copy, dt.palIndexMap.empty() ? 0 : 1,
                                               sd.nMirrorW, sd.nMirrorH, 1);
    if (result != 0) LogPrintf("Err");
    return;
  }
  if (!DDCreateSurface(&sd, sd.nWidth, sd.nHeight, static_cast<int>(dt.bColorKey), sd.dwDDMemory, dt.dtMemoryType,
                       copy, 1)) {
    LogPrintf("Err");
  }
  sd.bLost = 1;
}

// The refresh rate of the display the frames go to: a full screen runs at
// the rate the layer set for it (Direct3D's present parameters, DirectDraw's
// display mode when its second vertical-sync flag asked for the wanted rate);
// a window shows at the rate the display runs at.
int ShownRefreshRate() {
  if (g_DrawLayer.bWindowMode == 0) {
    if (lpDTCon && lpDTCon->d3dpp.FullScreen_RefreshRateInHz > 0) {
      return static_cast<int>(lpDTCon->d3dpp.FullScreen_RefreshRateInHz);
    }
    if (!lpDTCon && g_DrawLayer.bVSync2 && g_DrawLayer.nRefreshRate > 0) return g_DrawLayer.nRefreshRate;
  }
  return g_DrawLayer.nDisplayRefreshRate;
}

// Waits for the display's next vertical blank, as a synchronised present, a
// flip or an explicit wait for the blank does. The software device has no
// display of its own, so the blanks are the ticks of the refresh rate on the
// millisecond clock: blank k falls at ceil(k * 1000 / hz) ms. Without this
// wait a frame that presents in step with the display would not be paced at
// all and the game would run as fast as the processor allows.
void WaitForVerticalBlank(int hz) {
  if (hz <= 0) return;
  const std::uint64_t now = plat::TimeGetTime();
  const std::uint64_t nextBlank = now * static_cast<std::uint64_t>(hz) / 1000 + 1;
  const auto due = static_cast<std::uint32_t>((nextBlank * 1000 + static_cast<std::uint64_t>(hz) - 1) / hz);
  while (plat::IsBefore(plat::TimeGetTime(), due)) plat::Sleep(1);
}

}  // namespace

int DDEndFrame(int fps, int a, int b) {
  if (!lpDTCon) return 1;
  // With nothing to wait for between them, the flush of the virtual back
  // buffer and the present read the frame once. A lost device presents nothing.
  bool presented = false;
  if (lpDTCon->bVirtualBackBuffer) {
    if (g_DrawLayer.bVSync && !g_DrawLayer.bDeviceLost) {
      presented = DDFlushAndPresentVirtualBackBuffer(*DDGetPresenter());
    } else {
      DDFlushVirtualBackBuffer(&BackBuffer, &VirBackBuffer);
    }
  }
  if (!g_DrawLayer.bVSync) {
    while (!D3DFramePacing(fps, a, b)) plat::Sleep(1);
  }
  DDEndScene();
  if (g_DrawLayer.bDeviceLost) {
    if (g_DrawLayer.bWindowMode == 0) g_DrawLayer.bWindowMinimized = true;
    return 0;
  }
  if (!presented) DDGetPresenter()->Present(g_DrawLayer.d3dBackBuffer);
  // A synchronised presentation interval returns at the display's blank.
  if (lpDTCon->d3dpp.PresentationInterval == D3DPRESENT_INTERVAL_DEFAULT) WaitForVerticalBlank(ShownRefreshRate());
  return 1;
}

bool DDPresentWindow(int waitVerticalBlank) {
  if (!SurfaceUsable(Primary) || !SurfaceUsable(BackBuffer)) return true;
  if (waitVerticalBlank) WaitForVerticalBlank(ShownRefreshRate());
  // The primary is the window's own client area, not the whole screen:
  // rcClient tells where that area lies on the screen and how large it is
  // shown there, which is the window's and the presenter's business. The
  // frame therefore covers the primary from its origin, wherever the window
  // was moved and however large it is.
  plat::cPixelSurface& primary = *Primary.lpDD->lpSurface;
  const plat::cPixelSurface& back = *BackBuffer.lpDD->lpSurface;
  plat::sCopyRect rect;
  rect.width = primary.Width();
  rect.height = primary.Height();
  rect.sw = back.Width();
  rect.sh = back.Height();
  plat::CopyRect(primary, back, rect);
  PresentPrimary();
  return true;
}

bool DDPresentFullScreen(int blitInsteadOfFlip) {
  if (!SurfaceUsable(Primary) || !SurfaceUsable(BackBuffer)) return true;
  if (blitInsteadOfFlip) {
    // The screen's own 640 x 480, whatever the surfaces' size: a larger back
    // buffer shows its top-left part.
    DDBlt(&Primary, 0, 0, 640, 480, &BackBuffer, 0, 0, 0);
  } else {
    // A flip takes place at the display's vertical blank.
    WaitForVerticalBlank(ShownRefreshRate());
    std::swap(Primary.lpDD->lpSurface, BackBuffer.lpDD->lpSurface);
  }
  PresentPrimary();
  return true;
}

bool DDIsPrimaryLost() { return Primary.lpDD && Primary.lpDD->bSurfaceLost; }

bool DDRestore() {
  if (lpDTCon) {
    LogPrintf("D3DではDDRestoreは未対応");
    return true;
  }
  if (!DDIsPrimaryLost()) return true;
  RestoreDirectDrawRecord(*Primary.lpDD);
  if (BackBuffer.lpDD && BackBuffer.lpDD->bSurfaceLost) RestoreDirectDrawRecord(*BackBuffer.lpDD);
  for (int i = 0; i < g_DrawLayer.nSurfaceRows; ++i) RestoreFixedRow(g_DrawLayer.lpSurfaceArray[i]);
  if (g_DrawLayer.nBpp == 8) DDSetPaletteEntries(0, 256, g_PaletteWork.data());
  RestoreFonts();
  return true;
}

bool RestoreOneSurface(DDSURFACEDATA* lpSD) {
  if (!lpSD || !lpSD->lpDD || !lpSD->lpDD->lpSurface || !lpSD->lpDD->bSurfaceLost) return true;
  RestoreDirectDrawRecord(*lpSD->lpDD);
  if (lpSD->dwDDMemory != 0) return true;
  lpSD->bLost = 1;
  return DDReloadBitmap(lpSD, g_DrawLayer.nBpp) != 0;
}

bool RestoreSurface(DDSurfaceVector& surfaces) {
  for (int i = 0; i < static_cast<int>(surfaces.size()); ++i) {
    if (!RestoreOneSurface(&surfaces[i])) return false;
  }
  return true;
}

bool RestoreSurface(DDSurfaceList& surfaces) {
  for (DDSURFACEDATA& sd : surfaces) {
    if (!RestoreOneSurface(&sd)) return false;
  }
  return true;
}

int DDRestoreSurface() {
  if (!lpDTCon) {
    LogPrintf("DDではDDRestoreSurfaceは未対応");
    return 1;
  }
  LogPrintf("Restore In");
  for (DDSURFACEDATA* sd : g_TextureList) {
    if (!sd->lpDT || sd->lpDT->dtMemoryType == DTMEMORYTYPE_SYSTEM) continue;
    sd->lpDT->lpTexture.reset();
    sd->lpDT->lpSurface = nullptr;
  }
  // The fonts hold no device objects of their own: their surfaces are in the
  // texture list.
  if (BackBuffer.lpDT) BackBuffer.lpDT->lpSurface = nullptr;
  if (g_DrawLayer.lpRenderTarget && !g_DrawLayer.lpRenderTarget->HasSurface()) g_DrawLayer.lpRenderTarget = nullptr;

  // A device that was never lost can be reset as well; only a lost one that
  // is not ready yet refuses.
  if (g_DrawLayer.bDeviceLost && !g_DrawLayer.bDeviceReadyToReset) {
    LogPrintf("復旧失敗…リセット可能な状態ではありません…");
    return 0;
  }
  if (!g_DrawLayer.d3dBackBuffer.Create(g_DrawLayer.nWidth, g_DrawLayer.nHeight, plat::ePixelDepth::Argb32)) return 0;
  g_DrawLayer.bDeviceLost = false;
  g_DrawLayer.bDeviceReadyToReset = false;

  DDSetRenderStates();
  if (BackBuffer.lpDT) BackBuffer.lpDT->lpSurface = &g_DrawLayer.d3dBackBuffer;

  // Restoring adds no entries, so the list can be walked as it is.
  for (std::size_t i = 0; i < g_TextureList.size(); ++i) RecreateAfterReset(*g_TextureList[i]);

  // The fonts' caches and digit strips came back empty: drawn again.
  RestoreFonts();
  RestoreDigitSurfaces(g_DigitSD.data(), kFontCount);
  if (g_DrawLayer.bWindowMode == 0) g_DrawLayer.bWindowMinimized = false;
  LogPrintf("Restore Out");
  return 1;
}

void DDSimulateDeviceLoss(bool readyToReset) {
  if (lpDTCon) {
    g_DrawLayer.bDeviceLost = true;
    g_DrawLayer.bDeviceReadyToReset = readyToReset;
    return;
  }
  // Video memory loses its contents; system memory keeps them.
  for (DDDATA* dd : DDLiveDirectDrawRecords()) {
    if (dd->bSystemMemory || !dd->lpSurface) continue;
    dd->bSurfaceLost = 1;
    plat::FillRect(*dd->lpSurface, 0, 0, dd->lpSurface->Width(), dd->lpSurface->Height(), 0xCDCDCDCDu);
  }
}
