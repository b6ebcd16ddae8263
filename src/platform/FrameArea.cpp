#include "platform/FrameArea.h"

#include <algorithm>

namespace plat {

namespace {

// Rounds toward minus infinity, so that the border left of and above the
// frame maps to negative frame points.
int FloorDivide(long long numerator, long long denominator) {
  long long quotient = numerator / denominator;
  if ((numerator % denominator != 0) && ((numerator < 0) != (denominator < 0))) --quotient;
  return static_cast<int>(quotient);
}

}  // namespace

RECT FrameAreaIn(int width, int height, int frameWidth, int frameHeight) {
  if (frameWidth < 1 || frameHeight < 1) return RECT{0, 0, width, height};
  int areaWidth = frameWidth;
  int areaHeight = frameHeight;
  const int scale = std::min(width / frameWidth, height / frameHeight);
  if (scale >= 1) {
    areaWidth = frameWidth * scale;
    areaHeight = frameHeight * scale;
  } else if (width * frameHeight < height * frameWidth) {
    areaWidth = width;
    areaHeight = std::max(1, width * frameHeight / frameWidth);
  } else {
    areaHeight = height;
    areaWidth = std::max(1, height * frameWidth / frameHeight);
  }
  const int left = (width - areaWidth) / 2;
  const int top = (height - areaHeight) / 2;
  return RECT{left, top, left + areaWidth, top + areaHeight};
}

bool WindowToFrame(const RECT& area, int frameWidth, int frameHeight, POINT window, POINT* frame) {
  const long long areaWidth = std::max(1, area.right - area.left);
  const long long areaHeight = std::max(1, area.bottom - area.top);
  const POINT mapped{FloorDivide(static_cast<long long>(window.x - area.left) * frameWidth, areaWidth),
                     FloorDivide(static_cast<long long>(window.y - area.top) * frameHeight, areaHeight)};
  if (frame != nullptr) *frame = mapped;
  return mapped.x >= 0 && mapped.x < frameWidth && mapped.y >= 0 && mapped.y < frameHeight;
}

POINT FrameToWindow(const RECT& area, int frameWidth, int frameHeight, POINT frame) {
  if (frameWidth < 1 || frameHeight < 1) return frame;
  const long long areaWidth = area.right - area.left;
  const long long areaHeight = area.bottom - area.top;
  return POINT{area.left + static_cast<int>((2 * frame.x + 1) * areaWidth / (2LL * frameWidth)),
               area.top + static_cast<int>((2 * frame.y + 1) * areaHeight / (2LL * frameHeight))};
}

}  // namespace plat
