#include "graphics/TexturedQuad.h"

#include <algorithm>

#include "graphics/DrawContext.h"
#include "graphics/Scene.h"
#include "platform/SoftwareDevice.h"

void DTMakeQuadVertices(DTVERTEX (&vertices)[4], int x, int y, int nWidth, int nHeight, std::uint32_t diffuse, int sx,
                        int sy, int sw, int sh, int texW, int texH) {
  const float left = static_cast<float>(x) - 0.5f;
  const float top = static_cast<float>(y) - 0.5f;
  const float right = static_cast<float>(x + nWidth) - 0.5f;
  const float bottom = static_cast<float>(y + nHeight) - 0.5f;
  const float w = texW > 0 ? static_cast<float>(texW) : 1.0f;
  const float h = texH > 0 ? static_cast<float>(texH) : 1.0f;
  const float u0 = static_cast<float>(sx) / w;
  const float u1 = static_cast<float>(sx + sw) / w;
  const float v0 = static_cast<float>(sy) / h;
  const float v1 = static_cast<float>(sy + sh) / h;
  vertices[0] = DTVERTEX{left, top, 0.0f, 1.0f, diffuse, u0, v0};
  vertices[1] = DTVERTEX{left, bottom, 0.0f, 1.0f, diffuse, u0, v1};
  vertices[2] = DTVERTEX{right, top, 0.0f, 1.0f, diffuse, u1, v0};
  vertices[3] = DTVERTEX{right, bottom, 0.0f, 1.0f, diffuse, u1, v1};
}

DTQUAD DTMakeQuad(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, DDSURFACEDATA* lpSrc, int sx, int sy,
                  int sw, int sh, std::uint32_t dwFlags) {
  DTQUAD q;
  q.lpDst = lpDst;
  q.x = x;
  q.y = y;
  q.nWidth = nWidth;
  q.nHeight = nHeight;
  q.lpSrc = lpSrc;
  q.sx = sx;
  q.sy = sy;
  q.sw = sw;
  q.sh = sh;
  q.dwFlags = dwFlags;
  if (lpDTCon != nullptr) {
    q.dwDiffuse = lpDTCon->dwBlendColor;
    q.dwColorOp = lpDTCon->dwColorOp;
    q.dwAlphaOp = lpDTCon->dwAlphaOp;
  }
  return q;
}

bool TakesQuadRoad(const DDSURFACEDATA* lpDst, const DDSURFACEDATA* lpSrc) {
  return lpDst->lpDT && lpDst->lpDT->bRenderTarget && lpSrc->lpDT &&
         lpSrc->lpDT->dtMemoryType != DTMEMORYTYPE_SYSTEM;
}

bool DTNeedsClear(const DTQUAD& quad) {
  return quad.dwFlags == 0 && quad.lpSrc != nullptr && quad.lpSrc->lpDT != nullptr && quad.lpSrc->lpDT->bColorKey;
}

namespace {

std::uint32_t QuadClearColour(const DTQUAD& quad) {
  return quad.lpDst == &BackBuffer ? lpDTCon->dwOpaqueTransmit : 0u;
}

}  // namespace

void DTClearQuadRect(const DTQUAD& quad) {
  if (lpDTCon == nullptr || quad.lpDst == nullptr) return;
  plat::cPixelSurface* pixels = quad.lpDst->Pixels();
  if (pixels == nullptr) return;
  plat::FillRect(*pixels, quad.x, quad.y, quad.nWidth, quad.nHeight, QuadClearColour(quad));
}

