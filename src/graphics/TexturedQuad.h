#pragma once
// One textured quad of the Direct3D road, as DDBltEx draws it at once and the
// sprite batch draws it later: the destination and source rectangles (after
// mirroring, mapping and clipping) with the blend values current when the
// blit was made.
//
// Geometry of every quad of the layer (DTVERTEX): four vertices in
// triangle-strip order (left, top), (left, bottom), (right, top),
// (right, bottom), z 0 and rhw 1, every screen coordinate reduced by 0.5, so
// that the pixel rectangle x, y, w, h covers exactly its pixels; texture
// coordinates run from sx / texture width to (sx + sw) / texture width
// (likewise v), so a negative source size reads the texture backwards.

#include <cstdint>

#include "graphics/Surface.h"

// The vertex format of every quad: XYZRHW | DIFFUSE | TEX1, 28 bytes.
struct DTVERTEX {
  float x = 0, y = 0, z = 0, rhw = 1.0f;
  std::uint32_t diffuse = 0;
  float u = 0, v = 0;
};
static_assert(sizeof(DTVERTEX) == 28, "DTVERTEX is the 28-byte vertex of FVF 0x144");
constexpr std::uint32_t kDTVertexFvf = 0x144;

// The four vertices of a pixel rectangle with its texture rectangle, the
// texture being texW x texH texels.
void DTMakeQuadVertices(DTVERTEX (&vertices)[4], int x, int y, int nWidth, int nHeight, std::uint32_t diffuse, int sx,
                        int sy, int sw, int sh, int texW, int texH);

struct DTQUAD {
  DDSURFACEDATA* lpDst = nullptr;
  std::int32_t x = 0, y = 0, nWidth = 0, nHeight = 0;
  DDSURFACEDATA* lpSrc = nullptr;
  std::int32_t sx = 0, sy = 0, sw = 0, sh = 0;  // a negative size mirrors
  std::uint32_t dwFlags = 0;                    // 1: transparent texels leave the destination alone
  std::uint32_t dwDiffuse = 0xFFFFFFFF;
  std::uint32_t dwColorOp = 4;
  std::uint32_t dwAlphaOp = 2;
  // Argument 2 of the colour operation: the diffuse colour, or with
  // bColorArgFactor the texture factor (the tint blends toward its colour).
  std::uint32_t bColorArgFactor = 0;
  std::uint32_t dwTextureFactor = 0xFFFFFFFF;
};

// The quad with the context's current blend values.
DTQUAD DTMakeQuad(DDSURFACEDATA* lpDst, int x, int y, int nWidth, int nHeight, DDSURFACEDATA* lpSrc, int sx, int sy,
                  int sw, int sh, std::uint32_t dwFlags);

// An opaque blit of a keyed texture first clears its rectangle: to the opaque
// transparent colour on BackBuffer (so the transparent parts show the key
// colour, as under DirectDraw), to transparent black on any other target.
// Whether an effect draws as a quad: Direct3D draws one into a render target
// from a texture that does not live in system memory; anything else is done
// on pixels.
bool TakesQuadRoad(const DDSURFACEDATA* lpDst, const DDSURFACEDATA* lpSrc);
bool DTNeedsClear(const DTQUAD& quad);
void DTClearQuadRect(const DTQUAD& quad);

// Draws the quad's pixels into its destination (no scene or render-target
// handling). False when either surface has no pixels; a source that owns no
// texture draws nothing, except BackBuffer, which reads as opaque white (no
// texture bound).
bool DTDrawQuadPixels(const DTQUAD& quad);

// The whole immediate draw: scene, render target, the clear of an opaque keyed
// blit, the quad, the resting render target set back. False when the scene or
// the render target could not be set (nothing drawn).
bool DTDrawQuadNow(const DTQUAD& quad);

// The quad's source rectangle drawn onto four screen corners instead of its
// destination rectangle: the corners of the source's left-top, left-bottom,
// right-top and right-bottom, as the layer's vertices hold them (a pixel's
// centre at whole coordinates), with the quad's blend values; in the same
// scene and render-target bracket as DTDrawQuadNow, without a clear.
bool DTDrawQuadOnCornersNow(const DTQUAD& quad, const float (&cornerX)[4], const float (&cornerY)[4]);
