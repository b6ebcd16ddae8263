#include "graphics/FillBatch.h"

#include <cstddef>

#include "graphics/DrawContext.h"
#include "graphics/Scene.h"
#include "platform/SoftwareDevice.h"

DTFILLBATCH g_FillBatch;

void DDBeginFillBatch() {
  if (lpDTCon == nullptr) return;
  g_FillBatch.bActive = 1;
  g_FillBatch.requests.clear();
}

bool DDQueueFill(DDSURFACEDATA* lpSD, int x, int y, int nWidth, int nHeight, std::uint32_t dwColor) {
  if (lpDTCon == nullptr || !g_FillBatch.bActive) return false;
  g_FillBatch.requests.push_back(DTFILLREQUEST{lpSD, x, y, nWidth, nHeight, dwColor});
  return true;
}

void DTDrawFillQuad(plat::cPixelSurface& dst, int x, int y, int nWidth, int nHeight, std::uint32_t dwColor) {
  // The colour comes from the diffuse; the alpha too (the stage's alpha is
  // disabled), so the colour's alpha blends with the destination. No texture
  // is read.
  plat::sStageState stage;
  stage.colorOp = D3DTOP_SELECTARG2;
  stage.alphaOp = D3DTOP_DISABLE;
  stage.diffuse = dwColor;
  plat::DrawTexturedRect(dst, x, y, nWidth, nHeight, nullptr, 0, 0, nWidth, nHeight, stage);
}

namespace {

// The end of the run that starts at `first`: the fills into the same surface.
std::size_t RunEnd(const std::vector<DTFILLREQUEST>& requests, std::size_t first) {
  std::size_t end = first + 1;
  while (end < requests.size() && requests[end].lpSD == requests[first].lpSD) ++end;
  return end;
}

void RestoreRestingTarget() {
  if (lpDTCon->lpRestingTarget != nullptr) DDSetRenderTarget(lpDTCon->lpRestingTarget);
}

}  // namespace

void DDFlushFillBatch() {
  if (lpDTCon == nullptr || g_FillBatch.requests.empty()) {
    g_FillBatch.bActive = 0;
    return;
  }
  // Fills queued from here on would join the list being drawn; none are, but
  // the list is taken out first so drawing cannot disturb the walk.
  std::vector<DTFILLREQUEST> requests;
  requests.swap(g_FillBatch.requests);
  g_FillBatch.bActive = 0;

  std::size_t first = 0;
  while (first < requests.size()) {
    const std::size_t end = RunEnd(requests, first);
    DDSURFACEDATA* lpDst = requests[first].lpSD;
    if (!DDBeginScene() || !DDSetRenderTarget(lpDst)) {
      // The rest of the run is tried again as a run of its own.
      ++first;
      continue;
    }
    plat::cPixelSurface* pixels = lpDst->Pixels();
    if (pixels != nullptr) {
      for (std::size_t i = first; i < end; ++i) {
        const DTFILLREQUEST& r = requests[i];
        DTDrawFillQuad(*pixels, r.x, r.y, r.nWidth, r.nHeight, r.dwColor);
      }
    }
    RestoreRestingTarget();
    first = end;
  }
}
