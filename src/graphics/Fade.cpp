#include "graphics/Fade.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/Log.h"
#include "core/Numeric.h"
#include "graphics/Blit.h"
#include "graphics/DrawContext.h"
#include "graphics/FillBatch.h"
#include "graphics/Lock.h"
#include "graphics/Scene.h"

namespace {

// The angles at which a fade shows the picture as it is, and only the colour:
// a fade-out runs from the first to the second, a fade-in back.
constexpr double kWholePicture = 90.0;
constexpr double kWholeColour = 0.0;

struct sFadeAngles {
  double out = kWholePicture;
  double in = kWholeColour;
};
sFadeAngles g_Direct3DFade;
sFadeAngles g_DirectDrawFade;

sFadeAngles& Angles() { return lpDTCon ? g_Direct3DFade : g_DirectDrawFade; }

double SineOfDegrees(double angle) { return std::sin(angle * std::numbers::pi / 180.0); }

std::uint8_t BlendComponent(int colour, int level, int source) {
  return static_cast<std::uint8_t>((colour * (256 - level) + level * source) >> 8);
}

int ClampComponent(int value) { return std::clamp(value, 0, 255); }

// The black quad of the Direct3D fades over the whole of BackBuffer; false
// when the scene or the render target cannot be set.
bool DrawFadeQuad(double angle) {
  const int level = TruncToI32(SineOfDegrees(angle) * 255.0);
  DDSURFACEDATA* target = &BackBuffer;
  DDMapBackBuffer(target);
  if (!DDBeginScene() || !DDSetRenderTarget(target)) return false;
  if (plat::cPixelSurface* pixels = target->Pixels()) {
    const std::uint32_t alpha = static_cast<std::uint32_t>(255 - std::clamp(level, 0, 255));
    DTDrawFillQuad(*pixels, 0, 0, target->nWidth, target->nHeight, alpha << 24);
  }
  if (lpDTCon->lpRestingTarget) DDSetRenderTarget(lpDTCon->lpRestingTarget);
  return true;
}

// The DirectDraw picture of a fade at the angle: the blended palette at 8
// bits, the saved frame blended into BackBuffer at the other depths.
void DrawDirectDrawFade(DDPALETTE& work, int first, int last, int red, int green, int blue, double angle,
                        const DDPALETTE& source) {
  const int level = TruncToI32(SineOfDegrees(angle) * 256.0);
  if (g_DrawLayer.nBpp == 8) {
    DDBlendPalette(work, first, last, level, red, green, blue, source);
    first = std::max(first, 0);
    last = std::min(last, 255);
    if (first <= last) DDSetPaletteEntries(first, last - first + 1, &work[static_cast<std::size_t>(first)]);
  } else {
    DDFade_UnPal(&BackBuffer, level, red, green, blue, &FadeBuffer);
  }
}

void SaveFrameForFade() {
  if (g_DrawLayer.nBpp != 8) DDBlt(&FadeBuffer, 0, 0, FadeBuffer.nWidth, FadeBuffer.nHeight, &BackBuffer, 0, 0, 0);
}

// One call of a fade whose angle runs from `start` to `end`: the picture at
// the angle (skip jumps to the end first), then one step toward the end. The
// call that finds the angle at its end puts it back to the start and returns
// true.
bool FadeStep(double& angle, double start, double end, DDPALETTE& work, int first, int last, int red, int green,
              int blue, double step, const DDPALETTE& source, int skip) {
  if (lpDTCon) {
    if (skip) angle = end;
    if (!DrawFadeQuad(angle)) return false;
  } else {
    if (angle == start) SaveFrameForFade();
    if (skip) angle = end;
    DrawDirectDrawFade(work, first, last, red, green, blue, angle, source);
  }
  const bool rising = end > start;
  if (rising ? angle < end : angle > end) {
    angle = rising ? std::min(angle + step, end) : std::max(angle - step, end);
    return false;
  }
  angle = start;
  return true;
}

}  // namespace

bool DDFadeOut(DDPALETTE& work, int first, int last, int red, int green, int blue, double step,
               const DDPALETTE& source, int skip) {
  return FadeStep(Angles().out, kWholePicture, kWholeColour, work, first, last, red, green, blue, step, source, skip);
}

