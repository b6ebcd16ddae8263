#pragma once
// What the per-pixel effects (tint, translucency, blur, mosaic, lens,
// rotation) share: how a pixel is laid out on each road and depth, which
// source pixels count as transparent, how a colour is written back, the
// eight-bit scale, and the lock of an effect's two surfaces.
//
// Pixel layouts, by road and display depth:
//   DirectDraw  8   one byte: an index into the game palette
//   DirectDraw 16   one word in the display's own format (g_PixelFormat, read
//                   from the primary by DDGetPixelShifts; no alpha bit)
//   DirectDraw 32   bytes blue, green, red and a fourth byte the effects keep
//   Direct3D   16   textures and the window back buffer A1R5G5B5, the
//                   full-screen back buffer R5G6B5 (g_BackBufferFormat)
//   Direct3D   32   bytes blue, green, red, alpha (A8R8G8B8)
// The software device draws a 16-bit request at 32 bits, so locked surfaces
// hold 8 or 32 bits; the 16-bit rules below are exact functions of their
// format for whoever must produce or read 16-bit values.
//
// Addressing: pixel (x, y) of a lock is row y, column x. Effects write only
// inside the destination's requested size (the size callers see, not the
// texture's), and they read only inside the source's: a rectangle that runs
// off either surface loses the part that does, nothing more.

#include <cstdint>

#include "graphics/PixelFormat.h"
#include "graphics/Surface.h"
#include "platform/PixelSurface.h"

enum class ePixelRoad : std::uint8_t { DirectDraw8, DirectDraw16, DirectDraw32, Direct3D16, Direct3D32 };

// The road per-pixel code takes for a surface locked at `bitsPerPixel` on the
// running back end.
ePixelRoad PixelRoadFor(int bitsPerPixel);

// The channel layout of a road's pixels (shifts and masks); the full-screen
// back buffer has its own at Direct3D 16 bits. DirectDraw 8 has none (all 0).
PIXELFORMATDESC PixelLayout(ePixelRoad road, bool fullScreenBackBuffer);

// Whether a source pixel counts as transparent (skipped when an effect is
// asked to key its source):
//   DirectDraw            the pixel equals the colour-key pixel value
//   Direct3D 16           bits 15 and 13 are both clear (0xA000, not 0x8000)
//   Direct3D 32           the alpha byte is 0
constexpr bool IsTransparentPixel(ePixelRoad road, std::uint32_t pixel, std::uint32_t colorKey) {
  switch (road) {
    case ePixelRoad::DirectDraw8: return (pixel & 0xFFu) == colorKey;
    case ePixelRoad::DirectDraw16: return (pixel & 0xFFFFu) == colorKey;
    case ePixelRoad::DirectDraw32: return pixel == colorKey;
    case ePixelRoad::Direct3D16: return (pixel & 0xA000u) == 0;
    case ePixelRoad::Direct3D32: return (pixel >> 24) == 0;
  }
  return false;
}

// Writing a colour. Channels are in the units of the layout (0..31 for a
// five-bit channel, 0..255 at 32 bits).
//   The Direct3D 16-bit full-screen back buffer: green (a texture's five
//   bits) is doubled into its six-bit field; nothing is masked, no alpha.
std::uint16_t ComposeBackBuffer16(const PIXELFORMATDESC& backBuffer, std::uint32_t red, std::uint32_t green,
                                  std::uint32_t blue);
//   Any other Direct3D 16-bit surface: masked channels and the alpha bit, so
//   a pixel an effect writes is opaque.
std::uint16_t ComposeTexture16(const PIXELFORMATDESC& texture, std::uint32_t red, std::uint32_t green,
                               std::uint32_t blue);
//   DirectDraw 16 bits: masked channels, no alpha (PackFields).
//   32 bits: the three colour bytes; Direct3D sets the alpha byte to 255,
//   DirectDraw keeps the fourth byte the destination pixel had.
constexpr std::uint32_t ComposeDirect3D32(std::uint32_t rgb) { return 0xFF000000u | (rgb & 0x00FFFFFFu); }
constexpr std::uint32_t ComposeDirectDraw32(std::uint32_t old, std::uint32_t rgb) {
  return (old & 0xFF000000u) | (rgb & 0x00FFFFFFu);
}

