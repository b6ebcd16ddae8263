#pragma once
// The offset, in dots, of copy number `nCopy` along one axis, for the copies a
// character placement spawns and the copies a shot command launches: base +
// nCopy x per-copy step, negated when the owner faces right (facing value 1)
// and that axis mirrors.

#include <cstdint>

inline double CopyOffset(std::int16_t nBase, std::int16_t nPerCopy, std::uint8_t bMirror, int nCopy, int nFacing) {
  const double offset = static_cast<double>(nCopy) * nPerCopy + nBase;
  return (nFacing == 1 && bMirror != 0) ? -offset : offset;
}
