#pragma once
// The sprite batch (Direct3D): collects the textured quads of one drawing
// pass (map layers, characters, a line of text, an effect) and draws them
// when the pass ends, in runs of quads that share source, destination and
// blend values.
//
//   DDBeginSpriteBatch(mode);        // 0 keep the queueing order, else sort by texture
//   DDRegisterSpriteTexture(&sheet); // sorting mode: sheets drawn after the others
//   DDBlt(...); DDBltEx(...);        // queued while the batch is active
//   DDFlushSpriteBatch();
//
// In sorting mode the quads of sources that were not registered come first
// in queueing order, then those of the first registered sheet in queueing
// order, then those of the second, and so on: a pass draws its overlays last
// by registering their sheet. Batches do not nest: beginning a batch drops
// whatever the active one had queued.
//
// Blits copied in software (into a surface that is not a render target, or
// from a system-memory one) are never queued: they land at once, before the
// quads still waiting. Under DirectDraw every call here does nothing and
// blits draw at once.

#include <cstdint>
#include <vector>

#include "graphics/Surface.h"
#include "graphics/TexturedQuad.h"

// A registered sheet's key: 100000 times its place in the registration order
// (the first has 100000).
constexpr std::int32_t kSpriteTextureKeyStep = 100000;

// One queued blit, after mirroring, mapping and clipping, with the blend
// values current when it was queued.
struct DTSPRITEREQUEST {
  // Sort key: the source's texture key plus the sequence number. Only
  // meaningful below kSpriteTextureKeyStep requests; the sort itself uses
  // (nTextureRank, nSequence), which orders the same way without that limit.
  std::int32_t key = 0;
  std::int32_t nTextureRank = 0;  // 0 unregistered, n the n-th registered sheet
  std::uint32_t nSequence = 0;    // requests queued before this one in the batch
  DTQUAD quad;
};

struct DTSPRITETEXTURE {
  DDSURFACEDATA* lpSD = nullptr;
  std::int32_t key = 0;  // a multiple of kSpriteTextureKeyStep
};

struct DTSPRITEBATCH {
  std::int32_t bActive = 0;
  std::vector<DTSPRITEREQUEST> requests;
  std::uint32_t dwSequence = 0;  // requests queued since the batch began
  std::int32_t nSortMode = 0;    // 0 queueing order, else sorted by texture
  std::vector<DTSPRITETEXTURE> textures;
};

extern DTSPRITEBATCH g_SpriteBatch;

void DDBeginSpriteBatch(int mode);
void DDRegisterSpriteTexture(DDSURFACEDATA* lpSD);
void DDFlushSpriteBatch();

// For DDBltEx: while the batch is active (Direct3D), queues the quad and
// returns true; otherwise false and the caller draws the quad itself.
bool DTQueueSprite(const DTQUAD& quad);
