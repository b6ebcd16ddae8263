#include "graphics/PixelAccess.h"

#include <algorithm>

#include "core/Log.h"
#include "graphics/DrawContext.h"

ePixelRoad PixelRoadFor(int bitsPerPixel) {
  if (lpDTCon) return bitsPerPixel == 16 ? ePixelRoad::Direct3D16 : ePixelRoad::Direct3D32;
  if (bitsPerPixel == 8) return ePixelRoad::DirectDraw8;
  return bitsPerPixel == 16 ? ePixelRoad::DirectDraw16 : ePixelRoad::DirectDraw32;
}

PIXELFORMATDESC PixelLayout(ePixelRoad road, bool fullScreenBackBuffer) {
  switch (road) {
    case ePixelRoad::DirectDraw8: return {};
    case ePixelRoad::DirectDraw16: return g_PixelFormat;
    case ePixelRoad::DirectDraw32: return kFormatX8R8G8B8;
    case ePixelRoad::Direct3D16: return fullScreenBackBuffer ? kFormatR5G6B5 : kFormatA1R5G5B5;
    case ePixelRoad::Direct3D32: return kFormatA8R8G8B8;
  }
  return {};
}

std::uint16_t ComposeBackBuffer16(const PIXELFORMATDESC& backBuffer, std::uint32_t red, std::uint32_t green,
                                  std::uint32_t blue) {
  return static_cast<std::uint16_t>(red << backBuffer.RShift | (green * 2) << backBuffer.GShift |
                                    blue << backBuffer.BShift);
}

std::uint16_t ComposeTexture16(const PIXELFORMATDESC& texture, std::uint32_t red, std::uint32_t green,
                               std::uint32_t blue) {
  const std::uint32_t alpha = (static_cast<std::uint32_t>(texture.AMask) & 1u) << texture.AShift;
  return static_cast<std::uint16_t>(PackFields(texture, red, green, blue) | alpha);
}

void PixelShiftsFromMasks(PIXELFORMATDESC& desc, int bitCount, std::uint32_t redMask, std::uint32_t greenMask,
                          std::uint32_t blueMask) {
  const auto split = [bitCount](std::uint32_t mask, std::int32_t& shift, std::int32_t& value) {
    int zeros = 0;
    while (zeros < bitCount && zeros < 32 && (mask & (1u << zeros)) == 0) ++zeros;
    shift = zeros;
    value = zeros >= 32 ? 0 : static_cast<std::int32_t>(mask >> zeros);
  };
  split(redMask, desc.RShift, desc.RMask);
  split(greenMask, desc.GShift, desc.GMask);
  split(blueMask, desc.BShift, desc.BMask);
}

void DDGetPixelShifts(PIXELFORMATDESC& desc) {
  if (lpDTCon) return;
  const plat::cPixelSurface* primary = Primary.lpDD ? Primary.lpDD->lpSurface.get() : nullptr;
  if (primary == nullptr || primary->Empty()) return;
  // The software primary is X8R8G8B8, or palette indices without colour masks.
  if (primary->Depth() == plat::ePixelDepth::Indexed8) {
    PixelShiftsFromMasks(desc, 8, 0, 0, 0);
  } else {
    PixelShiftsFromMasks(desc, 32, 0x00FF0000u, 0x0000FF00u, 0x000000FFu);
  }
}

std::uint16_t DDPalToRGB16(const plat::sPaletteEntry& entry) {
  if (lpDTCon) {
    LogPrintf("DDPalToRGB16はDirect3Dでは未対応");
    return 0;
  }
  return static_cast<std::uint16_t>(PackFields(g_PixelFormat, entry.red, entry.green, entry.blue));
}

bool DDIsFullScreenBackBuffer(const DDSURFACEDATA* lpSD) {
  return lpSD == &BackBuffer && g_DrawLayer.bWindowMode == 0;
}

sEffectSpan EffectSpan(int dstPos, int srcPos, int size, int dstLimit, int srcLimit) {
  // In 64 bits: positions and sizes come from game data and may be extreme.
  const std::int64_t first = std::max({std::int64_t{0}, -std::int64_t{dstPos}, -std::int64_t{srcPos}});
  const std::int64_t last = std::min({std::int64_t{size}, std::int64_t{dstLimit} - dstPos,
                                      std::int64_t{srcLimit} - srcPos});
  if (last <= first) return {};
  return {static_cast<int>(first), static_cast<int>(last)};
}

sEffectSpan SurfaceSpan(int pos, int size, int limit) {
  const std::int64_t first = std::max(std::int64_t{0}, -std::int64_t{pos});
  const std::int64_t last = std::min(std::int64_t{size}, std::int64_t{limit} - pos);
  if (last <= first) return {};
  return {static_cast<int>(first), static_cast<int>(last)};
}

namespace {

// The size an effect may touch: the requested size, cut to the pixels.
void BoundsOf(const SurfaceLock& lock, int& width, int& height) {
  width = std::min(lock.m_lpSD->nWidth, lock.m_Lock.width);
  height = std::min(lock.m_lpSD->nHeight, lock.m_Lock.height);
  width = std::max(width, 0);
  height = std::max(height, 0);
}

}  // namespace

cEffectLock::cEffectLock(DDSURFACEDATA* lpDst, DDSURFACEDATA* lpSrc) : m_DstLock(lpDst), m_SrcLock(lpSrc) {
  if (!m_DstLock.IsLocked() || !m_SrcLock.IsLocked()) return;
  if (m_DstLock.m_nBpp != m_SrcLock.m_nBpp) return;
  m_Road = PixelRoadFor(m_DstLock.m_nBpp);
  BoundsOf(m_DstLock, m_DstW, m_DstH);
  BoundsOf(m_SrcLock, m_SrcW, m_SrcH);
  m_SrcPixels = m_SrcLock.m_Lock;
  if (m_SrcPixels.bits == m_DstLock.m_Lock.bits) {
    m_SourceCopy = m_SrcLock.m_lpSD->Pixels()->Clone();
    m_SrcPixels = m_SourceCopy.Lock();
  }
  m_bLocked = true;
}
