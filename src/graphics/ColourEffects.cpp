#include "graphics/ColourEffects.h"

#include <array>

#include "core/Log.h"
#include "graphics/BlitClip.h"
#include "graphics/DrawContext.h"
#include "graphics/PixelAccess.h"
#include "graphics/TexturedQuad.h"
#include "platform/SoftwareDevice.h"

namespace {

using ByteMap = std::array<std::uint8_t, 256>;

// ---------------------------------------------------------------------------
// Shared steps

// Direct3D: the source rectangle of a copy row mirrored (on copies of the
// size, which the quad samples by; the pixel roads keep the size as passed),
// then both surfaces mapped to what is really drawn.
struct sMappedRect {
  DDSURFACEDATA* lpDst = nullptr;
  DDSURFACEDATA* lpSrc = nullptr;
  int sx = 0, sy = 0, sw = 0, sh = 0;
};

sMappedRect MapForDirect3D(DDSURFACEDATA* lpDst, DDSURFACEDATA* lpSrc, int sx, int sy, int nWidth, int nHeight) {
  sMappedRect m{lpDst, lpSrc, sx, sy, nWidth, nHeight};
  DDMirrorRect(lpSrc, m.sx, m.sy, m.sw, m.sh);
  DDPrimarySurface(m.lpDst);
  DDPrimarySurface(m.lpSrc);
  DDMapBackBuffer(m.lpDst);
  DDMapBackBuffer(m.lpSrc);
  return m;
}

// An effect quad: no clear of an opaque keyed source (the effects blend by
// the texels' alpha whatever their flags), blend values given by the effect.
DTQUAD EffectQuad(const sMappedRect& m, int x, int y, int nWidth, int nHeight, std::uint32_t diffuse,
                  std::uint32_t colorOp, std::uint32_t alphaOp) {
  DTQUAD q = DTMakeQuad(m.lpDst, x, y, nWidth, nHeight, m.lpSrc, m.sx, m.sy, m.sw, m.sh, 1);
  q.dwDiffuse = diffuse;
  q.dwColorOp = colorOp;
  q.dwAlphaOp = alphaOp;
  return q;
}

// The diffuse that lays a colour over white texels: the colour, with the
// complement of the transparency as its alpha.
std::uint32_t LaidColourDiffuse(int nAlpha, std::uint8_t bRed, std::uint8_t bGreen, std::uint8_t bBlue) {
  return (~static_cast<std::uint32_t>(nAlpha) & 0xFFu) << 24 | static_cast<std::uint32_t>(bRed) << 16 |
         static_cast<std::uint32_t>(bGreen) << 8 | bBlue;
}

std::uint32_t RgbOf(const plat::sPaletteEntry& e) {
  return static_cast<std::uint32_t>(e.red) << 16 | static_cast<std::uint32_t>(e.green) << 8 | e.blue;
}

// Visits the pixels of the rectangle whose destination and source both lie
// on their surfaces: op(destination pixel, source pixel).
template <typename P, typename Op>
void ForEachPixel(const cEffectLock& lock, int x, int y, int nWidth, int nHeight, int sx, int sy, Op op) {
  const sEffectSpan rows = EffectSpan(y, sy, nHeight, lock.DstHeight(), lock.SrcHeight());
  const sEffectSpan cols = EffectSpan(x, sx, nWidth, lock.DstWidth(), lock.SrcWidth());
  if (rows.Empty() || cols.Empty()) return;
  const int count = cols.last - cols.first;
  for (int i = rows.first; i < rows.last; ++i) {
    P* d;
    const P* s;
    if constexpr (sizeof(P) == 4) {
      d = lock.Dst().Row32(y + i) + x + cols.first;
      s = lock.Src().Row32(sy + i) + sx + cols.first;
    } else {
      d = lock.Dst().Row8(y + i) + x + cols.first;
      s = lock.Src().Row8(sy + i) + sx + cols.first;
    }
    for (int k = 0; k < count; ++k) op(d[k], s[k]);
  }
}

// ---------------------------------------------------------------------------
// Tint

// f applied `times` times (none when times <= 0), by repeated squaring, so a
// large level costs no more than a small one.
ByteMap Repeat(const ByteMap& f, int times) {
  ByteMap result;
  for (int i = 0; i < 256; ++i) result[i] = static_cast<std::uint8_t>(i);
  ByteMap power = f;
  for (unsigned n = times > 0 ? static_cast<unsigned>(times) : 0u; n != 0; n >>= 1) {
    if (n & 1u) {
      for (std::uint8_t& v : result) v = power[v];
    }
    ByteMap squared;
    for (int i = 0; i < 256; ++i) squared[i] = power[power[i]];
    power = squared;
  }
  return result;
}

struct sChannelMaps {
  ByteMap red, green, blue;
  std::uint32_t Apply(std::uint32_t p) const {
    return static_cast<std::uint32_t>(red[(p >> 16) & 0xFF]) << 16 |
           static_cast<std::uint32_t>(green[(p >> 8) & 0xFF]) << 8 | blue[p & 0xFF];
  }
};

// "Halve the distance to the tint" `level` times, one channel.
ByteMap HalvingMap(int tint, int level) {
  ByteMap once;
  for (int c = 0; c < 256; ++c) once[c] = static_cast<std::uint8_t>((c + tint) >> 1);
  return Repeat(once, level);
}

// An 8-bit palette component in a channel of `mask` (component * mask / 255).
int ToChannel(int component, int mask) { return component * mask / 255; }

// Direct3D pixels: level 1 is the plain half mix; other levels weigh the
// pixel by f / 255 (64, 32, 16, and 0 from level 5 on) in single precision.
ByteMap Direct3DTintMap(int tint, int level) {
  if (level == 1) return HalvingMap(tint, 1);
  const int f = level == 2 ? 64 : level == 3 ? 32 : level == 4 ? 16 : 0;
  const float a = static_cast<float>(f) * 0.003921569f;
  const float tintPart = (1.0f - a) * static_cast<float>(tint);
  ByteMap map;
  for (int s = 0; s < 256; ++s) {
    map[s] = static_cast<std::uint8_t>(static_cast<int>(a * static_cast<float>(s) + tintPart));
  }
  return map;
}

// The quad's texture-factor alpha per level.
std::uint32_t QuadTintFactor(int level) {
  switch (level) {
    case 1: return 128;
    case 2: return 80;
    case 3: return 48;
    case 4: return 16;
    default: return 0;
  }
}

bool TintPixels(const cEffectLock& lock, int x, int y, int nWidth, int nHeight, int sx, int sy, bool keyed,
                const plat::sPaletteEntry& tint, std::uint32_t colorIndex, int level) {
  const std::uint32_t key = g_DrawLayer.dwColorKey;
  switch (lock.Road()) {
    case ePixelRoad::Direct3D32: {
      // The tint in the pixels' channel units (at 32 bits the bytes themselves).
      const PIXELFORMATDESC layout = PixelLayout(ePixelRoad::Direct3D32, false);
      const sChannelMaps maps{Direct3DTintMap(ToChannel(tint.red, layout.RMask), level),
                              Direct3DTintMap(ToChannel(tint.green, layout.GMask), level),
                              Direct3DTintMap(ToChannel(tint.blue, layout.BMask), level)};
      ForEachPixel<std::uint32_t>(lock, x, y, nWidth, nHeight, sx, sy, [&](std::uint32_t& d, std::uint32_t s) {
        if (keyed && IsTransparentPixel(ePixelRoad::Direct3D32, s, 0)) return;
        d = ComposeDirect3D32(maps.Apply(s));
      });
      return true;
    }
    case ePixelRoad::DirectDraw32: {
      const sChannelMaps maps{HalvingMap(tint.red, level), HalvingMap(tint.green, level),
                              HalvingMap(tint.blue, level)};
      ForEachPixel<std::uint32_t>(lock, x, y, nWidth, nHeight, sx, sy, [&](std::uint32_t& d, std::uint32_t s) {
        if (keyed && IsTransparentPixel(ePixelRoad::DirectDraw32, s, key)) return;
        d = ComposeDirectDraw32(d, maps.Apply(s));
      });
      return true;
    }
    case ePixelRoad::DirectDraw8: {
      ByteMap once;
      for (int m = 0; m < 256; ++m) once[m] = BlendIndex(g_BlendTable, static_cast<std::uint32_t>(m), colorIndex);
      const ByteMap map = Repeat(once, level);
      ForEachPixel<std::uint8_t>(lock, x, y, nWidth, nHeight, sx, sy, [&](std::uint8_t& d, std::uint8_t s) {
        if (keyed && IsTransparentPixel(ePixelRoad::DirectDraw8, s, key)) return;
        d = map[s];
      });
      return true;
    }
    default:
      return true;  // no surface holds 16-bit pixels
  }
}

// ---------------------------------------------------------------------------
// Alpha blit

// The half mix of the three colour bytes, each (s + d) >> 1.
constexpr std::uint32_t HalfMix(std::uint32_t s, std::uint32_t d) {
  return ((s & 0xFEFEFEu) >> 1) + ((d & 0xFEFEFEu) >> 1) + (s & d & 0x010101u);
}

bool HalfMixPixels(const cEffectLock& lock, int x, int y, int nWidth, int nHeight, int sx, int sy, bool keyed,
                   const DDBLENDTABLE& blendTable) {
  const std::uint32_t key = g_DrawLayer.dwColorKey;
  switch (lock.Road()) {
    case ePixelRoad::Direct3D32:
      ForEachPixel<std::uint32_t>(lock, x, y, nWidth, nHeight, sx, sy, [&](std::uint32_t& d, std::uint32_t s) {
        if (keyed && IsTransparentPixel(ePixelRoad::Direct3D32, s, 0)) return;
        d = ComposeDirect3D32(HalfMix(s, d));
      });
      return true;
    case ePixelRoad::DirectDraw32:
      // A destination pixel of the key colour takes the source unmixed.
      ForEachPixel<std::uint32_t>(lock, x, y, nWidth, nHeight, sx, sy, [&](std::uint32_t& d, std::uint32_t s) {
        if (keyed && IsTransparentPixel(ePixelRoad::DirectDraw32, s, key)) return;
        d = ComposeDirectDraw32(d, d == key ? s : HalfMix(s, d));
      });
      return true;
    case ePixelRoad::DirectDraw8:
      // Index 0 stands for "nothing" here, not the key: a source 0 is skipped
      // when keyed, a destination 0 takes the source unmixed.
      ForEachPixel<std::uint8_t>(lock, x, y, nWidth, nHeight, sx, sy, [&](std::uint8_t& d, std::uint8_t s) {
        if (keyed && s == 0) return;
        d = d == 0 ? s : BlendIndex(blendTable, d, s);
      });
      return true;
    default:
      return true;  // no surface holds 16-bit pixels
  }
}

}  // namespace

