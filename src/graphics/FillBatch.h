#pragma once
// The fill batch (Direct3D): collects the solid rectangles that DDFillRectRGB
// would draw one by one as blended quads, and draws them in their queueing
// order, one render-target switch per run of fills into the same surface.
// Frames put their four bars into one batch; so do the hit-area outlines.
//
//   DDBeginFillBatch();
//   DDFillRectPal(...); DDFillRectPal(...);   // queued while the batch is active
//   DDFlushFillBatch();
//
// Under DirectDraw both calls do nothing and the fills draw at once.

#include <cstdint>
#include <vector>

#include "graphics/Surface.h"

namespace plat {
class cPixelSurface;
}

// One queued fill: the destination after the mapping of copy rows and of
// BackBuffer, the rectangle already clipped, the colour as ARGB.
struct DTFILLREQUEST {
  DDSURFACEDATA* lpSD = nullptr;
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t nWidth = 0;
  std::int32_t nHeight = 0;
  std::uint32_t dwColor = 0;
};

struct DTFILLBATCH {
  std::int32_t bActive = 0;  // 1 while fills are being queued
  std::vector<DTFILLREQUEST> requests;
};

extern DTFILLBATCH g_FillBatch;

// Direct3D only: makes the batch active and empties it.
void DDBeginFillBatch();
// Draws the queued fills in their order, empties the list and makes the batch
// inactive. With no Direct3D context or nothing queued it only makes the
// batch inactive.
void DDFlushFillBatch();

// For DDFillRectRGB: while the batch is active (Direct3D), queues the fill
// (destination already mapped, rectangle already clipped) and returns true;
// otherwise returns false and the caller draws the fill itself.
bool DDQueueFill(DDSURFACEDATA* lpSD, int x, int y, int nWidth, int nHeight, std::uint32_t dwColor);

// A solid quad of the colour over the rectangle, its alpha blended with the
// destination, exactly as a queued fill is drawn.
void DTDrawFillQuad(plat::cPixelSurface& dst, int x, int y, int nWidth, int nHeight, std::uint32_t dwColor);
