#pragma once
// The software drawing device: the few primitives both code paths of the
// drawing layer are built from. Every call clips once to whole row spans and
// then runs one tight loop chosen for the case; nothing here is virtual.
//
//   FillRect           raw fill: the value is written unchanged (clear, colour fill)
//   CopyRect           keyed or opaque copy, nearest stretch, mirroring
//   DrawTexturedRect   textured axis-aligned rectangle with the stage-0 colour and
//                      alpha operations and source-alpha blending
//   DrawTexturedQuad   the same for any quad given by four vertices (rotation)
//   cPixelSurface::Lock, cPresenter::Present   direct access and presenting
//
// Coordinates are pixels, x to the right and y down, (0, 0) the top-left pixel.
// Nothing is ever written or read outside a surface: every primitive clips its
// spans to both surfaces, whatever the caller computed.

#include <cstdint>

#include "platform/PixelSurface.h"

namespace plat {

// ---------------------------------------------------------------------------
// Raw fill

// Writes `value` into every pixel of the rectangle that lies on the surface
// (the low byte at 8 bits). A rectangle with a width or height below 1 writes
// nothing.
void FillRect(cPixelSurface& dst, int x, int y, int width, int height, std::uint32_t value);

// ---------------------------------------------------------------------------
// Copy

enum class eKeyTest : std::uint8_t {
  None,        // every source pixel is copied
  ExactValue,  // source pixels whose stored value equals keyValue are skipped
  AlphaZero,   // source pixels whose alpha byte is 0 are skipped (32 bits only)
};

// How a destination column j (0 .. width-1) picks its source column; rows alike.
enum class eStretchRule : std::uint8_t {
  // Nearest sample at the pixel centre: sx + floor((j + 0.5) * sw / width).
  // With sw == width this is sx + j; with sw == -width it is sx - 1 - j.
  PixelCentre,
  // The step of the texture path's software copy: the offset trunc(j * rx) with
  // rx = sw / width as a single-precision float; on a mirrored axis the offset
  // runs from 0 down to sw + 1 and is then reduced by 1. A same-size copy
  // (sw == width) reads sx + j.
  FloatStep,
};

struct sCopyRect {
  int x = 0, y = 0, width = 0, height = 0;  // destination; sizes must be positive
  // Source rectangle. A negative width (height) mirrors that axis: the source
  // then spans sx + sw .. sx - 1 and is read from sx - 1 leftwards (upwards).
  int sx = 0, sy = 0, sw = 0, sh = 0;
  eKeyTest key = eKeyTest::None;
  std::uint32_t keyValue = 0;  // for ExactValue: the stored pixel value (index at 8 bits)
  eStretchRule rule = eStretchRule::PixelCentre;
};

// Copies src into dst pixel by pixel with no blending. A destination pixel is
// written only when it lies on dst and its source pixel lies on src (source
// pixels off the surface leave the destination unchanged; nothing wraps).
// Both surfaces must have the same depth. dst and src may be the same surface
// only when the two rectangles do not overlap.
// Returns false, drawing nothing, for a depth mismatch, a destination size
// below 1, a source size of 0, or AlphaZero on 8-bit surfaces.
bool CopyRect(cPixelSurface& dst, const cPixelSurface& src, const sCopyRect& rect);

// ---------------------------------------------------------------------------
// Textured drawing (32-bit surfaces only)

// Texture stage operations, numbered as the drawing layer stores them.
// arg1 is always the texel; arg2 is the diffuse colour or the texture factor
// (see sStageState). "Disable" takes the diffuse colour (and alpha) unchanged.
namespace TextureOp {
constexpr std::uint32_t Disable = 1;
constexpr std::uint32_t SelectArg1 = 2;
constexpr std::uint32_t SelectArg2 = 3;
constexpr std::uint32_t Modulate = 4;
constexpr std::uint32_t Modulate2x = 5;
constexpr std::uint32_t Modulate4x = 6;
constexpr std::uint32_t Add = 7;
constexpr std::uint32_t AddSigned = 8;
constexpr std::uint32_t AddSigned2x = 9;
constexpr std::uint32_t Subtract = 10;  // arg1 - arg2, floored at 0
constexpr std::uint32_t AddSmooth = 11;
constexpr std::uint32_t BlendDiffuseAlpha = 12;  // arg1 * Ad + arg2 * (1 - Ad)
constexpr std::uint32_t BlendTextureAlpha = 13;  // arg1 * At + arg2 * (1 - At)
constexpr std::uint32_t BlendFactorAlpha = 14;   // arg1 * Af + arg2 * (1 - Af)
}  // namespace TextureOp

enum class eStageArg : std::uint8_t { Diffuse, TextureFactor };

// Stage 0 and blending for one textured draw. Products of two 8-bit values
// are rounded to nearest ((a * b + 127) / 255), sums clamp to 0..255.
struct sStageState {
  std::uint32_t colorOp = TextureOp::Modulate;
  std::uint32_t alphaOp = TextureOp::SelectArg1;
  eStageArg colorArg2 = eStageArg::Diffuse;
  eStageArg alphaArg2 = eStageArg::Diffuse;
  std::uint32_t diffuse = 0xFFFFFFFF;        // ARGB
  std::uint32_t textureFactor = 0xFFFFFFFF;  // ARGB
  // Source-alpha blending, on every channel alpha included:
  // out = (result * a + dst * (255 - a)) / 255 with a = the result's alpha.
  // Off writes the stage result as it is.
  bool alphaBlend = true;
};

// Draws the quad whose corners lie at (x - 0.5, y - 0.5) and
// (x + width - 0.5, y + height - 0.5), i.e. exactly the destination pixels
// x .. x + width - 1 and y .. y + height - 1 (clipped to dst), sampling the
// source rectangle (sx, sy, sw, sh) in texels with point sampling at pixel
// centres: column j reads texel sx + floor((j + 0.5) * sw / width), so a
// negative sw or sh mirrors. Texel coordinates wrap around the source size.
// A null source reads opaque white texels (a quad with no texture bound).
// src may be dst itself where each pixel reads its own texel (the same
// rectangle at the same size, not mirrored); any other overlap needs a copy.
// Returns false, drawing nothing, for a non-32-bit surface, a size below 1,
// a source size of 0 or an unknown operation.
bool DrawTexturedRect(cPixelSurface& dst, int x, int y, int width, int height, const cPixelSurface* src, int sx,
                      int sy, int sw, int sh, const sStageState& stage);

// FillRect(dst, x, y, width, height, fill) followed by DrawTexturedRect with
// the other arguments, in one pass over the pixels (the clear under an opaque
// blit). src must not be dst. Returns what DrawTexturedRect returns; the fill
// is made either way.
bool DrawTexturedRectOnFill(cPixelSurface& dst, int x, int y, int width, int height, std::uint32_t fill,
                            const cPixelSurface* src, int sx, int sy, int sw, int sh, const sStageState& stage);

// One corner of a textured quad: the screen position exactly as the layer's
// vertices hold it (a pixel's centre is the point (px, py), so the corners of
// pixel rectangle x, y, w, h are x - 0.5 .. x + w - 0.5), and the texture
// position in texels (not divided by the texture size).
struct sQuadVertex {
  float x = 0, y = 0;
  float u = 0, v = 0;
};

// Draws a quad given as a triangle strip of four vertices (left-top,
// left-bottom, right-top, right-bottom): the triangles (0, 1, 2) and (1, 3, 2),
// either winding. A pixel is drawn when its centre lies inside, with the
// top-left rule on edges so that two quads sharing an edge never both draw
// a pixel. Texture coordinates are interpolated linearly, sampled at the
// nearest texel below (floor) and wrapped; stage and blending as above.
// Returns false for a non-32-bit surface or an unknown operation.
bool DrawTexturedQuad(cPixelSurface& dst, const sQuadVertex (&vertices)[4], const cPixelSurface* src,
                      const sStageState& stage);

// The stage result and blend for one pixel, as the drawing calls compute it:
// for per-pixel code and tests that must match them exactly.
std::uint32_t EvaluateStage(std::uint32_t texel, const sStageState& stage);
std::uint32_t BlendSourceAlpha(std::uint32_t source, std::uint32_t destination);

// ---------------------------------------------------------------------------
// Text ink

// How a coverage picture (a rendered glyph) goes onto a surface.
enum class eCoverageMode : std::uint8_t {
  // 32 bits: the colour with alpha = its own alpha x coverage / 255, blended
  // over the pixel with source alpha (alpha included), as a glyph drawn with
  // alpha blending; coverage 0 leaves the pixel alone.
  Blend,
  // Any depth: the value written unchanged (the low byte at 8 bits) where the
  // coverage is at least 128, as text drawn without anti-aliasing.
  Threshold,
};

// Puts the width x height coverage picture (rows top first, `pitch` bytes
// apart) with its top-left at (x, y); the parts off the surface are left out.
// Returns false, drawing nothing, for Blend on an 8-bit surface.
bool DrawCoverage(cPixelSurface& dst, int x, int y, const std::uint8_t* coverage, int width, int height, int pitch,
                  std::uint32_t value, eCoverageMode mode);

// ---------------------------------------------------------------------------
// What the device tells of itself (the display part of the system report).

constexpr const char* kDeviceName = "Kestrova software device";
constexpr int kMaxTextureSide = kMaxSurfaceSide;

}  // namespace plat