bool DDTint(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, DDSURFACEDATA* lpSrc, int sx, int sy,
            std::uint32_t dwFlags, const DDPALETTE& palette, const DDBLENDTABLE& /*blendTable*/,
            std::uint32_t colorIndex, int level) {
  const plat::sPaletteEntry& tint = palette[colorIndex & 0xFFu];
  const bool keyed = (dwFlags & 1) != 0;
  if (lpDTCon) {
    if (level <= 0) return true;
    if (lpDst == nullptr || lpSrc == nullptr) return false;
    const sMappedRect m = MapForDirect3D(lpDst, lpSrc, sx, sy, nWidth, nHeight);
    if (TakesQuadRoad(m.lpDst, m.lpSrc)) {
      DTQUAD q = EffectQuad(m, x, y, nWidth, nHeight, 0xFFFFFFFFu, plat::TextureOp::BlendFactorAlpha,
                            plat::TextureOp::SelectArg1);
      q.bColorArgFactor = 1;
      q.dwTextureFactor = QuadTintFactor(level) << 24 | RgbOf(tint);
      DTDrawQuadNow(q);
      return true;
    }
    const cEffectLock lock(m.lpDst, m.lpSrc);
    if (!lock.IsLocked()) return false;
    return TintPixels(lock, x, y, nWidth, nHeight, m.sx, m.sy, keyed, tint, colorIndex & 0xFFu, level);
  }
  if (level == 0) return true;
  const cEffectLock lock(lpDst, lpSrc);
  if (!lock.IsLocked()) return false;
  return TintPixels(lock, x, y, nWidth, nHeight, sx, sy, keyed, tint, colorIndex & 0xFFu, level);
}

