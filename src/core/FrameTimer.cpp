#include "core/FrameTimer.h"

#include "core/DisplayServices.h"
#include "platform/Clock.h"

namespace {

struct cFrameTiming {
  std::uint32_t frameStart = 0;
  std::uint32_t frameElapsed = 0;

  int skipCounter = 0;

  bool fpsStarted = false;
  std::uint32_t fpsWindowStart = 0;
  std::uint32_t fpsFrames = 0;
  std::uint32_t fpsPublished = 0;

  bool limiterStarted = false;
  std::uint32_t limiterDue = 0;

  bool pacingStarted = false;
  std::uint32_t pacingSecondStart = 0;
  int pacingFrame = 0;
};

cFrameTiming g_Timing;

bool Direct3DIsRunning() {
  const cDisplayServices* display = GetDisplayServices();
  if (display == nullptr) return false;
  const cDisplayDescription description = display->Describe();
  return description.started && description.backEnd == eDisplayBackEnd::Direct3D;
}

}  // namespace

std::uint32_t TimerStart() {
  g_Timing.frameStart = plat::TimeGetTime();
  return g_Timing.frameStart;
}

std::uint32_t TimerElapsed(int update) {
  if (update) g_Timing.frameElapsed = plat::TimeGetTime() - g_Timing.frameStart;
  return g_Timing.frameElapsed;
}

bool FrameSkip(int mode, int n) {
  if (mode == 0) {
    g_Timing.skipCounter = 0;
    return false;
  }
  if (mode == 2) return g_Timing.skipCounter == 0;
  if (++g_Timing.skipCounter >= n) {
    g_Timing.skipCounter = 0;
    return true;
  }
  return false;
}

std::uint32_t FpsCount(int update) {
  if (!update) return g_Timing.fpsPublished;
  const std::uint32_t now = plat::TimeGetTime();
  if (!g_Timing.fpsStarted) {
    g_Timing.fpsStarted = true;
    g_Timing.fpsWindowStart = now;
  }
  // The unsigned difference is the elapsed time across a wrap too.
  if (now - g_Timing.fpsWindowStart > 999) {
    g_Timing.fpsPublished = g_Timing.fpsFrames;
    g_Timing.fpsWindowStart = now;
    g_Timing.fpsFrames = 0;
    return g_Timing.fpsPublished;
  }
  ++g_Timing.fpsFrames;
  return g_Timing.fpsPublished;
}

bool FrameLimiter(int fps) {
  const std::uint32_t now = plat::TimeGetTime();
  if (!g_Timing.limiterStarted) {
    g_Timing.limiterStarted = true;
    g_Timing.limiterDue = now;
  }
  if (fps <= 0) return true;
  if (plat::IsBefore(now, g_Timing.limiterDue)) return false;
  g_Timing.limiterDue = now + static_cast<std::uint32_t>(1000 / fps);
  return true;
}

bool D3DFramePacing(int fps, int, int) {
  if (fps <= 0 || !Direct3DIsRunning()) return true;
  const std::uint32_t now = plat::TimeGetTime();
  if (!g_Timing.pacingStarted) {
    g_Timing.pacingStarted = true;
    g_Timing.pacingSecondStart = now;
    g_Timing.pacingFrame = 0;
  }
  // Measured from the second's start, so the comparison holds across a wrap.
  const double dueOffset = static_cast<double>(g_Timing.pacingFrame) * 1000.0 / static_cast<double>(fps);
  const double elapsed = static_cast<double>(plat::ElapsedMs(g_Timing.pacingSecondStart, now));
  if (dueOffset > elapsed) return false;
  if (++g_Timing.pacingFrame >= fps) {
    g_Timing.pacingFrame = 0;
    g_Timing.pacingSecondStart = now;
  }
  return true;
}

void ResetFrameTimingForTests() { g_Timing = cFrameTiming{}; }
