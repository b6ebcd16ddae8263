#pragma once
// Golden frames: a presented frame checked against a checksum kept in the
// test. On a mismatch the frame is written as a bitmap next to the test
// program, so it can be looked at (and the checksum renewed when the change
// was meant).

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/Presenter.h"

namespace drawtest {

// FNV-1a over every pixel's four bytes, row by row.
inline std::uint32_t FrameChecksum(const plat::cPixelSurface& frame) {
  std::uint32_t hash = 2166136261u;
  for (int y = 0; y < frame.Height(); ++y) {
    for (int x = 0; x < frame.Width(); ++x) {
      const std::uint32_t p = frame.GetPixel(x, y);
      for (int b = 0; b < 4; ++b) {
        hash ^= (p >> (8 * b)) & 0xFF;
        hash *= 16777619u;
      }
    }
  }
  return hash;
}

// Fails, writing the presenter's last frame as `name`.bmp, when its checksum
// is not `expected`.
inline void ExpectGoldenFrame(const plat::cNullPresenter& presenter, std::uint32_t expected, const std::string& name) {
  const std::uint32_t checksum = FrameChecksum(presenter.LastFrame());
  if (checksum == expected) return;
  const std::filesystem::path folder = std::filesystem::read_symlink("/proc/self/exe").parent_path();
  const std::string file = (folder / (name + ".bmp")).string();
  std::string error;
  const bool written = presenter.WriteLastFrameBmp(file, &error);
  ADD_FAILURE() << "checksum " << std::hex << checksum << ", expected " << expected << "; the frame "
                << (written ? "is in " + file : "could not be written: " + error);
}

}  // namespace drawtest