bool DDFadeIn(DDPALETTE& work, int first, int last, int red, int green, int blue, double step,
              const DDPALETTE& source, int skip) {
  return FadeStep(Angles().in, kWholeColour, kWholePicture, work, first, last, red, green, blue, step, source, skip);
}

void DDBlendPalette(DDPALETTE& work, int first, int last, int level, int red, int green, int blue,
                    const DDPALETTE& source) {
  first = std::max(first, 0);
  last = std::min(last, 255);
  level = std::clamp(level, 0, 256);
  red = ClampComponent(red);
  green = ClampComponent(green);
  blue = ClampComponent(blue);
  for (int i = first; i <= last; ++i) {
    const plat::sPaletteEntry s = source[static_cast<std::size_t>(i)];
    plat::sPaletteEntry& e = work[static_cast<std::size_t>(i)];
    e.red = BlendComponent(red, level, s.red);
    e.green = BlendComponent(green, level, s.green);
    e.blue = BlendComponent(blue, level, s.blue);
    e.flags = 1;
  }
}

void DDRotatePalette(DDPALETTE& work, int first, int last, int count, int direction, const DDPALETTE& source) {
  const int bpp = g_DrawLayer.nBpp;
  if (bpp != 8 && bpp != 16 && bpp != 32) return;
  work = DDPALETTE(source);
  first = std::max(first, 0);
  last = std::min(last, 255);
  if (first >= last || (direction != 0 && direction != 1)) return;
  const int length = last - first + 1;
  const int shift = ((count % length) + length) % length;
  auto begin = work.begin() + first;
  auto end = work.begin() + last + 1;
  if (direction == 0) {
    std::rotate(begin, end - shift, end);
  } else {
    std::rotate(begin, begin + shift, end);
  }
}

int DDFade_UnPal(DDSURFACEDATA* lpDst, int level, int red, int green, int blue, DDSURFACEDATA* lpSrc) {
  if (lpDTCon) {
    LogPrintf("D3DではDDFade_UnPalは未対応");
    return 1;
  }
  if (lpDst == nullptr || lpSrc == nullptr) return 1;
  DDSURFACEDESC2 dstDesc, srcDesc;
  void* dstBits = nullptr;
  void* srcBits = nullptr;
  if (!DDLock(lpDst, &dstDesc, &dstBits, g_DrawLayer.nBpp) || !DDLock(lpSrc, &srcDesc, &srcBits, g_DrawLayer.nBpp)) {
    return 1;
  }
  // 16 bits are drawn at 32; at 8 bits nothing changes.
  if (g_DrawLayer.nBpp != 32) return 1;
  level = std::clamp(level, 0, 256);
  red = ClampComponent(red);
  green = ClampComponent(green);
  blue = ClampComponent(blue);
  const int width = std::min({lpDst->nWidth, dstDesc.dwWidth, srcDesc.dwWidth});
  const int height = std::min({lpDst->nHeight, dstDesc.dwHeight, srcDesc.dwHeight});
  for (int y = 0; y < height; ++y) {
    auto* out = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(dstBits) +
                                                 static_cast<std::ptrdiff_t>(y) * dstDesc.lPitch);
    const auto* in = reinterpret_cast<const std::uint32_t*>(static_cast<const std::uint8_t*>(srcBits) +
                                                            static_cast<std::ptrdiff_t>(y) * srcDesc.lPitch);
    for (int x = 0; x < width; ++x) {
      const std::uint32_t s = in[x];
      const std::uint32_t r = BlendComponent(red, level, static_cast<int>(s >> 16 & 0xFF));
      const std::uint32_t g = BlendComponent(green, level, static_cast<int>(s >> 8 & 0xFF));
      const std::uint32_t b = BlendComponent(blue, level, static_cast<int>(s & 0xFF));
      out[x] = (out[x] & 0xFF000000u) | r << 16 | g << 8 | b;
    }
  }
  return 1;
}

void ResetFadesForTests() {
  g_Direct3DFade = {};
  g_DirectDrawFade = {};
}
