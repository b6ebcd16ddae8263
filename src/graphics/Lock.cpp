#include "graphics/Lock.h"

#include "core/Log.h"
#include "graphics/DrawContext.h"

bool DDLock(DDSURFACEDATA* lpSD, DDSURFACEDESC2* lpDesc, void** lplpBits, int nBpp) {
  if (lpDTCon != nullptr) {
    LogPrintf("D3DではDDLockは未対応");
    return true;
  }
  if (lpSD == nullptr || lpDesc == nullptr) return false;
  lpDesc->dwSize = 124;
  if (lpSD->lpDD == nullptr || lpSD->lpDD->lpSurface == nullptr || lpSD->lpDD->bSurfaceLost) return false;
  const plat::sPixelLock lock = lpSD->lpDD->lpSurface->Lock();
  if (lock.bits == nullptr) return false;
  lpDesc->dwWidth = lock.width;
  lpDesc->dwHeight = lock.height;
  lpDesc->lPitch = lock.pitch * lock.BytesPerPixel();
  lpDesc->lpSurface = lock.bits;
  if (lplpBits != nullptr && (nBpp == 8 || nBpp == 16 || nBpp == 24 || nBpp == 32)) *lplpBits = lock.bits;
  return true;
}
