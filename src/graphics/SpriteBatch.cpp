#include "graphics/SpriteBatch.h"

#include <algorithm>
#include <cstddef>

#include "core/Numeric.h"
#include "graphics/DrawContext.h"
#include "graphics/Scene.h"

DTSPRITEBATCH g_SpriteBatch;

void DDBeginSpriteBatch(int mode) {
  if (lpDTCon == nullptr) return;
  g_SpriteBatch.bActive = 1;
  g_SpriteBatch.nSortMode = mode;
  g_SpriteBatch.requests.clear();
  g_SpriteBatch.textures.clear();
  g_SpriteBatch.dwSequence = 0;
}

void DDRegisterSpriteTexture(DDSURFACEDATA* lpSD) {
  if (lpDTCon == nullptr || !g_SpriteBatch.bActive || g_SpriteBatch.nSortMode == 0) return;
  for (const DTSPRITETEXTURE& t : g_SpriteBatch.textures) {
    if (t.lpSD == lpSD) return;
  }
  const std::int64_t key = (static_cast<std::int64_t>(g_SpriteBatch.textures.size()) + 1) * kSpriteTextureKeyStep;
  g_SpriteBatch.textures.push_back(DTSPRITETEXTURE{lpSD, ClampToI32(key)});
}

namespace {

// The source's place in the registration order (0: not registered, or the
// batch keeps the queueing order).
std::int32_t TextureRank(const DDSURFACEDATA* lpSrc) {
  if (g_SpriteBatch.nSortMode == 0) return 0;
  const auto& textures = g_SpriteBatch.textures;
  for (std::size_t i = 0; i < textures.size(); ++i) {
    if (textures[i].lpSD == lpSrc) return static_cast<std::int32_t>(i + 1);
  }
  return 0;
}

bool SameRun(const DTQUAD& a, const DTQUAD& b) {
  return a.lpSrc == b.lpSrc && a.lpDst == b.lpDst && a.dwDiffuse == b.dwDiffuse && a.dwFlags == b.dwFlags &&
         a.dwColorOp == b.dwColorOp && a.dwAlphaOp == b.dwAlphaOp;
}

std::size_t RunEnd(const std::vector<DTSPRITEREQUEST>& requests, std::size_t first) {
  std::size_t end = first + 1;
  while (end < requests.size() && SameRun(requests[end].quad, requests[first].quad)) ++end;
  return end;
}

// Keys of the sorting mode order by sheet, then by queueing order. The keys
// themselves (sheet key + sequence) would collide once a batch holds 100000
// requests, so the sort compares the two parts; requests are queued in
// sequence order, so a stable sort by sheet is that order exactly.
void SortByTexture(std::vector<DTSPRITEREQUEST>& requests) {
  std::stable_sort(requests.begin(), requests.end(), [](const DTSPRITEREQUEST& a, const DTSPRITEREQUEST& b) {
    return a.nTextureRank < b.nTextureRank;
  });
}

void DrawRun(const std::vector<DTSPRITEREQUEST>& requests, std::size_t first, std::size_t end) {
  // An opaque run of a keyed sheet clears every rectangle before any quad is
  // drawn, so the sprites of one run never erase each other.
  if (DTNeedsClear(requests[first].quad)) {
    for (std::size_t i = first; i < end; ++i) DTClearQuadRect(requests[i].quad);
  }
  for (std::size_t i = first; i < end; ++i) DTDrawQuadPixels(requests[i].quad);
}

}  // namespace

bool DTQueueSprite(const DTQUAD& quad) {
  if (lpDTCon == nullptr || !g_SpriteBatch.bActive) return false;
  DTSPRITEREQUEST request;
  request.nTextureRank = TextureRank(quad.lpSrc);
  request.nSequence = g_SpriteBatch.dwSequence++;
  request.key = WrapToI32(std::int64_t{request.nTextureRank} * kSpriteTextureKeyStep + request.nSequence);
  request.quad = quad;
  g_SpriteBatch.requests.push_back(request);
  return true;
}

void DDFlushSpriteBatch() {
  if (lpDTCon == nullptr || g_SpriteBatch.requests.empty()) {
    g_SpriteBatch.bActive = 0;
    return;
  }
  std::vector<DTSPRITEREQUEST> requests;
  requests.swap(g_SpriteBatch.requests);
  g_SpriteBatch.textures.clear();
  g_SpriteBatch.dwSequence = 0;
  g_SpriteBatch.bActive = 0;
  if (g_SpriteBatch.nSortMode != 0) SortByTexture(requests);

  std::size_t first = 0;
  while (first < requests.size()) {
    const std::size_t end = RunEnd(requests, first);
    if (!DDBeginScene() || !DDSetRenderTarget(requests[first].quad.lpDst)) {
      // The rest of the run is tried again as a run of its own.
      ++first;
      continue;
    }
    DrawRun(requests, first, end);
    if (lpDTCon->lpRestingTarget != nullptr) DDSetRenderTarget(lpDTCon->lpRestingTarget);
    first = end;
  }
}