namespace {

// What the quad samples: the source's texture. BackBuffer owns none and
// reads as opaque white; any other surface without a texture (not created,
// or its load failed) cannot be drawn from.
bool QuadTexture(const DDSURFACEDATA* lpSrc, const plat::cPixelSurface*& texture) {
  if (lpSrc == nullptr || lpSrc->lpDT == nullptr) return false;
  lpSrc->Pixels();  // a fill the texture owes is read as written
  texture = lpSrc->lpDT->lpTexture.get();
  return texture != nullptr || lpSrc == &BackBuffer;
}

// The quad's stage-0 state and blending.
plat::sStageState QuadStage(const DTQUAD& quad) {
  plat::sStageState stage;
  stage.colorOp = quad.dwColorOp;
  stage.alphaOp = quad.dwAlphaOp;
  stage.diffuse = quad.dwDiffuse;
  stage.textureFactor = quad.dwTextureFactor;
  if (quad.bColorArgFactor) stage.colorArg2 = plat::eStageArg::TextureFactor;
  return stage;
}

// A quad over its own surface whose every pixel reads its own texel (the
// screen tint): the device draws it in place.
bool ReadsItsOwnPixels(const DTQUAD& quad) {
  return quad.sx == quad.x && quad.sy == quad.y && quad.sw == quad.nWidth && quad.sh == quad.nHeight;
}

// The destination and texture of a quad. A surface drawn over itself reads
// a copy (kept in `copy`), so no texel is read after it was written, unless
// each pixel reads only itself.
bool QuadSurfaces(const DTQUAD& quad, plat::cPixelSurface*& dst, const plat::cPixelSurface*& texture,
                  plat::cPixelSurface& copy) {
  if (quad.lpDst == nullptr) return false;
  dst = quad.lpDst->Pixels();
  if (dst == nullptr || !QuadTexture(quad.lpSrc, texture)) return false;
  if (texture == dst && !ReadsItsOwnPixels(quad)) {
    copy = texture->Clone();
    texture = &copy;
  }
  return true;
}

// Scene, render target, the drawing, the resting render target set back.
template <typename Draw>
bool InSceneOnTarget(const DTQUAD& quad, Draw draw) {
  if (lpDTCon == nullptr) return false;
  if (!DDBeginScene() || !DDSetRenderTarget(quad.lpDst)) return false;
  draw();
  if (lpDTCon->lpRestingTarget != nullptr) DDSetRenderTarget(lpDTCon->lpRestingTarget);
  return true;
}

}  // namespace

bool DTDrawQuadPixels(const DTQUAD& quad) {
  plat::cPixelSurface* dst = nullptr;
  const plat::cPixelSurface* texture = nullptr;
  plat::cPixelSurface copy;
  if (!QuadSurfaces(quad, dst, texture, copy)) return false;
  return plat::DrawTexturedRect(*dst, quad.x, quad.y, quad.nWidth, quad.nHeight, texture, quad.sx, quad.sy, quad.sw,
                                quad.sh, QuadStage(quad));
}

