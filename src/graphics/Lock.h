#pragma once
// The DirectDraw surface lock. Per-pixel code goes through SurfaceLock
// (Surface.h), which works on both roads; DDLock is the DirectDraw lock
// itself, kept for the code written against it.

#include <cstdint>

#include "graphics/Surface.h"

// What a DirectDraw lock describes.
struct DDSURFACEDESC2 {
  std::uint32_t dwSize = 0;  // 124, set by DDLock
  std::int32_t dwWidth = 0;
  std::int32_t dwHeight = 0;
  std::int32_t lPitch = 0;   // bytes
  void* lpSurface = nullptr;
};

// DirectDraw: locks the whole surface; false when it cannot be locked (not
// created, or lost). For 8, 16, 24 or 32 bits per pixel *lplpBits receives
// the first pixel. Direct3D has no such lock: the call writes
// "D3DではDDLockは未対応" to the debug log, gives no pointer and returns true.
bool DDLock(DDSURFACEDATA* lpSD, DDSURFACEDESC2* lpDesc, void** lplpBits, int nBpp);