// The eight-bit scale of DirectDraw 16 bits, where effects mix colours: a
// channel goes to c * 255 / mask and back by c8 * mask / 255, both cutting
// toward zero. A channel without bits (mask 0) is 0 either way.
constexpr int ToEightBitScale(int channel, int mask) { return mask > 0 ? channel * 255 / mask : 0; }
constexpr int FromEightBitScale(int channel8, int mask) { return channel8 * mask / 255; }

// The shifts and masks of red, green and blue from a pixel format's bit
// masks: a shift is the count of zero bits below the mask's lowest set bit
// (at most bitCount), the mask the bit mask shifted down by it. The alpha
// fields of `desc` are left as they were.
void PixelShiftsFromMasks(PIXELFORMATDESC& desc, int bitCount, std::uint32_t redMask, std::uint32_t greenMask,
                          std::uint32_t blueMask);

// DirectDraw: the primary surface's pixel format into `desc`
// (PixelShiftsFromMasks). With a Direct3D context, or without a primary,
// nothing changes.
void DDGetPixelShifts(PIXELFORMATDESC& desc);

// A palette entry as a DirectDraw 16-bit pixel: its components, already in
// the channels' widths at that depth, masked and placed with g_PixelFormat.
// Under Direct3D: "DDPalToRGB16はDirect3Dでは未対応" to the debug log, and 0.
std::uint16_t DDPalToRGB16(const plat::sPaletteEntry& entry);

// True exactly for BackBuffer while the display is full screen.
bool DDIsFullScreenBackBuffer(const DDSURFACEDATA* lpSD);

// Offsets [first, last) of one axis of an effect rectangle whose destination
// position (dstPos + i) and source position (srcPos + i) both lie on their
// surfaces (limits dstLimit and srcLimit).
struct sEffectSpan {
  int first = 0;
  int last = 0;
  bool Empty() const { return first >= last; }
};
sEffectSpan EffectSpan(int dstPos, int srcPos, int size, int dstLimit, int srcLimit);
// The same for one surface only.
sEffectSpan SurfaceSpan(int pos, int size, int limit);

// The two surfaces of an effect, locked through SurfaceLock (which maps a
// Direct3D copy row to its primary and BackBuffer to VirBackBuffer while the
// virtual back buffer is on): the destination first, then the source;
// leaving, the source is released first, then the destination. Both must
// hold the same depth. A source that is the destination's very pixels is
// read from a copy taken at the lock, so an effect never reads what it wrote.
class cEffectLock {
 public:
  cEffectLock(DDSURFACEDATA* lpDst, DDSURFACEDATA* lpSrc);
  cEffectLock(const cEffectLock&) = delete;
  cEffectLock& operator=(const cEffectLock&) = delete;

  // False when either surface could not be locked (nothing may be drawn).
  bool IsLocked() const { return m_bLocked; }
  ePixelRoad Road() const { return m_Road; }

  // The size writes (reads) are bounded by: the requested size, cut to the
  // pixels that exist.
  int DstWidth() const { return m_DstW; }
  int DstHeight() const { return m_DstH; }
  int SrcWidth() const { return m_SrcW; }
  int SrcHeight() const { return m_SrcH; }

  const plat::sPixelLock& Dst() const { return m_DstLock.m_Lock; }
  const plat::sPixelLock& Src() const { return m_SrcPixels; }
  // The surface actually locked as destination (after the mappings).
  const DDSURFACEDATA* DstSurface() const { return m_DstLock.m_lpSD; }

 private:
  SurfaceLock m_DstLock;
  SurfaceLock m_SrcLock;
  plat::cPixelSurface m_SourceCopy;
  plat::sPixelLock m_SrcPixels;
  bool m_bLocked = false;
  ePixelRoad m_Road = ePixelRoad::Direct3D32;
  int m_DstW = 0, m_DstH = 0, m_SrcW = 0, m_SrcH = 0;
};