namespace {

// The clear of an opaque keyed blit and its quad. When the quad reads another
// surface, the device lays the clear under it in the same pass; drawn over
// itself, the quad reads the cleared rectangle, so the clear comes first.
void DrawQuadOverClear(const DTQUAD& quad) {
  plat::cPixelSurface* dst = quad.lpDst != nullptr ? quad.lpDst->Pixels() : nullptr;
  const plat::cPixelSurface* texture = nullptr;
  if (lpDTCon == nullptr || dst == nullptr || !QuadTexture(quad.lpSrc, texture) || texture == dst) {
    DTClearQuadRect(quad);
    DTDrawQuadPixels(quad);
    return;
  }
  plat::DrawTexturedRectOnFill(*dst, quad.x, quad.y, quad.nWidth, quad.nHeight, QuadClearColour(quad), texture,
                               quad.sx, quad.sy, quad.sw, quad.sh, QuadStage(quad));
}

// A quad over a destination that owes a fill: the fill is written outside the
// quad's rectangle, and under it in the quad's own pass (beneath the clear of
// an opaque keyed blit, which covers it there). False, owing as before, when
// the quad cannot take it: it reads its own destination, or has no texture.
bool DrawQuadOnOwedFill(const DTQUAD& quad) {
  plat::cPixelSurface* dst = quad.lpDst != nullptr ? quad.lpDst->PixelsOwingFill() : nullptr;
  const plat::cPixelSurface* texture = nullptr;
  if (dst == nullptr || !QuadTexture(quad.lpSrc, texture) || texture == dst) return false;
  std::uint32_t owed = 0;
  if (!DDTakeOwedFill(quad.lpDst, owed)) return false;
  const auto clamp = [](std::int64_t v, int size) { return static_cast<int>(std::clamp<std::int64_t>(v, 0, size)); };
  const int width = dst->Width(), height = dst->Height();
  const int left = clamp(quad.x, width), right = std::max(left, clamp(std::int64_t{quad.x} + quad.nWidth, width));
  const int top = clamp(quad.y, height), bottom = std::max(top, clamp(std::int64_t{quad.y} + quad.nHeight, height));
  plat::FillRect(*dst, 0, 0, width, top, owed);
  plat::FillRect(*dst, 0, bottom, width, height - bottom, owed);
  plat::FillRect(*dst, 0, top, left, bottom - top, owed);
  plat::FillRect(*dst, right, top, width - right, bottom - top, owed);
  const std::uint32_t under = DTNeedsClear(quad) ? QuadClearColour(quad) : owed;
  plat::DrawTexturedRectOnFill(*dst, quad.x, quad.y, quad.nWidth, quad.nHeight, under, texture, quad.sx, quad.sy,
                               quad.sw, quad.sh, QuadStage(quad));
  return true;
}

// A quad of one colour (no texture) over the whole of its destination: the
// destination owes the colour until its pixels are next used (the screen's
// tint, laid in the pass that presents the frame).
bool OweQuadColour(const DTQUAD& quad) {
  const plat::cPixelSurface* dst = quad.lpDst != nullptr ? quad.lpDst->PixelsOwingFill() : nullptr;
  const plat::cPixelSurface* texture = nullptr;
  if (dst == nullptr || DTNeedsClear(quad) || !QuadTexture(quad.lpSrc, texture) || texture != nullptr) return false;
  if (quad.x != 0 || quad.y != 0 || quad.nWidth < dst->Width() || quad.nHeight < dst->Height() || quad.sw == 0 ||
      quad.sh == 0) {
    return false;  // not the whole surface, or a quad the device refuses
  }
  const plat::sStageState stage = QuadStage(quad);
  const auto known = [](std::uint32_t op) {
    return op >= plat::TextureOp::Disable && op <= plat::TextureOp::BlendFactorAlpha;
  };
  if (!stage.alphaBlend || !known(stage.colorOp) || !known(stage.alphaOp)) return false;
  return DDOweLay(quad.lpDst, plat::EvaluateStage(0xFFFFFFFFu, stage));
}

}  // namespace

bool DTDrawQuadNow(const DTQUAD& quad) {
  return InSceneOnTarget(quad, [&quad] {
    if (OweQuadColour(quad)) return;
    if (DrawQuadOnOwedFill(quad)) return;
    if (DTNeedsClear(quad)) {
      DrawQuadOverClear(quad);
    } else {
      DTDrawQuadPixels(quad);
    }
  });
}

bool DTDrawQuadOnCornersNow(const DTQUAD& quad, const float (&cornerX)[4], const float (&cornerY)[4]) {
  return InSceneOnTarget(quad, [&] {
    plat::cPixelSurface* dst = nullptr;
    const plat::cPixelSurface* texture = nullptr;
    plat::cPixelSurface copy;
    if (!QuadSurfaces(quad, dst, texture, copy)) return;
    const float u0 = static_cast<float>(quad.sx);
    const float u1 = static_cast<float>(static_cast<std::int64_t>(quad.sx) + quad.sw);
    const float v0 = static_cast<float>(quad.sy);
    const float v1 = static_cast<float>(static_cast<std::int64_t>(quad.sy) + quad.sh);
    const plat::sQuadVertex vertices[4] = {{cornerX[0], cornerY[0], u0, v0},
                                           {cornerX[1], cornerY[1], u0, v1},
                                           {cornerX[2], cornerY[2], u1, v0},
                                           {cornerX[3], cornerY[3], u1, v1}};
    plat::DrawTexturedQuad(*dst, vertices, texture, QuadStage(quad));
  });
}
