#pragma once
// Golden frames: a checksum of a presented frame, pinned in the test; on a
// mismatch the frame is written as a bitmap next to the test program, so the
// difference can be looked at.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/Presenter.h"

namespace goldenframe {

// FNV-1a over every pixel's four bytes, rows top first.
inline std::uint32_t Checksum(const plat::cPixelSurface& frame) {
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

// Checks the presenter's last frame against the checksum; on a mismatch the
// frame goes to <name>.bmp beside the test program.
inline void ExpectChecksum(const plat::cNullPresenter& presenter, std::uint32_t expected, const std::string& name) {
  const std::uint32_t checksum = Checksum(presenter.LastFrame());
  if (checksum == expected) return;
  const std::filesystem::path folder = std::filesystem::read_symlink("/proc/self/exe").parent_path();
  const std::string file = (folder / (name + ".bmp")).string();
  std::string error;
  const bool written = presenter.WriteLastFrameBmp(file, &error);
  ADD_FAILURE() << "checksum " << std::hex << checksum << ", expected " << expected << "; the frame "
                << (written ? "is in " + file : "could not be written: " + error);
}

}  // namespace goldenframe