bool DDAlphaBlt(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, DDSURFACEDATA* lpSrc, int sx, int sy,
                std::uint32_t dwFlags, const DDBLENDTABLE& blendTable, std::uint32_t nAlpha) {
  const bool keyed = (dwFlags & 1) != 0;
  if (lpDTCon) {
    if (lpDst == nullptr || lpSrc == nullptr) return false;
    const sMappedRect m = MapForDirect3D(lpDst, lpSrc, sx, sy, nWidth, nHeight);
    if (TakesQuadRoad(m.lpDst, m.lpSrc)) {
      const std::uint32_t diffuse = (~nAlpha & 0xFFu) << 24 | 0x00FFFFFFu;
      DTDrawQuadNow(EffectQuad(m, x, y, nWidth, nHeight, diffuse, plat::TextureOp::Modulate,
                               plat::TextureOp::Modulate));
      return true;
    }
    const cEffectLock lock(m.lpDst, m.lpSrc);
    if (!lock.IsLocked()) return false;
    return HalfMixPixels(lock, x, y, nWidth, nHeight, m.sx, m.sy, keyed, blendTable);
  }
  const cEffectLock lock(lpDst, lpSrc);
  if (!lock.IsLocked()) return false;
  return HalfMixPixels(lock, x, y, nWidth, nHeight, sx, sy, keyed, blendTable);
}

