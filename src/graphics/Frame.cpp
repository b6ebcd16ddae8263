#include "graphics/Frame.h"

#include "graphics/Blit.h"
#include "graphics/FillBatch.h"
#include "graphics/SurfaceFill.h"

void DDFrameRect(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, int thickness, std::uint32_t dwPalNum) {
  DDBeginFillBatch();
  DDFillRectPal(lpDst, x, y, nWidth, thickness, dwPalNum);
  DDFillRectPal(lpDst, x, y + nHeight - thickness, nWidth, thickness, dwPalNum);
  DDFillRectPal(lpDst, x, y, thickness, nHeight, dwPalNum);
  DDFillRectPal(lpDst, x + nWidth - thickness, y, thickness, nHeight, dwPalNum);
  DDFlushFillBatch();
}

void DDDrawBox(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, DDSURFACEDATA* lpPattern, int thickness,
               std::uint32_t dwFrameColor) {
  DDBlt(lpDst, x, y, nWidth, nHeight, lpPattern, 0, 0, 0);
  DDFrameRect(lpDst, x - thickness, y - thickness, nWidth + 2 * thickness, nHeight + 2 * thickness, thickness,
              dwFrameColor);
}