bool DDTranslucent(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, DDSURFACEDATA* lpSrc, int sx, int sy,
                   std::uint32_t dwFlags, const DDBLENDTABLE& blendTable) {
  return DDAlphaBlt(lpDst, x, y, nWidth, nHeight, lpSrc, sx, sy, dwFlags, blendTable, 128);
}

int DDChangeColor(DDSURFACEDATA* lpDstSD, int /*x*/, int /*y*/, int /*nWidth*/, int /*nHeight*/, int nAlpha,
                  std::uint8_t bRed, std::uint8_t bGreen, std::uint8_t bBlue) {
  if (!lpDTCon) {
    LogPrintf("DDrawでは DDChangeColor(DDSURFACEDATA *lpDstSD,int x,int y,int nWidth,int nHeight,int nAlpha,BYTE "
              "bRed,BYTE bGreen,BYTE bBlue) は未対応");
    return 1;
  }
  if (lpDstSD == nullptr) return 1;
  // The destination is its own texture; BackBuffer has none and reads white,
  // so there the colour itself is laid over the screen.
  const sMappedRect whole{lpDstSD, lpDstSD, 0, 0, lpDstSD->nWidth, lpDstSD->nHeight};
  const std::uint32_t diffuse = LaidColourDiffuse(nAlpha, bRed, bGreen, bBlue);
  DTDrawQuadNow(EffectQuad(whole, 0, 0, lpDstSD->nWidth, lpDstSD->nHeight, diffuse, plat::TextureOp::Modulate,
                           plat::TextureOp::Modulate));
  return 1;
}

void DDLayColor(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, int nAlpha, std::uint8_t bRed,
                std::uint8_t bGreen, std::uint8_t bBlue) {
  if (!lpDTCon || lpDst == nullptr) return;
  DDPrimarySurface(lpDst);
  DDMapBackBuffer(lpDst);
  // BackBuffer as the source binds no texture: the stage reads opaque white
  // texels, which the diffuse modulates into the colour at its alpha.
  const sMappedRect m{lpDst, &BackBuffer, 0, 0, nWidth, nHeight};
  const std::uint32_t diffuse = LaidColourDiffuse(nAlpha, bRed, bGreen, bBlue);
  DTDrawQuadNow(EffectQuad(m, x, y, nWidth, nHeight, diffuse, plat::TextureOp::Modulate, plat::TextureOp::Modulate));
}
